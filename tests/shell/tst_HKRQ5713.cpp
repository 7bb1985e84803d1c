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

namespace {

QByteArray bytes(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The settings the window loaded, one text.
QString loaded(const HKRQ5713 &window)
{
    const Struct_System &s = *window.system();
    return QStringLiteral("%1 %2 %3 %4%5%6 %7 %8").arg(s.DataAccuracy).arg(s.EmailAddress.join(';')).arg(s.EmailInterval)
        .arg(int(s.EmailAutoTrigger)).arg(int(s.Switch_Notification)).arg(int(s.Switch_DeviceSet)).arg(s.DeviceList.size())
        .arg(s.DeviceList.value(0).CHUnit.join(';'));
}

// Asks the shown window to close, answering the question with the button: the box's title,
// text and buttons, and whether the window closed.
QString quit(HKRQ5713 &window, QMessageBox::StandardButton answer)
{
    MessageBoxHelper boxes;
    boxes.press(answer);
    const bool closed = window.close();
    return QStringList{boxes.last().title, boxes.last().text, boxes.last().buttons.join(' '),
                       closed == window.isVisible() ? "?" : closed ? "closed" : "open"}.join('|');
}

} // namespace

class tst_HKRQ5713 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        HKRQ5713::setSplashDelay(0);
    }

    // A first start makes the database; a second start finds it and changes nothing in it. The
    // settings and instruments stored are loaded; numbers that cannot be used keep their defaults.
    void startsAndLoadsTheSettings()
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

        QVERIFY(Tool::openDatabase("DAQ.db3"));
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
        {
            HKRQ5713 window;
            QCOMPARE(loaded(window), QStringLiteral("4 lab@example.org;qa@example.org 15 101 1 ℃;Ω"));
            // The calibration entry opens the calibration page on the application record.
            window.findChild<QToolButton *>(QStringLiteral("toolButton_Calibration"))->click();
            QCOMPARE(window.currentPageIndex(), int(HKRQ5713::Page_Calibration));
            auto *page = qobject_cast<Calibration *>(window.currentPage());
            QVERIFY(page && page->parentWidget() == window.findChild<QWidget *>(QStringLiteral("widget_Page")));
            QCOMPARE(page->findChild<QComboBox *>(QStringLiteral("comboBox_Device"))->count(), 1);
        }
        QVERIFY(Tool::setSystemSet(SystemSetKeys::DataAccuracy, "two"));
        QVERIFY(Tool::setSystemSet(SystemSetKeys::EmailInterval, "35791395")); // x 60 passes INT_MAX
        QCOMPARE(loaded(HKRQ5713()).section(' ', 0, 2), QStringLiteral("2 lab@example.org;qa@example.org 10"));
    }

    // The box says why; a database that cannot be opened also where it is and the driver's reason.
    void failedStartUpShowsWhyAndStops_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("pattern"); // %1: the database's path
        QTest::newRow("database is a folder") << "folder" << "^数据库打开失败!\n%1: .*unable to open database file";
        QTest::newRow("database is no database") << "garbage" << "^数据库打开失败!\n%1: .*file is not a database";
        QTest::newRow("setting cannot be read") << "setting" << "^Sql Error$";
    }

    void failedStartUpShowsWhyAndStops()
    {
        QFETCH(QString, fault);
        QFETCH(QString, pattern);
        TestWorkDir dir(TestWorkDir::NoDatabase);
        QFile file(dir.filePath("DAQ.db3"));
        if (fault == "folder") {
            QVERIFY(QDir(dir.path()).mkdir("DAQ.db3"));
        } else if (fault == "garbage") {
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(8192, 'x')) == 8192);
            file.close();
        } else {
            // A SystemSet whose rows fail when read: the language text is no JSON.
            {
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "prepare");
                db.setDatabaseName(file.fileName());
                QVERIFY(db.open());
                for (const char *sql : {"CREATE TABLE Settings (Name TEXT PRIMARY KEY, Data TEXT)",
                                        "CREATE VIEW SystemSet AS SELECT Name, json(Data) AS Data FROM Settings",
                                        "CREATE TRIGGER SystemSetInsert INSTEAD OF INSERT ON SystemSet BEGIN"
                                        " INSERT OR IGNORE INTO Settings VALUES (NEW.Name, NEW.Data); END"})
                    QVERIFY(QSqlQuery(db).exec(sql));
            }
            QSqlDatabase::removeDatabase("prepare");
        }
        MessageBoxHelper boxes;
        QVERIFY(!HKRQ5713().isReady());
        QCOMPARE(QString::number(boxes.count()) + ' ' + boxes.last().title, QStringLiteral("1 警告"));
        const QString path = QRegularExpression::escape(QFileInfo(file.fileName()).absoluteFilePath());
        QVERIFY2(QRegularExpression(pattern.arg(path)).match(boxes.last().text).hasMatch(), qPrintable(boxes.last().text));
    }

    // Quitting asks first and only "Yes" closes; the question and Qt's own buttons come in the
    // chosen language.
    void quitAndLanguage()
    {
        TestWorkDir dir;
        QVERIFY2(dir.copyFromBuild("DAQ_en.qm") && dir.copyFromBuild("DAQ_zh.qm"), "build folder holds the catalogues");
        {
            HKRQ5713 window;
            QCOMPARE(QFileInfo(window.translationFile()).fileName(), QStringLiteral("DAQ_zh.qm"));
            window.show();
            QCOMPARE(quit(window, QMessageBox::No), QStringLiteral("提示|确认退出程序?|是(Y) 否(N)|open"));
            QCOMPARE(quit(window, QMessageBox::Yes), QStringLiteral("提示|确认退出程序?|是(Y) 否(N)|closed"));
        }
        QVERIFY(Tool::setSystemSet(SystemSetKeys::SystemLanguage, "English"));
        HKRQ5713 window;
        QCOMPARE(QFileInfo(window.translationFile()).fileName(), QStringLiteral("DAQ_en.qm"));
        window.show();
        QCOMPARE(quit(window, QMessageBox::No), QStringLiteral("Information|Exit the program?|Yes No|open"));
    }
};

QTEST_MAIN(tst_HKRQ5713)
#include "tst_HKRQ5713.moc"
