#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"
#include "shell/HKRQ5713.h"
#include "store/SystemSetKeys.h"
#include "store/Tool.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QToolButton>
#include <QtTest>

#include <memory>

class tst_HKRQ5713 : public QObject
{
    Q_OBJECT

private:
    static QByteArray bytes(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        HKRQ5713::setSplashDelay(0);
    }

    void startOnEmptyFolderThenAgain()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        QVERIFY(dir.isValid());
        QVERIFY(!QFileInfo::exists(dir.filePath("DAQ.db3")));
        MessageBoxHelper boxes;
        {
            HKRQ5713 window;
            QVERIFY2(window.isReady(), qPrintable(window.errorText()));
            QCOMPARE(boxes.count(), 0);
            QVERIFY(QFileInfo::exists(dir.filePath("DAQ.db3")));
            QCOMPARE(window.system()->Version, QStringLiteral("V2.1.4"));

            // Status bar clock.
            auto *time = window.findChild<QLabel *>(QStringLiteral("label_Time"));
            QVERIFY(time && QDateTime::fromString(time->text(), "yyyy-MM-dd hh:mm:ss").isValid());

            // The acquisition entry is offered; entries whose pages are not in this program are not.
            auto *acquisition = window.findChild<QToolButton *>(QStringLiteral("toolButton_Parameters"));
            QVERIFY(acquisition && !acquisition->isHidden());
            for (const char *name : {"toolButton_Calibration"}) {
                auto *button = window.findChild<QToolButton *>(QString::fromLatin1(name));
                QVERIFY2(button && button->isHidden(), name);
            }
        }
        Tool::closeDatabase();
        const QByteArray first = bytes(dir.filePath("DAQ.db3"));
        for (const char *table : {"Collection", "ChannelData", "Parameters", "ParametersData", "Calibration",
                                  "CalibrationData", "AuditLog", "SystemSet"})
            QVERIFY2(first.contains(QByteArray("CREATE TABLE ") + table + " ("), table);

        QVERIFY(HKRQ5713().isReady());
        Tool::closeDatabase();
        QVERIFY(bytes(dir.filePath("DAQ.db3")) == first);
        QCOMPARE(boxes.count(), 0);
    }

    void settingsAndInstrumentsLoaded()
    {
        TestWorkDir dir;
        QVERIFY(dir.isValid());
        const QList<QPair<QString, QString>> settings{
            {SystemSetKeys::DataAccuracy, "4"}, {SystemSetKeys::EmailAddress, "lab@example.org, qa@example.org,,"},
            {SystemSetKeys::EmailInterval, "15"}, {SystemSetKeys::EmailAutoTrigger, "true"},
            {SystemSetKeys::Switch_Notification, "false"}, {SystemSetKeys::Switch_DeviceSet, "true"}};
        for (const auto &setting : settings)
            QVERIFY(Tool::setSystemSet(setting.first, setting.second));
        Tool::Struct_Collection device;
        device.Model = "P540W";
        device.CHSerial = QStringList{"1", "2"};
        device.CHUnit = QStringList{"℃", "Ω"};
        QVERIFY(Tool::addCollection(device));
        auto window = std::make_unique<HKRQ5713>();
        QVERIFY(window->isReady());
        const Struct_System &s = *window->system();
        QCOMPARE(s.DataAccuracy, 4);
        QCOMPARE(s.EmailAddress, QStringList({"lab@example.org", "qa@example.org"}));
        QCOMPARE(s.EmailInterval, 15);
        QVERIFY(s.EmailAutoTrigger && !s.Switch_Notification && s.Switch_DeviceSet);
        QCOMPARE(s.DeviceList.size(), 1);
        QCOMPARE(s.DeviceList.at(0).CHUnit, QStringList({"℃", "Ω"}));

        // Numbers that cannot be used keep their defaults.
        window.reset();
        QVERIFY(Tool::setSystemSet(SystemSetKeys::DataAccuracy, "two"));
        QVERIFY(Tool::setSystemSet(SystemSetKeys::EmailInterval, "35791395")); // x 60 passes INT_MAX
        window = std::make_unique<HKRQ5713>();
        QCOMPARE(window->system()->DataAccuracy, 2);
        QCOMPARE(window->system()->EmailInterval, 10);
    }

    void failedStartUpShowsWhyAndStops_data()
    {
        QTest::addColumn<bool>("unreadableSetting");
        QTest::addColumn<QString>("text");
        QTest::newRow("database cannot open") << false << QStringLiteral("数据库打开失败!");
        QTest::newRow("setting cannot be read") << true << QStringLiteral("Sql Error");
    }

    void failedStartUpShowsWhyAndStops()
    {
        QFETCH(bool, unreadableSetting);
        QFETCH(QString, text);
        TestWorkDir dir(TestWorkDir::NoDatabase);
        if (!unreadableSetting) {
            QVERIFY(QDir(dir.path()).mkdir("DAQ.db3"));
        } else {
            // A SystemSet whose rows fail when read: the language text is no JSON.
            {
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "prepare");
                db.setDatabaseName(dir.filePath("DAQ.db3"));
                QVERIFY(db.open());
                QSqlQuery q(db);
                QVERIFY(q.exec("CREATE TABLE Settings (Name TEXT PRIMARY KEY, Data TEXT)"));
                QVERIFY(q.exec("CREATE VIEW SystemSet AS SELECT Name, json(Data) AS Data FROM Settings"));
                QVERIFY(q.exec("CREATE TRIGGER SystemSetInsert INSTEAD OF INSERT ON SystemSet BEGIN"
                               " INSERT OR IGNORE INTO Settings VALUES (NEW.Name, NEW.Data); END"));
                db.close();
            }
            QSqlDatabase::removeDatabase("prepare");
        }
        MessageBoxHelper boxes;
        HKRQ5713 window;
        QVERIFY(!window.isReady());
        QCOMPARE(boxes.texts(), QStringList{text});
        QCOMPARE(boxes.last().title, QStringLiteral("警告"));
    }

    // Quitting asks first and only "Yes" closes; the question comes in the chosen language.
    void quitAndLanguage()
    {
        TestWorkDir dir;
        QVERIFY2(dir.copyFromBuild("DAQ_en.qm"), "build folder holds DAQ_en.qm");
        QVERIFY(dir.copyFromBuild("DAQ_zh.qm"));
        {
            HKRQ5713 window;
            QVERIFY(window.isReady());
            QCOMPARE(QFileInfo(window.translationFile()).fileName(), QStringLiteral("DAQ_zh.qm"));
            window.show();
            MessageBoxHelper boxes;
            boxes.press(QMessageBox::No);
            QVERIFY(!window.close());
            QVERIFY(window.isVisible());
            QCOMPARE(boxes.last().text, QStringLiteral("确认退出程序?"));
            QCOMPARE(boxes.last().standardButtons, QMessageBox::Yes | QMessageBox::No);
            boxes.press(QMessageBox::Yes);
            QVERIFY(window.close());
            QVERIFY(!window.isVisible());
        }
        QVERIFY(Tool::setSystemSet(SystemSetKeys::SystemLanguage, "English"));
        HKRQ5713 window;
        QVERIFY(window.isReady());
        QCOMPARE(QFileInfo(window.translationFile()).fileName(), QStringLiteral("DAQ_en.qm"));
        window.show();
        MessageBoxHelper boxes;
        boxes.press(QMessageBox::No);
        window.close();
        QCOMPARE(boxes.last().text, QStringLiteral("Exit the program?"));
        QCOMPARE(boxes.last().title, QStringLiteral("Information"));
    }
};

QTEST_MAIN(tst_HKRQ5713)
#include "tst_HKRQ5713.moc"
