// The reference thermometers: Criteria over a temperature source, and CriteriaP710W with its
// command frames and streamed reading frames, over a pseudo-terminal and TCP.
#include "SourceTestHelpers.h"

#include "calibration/CriteriaP710W.h"
#include "calibration/FieldDryR.h"
#include "calibration/FieldTankR.h"
#include "support/LogCapture.h"
#include "support/SocatPtyPair.h"

#include <QElapsedTimer>
#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

using Sim = InstrumentSimulator;
using Chunks = QList<QByteArray>;
using Readings = QList<double>; // NaN: ReadTemp fails

namespace {
const QByteArray StartFrame = QByteArray::fromHex("0405020003");
const QByteArray StopFrame = QByteArray::fromHex("0405010101");
const double None = std::numeric_limits<double>::quiet_NaN();

// ReadTemp's result as a number, NaN for a failure.
double reading(Criteria &reference)
{
    double t = 0.0;
    return resultInWorker([&]() { return reference.ReadTemp(t); }) ? t : None;
}
}

class tst_Criteria : public QObject
{
    Q_OBJECT

private slots:
    void init() { CommTiming::set(fastTiming()); }
    void cleanupTestCase() { CommTiming::reset(); }

    // The source's own reference reading: Open mirrors the source, reads are forwarded, Close
    // leaves the source open.
    void overSource()
    {
        Sim sim(Sim::Dialect::DryWell);
        sim.temperature = QStringLiteral("-40.125");
        FieldDryR source;
        Criteria reference(&source);
        QString sn, id;
        QVERIFY(!resultInWorker([&]() { return reference.Open("", "", "", sn); }));
        QCOMPARE(sn, QStringLiteral("QN"));
        QVERIFY(openOverTcp(source, sim, sn));
        sn.clear();
        QVERIFY(resultInWorker([&]() { return reference.Open("", "", "", sn) && reference.Start() && reference.GetID(id); }));
        QCOMPARE(reading(reference), -40.125);
        QCOMPARE(sn + " " + id + " " + sim.commands.last(), QStringLiteral("QN KOVRA-ELEC,QNLK-350H,D1234,V1 READ?"));
        QVERIFY(reference.Close() && !reference.IsOpen() && source.IsOpen());
        QVERIFY(closeInWorker(source));

        Criteria none;
        double t = 0.0;
        QVERIFY(!none.Open("", "", "", sn) && !none.GetID(id) && !none.ReadTemp(t) && !none.Start());
    }

    // The source's answer as a reference temperature, through the wire: absolute zero up to
    // 10 000 ℃ is a temperature; beyond it (an instrument's "no value" such as 1e308) the read
    // fails, and the source stays usable.
    void sourceReadingRange_data()
    {
        QTest::addColumn<bool>("bath");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<double>("expected");
        QTest::newRow("dry-well 1e308") << false << "1e308" << None;
        QTest::newRow("dry-well -1e308") << false << "-1e308" << None;
        QTest::newRow("dry-well absolute zero") << false << "-273.15" << -273.15;
        QTest::newRow("dry-well below absolute zero") << false << "-273.16" << None;
        QTest::newRow("bath 10000") << true << "10000" << 10000.0;
        QTest::newRow("bath above 10000") << true << "10000.01" << None;
        QTest::newRow("bath 9.9E37") << true << "9.9E37" << None;
    }
    void sourceReadingRange()
    {
        QFETCH(bool, bath);
        QFETCH(QString, answer);
        QFETCH(double, expected);
        Sim sim(bath ? Sim::Dialect::Bath : Sim::Dialect::DryWell);
        std::unique_ptr<Field> source(Field::Create(bath ? "QNVA-R" : "QNLK-R"));
        Criteria reference(source.get());
        QString sn;
        QVERIFY(openOverTcp(*source, sim, sn));
        QVERIFY(resultInWorker([&]() { return reference.Open("", "", "", sn); }));
        sim.temperature = answer;
        LogCapture log;
        QCOMPARE(QString::number(reading(reference)), QString::number(expected));
        QCOMPARE(log.contains(QStringLiteral("is no temperature")), std::isnan(expected));
        sim.temperature = QStringLiteral("21.5");
        QCOMPARE(reading(reference), 21.5);
        QVERIFY(closeInWorker(*source));
    }

    // A thermometer streaming 1e38 (its "no value") gives no reference temperature, at once
    // rather than after the reading wait; its next real frame does.
    void thermometerReadingRange()
    {
        Sim sim(Sim::Dialect::Thermometer);
        sim.streamMs = 5;
        sim.temperature = QStringLiteral("1e38");
        CriteriaP710W reference;
        QString sn;
        QVERIFY(openOverTcp(reference, sim, sn));
        QVERIFY(resultInWorker([&]() { return reference.Start(); }));
        QTRY_VERIFY(sim.streaming());
        CommTiming timing = fastTiming();
        timing.readingPolls = 5000; // 10 s
        CommTiming::set(timing);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(std::isnan(reading(reference)));
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        sim.temperature = QStringLiteral("-195.75");
        QTRY_COMPARE(reading(reference), -195.75);
        QVERIFY(closeInWorker(reference));
    }

    // Start and stop frames; upper-case digits; the first 8 bytes only.
    void checkSum()
    {
        QStringList sums;
        for (const char *command : {"04050200", "04050101", "F0A5", "0102040810204080FF"})
            sums << CriteriaP710W::GetCheckSum(command);
        QCOMPARE(sums, QStringList({"03", "01", "55", "ff"}));
    }

    // Serial: Open sends nothing and reports the address; Start sends the start frame and the
    // thermometer streams; Close sends the stop frame and closes.
    void startReadStopOverPseudoTerminal()
    {
        SocatPtyPair pty;
        QVERIFY(pty.start());
        Sim sim(Sim::Dialect::Thermometer);
        sim.streamMs = 10;
        sim.temperature = QStringLiteral("0.015");
        QVERIFY(sim.attach(pty.second()));
        CriteriaP710W reference;
        QString sn;
        auto open = [&]() { return reference.Open(ToolComm::SerialText, pty.first(), QStringLiteral("115200"), sn); };
        QString id;
        QVERIFY(resultInWorker(open) && reference.GetID(id) && !reference.IsReady());
        QCOMPARE(sn + " " + id, pty.first() + " " + pty.first());
        sn = QStringLiteral("kept"); // opening an open link fails and leaves it
        QVERIFY(!resultInWorker(open) && sn == "kept" && sim.received.isEmpty());

        QVERIFY(resultInWorker([&]() { return reference.Start(); }));
        QTRY_VERIFY(sim.streaming());
        QCOMPARE(sim.received, StartFrame);
        QCOMPARE(reading(reference), double(0.015f));
        QVERIFY(closeInWorker(reference) && !reference.IsOpen());
        QTRY_COMPARE(sim.received, StartFrame + StopFrame);
        QVERIFY(!sim.streaming());
    }

    // Chunks handed to the receiver on an open link, then ReadTemp (NaN: it fails).
    void readingFrames_data()
    {
        QTest::addColumn<Chunks>("chunks");
        QTest::addColumn<Readings>("readings");
        const QByteArray one = Sim::frame(25.0f);
        QTest::newRow("one frame") << Chunks{one} << Readings{25.0};
        QTest::newRow("split across three chunks")
            << Chunks{one.left(2), one.mid(2, 15), one.mid(17)} << Readings{25.0};
        QTest::newRow("23 bytes wait") << Chunks{one.left(23)} << Readings{None};
        QTest::newRow("30 bytes: the 6 behind the frame are lost")
            << Chunks{one + Sim::frame(7.5f).left(6), Sim::frame(7.5f).mid(6)} << Readings{25.0, None};
        QByteArray badHeader = one;
        badHeader[1] = 0x06;
        QTest::newRow("bad header thrown away whole")
            << Chunks{badHeader, Sim::frame(-1.5f)} << Readings{-1.5, None};
        QTest::newRow("two frames in one chunk, then a third: only the newest")
            << Chunks{Sim::frame(1.0f) + Sim::frame(2.0f), Sim::frame(3.0f)} << Readings{3.0, None};
        Chunks eleven;
        for (int i = 1; i <= 11; ++i)
            eleven << Sim::frame(float(i));
        QTest::newRow("eleven frames empty the list") << eleven << Readings{None};
        QTest::newRow("the twelfth is kept") << (eleven << Sim::frame(12.0f)) << Readings{12.0};
        QTest::newRow("no finite temperature")
            << Chunks{Sim::frame(std::numeric_limits<float>::quiet_NaN()), Sim::frame(std::numeric_limits<float>::infinity())}
            << Readings{None};
    }
    void readingFrames()
    {
        QFETCH(Chunks, chunks);
        QFETCH(Readings, readings);
        CommTiming timing = fastTiming();
        timing.readingPolls = 10;
        CommTiming::set(timing);
        Sim sim(Sim::Dialect::Thermometer);
        CriteriaP710W reference;
        QString sn;
        QVERIFY(openOverTcp(reference, sim, sn));
        for (const QByteArray &chunk : chunks)
            reference.ReadData_slots(chunk);
        for (double expected : readings) {
            double t = None;
            QCOMPARE(QString::number(reference.ReadTemp(t) ? t : None), QString::number(expected));
        }
        QVERIFY(closeInWorker(reference));
    }

    // Over the wire: a second ReadTemp waits for a frame sent after the first, joined from its
    // chunks.
    void secondReadingWaitsForANewFrame()
    {
        Sim sim(Sim::Dialect::Thermometer);
        CriteriaP710W reference;
        QString sn;
        QVERIFY(openOverTcp(reference, sim, sn));
        sim.send(Sim::frame(21.0f));
        QCOMPARE(reading(reference), 21.0);
        // The next frame comes in two chunks over the wire.
        const QByteArray next = Sim::frame(22.5f);
        QTimer::singleShot(100, &sim, [&]() { sim.send(next.left(7)); });
        QTimer::singleShot(200, &sim, [&]() { sim.send(next.mid(7)); });
        CommTiming timing = fastTiming();
        timing.readingPolls = 2500; // 5 s
        CommTiming::set(timing);
        QCOMPARE(reading(reference), 22.5);
        QVERIFY(closeInWorker(reference));
    }

    // A reading received before the link dropped is never handed out: not while the link is
    // down, and not after it has been opened again.
    void droppedLink_data()
    {
        QTest::addColumn<bool>("reopen");
        QTest::newRow("read while down") << false;
        QTest::newRow("read after reopening") << true;
    }
    void droppedLink()
    {
        QFETCH(bool, reopen);
        Sim sim(Sim::Dialect::Thermometer);
        const QString port = QString::number(sim.listen());
        CriteriaP710W reference;
        // Queued after the receiver's own delivery of the same chunk.
        int received = 0;
        connect(reference.Comm(), &ToolComm::Read_signals, this,
                [&](const QByteArray &chunk) { received += chunk.size(); }, Qt::QueuedConnection);
        QString sn;
        auto open = [&]() { return reference.Open(ToolComm::TcpText, QStringLiteral("127.0.0.1"), port, sn); };
        QVERIFY(resultInWorker(open));
        QTRY_VERIFY(sim.linked());
        sim.send(Sim::frame(18.0f));
        QTRY_COMPARE(received, 24);
        sim.dropLink();
        QTRY_VERIFY(!reference.IsOpen());
        LogCapture log;
        if (reopen)
            QVERIFY(resultInWorker(open));
        QVERIFY(std::isnan(reading(reference)));
        QVERIFY(closeInWorker(reference));
        if (!reopen)
            QVERIFY(log.contains(QStringLiteral("写入数据失败")));
    }
};

QTEST_MAIN(tst_Criteria)
#include "tst_Criteria.moc"
