#include "acquisition/ParametersOnLine.h"
#include "acquisition/AcquisitionTiming.h"
#include "acquisition/ParametersCsvWriter.h"
#include "shell/Struct_System.h"
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

struct Instrument {
    QString model;
    QString serial;
    QList<quint32> channels;
    QString unit = QStringLiteral("℃");
};

Tool::Struct_Collection record(const Instrument &instrument)
{
    Tool::Struct_Collection device;
    device.Model = instrument.model;
    device.Serial = instrument.serial;
    device.SignalMode = QStringLiteral("网络");
    device.Signal1 = QStringLiteral("127.0.0.1");
    device.Signal2 = QStringLiteral("502");
    device.Rate = QStringLiteral("1Hz");
    for (quint32 number : instrument.channels) {
        device.CHSerial.append(QString::number(number));
        device.CHUnit.append(instrument.unit);
    }
    return device;
}

// A run planned to begin one minute ago (so it starts at once) and to end spanSeconds later
// (0: until stopped). One channel row per channel, all of the first project.
Struct_System makeSystem(const QList<Instrument> &instruments, const QStringList &projects,
                         double interval, int spanSeconds)
{
    Struct_System system;
    system.ProjectNames = projects;
    for (int d = 0; d < instruments.size(); ++d) {
        system.ProjectDevices.append(record(instruments.at(d)));
        for (quint32 number : instruments.at(d).channels) {
            Struct_ParametersChannel row;
            row.DeviceIndex = d;
            row.ProjectIndex = 0;
            row.Channel = QString::number(number);
            row.Type = row.Function = row.Wire = QStringLiteral("Auto");
            row.Unit = row.DisplayUnit = instruments.at(d).unit;
            system.ParametersChannels.append(row);
        }
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
        channel.Number = number;
        channel.Enabled = true;
        channel.Unit = unit;
        channel.Type = QStringLiteral("PT100");
        channel.Function = QStringLiteral("CVD");
        channel.Wire = QStringLiteral("4线");
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
    for (const Tool::Struct_AuditLog &entry : log) {
        if (entry.Type == QStringLiteral("通讯异常"))
            texts.append(entry.Text);
    }
    return texts;
}

int queryCount(const QString &sql)
{
    QSqlQuery q(QSqlDatabase::database());
    if (!q.exec(sql) || !q.next())
        return -1;
    return q.value(0).toInt();
}

// One instrument FAKE-A with channels 1..3, all of the first project.
Struct_System oneInstrument(double interval, int spanSeconds, const QStringList &projects = {"P1"})
{
    return makeSystem({{"FAKE-A", "SN-A", {1, 2, 3}}}, projects, interval, spanSeconds);
}

void clickOk(ParametersOnLine &dialog)
{
    dialog.findChild<QPushButton *>(QStringLiteral("pushButton_OK"))->click();
}

QString buttonText(ParametersOnLine &dialog)
{
    return dialog.findChild<QPushButton *>(QStringLiteral("pushButton_OK"))->text();
}

QString information(ParametersOnLine &dialog)
{
    return dialog.findChild<QLineEdit *>(QStringLiteral("lineEdit_Information"))->text();
}

int pageRows(ParametersOnLine &dialog, const char *table, int page)
{
    const QList<QTableView *> views = dialog.findChildren<QTableView *>(QLatin1String(table));
    return page < views.size() ? views.at(page)->model()->rowCount() : -1;
}

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
        m_a = FakeCollection::install(QStringLiteral("FAKE-A"));
        m_a->setSerial(QStringLiteral("SN-A"));
        m_a->setChannels(scriptedChannels({1, 2, 3}, QStringLiteral("℃")));
        m_b = FakeCollection::install(QStringLiteral("FAKE-B"));
        m_b->setSerial(QStringLiteral("SN-B"));
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
        const QDateTime end = start.addSecs(60);
        QCOMPARE(ParametersOnLine::sampleCount(start, end, 1000), qint64(61));
        QCOMPARE(ParametersOnLine::sampleCount(start, end, 7000), qint64(10));
        QCOMPARE(ParametersOnLine::sampleCount(start, start, 1000), qint64(INT_MAX));
        QCOMPARE(ParametersOnLine::sampleCount(start, start.addSecs(-5), 1000), qint64(INT_MAX));
        // 25 days at 1 ms is beyond the int range: computed without overflow.
        QCOMPARE(ParametersOnLine::sampleCount(start, start.addDays(25), 1), qint64(2160000001));

        QCOMPARE(ParametersOnLine::toIntervalMs(0.5), 500);
        QCOMPARE(ParametersOnLine::toIntervalMs(1.0009), 1000);
        QCOMPARE(ParametersOnLine::toIntervalMs(0.001), 1);
        for (double refused : {0.0009, 0.0, 3.0e6, std::nan("")})
            QCOMPARE(ParametersOnLine::toIntervalMs(refused), -1);
    }

    // Three projects over two instruments: each project's record lists both instruments and
    // only its own channels; each sample stores the corrected values of each project.
    void wholeRun()
    {
        Struct_System system = makeSystem({{"FAKE-A", "SN-A", {1, 2, 3}}, {"FAKE-B", "SN-B", {1, 2}}},
                                          {"P1", "P2", "P3"}, 0.25, 1);
        // Rows: A1 -> P1, A2 -> P2, A3 -> P1, B1 -> P3, B2 -> P2.
        const int projectOf[] = {0, 1, 0, 2, 1};
        for (int n = 0; n < 5; ++n) {
            system.ParametersChannels[n].ProjectIndex = projectOf[n];
            system.ParametersChannels[n].M = 2.0;
            system.ParametersChannels[n].B = n * 0.5;
        }
        system.ParametersChannels[3].DisplayUnit = QStringLiteral("℉");
        m_a->setScans({{1, 2, 3}, {11, 12, 13}, {21, 22, 23}, {31, 32, 33}});
        m_b->setScans({{101, 102}, {111, 112}, {121, 122}, {131, 132}});

        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        dialog.start(&system);
        QCOMPARE(dialog.plannedSamples(), qint64(5));
        QCOMPARE(dialog.intervalMs(), 250);
        QCOMPARE(buttonText(dialog), QStringLiteral("停止"));
        QVERIFY(runToEnd(dialog));
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(buttonText(dialog), QStringLiteral("结束"));
        QCOMPARE(information(dialog), QStringLiteral("采集结束。"));

        // Project records.
        Tool::Struct_Parameters p1, p2, p3;
        QVERIFY(Tool::getParameters(p1, "P1"));
        QVERIFY(Tool::getParameters(p2, "P2"));
        QVERIFY(Tool::getParameters(p3, "P3"));
        QCOMPARE(p1.CHName, QStringList({"1-1", "1-3"}));
        QCOMPARE(p2.CHName, QStringList({"1-2", "2-2"}));
        QCOMPARE(p3.CHName, QStringList({"2-1"}));
        QCOMPARE(p3.CHDisplayUnit, QStringList({"℉"}));
        QCOMPARE(p2.Model, QStringList({"FAKE-A", "FAKE-B"}));
        QCOMPARE(p1.Interval, QStringLiteral("0.25"));
        QCOMPARE(p1.StartTime, system.StartTime);
        QCOMPARE(p1.CHM, QStringList({"2.00000", "2.00000"}));
        QCOMPARE(p1.CHB, QStringList({"0.00000", "1.00000"}));
        // The instrument's values, not the table's "Auto".
        QCOMPARE(p2.CHType, QStringList({"PT100", "PT100"}));
        QCOMPARE(p2.CHWire, QStringList({"4线", "4线"}));

        // Samples: corrected, split by project, in channel-table order.
        const auto s1 = samplesOf("P1"), s2 = samplesOf("P2"), s3 = samplesOf("P3");
        QCOMPARE(s1.size(), 5);
        QCOMPARE(s2.size(), 5);
        QCOMPARE(s3.size(), 5);
        QCOMPARE(s1.at(1).Data, Tool::toStringList(10, {2 * 11 + 0.0, 2 * 13 + 1.0}));
        QCOMPARE(s2.at(2).Data, Tool::toStringList(10, {2 * 22 + 0.5, 2 * 122 + 2.0}));
        QCOMPARE(s3.at(3).Data, Tool::toStringList(10, {2 * 131 + 1.5}));
        for (int i = 0; i < 5; ++i)
            QVERIFY(s1.at(i).Time == s2.at(i).Time && s1.at(i).Time == s3.at(i).Time);
        // Paced on the interval: five samples 250 ms apart span 1 s.
        const qint64 span = s1.at(0).Time.msecsTo(s1.at(4).Time);
        QVERIFY2(span >= 999 && span < 1500, qPrintable(QString::number(span)));
        QVERIFY(auditTexts().isEmpty());
        // The instruments were closed by the acquisition thread.
        QCOMPARE(m_a->calls(FakeCollection::Call::Close), 1);
        QCOMPARE(m_b->calls(FakeCollection::Call::Close), 1);

        // Finished: the button closes the dialog.
        dialog.show();
        QTest::mouseClick(dialog.findChild<QPushButton *>("pushButton_OK"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
    }

    // Several samples within one tick: only the newest reaches the pages; the end of the run
    // drains what is still queued.
    void newestSampleToPages()
    {
        AcquisitionTiming timing = AcquisitionTiming::get();
        timing.DisplayTickMs = 3600 * 1000; // no tick during the run
        AcquisitionTiming::set(timing);
        Struct_System system = oneInstrument(0.1, 1);

        ParametersOnLine dialog;
        dialog.start(&system);
        QVERIFY(runToEnd(dialog));
        QCOMPARE(samplesOf("P1").size(), 11);
        QCOMPARE(pageRows(dialog, "tableWidget_Data", 0), 1);
        QCOMPARE(pageRows(dialog, "tableWidget_Statistics", 0), 1);
        // The last of eleven scans: 10 * (j + 1) + 10; 40 only there.
        const QAbstractItemModel *model = dialog.findChild<QTableView *>("tableWidget_Data")->model();
        QString row;
        for (int c = 0; c < model->columnCount(); ++c)
            row += model->index(0, c).data().toString() + "|";
        QVERIFY2(row.contains("40.00"), qPrintable(row));
    }

    void setUpFailure_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("text");
        QTest::newRow("interval below 1 ms") << "interval" << "采集间隔无效，间隔不能小于1毫秒！";
        QTest::newRow("count beyond int") << "count" << "采集点数超出范围，请缩短采集时间或加大采集间隔！";
        QTest::newRow("open") << "open" << "设备连接失败,请退出重试！";
        QTest::newRow("no driver") << "no driver" << "设备连接失败,请退出重试！";
        QTest::newRow("serial") << "serial" << "序列号不匹配，请检查连接的设备是否为对应序列号的设备！";
        QTest::newRow("channel config") << "config" << "获取通道信息失败,请退出重试!";
        QTest::newRow("extra channel enabled") << "extra" << "通道参数与设备不匹配!";
        QTest::newRow("unit differs") << "unit" << "通道参数与设备不匹配!";
        QTest::newRow("row missing") << "row missing" << "通道参数与设备不匹配!";
        QTest::newRow("row of no project") << "no project" << "通道参数与设备不匹配!";
        QTest::newRow("start scan") << "scan" << "通道设置失败,请退出重试!";
        QTest::newRow("project record") << "record" << "项目信息保存失败，采集未开始！";
    }

    // Every set-up failure: its box, no instrument after the failing one touched, nothing read or
    // stored, the run finished so the dialog can be closed.
    void setUpFailure()
    {
        QFETCH(QString, fault);
        QFETCH(QString, text);
        Struct_System system = makeSystem({{"FAKE-A", "SN-A", {1, 2, 3}}, {"FAKE-B", "SN-B", {1, 2}}},
                                          {"P1"}, 0.25, 1);
        const QDateTime start = QDateTime::fromString(system.StartTime, kTime);
        if (fault == "interval")
            system.Interval = 0.0009;
        else if (fault == "count") // 25 days at 1 ms
            std::tie(system.Interval, system.EndTime) = std::make_tuple(0.001, start.addDays(25).toString(kTime));
        else if (fault == "open")
            m_a->failAt(FakeCollection::Call::Open, 1);
        else if (fault == "no driver")
            system.ProjectDevices[1].Model = "NO-SUCH-MODEL";
        else if (fault == "serial")
            system.ProjectDevices[0].Serial = "SN-OTHER";
        else if (fault == "config")
            m_a->failAt(FakeCollection::Call::GetChannelConfig, 1);
        else if (fault == "extra") {
            m_a->setKeepChannels(true);
            m_a->setChannels(scriptedChannels({1, 2, 3, 4}, "℃"));
        } else if (fault == "unit") {
            m_a->setKeepChannels(true);
            m_a->setChannels(scriptedChannels({1, 2, 3}, "Ω"));
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
        }

        MessageBoxHelper boxes;
        {
            ParametersOnLine dialog;
            dialog.start(&system);
            QVERIFY(runToEnd(dialog));
            QVERIFY(boxes.waitFor(1));
            QCOMPARE(boxes.count(), 1);
            QCOMPARE(boxes.last().title, QStringLiteral("提示"));
            QCOMPARE(boxes.last().text, text);
            QCOMPARE(buttonText(dialog), QStringLiteral("结束"));
            if (fault != "no driver" && fault != "no project" && fault != "record")
                QCOMPARE(m_b->calls(FakeCollection::Call::Open), 0);
        }
        QCOMPARE(m_a->calls(FakeCollection::Call::ReadOneScan), 0);
        if (fault == "interval" || fault == "count") // refused before any instrument is made
            QCOMPARE(m_a->created(), 0);
        QCOMPARE(queryCount("SELECT count(*) FROM Parameters"), 0);
        QCOMPARE(queryCount("SELECT count(*) FROM ParametersData"), 0);
        // The dialog's destruction closed and deleted every driver.
        QCOMPARE(m_a->alive(), 0);
        QCOMPARE(m_b->alive(), 0);
    }

    // A start time in the future: the set-up waits; stop while waiting ends it with its box.
    void stopWhileWaitingForStart()
    {
        Struct_System system = oneInstrument(1.0, 1);
        system.StartTime = QDateTime::currentDateTime().addSecs(3600).toString(kTime);
        system.EndTime = QDateTime::currentDateTime().addSecs(7200).toString(kTime);

        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        dialog.start(&system);
        QTRY_COMPARE(information(dialog), QStringLiteral("开始等待中..."));
        boxes.press(QStringLiteral("确定"));
        clickOk(dialog);
        QCOMPARE(boxes.texts().value(0), QStringLiteral("是否停止数据采集？"));
        QCOMPARE(boxes.boxes().at(0).buttons, QStringList({"确定", "取消"}));
        QCOMPARE(information(dialog), QStringLiteral("提前终止采集。"));
        QVERIFY(runToEnd(dialog));
        QVERIFY(boxes.waitFor(2));
        QCOMPARE(boxes.texts().value(1), QStringLiteral("手动停止采集！"));
        QCOMPARE(queryCount("SELECT count(*) FROM Parameters"), 0);
        QCOMPARE(m_a->calls(FakeCollection::Call::ReadOneScan), 0);
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
        Struct_System system = makeSystem({{"FAKE-A", "SN-A", {1, 2, 3}}, {"FAKE-B", "SN-B", {1, 2}}},
                                          {"P1"}, 0.2, 1);
        if (fault == "count") {
            m_a->setScans({{1, 2, 3}, {1, 2}, {1, 2, 3}});
            m_b->setScans({{4, 5}, {9, 4, 5}, {4, 5}});
        } else {
            m_a->failAt(FakeCollection::Call::ReadOneScan, 2);
            if (fault == "reconnect")
                m_a->failAt(FakeCollection::Call::ReadOneScan, 3);
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

    // Automatic reconnection fails: manual mode. 继续 retries; a wrong serial number on
    // reconnection counts as a failure and asks again.
    void manualReconnectionContinue()
    {
        Struct_System system = oneInstrument(0.25, 1);
        m_a->failAt(FakeCollection::Call::ReadOneScan, 2);
        m_a->failAt(FakeCollection::Call::ReadOneScan, 3);

        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        dialog.start(&system);
        QTRY_COMPARE(dialog.runState(), ParametersOnLine::Acquiring);
        // Another instrument answers at the address: the reconnection fails.
        m_a->setSerial("SN-WRONG");
        QTRY_COMPARE_WITH_TIMEOUT(dialog.runState(), ParametersOnLine::WaitingForUser, 5000);
        QCOMPARE(buttonText(dialog), QStringLiteral("继续"));
        QVERIFY(boxes.waitFor(1));
        QCOMPARE(boxes.last().text, QStringLiteral("通讯异常，请设备关机重试！"));
        QCOMPARE(boxes.last().title, QStringLiteral("提示"));

        // 继续 while still the wrong instrument: asked again.
        boxes.press(QStringLiteral("继续"));
        clickOk(dialog);
        QCOMPARE(boxes.boxes().at(1).text, QStringLiteral("是否终止项目？"));
        QCOMPARE(boxes.boxes().at(1).buttons, QStringList({"终止", "继续", "取消"}));
        QVERIFY(boxes.waitFor(3));
        QCOMPARE(boxes.last().text, QStringLiteral("通讯异常，请设备关机重试！"));
        QTRY_COMPARE(dialog.runState(), ParametersOnLine::WaitingForUser);

        // 取消 changes nothing.
        boxes.press(QStringLiteral("取消"));
        clickOk(dialog);
        QTest::qWait(50);
        QCOMPARE(dialog.runState(), ParametersOnLine::WaitingForUser);

        m_a->setSerial("SN-A");
        boxes.press(QStringLiteral("继续"));
        clickOk(dialog);
        QVERIFY(runToEnd(dialog));
        QCOMPARE(information(dialog), QStringLiteral("采集结束。"));
        QCOMPARE(auditTexts(), QStringList({"数据获取失败。", "设备重新连接。", "进入手动重连模式！",
                                            "进入手动重连模式！", "手动重连成功！"}));
        QCOMPARE(samplesOf("P1").size(), 5);
    }

    void manualReconnectionStop()
    {
        Struct_System system = oneInstrument(0.25, 1);
        m_a->failAt(FakeCollection::Call::ReadOneScan, 2);
        m_a->failAt(FakeCollection::Call::ReadOneScan, 3);
        m_a->failAt(FakeCollection::Call::Reconnect, 1);

        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        dialog.start(&system);
        QTRY_COMPARE_WITH_TIMEOUT(dialog.runState(), ParametersOnLine::WaitingForUser, 5000);
        QVERIFY(boxes.waitFor(1));
        boxes.press(QStringLiteral("终止"));
        clickOk(dialog);
        QCOMPARE(information(dialog), QStringLiteral("提前终止采集。"));
        QVERIFY(runToEnd(dialog));
        QCOMPARE(buttonText(dialog), QStringLiteral("结束"));
        QCOMPARE(information(dialog), QStringLiteral("提前终止采集。"));
        QCOMPARE(samplesOf("P1").size(), 1);
        QCOMPARE(m_a->calls(FakeCollection::Call::Reconnect), 1);
        QVERIFY(!auditTexts().contains("手动重连成功！"));
    }

    // Close and Escape are refused while running; stop with 确定 ends the run.
    void closeRefusedWhileRunning()
    {
        Struct_System system = oneInstrument(0.05, 0);

        MessageBoxHelper boxes;
        ParametersOnLine dialog;
        dialog.start(&system);
        dialog.show();
        QTRY_COMPARE(dialog.runState(), ParametersOnLine::Acquiring);

        QVERIFY(!dialog.close());
        QVERIFY(boxes.waitFor(1));
        QCOMPARE(boxes.last().text, QStringLiteral("正在采集中，请先结束！"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());

        // 取消 keeps the run going.
        boxes.press(QStringLiteral("取消"));
        clickOk(dialog);
        QCOMPARE(dialog.runState(), ParametersOnLine::Acquiring);
        const int before = m_a->calls(FakeCollection::Call::ReadOneScan);
        QTRY_VERIFY(m_a->calls(FakeCollection::Call::ReadOneScan) > before);

        boxes.press(QStringLiteral("确定"));
        clickOk(dialog);
        QVERIFY(runToEnd(dialog));
        QCOMPARE(information(dialog), QStringLiteral("提前终止采集。"));
        QVERIFY(dialog.close());
        QVERIFY(!dialog.isVisible());
        QVERIFY(samplesOf("P1").size() >= 2);
    }

    // Destroying the dialog in the middle of a run (here: in the manual reconnection wait)
    // ends the worker, closes and deletes the drivers and the thread's connection.
    void destroyedWhileRunning()
    {
        Struct_System system = oneInstrument(0.05, 0);
        m_a->failFrom(FakeCollection::Call::ReadOneScan, 3);
        m_a->failAt(FakeCollection::Call::Reconnect, 1);
        MessageBoxHelper boxes;
        auto *dialog = new ParametersOnLine;
        dialog->start(&system);
        QTRY_COMPARE_WITH_TIMEOUT(dialog->runState(), ParametersOnLine::WaitingForUser, 5000);
        QVERIFY(boxes.waitFor(1));
        QElapsedTimer timer;
        timer.start();
        delete dialog;
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(m_a->alive(), 0);
        QVERIFY(!QSqlDatabase::contains("DAQ"));
        QCOMPARE(samplesOf("P1").size(), 2);
    }

    // The rows of one sample are stored for all projects or for none.
    void sampleStoredWholeOrNotAtAll()
    {
        QSqlQuery q(QSqlDatabase::database());
        QVERIFY(q.exec("CREATE TRIGGER refuse BEFORE INSERT ON ParametersData "
                       "WHEN NEW.Name = 'P2' AND (SELECT count(*) FROM ParametersData WHERE Name = 'P2') >= 2 "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        Struct_System system = oneInstrument(0.25, 1, {"P1", "P2"});
        system.ParametersChannels[2].ProjectIndex = 1;
        ParametersOnLine dialog;
        dialog.start(&system);
        QTRY_VERIFY(information(dialog).startsWith(QStringLiteral("数据保存失败：")));
        QVERIFY(runToEnd(dialog));
        QCOMPARE(samplesOf("P1").size(), 2);
        QCOMPARE(samplesOf("P2").size(), 2);
        // Only stored samples reach the pages.
        const int shown = pageRows(dialog, "tableWidget_Statistics", 0);
        QVERIFY2(shown >= 1 && shown <= 2, qPrintable(QString::number(shown)));
    }

    // The display tick feeds the limit check (one alarm pass per e-mail interval) and the CSV
    // writer; the end of the run writes every sample to the day's file.
    void tickFeedsAlarmsAndCsv()
    {
        const QString project = QStringLiteral("CSV");
        Struct_System system = oneInstrument(0.25, 1, {project});
        system.DataSave = true;
        system.EmailInterval = 10;
        system.EmailAutoTrigger = false;
        system.ParametersChannels[2].HighEnabled = true;
        system.ParametersChannels[2].High = 5.0;
        QDate day;
        {
            ParametersOnLine dialog;
            dialog.start(&system);
            QVERIFY(runToEnd(dialog));
            day = QDate::currentDate();
        }
        QList<Tool::Struct_AuditLog> log;
        QVERIFY(Tool::getAuditLog(log));
        QCOMPARE(log.size(), 1);
        QCOMPARE(log.at(0).Type, QStringLiteral("上限通知"));
        QCOMPARE(log.at(0).Text, QStringLiteral("1-3 高于上限:30.000"));

        QFile file(m_dir->filePath("Data/" + project + "-" + day.toString("yyyy-MM-dd") + ".csv"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines.at(0), QStringLiteral("Time,1-1(℃),1-2(℃),1-3(℃)"));
        QVERIFY2(lines.at(5).endsWith(",14.00,24.00,34.00"), qPrintable(lines.at(5)));
    }

    // The thread's own connection cannot open: the instruments are closed and the run is
    // finished, so the dialog can be left.
    void databaseNotOpened()
    {
        QVERIFY(QDir().mkpath("elsewhere/DAQ.db3"));
        QVERIFY(QDir::setCurrent("elsewhere"));
        Struct_System system = oneInstrument(0.25, 1);
        ParametersOnLine dialog;
        dialog.start(&system);
        QVERIFY(runToEnd(dialog));
        QCOMPARE(information(dialog), QStringLiteral("打开数据库失败！"));
        QCOMPARE(buttonText(dialog), QStringLiteral("结束"));
        QCOMPARE(m_a->calls(FakeCollection::Call::Close), 1);
        QCOMPARE(m_a->calls(FakeCollection::Call::ReadOneScan), 0);
        QVERIFY(!QSqlDatabase::contains("DAQ"));
    }
};

QTEST_MAIN(tst_ParametersOnLine)
#include "tst_ParametersOnLine.moc"
