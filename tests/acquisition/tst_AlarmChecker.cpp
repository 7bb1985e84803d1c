#include "acquisition/AlarmChecker.h"
#include "acquisition/ToolEmail.h"
#include "store/Tool.h"
#include "support/SmtpTestServer.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

Struct_ParametersChannel row(int device, const QString &channel, bool lowOn, double low, bool highOn,
                             double high)
{
    Struct_ParametersChannel r;
    r.DeviceIndex = device;
    r.Channel = channel;
    r.LowEnabled = lowOn;
    r.Low = low;
    r.HighEnabled = highOn;
    r.High = high;
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

private slots:
    void initTestCase();
    void cleanupTestCase();

    void messageTexts();
    void valueAtTheLimitRaisesNothing();
    void lowComesBeforeHighOnOneRow();
    void twoExceedingsGiveTwoEntriesAndOneMail();
    void intervalHoldsBackTheFollowingTicks();
    void intervalZeroChecksEveryTick();
    void firstAlarmIsNeverHeldBack();
    void switchesOffCheckNothing();
    void mailOffWritesAuditEntriesOnly();

private:
    // Audit entries written since the count was taken.
    QList<Tool::Struct_AuditLog> entriesSince(int count);
    int auditCount();

    QTemporaryDir m_dir;
    QString m_oldCwd;
};

void tst_AlarmChecker::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    QVERIFY(Tool::openDatabase());
}

void tst_AlarmChecker::cleanupTestCase()
{
    Tool::closeDatabase();
    QDir::setCurrent(m_oldCwd);
}

int tst_AlarmChecker::auditCount()
{
    QList<Tool::Struct_AuditLog> all;
    Tool::getAuditLog(all);
    return all.size();
}

QList<Tool::Struct_AuditLog> tst_AlarmChecker::entriesSince(int count)
{
    QList<Tool::Struct_AuditLog> all;
    Tool::getAuditLog(all);
    return all.mid(count);
}

void tst_AlarmChecker::messageTexts()
{
    const Struct_ParametersChannel r = row(0, QStringLiteral("3"), true, 0, true, 100);
    QCOMPARE(AlarmChecker::alarmMessage(r, -12.34567, true), QStringLiteral("1-3 低于下限:-12.346"));
    QCOMPARE(AlarmChecker::alarmMessage(row(2, QStringLiteral("17"), false, 0, true, 1), 101.0, false),
             QStringLiteral("3-17 高于上限:101.000"));
    QCOMPARE(AlarmChecker::mailBody(at("2024-05-01 08:00:00.999"), {QStringLiteral("a"), QStringLiteral("b")}),
             QStringLiteral("2024-05-01 08:00:00\r\na\r\nb"));
}

void tst_AlarmChecker::valueAtTheLimitRaisesNothing()
{
    const QDateTime now = at("2024-05-01 08:00:00.000");
    AlarmChecker checker({{row(0, QStringLiteral("3"), true, 0.0, true, 100.0)}}, 0, false, {}, now);
    QVERIFY(checker.anyAlarmConfigured());
    const int before = auditCount();

    QVERIFY(!checker.checkLimits(sample(now, {{0.0}}), now));
    QVERIFY(!checker.checkLimits(sample(now, {{100.0}}), now));
    QVERIFY(!checker.checkLimits(sample(now, {{std::nan("")}}), now));
    QCOMPARE(entriesSince(before).size(), 0);

    QVERIFY(checker.checkLimits(sample(now, {{-0.001}}), now));
    const QList<Tool::Struct_AuditLog> entries = entriesSince(before);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.at(0).Type, QStringLiteral("下限通知"));
    QCOMPARE(entries.at(0).Text, QStringLiteral("1-3 低于下限:-0.001"));
    QCOMPARE(checker.lastAlarm(), now);
}

void tst_AlarmChecker::lowComesBeforeHighOnOneRow()
{
    const QDateTime now = at("2024-05-01 08:00:00.000");
    // The lower limit lies above the upper one: a value between them breaks both.
    AlarmChecker checker({{row(1, QStringLiteral("2"), true, 50.0, true, 10.0)}}, 0, false, {}, now);
    const int before = auditCount();
    QVERIFY(checker.checkLimits(sample(now, {{20.0}}), now));
    const QList<Tool::Struct_AuditLog> entries = entriesSince(before);
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0).Type, QStringLiteral("下限通知"));
    QCOMPARE(entries.at(0).Text, QStringLiteral("2-2 低于下限:20.000"));
    QCOMPARE(entries.at(1).Type, QStringLiteral("上限通知"));
    QCOMPARE(entries.at(1).Text, QStringLiteral("2-2 高于上限:20.000"));
}

void tst_AlarmChecker::twoExceedingsGiveTwoEntriesAndOneMail()
{
    SmtpTestServer server;
    QString error;
    QVERIFY2(server.start(&error), qPrintable(error));
    QVERIFY(server.writeConfig(m_dir.path(), QStringLiteral("QNRIX")));
    ToolEmail::setExtraCaCertificates(server.caCertificates());
    ToolEmail::setNetworkOnlineCheck([] { return true; });

    const QDateTime now = QDateTime::currentDateTime();
    // Two projects; the value lists of a sample follow the project order.
    const QList<QList<Struct_ParametersChannel>> rows{
        {row(0, QStringLiteral("3"), true, 0.0, false, 100.0), row(0, QStringLiteral("4"), false, 0.0, false, 100.0)},
        {row(1, QStringLiteral("1"), false, 0.0, true, 100.0)}};
    const int before = auditCount();
    {
        AlarmChecker checker(rows, 600, true,
                             {QStringLiteral("lab@lab.test"), QString(), QStringLiteral("boss@lab.test")}, now);
        QVERIFY(checker.checkLimits(sample(at("2024-05-01 08:00:00.250"), {{-1.5, -99.0}, {120.0}}), now));
        QCOMPARE(checker.mailer().mailCount(), 1);
    } // waits for the mail

    const QList<Tool::Struct_AuditLog> entries = entriesSince(before);
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0).Text, QStringLiteral("1-3 低于下限:-1.500"));
    QCOMPARE(entries.at(1).Text, QStringLiteral("2-1 高于上限:120.000"));

    const QList<QJsonObject> messages = server.messages(2);
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages.at(0).value("rcpt_tos").toArray(), QJsonArray{QStringLiteral("lab@lab.test")});
    QCOMPARE(messages.at(1).value("rcpt_tos").toArray(), QJsonArray{QStringLiteral("boss@lab.test")});
    for (const QJsonObject &m : messages) {
        QCOMPARE(m.value("subject").toString(), QStringLiteral("异常通知"));
        QCOMPARE(m.value("body").toString(),
                 QStringLiteral("2024-05-01 08:00:00\r\n1-3 低于下限:-1.500\r\n2-1 高于上限:120.000\r\n"));
    }
    ToolEmail::setExtraCaCertificates({});
    ToolEmail::setNetworkOnlineCheck({});
    QFile::remove(m_dir.filePath(QStringLiteral("DAQ.ini")));
}

void tst_AlarmChecker::intervalHoldsBackTheFollowingTicks()
{
    const QDateTime start = at("2024-05-01 07:59:00.000");
    AlarmChecker checker({{row(0, QStringLiteral("1"), false, 0.0, true, 30.0)}}, 10 * 60, false, {}, start);
    const int before = auditCount();

    // One tick: the first sample is fine, the second raises the alarm, the third is not checked.
    const QDateTime tick = at("2024-05-01 08:00:00.000");
    checker.checkSamples({sample(tick.addSecs(-3), {{20.0}}), sample(tick.addSecs(-2), {{31.0}}),
                          sample(tick.addSecs(-1), {{32.0}})},
                         tick);
    QList<Tool::Struct_AuditLog> entries = entriesSince(before);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.at(0).Text, QStringLiteral("1-1 高于上限:31.000"));

    // Held back on the tick's clock, whatever the samples' times.
    QVERIFY(checker.checkLimits(sample(tick.addSecs(3600), {{40.0}}), at("2024-05-01 08:09:59.999")));
    QCOMPARE(entriesSince(before).size(), 1);

    QVERIFY(!checker.checkLimits(sample(tick, {{25.0}}), at("2024-05-01 08:10:00.000")));
    QVERIFY(checker.checkLimits(sample(tick, {{41.0}}), at("2024-05-01 08:10:00.000")));
    entries = entriesSince(before);
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(1).Text, QStringLiteral("1-1 高于上限:41.000"));
}

void tst_AlarmChecker::intervalZeroChecksEveryTick()
{
    const QDateTime now = at("2024-05-01 08:00:00.000");
    AlarmChecker checker({{row(0, QStringLiteral("1"), false, 0.0, true, 30.0)}}, 0, false, {}, now);
    const int before = auditCount();
    checker.checkSamples({sample(now, {{31.0}}), sample(now, {{32.0}})}, now);
    checker.checkSamples({sample(now, {{33.0}}), sample(now, {{34.0}})}, now);
    const QList<Tool::Struct_AuditLog> entries = entriesSince(before);
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0).Text, QStringLiteral("1-1 高于上限:31.000"));
    QCOMPARE(entries.at(1).Text, QStringLiteral("1-1 高于上限:33.000"));
}

void tst_AlarmChecker::firstAlarmIsNeverHeldBack()
{
    const QDateTime now = at("2024-05-01 08:00:00.000");
    AlarmChecker checker({{row(0, QStringLiteral("1"), true, 0.0, false, 0.0)}}, 10 * 24 * 3600, false, {}, now);
    QCOMPARE(checker.lastAlarm(), now.addDays(-10));
    const int before = auditCount();
    QVERIFY(checker.checkLimits(sample(now, {{-1.0}}), now));
    QCOMPARE(entriesSince(before).size(), 1);
}

void tst_AlarmChecker::switchesOffCheckNothing()
{
    const QDateTime now = at("2024-05-01 08:00:00.000");
    AlarmChecker checker({{row(0, QStringLiteral("1"), false, 0.0, false, 1.0)}}, 0, true,
                         {QStringLiteral("lab@lab.test")}, now);
    QVERIFY(!checker.anyAlarmConfigured());
    const int before = auditCount();
    QVERIFY(checker.checkLimits(sample(now, {{-50.0}}), now));
    QVERIFY(checker.checkLimits(sample(now, {{50.0}}), now));
    QCOMPARE(entriesSince(before).size(), 0);
    QCOMPARE(checker.mailer().mailCount(), 0);
}

void tst_AlarmChecker::mailOffWritesAuditEntriesOnly()
{
    const QDateTime now = at("2024-05-01 08:00:00.000");
    AlarmChecker checker({{row(0, QStringLiteral("1"), true, 0.0, false, 1.0)}}, 0, false,
                         {QStringLiteral("lab@lab.test")}, now);
    const int before = auditCount();
    QVERIFY(checker.checkLimits(sample(now, {{-1.0}}), now));
    QCOMPARE(entriesSince(before).size(), 1);
    QCOMPARE(checker.mailer().mailCount(), 0);
}

QTEST_GUILESS_MAIN(tst_AlarmChecker)
#include "tst_AlarmChecker.moc"
