#include "SmtpTestServer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QtGlobal>

SmtpTestServer::SmtpTestServer(const Options &options) : m_options(options) {}

SmtpTestServer::~SmtpTestServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
}

bool SmtpTestServer::start(QString *error)
{
    const QString cert = m_dir.filePath(QStringLiteral("cert.pem"));
    const QString key = m_dir.filePath(QStringLiteral("key.pem"));
    QProcess openssl;
    openssl.start("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout",
                              key, "-out", cert, "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                              "subjectAltName=IP:127.0.0.1,DNS:localhost"});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0) {
        *error = QStringLiteral("openssl failed: ") + QString::fromLocal8Bit(openssl.readAllStandardError());
        return false;
    }
    m_certificates = QSslCertificate::fromPath(cert);
    if (m_certificates.isEmpty()) {
        *error = QStringLiteral("no certificate in ") + cert;
        return false;
    }

    const QString script = qEnvironmentVariable("DAQ_SOURCE_DIR") + QStringLiteral("/tests/support/smtp_server.py");
    QStringList arguments{script, "--cert", cert, "--key", key, "--user", m_options.User, "--password", m_options.Password};
    for (const QString &refused : m_options.RefusedRecipients)
        arguments << "--refuse-rcpt" << refused;
    if (m_options.RefuseEhlo)
        arguments << "--refuse-ehlo";
    if (m_options.SilentAfterData)
        arguments << "--silent-after-data";
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setReadChannel(QProcess::StandardOutput);
    m_process.start(QStringLiteral("/usr/bin/python3"), arguments);
    if (!m_process.waitForStarted(10000)) {
        *error = QStringLiteral("python3 did not start: ") + m_process.errorString();
        return false;
    }
    QDeadlineTimer deadline(20000);
    while (!m_buffer.contains('\n')) {
        if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime()))) {
            *error = QStringLiteral("the SMTP peer did not report its port: ")
                     + QString::fromLocal8Bit(m_process.readAllStandardError());
            return false;
        }
        m_buffer += m_process.readAllStandardOutput();
    }
    const int end = m_buffer.indexOf('\n');
    const QByteArray first = m_buffer.left(end).trimmed();
    m_buffer.remove(0, end + 1);
    if (!first.startsWith("PORT ")) {
        *error = QStringLiteral("unexpected first line: ") + QString::fromUtf8(first);
        return false;
    }
    m_port = quint16(first.mid(5).toUInt());
    return m_port != 0;
}

ToolEmail::Account SmtpTestServer::account(const QString &senderName) const
{
    ToolEmail::Account account;
    account.Host = QStringLiteral("127.0.0.1");
    account.Port = m_port;
    account.User = m_options.User;
    account.AuthCode = m_options.Password;
    account.SenderName = senderName;
    return account;
}

bool SmtpTestServer::writeConfig(const QString &folder, const ToolEmail::Account &account)
{
    QFile file(folder + QStringLiteral("/DAQ.ini"));
    const QString text = QStringLiteral("[AlarmMail]\nHost=%1\nPort=%2\nAccount=%3\nAuthCode=%4\nSenderName=%5\n")
                             .arg(account.Host).arg(account.Port).arg(account.User, account.AuthCode, account.SenderName);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) > 0 && file.flush();
}

void SmtpTestServer::readEvents()
{
    m_buffer += m_process.readAllStandardOutput();
    int end;
    while ((end = m_buffer.indexOf('\n')) >= 0) {
        const QByteArray line = m_buffer.left(end);
        m_buffer.remove(0, end + 1);
        const QJsonDocument document = QJsonDocument::fromJson(line);
        if (document.isObject())
            m_events << document.object();
    }
}

QList<QJsonObject> SmtpTestServer::events(int minMessages, int timeoutMs)
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

QList<QJsonObject> SmtpTestServer::onlyMessages(const QList<QJsonObject> &events)
{
    QList<QJsonObject> result;
    for (const QJsonObject &event : events) {
        if (event.value(QStringLiteral("event")).toString() == QLatin1String("message"))
            result << event;
    }
    return result;
}
