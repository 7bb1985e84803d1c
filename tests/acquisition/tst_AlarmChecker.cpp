#include "acquisition/AlarmChecker.h"
#include "acquisition/ToolEmail.h"
#include "store/AuditLogQueue.h"
#include "store/Tool.h"
#include "support/SmtpTestServer.h"
#include "support/TestWorkDir.h"

#include <QJsonArray>
#include <QtTest>

#include <cmath>
#include <tuple>

namespace {

Struct_ParametersChannel row(int device, const QString &channel, bool lowOn, double low, bool highOn, double high)
{
    Struct_ParametersChannel r;
    std::tie(r.DeviceIndex, r.Channel, r.LowEnabled, r.Low, r.HighEnabled, r.High) =
        std::make_tuple(device, channel, lowOn, low, highOn, high);
    return r;
}

Struct_Sample sample(const QDateTime &time, const QList<QList<double>> &values)
{
    return Struct_Sample{time, values};
}

QDateTime at(const QString &text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

} // namespace

class tst_AlarmChecker : public QObject
{
    Q_OBJECT

    TestWorkDir m_dir;
    AuditLogQueue m_audit;
    int m_seen = 0;
    const QDateTime m_now = at("2024-05-01 08:00:00.000");

    // Audit entries ("type text") written since the previous call.
    QStringList newEntries()
    {
        QList<Tool::Struct_AuditLog> all;
        Tool::getAuditLog(all);
        QStringList texts;
        for (const Tool::Struct_AuditLog &entry : all.mid(m_seen))
            texts << entry.Type + QLatin1Char(' ') + entry.Text;
        m_seen = all.size();
        return texts;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void init() { newEntries(); }

    // Values at a limit or not a number raise nothing; the first alarm is not held back by a long
    // interval; with mail off only the audit entry is written; the lower limit is checked first,
    // also when it lies above the upper one; switched-off limits check nothing, even with mail on.
    void limitsAuditOnlyWithMailOff()
    {
        AlarmChecker checker(m_audit, {{row(0, "3", true, 0.0, true, 100.0)}}, 10 * 24 * 3600, false, {"lab@lab.test"}, m_now);
        for (double value : {0.0, 100.0, std::nan("")})
            QVERIFY(!checker.checkLimits(sample(m_now, {{value}}), m_now));
        QVERIFY(newEntries().isEmpty());
        QVERIFY(checker.checkLimits(sample(m_now, {{-0.001}}), m_now));
        QCOMPARE(newEntries(), QStringList{QStringLiteral("下限通知 1-3 低于下限:-0.001")});
        QCOMPARE(checker.mailer().mailCount(), 0);

        AlarmChecker crossed(m_audit, {{row(1, "2", true, 50.0, true, 10.0)}}, 0, false, {}, m_now);
        QVERIFY(crossed.checkLimits(sample(m_now, {{20.0}}), m_now));
        QCOMPARE(newEntries(), QStringList({"下限通知 2-2 低于下限:20.000", "上限通知 2-2 高于上限:20.000"}));

        AlarmChecker off(m_audit, {{row(0, "1", false, 0.0, false, 1.0)}}, 0, true, {"lab@lab.test"}, m_now);
        off.checkSamples({sample(m_now, {{-50.0}}), sample(m_now, {{50.0}})}, m_now);
        QVERIFY(newEntries().isEmpty());
        QCOMPARE(off.mailer().mailCount(), 0);
    }

    // Two projects (the value lists of a sample follow the project order): one entry per exceeding,
    // one mail of them all to each recipient, the empty one skipped.
    void twoExceedingsGiveTwoEntriesAndOneMail()
    {
        SmtpTestServer server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        QVERIFY(server.writeConfig(m_dir.path(), QStringLiteral("QNRIX")));
        ToolEmail::setExtraCaCertificates(server.caCertificates());
        ToolEmail::setNetworkOnlineCheck([] { return true; });
        const QDateTime now = QDateTime::currentDateTime();
        {
            AlarmChecker checker(m_audit, {{row(0, "3", true, 0.0, false, 100.0), row(0, "4", false, 0.0, false, 100.0)},
                                           {row(1, "1", false, 0.0, true, 100.0)}},
                                 600, true, {"lab@lab.test", QString(), "boss@lab.test"}, now);
            QVERIFY(checker.checkLimits(sample(at("2024-05-01 08:00:00.250"), {{-1.5, -99.0}, {120.0}}), now));
            QCOMPARE(checker.mailer().mailCount(), 1);
        } // waits for the mail
        QCOMPARE(newEntries(), QStringList({"下限通知 1-3 低于下限:-1.500", "上限通知 2-1 高于上限:120.000"}));
        QStringList mails;
        for (const QJsonObject &m : server.messages(2))
            mails << m.value("rcpt_tos").toArray().first().toString() + " " + m.value("subject").toString() + " " + m.value("body").toString();
        const QString mail = " 异常通知 2024-05-01 08:00:00\r\n1-3 低于下限:-1.500\r\n2-1 高于上限:120.000\r\n";
        QCOMPARE(mails, QStringList({"lab@lab.test" + mail, "boss@lab.test" + mail}));
        ToolEmail::setExtraCaCertificates({});
        ToolEmail::setNetworkOnlineCheck({});
        QFile::remove(m_dir.filePath(QStringLiteral("DAQ.ini")));
    }

    void emailIntervalHoldsBackTheFollowingTicks()
    {
        AlarmChecker checker(m_audit, {{row(0, "1", false, 0.0, true, 30.0)}}, 10 * 60, false, {}, m_now.addSecs(-60));
        // One tick: the first sample is fine, the second raises the alarm, the third is not checked.
        checker.checkSamples({sample(m_now.addSecs(-3), {{20.0}}), sample(m_now.addSecs(-2), {{31.0}}),
                              sample(m_now.addSecs(-1), {{32.0}})}, m_now);
        QCOMPARE(newEntries(), QStringList{QStringLiteral("上限通知 1-1 高于上限:31.000")});

        // Held back on the tick's clock, whatever the samples' times.
        QVERIFY(checker.checkLimits(sample(m_now.addSecs(3600), {{40.0}}), at("2024-05-01 08:09:59.999")));
        QVERIFY(newEntries().isEmpty());
        QVERIFY(!checker.checkLimits(sample(m_now, {{25.0}}), at("2024-05-01 08:10:00.000")));
        QVERIFY(checker.checkLimits(sample(m_now, {{41.0}}), at("2024-05-01 08:10:00.000")));
        QCOMPARE(newEntries(), QStringList{QStringLiteral("上限通知 1-1 高于上限:41.000")});

        // Interval 0: each tick is checked, up to its first alarm.
        AlarmChecker every(m_audit, {{row(0, "1", false, 0.0, true, 30.0)}}, 0, false, {}, m_now);
        every.checkSamples({sample(m_now, {{31.0}}), sample(m_now, {{32.0}})}, m_now);
        every.checkSamples({sample(m_now, {{33.0}}), sample(m_now, {{34.0}})}, m_now);
        QCOMPARE(newEntries(), QStringList({"上限通知 1-1 高于上限:31.000", "上限通知 1-1 高于上限:33.000"}));
    }
};

QTEST_GUILESS_MAIN(tst_AlarmChecker)
#include "tst_AlarmChecker.moc"
