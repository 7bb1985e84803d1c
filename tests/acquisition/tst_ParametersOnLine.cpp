#include "acquisition/ParametersOnLine.h"
#include "acquisition/AcquisitionTiming.h"
#include "acquisition/ParametersCsvWriter.h"
#include "common/Struct_System.h"
#include "store/Tool.h"
#include "support/AnotherProcess.h"
#include "support/DatabaseLock.h"
#include "support/FakeCollection.h"
#include "support/LogCapture.h"
#include "support/MessageBoxHelper.h"
#include "support/SmallTmpfs.h"
#include "support/TestWorkDir.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QtTest>

#include <algorithm>
#include <climits>
#include <memory>
#include <tuple>

namespace {

const char kTime[] = "yyyy-MM-dd hh:mm:ss";

// A run over FAKE-A (channels 1..3) and, with two instruments, FAKE-B (channels 1..2), planned
// to begin one minute ago (so it starts at once) and to end spanSeconds later (0: until
// stopped). One channel row per channel, all of the first project.
Struct_System makeSystem(int instruments, double interval, int spanSeconds, const QStringList &projects = {"P1"})
{
    Struct_System system;
    system.ProjectNames = projects;
    for (int d = 0; d < instruments; ++d) {
        Tool::Struct_Collection device{d ? "FAKE-B" : "FAKE-A", d ? "SN-B" : "SN-A", "网络", "127.0.0.1", "502", d ? "2Hz" : "1Hz"};
        for (int number = 1; number <= 3 - d; ++number) {
            device.CHSerial.append(QString::number(number));
            device.CHUnit.append(QStringLiteral("℃"));
            Struct_ParametersChannel row;
            std::tie(row.DeviceIndex, row.Channel) = std::make_tuple(d, QString::number(number));
            row.Type = row.Function = row.Wire = QStringLiteral("Auto");
            row.Unit = row.DisplayUnit = QStringLiteral("℃");
            system.ParametersChannels.append(row);
        }
        system.ProjectDevices.append(device);
    }
    const QDateTime start = QDateTime::currentDateTime().addSecs(-60);
    system.Interval = interval;
    system.StartTime = start.toString(kTime);
    system.EndTime = start.addSecs(spanSeconds).toString(kTime);
    return system;
}

QList<Struct_Channel> scriptedChannels(const QList<quint32> &numbers, const QString &unit)
{
    QList<Struct_Channel> channels;
    for (quint32 number : numbers)
        channels.append(Struct_Channel{number, true, "PT100", "CVD", "4线", unit});
    return channels;
}

QList<Tool::Struct_ParametersData> samplesOf(const QString &project)
{
    QList<Tool::Struct_ParametersData> rows;
    return Tool::getParametersData(rows, project) ? rows : QList<Tool::Struct_ParametersData>();
}

QStringList auditTexts(const QString &type = QStringLiteral("通讯异常"))
{
    QList<Tool::Struct_AuditLog> log;
    Tool::getAuditLog(log);
    QStringList texts;
    for (const Tool::Struct_AuditLog &entry : log)
        if (entry.Type == type)
            texts.append(entry.Text);
    return texts;
}

// The rows of the project's daily CSV files, oldest day first; each file's header goes to headers.
QStringList csvRows(const QString &folder, const QString &project, QStringList *headers = nullptr)
{
    QStringList rows;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({project + "-*.csv"}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        const QStringList lines = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts) : QStringList();
        if (headers)
            headers->append(lines.value(0));
        rows += lines.mid(1);
    }
    return rows;
}

// An upper limit on the first channel, checked at every display tick unless an interval is given.
void alarmAbove(Struct_System &system, double high, int emailInterval = 0)
{
    std::tie(system.EmailInterval, system.ParametersChannels[0].HighEnabled, system.ParametersChannels[0].High) =
        std::make_tuple(emailInterval, true, high);
}

int queryCount(const QString &sql)
{
    QSqlQuery q(sql, QSqlDatabase::database());
    return q.next() ? q.value(0).toInt() : -1;
}

// How long a store's try waits for another program's lock, and the pause after a refused one.
void storeTiming(int lockWaitMs, int retryMs)
{
    AcquisitionTiming timing = AcquisitionTiming::get();
    timing.StoreLockWaitMs = lockWaitMs;
    timing.StoreRetryMs = retryMs;
    AcquisitionTiming::set(timing);
}

QPushButton *okButton(ParametersOnLine &dialog) { return dialog.findChild<QPushButton *>("pushButton_OK"); }
QString information(ParametersOnLine &dialog) { return dialog.findChild<QLineEdit *>("lineEdit_Information")->text(); }

} // namespace

class tst_ParametersOnLine : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestWorkDir> m_dir;
    std::shared_ptr<FakeCollection::Script> m_a;
    std::shared_ptr<FakeCollection::Script> m_b;
    QStringList m_shown; // every text the information line showed

    void recordInformation(ParametersOnLine &dialog)
    {
        m_shown.clear();
        connect(dialog.findChild<QLineEdit *>("lineEdit_Information"), &QLineEdit::textChanged, this,
                [this](const QString &text) { m_shown << text; });
    }

    bool runToEnd(ParametersOnLine &dialog, int timeoutMs = 10000)
    {
        return QTest::qWaitFor([&] { return dialog.runState() == ParametersOnLine::Finished; }, timeoutMs);
    }

    // The second and third reads fail: the retry does not mend it, so the instruments are
    // reconnected (manual mode when the reconnection fails as well).
    void failSecondRead()
    {
        m_a->failAt(FakeCollection::Call::ReadOneScan, 2);
        m_a->failAt(FakeCollection::Call::ReadOneScan, 3);
    }

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        AcquisitionTiming timing;
        timing.DisplayTickMs = 50;
        timing.SetupPollMs = 2;
        timing.RecoveryPollMs = 5;
        timing.ReconnectDelayMs = 300;
        AcquisitionTiming::set(timing);
        (m_a = FakeCollection::install(QStringLiteral("FAKE-A")))->setSerial(QStringLiteral("SN-A"));
        (m_b = FakeCollection::install(QStringLiteral("FAKE-B")))->setSerial(QStringLiteral("SN-B"));
        m_a->setChannels(scriptedChannels({1, 2, 3}, QStringLiteral("℃")));
        m_b->setChannels(scriptedChannels({1, 2}, QStringLiteral("℃")));
        ParametersCsvWriter::setDefaultFolder(m_dir->filePath(QStringLiteral("Data")));
    }

    void cleanup()
    {
        FakeCollection::uninstall(QStringLiteral("FAKE-A"));
        FakeCollection::uninstall(QStringLiteral("FAKE-B"));
        AcquisitionTiming::set(AcquisitionTiming());
        ParametersCsvWriter::setDefaultFolder(QString());
        m_dir.reset();
    }

    // No span counts as until stopped; 25 days at 1 ms is beyond the int range: computed without
    // overflow; 2.01 s is rounded to 2010 ms, not 2009.
    void sampleCount()
    {
        const QDateTime start = QDateTime::fromString(QStringLiteral("2024-05-01 10:00:00"), kTime);
        const auto count = [&](qint64 secs, int ms) { return ParametersOnLine::sampleCount(start, start.addSecs(secs), ms); };
        QCOMPARE((QList<qint64>{count(60, 1000), count(60, 7000), count(0, 1000), count(-5, 1000), count(25 * 86400, 1)}),
                 (QList<qint64>{61, 10, INT_MAX, INT_MAX, 2160000001}));
        QCOMPARE(ParametersOnLine::toIntervalMs(2.01), 2010);
    }

    // Three projects over two instruments, started in the past: each project's record lists
    // both instruments and only its own channels; each sample stores the corrected values. The
    // display tick feeds the limit check (one pass per e-mail interval of 1 minute) and the CSV
    // files, which hold every row once the button reads "结束". A read 900 ms late is caught up.
    void wholeRun()
    {
        Struct_System system = makeSystem(2, 0.25, 2, {"P1", "P2", "P3"});
        // Rows: A1 -> P1, A2 -> P2, A3 -> P1, B1 -> P3, B2 -> P2.
        const int projectOf[] = {0, 1, 0, 2, 1};
        for (int n = 0; n < 5; ++n) {
            Struct_ParametersChannel &row = system.ParametersChannels[n];
            std::tie(row.ProjectIndex, row.M, row.B, row.HighEnabled, row.High) = std::make_tuple(projectOf[n], 2.0, n * 0.5, n == 2, 5.0);
        }
        std::tie(system.DataSave, system.EmailInterval, system.EmailAutoTrigger) = std::make_tuple(true, 1, false);
        m_a->setScans({{1, 2, 3}, {11, 12, 13}, {21, 22, 23}, {31, 32, 33}});
        m_b->setScans({{101, 102}, {111, 112}, {121, 122}, {131, 132}});
        m_a->setDelay(FakeCollection::Call::ReadOneScan, 1900, 2);

        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        dialog.start(&system);
        QCOMPARE(okButton(dialog)->text(), QStringLiteral("停止"));
        QVERIFY(runToEnd(dialog));
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(okButton(dialog)->text() + information(dialog), QStringLiteral("结束采集结束。"));
        QCOMPARE(m_a->lastRate() + m_b->lastRate(), QStringLiteral("1Hz2Hz")); // the registered rates

        Tool::Struct_Parameters p1, p2;
        QVERIFY(Tool::getParameters(p1, "P1") && Tool::getParameters(p2, "P2"));
        // The sensor types are the instrument's, not the table's "Auto".
        QCOMPARE(QStringList({p1.CHName.join(' '), p2.CHName.join(' '), p2.Model.join(' '), p1.Interval,
                              p1.CHM.join(' '), p1.CHB.join(' '), p2.CHType.join(' ')}),
                 QStringList({"1-1 1-3", "1-2 2-2", "FAKE-A FAKE-B", "0.25", "2.00000 2.00000", "0.00000 1.00000", "PT100 PT100"}));

        // Samples: corrected, split by project, in channel-table order.
        const auto s1 = samplesOf("P1"), s2 = samplesOf("P2"), s3 = samplesOf("P3");
        QVERIFY(s1.size() == 9 && s2.size() == 9 && s3.size() == 9 && queryCount("SELECT count(*) FROM AuditLog") == 1);
        QCOMPARE(s1.at(1).Data, Tool::toStringList(10, {2 * 11 + 0.0, 2 * 13 + 1.0}));
        QCOMPARE(s2.at(2).Data, Tool::toStringList(10, {2 * 22 + 0.5, 2 * 122 + 2.0}));
        QCOMPARE(s3.at(3).Data, Tool::toStringList(10, {2 * 131 + 1.5}));
        for (int i = 0; i < 9; ++i)
            QVERIFY(s1.at(i).Time == s2.at(i).Time && s1.at(i).Time == s3.at(i).Time);
        // Paced from the previous target, not from the clock: the samples after a second read of
        // 1.9 s catch up at once (about 2.15 s in all), where pacing from the clock would need 3.65 s.
        const qint64 late = s1.at(1).Time.msecsTo(s1.at(2).Time), span = s1.at(0).Time.msecsTo(s1.at(8).Time);
        QVERIFY2(late >= 1900 && span >= 1999 && span < 2900, qPrintable(QStringLiteral("%1 %2").arg(late).arg(span)));

        QCOMPARE(auditTexts("上限通知"), QStringList{"1-3 高于上限:7.000"}); // one per minute
        QStringList headers;
        const QStringList lines = csvRows(m_dir->filePath("Data"), "P1", &headers);
        QCOMPARE(QString::number(lines.size()) + " " + headers.value(0) + " " + lines.value(8).section(',', 1),
                 QStringLiteral("9 Time,1-1(℃),1-3(℃) 62.00,67.00"));

        okButton(dialog)->click(); // finished: the button closes the dialog
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void setUpFailure_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("text");
        const QString mismatch = QStringLiteral("通道参数与设备不匹配!"), open = QStringLiteral("设备连接失败,请退出重试！");
        const QString internal = QStringLiteral("程序内部错误，采集已终止，详情见日志！");
        QTest::newRow("interval below 1 ms") << "interval" << "采集间隔无效，间隔不能小于1毫秒！";
        QTest::newRow("count beyond int") << "count" << "采集点数超出范围，请缩短采集时间或加大采集间隔！";
        QTest::newRow("open") << "open" << open + "\nOpen Error"; // the driver's reason
        QTest::newRow("no driver") << "no driver" << open + "\n该型号没有可用的驱动：NO-SUCH-MODEL";
        QTest::newRow("serial") << "serial" << "序列号不匹配，请检查连接的设备是否为对应序列号的设备！";
        QTest::newRow("channel config") << "config" << "获取通道信息失败,请退出重试!";
        QTest::newRow("extra channel enabled") << "extra" << mismatch;
        QTest::newRow("unit differs") << "unit" << mismatch;
        QTest::newRow("row missing") << "row missing" << mismatch;
        QTest::newRow("row of no project") << "no project" << mismatch;
        QTest::newRow("start scan") << "scan" << "通道设置失败,请退出重试!";
        // The database's reason on a second line.
        QTest::newRow("project record") << "record" << "项目信息保存失败，采集未开始！\nrefused";
        QTest::newRow("project record, disk full") << "full" << "项目信息保存失败，采集未开始！\ndatabase or disk is full";
        // Another program holds the write lock: the window waits a moment, not the store's full wait.
        QTest::newRow("project record locked") << "locked" << "项目信息保存失败，采集未开始！\n数据库正被其他程序使用，未做任何更改。";
        // Another program stored the second project's name after the set-up's check.
        QTest::newRow("project name stored meanwhile") << "taken" << "项目信息保存失败，采集未开始！\n项目名称已存在！（P2）";
        QTest::newRow("exception in the set-up") << "throw open" << internal;
        // After a successful set-up: the acquisition thread ends, the instruments are closed.
        QTest::newRow("exception while acquiring") << "throw read" << internal;
        QTest::newRow("database not opened") << "database" << "打开数据库失败！"; // no box
    }

    // Every failure before the first sample: its message (a reason on a second line) in a
    // box and on the information line, no instrument after the failing one touched, nothing
    // stored, the run finished so the dialog can be closed.
    void setUpFailure()
    {
        QFETCH(QString, fault);
        QFETCH(QString, text);
        // Too many samples: 25 days at 1 ms.
        const double interval = fault == "interval" ? 0.0004 : fault == "count" ? 0.001 : 0.25;
        Struct_System system = makeSystem(2, interval, fault == "count" ? 25 * 86400 : 1);
        using Call = FakeCollection::Call;
        const QHash<QString, Call> failing{{"open", Call::Open}, {"config", Call::GetChannelConfig}, {"scan", Call::StartScan}};
        const QHash<QString, Call> throwing{{"throw open", Call::Open}, {"throw read", Call::ReadOneScan}};
        std::unique_ptr<SmallTmpfs> disk;
        if (failing.contains(fault))
            m_a->failAt(failing.value(fault), 1);
        else if (throwing.contains(fault))
            m_a->throwAt(throwing.value(fault), 1);
        else if (fault == "no driver")
            system.ProjectDevices[1].Model = "NO-SUCH-MODEL";
        else if (fault == "serial")
            system.ProjectDevices[0].Serial = "SN-OTHER";
        else if (fault == "extra" || fault == "unit") {
            m_a->setKeepChannels(true);
            m_a->setChannels(fault == "extra" ? scriptedChannels({1, 2, 3, 4}, "℃") : scriptedChannels({1, 2, 3}, "Ω"));
        } else if (fault == "row missing")
            system.ParametersChannels.removeAt(1);
        else if (fault == "no project")
            system.ParametersChannels[4].ProjectIndex = -1;
        else if (fault == "taken") {
            QVERIFY(sqlFromAnotherProcess("DAQ.db3", "INSERT INTO Parameters (Name, CreateTime) VALUES ('P2', '2024-05-01 08:00:00')"));
            std::tie(system.ProjectNames, system.ParametersChannels[4].ProjectIndex, system.DataSave) =
                std::make_tuple(QStringList{"P1", "P2"}, 1, true);
        } else if (fault == "record") { // the second project's record cannot be stored
            QSqlQuery q(QSqlDatabase::database());
            QVERIFY(q.exec("CREATE TRIGGER refuse BEFORE INSERT ON Parameters WHEN NEW.Name = 'P2' "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
            system.ProjectNames << "P2";
            system.ParametersChannels[4].ProjectIndex = 1;
        } else if (fault == "full") { // the disk under the database is full when the run is set up
            disk.reset(new SmallTmpfs(1024 * 1024));
            QVERIFY2(disk->isMounted(), qPrintable(disk->error()));
            QVERIFY(QDir::setCurrent(disk->path()) && Tool::openDatabase("DAQ.db3") && disk->fill());
        } else if (fault == "database") { // a folder where the acquisition thread's file should be
            QVERIFY(QDir().mkpath("elsewhere/DAQ.db3") && QDir::setCurrent("elsewhere"));
        }
        DatabaseLock lock;
        if (fault == "locked")
            QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));

        const bool database = fault == "database", acquiring = database || fault == "throw read";
        MessageBoxHelper boxes;
        {
            ParametersOnLine dialog;
            QElapsedTimer ran;
            ran.start();
            dialog.start(&system);
            QVERIFY(runToEnd(dialog));
            QVERIFY2(ran.elapsed() < Tool::BusyTimeoutMs / 2, qPrintable(QString::number(ran.elapsed())));
            if (acquiring) { // the acquisition thread closed the instruments and its connection
                QVERIFY(m_a->calls(FakeCollection::Call::Close) == 1 && m_b->calls(FakeCollection::Call::Close) == 1);
                QVERIFY(!QSqlDatabase::contains("DAQ"));
            }
            QVERIFY(database || boxes.waitFor(1));
            QCOMPARE(QString::number(boxes.count()) + boxes.last().title + boxes.last().text, database ? "0" : "1提示" + text);
            QCOMPARE(okButton(dialog)->text() + information(dialog), "结束" + QString(text).replace('\n', ' '));
            if (fault != "no driver" && fault != "no project" && fault != "record" && fault != "locked" && fault != "full"
                && fault != "taken" && !acquiring)
                QCOMPARE(m_b->calls(FakeCollection::Call::Open), 0);
        }
        lock.release();
        QCOMPARE(m_a->calls(FakeCollection::Call::ReadOneScan), fault == "throw read" ? 1 : 0);
        if (fault == "interval" || fault == "count") // refused before any instrument is made
            QCOMPARE(m_a->created(), 0);
        // Only the other program's project stays; no CSV file was begun.
        QCOMPARE(queryCount("SELECT count(*) FROM Parameters WHERE CreateTime != '2024-05-01 08:00:00'")
                     + 10 * queryCount("SELECT count(*) FROM ParametersData"), int(acquiring));
        QCOMPARE(QDir(m_dir->filePath("Data")).entryList(QDir::Files), QStringList());
        // The dialog's destruction closed and deleted every driver.
        QVERIFY(m_a->alive() == 0 && m_b->alive() == 0);
    }

    void failedReadRecovery_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("audit");
        const QStringList reconnected{"数据获取失败。", "设备重新连接。", "设备连接成功。"};
        QTest::newRow("mended by the retry") << "retry" << QStringList{"数据获取失败。"};
        QTest::newRow("mended by reconnection") << "reconnect" << reconnected;
        // A value too few on one instrument, then one too many on the other: a failed read each
        // time, never a sample whose values moved to other channels.
        QTest::newRow("wrong value count") << "count" << reconnected;
    }

    // A failed read is retried once; when the retry fails too, the instruments are closed,
    // reopened after the reconnection delay and read again: the re-read's time is when it
    // began, the next sample one interval later. An e-mail interval beyond the 10 days before
    // the start holds back every alarm of the run, also when its seconds pass INT_MAX.
    void failedReadRecovery()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, audit);
        Struct_System system = makeSystem(2, 0.2, 1);
        alarmAbove(system, 0.0, 40000000);
        if (fault == "count") {
            m_a->setScans({{1, 2, 3}, {1, 2}, {1, 2, 3}});
            m_b->setScans({{4, 5}, {9, 4, 5}, {4, 5}});
        } else if (fault == "reconnect") {
            failSecondRead();
        } else {
            m_a->failAt(FakeCollection::Call::ReadOneScan, 2);
        }
        ParametersOnLine dialog;
        dialog.start(&system);
        QVERIFY(runToEnd(dialog));
        QCOMPARE(auditTexts() + auditTexts("上限通知"), audit);
        const auto rows = samplesOf("P1");
        QCOMPARE(m_a->calls(FakeCollection::Call::Reconnect) + 10 * rows.size(), fault == "retry" ? 60 : 61);
        if (fault == "count") {
            for (const auto &row : rows)
                QCOMPARE(row.Data, Tool::toStringList(10, {1, 2, 3, 4, 5}));
        } else if (fault == "reconnect") {
            // The reconnection delay (300 ms) before the re-read, then one interval (200 ms).
            const qint64 delay = rows.at(0).Time.msecsTo(rows.at(1).Time), next = rows.at(1).Time.msecsTo(rows.at(2).Time);
            QVERIFY2(delay >= 295 && next >= 195, qPrintable(QStringLiteral("%1 %2").arg(delay).arg(next)));
        }
    }

    void manualReconnection_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("继续") << "continue";
        QTest::newRow("终止") << "terminate";
        QTest::newRow("dialog destroyed") << "destroy";
    }

    // Automatic reconnection fails (another instrument answers at the address: wrong serial
    // number): manual mode, shown on the information line. Enter on the question changes nothing;
    // 继续 tries again and acquiring goes on; 终止 ends the run; destroying the dialog ends the
    // worker at once and leaves no driver and no thread connection behind.
    void manualReconnection()
    {
        QFETCH(QString, how);
        Struct_System system = makeSystem(1, 0.25, 0); // until stopped
        failSecondRead();
        MessageBoxHelper boxes;
        auto dialog = std::make_unique<ParametersOnLine>();
        recordInformation(*dialog);
        dialog->start(&system);
        QTRY_COMPARE(dialog->runState(), ParametersOnLine::Acquiring);
        m_a->setSerial("SN-WRONG");
        QTRY_COMPARE_WITH_TIMEOUT(dialog->runState(), ParametersOnLine::WaitingForUser, 5000);
        QVERIFY(boxes.waitFor(1));
        QCOMPARE(okButton(*dialog)->text() + " " + boxes.last().text + " " + QString::number(m_a->calls(FakeCollection::Call::Reconnect)),
                 QStringLiteral("继续 通讯异常，请设备关机重试！ 1"));
        QCOMPARE(m_shown.mid(m_shown.size() - 2), QStringList({"通讯异常，设备自动重连中...", "通讯异常，手动重连中..."}));

        boxes.pressKey(Qt::Key_Return); // 取消
        okButton(*dialog)->click();
        QCOMPARE(boxes.last().text + boxes.last().buttons.join('|') + " " + information(*dialog),
                 QStringLiteral("是否终止项目？终止|继续|取消 通讯异常，手动重连中..."));
        QCOMPARE(dialog->runState(), ParametersOnLine::WaitingForUser);

        if (how == "continue") {
            m_a->setSerial("SN-A");
            boxes.press(QStringLiteral("继续"));
            okButton(*dialog)->click();
            QTRY_COMPARE(okButton(*dialog)->text(), QStringLiteral("停止"));
            QTRY_VERIFY(information(*dialog).endsWith(QStringLiteral(" 采集中...")) && samplesOf("P1").size() >= 3);
            // Entries wait in the queue while a store holds the write lock for a moment.
            QTRY_COMPARE(auditTexts(), QStringList({"数据获取失败。", "设备重新连接。", "进入手动重连模式！", "手动重连成功！"}));
        } else if (how == "terminate") {
            boxes.press(QStringLiteral("终止"));
            okButton(*dialog)->click();
            QVERIFY(runToEnd(*dialog));
            QTRY_COMPARE(auditTexts() << information(*dialog), QStringList({"数据获取失败。", "设备重新连接。", "进入手动重连模式！", "提前终止采集。"}));
        }
        QElapsedTimer timer;
        timer.start();
        dialog.reset();
        QVERIFY(timer.elapsed() < 2000 && m_a->alive() == 0 && !QSqlDatabase::contains("DAQ"));
        if (how != "continue")
            QCOMPARE(samplesOf("P1").size(), 1);
    }

    // Waiting for a start an hour away: close and Escape are refused while running; stop asks
    // first (Enter keeps the run going). A stop while acquiring ends the run of fullDisks.
    void stopWhileWaiting()
    {
        Struct_System system = makeSystem(1, 0.05, 0);
        system.StartTime = system.EndTime = QDateTime::currentDateTime().addSecs(3600).toString(kTime);
        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        dialog.start(&system);
        dialog.show();
        QTRY_COMPARE(information(dialog), QStringLiteral("开始等待中... 计划开始时间：") + system.StartTime);
        QVERIFY(!dialog.close());
        QVERIFY(boxes.waitFor(1));
        QCOMPARE(boxes.last().text, QStringLiteral("正在采集中，请先结束！"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());

        boxes.pressKey(Qt::Key_Return); // 取消: Enter does not stop a run
        okButton(dialog)->click();
        QVERIFY(dialog.runState() != ParametersOnLine::Finished && information(dialog) != QStringLiteral("提前终止采集。"));
        QCOMPARE(boxes.last().text + boxes.last().buttons.join('|'), QStringLiteral("是否停止数据采集？确定|取消"));

        boxes.press(QStringLiteral("确定"));
        okButton(dialog)->click();
        QCOMPARE(information(dialog), QStringLiteral("提前终止采集。"));
        QVERIFY(runToEnd(dialog));
        QVERIFY(boxes.waitFor(4) && boxes.last().text == "手动停止采集！");
        QVERIFY(dialog.close());
        QCOMPARE(queryCount("SELECT count(*) FROM Parameters"), 0);
    }

    // The disks under the CSV files and under the database fill during a run: one box for each,
    // and the run goes on. The samples the database refuses still reach the pages, the limit
    // check and the CSV files, and the information line counts them; the CSV rows wait for room,
    // then every sample is in the file exactly once.
    void fullDisks()
    {
        SmallTmpfs csvDisk(1024 * 1024), databaseDisk(1024 * 1024);
        QVERIFY2(csvDisk.isMounted() && databaseDisk.isMounted(), qPrintable(csvDisk.error()));
        AcquisitionTiming timing = AcquisitionTiming::get();
        timing.CsvFlushMs = 100;
        AcquisitionTiming::set(timing);
        ParametersCsvWriter::setDefaultFolder(csvDisk.path());
        QVERIFY(QDir::setCurrent(databaseDisk.path()) && Tool::openDatabase("DAQ.db3"));
        Struct_System system = makeSystem(1, 0.05, 0, {"P1", "P2"});
        system.ParametersChannels[2].ProjectIndex = 1;
        system.DataSave = true;
        alarmAbove(system, 500.0);
        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        recordInformation(dialog);
        // Full before the CSV files are made (a page they have begun could take rows for a while).
        QVERIFY(csvDisk.fill());
        dialog.start(&system);
        QTRY_VERIFY(samplesOf("P1").size() >= 2);
        const int stored = samplesOf("P1").size();
        QVERIFY(databaseDisk.fill());
        m_a->setScans({{999, 999, 999}}); // every value from now on raises an alarm
        const QString failedText = QStringLiteral(" 数据库保存失败样本数：");
        const QStringList warnings{"采集数据写入数据库失败，采集继续进行，请检查磁盘空间或数据库是否被其他程序占用！",
                                   "CSV文件写入失败，未写入的数据将在下次写入时重试！\n" + csvDisk.path()};
        const auto warned = [&] { return boxes.texts().filter(warnings[0]).size() + 10 * boxes.texts().filter(warnings[1]).size(); };
        QTRY_VERIFY(warned() == 11 && !m_shown.filter(failedText + "3").isEmpty());
        csvDisk.makeRoom();
        boxes.press(QStringLiteral("确定"));
        okButton(dialog)->click();
        QVERIFY(runToEnd(dialog));
        databaseDisk.makeRoom();
        QCOMPARE(warned(), 11);

        // Each sample stored for all projects or none; in the CSV file every stored sample once,
        // then those the full database refused.
        const QList<Tool::Struct_ParametersData> rows = samplesOf("P1");
        QVERIFY(rows.size() >= stored && samplesOf("P2").size() == rows.size());
        QStringList csvTimes, storedTimes;
        for (const QString &line : csvRows(csvDisk.path(), "P1"))
            csvTimes << line.section(',', 0, 0) + (line.count(',') == 2 ? "" : " <broken>");
        for (const Tool::Struct_ParametersData &row : rows)
            storedTimes << row.Time.toString("yyyy-MM-dd hh:mm:ss.zzz");
        QCOMPARE(csvTimes.size(), storedTimes.size() + m_shown.filter(failedText).last().section(failedText, 1).toInt());
        QCOMPARE(csvTimes.mid(0, storedTimes.size()), storedTimes);
        const QAbstractItemModel *page = dialog.findChild<QTableView *>("tableWidget_Data")->model();
        QCOMPARE(page->index(page->rowCount() - 1, 1).data().toString(), QStringLiteral("999.00"));
        QTRY_VERIFY(auditTexts("上限通知").contains("1-1 高于上限:999.000"));
    }

    // The CSV folder is moved away during a run and a file takes its name: the first failure is
    // shown with its reason and the rows are kept for a retry; rows still unwritten when the run
    // ends are counted in a box of their own, not dropped in silence.
    void csvFolderReplacedByAFile()
    {
        AcquisitionTiming timing = AcquisitionTiming::get();
        timing.CsvFlushMs = 100;
        AcquisitionTiming::set(timing);
        Struct_System system = makeSystem(1, 0.05, 0);
        system.DataSave = true;
        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        dialog.start(&system);
        const QString folder = m_dir->filePath("Data"), moved = m_dir->filePath("Moved");
        QTRY_VERIFY(csvRows(folder, "P1").size() >= 2);
        QFile file(folder);
        QVERIFY(QDir().rename(folder, moved) && file.open(QIODevice::WriteOnly));
        file.close();
        const QString reason = folder + "/P1-" + QDate::currentDate().toString("yyyy-MM-dd") + ".csv: Not a directory";
        QTRY_COMPARE(boxes.texts(), QStringList{"CSV文件写入失败，未写入的数据将在下次写入时重试！\n" + reason});
        QTRY_VERIFY(samplesOf("P1").size() >= csvRows(moved, "P1").size() + 3);
        boxes.press(QStringLiteral("确定"));
        okButton(dialog)->click();
        QVERIFY(runToEnd(dialog));
        const int unwritten = samplesOf("P1").size() - csvRows(moved, "P1").size();
        QTRY_COMPARE(boxes.count(), 3);
        QCOMPARE(boxes.last().title + boxes.last().text, QStringLiteral("警告采集结束时仍有 %1 行数据未能写入CSV文件！\n").arg(unwritten) + reason);
    }

    // Another program holds the database's write lock: the audit entries of a display tick and
    // of a communication failure neither hold the window nor get lost. The samples keep their
    // pace (waiting for the lock, then catching up at once, left a gap and a burst of samples at
    // one instant); those taken under the lock are stored once it is gone, none counted as lost.
    void lockedDatabase()
    {
        AcquisitionTiming timing = AcquisitionTiming::get();
        timing.DisplayTickMs = 3600 * 1000; // the test ticks
        AcquisitionTiming::set(timing);
        Struct_System system = makeSystem(1, 0.05, 0);
        alarmAbove(system, 0.0); // every value is above
        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        recordInformation(dialog);
        dialog.start(&system);
        QTRY_VERIFY(samplesOf("P1").size() >= 2);
        DatabaseLock lock;
        QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));
        QElapsedTimer held;
        held.start();
        dialog.Display_slots();
        dialog.SaveAuditLog_slots(QStringLiteral("数据获取失败。"));
        QVERIFY2(held.elapsed() < 2000, qPrintable(QString::number(held.elapsed()))); // not 10 s per entry
        QVERIFY(auditTexts().isEmpty());
        const int readsBefore = m_a->calls(FakeCollection::Call::ReadOneScan);
        QTest::qWait(2000);
        QVERIFY(m_a->calls(FakeCollection::Call::ReadOneScan) - readsBefore >= 10);
        lock.release();
        QTRY_COMPARE(auditTexts(), QStringList{"数据获取失败。"});
        QCOMPARE(auditTexts("上限通知").value(0), QStringLiteral("1-1 高于上限:10.000"));

        boxes.press(QStringLiteral("确定"));
        okButton(dialog)->click();
        QVERIFY(runToEnd(dialog));
        const QList<Tool::Struct_ParametersData> rows = samplesOf("P1");
        qint64 longest = 0;
        for (int i = 1; i < rows.size(); ++i)
            longest = qMax(longest, rows.at(i - 1).Time.msecsTo(rows.at(i).Time));
        QVERIFY2(rows.size() >= 40 && longest < 1000, qPrintable(QStringLiteral("%1 %2").arg(rows.size()).arg(longest)));
        QCOMPARE(m_shown.filter(QStringLiteral("数据库保存失败样本数")), QStringList());
        QCOMPARE(boxes.texts(), QStringList{"是否停止数据采集？"});
    }

    void lockedDatabaseAtTheEnd_data()
    {
        QTest::addColumn<bool>("released");
        QTest::newRow("released during the last wait") << true;
        QTest::newRow("held past the last wait") << false;
    }

    // The lock is still held when the run ends. The held samples get the store's full wait, not
    // the short wait of a try during the run: released within it, every sample is stored and
    // nothing is counted; held past it, the samples are counted, and the box says that the run
    // has ended, how many samples could not be stored, and why.
    void lockedDatabaseAtTheEnd()
    {
        QFETCH(bool, released);
        storeTiming(20, 50);
        Struct_System system = makeSystem(1, 0.05, 1);
        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        dialog.start(&system);
        QTRY_VERIFY(samplesOf("P1").size() >= 2);
        DatabaseLock lock;
        QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));
        const int stored = samplesOf("P1").size();
        if (released) {
            // Every read is taken and the last try waits, well past a try's wait during the run.
            QTRY_COMPARE(m_a->calls(FakeCollection::Call::ReadOneScan), 21);
            QTest::qWait(400);
            QCOMPARE(dialog.runState(), ParametersOnLine::Acquiring);
            QCOMPARE(information(dialog), QStringLiteral("采集结束。 正在保存暂存的样本：数据库正被其他程序占用，最多等待 10 秒……"));
            lock.release();
        }
        QVERIFY(QTest::qWaitFor([&] { return dialog.runState() == ParametersOnLine::Finished; }, 3 * Tool::BusyTimeoutMs));
        lock.release();
        if (released) {
            QCOMPARE(QString::number(samplesOf("P1").size()) + information(dialog), QStringLiteral("21采集结束。"));
            QCOMPARE(boxes.count(), 0);
            return;
        }
        const QString failed = information(dialog).section(QStringLiteral(" 数据库保存失败样本数："), 1);
        QVERIFY2(failed.toInt() >= 1 && failed.toInt() + stored == 21, qPrintable(information(dialog) + " " + QString::number(stored)));
        QCOMPARE(samplesOf("P1").size(), stored);
        QTRY_COMPARE(boxes.texts(), QStringList{QStringLiteral("采集已结束，%1 个样本未能写入数据库！\n数据库正被其他程序使用，未做任何更改。").arg(failed)});
    }

    // The sample store's thread stops by an exception at its first store: the run ends as for an
    // internal error, no further read is taken, and the sample it held is counted in the end box,
    // which gives the internal error as the reason.
    void sampleStoreStops()
    {
        AcquisitionTiming timing = AcquisitionTiming::get();
        timing.BeforeStore = [] { throw std::runtime_error("planted"); };
        AcquisitionTiming::set(timing);
        Struct_System system = makeSystem(1, 2.0, 0);
        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        dialog.start(&system);
        QVERIFY(runToEnd(dialog));
        const QString internal = QStringLiteral("程序内部错误，采集已终止，详情见日志！");
        QTRY_COMPARE(boxes.texts(), QStringList{"采集已结束，1 个样本未能写入数据库！\n" + internal});
        QCOMPARE(information(dialog), internal + " 数据库保存失败样本数：1");
        QCOMPARE(QString::number(m_a->calls(FakeCollection::Call::ReadOneScan)) + ' ' + QString::number(samplesOf("P1").size()),
                 QStringLiteral("1 0"));
    }

    // While another program holds the lock, the held samples are tried again after a pause, not
    // at every new sample (each refused try is logged), and once it is gone they are stored in
    // time order with the newer ones.
    void heldSamplesWaitForTheirPause()
    {
        storeTiming(10, 400);
        Struct_System system = makeSystem(1, 0.01, 0);
        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        dialog.start(&system);
        QTRY_VERIFY(samplesOf("P1").size() >= 2);
        LogCapture log;
        DatabaseLock lock;
        QVERIFY2(lock.hold("DAQ.db3"), qPrintable(lock.error()));
        const int readsBefore = m_a->calls(FakeCollection::Call::ReadOneScan);
        QTest::qWait(2000);
        const int reads = m_a->calls(FakeCollection::Call::ReadOneScan) - readsBefore;
        lock.release();
        const int tries = log.messages().filter(QStringLiteral("the database is locked by another connection")).size();
        QVERIFY2(reads >= 40 && tries >= 1 && tries <= 2000 / 400 + 2, qPrintable(QStringLiteral("%1 reads, %2 tries").arg(reads).arg(tries)));

        boxes.press(QStringLiteral("确定"));
        okButton(dialog)->click();
        QVERIFY(runToEnd(dialog));
        // Every read is stored but the one a stop may drop; nothing is counted as refused.
        const QList<Tool::Struct_ParametersData> rows = samplesOf("P1");
        QVERIFY2(rows.size() >= m_a->calls(FakeCollection::Call::ReadOneScan) - 1, qPrintable(QString::number(rows.size())));
        QCOMPARE(information(dialog), QStringLiteral("提前终止采集。"));
        QStringList inRowOrder;
        QSqlQuery q("SELECT Time FROM ParametersData WHERE Name = 'P1' ORDER BY rowid", QSqlDatabase::database());
        while (q.next())
            inRowOrder << q.value(0).toString();
        QStringList sorted = inRowOrder;
        std::sort(sorted.begin(), sorted.end());
        QVERIFY(inRowOrder.size() == rows.size() && inRowOrder == sorted);
    }

    void projectGone_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("deleted") << "delete";
        QTest::newRow("merged away") << "merge";
    }

    // Another program deletes the project that is being recorded, or merges it into another:
    // its samples are no longer stored (no row without its project, none added to the merged
    // one), the user is told once in a box and on the information line, and the other project
    // and the CSV files go on.
    void projectGone()
    {
        QFETCH(QString, how);
        AcquisitionTiming timing = AcquisitionTiming::get();
        timing.CsvFlushMs = 100;
        AcquisitionTiming::set(timing);
        Struct_System system = makeSystem(1, 0.05, 0, {"P1", "P2"});
        system.ParametersChannels[2].ProjectIndex = 1;
        system.DataSave = true;
        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        dialog.start(&system);
        QTRY_VERIFY(samplesOf("P1").size() >= 3);

        QProcess other;
        other.start("/usr/bin/python3", {"-c", "import sqlite3, sys\n"
                                               "db = sqlite3.connect('DAQ.db3', timeout=30, isolation_level=None)\n"
                                               "db.execute('BEGIN IMMEDIATE')\n"
                                               "if sys.argv[1] == 'merge':\n"
                                               "    db.execute(\"INSERT INTO Parameters (Name, CreateTime) VALUES ('M', '2024-01-01 00:00:00')\")\n"
                                               "    db.execute(\"UPDATE ParametersData SET Name = 'M' WHERE Name = 'P1'\")\n"
                                               "else:\n"
                                               "    db.execute(\"DELETE FROM ParametersData WHERE Name = 'P1'\")\n"
                                               "db.execute(\"DELETE FROM Parameters WHERE Name = 'P1'\")\n"
                                               "db.execute('COMMIT')\n",
                                         how});
        QVERIFY2(other.waitForFinished(30000) && other.exitCode() == 0, other.readAllStandardError().constData());
        const int merged = queryCount("SELECT count(*) FROM ParametersData WHERE Name = 'M'");

        const QString told = QStringLiteral("项目 P1 已不在数据库中（被其他程序删除或合并），其后的采样数据不再保存到数据库！\nCSV文件照常保存。");
        QTRY_COMPARE(boxes.texts(), QStringList{told});
        QTRY_VERIFY(information(dialog).endsWith(QStringLiteral(" 采集中... 项目已不在数据库中：P1")));
        const int p2 = samplesOf("P2").size();
        QTRY_VERIFY(samplesOf("P2").size() >= p2 + 5);
        boxes.press(QStringLiteral("确定"));
        okButton(dialog)->click();
        QVERIFY(runToEnd(dialog));

        QCOMPARE(queryCount("SELECT count(*) FROM ParametersData WHERE Name = 'P1'"), 0);
        QCOMPARE(queryCount("SELECT count(*) FROM ParametersData WHERE Name = 'M'"), merged);
        QCOMPARE(boxes.texts(), (QStringList{told, "是否停止数据采集？"}));
        QCOMPARE(information(dialog), QStringLiteral("提前终止采集。 项目已不在数据库中：P1"));
        const int csvP1 = csvRows(m_dir->filePath("Data"), "P1").size();
        QVERIFY2(csvP1 == csvRows(m_dir->filePath("Data"), "P2").size() && csvP1 >= samplesOf("P2").size(),
                 qPrintable(QString::number(csvP1)));
    }
};

QTEST_MAIN(tst_ParametersOnLine)
#include "tst_ParametersOnLine.moc"
