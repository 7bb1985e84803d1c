#include "acquisition/AcquisitionTiming.h"
#include "acquisition/AlarmMailer.h"
#include "acquisition/ToolEmail.h"
#include "support/LogCapture.h"
#include "support/SmtpTestServer.h"
#include "support/TestWorkDir.h"

#include <QDateTime>
#include <QJsonArray>
#include <QTcpServer>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace {

const QString kSubject = QStringLiteral("异常通知");

// Sends through a connection of its own, closed before returning.
bool send(const ToolEmail::Account &account, const QStringList &recipients = {QStringLiteral("first@lab.test")},
          const QString &subject = kSubject, const QString &body = QStringLiteral("x"))
{
    ToolEmail mail(account);
    return mail.SendToList(recipients, subject, body);
}

QStringList eventNames(SmtpTestServer &server, int minMessages = 0)
{
    QStringList names;
    for (const QJsonObject &event : server.events(minMessages))
        names << event.value("event").toString();
    return names;
}

// Listens on 127.0.0.1 and never accepts; its accept queue is filled first, so the kernel drops
// the SYNs of any further client, whose connect then hangs. port() is 0 when that failed.
struct SynDropper {
    std::vector<int> fds;
    quint16 port = 0;
    explicit SynDropper(bool fill)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        auto *any = reinterpret_cast<sockaddr *>(&address);
        fds.push_back(::socket(AF_INET, SOCK_STREAM, 0));
        if (::bind(fds[0], any, size) != 0 || ::listen(fds[0], 0) != 0 || ::getsockname(fds[0], any, &size) != 0)
            return;
        for (int i = 0; fill && i < 16 && port == 0; ++i) { // until a connect no longer completes
            fds.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
            ::connect(fds.back(), any, size);
            pollfd writable{fds.back(), POLLOUT, 0};
            if (::poll(&writable, 1, 500) == 0)
                port = ntohs(address.sin_port);
        }
    }
    ~SynDropper()
    {
        for (const int fd : fds)
            ::close(fd);
    }
};

enum class Stall { DroppedSyn, NoTls, SilentServer };

} // namespace

Q_DECLARE_METATYPE(Stall)

class tst_ToolEmail : public QObject
{
    Q_OBJECT

    TestWorkDir m_dir{TestWorkDir::NoDatabase};
    std::unique_ptr<SmtpTestServer> m_server;

    // A peer with the given behaviour whose certificate the client trusts.
    std::unique_ptr<SmtpTestServer> startServer(const SmtpTestServer::Options &options)
    {
        auto server = std::make_unique<SmtpTestServer>(options);
        QString error;
        if (!server->start(&error)) {
            qWarning().noquote() << error;
            return nullptr;
        }
        ToolEmail::setExtraCaCertificates(server->caCertificates());
        return server;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_server = startServer(SmtpTestServer::Options());
        QVERIFY(m_server);
    }

    void init()
    {
        AcquisitionTiming timing;
        timing.MailConnectMs = timing.MailHandshakeMs = timing.MailReplyMs = 5000;
        AcquisitionTiming::set(timing);
        ToolEmail::setExtraCaCertificates(m_server->caCertificates());
        ToolEmail::setNetworkOnlineCheck([] { return true; });
        QFile::remove(m_dir.filePath(QStringLiteral("DAQ.ini")));
    }

    // The account of the configuration file; trimmed recipients, an empty one skipped; one
    // complete transaction each, in order, with the headers and a dot-stuffed UTF-8 body.
    void configuredAccountSendsToEachRecipientInOrder()
    {
        QVERIFY(m_server->writeConfig(m_dir.path(), QStringLiteral("实验室 QNRIX")));
        const int before = m_server->messages().size();
        const QString body = QStringLiteral("2024-05-01 08:00:00\r\n1-3 低于下限:-0.001\r\n.hidden\r\n.\r\nend");
        LogCapture log;
        QVERIFY2(send(ToolEmail::loadAccount(), {" first@lab.test ", QString(), "second@lab.test"}, kSubject, body), qPrintable(log.text()));

        const QList<QJsonObject> messages = m_server->messages(before + 2).mid(before);
        QCOMPARE(messages.size(), 2);
        const QStringList recipients{QStringLiteral("first@lab.test"), QStringLiteral("second@lab.test")};
        for (int i = 0; i < 2; ++i) {
            const QJsonObject m = messages.at(i);
            QStringList fields{m.value("rcpt_tos").toArray().first().toString() + QString::number(m.value("rcpt_tos").toArray().size())};
            for (const char *key : {"mail_from", "to", "subject", "from", "mime_version", "content_type", "charset", "cte", "body"})
                fields << m.value(key).toString();
            // The body is dot-stuffed on the wire, so the lines that begin with a dot arrive whole.
            QCOMPARE(fields, (QStringList{recipients.at(i) + "1", "alarm@lab.test", recipients.at(i), kSubject, "实验室 QNRIX <alarm@lab.test>",
                                          "1.0", "text/plain", "utf-8", "8bit", body + "\r\n"}));
            const QDateTime date = QDateTime::fromString(m.value("date").toString(), Qt::ISODate);
            QVERIFY(date.isValid() && qAbs(date.secsTo(QDateTime::currentDateTime())) < 120);
            const QByteArray raw = QByteArray::fromBase64(m.value("raw").toString().toLatin1());
            QVERIFY(raw.contains("\r\nsubject:=?UTF-8?B?" + kSubject.toUtf8().toBase64() + "?=\r\n"));
        }
        const QStringList events = eventNames(*m_server);
        QVERIFY(events.contains("ehlo") && !events.contains("helo"));
        // The authorisation code never reaches the log, neither plain nor in base64.
        QVERIFY(!log.contains("abcdefghijklmnop") && !log.contains(QByteArray("abcdefghijklmnop").toBase64()));
    }

    // A server that refuses EHLO gets HELO, a long subject is folded into encoded words; addresses
    // that would break the dialogue are refused and logged (escaped, on one line), a recipient
    // refused by the server fails the list; the others still get their mail.
    void heloFallbackAndBadRecipients()
    {
        const QString subject = QStringLiteral("异常通知：第一号恒温槽温度超出上限，请立即检查设备与传感器的连接状态以及冷却系统");
        SmtpTestServer::Options options;
        options.RefuseEhlo = true;
        options.RefusedRecipients = QStringList{QStringLiteral("nobody@lab.test")};
        auto server = startServer(options);
        QVERIFY(server);
        LogCapture log;
        QVERIFY(!send(server->account(),
                      {"evil@lab.test>\r\nrcpt to:<other@lab.test", "two words@lab.test", "<angle@lab.test>", "tab\t@lab.test",
                       "nobody@lab.test", "ok@lab.test"},
                      subject));
        QVERIFY2(log.contains(QStringLiteral("550")), qPrintable(log.text()));
        QCOMPARE(log.messages().filter(QStringLiteral("收件人地址无效")).size(), 4);
        for (const QString &line : log.messages())
            QVERIFY(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
        QCOMPARE(eventNames(*server, 1), (QStringList{"ehlo", "helo", "auth", "message"}));
        const QList<QJsonObject> messages = server->messages(1);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.at(0).value("rcpt_tos").toArray(), QJsonArray{QStringLiteral("ok@lab.test")});
        QCOMPARE(messages.at(0).value("subject").toString(), subject);
    }

    // A recipient the server forwards (251) gets the mail. A Chinese subject longer than one
    // encoded word is cut between characters wherever a word's byte limit falls (before a
    // character, after its first or after its second byte): each word decodes on its own to
    // whole characters, as mail readers decode them one by one.
    void forwardedRecipientAndLongChineseSubjects()
    {
        SmtpTestServer::Options options;
        options.ForwardedRecipients = QStringList{QStringLiteral("far@remote.test")};
        auto server = startServer(options);
        QVERIFY(server);
        const QString chinese = QStringLiteral("第一号恒温槽温度超出上限，请立即检查设备与传感器的连接");
        const QStringList subjects{chinese, "A" + chinese, "AB" + chinese};
        for (const QString &subject : subjects) {
            LogCapture log;
            QVERIFY2(send(server->account(), {"far@remote.test", "near@lab.test"}, subject), qPrintable(log.text()));
        }
        const QList<QJsonObject> messages = server->messages(6);
        QCOMPARE(messages.size(), 6);
        const QRegularExpression header(QStringLiteral("\r\nsubject:([^\r]*(?:\r\n [^\r]*)*)\r\n"));
        const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([A-Za-z0-9+/=]*)\\?="));
        for (int m = 0; m < messages.size(); ++m) {
            const QString subject = subjects.at(m / 2);
            QCOMPARE(messages.at(m).value("rcpt_tos").toArray(), QJsonArray{m % 2 ? "near@lab.test" : "far@remote.test"});
            QCOMPARE(messages.at(m).value("subject").toString(), subject);
            const QString raw = QString::fromLatin1(QByteArray::fromBase64(messages.at(m).value("raw").toString().toLatin1()));
            const QString folded = header.match(raw).captured(1);
            QStringList decoded;
            auto words = word.globalMatch(folded);
            while (words.hasNext()) {
                const QRegularExpressionMatch w = words.next();
                const QByteArray bytes = QByteArray::fromBase64(w.captured(1).toLatin1());
                QVERIFY2(w.capturedLength() <= 75 && QString::fromUtf8(bytes).toUtf8() == bytes, qPrintable(folded));
                decoded << QString::fromUtf8(bytes);
            }
            QVERIFY2(decoded.size() >= 2 && decoded.join(QString()) == subject, qPrintable(folded));
        }
    }

    void closingEndsAStuckMailWithinTheGraceTime_data()
    {
        QTest::addColumn<Stall>("stall");
        QTest::newRow("connect: SYN dropped") << Stall::DroppedSyn;
        QTest::newRow("handshake: TCP but no TLS") << Stall::NoTls;
        QTest::newRow("reply: silent after data") << Stall::SilentServer;
    }

    // Every wait may take a minute; closing gives the mail its grace time, then cancels it.
    void closingEndsAStuckMailWithinTheGraceTime()
    {
        QFETCH(Stall, stall);
        const auto dropper = std::make_unique<SynDropper>(stall == Stall::DroppedSyn);
        QTcpServer mute; // the kernel completes connections; nobody ever answers
        SmtpTestServer::Options silent;
        silent.SilentAfterData = true;
        auto server = stall == Stall::SilentServer ? startServer(silent) : nullptr;
        ToolEmail::Account account = server ? server->account() : m_server->account();
        if (stall != Stall::SilentServer)
            account.Port = stall == Stall::DroppedSyn ? dropper->port : (mute.listen(QHostAddress::LocalHost) ? mute.serverPort() : 0);
        QVERIFY(account.Port != 0 && SmtpTestServer::writeConfig(m_dir.path(), account));
        AcquisitionTiming timing;
        timing.MailConnectMs = timing.MailHandshakeMs = timing.MailReplyMs = 60000;
        timing.MailCloseGraceMs = 500;
        AcquisitionTiming::set(timing);

        LogCapture log;
        QElapsedTimer closing;
        {
            AlarmMailer mailer;
            mailer.sendAlarmMail(QStringLiteral("body"), {QStringLiteral("first@lab.test")});
            if (server)
                QTRY_VERIFY(eventNames(*server).contains("data"));
            closing.start();
        }
        // Still on its way after the grace time, then ended by the cancel.
        QVERIFY2(closing.elapsed() >= timing.MailCloseGraceMs && closing.elapsed() < timing.MailCloseGraceMs + 1000,
                 qPrintable(QString::number(closing.elapsed())));
        QVERIFY2(log.contains(QStringLiteral("邮件发送已取消。")), qPrintable(log.text()));
    }

    // An exception in a mail's thread ends that mail with a log line, not the program.
    void anExceptionEndsOnlyTheMail()
    {
        QVERIFY(m_server->writeConfig(m_dir.path(), QStringLiteral("QNRIX")));
        ToolEmail::setNetworkOnlineCheck([]() -> bool { throw std::runtime_error("interfaces unreadable"); });
        LogCapture log;
        AlarmMailer().sendAlarmMail(QStringLiteral("body"), {QStringLiteral("first@lab.test")});
        QVERIFY2(log.contains(QStringLiteral("AlarmMail stopped by an exception: interfaces unreadable")),
                 qPrintable(log.text()));
    }

    // The account file is plain text: crafted serialised values are taken literally (a huge
    // element count once aborted the program), hand-written layouts are read as written.
    void accountFileIsReadAsPlainText_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("expected"); // Host, Port, Account, AuthCode, SenderName

        // A serialised string list of 2^31 - 1 elements, and a serialised int.
        const QByteArray list = "@Variant(\\0\\0\\0\\xb\\x7f\\xff\\xff\\xff)";
        const QByteArray number = "@Variant(\\0\\0\\0\\x2\\0\\0\\x1\\xbb)";
        QTest::newRow("crafted values")
            << "[AlarmMail]\nHost=" + list + "\nPort=" + number + "\nAccount=a@lab.test\nAuthCode=" + list
                   + "\nSenderName=@ByteArray(x)\n"
            << QStringList{list, "465", "a@lab.test", list, "@ByteArray(x)"};
        QTest::newRow("hand-written, BOM, CR LF, comments")
            << QByteArray("\xEF\xBB\xBF; mail\r\n[Other]\r\nHost=wrong\r\n[AlarmMail]\r\n Host = smtp.lab.test \r\n"
                          "# port\r\nPort=587\r\nAccount=a@lab.test\r\nAuthCode=ab;c=d\r\nSenderName=实验室, QNRIX\r\n")
            << QStringList{"smtp.lab.test", "587", "a@lab.test", "ab;c=d", "实验室, QNRIX"};
    }

    void accountFileIsReadAsPlainText()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        QFile ini(m_dir.filePath(QStringLiteral("DAQ.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write(file) == file.size() && ini.flush());
        const ToolEmail::Account a = ToolEmail::loadAccount();
        QCOMPARE((QStringList{a.Host, QString::number(a.Port), a.User, a.AuthCode, a.SenderName}), expected);
    }

    // No mail: an unreachable port, an untrusted certificate, no account or an unusable one, a
    // refused login, no network.
    void nothingSentWithoutPeerAccountOrNetwork()
    {
        const int before = m_server->events().size(), messagesBefore = m_server->messages().size();
        LogCapture log;
        ToolEmail::Account account = m_server->account();
        {
            QTcpServer probe;
            account.Port = probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
        }
        QVERIFY(!send(account));
        QVERIFY2(log.contains(QStringLiteral("连接失败: ")), qPrintable(log.text()));

        ToolEmail::setExtraCaCertificates({});
        QVERIFY(!send(m_server->account()));
        QVERIFY2(log.contains(QStringLiteral("加密连接失败: ")), qPrintable(log.text()));
        ToolEmail::setExtraCaCertificates(m_server->caCertificates());

        QVERIFY(!send(ToolEmail::loadAccount())); // no DAQ.ini in the working directory
        QVERIFY2(log.contains(QStringLiteral("未配置报警邮件账户")), qPrintable(log.text()));
        QVERIFY(log.contains(m_dir.filePath(QStringLiteral("DAQ.ini"))));
        // Nor is an account address that would break the dialogue.
        account = m_server->account();
        account.User = QStringLiteral("alarm@lab.test>\r\nrcpt to:<x@lab.test");
        QVERIFY(!send(account) && log.contains(QStringLiteral("报警邮件账户地址无效")));
        QCOMPARE(m_server->events().size(), before);
        // A refused login; the peer echoes the credentials in its refusal, the log gets the code only.
        account = m_server->account();
        account.AuthCode = QStringLiteral("wrongwrongwrongx");
        QVERIFY(!send(account));
        QVERIFY2(log.contains(QStringLiteral("(AUTH 授权码): 535")) && !log.contains(QStringLiteral("wrongwrong")),
                 qPrintable(log.text()));

        ToolEmail mail(m_server->account());
        QVERIFY(mail.isReady());
        ToolEmail::setNetworkOnlineCheck([] { return false; });
        QVERIFY(!mail.SendToList({QStringLiteral("first@lab.test")}, kSubject, QStringLiteral("x")) && log.contains("网络未连接"));
        QCOMPARE(m_server->messages().size(), messagesBefore);
    }
};

QTEST_GUILESS_MAIN(tst_ToolEmail)
#include "tst_ToolEmail.moc"
