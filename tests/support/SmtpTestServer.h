#pragma once

#include "acquisition/ToolEmail.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QSslCertificate>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real SMTP peer for the tests: Debian's aiosmtpd (tests/support/smtp_server.py run by
// /usr/bin/python3) on 127.0.0.1 with a port chosen by the system, implicit TLS with a
// self-signed certificate made here by openssl, and AUTH LOGIN required; a refused login is
// answered with the credentials echoed, as some servers do. What clients do comes back as
// events (objects with "event": "ehlo", "helo", "auth", "data" or "message").
class SmtpTestServer
{
public:
    struct Options {
        QString User = QStringLiteral("alarm@lab.test");
        QString Password = QStringLiteral("abcdefghijklmnop");
        QStringList RefusedRecipients;
        QStringList ForwardedRecipients; // taken with 251 (not local, will forward)
        bool RefuseEhlo = false;
        bool SilentAfterData = false;  // takes a message, then never answers
    };

    explicit SmtpTestServer(const Options &options) : m_options(options) {}
    SmtpTestServer() : SmtpTestServer(Options()) {}
    ~SmtpTestServer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
    }

    // Makes the certificate and starts the peer; false with a reason when either fails.
    bool start(QString *error)
    {
        const QString cert = m_dir.filePath("cert.pem"), key = m_dir.filePath("key.pem");
        QProcess openssl;
        openssl.start("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout",
                                  key, "-out", cert, "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                                  "subjectAltName=IP:127.0.0.1,DNS:localhost"});
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0 || (m_certificates = QSslCertificate::fromPath(cert)).isEmpty()) {
            *error = "openssl failed: " + QString::fromLocal8Bit(openssl.readAllStandardError());
            return false;
        }
        QStringList arguments{qEnvironmentVariable("DAQ_SOURCE_DIR") + "/tests/support/smtp_server.py", "--cert", cert, "--key", key,
                              "--user", m_options.User, "--password", m_options.Password};
        for (const QString &refused : m_options.RefusedRecipients)
            arguments << "--refuse-rcpt" << refused;
        for (const QString &forwarded : m_options.ForwardedRecipients)
            arguments << "--forward-rcpt" << forwarded;
        if (m_options.RefuseEhlo)
            arguments << "--refuse-ehlo";
        if (m_options.SilentAfterData)
            arguments << "--silent-after-data";
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.setReadChannel(QProcess::StandardOutput);
        m_process.start("/usr/bin/python3", arguments);
        QDeadlineTimer deadline(20000);
        while (!m_buffer.contains('\n')) {
            if (deadline.hasExpired() || !m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
                *error = "the SMTP peer did not report its port: " + m_process.errorString() + " "
                         + QString::fromLocal8Bit(m_process.readAllStandardError());
                return false;
            }
            m_buffer += m_process.readAllStandardOutput();
        }
        const int end = m_buffer.indexOf('\n');
        const QByteArray first = m_buffer.left(end).trimmed();
        m_buffer.remove(0, end + 1);
        m_port = first.startsWith("PORT ") ? quint16(first.mid(5).toUInt()) : 0;
        if (m_port == 0)
            *error = "unexpected first line: " + QString::fromUtf8(first);
        return m_port != 0;
    }

    quint16 port() const { return m_port; }
    QList<QSslCertificate> caCertificates() const { return m_certificates; }
    // The account that the peer accepts.
    ToolEmail::Account account(const QString &senderName = QStringLiteral("QNRIX")) const
    {
        ToolEmail::Account account;
        account.Host = QStringLiteral("127.0.0.1");
        account.Port = m_port;
        account.User = m_options.User;
        account.AuthCode = m_options.Password;
        account.SenderName = senderName;
        return account;
    }
    // Writes this peer's account, or the given one, into "DAQ.ini" (group "AlarmMail") in the folder.
    bool writeConfig(const QString &folder, const QString &senderName) const { return writeConfig(folder, account(senderName)); }
    static bool writeConfig(const QString &folder, const ToolEmail::Account &account)
    {
        QFile file(folder + QStringLiteral("/DAQ.ini"));
        const QString text = QStringLiteral("[AlarmMail]\nHost=%1\nPort=%2\nAccount=%3\nAuthCode=%4\nSenderName=%5\n")
                                 .arg(account.Host).arg(account.Port).arg(account.User, account.AuthCode, account.SenderName);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) > 0 && file.flush();
    }

    // Events reported so far, waiting up to timeoutMs while fewer than minMessages messages
    // have come.
    QList<QJsonObject> events(int minMessages = 0, int timeoutMs = 10000)
    {
        // Take in what the peer has printed: it prints each event before it answers the client.
        while (m_process.waitForReadyRead(100))
            readEvents();
        readEvents();
        QDeadlineTimer deadline(timeoutMs);
        while (onlyMessages(m_events).size() < minMessages && !deadline.hasExpired()) {
            m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
            readEvents();
        }
        return m_events;
    }
    QList<QJsonObject> messages(int minMessages = 0, int timeoutMs = 10000) { return onlyMessages(events(minMessages, timeoutMs)); }

private:
    static QList<QJsonObject> onlyMessages(const QList<QJsonObject> &events)
    {
        QList<QJsonObject> result;
        for (const QJsonObject &event : events) {
            if (event.value(QStringLiteral("event")).toString() == QLatin1String("message"))
                result << event;
        }
        return result;
    }

    void readEvents()
    {
        m_buffer += m_process.readAllStandardOutput();
        for (int end; (end = m_buffer.indexOf('\n')) >= 0; m_buffer.remove(0, end + 1)) {
            const QJsonDocument document = QJsonDocument::fromJson(m_buffer.left(end));
            if (document.isObject())
                m_events << document.object();
        }
    }

    Options m_options;
    QTemporaryDir m_dir;
    QProcess m_process;
    QByteArray m_buffer;
    QList<QJsonObject> m_events;
    QList<QSslCertificate> m_certificates;
    quint16 m_port = 0;
};
