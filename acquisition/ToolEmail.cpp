#include "acquisition/ToolEmail.h"

#include "acquisition/AcquisitionTiming.h"
#include "common/PlainIni.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QHostAddress>
#include <QHostInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

#include <cctype>

namespace {

const char *const kConfigFile = "DAQ.ini";
const char *const kGroup = "AlarmMail";
const quint16 kDefaultPort = 465;
const char *const kDefaultSenderName = "QNRIX";
// Longest reply accepted from the server; anything longer is treated as a broken peer.
const int kMaxReplyBytes = 64 * 1024;
// Raw bytes per RFC 2047 word: 45 bytes give 60 base64 characters, 72 with the delimiters.
const int kEncodedWordBytes = 45;
// How often a wait looks at the owner's cancel flag.
const int kCancelPollMs = 100;

QMutex settingsMutex;
QList<QSslCertificate> extraCaCertificates;
std::function<bool()> networkOnlineCheck;

bool defaultNetworkOnline()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        const auto flags = iface.flags();
        if (flags.testFlag(QNetworkInterface::IsUp) && flags.testFlag(QNetworkInterface::IsRunning)
            && !flags.testFlag(QNetworkInterface::IsLoopBack) && !iface.addressEntries().isEmpty())
            return true;
    }
    return false;
}

// The reply as one log line: line ends removed, continuation lines joined with " | ".
QString replyText(const QByteArray &reply)
{
    QList<QByteArray> lines = reply.split('\n');
    QStringList parts;
    for (QByteArray &line : lines) {
        line = line.trimmed();
        if (!line.isEmpty())
            parts << QString::fromUtf8(line);
    }
    return parts.join(QStringLiteral(" | "));
}

bool isPrintableAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

// A display name as a phrase: plain atoms stay, other ASCII becomes a quoted string, anything
// else becomes encoded words.
QByteArray displayName(const QString &name)
{
    if (!isPrintableAscii(name) || name.contains(QLatin1String("=?")))
        return ToolEmail::encodeHeaderText(name);
    static const QRegularExpression specials(QStringLiteral("[()<>\\[\\]:;@\\\\,.\"]"));
    if (!name.contains(specials))
        return name.toLatin1();
    QString quoted = name;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return '"' + quoted.toLatin1() + '"';
}

// A host name usable after EHLO/HELO: letters, digits and hyphens in dot-separated labels.
bool isDomainName(const QString &name)
{
    static const QRegularExpression domain(QStringLiteral(
        "^[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?(\\.[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?)*$"));
    return name.size() <= 253 && domain.match(name).hasMatch();
}

} // namespace

bool ToolEmail::Account::isComplete() const
{
    return !Host.trimmed().isEmpty() && !User.trimmed().isEmpty() && !AuthCode.isEmpty() && Port != 0;
}

QString ToolEmail::configPath()
{
    return QDir::current().absoluteFilePath(QString::fromLatin1(kConfigFile));
}

ToolEmail::Account ToolEmail::loadAccount(const QString &path)
{
    // Plain texts only: a value is never deserialised, whatever the file holds.
    const QHash<QString, QString> ini = readPlainIni(path);
    const auto value = [&ini](const char *key) {
        return ini.value(QLatin1String(kGroup) + QLatin1Char('/') + QLatin1String(key));
    };
    Account account;
    account.Host = value("Host");
    account.User = value("Account");
    account.AuthCode = value("AuthCode");
    account.SenderName = ini.value(QLatin1String(kGroup) + QLatin1String("/SenderName"),
                                   QString::fromLatin1(kDefaultSenderName));
    const QString portText = value("Port");
    bool portOk = portText.isEmpty();
    if (!portOk) {
        const int port = portText.toInt(&portOk);
        portOk = portOk && port > 0 && port <= 65535;
        if (portOk)
            account.Port = quint16(port);
    }
    if (!portOk)
        qWarning().noquote() << QStringLiteral("邮件端口设置无效，使用 %1: ").arg(kDefaultPort) + path;
    return account;
}

void ToolEmail::setExtraCaCertificates(const QList<QSslCertificate> &certificates)
{
    QMutexLocker lock(&settingsMutex);
    extraCaCertificates = certificates;
}

void ToolEmail::setNetworkOnlineCheck(const std::function<bool()> &check)
{
    QMutexLocker lock(&settingsMutex);
    networkOnlineCheck = check;
}

bool ToolEmail::isNetworkOnline()
{
    std::function<bool()> check;
    {
        QMutexLocker lock(&settingsMutex);
        check = networkOnlineCheck;
    }
    return check ? check() : defaultNetworkOnline();
}

ToolEmail::ToolEmail(CancelFlag cancel)
    : ToolEmail(loadAccount(), std::move(cancel))
{
}

ToolEmail::ToolEmail(const Account &account, CancelFlag cancel)
    : m_account(account)
    , m_cancel(std::move(cancel))
{
    if (!m_account.isComplete()) {
        qWarning().noquote() << QStringLiteral("未配置报警邮件账户(主机、账户、授权码)，不发送邮件: ")
                                    + configPath();
        return;
    }
    if (!isPlainAddress(m_account.User.toUtf8())) {
        qWarning() << "报警邮件账户地址无效，不发送邮件:" << m_account.User;
        return;
    }
    if (!isNetworkOnline()) {
        qWarning().noquote() << QStringLiteral("网络未连接，不连接邮件服务器。");
        return;
    }
    const AcquisitionTiming timing = AcquisitionTiming::get();

    m_socket = new QSslSocket(this);
    QList<QSslCertificate> extra;
    {
        QMutexLocker lock(&settingsMutex);
        extra = extraCaCertificates;
    }
    if (!extra.isEmpty()) {
        QSslConfiguration configuration = m_socket->sslConfiguration();
        configuration.addCaCertificates(extra);
        m_socket->setSslConfiguration(configuration);
    }
    m_socket->connectToHostEncrypted(m_account.Host, m_account.Port);

    // Connected first (the handshake starts then), encrypted next; a socket that falls back to
    // the unconnected state has failed.
    Wait wait = waitFor([this] { return m_socket->state() == QAbstractSocket::ConnectedState; },
                        timing.MailConnectMs);
    if (wait != Wait::Ready) {
        logFailure(QStringLiteral("连接失败: "), wait);
        abandon();
        return;
    }
    wait = waitFor([this] { return m_socket->isEncrypted(); }, timing.MailHandshakeMs);
    if (wait != Wait::Ready) {
        logFailure(QStringLiteral("加密连接失败: "), wait);
        abandon();
        return;
    }
    wait = readReply(timing.MailReplyMs, ReplyLog::Text);
    if (wait != Wait::Ready) {
        logFailure(QStringLiteral("读取响应失败: "), wait);
        abandon();
        return;
    }
    if (m_replyCode != 220) {
        qWarning().noquote() << QStringLiteral("邮件服务器拒绝连接: ") + replyText(m_reply);
        return;
    }
    login();
}

ToolEmail::~ToolEmail()
{
    if (m_socket && m_socket->state() == QAbstractSocket::ConnectedState && m_socket->isEncrypted()) {
        // Another reply than 221 is logged by command().
        if (command("quit\r\n", "quit", {221}, AcquisitionTiming::get().MailQuitMs))
            qDebug().noquote() << QStringLiteral("邮件服务器: ") + replyText(m_reply);
    }
    abandon();
}

void ToolEmail::login()
{
    const int timeout = AcquisitionTiming::get().MailReplyMs;
    const QByteArray name = heloName();
    // AUTH is an extension of EHLO; HELO is only the fall-back for servers that refuse EHLO.
    if (!command("EHLO " + name + "\r\n", "EHLO", {250}, timeout, ReplyLog::None)) {
        if (m_replyCode < 500 || m_replyCode > 599) {
            if (m_replyCode != 0)
                qWarning().noquote() << QStringLiteral("邮件服务器拒绝(EHLO): ") + replyText(m_reply);
            return;
        }
        if (!command("HELO " + name + "\r\n", "HELO", {250}, timeout))
            return;
    }
    // A server may echo what it was given: replies to the AUTH steps are logged by their code only.
    if (!command("AUTH LOGIN\r\n", "AUTH LOGIN", {334}, timeout, ReplyLog::CodeOnly)
        || !command(m_account.User.toUtf8().toBase64() + "\r\n", "AUTH 账户", {334}, timeout, ReplyLog::CodeOnly)
        || !command(m_account.AuthCode.toUtf8().toBase64() + "\r\n", "AUTH 授权码", {235}, timeout,
                    ReplyLog::CodeOnly))
        return;
    m_ready = true;
    qDebug().noquote() << QStringLiteral("邮件服务器登录成功: %1").arg(m_replyCode);
}

bool ToolEmail::command(const QByteArray &data, const char *step, std::initializer_list<int> expected,
                        int timeoutMs, ReplyLog log)
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
    m_socket->write(data);
    const Wait wait = readReply(timeoutMs, log);
    if (wait != Wait::Ready) {
        logFailure(QStringLiteral("读取响应失败(%1): ").arg(QString::fromUtf8(step)), wait);
        abandon();
        return false;
    }
    for (const int code : expected) {
        if (code == m_replyCode)
            return true;
    }
    if (log != ReplyLog::None) {
        qWarning().noquote() << QStringLiteral("邮件服务器拒绝(%1): ").arg(QString::fromUtf8(step))
                                    + (log == ReplyLog::Text ? replyText(m_reply) : QString::number(m_replyCode));
    }
    return false;
}

ToolEmail::Wait ToolEmail::waitFor(const std::function<bool()> &ready, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    // Wakes this thread's event loop, so the cancel flag and the deadline are looked at within a
    // short time however silent the socket is.
    QTimer tick;
    tick.start(kCancelPollMs);
    for (;;) {
        if (ready())
            return Wait::Ready;
        if (cancelled())
            return Wait::Cancelled;
        if (m_socket->state() == QAbstractSocket::UnconnectedState)
            return Wait::Failed;
        if (deadline.hasExpired())
            return Wait::TimedOut;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void ToolEmail::logFailure(const QString &what, Wait wait)
{
    if (wait == Wait::Cancelled) {
        if (!m_cancelLogged)
            qWarning().noquote() << QStringLiteral("邮件发送已取消。");
        m_cancelLogged = true;
        return;
    }
    if (wait == Wait::BadReply)
        return; // already logged by readReply
    qWarning().noquote() << what + (wait == Wait::TimedOut ? QStringLiteral("超时") : m_socket->errorString());
}

ToolEmail::Wait ToolEmail::readReply(int timeoutMs, ReplyLog log)
{
    m_reply.clear();
    m_replyCode = 0;
    bool bad = false;
    // Takes in what has arrived; true once a last reply line (code and space) or a fault is seen.
    const auto complete = [&]() {
        m_pending += m_socket->readAll();
        int end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            const QByteArray line = m_pending.left(end + 1);
            m_pending.remove(0, end + 1);
            m_reply += line;
            QByteArray text = line;
            while (text.endsWith('\n') || text.endsWith('\r'))
                text.chop(1);
            const bool hasCode = text.size() >= 3 && std::isdigit(uchar(text[0]))
                                 && std::isdigit(uchar(text[1])) && std::isdigit(uchar(text[2]));
            if (!hasCode || (text.size() > 3 && text[3] != ' ' && text[3] != '-')) {
                qWarning().noquote() << QStringLiteral("邮件服务器应答格式错误")
                                            + (log == ReplyLog::Text ? QStringLiteral(": ") + replyText(line)
                                                                     : QString());
                bad = true;
                return true;
            }
            if (text.size() == 3 || text[3] == ' ') {
                m_replyCode = text.left(3).toInt();
                return true;
            }
        }
        if (m_reply.size() + m_pending.size() > kMaxReplyBytes) {
            qWarning().noquote() << QStringLiteral("邮件服务器应答过长。");
            bad = true;
            return true;
        }
        return false;
    };
    const Wait wait = waitFor(complete, timeoutMs);
    return bad ? Wait::BadReply : wait;
}

void ToolEmail::abandon()
{
    m_ready = false;
    if (m_socket)
        m_socket->abort();
}

QByteArray ToolEmail::heloName() const
{
    const QString host = QHostInfo::localHostName();
    if (isDomainName(host))
        return host.toLatin1();
    // An address literal when the computer's name is no domain name.
    const QHostAddress local = m_socket->localAddress();
    if (local.protocol() == QAbstractSocket::IPv6Protocol)
        return "[IPv6:" + local.toString().toLatin1() + "]";
    return "[" + local.toString().toLatin1() + "]";
}

bool ToolEmail::SendMail(const QByteArray &recipient, const QString &subject, const QString &body)
{
    if (!isPlainAddress(recipient)) {
        qWarning() << "收件人地址无效，不发送:" << QString::fromUtf8(recipient);
        return false;
    }
    if (!m_ready)
        return false;
    const int timeout = AcquisitionTiming::get().MailReplyMs;
    const bool sent =
        command("mail from:<" + m_account.User.toUtf8() + ">\r\n", "mail from", {250}, timeout)
        && command("rcpt to:<" + recipient + ">\r\n", "rcpt to", {250, 251}, timeout)
        && command("data\r\n", "data", {354}, timeout)
        && command(buildMessage(m_account, recipient, subject, body, QDateTime::currentDateTime()),
                   "邮件内容", {250}, timeout);
    if (!sent && m_ready && !command("RSET\r\n", "RSET", {250}, timeout))
        abandon();
    return sent;
}

bool ToolEmail::SendToList(const QStringList &recipients, const QString &subject, const QString &body)
{
    if (!isNetworkOnline()) {
        qWarning().noquote() << QStringLiteral("网络未连接，报警邮件未发送。");
        return false;
    }
    if (!m_ready) {
        qWarning().noquote() << QStringLiteral("未登录邮件服务器，报警邮件未发送。");
        return false;
    }
    bool allSent = true;
    int addressed = 0;
    for (const QString &entry : recipients) {
        const QString address = entry.trimmed();
        if (address.isEmpty())
            continue;
        ++addressed;
        if (!m_ready) {
            qWarning() << "与邮件服务器的连接已断开，未发送给:" << address;
            allSent = false;
            continue;
        }
        if (!SendMail(address.toUtf8(), subject, body))
            allSent = false;
    }
    if (addressed == 0) {
        qWarning().noquote() << QStringLiteral("没有收件人，报警邮件未发送。");
        return false;
    }
    return allSent;
}

QByteArray ToolEmail::buildMessage(const Account &account, const QByteArray &recipient,
                                   const QString &subject, const QString &body, const QDateTime &date)
{
    QByteArray message;
    message += "from:";
    if (!account.SenderName.isEmpty())
        message += displayName(account.SenderName) + ' ';
    message += '<' + account.User.toUtf8() + ">\r\n";
    message += "to:" + recipient + "\r\n";
    message += "subject:" + encodeHeaderText(subject) + "\r\n";
    message += "Date: " + date.toString(Qt::RFC2822Date).toLatin1() + "\r\n";
    message += "MIME-Version: 1.0\r\n";
    message += "Content-Type: text/plain; charset=UTF-8\r\n";
    message += "Content-Transfer-Encoding: 8bit\r\n";
    message += "\r\n";

    QString text = body;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1Char('.')))
            message += '.';
        message += line.toUtf8() + "\r\n";
    }
    message += ".\r\n";
    return message;
}

QByteArray ToolEmail::encodeHeaderText(const QString &text)
{
    if (isPrintableAscii(text) && !text.contains(QLatin1String("=?")))
        return text.toLatin1();
    const QByteArray utf8 = text.toUtf8();
    QList<QByteArray> words;
    int start = 0;
    while (start < utf8.size()) {
        int end = qMin(start + kEncodedWordBytes, utf8.size());
        // Never split a character: back off over continuation bytes.
        while (end < utf8.size() && end > start + 1 && (uchar(utf8[end]) & 0xC0) == 0x80)
            --end;
        words << "=?UTF-8?B?" + utf8.mid(start, end - start).toBase64() + "?=";
        start = end;
    }
    return words.join("\r\n ");
}

bool ToolEmail::isPlainAddress(const QByteArray &address)
{
    if (address.isEmpty())
        return false;
    for (const char c : address) {
        const uchar u = uchar(c);
        if (u <= 0x20 || u == 0x7f || c == '<' || c == '>')
            return false;
    }
    return true;
}
