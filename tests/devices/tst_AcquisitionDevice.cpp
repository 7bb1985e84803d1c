// The driver factory: the import models, exact model names, registered drivers, and the
// scripted fake driver that later tests register there.
#include "devices/AcquisitionDevice.h"
#include "drivers/CollectionRecordFile.h"
#include "support/FakeCollection.h"

#include <QtTest>

#include <memory>

class tst_AcquisitionDevice : public QObject
{
    Q_OBJECT

private slots:
    // Every import model gives the record-file driver; names match exactly, anything else gives none.
    void factoryByModelName()
    {
        const QStringList models = CollectionRecordFile::Models();
        QCOMPARE(models.size(), 20);
        for (const QString &model : models) {
            std::unique_ptr<Collection> driver(AcquisitionDevice::CreateCollection(model));
            QVERIFY2(qobject_cast<CollectionRecordFile *>(driver.get()), qPrintable(model));
        }
        for (const QString &model : {QStringLiteral("P540w"), QStringLiteral("P540W "),
                                     QStringLiteral("R27K-RTD-16CH"), QString()})
            QVERIFY2(!AcquisitionDevice::CreateCollection(model), qPrintable(model));
    }

    void registeredDriversComeAndGo()
    {
        auto script = FakeCollection::install(QStringLiteral("FAKE-A"));
        std::unique_ptr<Collection> driver(AcquisitionDevice::CreateCollection(QStringLiteral("FAKE-A")));
        QVERIFY(qobject_cast<FakeCollection *>(driver.get()));
        QCOMPARE(script->alive(), 1);
        driver.reset();
        QCOMPARE(script->alive(), 0);
        FakeCollection::uninstall(QStringLiteral("FAKE-A"));
        QVERIFY(!AcquisitionDevice::CreateCollection(QStringLiteral("FAKE-A")));

        // A registration over an import model wins until it is removed.
        FakeCollection::install(QStringLiteral("P750W"));
        driver.reset(AcquisitionDevice::CreateCollection(QStringLiteral("P750W")));
        QVERIFY(qobject_cast<FakeCollection *>(driver.get()));
        FakeCollection::uninstall(QStringLiteral("P750W"));
        driver.reset(AcquisitionDevice::CreateCollection(QStringLiteral("P750W")));
        QVERIFY(qobject_cast<CollectionRecordFile *>(driver.get()));
    }

    void fakeDriverFollowsItsScript()
    {
        auto script = FakeCollection::install(QStringLiteral("FAKE-B"));
        script->setSerial(QStringLiteral("2301"));
        script->addChannel(1, QStringLiteral("℃"));
        script->addChannel(2, QStringLiteral("℃"));
        script->addChannel(3, QStringLiteral("Ω"));
        script->failAt(FakeCollection::Call::Open, 1);
        script->failAt(FakeCollection::Call::ReadOneScan, 2);
        std::unique_ptr<Collection> driver(AcquisitionDevice::CreateCollection(QStringLiteral("FAKE-B")));

        QString text;
        QVERIFY(!driver->Open("网络", "127.0.0.1", "5980", text));
        QVERIFY(driver->Open("网络", "127.0.0.1", "5980", text));
        QCOMPARE(text, QStringLiteral("2301"));
        QVERIFY(driver->IsOpen());

        QVERIFY(driver->GetChannelConfig({"3", "1"}, {"℃", "℃"}));
        const QList<Struct_Channel> enabled = driver->GetEnabledChannels();
        QCOMPARE(enabled.size(), 2);
        QCOMPARE(enabled.at(1).Number, 3u);
        QCOMPARE(enabled.at(1).Unit, QStringLiteral("℃"));
        QVERIFY(!driver->GetChannelConfig({"8"}, {"℃"}));

        QList<double> values;
        QVERIFY(driver->ReadOneScan(values));
        QCOMPARE(values, (QList<double>{10.0, 20.0}));
        QVERIFY(!driver->ReadOneScan(values));
        QVERIFY(driver->ReadOneScan(values));
        QCOMPARE(values, (QList<double>{11.0, 21.0}));
        QCOMPARE(script->calls(FakeCollection::Call::ReadOneScan), 3);

        QVERIFY(driver->Close());
        QVERIFY(!driver->IsOpen());
        FakeCollection::uninstall(QStringLiteral("FAKE-B"));
    }
};

QTEST_MAIN(tst_AcquisitionDevice)
#include "tst_AcquisitionDevice.moc"
