#include "acquisition/ParametersMode.h"
#include "common/Struct_System.h"
#include "store/Tool.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"
#include "SetupTestHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

QStringList comboItems(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

} // namespace

class tst_ParametersMode : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestWorkDir> m_dir;
    Struct_System m_system;
    std::unique_ptr<ParametersMode> m_dialog;

    template <typename T> T *w(const char *name) const
    {
        T *widget = m_dialog->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("widget %s missing", name);
        return widget;
    }
    QComboBox *combo(const char *name) const { return w<QComboBox>(name); }
    QLineEdit *line(const char *name) const { return w<QLineEdit>(name); }

    void open()
    {
        m_dialog.reset(new ParametersMode);
        m_dialog->setParameters(&m_system);
    }

    void setNames(const QStringList &names)
    {
        combo("comboBox_Project")->setCurrentText(QString::number(names.size()));
        const char *edits[] = {"lineEdit_Name1", "lineEdit_Name2", "lineEdit_Name3"};
        for (int i = 0; i < names.size(); ++i)
            line(edits[i])->setText(names.at(i));
    }

    // Presses "下一步" with the helper answering every box; returns the message texts.
    QStringList pressNext()
    {
        MessageBoxHelper boxes;
        QTest::mouseClick(w<QPushButton>("pushButton_OK"), Qt::LeftButton);
        return warningTexts(boxes);
    }

    // The enabled state of the named widgets, as "101".
    QString enabled(std::initializer_list<const char *> names) const
    {
        QString states;
        for (const char *name : names)
            states += w<QWidget>(name)->isEnabled() ? '1' : '0';
        return states;
    }

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        m_system = Struct_System();
        m_system.DeviceList = {testDevice("P530W-NTC", "2301"), testDevice("R27K-RTD-16CH", "2302"),
                               testDevice("P780W", "2303")};
    }

    void cleanup()
    {
        m_dialog.reset();
        m_dir.reset();
    }

    // Import mode offers only the registered instruments of the import models (compared exactly),
    // sets both counts to 1 and locks the form; its interval is not checked. Back on-line, all opens.
    void importModeOffersOnlyImportModelsAndLocksTheForm()
    {
        for (const auto &d : {testDevice("P540W", "1"), testDevice("p540w", "2"), testDevice("R27K-NTC-16CH", "3"),
                              testDevice("P530W-NTC-V1.1", "4"), testDevice("P720W Plus", "5"), testDevice("P720W Plus ", "6")})
            QVERIFY(Tool::addCollection(d));
        open();
        combo("comboBox_Device")->setCurrentText("3");
        combo("comboBox_Project")->setCurrentText("3");
        combo("comboBox_Mode")->setCurrentIndex(1);
        QCOMPARE(comboItems(combo("comboBox_Device1")), QStringList({"P540W_1", "P530W-NTC-V1.1_4", "P720W Plus_5"}));
        QCOMPARE(combo("comboBox_Device")->currentText() + combo("comboBox_Project")->currentText(), QStringLiteral("11"));
        const auto locked = {"comboBox_Device",  "comboBox_Project",  "dateTimeEdit_Start", "dateTimeEdit_End",
                             "lineEdit_Interval", "checkBox_Save", "comboBox_Device2", "lineEdit_Name3"};
        QCOMPARE(enabled(locked), QStringLiteral("00000000"));

        combo("comboBox_Mode")->setCurrentIndex(0);
        QCOMPARE(comboItems(combo("comboBox_Device2")).value(1), QStringLiteral("R27K-RTD-16CH_2302"));
        QCOMPARE(enabled(locked), QStringLiteral("11111100"));

        line("lineEdit_Interval")->setText("1.2.3");
        combo("comboBox_Mode")->setCurrentIndex(1);
        combo("comboBox_Device1")->setCurrentIndex(1);
        setNames({"Import A"});
        QCOMPARE(pressNext(), QStringList());
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QCOMPARE(QStringList({m_system.Mode, m_system.ModeKey, QString::number(m_system.Interval), m_system.ProjectNames.join('|'),
                              m_system.ProjectDevices.value(0).Serial, QString::number(m_system.ProjectDevices.size())}),
                 QStringList({"导入", ParametersMode::ModeImport, "0", "Import A", "4", "1"}));
    }

    // The checks of "下一步" in order: instruments, then each name completely before the next one,
    // then the interval (on-line only). A refusal shows one message and writes nothing.
    void checks_data()
    {
        QTest::addColumn<QString>("fault"); // what the set-up lacks
        QTest::addColumn<int>("devices");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<QString>("message"); // empty: accepted with that interval
        const QString same = "采集设备不能相同！", empty = "项目信息未设置！", exists = "项目名称已存在！";
        const QString invalid = "项目名称不能包含 / \\ : * ? \" < > | , 或控制字符，不能为 . 或 ..，首尾不能有空格！";
        const QString interval = "采集间隔设置错误!";
        QTest::newRow("no instrument") << "no instruments" << 1 << QStringList() << "1" << "未选择采集设备！";
        // A failed instrument query leaves the import list empty.
        QTest::newRow("import list not read") << "import, closed" << 1 << QStringList{"P"} << "1" << "未选择采集设备！";
        QTest::newRow("two the same") << "" << 2 << QStringList() << "1" << same;
        QTest::newRow("before the empty name") << "" << 3 << QStringList() << "1" << same;
        QTest::newRow("same name") << "" << 1 << QStringList{"A", "B", "A"} << "1" << "项目名称相同！";
        QTest::newRow("third empty") << "" << 1 << QStringList{"A", "B", ""} << "1" << empty;
        QTest::newRow("stored") << "" << 1 << QStringList{"A", "Stored", "C"} << "1" << exists;
        QTest::newRow("stored before empty") << "" << 1 << QStringList{"Stored", "", "C"} << "1" << exists;
        QTest::newRow("NULL before same") << "" << 1 << QStringList{"A", "NULL", "NULL"} << "1" << "项目名称不能为NULL！";
        QTest::newRow("database closed") << "closed" << 1 << QStringList{"A", "B", "C"} << "1" << "数据库连接失败！";
        for (const QString &name : {"a/b", "a\"b", "a,b", "..", "a\nb", " a", "a\u3000"})
            QTest::newRow(qPrintable("unusable " + name)) << "" << 1 << QStringList{name, ""} << "1" << invalid;
        // The day's CSV file name "<name>-yyyy-MM-dd.csv" may have 255 bytes: 80 CJK characters fit.
        for (const QString &name : {QString("炉温 1"), QString("a.b..c"), QString("null"), QString(80, QChar(0x7089))})
            QTest::newRow(qPrintable("usable " + name.left(6))) << "" << 1 << QStringList{name, ""} << "1" << empty;
        QTest::newRow("256 bytes") << "" << 1 << QStringList{QString(80, QChar(0x7089)) + "a"} << "1"
                                   << "项目名称过长，数据文件名不能超过255字节！";
        // No number, below 1 ms, 2^31 ms and more.
        for (const char *text : {"1.2.3", "", "0", "0.0004", "2147483.648"})
            QTest::newRow(qPrintable("interval " + QString(text))) << "" << 1 << QStringList{"A"} << text << interval;
        for (const char *text : {"0.5", "0.001", "2147483.647"})
            QTest::newRow(text) << "" << 1 << QStringList{"A", "B", "C"} << text << "";
    }

    void checks()
    {
        QFETCH(QString, fault);
        QFETCH(int, devices);
        QFETCH(QStringList, names);
        QFETCH(QString, interval);
        QFETCH(QString, message);
        Tool::Struct_Parameters stored;
        stored.Name = "Stored";
        QVERIFY(Tool::addParameters(stored));
        if (fault == "no instruments")
            m_system.DeviceList.clear();
        open();
        combo("comboBox_Device")->setCurrentText(QString::number(devices));
        if (fault.endsWith("closed"))
            Tool::closeDatabase();
        if (fault.startsWith("import"))
            combo("comboBox_Mode")->setCurrentIndex(1);
        setNames(names);
        line("lineEdit_Interval")->setText(interval);
        m_system.Mode = "untouched";
        QCOMPARE(pressNext(), message.isEmpty() ? QStringList() : QStringList{message});
        if (message.isEmpty()) {
            QCOMPARE(QString::number(m_system.Interval, 'g', 10) + " " + m_system.ProjectNames.join('|'), interval + " A|B|C");
        } else {
            QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
            QCOMPARE(m_system.Mode + m_system.ProjectNames.join('|'), QStringLiteral("untouched"));
        }
    }

    // On-line mode offers every registered instrument; the counts open the matching fields and
    // close the others again. Two instruments warn, then are handed over in combo order.
    void onLineFormHandsOverInComboOrder()
    {
        open();
        QCOMPARE(combo("comboBox_Mode")->currentText(), QStringLiteral("在线"));
        for (const char *name : {"comboBox_Device1", "comboBox_Device2", "comboBox_Device3"})
            QCOMPARE(comboItems(combo(name)) << QString::number(combo(name)->currentIndex()),
                     QStringList({"P530W-NTC_2301", "R27K-RTD-16CH_2302", "P780W_2303", "0"}));
        const auto fields = {"comboBox_Device2", "comboBox_Device3", "lineEdit_Name2", "lineEdit_Name3"};
        QCOMPARE(enabled(fields), QStringLiteral("0000"));
        QVERIFY(qAbs(w<QDateTimeEdit>("dateTimeEdit_Start")->dateTime().secsTo(QDateTime::currentDateTime())) < 60);
        combo("comboBox_Device")->setCurrentText("3");
        combo("comboBox_Project")->setCurrentText("2");
        QCOMPARE(enabled(fields), QStringLiteral("1110"));
        combo("comboBox_Device")->setCurrentText("2");
        QCOMPARE(enabled(fields), QStringLiteral("1010"));

        combo("comboBox_Device1")->setCurrentIndex(2);
        combo("comboBox_Device2")->setCurrentIndex(0);
        setNames({"A", "B"});
        line("lineEdit_Name3")->setText("not asked for");
        w<QCheckBox>("checkBox_Save")->setChecked(true);
        const QDateTime start(QDate(2024, 5, 2), QTime(8, 30, 15));
        w<QDateTimeEdit>("dateTimeEdit_Start")->setDateTime(start);
        w<QDateTimeEdit>("dateTimeEdit_End")->setDateTime(start.addDays(-1));
        m_system.ParametersChannels = {Struct_ParametersChannel()};

        QCOMPARE(pressNext(), QStringList{"采集设备参数将以第一台设备为准！"});
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QCOMPARE(m_system.ProjectDevices.size(), 2);
        QCOMPARE(m_system.ProjectDevices.at(1).CHSerial, m_system.DeviceList.at(0).CHSerial);
        // The end is not compared with the start here; the channel rows are left as they were.
        const Struct_System &s = m_system;
        QCOMPARE(QStringList({s.ProjectDevices.at(0).Serial + s.ProjectDevices.at(1).Serial, s.ProjectNames.join('|'),
                              QString::number(s.DataSave), QString::number(s.Interval), s.Mode, s.ModeKey, s.StartTime,
                              s.EndTime, QString::number(s.ParametersChannels.size())}),
                 QStringList({"23032301", "A|B", "1", "1", "在线", ParametersMode::ModeOnLine, "2024-05-02 08:30:15",
                              "2024-05-01 08:30:15", "1"}));
    }
};

QTEST_MAIN(tst_ParametersMode)
#include "tst_ParametersMode.moc"
