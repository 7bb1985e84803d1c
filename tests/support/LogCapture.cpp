#include "LogCapture.h"

#include <QMutexLocker>

namespace {
LogCapture *activeCapture = nullptr;
QtMessageHandler previousHandler = nullptr;
}

LogCapture::LogCapture()
{
    activeCapture = this;
    m_previous = qInstallMessageHandler(&LogCapture::handler);
    previousHandler = m_previous;
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    activeCapture = nullptr;
    previousHandler = nullptr;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (LogCapture *capture = activeCapture) {
        QMutexLocker lock(&capture->m_mutex);
        capture->m_messages << message;
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

QStringList LogCapture::messages() const
{
    QMutexLocker lock(&m_mutex);
    return m_messages;
}

bool LogCapture::contains(const QString &text) const
{
    QMutexLocker lock(&m_mutex);
    for (const QString &message : m_messages) {
        if (message.contains(text))
            return true;
    }
    return false;
}

QString LogCapture::text() const
{
    QMutexLocker lock(&m_mutex);
    return m_messages.join(QLatin1Char('\n'));
}

void LogCapture::clear()
{
    QMutexLocker lock(&m_mutex);
    m_messages.clear();
}
