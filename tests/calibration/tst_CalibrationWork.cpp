// The calibration run end to end: the dry-well simulator over TCP (as its own reference, or with
// the thermometer simulator as reference), the fake instrument with a Pt100 and a thermistor on
// its channels, and the run's waits shortened through CalibrationTiming.
#include "SourceTestHelpers.h"
#include "calibration/CalibrationTiming.h"
#include "calibration/CalibrationWork.h"
#include "common/Struct_System.h"
#include "store/Tool.h"
#include "support/FakeCollection.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"

#include <QInputDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

namespace {

const QString kModel = QStringLiteral("CAL-FAKE");
const QString kSerial = QStringLiteral("SN-CAL");
const QString kKey = QStringLiteral("2024-05-01 08:00:00");
// A 10 kΩ thermistor.
const double kSH[3] = {1.009249522e-3, 2.378405444e-4, 2.019202697e-7};

Tool::Struct_CalibrationData record(const QString &number, const QString &range)
{
    Tool::Struct_CalibrationData r;
    r.Name = kKey;
    r.Number = number;
    r.Type = range == "CVD" ? QStringLiteral("铂电阻") : QStringLiteral("热敏电阻");
    r.Range = range;
    r.Wire = QStringLiteral("4线");
    r.A = QStringLiteral("old-A");
    r.Offset_M = QStringLiteral("1");
    r.Offset_B = QStringLiteral("0");
    return r;
}

Tool::Struct_CalibrationData stored(const QString &number)
{
    Tool::Struct_CalibrationData r;
    Tool::getCalibrationData(r, kKey, number);
    return r;
}

double number(const QString &text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok ? v : qQNaN();
}

bool near(double actual, double expected, double relative = 1e-7)
{
    return std::abs(actual - expected) <= relative * std::abs(expected);
}

} // namespace

class tst_CalibrationWork : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestWorkDir> m_dir;
    std::shared_ptr<FakeCollection::Script> m_script;
    std::unique_ptr<MessageBoxHelper> m_boxes;
    std::unique_ptr<InstrumentSimulator> m_source;
    Struct_System m_system;

    QPushButton *button(CalibrationWork &w, const QString &name) { return w.findChild<QPushButton *>(name); }
    QString log(CalibrationWork &w) { return w.findChild<QPlainTextEdit *>("plainTextEdit")->toPlainText(); }
    QString enabledButtons(CalibrationWork &w)
    {
        QString states;
        for (int k = 1; k <= 9; ++k)
            states += button(w, QStringLiteral("pushButton_Temp%1").arg(k))->isEnabled() ? '1' : '0';
        return states + (button(w, "pushButton_Close")->isEnabled() ? "+" : "-");
    }
    bool idle(CalibrationWork &w, int timeoutMs = 20000)
    {
        return QTest::qWaitFor([&] { return !w.isBusy(); }, timeoutMs);
    }
    // The reference readings of the source's "READ?" and the fake's temperatures, point by point.
    void temperatures(const QList<double> &points)
    {
        QList<QByteArray> answers;
        for (double t : points)
            answers.append(QByteArray::number(t, 'f', 3) + "\r\n");
        m_source->script("READ?", answers);
        m_script->setTemperatures(points);
    }
    void checkCvd(const Tool::Struct_CalibrationData &r)
    {
        QVERIFY2(near(number(r.R0), 100.0), qPrintable(r.R0));
        QVERIFY2(near(number(r.A), 3.9083e-3), qPrintable(r.A));
        QVERIFY2(near(number(r.B), -5.775e-7, 1e-5), qPrintable(r.B));
        QCOMPARE(QStringList({r.C, r.D, r.A4, r.B4}), QStringList({"0", "0", "0", "0"}));
    }

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        CommTiming::set(fastTiming());
        CalibrationTiming::set({2, 10, 20, 1}); // polls, stability queries, a minute, closing pause

        m_script = FakeCollection::install(kModel);
        m_script->setSerial(kSerial);
        for (quint32 n : {1u, 2u, 3u})
            m_script->addChannel(n, QStringLiteral("℃"));
        m_script->setSensor(1, FakeCollection::Sensor::pt100());
        m_script->setSensor(2, FakeCollection::Sensor::thermistor(kSH[0], kSH[1], kSH[2]));

        m_source.reset(new InstrumentSimulator(InstrumentSimulator::Dialect::DryWell));
        m_source->identity = QStringLiteral("KOVRA-ELEC,QNLK-660H,D42,V1");
        const quint16 port = m_source->listen();
        QVERIFY(port);

        m_system = Struct_System();
        m_system.FieldModel = m_system.CriteriaModel = QStringLiteral("QNLK-R");
        m_system.FieldSignalMode = ToolComm::TcpText;
        m_system.FieldSignal1 = QStringLiteral("127.0.0.1");
        m_system.FieldSignal2 = QString::number(port);
        m_system.CalibrationDelay = 1;
        m_system.CalibrationTemp = QStringList{"0", "50", "100"};
        m_system.CalibrationDevice.Model = kModel;
        m_system.CalibrationDevice.Serial = kSerial;
        m_system.CalibrationDevice.SignalMode = ToolComm::TcpText;
        m_system.CalibrationDevice.Rate = QStringLiteral("1Hz");
        m_system.Calibration.TimeName = kKey;
        m_system.Calibration.Model = kModel;
        m_system.Calibration.Serial = kSerial;
        m_system.Calibration.CHNumber = QStringList{"1", "2"};
        m_system.CalibrationData = {record("1", "CVD"), record("2", "T(R)")};

        m_boxes.reset(new MessageBoxHelper);
    }
    void cleanup()
    {
        m_boxes.reset();
        m_source.reset();
        FakeCollection::uninstall(kModel);
        CommTiming::reset();
        CalibrationTiming::set(CalibrationTiming());
        m_dir.reset();
    }

    // Three set points: each is set, waited for and read, the run is stored after every point,
    // and the fit recovers the Pt100's constants. The instrument gets its channels back as they
    // were, every device is closed, and the window can close.
    void automaticRun()
    {
        temperatures({0.0, 50.0, 100.0});
        m_script->failAt(FakeCollection::Call::SetOneChannelParameter, 1);
        CalibrationWork w;
        w.Start(&m_system);
        w.show();
        QVERIFY(w.isRunning());
        QVERIFY(idle(w));
        QCOMPARE(m_boxes->texts(), QStringList());
        QCOMPARE(m_source->commands.filter(QRegularExpression("^s ")),
                 QStringList({"s 0.00", "s 50.00", "s 100.00"}));
        QVERIFY(m_source->commands.contains("OUTP:STAT 1"));
        QCOMPARE(m_script->lastChannelConfig().first().Unit, QString("Ω"));

        const Tool::Struct_CalibrationData pt = stored("1");
        QCOMPARE(pt.CList, QStringList({"0.000000", "50.000000", "100.000000"}));
        QCOMPARE(pt.DList.at(1), QString::number(FakeCollection::Sensor::pt100().resistance(50.0), 'f', 8));
        checkCvd(pt);
        // Three points do not make a thermistor fit: its texts stay, and the log says so.
        QCOMPARE(stored("2").A, QString("old-A"));
        QCOMPARE(stored("2").DList.size(), 3);
        const QString text = log(w);
        QVERIFY2(text.contains("： 通道2未计算系数：温度点不满足T(R)校准要求！"), qPrintable(text));
        QCOMPARE(text.count("校准数据保存成功！"), 4);
        QVERIFY(text.contains("温场温度设置成功：50℃"));
        QVERIFY(text.contains("温场稳定延迟等待中 1分钟"));

        QVERIFY2(text.contains("： 通道1系数写入失败！"), qPrintable(text));
        QCOMPARE(m_script->written().size(), 1);
        QCOMPARE(m_script->written().first().A, QString("old-A"));
        QVERIFY(!w.isRunning());
        QVERIFY(!button(w, "pushButton_Close")->isEnabled());
        QTRY_VERIFY(!m_source->linked());
        QSignalSpy finished(&w, &QDialog::finished);
        w.close();
        QCOMPARE(finished.count(), 1);
    }

    // "结束" while the third set point waits for stability stops the run within a poll: no box, two
    // points stored and no fit. Close and Escape are refused until then. Continuing the run
    // starts with the third set point and completes the fit.
    void stopAndResume()
    {
        temperatures({0.0, 50.0, 100.0});
        m_source->stability = QStringLiteral("0");
        m_source->script("SOUR1:STAB:TEST?", {"1\r\n", "1\r\n"});
        {
            CalibrationWork w;
            QSignalSpy finished(&w, &QDialog::finished);
            w.Start(&m_system);
            w.show();
            QVERIFY(QTest::qWaitFor([&] { return m_source->commands.contains("s 100.00"); }, 20000));
            w.reject();
            w.close();
            QCOMPARE(m_boxes->texts(), QStringList({"正在校准中，不能退出!", "正在校准中，不能退出!"}));
            QCOMPARE(finished.count(), 0);
            QVERIFY(button(w, "pushButton_Close")->isEnabled());
            button(w, "pushButton_Close")->click();
            QVERIFY(idle(w));
            QCOMPARE(m_boxes->count(), 2);
            QCOMPARE(stored("1").CList, QStringList({"0.000000", "50.000000"}));
            QCOMPARE(stored("1").A, QString("old-A"));
            QCOMPARE(m_script->written().size(), 2);
            w.reject();
            QCOMPARE(finished.count(), 1);
        }

        m_source->commands.clear();
        m_source->stability = QStringLiteral("1");
        m_system.CalibrationData = {stored("1"), stored("2")};
        CalibrationWork w;
        w.Start(&m_system);
        QVERIFY(idle(w));
        QCOMPARE(m_boxes->count(), 2);
        QCOMPARE(m_source->commands.filter(QRegularExpression("^s ")).value(0), QString("s 100.00"));
        QCOMPARE(stored("1").CList, QStringList({"0.000000", "50.000000", "100.000000"}));
        checkCvd(stored("1"));
    }

    // Each failing step ends the run with its message, closes every device, keeps the points
    // taken and fits nothing.
    void automaticFailures_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("points");
        QTest::newRow("set point read back wrong") << "readback" << "设置温场温度失败！" << 0;
        QTest::newRow("instrument read") << "read" << "采集器数据获取失败!" << 1;
        QTest::newRow("fewer readings") << "short" << "采集器数据获取失败!" << 0;
        QTest::newRow("other instrument") << "serial" << "序列号不匹配，请检查连接的设备是否为对应序列号的设备！" << 0;
        QTest::newRow("no driver") << "driver" << "Open Error" << 0;
        QTest::newRow("source unreachable") << "source" << "温场设备连接失败!" << 0;
        QTest::newRow("unknown source") << "model" << "温场设备连接失败!" << 0;
        QTest::newRow("stability query") << "stability" << "获取温场稳定失败！" << 0;
    }
    void automaticFailures()
    {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        QFETCH(int, points);
        temperatures({0.0, 50.0, 100.0});
        if (fault == "readback")
            m_source->script("s", {"99.00\r\n", "99.00\r\n", "99.00\r\n"});
        else if (fault == "read")
            m_script->failAt(FakeCollection::Call::GetOneData, 2);
        else if (fault == "short")
            m_script->setScans({{100.0}});
        else if (fault == "serial")
            m_script->setSerial("SN-OTHER");
        else if (fault == "driver")
            m_system.CalibrationDevice.Model = "NO-SUCH-MODEL";
        else if (fault == "source")
            m_system.FieldSignal2 = "1";
        else if (fault == "model")
            m_system.FieldModel = m_system.CriteriaModel = "QNXX";
        else if (fault == "stability")
            m_source->script("SOUR1:STAB:TEST?", {""});
        CalibrationWork w;
        w.Start(&m_system);
        QVERIFY(idle(w, 30000));
        QVERIFY(m_boxes->waitFor(1));
        QCOMPARE(m_boxes->texts(), QStringList{message});
        QCOMPARE(stored("1").CList.size(), points);
        QCOMPARE(stored("1").A, points ? QString("old-A") : QString());
        QVERIFY(m_script->written().isEmpty());
        QVERIFY(!w.isRunning());
        QTRY_VERIFY(!m_source->linked());
        QSignalSpy finished(&w, &QDialog::finished);
        w.reject();
        QCOMPARE(finished.count(), 1);
    }

    // A save that fails rolls back: the previous rows stay whole, the user is told each time.
    void storeFailureKeepsPreviousState()
    {
        QSqlQuery q(QSqlDatabase::database());
        QVERIFY(q.exec("CREATE TRIGGER fail_second BEFORE INSERT ON CalibrationData"
                       " WHEN NEW.Number = '2' AND NEW.CList LIKE '%,%'"
                       " BEGIN SELECT RAISE(ABORT, 'injected'); END"));
        temperatures({0.0, 50.0, 100.0});
        CalibrationWork w;
        w.Start(&m_system);
        QVERIFY(idle(w));
        QVERIFY(m_boxes->waitFor(3));
        QCOMPARE(m_boxes->texts(), QStringList({"数据库保存数据失败！", "数据库保存数据失败！", "数据库保存数据失败！"}));
        QCOMPARE(stored("1").CList, QStringList{"0.000000"});
        QCOMPARE(stored("2").CList, QStringList{"0.000000"});
        QCOMPARE(stored("1").A, QString("old-A"));
        QList<Tool::Struct_Calibration> runs;
        QVERIFY(Tool::getCalibration(runs, kKey));
        QCOMPARE(runs.size(), 1);
    }

    // With a dry-well that is not its own reference, or in a manual run, the thermometer is opened,
    // started, read at every point and closed by the run (not only when the dialog goes).
    void thermometerReference_data()
    {
        QTest::addColumn<bool>("automatic");
        QTest::newRow("automatic") << true;
        QTest::newRow("manual") << false;
    }
    void thermometerReference()
    {
        QFETCH(bool, automatic);
        InstrumentSimulator thermometer(InstrumentSimulator::Dialect::Thermometer);
        thermometer.temperature = QStringLiteral("24.5");
        thermometer.streamMs = 5;
        m_system.FieldModel = automatic ? QStringLiteral("QNLK") : QStringLiteral("Other");
        m_system.CriteriaModel = QStringLiteral("QN P710W");
        m_system.CriteriaSignalMode = ToolComm::TcpText;
        m_system.CriteriaSignal1 = QStringLiteral("127.0.0.1");
        m_system.CriteriaSignal2 = QString::number(thermometer.listen());
        m_system.CalibrationTemp = QStringList{"25", "30"};
        CalibrationWork w;
        w.Start(&m_system);
        QVERIFY(idle(w));
        if (!automatic) {
            for (const char *name : {"pushButton_Temp1", "pushButton_Temp2", "pushButton_Close"}) {
                button(w, name)->click();
                QVERIFY(idle(w));
            }
        }
        QCOMPARE(m_boxes->texts(), QStringList());
        QCOMPARE(stored("1").CList, QStringList({"24.500000", "24.500000"}));
        QVERIFY(!m_source->commands.contains("READ?"));
        QVERIFY(thermometer.received.contains(QByteArray::fromHex("0405020003")));
        QVERIFY(thermometer.received.endsWith(QByteArray::fromHex("0405010101")));
        QTRY_VERIFY(!thermometer.linked());
    }

    // A manual run: the reference typed in, points taken in button order, a point taken again,
    // no device operation overlapping another, and "结束" fitting, storing and writing the
    // fitted coefficients. Escape is refused until the run has ended.
    void manualRun()
    {
        m_system.FieldModel = m_system.CriteriaModel = QStringLiteral("Other");
        m_system.CalibrationTemp.clear();
        m_script->setTemperatures({0.0, 25.0, 50.0, 100.0, 25.5});
        CalibrationWork w;
        QSignalSpy finished(&w, &QDialog::finished);
        w.Start(&m_system);
        w.show();
        QVERIFY(idle(w));
        QCOMPARE(enabledButtons(w), QString("100000000+"));

        const auto take = [&](int k, double reference) {
            m_boxes->onDialog([reference](QWidget *d) {
                auto *input = qobject_cast<QInputDialog *>(d);
                input->setDoubleValue(reference);
                input->accept();
            }, "QInputDialog");
            button(w, QStringLiteral("pushButton_Temp%1").arg(k))->click();
        };
        m_script->setDelay(FakeCollection::Call::GetOneData, 200);
        take(1, 0.0);
        QVERIFY(w.isBusy());
        QCOMPARE(enabledButtons(w), QString("000000000-"));
        w.reject();
        QCOMPARE(m_boxes->texts().last(), QString("正在校准中，不能退出!"));
        QVERIFY(idle(w));
        m_script->setDelay(FakeCollection::Call::GetOneData, 0);
        QCOMPARE(enabledButtons(w), QString("110000000+"));
        QCOMPARE(button(w, "pushButton_Temp1")->text(), QString("重采"));
        take(2, 25.0);
        QVERIFY(idle(w));
        take(3, 50.0);
        QVERIFY(idle(w));
        take(4, 100.0);
        QVERIFY(idle(w));
        take(2, 25.5);
        QVERIFY(idle(w));
        QCOMPARE(stored("1").CList, QStringList({"0.000000", "25.500000", "50.000000", "100.000000"}));
        QCOMPARE(enabledButtons(w), QString("111110000+"));

        m_boxes->rejectDialog("QInputDialog");
        button(w, "pushButton_Temp5")->click();
        QVERIFY(!w.isBusy());
        QCOMPARE(m_script->calls(FakeCollection::Call::GetOneData), 5);

        w.reject();
        QCOMPARE(finished.count(), 0);
        button(w, "pushButton_Close")->click();
        QVERIFY(idle(w));
        checkCvd(stored("1"));
        // The thermistor's fitted T(R) gives back the temperature of every point within 1 mK.
        const Tool::Struct_CalibrationData ntc = stored("2");
        for (int k = 0; k < 4; ++k) {
            const double x = std::log(number(ntc.DList.at(k)));
            const double inverse = number(ntc.A) + number(ntc.B) * x + number(ntc.C) * x * x + number(ntc.D) * x * x * x;
            QVERIFY2(std::abs(1.0 / inverse - 273.15 - number(ntc.CList.at(k))) < 1e-3, qPrintable(ntc.CList.at(k)));
        }
        QCOMPARE(m_script->written().size(), 2);
        QCOMPARE(m_script->written().first().R0, stored("1").R0);
        QCOMPARE(m_script->written().last().D, ntc.D);
        QCOMPARE(enabledButtons(w), QString("000000000-"));
        QCOMPARE(button(w, "pushButton_Temp1")->text(), QString("温度点1"));
        QVERIFY(log(w).contains("设备断开成功！"));
        w.reject();
        QCOMPARE(finished.count(), 1);
    }

    // A continued automatic run with every set point taken, and a run without channels, start
    // nothing and can be closed at once.
    void nothingToRun_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("message");
        QTest::newRow("all points taken") << 3 << "校准温度点数大于设置温度点数，请退出重新设置!";
        QTest::newRow("no channels") << -1 << "项目信息异常!";
    }
    void nothingToRun()
    {
        QFETCH(int, points);
        QFETCH(QString, message);
        if (points < 0) {
            m_system.CalibrationData.clear();
        } else {
            for (Tool::Struct_CalibrationData &r : m_system.CalibrationData)
                r.CList = r.DList = QStringList{"0", "50", "100"}.mid(0, points);
        }
        CalibrationWork w;
        w.Start(&m_system);
        QCOMPARE(m_boxes->texts(), QStringList{message});
        QVERIFY(!w.isBusy());
        QCOMPARE(enabledButtons(w), QString("000000000-"));
        QCOMPARE(m_script->calls(FakeCollection::Call::Open), 0);
        QSignalSpy finished(&w, &QDialog::finished);
        w.reject();
        QCOMPARE(finished.count(), 1);
    }
};

QTEST_MAIN(tst_CalibrationWork)
#include "tst_CalibrationWork.moc"
