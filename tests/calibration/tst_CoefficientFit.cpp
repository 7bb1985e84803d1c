#include "calibration/CoefficientFit.h"

#include <QRegularExpression>
#include <QtTest>

#include <cmath>
#include <functional>

using Record = Tool::Struct_CalibrationData;
using L = QList<double>;
using namespace CoefficientFit;

namespace {

// A record as a run stores it (temperatures 'f' 6, readings 'f' 8); every other field marked.
Record makeRecord(const QString &method, const L &t, const L &r)
{
    return {"2024-05-06 07:08:09", "3", "PT", method, "4", "a", "b", "c", "d", "r0", "a4", "b4",
            "1.5", "0.25", "p1", "p2", Tool::toStringList(6, t), Tool::toStringList(8, r)};
}

QStringList allFields(const Record &r)
{
    return QStringList{r.Name, r.Number, r.Type, r.Range, r.Wire, r.A, r.B, r.C, r.D, r.R0, r.A4,
                       r.B4, r.Offset_M, r.Offset_B, r.Parameter1, r.Parameter2} + r.CList + r.DList;
}

L mapped(const L &xs, const std::function<double(double)> &f)
{
    L out;
    for (double x : xs)
        out.append(f(x));
    return out;
}

// x with f(x) = target, f monotonic on [lo, hi].
double bisect(const std::function<double(double)> &f, double target, double lo, double hi)
{
    const bool rising = f(hi) > f(lo);
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        ((f(mid) < target) == rising ? lo : hi) = mid;
    }
    return lo;
}

// A synthetic SPRT: R(0.01 ℃) and the coefficients of both deviation functions.
const double kR0 = 25.5, kA = -1.2e-4, kB = 2.0e-5, kA4 = -1.3e-4, kB4 = 1.5e-5;

double deviation(double w, double a, double b, double a4, double b4)
{
    return w < 1 ? a4 * (w - 1) + b4 * (w - 1) * std::log(w) : a * (w - 1) + b * (w - 1) * (w - 1);
}

double sprtResistance(double t)
{
    const double wr = t < 0.01 ? its90WrBelow(t) : its90WrAbove(t);
    double w = wr;
    for (int i = 0; i < 50; ++i)
        w = wr + deviation(w, kA, kB, kA4, kB4);
    return kR0 * w;
}

bool isE(const QString &text, int digits)
{
    return QRegularExpression(QString("^-?\\d\\.\\d{%1}E[+-]\\d{2}$").arg(digits)).match(text).hasMatch();
}

} // namespace

class tst_CoefficientFit : public QObject
{
    Q_OBJECT
private slots:
    void referenceFunctionsAtFixedPoints()
    {
        const struct { const char *name; double kelvin, wr; } points[] = {
            {"Ar", 83.8058, 0.21585975}, {"Hg", 234.3156, 0.84414211}, {"H2O", 273.16, 1.0},
            {"Ga", 302.9146, 1.11813889}, {"In", 429.7485, 1.60980185}, {"Sn", 505.078, 1.89279768},
            {"Zn", 692.677, 2.56891730}, {"Al", 933.473, 3.37600860}, {"Ag", 1234.93, 4.28642053}};
        for (const auto &p : points) {
            const double t = p.kelvin - 273.15;
            const double got = p.kelvin <= 273.16 ? its90WrBelow(t) : its90WrAbove(t);
            QVERIFY2(std::fabs(got - p.wr) <= 1.5e-8, p.name);
        }
        QVERIFY(std::fabs(its90WrAbove(0.01) - 1) <= 1.5e-8);
    }

    void its90ReproducesSprt_data()
    {
        QTest::addColumn<L>("points");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::newRow("five, 0.01") << L{100, -40, 0.01, 200, -80} << -80.0 << 200.0;
        QTest::newRow("five, 0.00") << L{200, 0, -80, 100, -40} << -80.0 << 200.0;
        QTest::newRow("five, 0.05") << L{-40, 0.05, 200, -80, 100} << -80.0 << 200.0;
        QTest::newRow("five, -0.10") << L{-80, -40, -0.1, 100, 200} << -80.0 << 200.0;
        QTest::newRow("above, 0.01") << L{200, 0.01, 100} << 0.0 << 200.0;
        QTest::newRow("above, 0.05") << L{0.05, 100, 200} << 0.0 << 200.0;
        QTest::newRow("above, -0.10") << L{-0.1, 100, 200} << 0.0 << 200.0;
        QTest::newRow("below, 0.00") << L{-80, 0, -40} << -80.0 << 0.0;
        QTest::newRow("below, 0.05") << L{-40, 0.05, -80} << -80.0 << 0.0;
    }

    void its90ReproducesSprt()
    {
        QFETCH(L, points);
        QFETCH(double, from);
        QFETCH(double, to);
        Record rec = makeRecord("ITS90", points, mapped(points, sprtResistance));
        QVERIFY(fitRecord(rec));
        QCOMPARE(rec.CList.join(',') + " " + rec.C + rec.D, Tool::toStringList(6, points).join(',') + " 00");
        for (const QString &text : {rec.A, rec.B, rec.R0, rec.A4, rec.B4})
            QVERIFY2(isE(text, 8), qPrintable(text));
        const QString zeros = "0.00000000E+000.00000000E+00"; // a range without points
        QCOMPARE((from >= 0 ? rec.A4 + rec.B4 : zeros) + (to <= 0 ? rec.A + rec.B : zeros), zeros + zeros);

        const double r0 = rec.R0.toDouble(), a = rec.A.toDouble(), b = rec.B.toDouble();
        const double a4 = rec.A4.toDouble(), b4 = rec.B4.toDouble();
        if (points.contains(0.01)) {
            // As close as the published functions come to 1 at 0.01 ℃ (5e-9).
            QVERIFY(std::fabs(r0 - kR0) < 1e-6);
            QVERIFY(to <= 0 || (std::fabs(a - kA) < 1e-7 && std::fabs(b - kB) < 1e-7));
            QVERIFY(from >= 0 || (std::fabs(a4 - kA4) < 1e-7 && std::fabs(b4 - kB4) < 1e-7));
        }
        double worst = 0;
        for (double t = from; t <= to; t += 0.5) {
            const double w = sprtResistance(t) / r0, wr = w - deviation(w, a, b, a4, b4);
            const double back = w < 1 ? bisect(its90WrBelow, wr, -200, 0.01) : bisect(its90WrAbove, wr, 0.01, 962);
            worst = std::max(worst, std::fabs(back - t));
        }
        QVERIFY2(worst <= 2e-5, qPrintable(QString("worst %1 K").arg(worst)));
    }

    // IEC 60751: R0 = 100 Ω, A = 3.9083e-3, B = −5.775e-7, C = −4.183e-12 below 0 ℃.
    void cvdOfPt100()
    {
        const auto iec = [](double t) {
            return 100 * (1 + 3.9083e-3 * t - 5.775e-7 * t * t + (t < 0 ? -4.183e-12 * (t - 100) * t * t * t : 0));
        };
        QCOMPARE(iec(100), 138.5055);
        const L upper{100, 0, 200, 50, 150};
        Record rec = makeRecord("CVD", upper, mapped(upper, iec));
        QVERIFY(fitRecord(rec));
        QCOMPARE(rec.R0, QString("1.0000000000E+02"));
        QVERIFY(isE(rec.A, 10) && std::fabs(rec.A.toDouble() / 3.9083e-3 - 1) < 1e-8);
        QVERIFY(isE(rec.B, 10) && std::fabs(rec.B.toDouble() / -5.775e-7 - 1) < 1e-8);
        QCOMPARE(rec.C + rec.D + rec.A4 + rec.B4, QString("0000"));

        // Below 0 ℃ the quadratic is still fitted: the residuals, far from zero themselves, are
        // orthogonal to 1, t and t².
        const L wide{-100, -50, 0, 50, 100, 150};
        rec = makeRecord("CVD", wide, mapped(wide, iec));
        QVERIFY(fitRecord(rec));
        QCOMPARE(rec.C, QString("0"));
        const auto residual = [&](double t) {
            return iec(t) - rec.R0.toDouble() * (1 + rec.A.toDouble() * t + rec.B.toDouble() * t * t);
        };
        QVERIFY(std::fabs(residual(-100)) > 1e-2);
        for (int j = 0; j < 3; ++j) {
            double dot = 0, scale = 0;
            for (double t : wide) {
                dot += residual(t) * std::pow(t, j);
                scale += std::pow(std::fabs(t), j);
            }
            QVERIFY2(std::fabs(dot) <= 1e-6 * scale, qPrintable(QString::number(j)));
        }
    }

    void thermistorEquations()
    {
        // Steinhart–Hart 10 kΩ: exact temperatures, resistances from 1/T = a + b·y + c·y³, y = ln R.
        const double a = 1.129148e-3, b = 2.34125e-4, c = 8.76741e-8;
        const L temps{-20, -10, 0, 10, 20, 30, 40, 60, 80};
        const L ohms = mapped(temps, [&](double t) {
            return std::exp(bisect([&](double y) { return a + b * y + c * y * y * y; }, 1 / (t + 273.15), 0, 20));
        });
        Record rec = makeRecord("T(R)", temps, ohms);
        QVERIFY(fitRecord(rec));
        QCOMPARE(rec.R0 + rec.A4 + rec.B4, QString("000"));
        const L k = Tool::toDoubleList({rec.A, rec.B, rec.C, rec.D});
        QVERIFY(isE(rec.A, 10) && isE(rec.B, 10) && isE(rec.C, 10) && isE(rec.D, 10));
        QVERIFY(std::fabs(k[0] / a - 1) < 1e-7 && std::fabs(k[1] / b - 1) < 1e-7);
        QVERIFY(std::fabs(k[2]) < 1e-12 && std::fabs(k[3] / c - 1) < 1e-6);
        for (int i = 0; i < temps.size(); ++i) {
            const double y = std::log(rec.DList[i].toDouble());
            QVERIFY(std::fabs(1 / (k[0] + k[1] * y + k[2] * y * y + k[3] * y * y * y) - 273.15 - temps[i]) < 1e-6);
        }

        // β model by R(T): ln R = ln R25 + β·(1/T − 1/T25).
        const L beta = mapped(temps, [](double t) { return 1e4 * std::exp(3950 * (1 / (t + 273.15) - 1 / 298.15)); });
        rec = makeRecord("R(T)", temps, beta);
        QVERIFY(fitRecord(rec));
        QCOMPARE(rec.R0 + rec.A4 + rec.B4, QString("000"));
        const L m = Tool::toDoubleList({rec.A, rec.B, rec.C, rec.D});
        for (int i = 0; i < temps.size(); ++i) {
            const double x = 1 / (temps[i] + 273.15);
            QVERIFY(std::fabs(m[0] + m[1] * x + m[2] * x * x + m[3] * x * x * x - std::log(beta[i])) < 1e-8);
        }
    }

    void failedFitLeavesRecordUnchanged_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<L>("t");
        QTest::addColumn<L>("r");
        QTest::newRow("CVD two points") << "CVD" << L{0, 100} << L{100, 138.5};
        QTest::newRow("CVD lists unequal") << "CVD" << L{0, 50, 100} << L{100, 119.4};
        QTest::newRow("CVD one temperature") << "CVD" << L{20, 20, 20} << L{107, 107, 107};
        QTest::newRow("R(T) three points") << "R(T)" << L{0, 25, 50} << L{32000, 10000, 3600};
        QTest::newRow("T(R) lists unequal") << "T(R)" << L{0, 25, 50, 75} << L{32000, 10000, 3600};
        QTest::newRow("R(T) zero reading") << "R(T)" << L{0, 25, 50, 75} << L{32000, 10000, 0, 1500};
        QTest::newRow("ITS90 four points") << "ITS90" << L{-40, 0, 100, 200} << L{21, 25.5, 35, 45};
        QTest::newRow("ITS90 none near 0") << "ITS90" << L{10, 50, 100} << L{26, 30.5, 35};
        QTest::newRow("ITS90 five, lowest at 0") << "ITS90" << L{0, 50, 100, 150, 200} << L{25.5, 30, 35, 40, 45};
        QTest::newRow("ITS90 five, middle 0.11") << "ITS90" << L{-80, -40, 0.11, 100, 200} << L{17, 21, 25.5, 35, 45};
        QTest::newRow("ITS90 zero at 0") << "ITS90" << L{0, 100, 200} << L{0, 35, 45};
        QTest::newRow("ITS90 same ratio") << "ITS90" << L{-80, -40, 0} << L{17, 17, 25.5};
        QTest::newRow("lower case") << "cvd" << L{0, 50, 100} << L{100, 119.4, 138.5};
        QTest::newRow("unknown method") << "Other" << L{0, 50, 100, 150} << L{100, 119.4, 138.5, 157};
    }

    void failedFitLeavesRecordUnchanged()
    {
        QFETCH(QString, method);
        QFETCH(L, t);
        QFETCH(L, r);
        Record rec = makeRecord(method, t, r);
        const QStringList before = allFields(rec);
        QVERIFY(!fitRecord(rec));
        QCOMPARE(allFields(rec), before);
    }

    // Points that cannot determine the equation: too few distinct reference temperatures as
    // stored (every typed reference left at its default), or one reading everywhere. The record
    // stays as it was and the refusal says why.
    void degeneratePointsAreRefused_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QStringList>("t");
        QTest::addColumn<L>("r");
        QTest::addColumn<QString>("reason");
        const QStringList nine = QVector<QString>(9, "0.100000").toList();
        const L rising{100, 103.9, 107.8, 111.7, 115.5, 119.4, 123.2, 127.1, 130.9};
        const QString distinct = "不同的标准温度只有%1个，需要%2个。";
        QTest::newRow("CVD, nine typed defaults") << "CVD" << nine << rising << distinct.arg(1).arg(3);
        QTest::newRow("T(R), nine typed defaults") << "T(R)" << nine << rising << distinct.arg(1).arg(4);
        QTest::newRow("CVD, equal as stored")
            << "CVD" << QStringList{"0.100000", "0.1", "50", "0.10"} << L{100, 100.1, 119.4, 100.2} << distinct.arg(2).arg(3);
        QTest::newRow("R(T), three of four")
            << "R(T)" << QStringList{"0", "25", "25", "50"} << L{32000, 10000, 10001, 3600} << distinct.arg(3).arg(4);
        QTest::newRow("ITS90, five with a repeat")
            << "ITS90" << QStringList{"-80", "-40", "0", "100", "100"} << L{17, 21, 25.5, 35, 35.1} << distinct.arg(4).arg(5);
        QTest::newRow("ITS90, three with a repeat")
            << "ITS90" << QStringList{"0", "100", "100"} << L{25.5, 35, 35.1} << distinct.arg(2).arg(3);
        // Several points taken in one bath: references less than 0.01 ℃ apart are one temperature,
        // also along a chain of such references.
        QTest::newRow("CVD, three points in one bath")
            << "CVD" << QStringList{"25.001000", "25.002000", "25.003000"} << L{109.7421, 109.7395, 109.7467}
            << distinct.arg(1).arg(3);
        QTest::newRow("T(R), two points 0.009 apart")
            << "T(R)" << QStringList{"0", "25", "25.009", "50"} << L{32000, 10000, 9990, 3600} << distinct.arg(3).arg(4);
        QTest::newRow("CVD, a chain of near references")
            << "CVD" << QStringList{"25.000", "25.008", "25.016", "50"} << L{109.7, 109.73, 109.76, 119.4} << distinct.arg(2).arg(3);
        // Readings that do not rise or fall steadily with the temperature.
        const QString unsteady = "读数没有随标准温度单调上升或下降。";
        QTest::newRow("CVD, not steady") << "CVD" << QStringList{"0", "50", "100"} << L{100, 130, 120} << unsteady;
        QTest::newRow("T(R), not steady")
            << "T(R)" << QStringList{"75", "0", "50", "25"} << L{1500, 32000, 12000, 10000} << unsteady;
        QTest::newRow("ITS90, not steady")
            << "ITS90" << QStringList{"-80", "-40", "0", "100", "200"} << L{17, 21, 25.5, 45, 35} << unsteady;
        QTest::newRow("CVD, one bath against the rise")
            << "CVD" << QStringList{"0", "50", "50.004", "100"} << L{100, 140, 140.2, 138.5} << unsteady;
        QTest::newRow("CVD, level between two temperatures")
            << "CVD" << QStringList{"0", "50", "100"} << L{100, 119.4, 119.4} << unsteady;
        QTest::newRow("T(R), level between two temperatures")
            << "T(R)" << QStringList{"0", "25", "50", "75"} << L{32000, 10000, 10000, 1500} << unsteady;
        const QString equal = "所有读数相同。";
        QTest::newRow("CVD, one reading") << "CVD" << QStringList{"0", "50", "100"} << L{100, 100, 100} << equal;
        QTest::newRow("T(R), one reading")
            << "T(R)" << QStringList{"0", "25", "50", "75"} << L{1e4, 1e4, 1e4, 1e4} << equal;
        QTest::newRow("ITS90, one reading")
            << "ITS90" << QStringList{"-80", "-40", "0", "100", "200"} << L{25.5, 25.5, 25.5, 25.5, 25.5} << equal;
        // The conditions of before keep their own reasons.
        QTest::newRow("CVD, two points") << "CVD" << QStringList{"0", "100"} << L{100, 138.5} << "需要至少3个温度点，只有2个。";
        QTest::newRow("unequal lists")
            << "T(R)" << QStringList{"0", "25", "50", "75"} << L{3e4, 1e4, 4e3} << "标准温度4个，读数3个，个数不同。";
        QTest::newRow("ITS90, four points")
            << "ITS90" << QStringList{"-40", "0", "100", "200"} << L{21, 25.5, 35, 45} << "需要3个或5个温度点，实有4个。";
        QTest::newRow("ITS90, middle point off 0")
            << "ITS90" << QStringList{"-80", "-40", "0.11", "100", "200"} << L{17, 21, 25.5, 35, 45} << "居中的温度点不在0℃±0.1℃以内。";
        QTest::newRow("ITS90, no end point at 0")
            << "ITS90" << QStringList{"10", "50", "100"} << L{26, 30.5, 35} << "最低或最高的温度点都不在0℃±0.1℃以内。";
        QTest::newRow("R(T), zero reading")
            << "R(T)" << QStringList{"0", "25", "50", "75"} << L{32000, 10000, 0, 1500} << "计算结果不是有限数。";
        QTest::newRow("lower case") << "cvd" << QStringList{"0", "50", "100"} << L{100, 119.4, 138.5} << "未知的计算方法“cvd”。";
    }
    void degeneratePointsAreRefused()
    {
        QFETCH(QString, method);
        QFETCH(QStringList, t);
        QFETCH(L, r);
        QFETCH(QString, reason);
        Record rec = makeRecord(method, {}, r);
        rec.CList = t;
        const QStringList before = allFields(rec);
        QCOMPARE(refusal(rec), reason);
        QVERIFY(!fitRecord(rec));
        QCOMPARE(allFields(rec), before);
    }

    // Points taken in one bath count once, with their mean reading: beside other temperatures
    // they fit, and only references 0.01 ℃ apart or more are distinct.
    void pointsInOneBathCountOnce()
    {
        const auto pt = [](double t) { return 100 * (1 + 3.9083e-3 * t - 5.775e-7 * t * t); };
        const L t{0, 25.001, 25.002, 25.003, 100};
        L r = mapped(t, pt);
        r[1] += 0.004, r[2] -= 0.003, r[3] += 0.001; // noise of the bath larger than its steps
        Record rec = makeRecord("CVD", t, r);
        QCOMPARE(refusal(rec), QString());
        QVERIFY(fitRecord(rec));
        QVERIFY2(std::fabs(rec.R0.toDouble() - 100) < 1e-3 && std::fabs(rec.A.toDouble() / 3.9083e-3 - 1) < 1e-3,
                 qPrintable(rec.R0 + ' ' + rec.A));
        const L apart{25, 25.011, 50};
        rec = makeRecord("CVD", apart, mapped(apart, pt));
        QCOMPARE(refusal(rec), QString());
    }

    // A stored text that is no number (a damaged or edited record) is no point at 0: every
    // method refuses the record with that reason and leaves it as it was.
    void textsThatAreNoNumbersAreRefused()
    {
        const struct { const char *method; L t; L r; } fits[] = {
            {"CVD", {0, 50, 100}, {100, 119.4, 138.5}},
            {"T(R)", {0, 25, 50, 75}, {32000, 10000, 3600, 1500}},
            {"ITS90", {-80, -40, 0, 100, 200}, {17, 21, 25.5, 35, 45}}};
        QStringList refused;
        for (const auto &fit : fits) {
            Record sound = makeRecord(fit.method, fit.t, fit.r);
            QVERIFY(fitRecord(sound));
            for (int k = 0; k < 3; ++k) {
                Record rec = makeRecord(fit.method, fit.t, fit.r);
                (k == 0 ? rec.CList[1] : rec.DList[k]) = k == 2 ? QString() : QStringLiteral("x");
                const QStringList before = allFields(rec);
                refused << refusal(rec) + QString::number(fitRecord(rec)) + QString::number(allFields(rec) == before);
            }
        }
        QCOMPARE(refused, QStringList(QVector<QString>(9, "标准温度或读数含有不是数字的文本。01").toList()));
    }

    // Narrow but valid data still fits exactly: no judgement of the normal equations' condition
    // (about 1e21 for a thermistor over 0–100 ℃).
    void narrowThermistorRangeStillFits()
    {
        const L temps{0, 20, 40, 60, 80, 100};
        const auto lnR = [](double t) {
            const double x = 1 / (t + 273.15);
            return -4.5 + 3950 * x - 2.0e4 * x * x + 1.0e7 * x * x * x;
        };
        Record rec = makeRecord("R(T)", temps, mapped(temps, [&](double t) { return std::exp(lnR(t)); }));
        QCOMPARE(refusal(rec), QString());
        QVERIFY(fitRecord(rec));
        const L m = Tool::toDoubleList({rec.A, rec.B, rec.C, rec.D});
        for (double t = 0; t <= 100; t += 5) {
            const double x = 1 / (t + 273.15);
            QVERIFY2(std::fabs(m[0] + m[1] * x + m[2] * x * x + m[3] * x * x * x - lnR(t)) < 1e-8, qPrintable(QString::number(t)));
        }
    }
};

QTEST_APPLESS_MAIN(tst_CoefficientFit)
#include "tst_CoefficientFit.moc"
