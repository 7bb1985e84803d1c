#include "calibration/Calibration.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"
#include "shell/HKRQ5713.h"
#include "store/SystemSetKeys.h"
#include "store/Tool.h"

#include <QComboBox>
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

    // A first start makes the database; a second start finds it and changes nothing in it.
    void startOnEmptyFolderThenAgain()
    {
        TestWorkDir dir(TestWorkDir::NoDatabase);
        QVERIFY(dir.isValid());
        MessageBoxHelper boxes;
        {
            HKRQ5713 window;
            QVERIFY2(window.isReady(), qPrintable(window.errorText()));
            auto *time = window.findChild<QLabel *>(QStringLiteral("label_Time"));
            QVERIFY(time && QDateTime::fromString(time->text(), "yyyy-MM-dd hh:mm:ss").isValid());

            // Every entry of this program is offered.
            for (const char *name :
                 {"toolButton_Parameters", "toolButton_Calibration", "toolButton_VerificationReport"}) {
                auto *button = window.findChild<QToolButton *>(QString::fromLatin1(name));
                QVERIFY2(button && !button->isHidden(), name);
            }
        }
        Tool::closeDatabase();
        const QByteArray first = bytes(dir.filePath("DAQ.db3"));
        QVERIFY(first.startsWith("SQLite format 3"));
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

        // The calibration entry opens the calibration page on the application record.
        window->findChild<QToolButton *>(QStringLiteral("toolButton_Calibration"))->click();
        QCOMPARE(window->currentPageIndex(), int(HKRQ5713::Page_Calibration));
        auto *page = qobject_cast<Calibration *>(window->currentPage());
        QVERIFY(page && page->parentWidget() == window->findChild<QWidget *>(QStringLiteral("widget_Page")));
        QCOMPARE(page->findChild<QComboBox *>(QStringLiteral("comboBox_Device"))->count(), 1);

        // Numbers that cannot be used keep their defaults.
        window.reset();
        QVERIFY(Tool::setSystemSet(SystemSetKeys::DataAccuracy, "two"));
        QVERIFY(Tool::setSystemSet(SystemSetKeys::EmailInterval, "35791395")); // x 60 passes INT_MAX
        window = std::make_unique<HKRQ5713>();
        QCOMPARE(window->system()->DataAccuracy, 2);
        QCOMPARE(window->system()->EmailInterval, 10);
    }

    // The box says why; a database that cannot be opened also where it is and the driver's reason.
    void failedStartUpShowsWhyAndStops_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("database is a folder") << "folder" << QStringLiteral("数据库打开失败!")
                                              << QStringLiteral("unable to open database file");
        QTest::newRow("database is no database") << "garbage" << QStringLiteral("数据库打开失败!")
                                                 << QStringLiteral("file is not a database");
        QTest::newRow("setting cannot be read") << "setting" << QStringLiteral("Sql Error") << QString();
    }

    void failedStartUpShowsWhyAndStops()
    {
        QFETCH(QString, fault);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        TestWorkDir dir(TestWorkDir::NoDatabase);
        if (fault == "folder") {
            QVERIFY(QDir(dir.path()).mkdir("DAQ.db3"));
        } else if (fault == "garbage") {
            QFile file(dir.filePath("DAQ.db3"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(8192, 'x'));
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
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("警告"));
        const QStringList lines = boxes.last().text.split('\n');
        QCOMPARE(lines.value(0), text);
        if (!reason.isEmpty()) {
            QVERIFY2(lines.value(1).startsWith(QFileInfo(dir.filePath("DAQ.db3")).absoluteFilePath() + ": ")
                         && lines.value(1).contains(reason),
                     qPrintable(boxes.last().text));
        }
    }

    // Quitting asks first and only "Yes" closes; the question and Qt's own buttons come in the
    // chosen language.
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
            QCOMPARE(boxes.last().buttons, QStringList({"是(Y)", "否(N)"}));
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
        QCOMPARE(boxes.last().buttons, QStringList({"Yes", "No"}));
    }
};

QTEST_MAIN(tst_HKRQ5713)
#include "tst_HKRQ5713.moc"
