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

#include <memory>

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

} // namespace

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
        timing.MailConnectMs = 3000;
        timing.MailHandshakeMs = 5000;
        timing.MailReplyMs = 5000;
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
        QVERIFY2(send(ToolEmail::loadAccount(),
                      {QStringLiteral(" first@lab.test "), QString(), QStringLiteral("second@lab.test")}, kSubject,
                      body),
                 qPrintable(log.text()));

        const QList<QJsonObject> messages = m_server->messages(before + 2).mid(before);
        QCOMPARE(messages.size(), 2);
        const QStringList recipients{QStringLiteral("first@lab.test"), QStringLiteral("second@lab.test")};
        for (int i = 0; i < 2; ++i) {
            const QJsonObject m = messages.at(i);
            QCOMPARE(m.value("mail_from").toString(), QStringLiteral("alarm@lab.test"));
            QCOMPARE(m.value("rcpt_tos").toArray(), QJsonArray{recipients.at(i)});
            QCOMPARE(m.value("to").toString(), recipients.at(i));
            QCOMPARE(m.value("subject").toString(), kSubject);
            QCOMPARE(m.value("from").toString(), QStringLiteral("实验室 QNRIX <alarm@lab.test>"));
            QCOMPARE((QStringList{m.value("mime_version").toString(), m.value("content_type").toString(),
                                  m.value("charset").toString(), m.value("cte").toString()}),
                     (QStringList{"1.0", "text/plain", "utf-8", "8bit"}));
            // Dot-stuffed on the wire, so the lines that begin with a dot arrive whole.
            QCOMPARE(m.value("body").toString(), body + QStringLiteral("\r\n"));
            const QDateTime date = QDateTime::fromString(m.value("date").toString(), Qt::ISODate);
            QVERIFY(date.isValid() && qAbs(date.secsTo(QDateTime::currentDateTime())) < 120);
            const QByteArray raw = QByteArray::fromBase64(m.value("raw").toString().toLatin1());
            QVERIFY(raw.contains("\r\nsubject:=?UTF-8?B?" + kSubject.toUtf8().toBase64() + "?=\r\n"));
        }
        const QStringList events = eventNames(*m_server);
        QVERIFY(events.contains("ehlo") && !events.contains("helo"));
        // The authorisation code never reaches the log, neither plain nor in base64.
        QVERIFY(!log.contains(QStringLiteral("abcdefghijklmnop")));
        QVERIFY(!log.contains(QString::fromLatin1(QByteArray("abcdefghijklmnop").toBase64())));
    }

    // A server that refuses EHLO gets HELO; a long subject is folded into encoded words.
    void ehloRefusedFallsBackToHeloWithFoldedSubject()
    {
        const QString subject = QStringLiteral("异常通知：第一号恒温槽温度超出上限，请立即检查设备与传感器的连接状态以及冷却系统");
        const QList<QByteArray> words = ToolEmail::encodeHeaderText(subject).split('\n');
        QVERIFY(words.size() > 1);
        for (const QByteArray &word : words)
            QVERIFY2(word.trimmed().size() <= 75, word.constData());

        SmtpTestServer::Options options;
        options.RefuseEhlo = true;
        auto server = startServer(options);
        QVERIFY(server);
        QVERIFY(send(server->account(), {QStringLiteral("first@lab.test")}, subject));
        QCOMPARE(eventNames(*server, 1), (QStringList{"ehlo", "helo", "auth", "message"}));
        QCOMPARE(server->messages().value(0).value("subject").toString(), subject);
    }

    void wrongPasswordIsAFailure()
    {
        ToolEmail::Account account = m_server->account();
        account.AuthCode = QStringLiteral("wrongwrongwrongx");
        const int before = m_server->messages().size();
        LogCapture log;
        QVERIFY(!send(account));
        QVERIFY2(log.contains(QStringLiteral("535")), qPrintable(log.text()));
        QVERIFY(!log.contains(QStringLiteral("wrongwrongwrongx")));
        QCOMPARE(m_server->messages().size(), before);
    }

    // Addresses that would break the dialogue are refused and logged (escaped, on one line), a
    // recipient refused by the server fails the list; the others still get their mail.
    void badRecipientsFailButOthersGetTheirMail()
    {
        SmtpTestServer::Options options;
        options.RefusedRecipients = QStringList{QStringLiteral("nobody@lab.test")};
        auto server = startServer(options);
        QVERIFY(server);
        LogCapture log;
        QVERIFY(!send(server->account(),
                      {QStringLiteral("evil@lab.test>\r\nrcpt to:<other@lab.test"), QStringLiteral("two words@lab.test"),
                       QStringLiteral("<angle@lab.test>"), QStringLiteral("tab\t@lab.test"),
                       QStringLiteral("nobody@lab.test"), QStringLiteral("ok@lab.test")}));
        QVERIFY2(log.contains(QStringLiteral("550")), qPrintable(log.text()));
        QCOMPARE(log.messages().filter(QStringLiteral("收件人地址无效")).size(), 4);
        for (const QString &line : log.messages())
            QVERIFY(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
        const QList<QJsonObject> messages = server->messages(1);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.at(0).value("rcpt_tos").toArray(), QJsonArray{QStringLiteral("ok@lab.test")});
    }

    void closingTheMailerCancelsASilentServer()
    {
        SmtpTestServer::Options options;
        options.SilentAfterData = true;
        auto server = startServer(options);
        QVERIFY(server);
        QVERIFY(server->writeConfig(m_dir.path(), QStringLiteral("QNRIX")));
        // Replies may take minutes; closing gives the mail a short grace time, then cancels it.
        AcquisitionTiming timing = AcquisitionTiming::get();
        timing.MailReplyMs = 600000;
        timing.MailCloseGraceMs = 100;
        AcquisitionTiming::set(timing);

        LogCapture log;
        QElapsedTimer closing;
        {
            AlarmMailer mailer;
            mailer.sendAlarmMail(QStringLiteral("body"), {QStringLiteral("first@lab.test")});
            QTRY_VERIFY(eventNames(*server, 0).contains("data"));
            closing.start();
        }
        QVERIFY2(closing.elapsed() < 60000, qPrintable(QString::number(closing.elapsed())));
        QVERIFY2(log.contains(QStringLiteral("邮件发送已取消。")), qPrintable(log.text()));
    }

    // Nothing reaches the server: an unreachable port, an untrusted certificate, no account or an
    // unusable one, no network.
    void nothingSentWithoutPeerAccountOrNetwork()
    {
        const int before = m_server->events().size();
        const int messagesBefore = m_server->messages().size();
        LogCapture log;
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        ToolEmail::Account closedPort = m_server->account();
        closedPort.Port = probe.serverPort();
        probe.close();
        QVERIFY(!send(closedPort));
        QVERIFY2(log.contains(QStringLiteral("连接失败: ")), qPrintable(log.text()));

        ToolEmail::setExtraCaCertificates({});
        QVERIFY(!send(m_server->account()));
        QVERIFY2(log.contains(QStringLiteral("加密连接失败: ")), qPrintable(log.text()));
        ToolEmail::setExtraCaCertificates(m_server->caCertificates());

        QVERIFY(!send(ToolEmail::loadAccount())); // no DAQ.ini in the working directory
        QVERIFY2(log.contains(QStringLiteral("未配置报警邮件账户")), qPrintable(log.text()));
        QVERIFY(log.contains(m_dir.filePath(QStringLiteral("DAQ.ini"))));
        // A half-filled group is no account either.
        QFile ini(m_dir.filePath(QStringLiteral("DAQ.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write("[AlarmMail]\nHost=127.0.0.1\nAccount=alarm@lab.test\n") > 0);
        ini.close();
        QVERIFY(!ToolEmail::loadAccount().isComplete());
        QCOMPARE(ToolEmail::loadAccount().Port, quint16(465));
        // Nor is an account address that would break the dialogue.
        ToolEmail::Account account = m_server->account();
        account.User = QStringLiteral("alarm@lab.test>\r\nrcpt to:<x@lab.test");
        QVERIFY(!send(account));
        QVERIFY(log.contains(QStringLiteral("报警邮件账户地址无效")));
        QCOMPARE(m_server->events().size(), before);

        ToolEmail mail(m_server->account());
        QVERIFY(mail.isReady());
        ToolEmail::setNetworkOnlineCheck([] { return false; });
        QVERIFY(!mail.SendToList({QStringLiteral("first@lab.test")}, kSubject, QStringLiteral("x")));
        QVERIFY(log.contains(QStringLiteral("网络未连接")));
        QCOMPARE(m_server->messages().size(), messagesBefore);
    }
};

QTEST_GUILESS_MAIN(tst_ToolEmail)
#include "tst_ToolEmail.moc"
