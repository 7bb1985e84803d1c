#include "acquisition/AlarmChecker.h"

#include "store/AuditLogQueue.h"

AlarmChecker::AlarmChecker(AuditLogQueue &auditLog, const QList<QList<Struct_ParametersChannel>> &projectRows,
                           qint64 emailIntervalSeconds, bool mailOn, const QStringList &recipients,
                           const QDateTime &now)
    : m_auditLog(auditLog)
    , m_rows(projectRows)
    , m_intervalSeconds(emailIntervalSeconds)
    , m_mailOn(mailOn)
    , m_recipients(recipients)
    , m_lastAlarm(now.addDays(-10))
{
    for (const QList<Struct_ParametersChannel> &rows : projectRows) {
        for (const Struct_ParametersChannel &row : rows) {
            if (row.LowEnabled || row.HighEnabled)
                m_anyAlarm = true;
        }
    }
}

bool AlarmChecker::checkLimits(const Struct_Sample &sample, const QDateTime &now)
{
    if (!m_anyAlarm)
        return true;
    if (now < m_lastAlarm.addSecs(m_intervalSeconds))
        return true;

    QStringList messages;
    for (int j = 0; j < sample.Values.size() && j < m_rows.size(); ++j) {
        const QList<double> &values = sample.Values.at(j);
        const QList<Struct_ParametersChannel> &rows = m_rows.at(j);
        for (int k = 0; k < values.size() && k < rows.size(); ++k) {
            const Struct_ParametersChannel &row = rows.at(k);
            const double value = values.at(k);
            // Comparisons with a value that is no number are false: it raises nothing.
            if (row.LowEnabled && row.Low > value) {
                const QString message = alarmMessage(row, value, true);
                m_auditLog.add(tr("下限通知"), message);
                messages << message;
            }
            if (row.HighEnabled && value > row.High) {
                const QString message = alarmMessage(row, value, false);
                m_auditLog.add(tr("上限通知"), message);
                messages << message;
            }
        }
    }
    if (messages.isEmpty())
        return false;

    m_lastAlarm = now;
    if (m_mailOn)
        m_mailer.sendAlarmMail(mailBody(sample.Time, messages), m_recipients);
    return true;
}

void AlarmChecker::checkSamples(const QList<Struct_Sample> &samples, const QDateTime &now)
{
    for (const Struct_Sample &sample : samples) {
        if (checkLimits(sample, now))
            break;
    }
}

QString AlarmChecker::alarmMessage(const Struct_ParametersChannel &row, double value, bool below)
{
    return row.label() + (below ? tr(" 低于下限:") : tr(" 高于上限:")) + QString::number(value, 'f', 3);
}

QString AlarmChecker::mailBody(const QDateTime &time, const QStringList &messages)
{
    QString body = time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    for (const QString &message : messages)
        body += QStringLiteral("\r\n") + message;
    return body;
}
