// The driver factory: the import models, exact model names, and registered drivers.
#include "devices/AcquisitionDevice.h"
#include "drivers/CollectionRecordFile.h"
#include "support/FakeCollection.h"

#include <QtTest>

#include <memory>

namespace {
// The class of the driver the factory makes for the model, empty for none.
QString driverOf(const QString &model)
{
    std::unique_ptr<Collection> driver(AcquisitionDevice::CreateCollection(model));
    return driver ? QString::fromLatin1(driver->metaObject()->className()) : QString();
}
} // namespace

class tst_AcquisitionDevice : public QObject
{
    Q_OBJECT

private slots:
    // Every import model gives the record-file driver; names match exactly, anything else gives none.
    void factoryByModelName()
    {
        for (const QString &model : CollectionRecordFile::Models())
            QCOMPARE(driverOf(model), QStringLiteral("CollectionRecordFile"));
        for (const char *model : {"P540w", "P540W ", "R27K-RTD-16CH", ""})
            QCOMPARE(driverOf(model), QString());
    }

    // A registration, also over an import model, wins until it is removed; its drivers are deleted.
    void registeredDriversComeAndGo()
    {
        auto script = FakeCollection::install(QStringLiteral("FAKE-A"));
        FakeCollection::install(QStringLiteral("P750W"));
        {
            std::unique_ptr<Collection> driver(AcquisitionDevice::CreateCollection(QStringLiteral("FAKE-A")));
            QCOMPARE(script->alive(), 1);
        }
        QCOMPARE(script->alive(), 0);
        QCOMPARE(driverOf("FAKE-A") + "|" + driverOf("P750W"), QStringLiteral("FakeCollection|FakeCollection"));
        FakeCollection::uninstall(QStringLiteral("FAKE-A"));
        FakeCollection::uninstall(QStringLiteral("P750W"));
        QCOMPARE(driverOf("FAKE-A") + "|" + driverOf("P750W"), QStringLiteral("|CollectionRecordFile"));
    }
};

QTEST_MAIN(tst_AcquisitionDevice)
#include "tst_AcquisitionDevice.moc"
