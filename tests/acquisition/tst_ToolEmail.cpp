#include "acquisition/AcquisitionTiming.h"
#include "acquisition/ToolEmail.h"
#include "support/LogCapture.h"
#include "support/SmtpTestServer.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class tst_ToolEmail : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void configuredAccountSendsToEachRecipientInOrder();
    void longSubjectIsFoldedIntoEncodedWords();
    void wrongPasswordIsAFailure();
    void refusedRecipientFailsButOthersGetTheirMail();
    void invalidAddressesAreRefusedAndLogged();
    void ehloRefusedFallsBackToHelo();
    void unreachablePortLogsConnectionFailure();
    void untrustedCertificateIsRefused();
    void missingAccountAttemptsNothing();
    void offlineNetworkSendsNothing();

private:
    std::unique_ptr<SmtpTestServer> startServer(const SmtpTestServer::Options &options);

    QTemporaryDir m_dir;
    QString m_oldCwd;
    std::unique_ptr<SmtpTestServer> m_server;
};

std::unique_ptr<SmtpTestServer> tst_ToolEmail::startServer(const SmtpTestServer::Options &options)
{
    auto server = std::make_unique<SmtpTestServer>(options);
    QString error;
    if (!server->start(&error)) {
        qWarning().noquote() << error;
        return nullptr;
    }
    return server;
}

void tst_ToolEmail::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    AcquisitionTiming timing;
    timing.MailConnectMs = 3000;
    timing.MailHandshakeMs = 5000;
    timing.MailReplyMs = 5000;
    AcquisitionTiming::set(timing);
    ToolEmail::setNetworkOnlineCheck([] { return true; });
    m_server = startServer(SmtpTestServer::Options());
    QVERIFY(m_server);
}

void tst_ToolEmail::cleanupTestCase()
{
    ToolEmail::setExtraCaCertificates({});
    ToolEmail::setNetworkOnlineCheck({});
    AcquisitionTiming::set(AcquisitionTiming());
    QDir::setCurrent(m_oldCwd);
}

void tst_ToolEmail::init()
{
    ToolEmail::setExtraCaCertificates(m_server->caCertificates());
    ToolEmail::setNetworkOnlineCheck([] { return true; });
    QFile::remove(m_dir.filePath(QStringLiteral("DAQ.ini")));
}

void tst_ToolEmail::configuredAccountSendsToEachRecipientInOrder()
{
    QVERIFY(m_server->writeConfig(m_dir.path(), QStringLiteral("实验室 QNRIX")));
    const int before = m_server->messages().size();
    const QString body = QStringLiteral("2024-05-01 08:00:00\r\n1-3 低于下限:-0.001\r\n.hidden\r\n.\r\nend");
    LogCapture log;
    bool sent = false;
    {
        ToolEmail mail;
        QVERIFY(mail.isReady());
        sent = mail.SendToList({QStringLiteral(" first@lab.test "), QString(), QStringLiteral("second@lab.test")},
                               QStringLiteral("异常通知"), body);
    }
    QVERIFY2(sent, qPrintable(log.text()));

    const QList<QJsonObject> messages = m_server->messages(before + 2).mid(before);
    QCOMPARE(messages.size(), 2);
    const QStringList expectedRecipients{QStringLiteral("first@lab.test"), QStringLiteral("second@lab.test")};
    for (int i = 0; i < 2; ++i) {
        const QJsonObject m = messages.at(i);
        QCOMPARE(m.value("mail_from").toString(), QStringLiteral("alarm@lab.test"));
        QCOMPARE(m.value("rcpt_tos").toArray(), QJsonArray{expectedRecipients.at(i)});
        QCOMPARE(m.value("to").toString(), expectedRecipients.at(i));
        QCOMPARE(m.value("subject").toString(), QStringLiteral("异常通知"));
        QCOMPARE(m.value("from").toString(), QStringLiteral("实验室 QNRIX <alarm@lab.test>"));
        QCOMPARE(m.value("mime_version").toString(), QStringLiteral("1.0"));
        QCOMPARE(m.value("content_type").toString(), QStringLiteral("text/plain"));
        QCOMPARE(m.value("charset").toString(), QStringLiteral("utf-8"));
        QCOMPARE(m.value("cte").toString(), QStringLiteral("8bit"));
        // Dot-stuffed on the wire, so the lines that begin with a dot arrive whole.
        QCOMPARE(m.value("body").toString(), body + QStringLiteral("\r\n"));
        const QDateTime date = QDateTime::fromString(m.value("date").toString(), Qt::ISODate);
        QVERIFY(date.isValid());
        QVERIFY(qAbs(date.secsTo(QDateTime::currentDateTime())) < 120);

        const QByteArray raw = QByteArray::fromBase64(m.value("raw").toString().toLatin1());
        QVERIFY(raw.startsWith("from:"));
        QVERIFY(raw.contains("\r\nsubject:=?UTF-8?B?" + QStringLiteral("异常通知").toUtf8().toBase64() + "?=\r\n"));
        QVERIFY(raw.contains("\r\nto:" + expectedRecipients.at(i).toUtf8() + "\r\n"));
    }

    const QList<QJsonObject> events = m_server->events();
    bool sawEhlo = false, sawHelo = false;
    for (const QJsonObject &event : events) {
        sawEhlo |= event.value("event").toString() == QLatin1String("ehlo");
        sawHelo |= event.value("event").toString() == QLatin1String("helo");
    }
    QVERIFY(sawEhlo);
    QVERIFY(!sawHelo);
    // The authorisation code never reaches the log, neither plain nor in base64.
    QVERIFY(!log.contains(QStringLiteral("abcdefghijklmnop")));
    QVERIFY(!log.contains(QString::fromLatin1(QByteArray("abcdefghijklmnop").toBase64())));
}

void tst_ToolEmail::longSubjectIsFoldedIntoEncodedWords()
{
    const QString subject = QStringLiteral("异常通知：第一号恒温槽温度超出上限，请立即检查设备与传感器的连接状态以及冷却系统");
    const QByteArray encoded = ToolEmail::encodeHeaderText(subject);
    const QList<QByteArray> words = encoded.split('\n');
    QVERIFY(words.size() > 1);
    for (const QByteArray &word : words)
        QVERIFY2(word.trimmed().size() <= 75, word.constData());

    const int before = m_server->messages().size();
    {
        ToolEmail mail(m_server->account());
        QVERIFY(mail.SendToList({QStringLiteral("first@lab.test")}, subject, QStringLiteral("x")));
    }
    const QList<QJsonObject> messages = m_server->messages(before + 1).mid(before);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).value("subject").toString(), subject);
}

void tst_ToolEmail::wrongPasswordIsAFailure()
{
    ToolEmail::Account account = m_server->account();
    account.AuthCode = QStringLiteral("wrongwrongwrongx");
    const int before = m_server->messages().size();
    LogCapture log;
    {
        ToolEmail mail(account);
        QVERIFY(!mail.isReady());
        QVERIFY(!mail.SendToList({QStringLiteral("first@lab.test")}, QStringLiteral("异常通知"), QStringLiteral("x")));
    }
    QVERIFY2(log.contains(QStringLiteral("535")), qPrintable(log.text()));
    QVERIFY(!log.contains(QStringLiteral("wrongwrongwrongx")));
    QCOMPARE(m_server->messages().size(), before);
}

void tst_ToolEmail::refusedRecipientFailsButOthersGetTheirMail()
{
    SmtpTestServer::Options options;
    options.RefusedRecipients = QStringList{QStringLiteral("nobody@lab.test")};
    auto server = startServer(options);
    QVERIFY(server);
    ToolEmail::setExtraCaCertificates(server->caCertificates());
    LogCapture log;
    bool sent = true;
    {
        ToolEmail mail(server->account());
        sent = mail.SendToList({QStringLiteral("nobody@lab.test"), QStringLiteral("second@lab.test")},
                               QStringLiteral("异常通知"), QStringLiteral("x"));
    }
    QVERIFY(!sent);
    QVERIFY2(log.contains(QStringLiteral("550")), qPrintable(log.text()));
    const QList<QJsonObject> messages = server->messages(1);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).value("rcpt_tos").toArray(), QJsonArray{QStringLiteral("second@lab.test")});
}

void tst_ToolEmail::invalidAddressesAreRefusedAndLogged()
{
    QVERIFY(!ToolEmail::isPlainAddress(QByteArray()));
    const int before = m_server->messages().size();
    LogCapture log;
    bool sent = true;
    {
        ToolEmail mail(m_server->account());
        sent = mail.SendToList({QStringLiteral("evil@lab.test>\r\nrcpt to:<other@lab.test"),
                                QStringLiteral("two words@lab.test"), QStringLiteral("<angle@lab.test>"),
                                QStringLiteral("tab\t@lab.test"), QStringLiteral("ok@lab.test")},
                               QStringLiteral("异常通知"), QStringLiteral("x"));
    }
    QVERIFY(!sent);
    const QList<QJsonObject> messages = m_server->messages(before + 1).mid(before);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.at(0).value("rcpt_tos").toArray(), QJsonArray{QStringLiteral("ok@lab.test")});
    QCOMPARE(log.messages().filter(QStringLiteral("收件人地址无效")).size(), 4);
    // The refused text is logged escaped: no line break reaches the log.
    for (const QString &line : log.messages())
        QVERIFY(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
}

void tst_ToolEmail::ehloRefusedFallsBackToHelo()
{
    SmtpTestServer::Options options;
    options.RefuseEhlo = true;
    auto server = startServer(options);
    QVERIFY(server);
    ToolEmail::setExtraCaCertificates(server->caCertificates());
    {
        ToolEmail mail(server->account());
        QVERIFY(mail.isReady());
        QVERIFY(mail.SendToList({QStringLiteral("first@lab.test")}, QStringLiteral("异常通知"), QStringLiteral("x")));
    }
    QStringList order;
    for (const QJsonObject &event : server->events(1))
        order << event.value("event").toString();
    QCOMPARE(order, (QStringList{"ehlo", "helo", "auth", "message"}));
}

void tst_ToolEmail::unreachablePortLogsConnectionFailure()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    ToolEmail::Account account = m_server->account();
    account.Port = probe.serverPort();
    probe.close();

    LogCapture log;
    ToolEmail mail(account);
    QVERIFY(!mail.isReady());
    QVERIFY2(log.contains(QStringLiteral("连接失败: ")), qPrintable(log.text()));
    QVERIFY(!mail.SendToList({QStringLiteral("first@lab.test")}, QStringLiteral("异常通知"), QStringLiteral("x")));
}

void tst_ToolEmail::untrustedCertificateIsRefused()
{
    ToolEmail::setExtraCaCertificates({});
    const int before = m_server->events().size();
    LogCapture log;
    {
        ToolEmail mail(m_server->account());
        QVERIFY(!mail.isReady());
        QVERIFY(!mail.SendToList({QStringLiteral("first@lab.test")}, QStringLiteral("异常通知"), QStringLiteral("x")));
    }
    QVERIFY2(log.contains(QStringLiteral("加密连接失败: ")), qPrintable(log.text()));
    QCOMPARE(m_server->events().size(), before);
}

void tst_ToolEmail::missingAccountAttemptsNothing()
{
    const int before = m_server->events().size();
    LogCapture log;
    {
        ToolEmail mail; // no DAQ.ini in the working directory
        QVERIFY(!mail.isReady());
        QVERIFY(!mail.SendToList({QStringLiteral("first@lab.test")}, QStringLiteral("异常通知"), QStringLiteral("x")));
    }
    QVERIFY2(log.contains(QStringLiteral("未配置报警邮件账户")), qPrintable(log.text()));
    QVERIFY(log.contains(m_dir.filePath(QStringLiteral("DAQ.ini"))));
    QCOMPARE(m_server->events().size(), before);

    // A half-filled group is no account either.
    QFile ini(m_dir.filePath(QStringLiteral("DAQ.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[AlarmMail]\nHost=127.0.0.1\nAccount=alarm@lab.test\n");
    ini.close();
    QVERIFY(!ToolEmail::loadAccount().isComplete());
    QCOMPARE(ToolEmail::loadAccount().Port, quint16(465));

    // An account address that would break the dialogue is no account either.
    ToolEmail::Account account = m_server->account();
    account.User = QStringLiteral("alarm@lab.test>\r\nrcpt to:<x@lab.test");
    ToolEmail broken(account);
    QVERIFY(!broken.isReady());
    QVERIFY(log.contains(QStringLiteral("报警邮件账户地址无效")));
    QCOMPARE(m_server->events().size(), before);
}

void tst_ToolEmail::offlineNetworkSendsNothing()
{
    ToolEmail mail(m_server->account());
    QVERIFY(mail.isReady());
    ToolEmail::setNetworkOnlineCheck([] { return false; });
    const int before = m_server->messages().size();
    LogCapture log;
    QVERIFY(!mail.SendToList({QStringLiteral("first@lab.test")}, QStringLiteral("异常通知"), QStringLiteral("x")));
    QVERIFY(log.contains(QStringLiteral("网络未连接")));
    QCOMPARE(m_server->messages().size(), before);
}

QTEST_GUILESS_MAIN(tst_ToolEmail)
#include "tst_ToolEmail.moc"
