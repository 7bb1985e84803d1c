#include "calibration/CoefficientFit.h"

#include <QRegularExpression>
#include <QtTest>

#include <cmath>
#include <functional>

using Record = Tool::Struct_CalibrationData;
using namespace CoefficientFit;

namespace {

// A record as a run stores it: temperatures 'f' 6, readings 'f' 8; every other field marked.
Record makeRecord(const QString &method, const QList<double> &t, const QList<double> &r)
{
    Record rec{"2024-05-06 07:08:09", "3", "PT", method, "4",
               "a", "b", "c", "d", "r0", "a4", "b4", "1.5", "0.25", "p1", "p2", {}, {}};
    for (double v : t)
        rec.CList.append(QString::number(v, 'f', 6));
    for (double v : r)
        rec.DList.append(QString::number(v, 'f', 8));
    return rec;
}

QStringList allFields(const Record &r)
{
    return {r.Name, r.Number, r.Type, r.Range, r.Wire, r.A, r.B, r.C, r.D, r.R0, r.A4, r.B4,
            r.Offset_M, r.Offset_B, r.Parameter1, r.Parameter2, r.CList.join('|'), r.DList.join('|')};
}

QList<double> mapped(const QList<double> &xs, const std::function<double(double)> &f)
{
    QList<double> out;
    for (double x : xs)
        out.append(f(x));
    return out;
}

// Root of a monotonic f on [lo, hi].
double bisect(const std::function<double(double)> &f, double target, double lo, double hi)
{
    const bool rising = f(hi) > f(lo);
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        ((f(mid) < target) == rising ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

// A synthetic SPRT and its ITS-90 deviation functions.
const double kR0 = 25.5, kA = -1.2e-4, kB = 2.0e-5, kA4 = -1.3e-4, kB4 = 1.5e-5;

double deviation(double w, double a, double b, double a4, double b4)
{
    return w < 1.0 ? a4 * (w - 1) + b4 * (w - 1) * std::log(w) : a * (w - 1) + b * (w - 1) * (w - 1);
}

double sprtResistance(double t)
{
    const double wr = t < 0.01 ? its90WrBelow(t) : its90WrAbove(t);
    double w = wr;
    for (int i = 0; i < 50; ++i)
        w = wr + deviation(w, kA, kB, kA4, kB4);
    return kR0 * w;
}

const QRegularExpression kE8(QStringLiteral("^-?\\d\\.\\d{8}E[+-]\\d{2}$"));
const QRegularExpression kE10(QStringLiteral("^-?\\d\\.\\d{10}E[+-]\\d{2}$"));

} // namespace

class tst_CoefficientFit : public QObject {
    Q_OBJECT
private slots:
    void referenceFunctionsAtFixedPoints_data();
    void referenceFunctionsAtFixedPoints();
    void its90ReproducesSprt_data();
    void its90ReproducesSprt();
    void cvdRecoversPt100();
    void thermistorEquations();
    void failedFitLeavesRecordUnchanged_data();
    void failedFitLeavesRecordUnchanged();
    void gaussSolveKeepsRowsUnderZeroPivot();
};

void tst_CoefficientFit::referenceFunctionsAtFixedPoints_data()
{
    QTest::addColumn<double>("kelvin");
    QTest::addColumn<double>("wr");
    QTest::newRow("Ar") << 83.8058 << 0.21585975;
    QTest::newRow("Hg") << 234.3156 << 0.84414211;
    QTest::newRow("H2O below") << 273.16 << 1.0;
    QTest::newRow("H2O above") << 273.1600001 << 1.0;
    QTest::newRow("Ga") << 302.9146 << 1.11813889;
    QTest::newRow("In") << 429.7485 << 1.60980185;
    QTest::newRow("Sn") << 505.078 << 1.89279768;
    QTest::newRow("Zn") << 692.677 << 2.56891730;
    QTest::newRow("Al") << 933.473 << 3.37600860;
    QTest::newRow("Ag") << 1234.93 << 4.28642053;
}

void tst_CoefficientFit::referenceFunctionsAtFixedPoints()
{
    QFETCH(double, kelvin);
    QFETCH(double, wr);
    const double t = kelvin - 273.15;
    const double got = kelvin <= 273.16 ? its90WrBelow(t) : its90WrAbove(t);
    QVERIFY2(std::fabs(got - wr) <= 1.5e-8, qPrintable(QString::number(got, 'g', 12)));
}

void tst_CoefficientFit::its90ReproducesSprt_data()
{
    QTest::addColumn<QList<double>>("points");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<bool>("exact"); // reference point at 0.01 ℃: the coefficients come back
    QTest::newRow("five, 0.01") << QList<double>{100, -40, 0.01, 200, -80} << -80.0 << 200.0 << true;
    QTest::newRow("five, 0.00") << QList<double>{200, 0, -80, 100, -40} << -80.0 << 200.0 << false;
    QTest::newRow("five, 0.05") << QList<double>{-40, 0.05, 200, -80, 100} << -80.0 << 200.0 << false;
    QTest::newRow("five, -0.10") << QList<double>{-80, -40, -0.1, 100, 200} << -80.0 << 200.0 << false;
    QTest::newRow("above, 0.01") << QList<double>{200, 0.01, 100} << 0.0 << 200.0 << true;
    QTest::newRow("above, 0.05") << QList<double>{0.05, 100, 200} << 0.0 << 200.0 << false;
    QTest::newRow("above, -0.10") << QList<double>{-0.1, 100, 200} << 0.0 << 200.0 << false;
    QTest::newRow("above, -0.05") << QList<double>{100, 200, -0.05} << 0.0 << 200.0 << false;
    QTest::newRow("below, 0.00") << QList<double>{-80, 0, -40} << -80.0 << 0.0 << false;
    QTest::newRow("below, 0.05") << QList<double>{-40, 0.05, -80} << -80.0 << 0.0 << false;
}

void tst_CoefficientFit::its90ReproducesSprt()
{
    QFETCH(QList<double>, points);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(bool, exact);
    Record rec = makeRecord("ITS90", points, mapped(points, sprtResistance));
    const QStringList stored = rec.CList;
    QVERIFY(fitRecord(rec));
    QCOMPARE(rec.CList, stored);
    QCOMPARE(rec.C, QString("0"));
    QCOMPARE(rec.D, QString("0"));
    for (const QString &text : {rec.A, rec.B, rec.R0, rec.A4, rec.B4})
        QVERIFY2(kE8.match(text).hasMatch(), qPrintable(text));
    const bool below = from < 0, above = to > 0.01;
    if (!below)
        QCOMPARE(rec.A4, QString("0.00000000E+00"));
    if (!above)
        QCOMPARE(rec.A, QString("0.00000000E+00"));

    const double r0 = rec.R0.toDouble(), a = rec.A.toDouble(), b = rec.B.toDouble();
    const double a4 = rec.A4.toDouble(), b4 = rec.B4.toDouble();
    if (exact) {
        // Only as close as the published reference functions are to 1 at 0.01 ℃ (5e-9).
        QVERIFY(std::fabs(r0 - kR0) < 1e-6);
        QVERIFY(!above || (std::fabs(a - kA) < 1e-7 && std::fabs(b - kB) < 1e-7));
        QVERIFY(!below || (std::fabs(a4 - kA4) < 1e-7 && std::fabs(b4 - kB4) < 1e-7));
    }
    double worst = 0;
    for (double t = from; t <= to + 1e-9; t += 0.5) {
        const double w = sprtResistance(t) / r0;
        const double wr = w - deviation(w, a, b, a4, b4);
        const double back = w < 1.0 ? bisect(its90WrBelow, wr, -200, 0.01)
                                    : bisect(its90WrAbove, wr, 0.01, 962);
        worst = std::max(worst, std::fabs(back - t));
    }
    QVERIFY2(worst <= 2e-5, qPrintable(QString("worst %1 K").arg(worst)));
}

void tst_CoefficientFit::cvdRecoversPt100()
{
    const double r0 = 100, a = 3.9083e-3, b = -5.775e-7, c = -4.183e-12;
    const auto iec = [&](double t) {
        return r0 * (1 + a * t + b * t * t + (t < 0 ? c * (t - 100) * t * t * t : 0));
    };
    const QList<double> upper{100, 0, 200, 50, 150};
    Record rec = makeRecord("CVD", upper, mapped(upper, iec));
    QVERIFY(fitRecord(rec));
    QCOMPARE(iec(100), 138.5055);
    QCOMPARE(rec.R0, QString("1.0000000000E+02"));
    for (const auto &[text, expected] : {std::pair{rec.A, a}, std::pair{rec.B, b}}) {
        QVERIFY2(kE10.match(text).hasMatch(), qPrintable(text));
        QVERIFY2(std::fabs(text.toDouble() / expected - 1) < 1e-8, qPrintable(text));
    }
    for (const QString &unused : {rec.C, rec.D, rec.A4, rec.B4})
        QCOMPARE(unused, QString("0"));

    // Below 0 ℃ the quadratic is still fitted: least squares leaves residuals orthogonal to
    // 1, t and t², while they are far from zero themselves.
    const QList<double> wide{-100, -50, 0, 50, 100, 150};
    rec = makeRecord("CVD", wide, mapped(wide, iec));
    QVERIFY(fitRecord(rec));
    QCOMPARE(rec.C, QString("0"));
    QList<double> residual;
    for (double t : wide)
        residual.append(iec(t) - rec.R0.toDouble() * (1 + rec.A.toDouble() * t + rec.B.toDouble() * t * t));
    QVERIFY(std::fabs(residual.first()) > 1e-2);
    for (int j = 0; j < 3; ++j) {
        double dot = 0, scale = 0;
        for (int k = 0; k < wide.size(); ++k) {
            dot += residual[k] * std::pow(wide[k], j);
            scale += std::pow(std::fabs(wide[k]), j);
        }
        QVERIFY2(std::fabs(dot) <= 1e-6 * scale, qPrintable(QString::number(j)));
    }
}

void tst_CoefficientFit::thermistorEquations()
{
    // Steinhart–Hart 10 kΩ: temperatures exact, resistances solved from 1/T = a + b·y + c·y³.
    const double a = 1.129148e-3, b = 2.34125e-4, c = 8.76741e-8;
    const QList<double> temps{-20, -10, 0, 10, 20, 30, 40, 60, 80};
    const QList<double> ohms = mapped(temps, [&](double t) {
        const double target = 1 / (t + 273.15);
        return std::exp(bisect([&](double y) { return a + b * y + c * y * y * y; }, target, 0, 20));
    });
    Record rec = makeRecord("T(R)", temps, ohms);
    QVERIFY(fitRecord(rec));
    for (const QString &text : {rec.A, rec.B, rec.C, rec.D})
        QVERIFY2(kE10.match(text).hasMatch(), qPrintable(text));
    for (const QString &unused : {rec.R0, rec.A4, rec.B4})
        QCOMPARE(unused, QString("0"));
    const double fa = rec.A.toDouble(), fb = rec.B.toDouble(), fc = rec.C.toDouble(), fd = rec.D.toDouble();
    QVERIFY2(std::fabs(fa / a - 1) < 1e-7 && std::fabs(fb / b - 1) < 1e-7 && std::fabs(fd / c - 1) < 1e-6,
             qPrintable(QString("%1 %2 %3").arg(fa).arg(fb).arg(fd)));
    QVERIFY2(std::fabs(fc) < 1e-12, qPrintable(rec.C));
    for (int k = 0; k < temps.size(); ++k) {
        const double y = std::log(rec.DList[k].toDouble());
        const double t = 1 / (fa + fb * y + fc * y * y + fd * y * y * y) - 273.15;
        QVERIFY2(std::fabs(t - temps[k]) < 1e-6, qPrintable(QString::number(t - temps[k])));
    }

    // β model by R(T): ln R = ln R25 + β·(1/T − 1/T25).
    const QList<double> betaOhms = mapped(temps, [](double t) {
        return 10000 * std::exp(3950 * (1 / (t + 273.15) - 1 / 298.15));
    });
    rec = makeRecord("R(T)", temps, betaOhms);
    QVERIFY(fitRecord(rec));
    QCOMPARE(rec.R0, QString("0"));
    for (int k = 0; k < temps.size(); ++k) {
        const double x = 1 / (temps[k] + 273.15);
        const double lnR = rec.A.toDouble() + rec.B.toDouble() * x + rec.C.toDouble() * x * x
                         + rec.D.toDouble() * x * x * x;
        QVERIFY2(std::fabs(lnR - std::log(betaOhms[k])) < 1e-8, qPrintable(QString::number(k)));
    }
}

void tst_CoefficientFit::failedFitLeavesRecordUnchanged_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QList<double>>("t");
    QTest::addColumn<QList<double>>("r");
    using L = QList<double>;
    QTest::newRow("CVD two points") << "CVD" << L{0, 100} << L{100, 138.5};
    QTest::newRow("CVD lists unequal") << "CVD" << L{0, 50, 100} << L{100, 119.4};
    QTest::newRow("CVD one temperature") << "CVD" << L{20, 20, 20} << L{107, 107, 107};
    QTest::newRow("R(T) three points") << "R(T)" << L{0, 25, 50} << L{32000, 10000, 3600};
    QTest::newRow("T(R) lists unequal") << "T(R)" << L{0, 25, 50, 75} << L{32000, 10000, 3600};
    QTest::newRow("R(T) zero reading") << "R(T)" << L{0, 25, 50, 75} << L{32000, 10000, 0, 1500};
    QTest::newRow("ITS90 four points") << "ITS90" << L{-40, 0, 100, 200} << L{21, 25.5, 35, 45};
    QTest::newRow("ITS90 none near 0") << "ITS90" << L{10, 50, 100} << L{26, 30.5, 35};
    QTest::newRow("ITS90 five, lowest at 0") << "ITS90" << L{0, 50, 100, 150, 200} << L{25.5, 30, 35, 40, 45};
    QTest::newRow("ITS90 five, 0.11") << "ITS90" << L{-80, -40, 0.11, 100, 200} << L{17, 21, 25.5, 35, 45};
    QTest::newRow("ITS90 zero at 0") << "ITS90" << L{0, 100, 200} << L{0, 35, 45};
    QTest::newRow("ITS90 same ratio") << "ITS90" << L{-80, -40, 0} << L{17, 17, 25.5};
    QTest::newRow("lower case") << "cvd" << L{0, 50, 100} << L{100, 119.4, 138.5};
    QTest::newRow("its90 lower case") << "its90" << L{0, 100, 200} << L{25.5, 35, 45};
    QTest::newRow("empty method") << "" << L{0, 50, 100} << L{100, 119.4, 138.5};
    QTest::newRow("unknown method") << "Other" << L{0, 50, 100, 150} << L{100, 119.4, 138.5, 157};
}

void tst_CoefficientFit::failedFitLeavesRecordUnchanged()
{
    QFETCH(QString, method);
    QFETCH(QList<double>, t);
    QFETCH(QList<double>, r);
    Record rec = makeRecord(method, t, r);
    const QStringList before = allFields(rec);
    QVERIFY(!fitRecord(rec));
    QCOMPARE(allFields(rec), before);
}

void tst_CoefficientFit::gaussSolveKeepsRowsUnderZeroPivot()
{
    const QList<double> s = gaussSolve({{0, 1, 1}, {2, 3, 5}}, 2);
    QCOMPARE(s.size(), 2);
    QCOMPARE(s[1], 5.0 / 3.0);
    QVERIFY(!std::isfinite(s[0]));
    QCOMPARE(leastSquares({1, 2, 3}, {3, 5, 7}, 2), (QList<double>{1, 2}));
}

QTEST_APPLESS_MAIN(tst_CoefficientFit)
#include "tst_CoefficientFit.moc"
