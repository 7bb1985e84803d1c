#include "acquisition/ParametersMode.h"
#include "shell/Struct_System.h"
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

    // Refuses with exactly one message and writes nothing.
    void expectRefused(const QString &message)
    {
        const QStringList before = m_system.ProjectNames;
        m_system.Mode = QStringLiteral("untouched");
        QCOMPARE(pressNext(), QStringList{message});
        QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
        QCOMPARE(m_system.Mode, QStringLiteral("untouched"));
        QCOMPARE(m_system.ProjectNames, before);
    }

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        m_system = Struct_System();
        m_system.DeviceList = {testDevice(QStringLiteral("P530W-NTC"), QStringLiteral("2301")),
                               testDevice(QStringLiteral("R27K-RTD-16CH"), QStringLiteral("2302")),
                               testDevice(QStringLiteral("P780W"), QStringLiteral("2303"))};
    }

    void cleanup()
    {
        m_dialog.reset();
        m_dir.reset();
    }

    void opensInOnLineModeWithEveryRegisteredInstrument()
    {
        open();
        QCOMPARE(comboItems(combo("comboBox_Mode")), (QStringList{QStringLiteral("在线"), QStringLiteral("导入")}));
        QCOMPARE(combo("comboBox_Mode")->currentText(), QStringLiteral("在线"));
        const QStringList labels = {QStringLiteral("P530W-NTC_2301"), QStringLiteral("R27K-RTD-16CH_2302"),
                                    QStringLiteral("P780W_2303")};
        for (const char *name : {"comboBox_Device1", "comboBox_Device2", "comboBox_Device3"}) {
            QCOMPARE(comboItems(combo(name)), labels);
            QCOMPARE(combo(name)->currentIndex(), 0);
        }
        QVERIFY(!combo("comboBox_Device2")->isEnabled());
        QVERIFY(!combo("comboBox_Device3")->isEnabled());
        QVERIFY(!line("lineEdit_Name2")->isEnabled());
        QVERIFY(!line("lineEdit_Name3")->isEnabled());
        QVERIFY(qAbs(w<QDateTimeEdit>("dateTimeEdit_Start")->dateTime().secsTo(QDateTime::currentDateTime())) < 60);

        // The counts open the matching fields and close the others again.
        combo("comboBox_Device")->setCurrentText(QStringLiteral("3"));
        combo("comboBox_Project")->setCurrentText(QStringLiteral("2"));
        QVERIFY(combo("comboBox_Device3")->isEnabled());
        QVERIFY(line("lineEdit_Name2")->isEnabled());
        QVERIFY(!line("lineEdit_Name3")->isEnabled());
        combo("comboBox_Device")->setCurrentText(QStringLiteral("2"));
        QVERIFY(combo("comboBox_Device2")->isEnabled());
        QVERIFY(!combo("comboBox_Device3")->isEnabled());
    }

    void importModeOffersOnlyImportModelsAndLocksTheForm()
    {
        for (const auto &d : {testDevice(QStringLiteral("P540W"), QStringLiteral("1")),
                              testDevice(QStringLiteral("p540w"), QStringLiteral("2")),
                              testDevice(QStringLiteral("R27K-NTC-16CH"), QStringLiteral("3")),
                              testDevice(QStringLiteral("P530W-NTC-V1.1"), QStringLiteral("4")),
                              testDevice(QStringLiteral("P720W Plus"), QStringLiteral("5")),
                              testDevice(QStringLiteral("P720W Plus "), QStringLiteral("6"))})
            QVERIFY(Tool::addCollection(d));
        QCOMPARE(ParametersMode::importModelList().size(), 20);

        open();
        combo("comboBox_Device")->setCurrentText(QStringLiteral("3"));
        combo("comboBox_Project")->setCurrentText(QStringLiteral("3"));
        combo("comboBox_Mode")->setCurrentIndex(1);

        const QStringList imports = {QStringLiteral("P540W_1"), QStringLiteral("P530W-NTC-V1.1_4"),
                                     QStringLiteral("P720W Plus_5")};
        QCOMPARE(comboItems(combo("comboBox_Device1")), imports);
        QCOMPARE(combo("comboBox_Device")->currentText(), QStringLiteral("1"));
        QCOMPARE(combo("comboBox_Project")->currentText(), QStringLiteral("1"));
        QVERIFY(!combo("comboBox_Device2")->isEnabled());
        QVERIFY(!line("lineEdit_Name3")->isEnabled());
        const char *locked[] = {"comboBox_Device",  "comboBox_Project",  "dateTimeEdit_Start",
                                "dateTimeEdit_End", "lineEdit_Interval", "checkBox_Save"};
        for (const char *name : locked)
            QVERIFY2(!w<QWidget>(name)->isEnabled(), name);

        combo("comboBox_Mode")->setCurrentIndex(0);
        QCOMPARE(comboItems(combo("comboBox_Device2")).size(), 3);
        QCOMPARE(combo("comboBox_Device2")->itemText(1), QStringLiteral("R27K-RTD-16CH_2302"));
        for (const char *name : locked)
            QVERIFY2(w<QWidget>(name)->isEnabled(), name);
    }

    void importModeWritesModeKeyAndIgnoresTheInterval()
    {
        QVERIFY(Tool::addCollection(testDevice(QStringLiteral("P780W"), QStringLiteral("9"))));
        open();
        line("lineEdit_Interval")->setText(QStringLiteral("1.2.3"));
        combo("comboBox_Mode")->setCurrentIndex(1);
        setNames({QStringLiteral("Import A")});
        QCOMPARE(pressNext(), QStringList());
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QCOMPARE(m_system.Mode, QStringLiteral("导入"));
        QCOMPARE(m_system.ModeKey, ParametersMode::ModeImport);
        QCOMPARE(m_system.Interval, 0.0);
        QCOMPARE(m_system.ProjectDevices.size(), 1);
        QCOMPARE(m_system.ProjectDevices.at(0).Serial, QStringLiteral("9"));
        QCOMPARE(m_system.ProjectNames, QStringList{QStringLiteral("Import A")});
    }

    void failedInstrumentQueryLeavesImportEmpty()
    {
        open();
        Tool::closeDatabase();
        combo("comboBox_Mode")->setCurrentIndex(1);
        QCOMPARE(combo("comboBox_Device1")->count(), 0);
        setNames({QStringLiteral("P")});
        expectRefused(QStringLiteral("未选择采集设备！"));
    }

    void noInstrumentRefusesByCount()
    {
        m_system.DeviceList.clear();
        open();
        expectRefused(QStringLiteral("未选择采集设备！"));
        combo("comboBox_Device")->setCurrentText(QStringLiteral("2"));
        expectRefused(QStringLiteral("采集设备不能相同！"));
        combo("comboBox_Device")->setCurrentText(QStringLiteral("3"));
        // The instruments are checked before the (empty) name.
        expectRefused(QStringLiteral("采集设备不能相同！"));
    }

    void projectNameChecksInOrder()
    {
        Tool::Struct_Parameters stored;
        stored.Name = QStringLiteral("Stored");
        QVERIFY(Tool::addParameters(stored));
        open();

        setNames({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A")});
        expectRefused(QStringLiteral("项目名称相同！"));
        setNames({QStringLiteral("A"), QStringLiteral("B"), QString()});
        expectRefused(QStringLiteral("项目信息未设置！"));
        setNames({QStringLiteral("A"), QStringLiteral("Stored"), QStringLiteral("C")});
        expectRefused(QStringLiteral("项目名称已存在！"));
        // A name is checked completely before the next one is looked at.
        setNames({QStringLiteral("Stored"), QString(), QStringLiteral("C")});
        expectRefused(QStringLiteral("项目名称已存在！"));
        setNames({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        QCOMPARE(pressNext(), QStringList());
        QCOMPARE(m_system.ProjectNames, (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    }

    void failedProjectLookupIsReported()
    {
        open();
        setNames({QStringLiteral("A")});
        Tool::closeDatabase();
        expectRefused(QStringLiteral("数据库连接失败！"));
    }

    void unusableProjectNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("usable");
        for (const char *bad : {"a/b", "a\\b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a,b", ".", ".."})
            QTest::newRow(bad) << QString::fromUtf8(bad) << false;
        QTest::newRow("tab") << QStringLiteral("a\tb") << false;
        QTest::newRow("newline") << QStringLiteral("a\nb") << false;
        QTest::newRow("escape") << QStringLiteral("a\x1b") << false;
        QTest::newRow("leading space") << QStringLiteral(" a") << false;
        QTest::newRow("trailing space") << QStringLiteral("a ") << false;
        QTest::newRow("trailing ideographic space") << QStringLiteral("a\u3000") << false;
        QTest::newRow("inner space") << QStringLiteral("炉温 1") << true;
        QTest::newRow("dots inside") << QStringLiteral("a.b..c") << true;
        QTest::newRow("lower-case null") << QStringLiteral("null") << true;
    }

    void unusableProjectNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, usable);
        open();
        // The name check stops at the first failing name, before the empty second one.
        setNames({name, QString()});
        if (usable) {
            expectRefused(QStringLiteral("项目信息未设置！"));
        } else {
            const QStringList texts = pressNext();
            QCOMPARE(texts.size(), 1);
            QVERIFY2(texts.at(0).startsWith(QStringLiteral("项目名称不能包含")), qPrintable(texts.at(0)));
            QVERIFY(m_system.ProjectNames.isEmpty());
        }
    }

    void projectNamedNullIsRefused()
    {
        open();
        setNames({QStringLiteral("NULL")});
        expectRefused(QStringLiteral("项目名称不能为NULL！"));
        // Refused before it could be taken for a duplicate.
        setNames({QStringLiteral("A"), QStringLiteral("NULL"), QStringLiteral("NULL")});
        expectRefused(QStringLiteral("项目名称不能为NULL！"));
    }

    void intervalIsCheckedInOnLineMode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("stored");
        QTest::newRow("half second") << QStringLiteral("0.5") << true << 0.5;
        QTest::newRow("one millisecond") << QStringLiteral("0.001") << true << 0.001;
        QTest::newRow("largest") << QStringLiteral("2147483.647") << true << 2147483.647;
        QTest::newRow("two points") << QStringLiteral("1.2.3") << false << 0.0;
        QTest::newRow("empty") << QString() << false << 0.0;
        QTest::newRow("zero") << QStringLiteral("0") << false << 0.0;
        QTest::newRow("below a millisecond") << QStringLiteral("0.0009") << false << 0.0;
        QTest::newRow("2^31 ms") << QStringLiteral("2147483.648") << false << 0.0;
    }

    void intervalIsCheckedInOnLineMode()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(double, stored);
        open();
        setNames({QStringLiteral("A")});
        line("lineEdit_Interval")->setText(text);
        if (accepted) {
            QCOMPARE(pressNext(), QStringList());
            QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
            QCOMPARE(m_system.Interval, stored);
        } else {
            expectRefused(QStringLiteral("采集间隔设置错误!"));
        }
    }

    void twoInstrumentsWarnThenHandOverInComboOrder()
    {
        open();
        combo("comboBox_Device")->setCurrentText(QStringLiteral("2"));
        combo("comboBox_Device1")->setCurrentIndex(2);
        combo("comboBox_Device2")->setCurrentIndex(0);
        setNames({QStringLiteral("A"), QStringLiteral("B")});
        line("lineEdit_Name3")->setText(QStringLiteral("not asked for"));
        w<QCheckBox>("checkBox_Save")->setChecked(true);
        const QDateTime start(QDate(2024, 5, 2), QTime(8, 30, 15));
        w<QDateTimeEdit>("dateTimeEdit_Start")->setDateTime(start);
        w<QDateTimeEdit>("dateTimeEdit_End")->setDateTime(start.addDays(-1));
        m_system.ParametersChannels = {Struct_ParametersChannel()};

        QCOMPARE(pressNext(), QStringList{QStringLiteral("采集设备参数将以第一台设备为准！")});
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));

        QCOMPARE(m_system.ProjectDevices.size(), 2);
        QCOMPARE(m_system.ProjectDevices.at(0).Serial, QStringLiteral("2303"));
        QCOMPARE(m_system.ProjectDevices.at(1).Serial, QStringLiteral("2301"));
        QCOMPARE(m_system.ProjectDevices.at(1).CHSerial, m_system.DeviceList.at(0).CHSerial);
        QCOMPARE(m_system.ProjectNames, (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
        QVERIFY(m_system.DataSave);
        QCOMPARE(m_system.Interval, 1.0);
        QCOMPARE(m_system.Mode, QStringLiteral("在线"));
        QCOMPARE(m_system.ModeKey, ParametersMode::ModeOnLine);
        QCOMPARE(m_system.StartTime, QStringLiteral("2024-05-02 08:30:15"));
        // The end is not compared with the start here.
        QCOMPARE(m_system.EndTime, QStringLiteral("2024-05-01 08:30:15"));
        QCOMPARE(m_system.ParametersChannels.size(), 1);
    }
};

QTEST_MAIN(tst_ParametersMode)
#include "tst_ParametersMode.moc"
