// A calibration run: its channel set-up (reading the instrument's channels, choosing them, the
// set points, the delay, the run's key, continued runs) and the run itself end to end against
// the dry-well simulator over TCP (as its own reference, or with the thermometer simulator as
// reference) and the fake instrument with a Pt100 and a thermistor on its channels, the run's
// waits shortened through CalibrationTiming.
#include "FormTestHelpers.h"
#include "SourceTestHelpers.h"

#include "calibration/CalibrationChannel.h"
#include "calibration/CalibrationTiming.h"
#include "calibration/CalibrationWork.h"
#include "common/Struct_System.h"
#include "shell/LogHandler.h"
#include "store/SystemSetKeys.h"
#include "store/Tool.h"
#include "support/DatabaseLock.h"
#include "support/FakeCollection.h"
#include "support/LogCapture.h"
#include "support/MessageBoxHelper.h"
#include "support/SmallTmpfs.h"
#include "support/TestWorkDir.h"
#include "widgets/QTableWidgetL.h"

#include <QCheckBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <cstdio>
#include <memory>

using Record = Tool::Struct_CalibrationData;
using Call = FakeCollection::Call;

namespace {

const QString kModel = QStringLiteral("CAL-FAKE");
const QString kSerial = QStringLiteral("SN-CAL");
const QString kKey = QStringLiteral("2024-05-01 08:00:00");
// A 10 kΩ thermistor.
const FakeCollection::Sensor kThermistor = FakeCollection::Sensor::thermistor(1.009249522e-3, 2.378405444e-4, 2.019202697e-7);

// A channel of the instrument, with factors that only nine digits keep.
Struct_Channel channel(quint32 number, const QString &function)
{
    Struct_Channel c;
    c.Number = number;
    c.Enabled = true;
    c.Function = function;
    c.Offset_M = 1.00000012f;
    c.Offset_B = -0.123456791f;
    c.Parameter1 = QStringLiteral("p1-%1").arg(number);
    return c;
}

// A record of the run kKey with the points taken so far.
Record record(const QString &number, const QString &range, const QStringList &points = QStringList())
{
    Record r;
    r.Name = kKey;
    r.Number = number;
    r.Range = range;
    r.A = QStringLiteral("old-A");
    r.Offset_M = QStringLiteral("1");
    r.Offset_B = QStringLiteral("0");
    r.CList = r.DList = points;
    return r;
}

Record stored(const QString &number)
{
    Record r;
    Tool::getCalibrationData(r, kKey, number);
    return r;
}

double number(const QString &text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok ? v : qQNaN();
}

bool near(const QString &actual, double expected, double relative = 1e-7)
{
    return std::abs(number(actual) - expected) <= relative * std::abs(expected);
}

// Every field of a record, the point lists included, for comparing records whole.
QStringList allFields(const Record &r)
{
    return QStringList{r.Name, r.Number, r.Type, r.Range, r.Wire, r.A, r.B, r.C, r.D, r.R0, r.A4, r.B4,
                       r.Offset_M, r.Offset_B, r.Parameter1, r.Parameter2, "C:" + r.CList.join(','), "D:" + r.DList.join(',')};
}

// A run as the day's log keeps it when the database does not take it.
struct LoggedRun {
    Tool::Struct_Calibration run;
    QList<Record> records;
};

// The fields of a logged line: "name=value; name=value", values with "\;", "\\", "\n" and "\r"
// escaped.
QHash<QString, QString> loggedFields(const QString &text)
{
    QHash<QString, QString> fields;
    QString field;
    const auto take = [&] {
        const QString trimmed = field.startsWith(' ') ? field.mid(1) : field;
        fields.insert(trimmed.section('=', 0, 0), trimmed.section('=', 1));
        field.clear();
    };
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == '\\' && i + 1 < text.size()) {
            const QChar e = text.at(++i);
            field += e == 'n' ? QChar('\n') : e == 'r' ? QChar('\r') : e;
        } else if (c == ';') {
            take();
        } else {
            field += c;
        }
    }
    take();
    return fields;
}

QStringList listOf(const QString &joined)
{
    return joined.isEmpty() ? QStringList() : joined.split(',');
}

// Every run the log file holds, in the order written.
QList<LoggedRun> loggedRuns(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<LoggedRun> runs;
    for (const QString &line : QString::fromUtf8(file.readAll()).split('\n')) {
        const QString runMark = "calibration run not stored, kept in this log: ";
        const QString recordMark = "calibration record not stored: ";
        if (line.contains(runMark)) {
            const QHash<QString, QString> f = loggedFields(line.section(runMark, 1));
            LoggedRun run;
            run.run = {f.value("TimeName"), f.value("Model"), f.value("Serial"), listOf(f.value("CHNumber"))};
            runs.append(run);
        } else if (line.contains(recordMark) && !runs.isEmpty()) {
            const QHash<QString, QString> f = loggedFields(line.section(recordMark, 1));
            runs.last().records.append(Record{f.value("Name"), f.value("Number"), f.value("Type"), f.value("Range"), f.value("Wire"),
                                        f.value("A"), f.value("B"), f.value("C"), f.value("D"), f.value("R0"), f.value("A4"),
                                        f.value("B4"), f.value("Offset_M"), f.value("Offset_B"), f.value("Parameter1"),
                                        f.value("Parameter2"), listOf(f.value("CList")), listOf(f.value("DList"))});
        }
    }
    return runs;
}

QString dayLog()
{
    return QDir::current().absoluteFilePath(LogHandler::fileName(QDate::currentDate()));
}

// Makes the file take no more byte: the last page it holds on a full disk is filled up.
bool fillUp(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::Append | QIODevice::Unbuffered))
        return false;
    for (int i = 0; i < 8192; ++i) {
        if (file.write("\n", 1) != 1)
            return true;
    }
    return false;
}

// Installs the program's log handler (the day's log file in the working directory) while it lives.
struct DayLogHandler {
    QtMessageHandler previous = qInstallMessageHandler(&LogHandler::messageHandler);
    ~DayLogHandler() { qInstallMessageHandler(previous); }
};

} // namespace

class tst_CalibrationRun : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestWorkDir> m_dir;
    std::shared_ptr<FakeCollection::Script> m_script;
    std::unique_ptr<MessageBoxHelper> m_boxes;
    std::unique_ptr<InstrumentSimulator> m_source;
    Struct_System m_system; // a new run on the fake instrument, the dry-well its own reference

    QPushButton *button(QWidget &w, const QString &name) { return child<QPushButton>(w, qPrintable(name)); }
    // Rejects the dialog and tells whether it finished.
    static bool closes(QDialog &d)
    {
        QSignalSpy finished(&d, &QDialog::finished);
        d.reject();
        return finished.count() == 1;
    }

    // --- the channel set-up ---
    QCheckBox *box(CalibrationChannel &d, int row)
    {
        return child<QTableWidgetL>(d, "tableWidget")->cellCheckBox(row, CalibrationChannel::ColState);
    }
    // Runs the channel read of a new run to its end.
    bool open(CalibrationChannel &d)
    {
        return d.SetParameters(&m_system) && QTest::qWaitFor([&] { return !d.isReading(); }, 10000);
    }
    // The rows' check boxes: checked ("1"), or enabled when asked for.
    QString boxes(CalibrationChannel &d, bool enabled = false)
    {
        QString states;
        for (int row = 0; row < child<QTableWidgetL>(d, "tableWidget")->rowCount(); ++row)
            states += (enabled ? box(d, row)->isEnabled() : box(d, row)->isChecked()) ? '1' : '0';
        return states;
    }
    void setUp(CalibrationChannel &d, const QString &delay, const QStringList &temps)
    {
        child<QLineEdit>(d, "lineEdit_Delay")->setText(delay);
        for (int i = 0; i < 9; ++i)
            child<QLineEdit>(d, qPrintable(QStringLiteral("lineEdit_Temp%1").arg(i + 1)))->setText(temps.value(i));
    }

    // --- the run ---
    // Channel 1 (CVD) and channel 2 (T(R)) chosen, with the points taken so far.
    void choose(const QStringList &points = QStringList())
    {
        m_system.Calibration.CHNumber = QStringList{"1", "2"};
        m_system.CalibrationData = {record("1", "CVD", points), record("2", "T(R)", points)};
    }
    // The nine point buttons enabled ("1") or not, then "+" when "结束" is enabled.
    QString enabledButtons(CalibrationWork &w)
    {
        QString states;
        for (int k = 1; k <= 9; ++k)
            states += button(w, QStringLiteral("pushButton_Temp%1").arg(k))->isEnabled() ? '1' : '0';
        return states + (button(w, "pushButton_Close")->isEnabled() ? "+" : "-");
    }
    // A run that a save could not store is tried again this often.
    static void retryEvery(int ms)
    {
        CalibrationTiming timing = CalibrationTiming::get();
        timing.PendingRetryMs = ms;
        CalibrationTiming::set(timing);
    }
    bool idle(CalibrationWork &w) { return QTest::qWaitFor([&] { return !w.isBusy(); }, 30000); }
    // The reference readings of the source's "READ?" and the fake's temperatures, point by point.
    void temperatures(const QList<double> &points)
    {
        QList<QByteArray> answers;
        for (double t : points)
            answers.append(QByteArray::number(t, 'f', 3) + "\r\n");
        m_source->script("READ?", answers);
        m_script->setTemperatures(points);
    }
    // Waits, looking every millisecond, until the source has received the command n times; when
    // it was seen on the clock (-1: not within 20 s).
    qint64 seen(const QString &command, int n, const QElapsedTimer &clock)
    {
        const qint64 end = clock.elapsed() + 20000;
        while (m_source->commands.count(command) < n && clock.elapsed() < end) {
            QCoreApplication::processEvents();
            QThread::msleep(1);
        }
        return m_source->commands.count(command) >= n ? clock.elapsed() : -1;
    }
    // A manual run: no source, no thermometer, no set points.
    void manual()
    {
        m_system.FieldModel = m_system.CriteriaModel = QStringLiteral("Other");
        m_system.CalibrationTemp.clear();
    }
    // Answers a run's typed reference with the value (manual run without a thermometer).
    void typeReference(double reference)
    {
        m_boxes->onDialog([reference](QWidget *d) {
            auto *input = qobject_cast<QInputDialog *>(d);
            input->setDoubleValue(reference);
            input->accept();
        }, "QInputDialog");
    }
    // The Pt100's constants, recovered.
    void checkCvd(const Record &r)
    {
        QVERIFY2(near(r.R0, 100.0) && near(r.A, 3.9083e-3) && near(r.B, -5.775e-7, 1e-5),
                 qPrintable(r.R0 + ' ' + r.A + ' ' + r.B));
        QCOMPARE(QStringList({r.C, r.D, r.A4, r.B4}).join(','), QString("0,0,0,0"));
    }

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        CommTiming::set(fastTiming());
        CalibrationTiming::set({{}, 2, 10, 20, 1}); // polls, stability queries, a minute, closing pause

        m_script = FakeCollection::install(kModel);
        m_script->setSerial(kSerial);
        m_script->setChannels({channel(1, "CVD"), channel(2, "T(R)"), channel(3, "ITS90"), channel(4, "Auto")});
        m_script->setSensor(1, FakeCollection::Sensor::pt100());
        m_script->setSensor(2, kThermistor);

        m_source.reset(new InstrumentSimulator(InstrumentSimulator::Dialect::DryWell));
        m_source->identity = QStringLiteral("KOVRA-ELEC,QNLK-660H,D42,V1");

        m_system = Struct_System();
        m_system.FieldModel = m_system.CriteriaModel = QStringLiteral("QNLK-R");
        m_system.FieldSignalMode = ToolComm::TcpText;
        m_system.FieldSignal1 = QStringLiteral("127.0.0.1");
        m_system.FieldSignal2 = QString::number(m_source->listen());
        m_system.CalibrationDelay = 1;
        m_system.CalibrationTemp = QStringList{"0", "50", "100"};
        m_system.CalibrationDevice.Model = m_system.Calibration.Model = kModel;
        m_system.CalibrationDevice.Serial = m_system.Calibration.Serial = kSerial;
        m_system.CalibrationDevice.Rate = QStringLiteral("1Hz");
        m_system.Calibration.TimeName = kKey;
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

    // A new run reads the channels once, closes the instrument and offers only the channels of a
    // calibration method; the chosen records keep the factors exactly. The edits start from the
    // stored defaults and leave them for the next run.
    void setUpReadsAndChooses()
    {
        QVERIFY(Tool::setSystemSet(SystemSetKeys::CalibrationDelay, ""));
        QVERIFY(Tool::setSystemSet(SystemSetKeys::CalibrationTemp, "1,2,3,4,5,6,7,8,9,10,11"));
        {
            CalibrationChannel d;
            QVERIFY(open(d));
            QCOMPARE(child<QLineEdit>(d, "lineEdit_Delay")->text() + '|' + child<QLineEdit>(d, "lineEdit_Temp9")->text(),
                     QString("|9"));
            QCOMPARE(m_boxes->count(), 0);
            QCOMPARE(m_script->calls(Call::Close), 1);
            QCOMPARE(boxes(d, true), QString("1110"));
            button(d, "pushButton_All")->click();
            QCOMPARE(button(d, "pushButton_All")->text() + boxes(d), QString("取消全选1110"));
            button(d, "pushButton_All")->click();
            QCOMPARE(button(d, "pushButton_All")->text() + boxes(d), QString("全选0000"));
            box(d, 0)->setChecked(true);
            box(d, 2)->setChecked(true);
            setUp(d, "15", {"0", "50.5", "", "100"});
            button(d, "pushButton_Next")->click();
            QCOMPARE(d.result(), int(QDialog::Accepted));
        }
        const Record &first = m_system.CalibrationData.first();
        QCOMPARE(QStringList({m_system.CalibrationTemp.join(','), QString::number(m_system.CalibrationDelay),
                              m_system.Calibration.CHNumber.join(','), m_system.Calibration.TimeName, first.Name,
                              first.Range, first.Parameter1}),
                 QStringList({"0,50.5", "15", "1,3", kKey, kKey, "CVD", "p1-1"}));
        QVERIFY2(first.Offset_M.toFloat() == 1.00000012f && first.Offset_B.toFloat() == -0.123456791f,
                 qPrintable(first.Offset_M + ' ' + first.Offset_B));
        QString delay, temps;
        QVERIFY(Tool::getSystemSet(SystemSetKeys::CalibrationDelay, delay) && Tool::getSystemSet(SystemSetKeys::CalibrationTemp, temps));
        QCOMPARE(delay + "|" + temps, QString("15|0,50.5"));
    }

    // "下一步" keeps the set points and the delay as defaults at once, before the run starts
    // (a run that is killed then is continued with them); a refused "下一步" keeps nothing.
    void setUpDefaultsKeptOnAcceptance()
    {
        CalibrationChannel d;
        QVERIFY(open(d));
        box(d, 0)->setChecked(true);
        setUp(d, "15", {"0", "-300", "100"});
        button(d, "pushButton_Next")->click();
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QString delay, temps;
        QVERIFY(Tool::getSystemSet(SystemSetKeys::CalibrationDelay, delay) && Tool::getSystemSet(SystemSetKeys::CalibrationTemp, temps));
        QCOMPARE(delay + "|" + temps, QString("|"));
        setUp(d, "15", {"0", "50", "100", "", "150"});
        button(d, "pushButton_Next")->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(Tool::getSystemSet(SystemSetKeys::CalibrationDelay, delay) && Tool::getSystemSet(SystemSetKeys::CalibrationTemp, temps));
        QCOMPARE(delay + "|" + temps, QString("15|0,50,100"));
    }

    // The defaults are read as the dialog opens (a missing row is added) and saved as it goes;
    // with another program holding the database each takes about a second at most, and what
    // could not be kept is logged.
    void setUpDefaultsUnderDatabaseLock()
    {
        QVERIFY(Tool::setSystemSet(SystemSetKeys::CalibrationTemp, "5"));
        DatabaseLock lock;
        QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));
        LogCapture log;
        QElapsedTimer clock;
        clock.start();
        {
            CalibrationChannel d;
            const qint64 opening = clock.restart();
            QVERIFY2(opening < 1700, qPrintable(QString::number(opening)));
            QCOMPARE(child<QLineEdit>(d, "lineEdit_Temp1")->text(), QString("5"));
            setUp(d, "15", {"0", "50"});
            clock.restart();
        }
        QVERIFY2(clock.elapsed() < 1700, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(log.contains("the calibration defaults could not be saved: delay \"15\" set points \"0,50\""),
                 qPrintable(log.text()));
        lock.release();
        QString temps;
        QVERIFY(Tool::getSystemSet(SystemSetKeys::CalibrationTemp, temps));
        QCOMPARE(temps, QString("5"));
    }

    // Each failing step of the read ends with its message; channels not read cannot be chosen.
    void setUpReadFailures_data()
    {
        QTest::addColumn<int>("failing");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("choosable");
        QTest::newRow("open") << int(Call::Open) << kSerial << "Open Error" << "";
        QTest::newRow("other instrument") << -1 << "SN-OTHER" << "序列号不匹配，请检查连接的设备是否为对应序列号的设备！" << "";
        QTest::newRow("configuration") << int(Call::GetChannelConfig) << kSerial << "参数获取失败！" << "";
        QTest::newRow("third parameter") << int(Call::GetOneChannelParameter) << kSerial << "参数获取失败！" << "1100";
        QTest::newRow("no driver") << -2 << kSerial << "Open Error" << "";
    }
    void setUpReadFailures()
    {
        QFETCH(int, failing);
        QFETCH(QString, serial);
        QFETCH(QString, message);
        QFETCH(QString, choosable);
        m_script->setSerial(serial);
        if (failing >= 0)
            m_script->failAt(Call(failing), failing == int(Call::GetOneChannelParameter) ? 3 : 1);
        if (failing == -2)
            FakeCollection::uninstall(kModel);
        CalibrationChannel d;
        QVERIFY(open(d));
        QVERIFY(m_boxes->waitFor(1));
        QCOMPARE(m_boxes->texts(), QStringList{message});
        QCOMPARE(boxes(d, true), choosable);
        QCOMPARE(m_script->calls(Call::Close), failing == -2 ? 0 : 1);
    }

    // Set points run from the first edit up to the first empty one and must be finite numbers;
    // the delay must be whole minutes an int holds (a stored 2.9 is 2 minutes). A manual run
    // takes neither. A new run never takes the key of a stored run: the current second serves
    // instead, and when that is taken too the user is asked to try again.
    void setUpChecks_data()
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
        QTest::newRow("below absolute zero") << "10" << QStringList{"25", "-273.16"} << "温度点2超出范围（-273.15℃～10000℃）：-273.16" << 0;
        QTest::newRow("above 10000") << "10" << QStringList{"0", "50", "10000.01"} << "温度点3超出范围（-273.15℃～10000℃）：10000.01" << 0;
        QTest::newRow("at both ends") << "10" << QStringList{"-273.15", "10000"} << "" << 10;
        QTest::newRow("out of range after an empty edit") << "10" << QStringList{"25", "", "-300"} << "" << 10;
        QTest::newRow("manual") << "" << QStringList() << "" << 1;
        QTest::newRow("key taken") << "10" << QStringList{"25"} << "" << 10;
        QTest::newRow("key and current second taken") << "10" << QStringList{"25"} << "已有同一时间的校准项目，请稍后再试！" << 0;
    }
    void setUpChecks()
    {
        QFETCH(QString, delay);
        QFETCH(QStringList, temps);
        QFETCH(QString, message);
        QFETCH(int, minutes);
        const QString tag = QTest::currentDataTag();
        if (tag == "manual")
            m_system.FieldModel = m_system.CriteriaModel = QStringLiteral("Other");
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = -1; tag.startsWith("key") && s < (tag == "key taken" ? 0 : 5); ++s) {
            Tool::Struct_Calibration taken;
            taken.TimeName = s < 0 ? kKey : now.addSecs(s).toString("yyyy-MM-dd hh:mm:ss");
            QVERIFY(Tool::addCalibration(taken));
        }
        CalibrationChannel d;
        QVERIFY(open(d));
        QCOMPARE(child<QLineEdit>(d, "lineEdit_Temp1")->isEnabled(), tag != "manual");
        box(d, 0)->setChecked(tag != "no channel");
        setUp(d, delay, temps);
        button(d, "pushButton_Next")->click();
        QCOMPARE(m_boxes->texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(d.result(), int(message.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(m_system.CalibrationDelay, message.isEmpty() ? minutes : 1);
        // The set points end at the first empty edit.
        QCOMPARE(m_system.CalibrationTemp, message.isEmpty() ? temps.mid(0, temps.indexOf("") < 0 ? temps.size() : temps.indexOf("")) : QStringList());
        QCOMPARE(m_system.CalibrationData.size(), message.isEmpty() ? 1 : 0);
        if (tag == "key taken") {
            QVERIFY(m_system.Calibration.TimeName != kKey);
            QVERIFY(QDateTime::fromString(m_system.Calibration.TimeName, "yyyy-MM-dd hh:mm:ss").isValid());
            QCOMPARE(m_system.CalibrationData.first().Name, m_system.Calibration.TimeName);
        }
    }

    // A continued run whose stored record is gone is refused before the dialog runs; one whose
    // records are all stored lists exactly its channels, checked and locked, and reads nothing.
    void setUpContinuedRun()
    {
        const Record third = record("3", "R(T)", {"0.000000", "25.000000"});
        QVERIFY(Tool::addCalibrationData(third));
        m_system.Calibration.CHNumber = QStringList{"3", "1"};
        {
            CalibrationChannel d;
            QVERIFY(!d.SetParameters(&m_system));
            QCOMPARE(m_boxes->texts(), QStringList{"项目信息异常!"});
            QCOMPARE(d.exec(), int(QDialog::Rejected));
            QVERIFY(m_system.CalibrationData.isEmpty());
        }
        QVERIFY(Tool::addCalibrationData(record("1", "CVD", {"0.000000"})));
        CalibrationChannel d;
        QVERIFY(d.SetParameters(&m_system));
        QVERIFY(!d.isReading());
        QCOMPARE(child<QTableWidgetL>(d, "tableWidget")->item(0, CalibrationChannel::ColNumber)->text(), QString("3"));
        button(d, "pushButton_All")->click();
        QCOMPARE(boxes(d) + boxes(d, true), QString("1100"));
        setUp(d, "10", {"0", "25", "50", "75"});
        button(d, "pushButton_Next")->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(m_system.Calibration.CHNumber.join(','), QString("3,1"));
        QCOMPARE(m_system.CalibrationData.at(0).DList, third.DList);
        QCOMPARE(m_script->calls(Call::Open), 0);
    }

    // Close, Escape and "下一步" are refused while the channels are read; the dialog can go once
    // the read is over, and deleting it under a read waits for the read.
    void setUpRefusedWhileReading()
    {
        m_script->setDelay(Call::GetChannelConfig, 1500);
        CalibrationChannel d;
        QVERIFY(d.SetParameters(&m_system));
        d.show();
        QVERIFY(d.isReading());
        QVERIFY(!closes(d));
        QVERIFY(!d.close());
        button(d, "pushButton_Next")->click();
        QCOMPARE(m_boxes->texts(), QStringList({"参数获取中，请稍等...", "参数获取中，请稍等...", "参数获取中，请稍等..."}));
        QVERIFY(d.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!d.isReading(), 10000);
        QVERIFY(closes(d));

        const int alive = m_script->alive();
        auto *doomed = new CalibrationChannel;
        QVERIFY(doomed->SetParameters(&m_system));
        delete doomed;
        QCOMPARE(m_script->calls(Call::Close), 2);
        QCOMPARE(m_script->alive(), alive);
    }

    // Three set points: each is set, waited for until stable and read, the run is stored after
    // every point, and the fit recovers the Pt100's constants. The instrument gets its channels
    // back as they were (a failed write is logged), every device is closed, the window can close.
    void automaticRun()
    {
        choose();
        temperatures({0.0, 50.0, 100.0});
        m_source->script("SOUR1:STAB:TEST?", {"0\r\n"}); // the first set point settles at the second query
        m_script->failAt(Call::SetOneChannelParameter, 1);
        CalibrationWork w;
        w.Start(&m_system);
        w.show();
        QVERIFY(w.isRunning());
        QVERIFY(idle(w));
        QCOMPARE(m_boxes->texts(), QStringList());
        QCOMPARE(m_source->commands.filter(QRegularExpression("^s ")).join(','), QString("s 0.00,s 50.00,s 100.00"));
        QVERIFY(m_source->commands.contains("OUTP:STAT 1"));
        QCOMPARE(m_source->commands.count("SOUR1:STAB:TEST?"), 4);
        QCOMPARE(m_script->lastChannelConfig().first().Unit, QString("Ω"));

        const Record pt = stored("1");
        QCOMPARE(pt.CList.join(',') + ' ' + pt.DList.at(1),
                 "0.000000,50.000000,100.000000 " + QString::number(FakeCollection::Sensor::pt100().resistance(50.0), 'f', 8));
        checkCvd(pt);
        // Three points do not make a thermistor fit: its texts stay, and the log says so.
        QCOMPARE(stored("2").A + ' ' + QString::number(stored("2").DList.size()), QString("old-A 3"));
        const QString log = child<QPlainTextEdit>(w, "plainTextEdit")->toPlainText();
        for (const char *line : {"： 通道2未计算系数：温度点不满足T(R)校准要求！需要至少4个温度点，只有3个。", "温场温度设置成功：50℃",
                                 "温场稳定延迟等待中 1分钟", "： 通道1系数写入失败！"})
            QVERIFY2(log.contains(QString::fromUtf8(line)), qPrintable(log));
        QCOMPARE(log.count("校准数据保存成功！"), 4);
        QCOMPARE(m_script->written().size(), 1);
        QCOMPARE(m_script->written().first().A, QString("old-A"));
        QVERIFY(!w.isRunning());
        QTRY_VERIFY(!m_source->linked());
        QCOMPARE(enabledButtons(w), QString("000000000-"));
        QVERIFY(closes(w));
    }

    // "结束" while the third set point waits for stability stops the run within a poll: no box, two
    // points stored and no fit. Close and Escape are refused until then. (Continuing such a run
    // is taken end to end from the calibration page.)
    void stopWhileWaiting()
    {
        choose();
        temperatures({0.0, 50.0, 100.0});
        m_source->stability = QStringLiteral("0");
        m_source->script("SOUR1:STAB:TEST?", {"1\r\n", "1\r\n"});
        CalibrationWork w;
        w.Start(&m_system);
        w.show();
        QVERIFY(QTest::qWaitFor([&] { return m_source->commands.contains("s 100.00"); }, 20000));
        QVERIFY(!closes(w));
        QVERIFY(!w.close());
        QCOMPARE(m_boxes->texts(), QStringList({"正在校准中，不能退出!", "正在校准中，不能退出!"}));
        button(w, "pushButton_Close")->click();
        QVERIFY(idle(w));
        QCOMPARE(m_boxes->count(), 2);
        QCOMPARE(stored("1").CList.join(',') + ' ' + stored("1").A, QString("0.000000,50.000000 old-A"));
        QCOMPARE(m_script->written().size(), 2);
        QVERIFY(closes(w));
    }

    // Each failing step ends the run with its message, closes every device, keeps the points
    // taken and fits nothing; a run with nothing to take starts nothing.
    void automaticFailures_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("opened");
        QTest::newRow("set point read back wrong") << "readback" << "设置温场温度失败！" << 0 << 1;
        QTest::newRow("instrument read") << "read" << "采集器数据获取失败!" << 1 << 1;
        QTest::newRow("fewer readings") << "short" << "采集器数据获取失败!" << 0 << 1;
        QTest::newRow("other instrument") << "serial" << "序列号不匹配，请检查连接的设备是否为对应序列号的设备！" << 0 << 1;
        QTest::newRow("no driver") << "driver" << "Open Error" << 0 << 0;
        QTest::newRow("source unreachable") << "source" << "温场设备连接失败!" << 0 << 1;
        QTest::newRow("unknown source") << "model" << "温场设备连接失败!" << 0 << 1;
        QTest::newRow("unknown reference") << "reference" << "标准设备连接失败!" << 0 << 1;
        QTest::newRow("stability query") << "stability" << "获取温场稳定失败！" << 0 << 1;
        QTest::newRow("link lost before a set point") << "drop at point" << "设置温场温度失败！\n与温场的连接已断开。" << 1 << 1;
        QTest::newRow("link lost while waiting") << "drop waiting" << "获取温场稳定失败！\n与温场的连接已断开。" << 0 << 1;
        QTest::newRow("all points taken") << "done" << "校准温度点数大于设置温度点数，请退出重新设置!" << 0 << 0;
        QTest::newRow("no channels") << "empty" << "项目信息异常!" << 0 << 0;
    }
    void automaticFailures()
    {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        QFETCH(int, points);
        QFETCH(int, opened);
        choose(fault == "done" ? QStringList{"0", "50", "100"} : QStringList());
        temperatures({0.0, 50.0, 100.0});
        if (fault == "readback")
            m_source->script("s", {"99.00\r\n", "99.00\r\n", "99.00\r\n"});
        else if (fault == "read")
            m_script->failAt(Call::GetOneData, 2);
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
        else if (fault == "reference")
            m_system.CriteriaModel = "QN X", m_system.FieldModel = "QNLK";
        else if (fault == "stability")
            m_source->script("SOUR1:STAB:TEST?", {""});
        else if (fault == "empty")
            m_system.CalibrationData.clear();
        else if (fault == "drop at point")
            m_source->dropAfter = "READ?"; // the first point is read, then the link goes
        else if (fault == "drop waiting")
            m_source->dropAfter = "s";     // the first set point is taken, then the link goes
        CalibrationWork w;
        w.Start(&m_system);
        QVERIFY(idle(w));
        QVERIFY(m_boxes->waitFor(1));
        QCOMPARE(m_boxes->texts(), QStringList{message});
        QCOMPARE(stored("1").CList.size(), points);
        QCOMPARE(stored("1").A, points ? QString("old-A") : QString());
        QVERIFY(m_script->written().isEmpty());
        QCOMPARE(m_script->calls(Call::Open), opened);
        QVERIFY(!w.isRunning());
        QTRY_VERIFY(!m_source->linked());
        QCOMPARE(enabledButtons(w), QString("000000000-"));
        QVERIFY(closes(w));
    }

    // A save that fails rolls back: the previous rows stay whole, the user is told each time.
    void storeFailureKeepsPreviousState()
    {
        const DayLogHandler handler;
        choose();
        QSqlQuery q;
        QVERIFY(q.exec("CREATE TRIGGER fail_second BEFORE INSERT ON CalibrationData WHEN NEW.Number = '2'"
                       " AND NEW.CList LIKE '%,%' BEGIN SELECT RAISE(ABORT, 'injected'); END"));
        temperatures({0.0, 50.0, 100.0});
        CalibrationWork w;
        w.Start(&m_system);
        QVERIFY(idle(w));
        QVERIFY(m_boxes->waitFor(3));
        QCOMPARE(m_boxes->texts(), QVector<QString>(3, "数据库保存数据失败！\ninjected").toList());
        QCOMPARE(stored("1").CList.join(',') + ' ' + stored("2").CList.join(',') + ' ' + stored("1").A,
                 QString("0.000000 0.000000 old-A"));
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
        choose();
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
        for (const char *name : {"pushButton_Temp1", "pushButton_Temp2", "pushButton_Close"}) {
            if (!automatic)
                button(w, name)->click();
            QVERIFY(idle(w));
        }
        QCOMPARE(m_boxes->texts(), QStringList());
        QCOMPARE(stored("1").CList.join(','), QString("24.500000,24.500000"));
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
        choose();
        manual();
        m_script->setTemperatures({0.0, 25.0, 50.0, 100.0, 25.5});
        CalibrationWork w;
        w.Start(&m_system);
        w.show();
        QVERIFY(idle(w));
        QCOMPARE(enabledButtons(w), QString("100000000+"));

        const auto take = [&](int k, double reference) {
            typeReference(reference);
            button(w, QStringLiteral("pushButton_Temp%1").arg(k))->click();
        };
        take(1, 0.0);
        QVERIFY(w.isBusy());
        QCOMPARE(enabledButtons(w), QString("000000000-"));
        QVERIFY(!closes(w));
        QCOMPARE(m_boxes->texts().last(), QString("正在校准中，不能退出!"));
        QVERIFY(idle(w));
        QCOMPARE(enabledButtons(w) + button(w, "pushButton_Temp1")->text(), QString("110000000+重采"));
        for (const QPair<int, double> &point : QList<QPair<int, double>>{{2, 25.0}, {3, 50.0}, {4, 100.0}, {2, 25.5}}) {
            take(point.first, point.second);
            QVERIFY(idle(w));
        }
        QCOMPARE(stored("1").CList.join(','), QString("0.000000,25.500000,50.000000,100.000000"));
        QCOMPARE(enabledButtons(w), QString("111110000+"));

        m_boxes->rejectDialog("QInputDialog");
        button(w, "pushButton_Temp5")->click();
        QVERIFY(!w.isBusy());
        QCOMPARE(m_script->calls(Call::GetOneData), 5);
        QVERIFY(!closes(w));
        button(w, "pushButton_Close")->click();
        QVERIFY(idle(w));
        checkCvd(stored("1"));
        // The thermistor's fitted T(R) gives back the temperature of every point within 1 mK.
        const Record ntc = stored("2");
        QCOMPARE(ntc.DList.at(1) + ' ' + ntc.DList.at(2),
                 QString::number(kThermistor.resistance(25.5), 'f', 8) + ' ' + QString::number(kThermistor.resistance(50.0), 'f', 8));
        for (int k = 0; k < 4; ++k) {
            const double x = std::log(number(ntc.DList.at(k)));
            const double inverse = number(ntc.A) + number(ntc.B) * x + number(ntc.C) * x * x + number(ntc.D) * x * x * x;
            QVERIFY2(std::abs(1.0 / inverse - 273.15 - number(ntc.CList.at(k))) < 1e-3, qPrintable(ntc.CList.at(k)));
        }
        QCOMPARE(m_script->written().size(), 2);
        QCOMPARE(m_script->written().first().R0 + ' ' + m_script->written().last().D, stored("1").R0 + ' ' + ntc.D);
        QCOMPARE(enabledButtons(w) + button(w, "pushButton_Temp1")->text(), QString("000000000-温度点1"));
        QVERIFY(child<QPlainTextEdit>(w, "plainTextEdit")->toPlainText().contains("设备断开成功！"));
        QVERIFY(closes(w));
    }

    // In English the run's log line of a channel not fitted reads as two sentences.
    void fitRefusalInEnglish()
    {
        QVERIFY2(m_dir->copyFromBuild("DAQ_en.qm"), "the build folder holds the catalogue");
        QTranslator english;
        QVERIFY(english.load(m_dir->filePath("DAQ_en.qm")));
        QCoreApplication::installTranslator(&english);
        const auto remove = qScopeGuard([&] { QCoreApplication::removeTranslator(&english); });
        choose();
        manual();
        m_script->setTemperatures({25.0});
        CalibrationWork w;
        w.Start(&m_system);
        QVERIFY(idle(w));
        typeReference(25.0);
        button(w, "pushButton_Temp1")->click();
        QVERIFY(idle(w));
        button(w, "pushButton_Close")->click();
        QVERIFY(idle(w));
        const QString log = child<QPlainTextEdit>(w, "plainTextEdit")->toPlainText();
        QVERIFY2(log.contains(": Channel 1 not fitted: the set points do not meet the CVD requirements! At least 3 temperature points"),
                 qPrintable(log));
    }

    // A manual run on an instrument that reports another serial: it is closed at once, and
    // neither "结束" nor closing writes to it, fits or stores anything.
    void wrongInstrumentManualRun_data()
    {
        QTest::addColumn<bool>("ended");
        QTest::newRow("closed at once") << false;
        QTest::newRow("ended first") << true;
    }
    void wrongInstrumentManualRun()
    {
        QFETCH(bool, ended);
        choose({"0.000000"});
        manual();
        m_script->setSerial("SN-OTHER");
        CalibrationWork w;
        w.Start(&m_system);
        w.show();
        QVERIFY(idle(w));
        QVERIFY(m_boxes->waitFor(1));
        QCOMPARE(m_boxes->texts(), QStringList{"序列号不匹配，请检查连接的设备是否为对应序列号的设备！\n"
                                               "该设备已断开：结束时不写入系数，也不保存数据。"});
        QCOMPARE(m_script->calls(Call::Close), 1);
        QCOMPARE(enabledButtons(w), QString("000000000+"));
        if (ended) {
            button(w, "pushButton_Close")->click();
            QVERIFY(!w.isBusy());
            QCOMPARE(enabledButtons(w), QString("000000000-"));
        }
        QVERIFY(closes(w));
        QCOMPARE(m_boxes->count(), 1);
        QCOMPARE(m_script->calls(Call::Close), 1);
        QVERIFY(m_script->written().isEmpty());
        QCOMPARE(m_script->calls(Call::GetOneData) + m_script->calls(Call::SetChannelConfig), 0);
        QList<Tool::Struct_Calibration> runs;
        QVERIFY(Tool::getCalibration(runs, kKey));
        QVERIFY(runs.isEmpty());
        QVERIFY(stored("1").Name.isEmpty());
    }

    // Another program holds the database's write lock through a whole automatic run: each save
    // gives up after about a second (the window keeps answering), the run stays pending and is
    // stored in full when the window closes after the lock has gone. With the lock still held
    // then, the whole run goes to the day's log, and the box says where.
    void saveUnderDatabaseLock_data()
    {
        QTest::addColumn<bool>("released");
        QTest::newRow("released before closing") << true;
        QTest::newRow("held past closing") << false;
    }
    void saveUnderDatabaseLock()
    {
        QFETCH(bool, released);
        choose();
        temperatures({0.0, 50.0, 100.0});
        DatabaseLock lock;
        QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));
        const QtMessageHandler previous = qInstallMessageHandler(&LogHandler::messageHandler);
        const auto restore = qScopeGuard([previous] { qInstallMessageHandler(previous); });
        // The window's longest pause: the largest gap between ticks of a GUI-thread timer.
        qint64 longest = 0;
        QElapsedTimer gap;
        QTimer ticker;
        ticker.setInterval(10);
        connect(&ticker, &QTimer::timeout, [&] { longest = qMax(longest, gap.restart()); });
        gap.start();
        ticker.start();

        CalibrationWork w;
        w.Start(&m_system);
        w.show();
        QVERIFY(idle(w));
        // Each attempt is told; saves queued behind a failed one are taken together.
        const QString locked = "数据库保存数据失败！\n数据库正被其他程序占用，数据将每隔几秒自动再次保存，关闭窗口时也会再次保存。";
        QVERIFY(m_boxes->waitFor(1));
        QVERIFY(w.isSavePending());
        if (released)
            lock.release();
        QVERIFY(closes(w));
        ticker.stop();
        QVERIFY2(longest < 1700, qPrintable(QString::number(longest)));
        QVERIFY(!w.isSavePending());
        lock.release();
        // How many attempts were told depends on how the saves were grouped; the last box of a
        // run kept in the log says so, every other one is the locked save's.
        QStringList told = m_boxes->texts();
        if (!released)
            told.removeLast();
        QVERIFY(!told.isEmpty());
        QCOMPARE(told, QVector<QString>(told.size(), locked).toList());

        QList<Tool::Struct_Calibration> runs;
        QVERIFY(Tool::getCalibration(runs, kKey));
        QCOMPARE(runs.size(), released ? 1 : 0);
        if (released) {
            QCOMPARE(stored("1").CList.join(',') + ' ' + QString::number(stored("2").DList.size()),
                     QString("0.000000,50.000000,100.000000 3"));
            checkCvd(stored("1"));
            return;
        }
        const QString path = QDir::current().absoluteFilePath("log_" + QDate::currentDate().toString("yyyy-MM-dd") + ".log");
        QCOMPARE(m_boxes->texts().last(), "数据库保存数据失败！\n校准数据已完整写入日志文件：" + QDir::toNativeSeparators(path));
        // Each state that a save could not store went to the log; the last one is the fitted run.
        const QList<LoggedRun> logged = loggedRuns(path);
        QVERIFY(!logged.isEmpty());
        const LoggedRun &last = logged.last();
        QCOMPARE(QStringList({last.run.TimeName, last.run.Model, last.run.Serial, last.run.CHNumber.join(',')}),
                 QStringList({kKey, kModel, kSerial, "1,2"}));
        // The logged record of the Pt100 holds its points and its fitted constants.
        QCOMPARE(last.records.size(), 2);
        checkCvd(last.records.first());
        QCOMPARE(last.records.first().Number + ' ' + last.records.first().CList.join(','), QString("1 0.000000,50.000000,100.000000"));
        QCOMPARE(last.records.first().DList.size(), 3);
    }

    // The lock goes while the window stays open: the pending run is tried again every few
    // seconds and lands in the database without anything the user does. Every state that a save
    // could not store was written to the log meanwhile, and the last one reads back field by
    // field as the run that is stored, its points included.
    void pendingRunStoredWhenTheLockGoes()
    {
        retryEvery(300);
        choose();
        for (Record &r : m_system.CalibrationData) {
            r.Type = "Pt-" + r.Number;
            r.Wire = "4线制";
            r.Offset_M = "1.5";
            r.Offset_B = "-0.25";
            r.Parameter1 = "p1; a=b \\ c";
            r.Parameter2 = "p2-" + r.Number;
        }
        temperatures({0.0, 50.0, 100.0});
        DatabaseLock lock;
        QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));
        const DayLogHandler handler;
        CalibrationWork w;
        w.Start(&m_system);
        w.show();
        QVERIFY(idle(w));
        QVERIFY(w.isSavePending());
        // Every failed save writes the run's state to the log, the fitted one last.
        const auto fittedLogged = [] {
            const QList<LoggedRun> runs = loggedRuns(dayLog());
            return !runs.isEmpty() && runs.last().records.size() == 2 && runs.last().records.first().A != "old-A";
        };
        QTRY_VERIFY_WITH_TIMEOUT(fittedLogged(), 10000);
        const QList<LoggedRun> logged = loggedRuns(dayLog());
        QVERIFY(logged.size() >= 2);
        const int boxes = m_boxes->count();

        lock.release();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isSavePending(), 15000);
        QVERIFY(w.isVisible());
        QCOMPARE(m_boxes->count(), boxes);
        QList<Tool::Struct_Calibration> runs;
        QVERIFY(Tool::getCalibration(runs, kKey));
        QCOMPARE(runs.size(), 1);
        const LoggedRun &last = logged.last();
        QCOMPARE(QStringList({last.run.TimeName, last.run.Model, last.run.Serial, last.run.CHNumber.join(',')}),
                 QStringList({runs.first().TimeName, runs.first().Model, runs.first().Serial, runs.first().CHNumber.join(',')}));
        QCOMPARE(last.records.size(), 2);
        for (const Record &r : last.records)
            QCOMPARE(allFields(r), allFields(stored(r.Number)));
        // What is compared is the run itself: its readings are the sensors', its fit the Pt100's.
        const Record pt = stored("1");
        QCOMPARE(pt.DList.at(1), QString::number(FakeCollection::Sensor::pt100().resistance(50.0), 'f', 8));
        checkCvd(pt);
        QCOMPARE(pt.Parameter1, QString("p1; a=b \\ c"));
    }

    // Neither the database nor the log takes the run (a full disk under both; another program's
    // lock and a folder where the log file would be): every failed save says why, the first close
    // is refused with both reasons, and once the user has made room the next close keeps the run;
    // without room it closes and says the run is lost.
    void runKeptNowhere_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<bool>("roomMade");
        QTest::newRow("full disk, room made") << true << true;
        QTest::newRow("full disk, still full") << true << false;
        QTest::newRow("lock and folder, folder removed") << false << true;
        QTest::newRow("lock and folder, folder stays") << false << false;
    }
    void runKeptNowhere()
    {
        QFETCH(bool, fullDisk);
        QFETCH(bool, roomMade);
        retryEvery(600000); // only the saves and the closes try again here
        SmallTmpfs disk(2 * 1024 * 1024);
        DatabaseLock lock;
        if (fullDisk) {
            QVERIFY2(disk.isMounted(), qPrintable(disk.error()));
            QVERIFY(QDir::setCurrent(disk.path()) && Tool::openDatabase("DAQ.db3"));
        } else {
            QVERIFY(QDir().mkdir(LogHandler::fileName(QDate::currentDate())));
        }
        const auto back = qScopeGuard([&] {
            Tool::closeDatabase();
            QDir::setCurrent(m_dir->path());
            Tool::openDatabase("DAQ.db3");
        });
        const DayLogHandler handler;
        choose();
        manual();
        m_script->setTemperatures({0.0, 50.0});
        CalibrationWork w;
        w.Start(&m_system);
        w.show();
        QVERIFY(idle(w));
        typeReference(0.0);
        button(w, "pushButton_Temp1")->click();
        QVERIFY(idle(w));
        QTRY_COMPARE(stored("1").CList.size(), 1);

        const QString path = QDir::toNativeSeparators(dayLog());
        QString database, log;
        if (fullDisk) {
            QVERIFY(disk.fill() && fillUp(dayLog()));
            database = "database or disk is full";
            log = "日志文件" + path + "：No space left on device";
        } else {
            QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));
            database = "database is locked\n数据库正被其他程序使用，未做任何更改。";
            log = "日志文件" + path + "：";
        }
        m_boxes->clear();
        typeReference(50.0);
        button(w, "pushButton_Temp2")->click();
        QVERIFY(idle(w));
        button(w, "pushButton_Close")->click();
        QVERIFY(idle(w));
        // The point's save and the closing save.
        QTRY_COMPARE_WITH_TIMEOUT(m_boxes->texts().size(), 2, 10000);
        QVERIFY(w.isSavePending());
        const QString saveBox = "数据库保存数据失败！\n"
            + (fullDisk ? database : QString("数据库正被其他程序占用，数据将每隔几秒自动再次保存，关闭窗口时也会再次保存。")) + '\n' + log;
        for (const QString &text : m_boxes->texts())
            QVERIFY2(text.startsWith(saveBox), qPrintable(text));

        m_boxes->clear();
        QVERIFY(!closes(w));
        QVERIFY(w.isVisible());
        QCOMPARE(m_boxes->texts().size(), 1);
        const QString reasons = "\n数据库：" + database + '\n' + log;
        QVERIFY2(m_boxes->texts().first().startsWith("校准数据未能保存，窗口没有关闭：请腾出空间后再次关闭窗口以重新保存；仍无法保存时窗口将关闭，数据丢失。" + reasons),
                 qPrintable(m_boxes->texts().first()));

        if (roomMade) {
            if (fullDisk)
                disk.makeRoom();
            else
                QVERIFY(QDir().rmdir(LogHandler::fileName(QDate::currentDate())));
        }
        m_boxes->clear();
        QVERIFY(closes(w));
        lock.release();
        const QStringList told = m_boxes->texts();
        QCOMPARE(told.size(), fullDisk && roomMade ? 0 : 1);
        if (!roomMade) {
            QVERIFY2(told.first().startsWith("校准数据未能保存，已丢失！" + reasons), qPrintable(told.first()));
            QCOMPARE(stored("1").CList.size(), 1);
        } else if (fullDisk) {
            // The database took it.
            QCOMPARE(stored("1").CList.join(',') + ' ' + stored("2").CList.join(','), QString("0.000000,50.000000 0.000000,50.000000"));
        } else {
            QCOMPARE(told.first(), "数据库保存数据失败！\n校准数据已完整写入日志文件：" + path);
            const QList<LoggedRun> logged = loggedRuns(dayLog());
            QCOMPARE(logged.size(), 1);
            QCOMPARE(logged.last().records.first().CList.join(','), QString("0.000000,50.000000"));
        }
    }

    // The program is killed (SIGKILL) with a run that another program's lock kept out of the
    // database: the log holds both points of it. When the lock went a moment before the kill, the
    // window had stored the run by itself by then.
    void killedRun_data()
    {
        QTest::addColumn<bool>("released");
        QTest::newRow("killed under the lock") << false;
        QTest::newRow("killed after the lock went") << true;
    }
    void killedRun()
    {
        QFETCH(bool, released);
        DatabaseLock lock;
        QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DAQ_KILLED_RUN_DIR", m_dir->path());
        environment.insert("TMPDIR", m_dir->path()); // the killed child's own folders go with ours
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {"killedRunChild"});
        QVERIFY(child.waitForStarted());
        QByteArray output;
        QVERIFY2(QTest::qWaitFor([&] {
                     output += child.readAll();
                     return output.contains("both points taken") || child.state() == QProcess::NotRunning;
                 }, 120000),
                 "the run never took its points");
        QVERIFY2(output.contains("both points taken"), output.right(3000).constData());

        const auto storedPoints = [] {
            QList<Tool::Struct_Calibration> runs;
            return Tool::getCalibration(runs, kKey) && runs.size() == 1 ? stored("2").CList.size() : 0;
        };
        if (released) {
            lock.release();
            // No user action: the window's own retry stores it.
            QTRY_COMPARE_WITH_TIMEOUT(storedPoints(), 2, 20000);
        }
        child.kill();
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        lock.release();

        const QStringList references{"0.000000", "50.000000"};
        const QStringList readings{QString::number(kThermistor.resistance(0.0), 'f', 8),
                                   QString::number(kThermistor.resistance(50.0), 'f', 8)};
        QSqlQuery check("PRAGMA integrity_check");
        QVERIFY(check.next());
        QCOMPARE(check.value(0).toString(), QString("ok"));
        if (released) {
            QCOMPARE(stored("2").CList.join(',') + ' ' + stored("2").DList.join(','), references.join(',') + ' ' + readings.join(','));
            return;
        }
        QCOMPARE(storedPoints(), 0);
        const QList<LoggedRun> logged = loggedRuns(dayLog());
        QVERIFY(!logged.isEmpty());
        const LoggedRun &last = logged.last();
        QCOMPARE(last.run.TimeName + ' ' + last.run.CHNumber.join(','), kKey + " 1,2");
        QCOMPARE(last.records.size(), 2);
        QCOMPARE(last.records.last().CList.join(',') + ' ' + last.records.last().DList.join(','),
                 references.join(',') + ' ' + readings.join(','));
    }

    // The process killedRun kills: a manual run in the test's folder that takes two points while
    // the database is locked, then waits.
    void killedRunChild()
    {
        const QString folder = qEnvironmentVariable("DAQ_KILLED_RUN_DIR");
        if (folder.isEmpty())
            QSKIP("started by killedRun only");
        retryEvery(300);
        QVERIFY(QDir::setCurrent(folder) && Tool::openDatabase("DAQ.db3"));
        const DayLogHandler handler;
        choose();
        manual();
        m_script->setTemperatures({0.0, 50.0});
        CalibrationWork w;
        w.Start(&m_system);
        w.show();
        QVERIFY(idle(w));
        for (int k = 1; k <= 2; ++k) {
            typeReference(k == 1 ? 0.0 : 50.0);
            button(w, QStringLiteral("pushButton_Temp%1").arg(k))->click();
            QVERIFY(idle(w));
        }
        // The second point's save has failed on the lock.
        QTRY_VERIFY_WITH_TIMEOUT(m_boxes->texts().size() >= 2, 30000);
        std::printf("both points taken\n");
        std::fflush(stdout);
        QTest::qWait(120000);
        QFAIL("the run was not killed");
    }

    // After "结束" of an automatic run the worker closes the instrument, then the source, fits and
    // saves. In that gap neither Escape nor closing may end the dialog, or the fit is lost.
    void closingRefusedUntilTheWorkerEnds()
    {
        choose();
        m_system.CalibrationTemp = QStringList{"0", "50", "100", "150"};
        temperatures({0.0, 50.0, 100.0, 150.0});
        m_source->stability = QStringLiteral("0");
        m_source->script("SOUR1:STAB:TEST?", {"1\r\n", "1\r\n", "1\r\n"});
        m_script->setCloseLinger(1500);
        CalibrationWork w;
        w.Start(&m_system);
        w.show();
        QVERIFY(QTest::qWaitFor([&] { return m_source->commands.contains("s 150.00"); }, 20000));
        button(w, "pushButton_Close")->click();
        QVERIFY(QTest::qWaitFor([&] { return m_script->calls(Call::Close) == 1; }, 10000));
        QTest::qWait(50);
        QVERIFY(w.isBusy() && !w.isRunning());
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QVERIFY(w.isBusy());
        QCOMPARE(m_boxes->texts(), QStringList({"正在校准中，不能退出!", "正在校准中，不能退出!"}));
        QVERIFY(idle(w));
        checkCvd(stored("1"));
        QVERIFY(closes(w));
    }

    // A stability delay of several minutes: the point is taken no earlier than the whole delay
    // after the source first reports stable.
    void delayOfSeveralMinutes()
    {
        CalibrationTiming::set({{}, 1, 300, 200, 1}); // a 1 ms poll, a query every 300 ms, a minute of 200 ms
        choose();
        m_system.CalibrationTemp = QStringList{"25"};
        m_system.CalibrationDelay = 3;
        temperatures({25.0});
        m_source->script("SOUR1:STAB:TEST?", {"0\r\n"}); // stable at the second query
        QElapsedTimer clock;
        clock.start();
        CalibrationWork w;
        w.Start(&m_system);
        const qint64 stable = seen("SOUR1:STAB:TEST?", 2, clock);
        QVERIFY(stable >= 0);
        const qint64 read = seen("READ?", m_source->commands.count("READ?") + 1, clock);
        QVERIFY(idle(w));
        // Three minutes of 200 ms, less what seeing the query may take (one minute would give 200 ms).
        QVERIFY2(read - stable >= 3 * 200 - 30, qPrintable(QString("%1 ms").arg(read - stable)));
        QVERIFY(child<QPlainTextEdit>(w, "plainTextEdit")->toPlainText().contains("温场稳定延迟等待中 3分钟"));
        QCOMPARE(stored("1").CList.join(','), QString("25.000000"));
    }

    // With one point taken, only points 1 and 2 can be taken: point 3 through its slot measures
    // nothing and asks for nothing.
    void pointOutOfOrderMeasuresNothing()
    {
        choose();
        manual();
        m_script->setTemperatures({0.0, 25.0});
        CalibrationWork w;
        w.Start(&m_system);
        QVERIFY(idle(w));
        typeReference(0.0);
        button(w, "pushButton_Temp1")->click();
        QVERIFY(idle(w));
        typeReference(25.0);
        w.Temp3_Clicked();
        QVERIFY(!w.isBusy());
        QVERIFY(idle(w));
        QCOMPARE(m_script->calls(Call::GetOneData), 1);
        QCOMPARE(stored("1").CList.join(','), QString("0.000000"));
        QCOMPARE(m_boxes->count(), 1); // the first point's input only
        QCOMPARE(enabledButtons(w), QString("110000000+"));
    }
};

QTEST_MAIN(tst_CalibrationRun)
#include "tst_CalibrationRun.moc"
