#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>

class QDateTime;
class QSslSocket;

// A minimal SMTP client for the alarm mails: one object is one connection over implicit TLS,
// opened and logged in (AUTH LOGIN) by the constructor, used for one or more mails and closed by
// the destructor. Every reply is read as complete lines and its code checked; the first
// unexpected code ends the transaction and is logged. All calls block the calling thread (running
// its events while they wait), so an object is created, used and destroyed in one worker thread,
// never in the GUI thread.
//
// The account comes from the group "AlarmMail" of the file "DAQ.ini" beside the database, read as
// plain texts; without a host, account and authorisation code no connection is attempted.
class ToolEmail : public QObject
{
    Q_OBJECT
public:
    struct Account {
        QString Host;
        quint16 Port = 465;
        QString User;          // the sender's address, also the SMTP user name
        QString AuthCode;      // the SMTP password; never logged
        QString SenderName;    // display name in the "from" header
        bool isComplete() const;
    };

    // "DAQ.ini" in the working directory, where "DAQ.db3" lives.
    static QString configPath();
    static Account loadAccount(const QString &path = configPath());

    // Certificates trusted in addition to the system's when verifying the server, for a server
    // whose certificate a private authority signed. Applies to objects created afterwards.
    static void setExtraCaCertificates(const QList<QSslCertificate> &certificates);
    // Replaces the check whether the computer has a network connection (tests use loopback
    // only); an empty function restores the default check.
    static void setNetworkOnlineCheck(const std::function<bool()> &check);
    static bool isNetworkOnline();

    // Set by the owner to give up: any wait (connection, handshake, reply) ends within 100 ms once
    // it is true.
    using CancelFlag = std::shared_ptr<const std::atomic_bool>;

    // Connects, greets and logs in with the configured account.
    explicit ToolEmail(CancelFlag cancel = {});
    explicit ToolEmail(const Account &account, CancelFlag cancel = {});
    ~ToolEmail() override;

    // True after a successful login while the connection holds.
    bool isReady() const { return m_ready; }

    // Sends one mail; false when the recipient is not a plain address or the server refuses any
    // step (then the transaction is reset so that the connection can go on).
    bool SendMail(const QByteArray &recipient, const QString &subject, const QString &body);
    // One mail per recipient, in order. Entries are trimmed and empty ones skipped; an address
    // that is not a plain address is refused and logged while the others still get their mail.
    // False when the network is offline, the login failed, no recipient remains, or any mail was
    // refused.
    bool SendToList(const QStringList &recipients, const QString &subject, const QString &body);

    // The message as sent after "data" (headers, empty line, dot-stuffed body, final dot line).
    static QByteArray buildMessage(const Account &account, const QByteArray &recipient,
                                   const QString &subject, const QString &body,
                                   const QDateTime &date);
    // A header text as is when it is plain printable ASCII, else as RFC 2047 encoded words.
    static QByteArray encodeHeaderText(const QString &text);
    static bool isPlainAddress(const QByteArray &address);

private:
    // How a wait ended: what it waited for holds, the socket failed or its time ran out, the owner
    // gave up, or the server sent what is no reply.
    enum class Wait { Ready, Failed, TimedOut, Cancelled, BadReply };
    // What the log gets of a refusal: the reply's text, nothing, or only its code (for replies
    // that may echo the credentials).
    enum class ReplyLog { Text, None, CodeOnly };

    void login();
    // Sends a command and reads the reply; true when its code is one of the expected ones. step
    // names the command in the log; the command itself is never logged. A reply that does not come
    // drops the connection.
    bool command(const QByteArray &data, const char *step, std::initializer_list<int> expected,
                 int timeoutMs, ReplyLog log = ReplyLog::Text);
    Wait readReply(int timeoutMs, ReplyLog log);
    // Runs this thread's events until ready() holds, the socket is unconnected, the owner gives up
    // or timeoutMs have passed. Every wait of the mailer goes through here, so each one ends
    // within 100 ms of the owner giving up.
    Wait waitFor(const std::function<bool()> &ready, int timeoutMs);
    void logFailure(const QString &what, Wait wait);
    void abandon();
    QByteArray heloName() const;

    bool cancelled() const { return m_cancel && m_cancel->load(); }

    QSslSocket *m_socket = nullptr;
    Account m_account;
    CancelFlag m_cancel;
    QByteArray m_reply;        // complete lines of the last reply
    QByteArray m_pending;      // bytes read beyond the last reply
    int m_replyCode = 0;
    bool m_ready = false;
    bool m_cancelLogged = false;
};
