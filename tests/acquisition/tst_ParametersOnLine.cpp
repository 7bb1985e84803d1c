#include "acquisition/ParametersOnLine.h"
#include "acquisition/AcquisitionTiming.h"
#include "acquisition/ParametersCsvWriter.h"
#include "common/Struct_System.h"
#include "store/Tool.h"
#include "support/FakeCollection.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QtTest>

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
        Tool::Struct_Collection device;
        device.Model = d == 0 ? "FAKE-A" : "FAKE-B";
        device.Serial = d == 0 ? "SN-A" : "SN-B";
        device.SignalMode = QStringLiteral("网络");
        device.Signal1 = QStringLiteral("127.0.0.1");
        device.Signal2 = QStringLiteral("502");
        device.Rate = QStringLiteral("1Hz");
        for (int number = 1; number <= 3 - d; ++number) {
            device.CHSerial.append(QString::number(number));
            device.CHUnit.append(QStringLiteral("℃"));
            Struct_ParametersChannel row;
            row.DeviceIndex = d;
            row.Channel = QString::number(number);
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
    for (quint32 number : numbers) {
        Struct_Channel channel;
        std::tie(channel.Number, channel.Enabled, channel.Unit) = std::make_tuple(number, true, unit);
        std::tie(channel.Type, channel.Function, channel.Wire) = std::make_tuple("PT100", "CVD", "4线");
        channels.append(channel);
    }
    return channels;
}

QList<Tool::Struct_ParametersData> samplesOf(const QString &project)
{
    QList<Tool::Struct_ParametersData> rows;
    Tool::getParametersData(rows, project);
    return rows;
}

QStringList auditTexts()
{
    QList<Tool::Struct_AuditLog> log;
    Tool::getAuditLog(log);
    QStringList texts;
    for (const Tool::Struct_AuditLog &entry : log)
        if (entry.Type == QStringLiteral("通讯异常"))
            texts.append(entry.Text);
    return texts;
}

int queryCount(const QString &sql)
{
    QSqlQuery q(sql, QSqlDatabase::database());
    return q.next() ? q.value(0).toInt() : -1;
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

    void sampleCount()
    {
        const QDateTime start = QDateTime::fromString(QStringLiteral("2024-05-01 10:00:00"), kTime);
        QCOMPARE(ParametersOnLine::sampleCount(start, start.addSecs(60), 1000), qint64(61));
        QCOMPARE(ParametersOnLine::sampleCount(start, start.addSecs(60), 7000), qint64(10));
        QCOMPARE(ParametersOnLine::sampleCount(start, start, 1000), qint64(INT_MAX));
        QCOMPARE(ParametersOnLine::sampleCount(start, start.addSecs(-5), 1000), qint64(INT_MAX));
        // 25 days at 1 ms is beyond the int range: computed without overflow.
        QCOMPARE(ParametersOnLine::sampleCount(start, start.addDays(25), 1), qint64(2160000001));
        QCOMPARE(ParametersOnLine::toIntervalMs(0.5), 500);
        QCOMPARE(ParametersOnLine::toIntervalMs(2.01), 2010);
        QCOMPARE(ParametersOnLine::toIntervalMs(0.001), 1);
        for (double refused : {0.0004, 0.0, 3.0e6, std::nan("")})
            QCOMPARE(ParametersOnLine::toIntervalMs(refused), -1);
    }

    // Three projects over two instruments, started in the past: each project's record lists
    // both instruments and only its own channels; each sample stores the corrected values. The
    // display tick feeds the limit check (one pass per e-mail interval) and the CSV files.
    void wholeRun()
    {
        Struct_System system = makeSystem(2, 0.25, 1, {"P1", "P2", "P3"});
        // Rows: A1 -> P1, A2 -> P2, A3 -> P1, B1 -> P3, B2 -> P2.
        const int projectOf[] = {0, 1, 0, 2, 1};
        for (int n = 0; n < 5; ++n) {
            system.ParametersChannels[n].ProjectIndex = projectOf[n];
            system.ParametersChannels[n].M = 2.0;
            system.ParametersChannels[n].B = n * 0.5;
        }
        system.DataSave = true;
        system.EmailInterval = 10;
        system.EmailAutoTrigger = false;
        system.ParametersChannels[2].HighEnabled = true;
        system.ParametersChannels[2].High = 5.0;
        m_a->setScans({{1, 2, 3}, {11, 12, 13}, {21, 22, 23}, {31, 32, 33}});
        m_b->setScans({{101, 102}, {111, 112}, {121, 122}, {131, 132}});

        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        dialog.start(&system);
        QCOMPARE(okButton(dialog)->text(), QStringLiteral("停止"));
        QVERIFY(runToEnd(dialog));
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(okButton(dialog)->text(), QStringLiteral("结束"));
        QCOMPARE(information(dialog), QStringLiteral("采集结束。"));

        Tool::Struct_Parameters p1, p2;
        QVERIFY(Tool::getParameters(p1, "P1") && Tool::getParameters(p2, "P2"));
        QCOMPARE(p1.CHName, QStringList({"1-1", "1-3"}));
        QCOMPARE(p2.CHName, QStringList({"1-2", "2-2"}));
        QCOMPARE(p2.Model, QStringList({"FAKE-A", "FAKE-B"}));
        QCOMPARE(p1.Interval, QStringLiteral("0.25"));
        QCOMPARE(p1.CHM, QStringList({"2.00000", "2.00000"}));
        QCOMPARE(p1.CHB, QStringList({"0.00000", "1.00000"}));
        QCOMPARE(p2.CHType, QStringList({"PT100", "PT100"})); // the instrument's, not "Auto"

        // Samples: corrected, split by project, in channel-table order.
        const auto s1 = samplesOf("P1"), s2 = samplesOf("P2"), s3 = samplesOf("P3");
        QVERIFY(s1.size() == 5 && s2.size() == 5 && s3.size() == 5);
        QCOMPARE(s1.at(1).Data, Tool::toStringList(10, {2 * 11 + 0.0, 2 * 13 + 1.0}));
        QCOMPARE(s2.at(2).Data, Tool::toStringList(10, {2 * 22 + 0.5, 2 * 122 + 2.0}));
        QCOMPARE(s3.at(3).Data, Tool::toStringList(10, {2 * 131 + 1.5}));
        for (int i = 0; i < 5; ++i)
            QVERIFY(s1.at(i).Time == s2.at(i).Time && s1.at(i).Time == s3.at(i).Time);
        // Paced on the interval: five samples 250 ms apart span 1 s.
        const qint64 span = s1.at(0).Time.msecsTo(s1.at(4).Time);
        QVERIFY2(span >= 999 && span < 1500, qPrintable(QString::number(span)));

        QList<Tool::Struct_AuditLog> log;
        QVERIFY(Tool::getAuditLog(log));
        QCOMPARE(log.size(), 1);
        QCOMPARE(log.at(0).Type + log.at(0).Text, QStringLiteral("上限通知1-3 高于上限:7.000"));
        QFile file(m_dir->filePath("Data/P1-" + QDate::currentDate().toString("yyyy-MM-dd") + ".csv"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines.at(0), QStringLiteral("Time,1-1(℃),1-3(℃)"));
        QVERIFY2(lines.at(5).endsWith(",62.00,67.00"), qPrintable(lines.at(5)));

        okButton(dialog)->click(); // finished: the button closes the dialog
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void setUpFailure_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("text");
        const QString mismatch = QStringLiteral("通道参数与设备不匹配!");
        QTest::newRow("interval below 1 ms") << "interval" << "采集间隔无效，间隔不能小于1毫秒！";
        QTest::newRow("count beyond int") << "count" << "采集点数超出范围，请缩短采集时间或加大采集间隔！";
        QTest::newRow("open") << "open" << "设备连接失败,请退出重试！";
        QTest::newRow("no driver") << "no driver" << "设备连接失败,请退出重试！";
        QTest::newRow("serial") << "serial" << "序列号不匹配，请检查连接的设备是否为对应序列号的设备！";
        QTest::newRow("channel config") << "config" << "获取通道信息失败,请退出重试!";
        QTest::newRow("extra channel enabled") << "extra" << mismatch;
        QTest::newRow("unit differs") << "unit" << mismatch;
        QTest::newRow("row missing") << "row missing" << mismatch;
        QTest::newRow("row of no project") << "no project" << mismatch;
        QTest::newRow("start scan") << "scan" << "通道设置失败,请退出重试!";
        QTest::newRow("project record") << "record" << "项目信息保存失败，采集未开始！";
        // Shown on the information line, not in a box.
        QTest::newRow("database not opened") << "database" << "打开数据库失败！";
    }

    // Every set-up failure: its message, no instrument after the failing one touched, nothing
    // read or stored, the run finished so the dialog can be closed.
    void setUpFailure()
    {
        QFETCH(QString, fault);
        QFETCH(QString, text);
        // Too many samples: 25 days at 1 ms.
        const double interval = fault == "interval" ? 0.0004 : fault == "count" ? 0.001 : 0.25;
        Struct_System system = makeSystem(2, interval, fault == "count" ? 25 * 86400 : 1);
        if (fault == "open")
            m_a->failAt(FakeCollection::Call::Open, 1);
        else if (fault == "no driver")
            system.ProjectDevices[1].Model = "NO-SUCH-MODEL";
        else if (fault == "serial")
            system.ProjectDevices[0].Serial = "SN-OTHER";
        else if (fault == "config")
            m_a->failAt(FakeCollection::Call::GetChannelConfig, 1);
        else if (fault == "extra" || fault == "unit") {
            m_a->setKeepChannels(true);
            m_a->setChannels(fault == "extra" ? scriptedChannels({1, 2, 3, 4}, "℃") : scriptedChannels({1, 2, 3}, "Ω"));
        } else if (fault == "row missing")
            system.ParametersChannels.removeAt(1);
        else if (fault == "no project")
            system.ParametersChannels[4].ProjectIndex = -1;
        else if (fault == "scan")
            m_a->failAt(FakeCollection::Call::StartScan, 1);
        else if (fault == "record") { // the second project's record cannot be stored
            QSqlQuery q(QSqlDatabase::database());
            QVERIFY(q.exec("CREATE TRIGGER refuse BEFORE INSERT ON Parameters WHEN NEW.Name = 'P2' "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
            system.ProjectNames << "P2";
            system.ParametersChannels[4].ProjectIndex = 1;
        } else if (fault == "database") { // a folder where the acquisition thread's file should be
            QVERIFY(QDir().mkpath("elsewhere/DAQ.db3") && QDir::setCurrent("elsewhere"));
        }

        const bool database = fault == "database";
        MessageBoxHelper boxes;
        {
            ParametersOnLine dialog;
            dialog.start(&system);
            QVERIFY(runToEnd(dialog));
            if (database) { // the acquisition thread closed the instruments and its connection
                QCOMPARE(information(dialog), text);
                QVERIFY(m_a->calls(FakeCollection::Call::Close) == 1 && m_b->calls(FakeCollection::Call::Close) == 1);
                QVERIFY(!QSqlDatabase::contains("DAQ"));
            } else {
                QVERIFY(boxes.waitFor(1));
                QCOMPARE(boxes.last().title + boxes.last().text, QStringLiteral("提示") + text);
            }
            QCOMPARE(boxes.count(), database ? 0 : 1);
            QCOMPARE(okButton(dialog)->text(), QStringLiteral("结束"));
            if (fault != "no driver" && fault != "no project" && fault != "record" && !database)
                QCOMPARE(m_b->calls(FakeCollection::Call::Open), 0);
        }
        QCOMPARE(m_a->calls(FakeCollection::Call::ReadOneScan), 0);
        if (fault == "interval" || fault == "count") // refused before any instrument is made
            QCOMPARE(m_a->created(), 0);
        QCOMPARE(queryCount("SELECT count(*) FROM Parameters"), database ? 1 : 0);
        QCOMPARE(queryCount("SELECT count(*) FROM ParametersData"), 0);
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
    // began, the next sample one interval later.
    void failedReadRecovery()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, audit);
        Struct_System system = makeSystem(2, 0.2, 1);
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
        QCOMPARE(auditTexts(), audit);
        QCOMPARE(m_a->calls(FakeCollection::Call::Reconnect), fault == "retry" ? 0 : 1);
        const auto rows = samplesOf("P1");
        QCOMPARE(rows.size(), 6);
        if (fault == "count") {
            for (const auto &row : rows)
                QCOMPARE(row.Data, Tool::toStringList(10, {1, 2, 3, 4, 5}));
        } else if (fault == "reconnect") {
            // The reconnection delay (300 ms) before the re-read, then one interval (200 ms).
            const qint64 delay = rows.at(0).Time.msecsTo(rows.at(1).Time);
            const qint64 next = rows.at(1).Time.msecsTo(rows.at(2).Time);
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
    // number): manual mode. 继续 tries again, 终止 ends the run; destroying the dialog ends the
    // worker at once and leaves no driver and no thread connection behind.
    void manualReconnection()
    {
        QFETCH(QString, how);
        Struct_System system = makeSystem(1, 0.25, 1);
        failSecondRead();
        MessageBoxHelper boxes;
        auto dialog = std::make_unique<ParametersOnLine>();
        dialog->start(&system);
        QTRY_COMPARE(dialog->runState(), ParametersOnLine::Acquiring);
        m_a->setSerial("SN-WRONG");
        QTRY_COMPARE_WITH_TIMEOUT(dialog->runState(), ParametersOnLine::WaitingForUser, 5000);
        QCOMPARE(okButton(*dialog)->text(), QStringLiteral("继续"));
        QVERIFY(boxes.waitFor(1));
        QCOMPARE(boxes.last().text, QStringLiteral("通讯异常，请设备关机重试！"));
        QCOMPARE(m_a->calls(FakeCollection::Call::Reconnect), 1);

        if (how != "destroy") {
            m_a->setSerial("SN-A");
            boxes.press(how == "continue" ? QStringLiteral("继续") : QStringLiteral("终止"));
            okButton(*dialog)->click();
            QCOMPARE(boxes.boxes().at(1).text, QStringLiteral("是否终止项目？"));
            QCOMPARE(boxes.boxes().at(1).buttons, QStringList({"终止", "继续", "取消"}));
            QVERIFY(runToEnd(*dialog));
        }
        if (how == "continue") {
            QCOMPARE(auditTexts(), QStringList({"数据获取失败。", "设备重新连接。", "进入手动重连模式！", "手动重连成功！"}));
        } else if (how == "terminate") {
            QCOMPARE(information(*dialog), QStringLiteral("提前终止采集。"));
            QCOMPARE(auditTexts(), QStringList({"数据获取失败。", "设备重新连接。", "进入手动重连模式！"}));
        }
        QElapsedTimer timer;
        timer.start();
        dialog.reset();
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(m_a->alive(), 0);
        QVERIFY(!QSqlDatabase::contains("DAQ"));
        QCOMPARE(samplesOf("P1").size(), how == "continue" ? 5 : 1);
    }

    void stop_data()
    {
        QTest::addColumn<bool>("waiting");
        QTest::newRow("waiting for the start") << true;
        QTest::newRow("acquiring") << false;
    }

    // Stop asks first (取消 keeps the run going); close and Escape are refused while running.
    void stop()
    {
        QFETCH(bool, waiting);
        Struct_System system = makeSystem(1, 0.05, 0);
        if (waiting) // an hour from now, until stopped
            system.StartTime = system.EndTime = QDateTime::currentDateTime().addSecs(3600).toString(kTime);
        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        dialog.start(&system);
        dialog.show();
        if (waiting)
            QTRY_COMPARE(information(dialog), QStringLiteral("开始等待中..."));
        else
            QTRY_COMPARE(dialog.runState(), ParametersOnLine::Acquiring);
        QVERIFY(!dialog.close());
        QVERIFY(boxes.waitFor(1));
        QCOMPARE(boxes.last().text, QStringLiteral("正在采集中，请先结束！"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());

        boxes.press(QStringLiteral("取消"));
        okButton(dialog)->click();
        QVERIFY(dialog.runState() != ParametersOnLine::Finished);
        QCOMPARE(boxes.last().text, QStringLiteral("是否停止数据采集？"));
        QCOMPARE(boxes.last().buttons, QStringList({"确定", "取消"}));
        const int before = m_a->calls(FakeCollection::Call::ReadOneScan);
        if (!waiting)
            QTRY_VERIFY(m_a->calls(FakeCollection::Call::ReadOneScan) > before);

        boxes.press(QStringLiteral("确定"));
        okButton(dialog)->click();
        QCOMPARE(information(dialog), QStringLiteral("提前终止采集。"));
        QVERIFY(runToEnd(dialog));
        if (waiting) {
            QVERIFY(boxes.waitFor(4));
            QCOMPARE(boxes.last().text, QStringLiteral("手动停止采集！"));
        }
        QVERIFY(dialog.close());
        QCOMPARE(queryCount("SELECT count(*) FROM Parameters"), waiting ? 0 : 1);
        QVERIFY(waiting ? samplesOf("P1").isEmpty() : samplesOf("P1").size() >= 2);
    }

    // The rows of one sample are stored for all projects or for none. Without a display tick
    // during the run, the end of the run hands over the queue: only the newest stored sample
    // reaches the pages.
    void sampleStoredWholeOrNotAtAll()
    {
        AcquisitionTiming timing = AcquisitionTiming::get();
        timing.DisplayTickMs = 3600 * 1000;
        AcquisitionTiming::set(timing);
        QSqlQuery q(QSqlDatabase::database());
        QVERIFY(q.exec("CREATE TRIGGER refuse BEFORE INSERT ON ParametersData "
                       "WHEN NEW.Name = 'P2' AND (SELECT count(*) FROM ParametersData WHERE Name = 'P2') >= 2 "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        Struct_System system = makeSystem(1, 0.25, 1, {"P1", "P2"});
        system.ParametersChannels[2].ProjectIndex = 1;
        ParametersOnLine dialog;
        dialog.start(&system);
        QTRY_VERIFY(information(dialog).startsWith(QStringLiteral("数据保存失败：")));
        QVERIFY(runToEnd(dialog));
        QCOMPARE(samplesOf("P1").size(), 2);
        QCOMPARE(samplesOf("P2").size(), 2);
        QCOMPARE(dialog.findChild<QTableView *>("tableWidget_Statistics")->model()->rowCount(), 1);
        // The second of five scans (10 * (j + 1) + 1), not the last one read (+ 4).
        QString shown;
        for (const QTableView *view : dialog.findChildren<QTableView *>("tableWidget_Data")) {
            QCOMPARE(view->model()->rowCount(), 1);
            for (int c = 0; c < view->model()->columnCount(); ++c)
                shown += "|" + view->model()->index(0, c).data().toString() + "|";
        }
        QVERIFY2(shown.contains("|21.00|") && shown.contains("|31.00|") && !shown.contains("|34.00|"),
                 qPrintable(shown));
    }
};

QTEST_MAIN(tst_ParametersOnLine)
#include "tst_ParametersOnLine.moc"
