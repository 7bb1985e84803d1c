// The import dialog: reading through the instrument's driver (a scripted one, and the product's
// record-file driver for real files), thinning, time alignment and storing.
#include "acquisition/ParametersCsvWriter.h"
#include "acquisition/ParametersImport.h"
#include "common/Struct_System.h"
#include "devices/AcquisitionDevice.h"
#include "store/Tool.h"
#include "support/AnotherProcess.h"
#include "support/DatabaseLock.h"
#include "support/FakeCollection.h"
#include "support/MessageBoxHelper.h"
#include "support/SmallTmpfs.h"
#include "support/TestWorkDir.h"

#include <QAbstractItemModel>
#include <QDateTimeEdit>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSqlQuery>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QtTest>

#include <memory>
#include <new>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Rows of the import whose save is killed part-way (fewer where the sanitizers slow every
// allocation down).
#if defined(__SANITIZE_ADDRESS__)
const int kKilledSaveRows = 20000;
#else
const int kKilledSaveRows = 100000;
#endif

const QString kModel = QStringLiteral("FAKE-IMPORT");
const QString kTimeMs = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");
const QDateTime T0 = QDateTime::fromString("2024-05-01 08:00:00.000", kTimeMs);

const Struct_Channel kChannel{1, true, "", "", "", "℃"};

// The parts joined; a braced list evaluates them one after the other.
QString inOrder(std::initializer_list<QString> parts)
{
    return QStringList(parts).join(QString());
}

// How many projects and samples are stored.
QString stored()
{
    QSqlQuery q("SELECT (SELECT COUNT(*) FROM Parameters) || ' ' || (SELECT COUNT(*) FROM ParametersData)");
    return q.next() ? q.value(0).toString() : QString();
}

// Milliseconds after T0: n steps of stepMs from offset.
QList<qint64> every(int n, qint64 stepMs, qint64 offset = 0)
{
    QList<qint64> times;
    for (int i = 0; i < n; ++i)
        times << offset + i * stepMs;
    return times;
}

// The process's high-water mark of resident memory.
double peakRssMb()
{
    QFile status("/proc/self/status");
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    const int at = text.indexOf("VmHWM:");
    return text.mid(at + 6, text.indexOf('\n', at) - at - 6).trimmed().split(' ').first().toDouble() / 1024;
}

// Counts the cells whose size the view asks for.
class MeasuringDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        ++measured;
        return QStyledItemDelegate::sizeHint(option, index);
    }
    mutable int measured = 0;
};

// A driver whose reading throws.
class ThrowingCollection : public Collection
{
public:
    bool Open(const QString &, const QString &, const QString &, QString &) override { return false; }
    bool OpenCSVFile(const QString &, QList<Struct_Channel> &channels) override { channels = {kChannel}; return true; }
    bool GetCSVData(QDateTime &, QStringList &) override { throw std::bad_alloc(); }
};

} // namespace

class tst_ParametersImport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestWorkDir> m_dir;
    std::shared_ptr<FakeCollection::Script> m_script;
    Struct_System m_system;
    std::unique_ptr<ParametersImport> m_dialog;
    std::unique_ptr<MessageBoxHelper> m_boxes;

    QPushButton *button(const char *name) const { return m_dialog->findChild<QPushButton *>(name); }
    QAbstractItemModel *table() const { return m_dialog->findChild<QTableView *>("tableWidget")->model(); }
    QString cell(int row, int column) const { return table()->index(row, column).data().toString(); }
    QLineEdit *field() const { return m_dialog->findChild<QLineEdit *>("lineEdit_Interval"); }
    QDateTimeEdit *editor(const char *name) const { return m_dialog->findChild<QDateTimeEdit *>(name); }
    // Set, Save and Time enabled, as "110".
    QString enabled() const
    {
        QString states;
        for (const char *name : {"pushButton_Set", "pushButton_Save", "pushButton_Time"})
            states += button(name)->isEnabled() ? '1' : '0';
        return states;
    }
    QStringList column(int col) const
    {
        QStringList texts;
        for (int r = 0; r < table()->rowCount(); ++r)
            texts << cell(r, col);
        return texts;
    }

    void makeDialog(const QString &model)
    {
        m_system.ProjectNames = QStringList{"Oven A"};
        m_system.ProjectDevices = {Tool::Struct_Collection{model, "SN-77"}};
        m_dialog.reset(new ParametersImport);
        m_dialog->setParameters(&m_system);
    }

    static QList<Tool::Struct_ParametersData> savedRows()
    {
        QList<Tool::Struct_ParametersData> data;
        return Tool::getParametersData(data, "Oven A") ? data : QList<Tool::Struct_ParametersData>();
    }

    // Clicks a button; returns the message shown, empty when none. Open waits for the message
    // that ends the reading.
    QString press(const char *name)
    {
        const int before = m_boxes->count();
        button(name)->click();
        if (QByteArray(name) == "pushButton_Open" && !m_boxes->waitFor(before + 1, 20000))
            return QStringLiteral("<no message>");
        return m_boxes->count() > before ? m_boxes->last().text : QString();
    }
    QString open() { return press("pushButton_Open"); }

    // A scripted file of one channel with samples at these milliseconds after T0; each value is
    // the sample's index, so a test sees which samples were kept.
    QString openRows(const QList<qint64> &times)
    {
        QList<FakeCollection::Row> rows;
        for (int i = 0; i < times.size(); ++i)
            rows.append({T0.addMSecs(times.at(i)), QStringList{QString::number(i)}});
        m_script->setRecordFile({kChannel}, rows);
        return open();
    }

    // Sets range (seconds after T0) and interval and presses "设置".
    QString thin(int startS, int endS, const QString &interval)
    {
        editor("dateTimeEdit_Start")->setDateTime(T0.addSecs(startS));
        editor("dateTimeEdit_End")->setDateTime(T0.addSecs(endS));
        field()->setText(interval);
        return press("pushButton_Set");
    }

    QString save() { return press("pushButton_Save"); }

private slots:
    void initTestCase() { AcquisitionDevice::RegisterModel("THROWING", [] { return new ThrowingCollection; }); }

    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        m_script = FakeCollection::install(kModel);
        m_system = Struct_System();
        m_boxes.reset(new MessageBoxHelper);
        ParametersImport::setFileChooser([](QWidget *) { return QStringLiteral("record.csv"); });
        makeDialog(kModel);
    }

    void cleanup()
    {
        m_dialog.reset();
        m_boxes.reset();
        ParametersImport::setFileChooser(nullptr);
        FakeCollection::uninstall(kModel);
        m_script.reset();
        m_dir.reset();
    }

    // A second file that fails must leave nothing of the first one to thin or save, and puts
    // the editors back to their first state; a model without a driver reports no channels.
    void failedFileResetsTheDialog()
    {
        // Editors and the buttons Set, Save and Time.
        const QStringList firstState{"2020-01-01 00:00:00.000", "2020-01-01 00:00:00.000", "1", "000"};
        auto state = [this] {
            return QStringList{editor("dateTimeEdit_Start")->dateTime().toString(kTimeMs),
                               editor("dateTimeEdit_End")->dateTime().toString(kTimeMs), field()->text(), enabled()};
        };
        // A header-only file reads but offers nothing to thin or save.
        QCOMPARE(openRows({}), QStringLiteral("数据读取成功！"));
        QCOMPARE(QString::number(table()->columnCount()) + enabled(), QStringLiteral("3000"));
        QCOMPARE(inOrder({openRows(every(5, 2000)), thin(0, 8, "4"), enabled()}), QStringLiteral("数据读取成功！111"));

        // Line 4 of the second file (the header is line 1) does not fit: the lines before it stay listed.
        m_script->failAt(FakeCollection::Call::GetCSVData, 1 + 6 + 3); // after the ends of two files
        QCOMPARE(openRows(every(6, 1000, 86400000)), QStringLiteral("采集数据不匹配，读取失败！\n第 4 行不符合记录文件格式。"));
        QCOMPARE(column(1), QStringList({"2024-05-02 08:00:00.000", "2024-05-02 08:00:01.000"}));
        QCOMPARE(state(), firstState);

        // A file that cannot be opened at all clears the table as well.
        m_script->clearFailures();
        QCOMPARE(openRows(every(5, 1000)), QStringLiteral("数据读取成功！"));
        m_script->failAt(FakeCollection::Call::OpenCSVFile, 5);
        QCOMPARE(open(), QStringLiteral("未检测到通道！\n无法打开文件 record.csv。"));
        QCOMPARE(state() << QString::number(table()->rowCount()), QStringList(firstState) << "0");
        QCOMPARE(m_script->calls(FakeCollection::Call::CloseCSVFile), 5);

        makeDialog("NO-SUCH-MODEL");
        QCOMPARE(inOrder({open(), m_boxes->last().title, enabled()}), QStringLiteral("未检测到通道！警告000"));
    }

    // Each target takes the nearest sample within 2000 ms: a tie goes to the earlier, an exact
    // hit wins, equal times before the target give the later in the file, on it the first.
    void thinning_data()
    {
        QTest::addColumn<QList<qint64>>("times");
        QTest::addColumn<QList<int>>("range"); // start, end (s after T0), interval (s)
        QTest::addColumn<QStringList>("kept");
        const QList<qint64> seconds = every(61, 1000);
        QTest::newRow("every tenth") << seconds << QList<int>{0, 60, 10} << QStringList{"0", "10", "20", "30", "40", "50", "60"};
        QTest::newRow("end between steps") << seconds << QList<int>{5, 47, 10} << QStringList{"5", "15", "25", "35", "45"};
        QTest::newRow("beyond 24.8 days") << every(4, 30LL * 86400000) << QList<int>{0, 90 * 86400, 60 * 86400} << QStringList{"0", "2"};
        const QList<int> twoTargets{0, 12, 10};
        QTest::newRow("tie") << QList<qint64>{0, 8500, 11500} << twoTargets << QStringList{"0", "1"};
        QTest::newRow("exact hit") << QList<qint64>{0, 9999, 10000} << twoTargets << QStringList{"0", "2"};
        QTest::newRow("equal before") << QList<qint64>{0, 9000, 9000} << twoTargets << QStringList{"0", "2"};
        QTest::newRow("equal on") << QList<qint64>{0, 10000, 10000} << twoTargets << QStringList{"0", "1"};
        QTest::newRow("nearer after") << QList<qint64>{0, 7000, 12000} << twoTargets << QStringList{"0", "2"};
        QTest::newRow("2 s before") << QList<qint64>{0, 8000} << twoTargets << QStringList{"0", "1"};
        // A range of one instant takes the sample on it, at the start, inside or at the end of the file.
        QTest::newRow("start is end, first") << seconds << QList<int>{0, 0, 10} << QStringList{"0"};
        QTest::newRow("start is end, inside") << seconds << QList<int>{7, 7, 1} << QStringList{"7"};
        QTest::newRow("start is end, last") << seconds << QList<int>{60, 60, 1} << QStringList{"60"};
    }

    void thinning()
    {
        QFETCH(QList<qint64>, times);
        QFETCH(QList<int>, range);
        QCOMPARE(inOrder({openRows(times), thin(range.at(0), range.at(1), QString::number(range.at(2)))}), QStringLiteral("数据读取成功！"));
        QTEST(column(2), "kept");
        QCOMPARE(column(0).last(), QString::number(column(2).size()));
    }

    // Each refusal names its cause and leaves the last thinning as it was.
    void thinningRefusals()
    {
        // Samples every second, but none within 2 s of 25 s.
        QList<qint64> times = every(23, 1000) + every(23, 1000, 28000);
        QCOMPARE(inOrder({openRows(times), thin(0, 50, "10")}), QStringLiteral("数据读取成功！"));
        const QStringList thinned = column(2);

        // The time of the last sample taken, or of the first target when it has no sample.
        QCOMPARE(thin(0, 50, "5"), QStringLiteral("2024-05-01 08:00:20.000:时间间隔异常，请检查！"));
        QCOMPARE(m_boxes->last().title, QStringLiteral("警告"));
        QCOMPARE(thin(24, 50, "10"), QStringLiteral("2024-05-01 08:00:24.000:时间间隔异常，请检查！"));
        QCOMPARE(thin(10, 9, "1"), QStringLiteral("开始时间不能大于结束时间！"));
        QCOMPARE(thin(24, 26, "1"), QStringLiteral("时间范围异常！"));
        // Intervals below 1 ms are refused.
        for (const char *interval : {"", "0", "0.0004", "."})
            QCOMPARE(thin(0, 50, interval), QStringLiteral("扫描间隔设置错误！"));
        QCOMPARE(column(2), thinned);
    }

    // The proposed interval is the file's median step; the interval field and the stored interval
    // describe the rows saved, thinned (seconds rounded to milliseconds) or not.
    void intervalDescribesTheSavedRows_data()
    {
        QTest::addColumn<QList<qint64>>("times");
        QTest::addColumn<QString>("thinTo"); // typed interval; "=" presses "设置" unchanged; "" saves unthinned
        QTest::addColumn<bool>("align");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<qint64>("last");

        QList<qint64> hours = every(10800, 1000, 250), jitter = every(300, 1000);
        hours << 10800 * 1000 + 247; // the last sample's milliseconds below the first's
        for (int s = 1; s < 300; ++s)
            jitter[s] += s == 1 ? -8 : s % 10 == 5 ? 3 : s % 10 == 7 ? -3 : 0;
        QTest::newRow("3 h thinned to 10 s") << hours << "10" << false << "1" << 1081 << "10" << hours.last();
        QTest::newRow("jitter, set unchanged") << jitter << "=" << false << "1" << 300 << "1" << jitter.last();
        QTest::newRow("jitter, unthinned") << jitter << "" << false << "1" << 300 << "1" << jitter.last();
        QTest::newRow("2.01 s aligned") << every(4, 2010) << "2.0100" << true << "2.01" << 4 << "2.01" << 6030LL;
        QTest::newRow("aligned to the shown second") << every(5, 1000, 250) << "1" << true << "1" << 5 << "1" << 4000LL;
        QTest::newRow("single sample") << QList<qint64>{500} << "" << false << "0" << 1 << "0" << 500LL;
        QTest::newRow("first two times equal") << QList<qint64>{0, 0, 1000, 2000} << "" << false << "1" << 4 << "1" << 2000LL;
        // Steps 2, 1, 2, 1 s: of an even number of steps, the mean of the two middle ones.
        QTest::newRow("even number of steps") << QList<qint64>{0, 2000, 3000, 5000, 6000} << "" << false << "1.5" << 5 << "1.5" << 6000LL;
    }

    void intervalDescribesTheSavedRows()
    {
        QFETCH(QList<qint64>, times);
        QFETCH(QString, thinTo);
        QFETCH(bool, align);
        QCOMPARE(openRows(times), QStringLiteral("数据读取成功！"));
        QTEST(field()->text(), "proposed");
        // The number column holds the last number whole.
        const auto *view = m_dialog->findChild<QTableView *>("tableWidget");
        QVERIFY(view->columnWidth(0) >= view->sizeHintForIndex(table()->index(times.size() - 1, 0)).width());
        if (!thinTo.isEmpty()) {
            if (thinTo != "=")
                field()->setText(thinTo);
            QCOMPARE(press("pushButton_Set"), QString());
        }
        if (align)
            button("pushButton_Time")->click();
        QCOMPARE(save(), QStringLiteral("数据保存成功！"));
        Tool::Struct_Parameters p;
        QVERIFY(Tool::getParameters(p, "Oven A"));
        QTEST(p.Interval, "interval");
        QCOMPARE(field()->text(), p.Interval);
        const auto data = savedRows();
        QTEST(data.size(), "rows");
        QTEST(T0.msecsTo(data.value(data.size() - 1).Time), "last");
    }

    // Files the record-file driver refuses: the message names the line that does not fit (the
    // header is line 1) or why the file is none; a huge line is never read whole; a reading that
    // throws ends as a failure too.
    void refusedFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray header = "Time,1(℃)\n", good = "2024-05-01 08:00:00.000,20.5\n";
        auto row = [](const char *name, const QByteArray &bytes, int line, const char *kind = "file") {
            QTest::newRow(name) << kind << bytes
                                << (line < 0 ? QStringLiteral("未检测到通道！\n%path 不是普通文件。")
                                             : (line == 1 ? QStringLiteral("未检测到通道！") : QStringLiteral("采集数据不匹配，读取失败！"))
                                                   + QStringLiteral("\n第 %1 行不符合记录文件格式。").arg(line));
        };
        row("1 GiB line", header + good, 3, "huge");
        row("FIFO", {}, -1, "fifo");
        row("directory", {}, -1, "directory");
        row("empty file", {}, 1);
        row("no channel column", "Time\n" + good, 1);
        row("column without unit", "Time,1-1\n", 1);
        row("channel number too large", "Time,99999999999(℃)\n", 1);
        row("semicolon separated", "Time;1(℃);2(℃)\n", 1);
        row("CR in a unit", "Time,1(℃\r)\n" + good, 1);
        row("unit not UTF-8", "Time,1(\xC3\x28)\n" + good, 1);
        row("quote in a unit", "Time,1(℃\")\n" + good, 1);
        row("time without milliseconds", header + "2024-05-01 08:00:02,1\n", 2);
        row("impossible date", header + "2024-02-30 08:00:02.000,1\n", 2);
        row("too many fields", header + "2024-05-01 08:00:02.000,1,2\n", 2);
        row("value is no number", header + "2024-05-01 08:00:02.000,OL\n", 2);
        row("blank line in the middle", header + good + "\n" + good, 3);
        row("NUL in a value", header + QByteArray("2024-05-01 08:00:00.000,20\0005\n", 29), 2);
        row("nan", header + good + "2024-05-01 08:00:01.000,nan\n", 3);
        row("inf", header + "2024-05-01 08:00:00.000,-inf\n", 2);
        // The reading thread ends by an exception (a driver that throws, as a failed allocation does).
        QTest::newRow("exception") << "throws" << QByteArray() << "采集数据不匹配，读取失败！\n读取在第 2 行中断，详见日志。";
    }

    void refusedFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        makeDialog(kind == "throws" ? "THROWING" : "P540W");
        const QString path = m_dir->filePath("record");
        if (kind == "fifo") {
            QCOMPARE(mkfifo(qPrintable(path), 0600), 0);
        } else if (kind == "directory") {
            QVERIFY(QDir().mkdir(path));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
            if (kind == "huge")
                QVERIFY(file.resize(file.size() + (qint64(1) << 30))); // sparse: zeros, no line end
        }
        ParametersImport::setFileChooser([path](QWidget *) { return path; });
        const double peak = peakRssMb();
        const QString shown = open();
        const int writer = kind == "fifo" ? ::open(qPrintable(path), O_WRONLY | O_NONBLOCK) : -1;
        if (writer >= 0) // a reader was left blocked in opening the FIFO: let it go, so cleanup cannot hang
            ::close(writer);
        QCOMPARE(shown, message.replace("%path", path));
        QVERIFY2(peakRssMb() - peak < 256, "the huge line was read whole");
        QCOMPARE(enabled(), QStringLiteral("000"));
    }

    // Whatever the driver lets through, a value of a sign or a point alone holds no number: its
    // row is refused, not stored as 0. A point at either end of digits is a number.
    void valuesWithoutDigitsRefused()
    {
        for (const QString &value : {"-", ".", "-."}) {
            m_script->setRecordFile({kChannel}, {{T0, {"1.5"}}, {T0.addSecs(1), {value}}});
            QCOMPARE(inOrder({open(), enabled()}), QStringLiteral("采集数据不匹配，读取失败！\n第 3 行不符合记录文件格式。000"));
        }
        m_script->setRecordFile({kChannel}, {{T0, {"-.5"}}, {T0.addSecs(1), {"5."}}});
        QCOMPARE(inOrder({open(), save()}), QStringLiteral("数据读取成功！数据保存成功！"));
        QCOMPARE(savedRows().value(1).Data, QStringList{"5."});
    }

    // A save failing part-way stores nothing; a retry stores every sample.
    void failedSaveStoresNothingAndRetryWorks()
    {
        const int n = 5000; // more than one insert batch
        QCOMPARE(openRows(every(n, 2000, 123)), QStringLiteral("数据读取成功！"));
        QSqlQuery q;
        QVERIFY(q.exec("CREATE TRIGGER fail_late BEFORE INSERT ON ParametersData"
                       " WHEN (SELECT COUNT(*) FROM ParametersData) >= 4321"
                       " BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        QCOMPARE(inOrder({save(), stored()}), QStringLiteral("数据保存失败！\ndisk full0 0"));
        QCOMPARE(m_dialog->result(), int(QDialog::Rejected));

        QVERIFY(q.exec("DROP TRIGGER fail_late"));
        QCOMPARE(inOrder({save(), stored()}), QStringLiteral("数据保存成功！1 5000"));
        const auto data = savedRows();
        QCOMPARE(T0.msecsTo(data.value(n - 1).Time), 2000LL * (n - 1) + 123);
        QCOMPARE(data.value(n - 1).Data, QStringList{QString::number(n - 1)});
    }

    // Another program holds the database's write lock when "保存" is pressed: the window waits a
    // moment, not the store's full busy wait; the box says why, nothing is stored, the dialog stays
    // open, and once the lock is gone the same rows save.
    void saveUnderAnotherProgramsLock()
    {
        QCOMPARE(openRows(every(3000, 1000)), QStringLiteral("数据读取成功！"));
        DatabaseLock lock;
        QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));
        QElapsedTimer held;
        held.start();
        const QString shown = save();
        const qint64 waited = held.elapsed();
        lock.release();
        QVERIFY2(waited < Tool::BusyTimeoutMs / 2, qPrintable(QString::number(waited)));
        QCOMPARE(inOrder({shown, stored(), QString::number(m_dialog->result())}),
                 QStringLiteral("数据保存失败！\n数据库正被其他程序使用，未做任何更改。0 00"));
        QCOMPARE(inOrder({save(), stored()}), QStringLiteral("数据保存成功！1 3000"));
    }

    // Another program stores a project of the same name while the dialog is open: "保存" stores
    // nothing of the import, says that the name is taken, and the dialog stays open.
    void nameStoredMeanwhile()
    {
        QCOMPARE(openRows(every(3, 1000)), QStringLiteral("数据读取成功！"));
        QVERIFY(sqlFromAnotherProcess("DAQ.db3", "INSERT INTO Parameters (Name) VALUES ('Oven A')"));
        QCOMPARE(inOrder({save(), stored(), QString::number(m_dialog->result())}),
                 QStringLiteral("数据保存失败！\n项目名称已存在！（Oven A）1 00"));
    }

    // The disk under the database fills while "保存" stores an import: nothing of it is stored and
    // the dialog stays open; once there is room again the same rows save in full.
    void saveOnAFullDisk()
    {
        SmallTmpfs disk(2 * 1024 * 1024);
        QVERIFY2(disk.isMounted(), qPrintable(disk.error()));
        QVERIFY(QDir::setCurrent(disk.path()) && Tool::openDatabase("DAQ.db3"));
        const int n = 20000;
        QCOMPARE(openRows(every(n, 1000)), QStringLiteral("数据读取成功！"));
        QVERIFY(disk.fill());
        const QString shown = save();
        disk.makeRoom();
        QCOMPARE(inOrder({shown, " ", stored(), " ", QString::number(m_dialog->result())}),
                 QStringLiteral("数据保存失败！\ndatabase or disk is full 0 0 0"));
        QCOMPARE(inOrder({save(), stored()}), QStringLiteral("数据保存成功！1 %1").arg(n));
        Tool::closeDatabase();
        QVERIFY(QDir::setCurrent(m_dir->path()));
    }

    // The program is killed (SIGKILL) while "保存" stores a large import: after a restart the
    // database is whole and holds none of the import, and the same import saves in full.
    void killedSaveStoresNothing()
    {
        const int n = kKilledSaveRows;
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DAQ_KILLED_SAVE_DIR", m_dir->path());
        environment.insert("TMPDIR", m_dir->path()); // the killed child's own folders go with ours
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {"killedSaveChild"});
        QVERIFY(child.waitForStarted());
        // Uncommitted pages spill into the write-ahead log long before the save ends.
        QFile wal(m_dir->filePath("DAQ.db3-wal"));
        // The child keeps a small page cache, so its uncommitted pages reach the log early; a
        // sanitizer build reads the file slowly, hence the long wait.
        QVERIFY2(QTest::qWaitFor([&] { return wal.size() > 512 * 1024 || child.state() == QProcess::NotRunning; }, 200000),
                 "the save never began");
        child.kill();
        QVERIFY(child.waitForFinished());
        QVERIFY2(child.exitStatus() == QProcess::CrashExit, child.readAllStandardOutput().right(2000).constData());

        QVERIFY(Tool::openDatabase("DAQ.db3"));
        QSqlQuery check("PRAGMA integrity_check");
        QVERIFY(check.next());
        QCOMPARE(inOrder({check.value(0).toString(), " ", stored()}), QStringLiteral("ok 0 0"));
        QCOMPARE(openRows(every(n, 1000)), QStringLiteral("数据读取成功！"));
        QCOMPARE(inOrder({save(), stored()}), QStringLiteral("数据保存成功！1 %1").arg(n));
    }

    // The process killedSaveStoresNothing kills: it saves that import in the test's folder.
    void killedSaveChild()
    {
        const QString folder = qEnvironmentVariable("DAQ_KILLED_SAVE_DIR");
        if (folder.isEmpty())
            QSKIP("started by killedSaveStoresNothing only");
        QVERIFY(QDir::setCurrent(folder) && Tool::openDatabase("DAQ.db3"));
        QVERIFY(QSqlQuery().exec("PRAGMA cache_size=32"));
        QCOMPARE(openRows(every(kKilledSaveRows, 1000)), QStringLiteral("数据读取成功！"));
        save();
        QFAIL("the save ended before the process was killed");
    }

    // A record file with thousands of channel columns reads and shows every column, and fitting
    // the columns measures a bounded number of cells (measuring 200 rows of each held the window
    // for seconds).
    void thousandsOfColumns()
    {
        const int columns = 3000, lines = 300;
        makeDialog("P540W");
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
        const QString path = m_dir->filePath("wide.csv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray header = "Time", values;
        for (int c = 1; c <= columns; ++c) {
            header += "," + QByteArray::number(c) + "(℃)";
            values += ",2" + QByteArray::number(c % 10) + ".125";
        }
        file.write(header + "\n");
        for (int i = 0; i < lines; ++i)
            file.write(T0.addSecs(i).toString(kTimeMs).toUtf8() + values + "\n");
        file.close();
        ParametersImport::setFileChooser([path](QWidget *) { return path; });

        auto *view = m_dialog->findChild<QTableView *>("tableWidget");
        auto *counter = new MeasuringDelegate(view);
        view->setItemDelegate(counter);
        QCOMPARE(open(), QStringLiteral("数据读取成功！"));
        QVERIFY2(counter->measured < 3 * 20000, qPrintable(QString::number(counter->measured)));
        QCOMPARE(QString::number(table()->columnCount()) + " " + table()->headerData(columns + 1, Qt::Horizontal).toString()
                     + " " + cell(lines - 1, columns + 1),
                 QStringLiteral("3002 CH3000 20.125"));
        QVERIFY(view->columnWidth(columns + 1) >= view->sizeHintForIndex(table()->index(0, columns + 1)).width());
    }

    // A file written by the acquisition CSV writer is shown and imports back to the same values,
    // stored with the project record an import makes.
    void csvWriterFileImportsBack()
    {
        makeDialog("P540W"); // a record-file model with the product's driver
        Tool::Struct_Parameters project;
        std::tie(project.Name, project.CHName, project.CHDisplayUnit) =
            std::make_tuple("Round", QStringList{"1-3", "1-12", "2-3"}, QStringList{"℃", "%RH", "℃"});
        Struct_System system;
        system.DataAccuracy = 3;
        const QDateTime t0 = T0.addMSecs(5);
        QList<QList<double>> values;
        QString path;
        {
            ParametersCsvWriter writer({project}, &system, m_dir->path() + "/Data/");
            writer.createCsvFiles(t0);
            QList<Struct_Sample> samples;
            for (int i = 0; i < 30; ++i) {
                samples.append(Struct_Sample{t0.addMSecs(1000 * i + (i % 2)), {{21.25 + i * 0.001, -3.5 - i, 45.0 + i / 7.0}}});
                values.append(samples.last().Values.first());
            }
            writer.addSamples(samples, t0);
            writer.flushAll();
            writer.waitForDone();
            path = writer.filePath(0, t0.date());
        }
        ParametersImport::setFileChooser([path](QWidget *) { return path; });

        QCOMPARE(inOrder({open(), m_boxes->last().title, enabled()}), QStringLiteral("数据读取成功！提示110"));
        QStringList headers;
        for (int c = 0; c < table()->columnCount(); ++c)
            headers << table()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, QStringList({"序号", "时间", "CH3", "CH12", "CH3"}));
        QCOMPARE(QStringList({cell(29, 0), cell(29, 1), cell(29, 3)}), QStringList({"30", "2024-05-01 08:00:29.006", "-32.500"}));
        QCOMPARE(editor("dateTimeEdit_Start")->dateTime().toString(kTimeMs) + " " + editor("dateTimeEdit_End")->dateTime().toString(kTimeMs),
                 t0.toString(kTimeMs) + " " + t0.addMSecs(29001).toString(kTimeMs));
        QCOMPARE(save(), QStringLiteral("数据保存成功！"));
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        Tool::Struct_Parameters p;
        QVERIFY(Tool::getParameters(p, "Oven A"));
        QCOMPARE(p.StartTime, QStringLiteral("2024-05-01 08:00:00"));
        QVERIFY(qAbs(QDateTime::fromString(p.CreateTime, "yyyy-MM-dd hh:mm:ss").secsTo(QDateTime::currentDateTime())) < 60);
        const QStringList one{"Auto"}, autos{"Auto", "Auto", "Auto"}, units{"℃", "%RH", "℃"};
        QCOMPARE((QList<QStringList>{p.Model, p.Serial, p.SignalMode, p.Signal1, p.Signal2, p.Rate}),
                 (QList<QStringList>{{"P540W"}, {"SN-77"}, {"导入"}, one, one, one}));
        QCOMPARE((QList<QStringList>{p.CHName, p.CHType, p.CHFunction, p.CHWire, p.CHUnit, p.CHM, p.CHB, p.CHDisplayUnit}),
                 (QList<QStringList>{{"3", "12", "3"}, autos, autos, autos, units, {"1", "1", "1"}, {"0", "0", "0"}, units}));
        QStringList saved, written;
        for (const auto &row : savedRows())
            saved << row.Time.toString(kTimeMs) + " " + row.Data.join(' ');
        for (int i = 0; i < 30; ++i)
            written << t0.addMSecs(1000 * i + (i % 2)).toString(kTimeMs) + " " + Tool::toStringList(3, values.at(i)).join(' ');
        QCOMPARE(saved, written);
    }
};

QTEST_MAIN(tst_ParametersImport)
#include "tst_ParametersImport.moc"
