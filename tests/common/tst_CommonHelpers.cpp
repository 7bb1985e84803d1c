#include "common/Milliseconds.h"
#include "common/WorkerGuard.h"

#include <QString>
#include <QtTest>

#include <stdexcept>

class tst_CommonHelpers : public QObject {
    Q_OBJECT
private slots:
    void typedSecondsBecomeTheirMilliseconds();
    void workerExceptionsBecomeFailures();
};

// Every interval a user can type with two decimals, up to six minutes, paces at exactly what was typed.
void tst_CommonHelpers::typedSecondsBecomeTheirMilliseconds()
{
    for (int hundredths = 1; hundredths <= 36000; ++hundredths) {
        const double seconds = QString::number(hundredths / 100.0, 'f', 2).toDouble();
        QCOMPARE(secondsToIntervalMs(seconds), hundredths * 10);
    }
    QCOMPARE(secondsToMilliseconds(0.0004), qint64(0));
    QCOMPARE(secondsToIntervalMs(0.0004), -1);
    QCOMPARE(secondsToIntervalMs(2147483.648), -1);
    QCOMPARE(secondsToMilliseconds(-1.0), qint64(-1));
    QCOMPARE(secondsToMilliseconds(std::nan("")), qint64(-1));
    QCOMPARE(secondsToMilliseconds(1e300), qint64(-1));
}

void tst_CommonHelpers::workerExceptionsBecomeFailures()
{
    QVERIFY(runGuarded("ok", [] { return true; }));
    QVERIFY(!runGuarded("refused", [] { return false; }));
    int ran = 0;
    QVERIFY(runGuarded("void", [&] { ++ran; }));
    QCOMPARE(ran, 1);
    QVERIFY(!runGuarded("oom", []() -> bool { throw std::bad_alloc(); }));
    QVERIFY(!runGuarded("std", []() -> bool { throw std::runtime_error("boom"); }));
    QVERIFY(!runGuarded("other", [] { throw 42; }));
}

QTEST_APPLESS_MAIN(tst_CommonHelpers)
#include "tst_CommonHelpers.moc"
