#pragma once

#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Records every diagnostic message (from any thread) while it lives and still passes each one on
// to the handler that was installed before. One capture at a time.
class LogCapture
{
public:
    LogCapture()
    {
        active() = this;
        previous() = m_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        active() = nullptr;
        previous() = nullptr;
    }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList messages() const
    {
        QMutexLocker lock(&m_mutex);
        return m_messages;
    }
    // True when some message contains the text.
    bool contains(const QString &text) const { return !messages().filter(text).isEmpty(); }
    // All messages as one text, for failure output.
    QString text() const { return messages().join(QLatin1Char('\n')); }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_messages.clear();
    }

private:
    static LogCapture *&active()
    {
        static LogCapture *capture = nullptr;
        return capture;
    }
    static QtMessageHandler &previous()
    {
        static QtMessageHandler handler = nullptr;
        return handler;
    }
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (LogCapture *capture = active()) {
            QMutexLocker lock(&capture->m_mutex);
            capture->m_messages << message;
        }
        if (QtMessageHandler next = previous())
            next(type, context, message);
    }

    mutable QMutex m_mutex;
    QStringList m_messages;
    QtMessageHandler m_previous = nullptr;
};
