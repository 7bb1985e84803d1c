// The temperature sources (dry-well and bath, each also as its own reference type) against a
// simulated instrument over TCP and a pseudo-terminal; the choice of class by type text.
#include "SourceTestHelpers.h"

#include "calibration/FieldDryR.h"
#include "calibration/FieldTankR.h"
#include "support/LogCapture.h"
#include "support/SocatPtyPair.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>

using Answers = QList<QByteArray>;
using Sim = InstrumentSimulator;

namespace {
Sim::Dialect dialectOf(const QString &type)
{
    return type.startsWith(QLatin1String("QNVA")) ? Sim::Dialect::Bath : Sim::Dialect::DryWell;
}

Answers times(int n, const QByteArray &answer)
{
    return QVector<QByteArray>(n, answer).toList();
}

void slowReplies()
{
    CommTiming slow = fastTiming();
    slow.dryWellReplyPolls = slow.bathReplyPolls = 5000; // 10 s
    CommTiming::set(slow);
}
}

class tst_Field : public QObject
{
    Q_OBJECT

private slots:
    void init() { CommTiming::set(fastTiming()); }
    void cleanupTestCase() { CommTiming::reset(); }

    void create()
    {
        QStringList classes;
        for (const char *type : {"QNVA", "QNVA-R", "QNLK", "QNLK-R", "Other"}) {
            std::unique_ptr<Field> field(Field::Create(type));
            classes << (field ? QString::fromLatin1(field->metaObject()->className()) : QString());
        }
        QCOMPARE(classes, QStringList({"FieldTank", "FieldTankR", "FieldDry", "FieldDryR", ""}));
    }

    // One query (identity through Open, temperature or stability) answered by the scripted
    // replies: its result as text, and how often the command went out.
    void query_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("command");
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QString>("expected"); // ok or failed | the result as text | how often the command went out
        const QString stab = QStringLiteral("SOUR1:STAB:TEST?");
        auto row = [](const char *name) { return std::ref(QTest::newRow(name)); };
        row("dry-well id: the line less its last two characters")
            << "QNLK" << "*IDN?" << Answers{} << "ok|KOVRA-ELEC,QNLK-350H,D1234,V1|1";
        row("dry-well id: wrong start, silence, line ends only, no more tries")
            << "QNLK-R" << "*IDN?" << Answers{"ACME,QNLK\r\n", "", "\r\n", "KOVRA-ELEC,A7\r\n"} << "failed|ID Error|3";
        row("dry-well id: third try")
            << "QNLK" << "*IDN?" << Answers{"\r\n", "x\r\n", "KOVRA-ELEC12\r\n"} << "ok|KOVRA-ELEC|3";
        row("bath id: after the first colon, third try")
            << "QNVA-R" << "sn" << Answers{"SN:1\r\n", "", "sn:QNVA-80DL:7\r\n"} << "ok|QNVA-80DL:7|3";
        row("bath id: never sn:")
            << "QNVA" << "sn" << Answers{"s:1\r\n", "n:1\r\n", "xsn:1\r\n"} << "failed|ID Error|3";
        row("dry-well t") << "QNLK" << "t" << Answers{" 23.456\r\n"} << "ok|23.456|1";
        row("dry-well reference READ?") << "QNLK-R" << "READ?" << Answers{"-5.25\r\n"} << "ok|-5.25|1";
        row("dry-well t: no number") << "QNLK" << "t" << Answers{"Err-3\r\n"} << "failed||1";
        row("dry-well t: nan") << "QNLK-R" << "READ?" << Answers{"nan\r\n"} << "failed||1";
        row("dry-well t: infinite") << "QNLK" << "t" << Answers{"inf\r\n"} << "failed||1";
        row("bath r: spaces and C removed, third try")
            << "QNVA" << "r" << Answers{"t:1\r\n", "", "r: -25.03 C\r\n"} << "ok|-25.03|3";
        row("bath r: never r:") << "QNVA" << "r" << times(3, "x\r\n") << "failed||3";
        row("bath r: no number") << "QNVA-R" << "r" << Answers{"r: --- C\r\n"} << "failed||1";
        row("dry-well stability: space and 0") << "QNLK" << stab << Answers{" 0\r\n"} << "ok|0|1";
        row("dry-well stability: 0.00") << "QNLK" << stab << Answers{"0.00\r\n"} << "ok|0|1";
        row("dry-well stability: 2") << "QNLK-R" << stab << Answers{"2\r\n"} << "ok|1|1";
        row("dry-well stability: no number, not stable") << "QNLK" << stab << Answers{"BUSY\r\n"} << "ok|0|1";
        row("dry-well stability: silence") << "QNLK" << stab << Answers{""} << "failed||1";
        row("bath stability: st:1") << "QNVA" << "st" << Answers{"st:1\r\n"} << "ok|1|1";
        row("bath stability: st:0") << "QNVA-R" << "st" << Answers{"st:0\r\n"} << "ok|0|1";
        row("bath stability: st: 1") << "QNVA" << "st" << Answers{"st: 1\r\n"} << "ok|0|1";
        row("bath stability: other prefix") << "QNVA" << "st" << times(3, "s:1\r\n") << "failed||3";
    }
    void query()
    {
        QFETCH(QString, type);
        QFETCH(QString, command);
        QFETCH(Answers, answers);
        Sim sim(dialectOf(type));
        std::unique_ptr<Field> field(Field::Create(type));
        QString text;
        bool ok = false;
        if (command == QLatin1String("*IDN?") || command == QLatin1String("sn")) {
            sim.script(command, answers);
            ok = openOverTcp(*field, sim, text);
            QTRY_COMPARE(field->IsOpen(), ok); // a failed Open does not wait for the close
        } else {
            QVERIFY(openOverTcp(*field, sim, text));
            sim.script(command, answers);
            text.clear();
            double t = 0.0;
            bool stable = false;
            const bool temperature = QStringList{"t", "READ?", "r"}.contains(command);
            ok = resultInWorker([&]() { return temperature ? field->ReadTemp(t) : field->IsStable(stable); });
            if (ok)
                text = temperature ? QString::number(t) : QString::number(int(stable));
        }
        QTEST(QStringList({ok ? "ok" : "failed", text, QString::number(sim.commands.count(command))}).join('|'), "expected");
        QVERIFY(closeInWorker(*field));
    }

    // Dry-well: up to three writes, each read back once, equal to the two-decimal text exactly.
    // Bath: up to three writes, each followed by up to three read-backs within 0.01 of the set point.
    void setPoint_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<double>("t");
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QString>("expected"); // ok or failed | the set point written | writes | read-backs
        auto row = [](const char *name) { return std::ref(QTest::newRow(name)); };
        row("dry-well: 25.004 written and read back as 25.00")
            << "QNLK" << 25.004 << Answers{" 25.0 \r\n"} << "ok|s 25.00|1|1";
        row("dry-well: negative") << "QNLK" << -10.0 << Answers{} << "ok|s -10.00|1|1";
        row("dry-well: silence, then right")
            << "QNLK-R" << 25.0 << Answers{"", "25.00\r\n"} << "ok|s 25.00|2|2";
        row("dry-well: 0.01 off is off") << "QNLK" << 25.004 << times(3, "25.01\r\n") << "failed|s 25.00|3|3";
        row("dry-well: no number is no match, even for 0.00")
            << "QNLK" << 0.0 << times(3, "--\r\n") << "failed|s 0.00|3|3";
        row("bath: 25.004 read back as 25.00")
            << "QNVA" << 25.004 << Answers{"set: 25.00 C\r\n"} << "ok|s=25.00|1|1";
        row("bath: negative") << "QNVA" << -10.0 << Answers{} << "ok|s=-10.00|1|1";
        row("bath: 0.01 off is within")
            << "QNVA-R" << 25.0 << Answers{"set: 25.01 C\r\n"} << "ok|s=25.00|1|1";
        row("bath: second write after three bad read-backs")
            << "QNVA" << 25.0 << Answers{"st:1\r\n", "", "set: 24.98 C\r\n", "set: 25.00 C\r\n"} << "ok|s=25.00|2|4";
        row("bath: 0.02 off, 3 writes, 9 read-backs")
            << "QNVA" << 25.0 << times(9, "set: 25.02 C\r\n") << "failed|s=25.00|3|9";
        row("bath: a set point that is no number is not sent")
            << "QNVA" << qQNaN() << Answers{} << "failed|s=nan|0|0";
        row("bath: no number is no match, even for 0.00")
            << "QNVA" << 0.0 << times(9, "set: ? C\r\n") << "failed|s=0.00|3|9";
    }
    void setPoint()
    {
        QFETCH(QString, type);
        QFETCH(double, t);
        QFETCH(Answers, answers);
        QFETCH(QString, expected);
        Sim sim(dialectOf(type));
        sim.script("s", answers);
        std::unique_ptr<Field> field(Field::Create(type));
        QString sn;
        QVERIFY(openOverTcp(*field, sim, sn));
        const bool ok = resultInWorker([&]() { return field->SetTemp(t); });
        const QString written = expected.section('|', 1, 1);
        const int writes = sim.commands.count(written);
        QCOMPARE(QStringList({ok ? "ok" : "failed", written, QString::number(writes), QString::number(sim.commands.count("s"))}).join('|'),
                 expected);
        QCOMPARE(sim.received.contains(written.toLatin1() + "\r\ns\r\n"), writes > 0);
        QVERIFY(closeInWorker(*field));
    }

    // Serial: identity, set-up lines, a split and late temperature reply, a set point, close;
    // every byte on the wire checked.
    void serialOverPseudoTerminal_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("dry-well") << "QNLK-R" << QByteArray("*IDN?\r\nOUTP:STAT 1\r\nu C\r\nREAD?\r\ns 99.88\r\ns\r\n");
        QTest::newRow("bath")
            << "QNVA-R" << QByteArray("sn\r\nlf=on\r\nu=C\r\nsa=n\r\npc=s\r\nco=au\r\nhg=auto\r\nr\r\ns=99.88\r\ns\r\n");
    }
    void serialOverPseudoTerminal()
    {
        QFETCH(QString, type);
        QFETCH(QByteArray, wire);
        SocatPtyPair pty;
        QVERIFY(pty.start());
        Sim sim(dialectOf(type));
        QVERIFY(sim.attach(pty.second()));
        sim.temperature = QStringLiteral("99.875");
        sim.splitAt = 4;
        sim.delayMs = 100;
        std::unique_ptr<Field> field(Field::Create(type));
        QString sn;
        double t = 0.0;
        QVERIFY(resultInWorker([&]() {
            return field->Open(ToolComm::SerialText, pty.first(), "9600", sn) && field->Init() && field->ReadTemp(t)
                && field->SetTemp(t);
        }));
        QCOMPARE(t, 99.875);
        QCOMPARE(sim.received, wire);
        QVERIFY(closeInWorker(*field));
        QVERIFY(!field->IsOpen());
    }

    // Opening an open source: the dry-well connects anew and identifies the new instrument
    // without losing its first query; the bath refuses and leaves sn alone.
    void reopen_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("sn");
        QTest::newRow("dry-well") << "QNLK" << true << "KOVRA-ELEC,SECOND";
        QTest::newRow("bath") << "QNVA" << false << "kept";
    }
    void reopen()
    {
        QFETCH(QString, type);
        QFETCH(bool, ok);
        QFETCH(QString, sn);
        Sim first(dialectOf(type)), second(dialectOf(type));
        second.identity = QStringLiteral("KOVRA-ELEC,SECOND..");
        std::unique_ptr<Field> field(Field::Create(type));
        QString text;
        QVERIFY(openOverTcp(*field, first, text));
        slowReplies();
        QElapsedTimer clock;
        clock.start();
        text = QStringLiteral("kept");
        QCOMPARE(openOverTcp(*field, second, text), ok);
        QCOMPARE(text, sn);
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE(first.linked(), !ok);
        QVERIFY(closeInWorker(*field));
    }

    // A reply without its line end times out, logs what came and leaves nothing behind for the
    // next exchange; a reply of line ends only fails without waiting for the time-out.
    void readFailures()
    {
        Sim sim(Sim::Dialect::DryWell);
        sim.script("t", {"23.4", "\r\n"});
        FieldDry field;
        QString sn;
        QVERIFY(openOverTcp(field, sim, sn));
        LogCapture log;
        double t = 0.0;
        QVERIFY(!resultInWorker([&]() { return field.ReadTemp(t); }));
        QVERIFY2(log.contains(QStringLiteral("读取失败：\"23.4\"")), qPrintable(log.text()));
        slowReplies();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!resultInWorker([&]() { return field.ReadTemp(t); }));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(resultInWorker([&]() { return field.ReadTemp(t); }));
        QCOMPARE(t, 25.0);
        QVERIFY(closeInWorker(field));
    }

    // An instrument that hangs up right after answering the identity query: the source is not
    // open, Open fails as for a wrong identity, and the next exchange fails at its first send.
    void linkDroppedAfterIdentity_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("command");
        QTest::newRow("dry-well") << "QNLK" << "*IDN?";
        QTest::newRow("bath") << "QNVA-R" << "sn";
    }
    void linkDroppedAfterIdentity()
    {
        QFETCH(QString, type);
        QFETCH(QString, command);
        // The first look for the reply comes after the hang-up has reached the transport.
        CommTiming timing = fastTiming();
        timing.lineReplyPollMs = 500;
        CommTiming::set(timing);
        Sim sim(dialectOf(type));
        sim.dropAfter = command;
        std::unique_ptr<Field> field(Field::Create(type));
        QString sn;
        const QString port = QString::number(sim.listen());
        QVERIFY(!resultInWorker([&]() { return field->Open(ToolComm::TcpText, QStringLiteral("127.0.0.1"), port, sn); }));
        QCOMPARE(sn, QStringLiteral("ID Error"));
        QCOMPARE(sim.commands, QStringList{command});
        QVERIFY(!field->IsOpen());
        QVERIFY(!resultInWorker([&]() { return field->Init(); }));
        QVERIFY(closeInWorker(*field));
    }

    // On a closed source every exchange fails at its first send, without waiting.
    void closedSource()
    {
        slowReplies();
        for (const QString &type : {QStringLiteral("QNLK-R"), QStringLiteral("QNVA")}) {
            std::unique_ptr<Field> field(Field::Create(type));
            QElapsedTimer clock;
            clock.start();
            double t = 0.0;
            bool stable = false;
            QString id;
            QVERIFY(!field->ReadTemp(t) && !field->SetTemp(20.0) && !field->IsStable(stable) && !field->CheckID(id));
            QVERIFY(!field->Init() && clock.elapsed() < 5000);
            QVERIFY(field->Close());
        }
    }
};

QTEST_MAIN(tst_Field)
#include "tst_Field.moc"
