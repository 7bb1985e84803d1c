#include "calibration/CalibrationChannel.h"
#include "common/Struct_System.h"
#include "store/SystemSetKeys.h"
#include "store/Tool.h"
#include "support/FakeCollection.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"
#include "widgets/QTableWidgetL.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const QString kModel = QStringLiteral("CAL-FAKE");
const QString kKey = QStringLiteral("2024-05-01 08:00:00");

Struct_Channel channel(quint32 number, const QString &function)
{
    Struct_Channel c;
    c.Number = number;
    c.Enabled = true;
    c.Type = QStringLiteral("铂电阻");
    c.Function = function;
    c.Wire = QStringLiteral("4线");
    c.Unit = QStringLiteral("Ω");
    c.A = QStringLiteral("3.9083E-03");
    c.R0 = QStringLiteral("100");
    c.Offset_M = 1.00000012f;
    c.Offset_B = -0.123456791f;
    c.Parameter1 = QStringLiteral("p1-%1").arg(number);
    return c;
}

// A run on the registered instrument with a dry-well source and its own reference.
Struct_System makeSystem(const QString &fieldModel = QStringLiteral("QNLK-R"))
{
    Struct_System system;
    system.FieldModel = fieldModel;
    system.CriteriaModel = fieldModel == "Other" ? QStringLiteral("QN P710W") : fieldModel;
    system.CalibrationDevice.Model = kModel;
    system.CalibrationDevice.Serial = QStringLiteral("SN-CAL");
    system.CalibrationDevice.SignalMode = QStringLiteral("网络");
    system.CalibrationDevice.Signal1 = QStringLiteral("127.0.0.1");
    system.CalibrationDevice.Signal2 = QStringLiteral("502");
    system.Calibration.TimeName = kKey;
    system.Calibration.Model = kModel;
    system.Calibration.Serial = QStringLiteral("SN-CAL");
    system.CalibrationDelay = 7;
    return system;
}

Tool::Struct_CalibrationData storedRecord(const QString &number)
{
    Tool::Struct_CalibrationData r;
    r.Name = kKey;
    r.Number = number;
    r.Type = QStringLiteral("热敏电阻");
    r.Range = QStringLiteral("R(T)");
    r.Wire = QStringLiteral("2线");
    r.CList = QStringList{"0.000000", "25.000000"};
    r.DList = QStringList{"32650.00000000", "10000.00000000"};
    return r;
}

} // namespace

class tst_CalibrationChannel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestWorkDir> m_dir;
    std::shared_ptr<FakeCollection::Script> m_script;
    std::unique_ptr<MessageBoxHelper> m_boxes;
    Struct_System m_system;

    QTableWidgetL *table(CalibrationChannel &d) { return d.findChild<QTableWidgetL *>(); }
    QLineEdit *edit(CalibrationChannel &d, const QString &name) { return d.findChild<QLineEdit *>(name); }
    QPushButton *button(CalibrationChannel &d, const char *name) { return d.findChild<QPushButton *>(name); }
    QCheckBox *box(CalibrationChannel &d, int row) { return table(d)->cellCheckBox(row, CalibrationChannel::ColState); }

    // Runs the channel read of a new run to its end.
    bool open(CalibrationChannel &d)
    {
        return d.SetParameters(&m_system) && QTest::qWaitFor([&] { return !d.isReading(); }, 10000);
    }
    QString boolRow(CalibrationChannel &d, bool enabled)
    {
        QString states;
        for (int row = 0; row < table(d)->rowCount(); ++row)
            states += (enabled ? box(d, row)->isEnabled() : box(d, row)->isChecked()) ? '1' : '0';
        return states;
    }
    void setTemps(CalibrationChannel &d, const QStringList &texts)
    {
        for (int i = 0; i < 9; ++i)
            edit(d, QStringLiteral("lineEdit_Temp%1").arg(i + 1))->setText(texts.value(i));
    }

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        m_script = FakeCollection::install(kModel);
        m_script->setSerial(QStringLiteral("SN-CAL"));
        m_script->setChannels({channel(1, "CVD"), channel(2, "Auto"), channel(3, "R(T)"), channel(4, "ITS90")});
        m_boxes.reset(new MessageBoxHelper);
        m_system = makeSystem();
    }
    void cleanup()
    {
        m_boxes.reset();
        FakeCollection::uninstall(kModel);
        m_dir.reset();
    }

    // A new run reads the channels once, closes the instrument and offers only the channels of a
    // calibration method; the chosen records keep the factors exactly.
    void newRunReadsAndChooses()
    {
        CalibrationChannel d;
        QVERIFY(open(d));
        QCOMPARE(m_boxes->count(), 0);
        QCOMPARE(m_script->calls(FakeCollection::Call::Close), 1);
        QCOMPARE(table(d)->rowCount(), 4);
        QCOMPARE(table(d)->item(1, CalibrationChannel::ColRange)->text(), QString("Auto"));
        QCOMPARE(boolRow(d, true), QString("1011"));

        button(d, "pushButton_All")->click();
        QCOMPARE(button(d, "pushButton_All")->text(), QString("取消全选"));
        QCOMPARE(boolRow(d, false), QString("1011"));
        button(d, "pushButton_All")->click();
        QCOMPARE(button(d, "pushButton_All")->text(), QString("全选"));
        QCOMPARE(boolRow(d, false), QString("0000"));
        box(d, 0)->setChecked(true);
        box(d, 3)->setChecked(true);

        edit(d, "lineEdit_Delay")->setText("15");
        setTemps(d, {"0", "50.5", "", "100"});
        button(d, "pushButton_Next")->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(m_system.CalibrationTemp, (QStringList{"0", "50.5"}));
        QCOMPARE(m_system.CalibrationDelay, 15);
        QCOMPARE(m_system.Calibration.CHNumber, (QStringList{"1", "4"}));
        QCOMPARE(m_system.Calibration.TimeName, kKey);
        const Tool::Struct_CalibrationData &first = m_system.CalibrationData.first();
        QCOMPARE(QStringList({first.Name, first.Range, first.Parameter1}), QStringList({kKey, "CVD", "p1-1"}));
        QCOMPARE(first.Offset_M.toFloat(), 1.00000012f);
        QCOMPARE(first.Offset_B.toFloat(), -0.123456791f);
    }

    // Each failing step of the read ends with its message; channels not read cannot be chosen.
    void readFailures_data()
    {
        QTest::addColumn<int>("failing");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("choosable");
        QTest::newRow("open") << int(FakeCollection::Call::Open) << "SN-CAL" << "Open Error" << "";
        QTest::newRow("other instrument") << -1 << "SN-OTHER"
                                          << "序列号不匹配，请检查连接的设备是否为对应序列号的设备！" << "";
        QTest::newRow("configuration") << int(FakeCollection::Call::GetChannelConfig) << "SN-CAL" << "参数获取失败！"
                                       << "";
        QTest::newRow("third parameter") << int(FakeCollection::Call::GetOneChannelParameter) << "SN-CAL"
                                         << "参数获取失败！" << "1000";
        QTest::newRow("no driver") << -2 << "SN-CAL" << "Open Error" << "";
    }
    void readFailures()
    {
        QFETCH(int, failing);
        QFETCH(QString, serial);
        QFETCH(QString, message);
        QFETCH(QString, choosable);
        m_script->setSerial(serial);
        if (failing >= 0)
            m_script->failAt(FakeCollection::Call(failing),
                             failing == int(FakeCollection::Call::GetOneChannelParameter) ? 3 : 1);
        if (failing == -2)
            FakeCollection::uninstall(kModel);
        CalibrationChannel d;
        QVERIFY(open(d));
        QVERIFY(m_boxes->waitFor(1));
        QCOMPARE(m_boxes->texts(), QStringList{message});
        QCOMPARE(boolRow(d, true), choosable);
        if (failing != -2)
            QCOMPARE(m_script->calls(FakeCollection::Call::Close), 1);
    }

    // Set points run from the first edit up to the first empty one and must be finite numbers;
    // the delay must be whole minutes an int holds (a stored 2.9 is 2 minutes).
    void automaticSetUp_data()
    {
        QTest::addColumn<QString>("delay");
        QTest::addColumn<QStringList>("temps");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("minutes");
        QTest::newRow("stored fraction") << "2.9" << QStringList{"-20", "125.5"} << "" << 2;
        QTest::newRow("no channel") << "10" << QStringList{"25"} << "请先选择通道！" << 0;
        QTest::newRow("zero delay") << "0" << QStringList{"25"} << "" << 0;
        QTest::newRow("no delay") << "" << QStringList{"25"} << "稳定延时未设置！" << 0;
        QTest::newRow("huge delay") << "99999999999" << QStringList{"25"} << "稳定延时设置无效：99999999999" << 0;
        QTest::newRow("negative delay") << "-3" << QStringList{"25"} << "稳定延时设置无效：-3" << 0;
        QTest::newRow("no set point") << "10" << QStringList{"", "25"} << "校准温度未设置！" << 0;
        QTest::newRow("nan") << "10" << QStringList{"25", "nan"} << "校准温度设置无效：nan" << 0;
        QTest::newRow("inf") << "10" << QStringList{"inf"} << "校准温度设置无效：inf" << 0;
        QTest::newRow("half typed") << "10" << QStringList{"-"} << "校准温度设置无效：-" << 0;
    }
    void automaticSetUp()
    {
        QFETCH(QString, delay);
        QFETCH(QStringList, temps);
        QFETCH(QString, message);
        QFETCH(int, minutes);
        CalibrationChannel d;
        QVERIFY(open(d));
        box(d, 0)->setChecked(QTest::currentDataTag() != QLatin1String("no channel"));
        edit(d, "lineEdit_Delay")->setText(delay);
        setTemps(d, temps);
        button(d, "pushButton_Next")->click();
        if (message.isEmpty()) {
            QCOMPARE(m_boxes->count(), 0);
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QCOMPARE(m_system.CalibrationDelay, minutes);
            QCOMPARE(m_system.CalibrationTemp, temps);
        } else {
            QCOMPARE(m_boxes->texts(), QStringList{message});
            QCOMPARE(d.result(), int(QDialog::Rejected));
            QCOMPARE(m_system.CalibrationDelay, 7);
            QVERIFY(m_system.CalibrationData.isEmpty());
        }
    }

    // The edits start from the stored defaults and leave them for the next run, accepted or not.
    void storedDefaults()
    {
        QVERIFY(Tool::setSystemSet(SystemSetKeys::CalibrationDelay, ""));
        QVERIFY(Tool::setSystemSet(SystemSetKeys::CalibrationTemp, "1,2,3,4,5,6,7,8,9,10,11"));
        {
            CalibrationChannel d;
            QCOMPARE(edit(d, "lineEdit_Delay")->text(), QString());
            QCOMPARE(edit(d, "lineEdit_Temp9")->text(), QString("9"));
            edit(d, "lineEdit_Delay")->setText("30");
            setTemps(d, {"-40", "0", "", "100"});
        }
        QString delay, temps;
        QVERIFY(Tool::getSystemSet(SystemSetKeys::CalibrationDelay, delay));
        QVERIFY(Tool::getSystemSet(SystemSetKeys::CalibrationTemp, temps));
        QCOMPARE(delay + "|" + temps, QString("30|-40,0"));
    }

    // A continued run lists exactly its channels, checked and locked, and reads nothing.
    void continuedRunLocked()
    {
        QVERIFY(Tool::addCalibrationData(storedRecord("3")));
        QVERIFY(Tool::addCalibrationData(storedRecord("1")));
        m_system.Calibration.CHNumber = QStringList{"3", "1"};
        CalibrationChannel d;
        QVERIFY(d.SetParameters(&m_system));
        QVERIFY(!d.isReading());
        QCOMPARE(table(d)->rowCount(), 2);
        QCOMPARE(table(d)->item(0, CalibrationChannel::ColNumber)->text(), QString("3"));
        QCOMPARE(boolRow(d, false), QString("11"));
        QCOMPARE(boolRow(d, true), QString("00"));
        button(d, "pushButton_All")->click();
        QCOMPARE(boolRow(d, false), QString("11"));
        edit(d, "lineEdit_Delay")->setText("10");
        setTemps(d, {"0", "25", "50", "75"});
        button(d, "pushButton_Next")->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(m_system.Calibration.CHNumber, (QStringList{"3", "1"}));
        QCOMPARE(m_system.CalibrationData.at(1).DList, storedRecord("1").DList);
        QCOMPARE(m_script->calls(FakeCollection::Call::Open), 0);
    }

    // A continued run whose stored record is gone is refused before the dialog runs.
    void continuedRunMissingRecord()
    {
        QVERIFY(Tool::addCalibrationData(storedRecord("3")));
        m_system.Calibration.CHNumber = QStringList{"3", "1"};
        CalibrationChannel d;
        QVERIFY(!d.SetParameters(&m_system));
        QCOMPARE(m_boxes->texts(), QStringList{"项目信息异常!"});
        QCOMPARE(d.exec(), int(QDialog::Rejected));
        QVERIFY(m_system.CalibrationData.isEmpty());
    }

    // A manual run takes no set points and no delay.
    void manualRun()
    {
        m_system = makeSystem(QStringLiteral("Other"));
        CalibrationChannel d;
        QVERIFY(open(d));
        QVERIFY(!edit(d, "lineEdit_Delay")->isEnabled());
        QVERIFY(!edit(d, "lineEdit_Temp1")->isEnabled());
        edit(d, "lineEdit_Delay")->clear();
        box(d, 2)->setChecked(true);
        button(d, "pushButton_Next")->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(m_system.CalibrationTemp.isEmpty());
        QCOMPARE(m_system.CalibrationDelay, 7);
        QCOMPARE(m_system.Calibration.CHNumber, QStringList{"3"});
    }

    // Close, Escape and "下一步" are refused while the channels are read; the dialog can go once
    // the read is over, and deleting it under a read waits for the read.
    void refusedWhileReading()
    {
        m_script->setDelay(FakeCollection::Call::GetChannelConfig, 1500);
        CalibrationChannel d;
        QSignalSpy finished(&d, &QDialog::finished);
        QVERIFY(d.SetParameters(&m_system));
        d.show();
        QVERIFY(d.isReading());
        d.reject();
        d.close();
        button(d, "pushButton_Next")->click();
        QCOMPARE(m_boxes->texts(), QStringList({"参数获取中，请稍等...", "参数获取中，请稍等...", "参数获取中，请稍等..."}));
        QCOMPARE(finished.count(), 0);
        QVERIFY(d.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!d.isReading(), 10000);
        d.reject();
        QCOMPARE(finished.count(), 1);

        const int alive = m_script->alive();
        auto *doomed = new CalibrationChannel;
        QVERIFY(doomed->SetParameters(&m_system));
        delete doomed;
        QCOMPARE(m_script->calls(FakeCollection::Call::Close), 2);
        QCOMPARE(m_script->alive(), alive);
    }

    // A new run never takes the key of a stored run: the current second serves instead, and when
    // that is taken too the user is asked to try again.
    void runKeyTaken_data()
    {
        QTest::addColumn<bool>("nowTaken");
        QTest::newRow("key taken") << false;
        QTest::newRow("key and current second taken") << true;
    }
    void runKeyTaken()
    {
        QFETCH(bool, nowTaken);
        QVERIFY(Tool::setSystemSet(SystemSetKeys::CalibrationDelay, "10"));
        QVERIFY(Tool::setSystemSet(SystemSetKeys::CalibrationTemp, "0,50,100"));
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = -1; s < (nowTaken ? 5 : 0); ++s) {
            Tool::Struct_Calibration stored;
            stored.TimeName = s < 0 ? kKey : now.addSecs(s).toString("yyyy-MM-dd hh:mm:ss");
            QVERIFY(Tool::addCalibration(stored));
        }
        CalibrationChannel d;
        QVERIFY(open(d));
        box(d, 0)->setChecked(true);
        button(d, "pushButton_Next")->click();
        if (nowTaken) {
            QCOMPARE(m_boxes->texts(), QStringList{"已有同一时间的校准项目，请稍后再试！"});
            QVERIFY(m_system.CalibrationData.isEmpty());
            return;
        }
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(m_system.Calibration.TimeName != kKey);
        QVERIFY(QDateTime::fromString(m_system.Calibration.TimeName, "yyyy-MM-dd hh:mm:ss").isValid());
        QCOMPARE(m_system.CalibrationData.first().Name, m_system.Calibration.TimeName);
    }
};

QTEST_MAIN(tst_CalibrationChannel)
#include "tst_CalibrationChannel.moc"
