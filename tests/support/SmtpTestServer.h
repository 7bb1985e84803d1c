#pragma once

#include "acquisition/ToolEmail.h"

#include <QByteArray>
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
// answered with the credentials echoed, as some servers do. What clients do comes back as events (objects with "event": "ehlo", "helo", "auth" or "message").
class SmtpTestServer
{
public:
    struct Options {
        QString User = QStringLiteral("alarm@lab.test");
        QString Password = QStringLiteral("abcdefghijklmnop");
        QStringList RefusedRecipients;
        bool RefuseEhlo = false;
        bool SilentAfterData = false;  // takes a message, then never answers
    };

    explicit SmtpTestServer(const Options &options);
    SmtpTestServer() : SmtpTestServer(Options()) {}
    ~SmtpTestServer();

    // Makes the certificate and starts the peer; false with a reason when either fails.
    bool start(QString *error);
    quint16 port() const { return m_port; }
    QList<QSslCertificate> caCertificates() const { return m_certificates; }
    // The account that the peer accepts.
    ToolEmail::Account account(const QString &senderName = QStringLiteral("QNRIX")) const;
    // Writes this peer's account, or the given one, into "DAQ.ini" (group "AlarmMail") in the folder.
    bool writeConfig(const QString &folder, const QString &senderName) const { return writeConfig(folder, account(senderName)); }
    static bool writeConfig(const QString &folder, const ToolEmail::Account &account);

    // Events reported so far, waiting up to timeoutMs while fewer than minMessages messages
    // have come.
    QList<QJsonObject> events(int minMessages = 0, int timeoutMs = 10000);
    QList<QJsonObject> messages(int minMessages = 0, int timeoutMs = 10000) { return onlyMessages(events(minMessages, timeoutMs)); }

private:
    static QList<QJsonObject> onlyMessages(const QList<QJsonObject> &events);
    void readEvents();

    Options m_options;
    QTemporaryDir m_dir;
    QProcess m_process;
    QByteArray m_buffer;
    QList<QJsonObject> m_events;
    QList<QSslCertificate> m_certificates;
    quint16 m_port = 0;
};
