#pragma once

#include "acquisition/AlarmMailer.h"
#include "common/Struct_ParametersChannel.h"
#include "acquisition/Struct_Sample.h"

class AuditLogQueue;

#include <QCoreApplication>
#include <QtGlobal>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The limit check of an on-line run. The run dialog owns one and hands it, from its display tick,
// the samples it takes from the queue. Every exceeded limit of a sample becomes an audit-log entry
// ("下限通知" / "上限通知", through the run's audit-log queue, so a locked database never holds the
// window); with alarm mail on, one mail lists all exceedings of that sample.
// After an alarm no sample is checked until the e-mail interval has passed on the tick's clock.
class AlarmChecker
{
    Q_DECLARE_TR_FUNCTIONS(AlarmChecker)
public:
    // projectRows: the channel rows of each project, in the order of a sample's value lists.
    // emailIntervalSeconds: EmailInterval x 60. The last alarm starts 10 days before now.
    AlarmChecker(AuditLogQueue &auditLog, const QList<QList<Struct_ParametersChannel>> &projectRows,
                 qint64 emailIntervalSeconds, bool mailOn, const QStringList &recipients,
                 const QDateTime &now = QDateTime::currentDateTime());

    // True when some row has its lower or upper limit switched on.
    bool anyAlarmConfigured() const { return m_anyAlarm; }
    QDateTime lastAlarm() const { return m_lastAlarm; }

    // Checks one sample. True: the tick checks no further sample (an alarm was raised, nothing is
    // configured, or the interval since the last alarm has not passed). False: nothing exceeded.
    bool checkLimits(const Struct_Sample &sample, const QDateTime &now = QDateTime::currentDateTime());
    // The display tick's pass: each sample in order until the first that checkLimits ends.
    void checkSamples(const QList<Struct_Sample> &samples,
                      const QDateTime &now = QDateTime::currentDateTime());

    // "1-3 低于下限:-12.346" (below) or "1-3 高于上限:101.000".
    static QString alarmMessage(const Struct_ParametersChannel &row, double value, bool below);
    // The sample's time "yyyy-MM-dd hh:mm:ss", then each message on a line of its own (CR LF).
    static QString mailBody(const QDateTime &time, const QStringList &messages);

    AlarmMailer &mailer() { return m_mailer; }

private:
    AuditLogQueue &m_auditLog;
    QList<QList<Struct_ParametersChannel>> m_rows;
    qint64 m_intervalSeconds;
    bool m_mailOn;
    QStringList m_recipients;
    QDateTime m_lastAlarm;
    bool m_anyAlarm = false;
    AlarmMailer m_mailer;
};
