#include "calibration/CoefficientFit.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace CoefficientFit {

namespace {

constexpr double kKelvinOffset = 273.15;   // ℃ to K
constexpr double kTriplePointK = 273.16;   // divisor of the reference function below 0 ℃
constexpr double kTriplePointC = 0.01;     // the triple point of water in ℃
constexpr double kLowShift = 1.5;          // offset and divisor of the function below 0 ℃
constexpr double kHighShift = 481.0;       // offset and divisor (℃) of the function above 0 ℃
constexpr double kZeroTolerance = 0.1;     // ℃, how far the reference point may lie from 0 ℃
constexpr double kSameTemperature = 0.01;  // ℃, references closer than this are one temperature

// The published coefficients of the reference functions.
constexpr std::array<double, 13> kWrBelow = {
    -2.13534729, 3.18324720, -1.80143597, 0.71727204, 0.50344027, -0.61899395, -0.05332322,
    0.28021362, 0.10715224, -0.29302865, 0.04459872, 0.11868632, -0.05248134};
constexpr std::array<double, 10> kWrAbove = {
    2.78157254, 1.64650916, -0.13714390, -0.00649767, -0.00234444,
    0.00511868, 0.00187982, -0.00204472, -0.00046122, 0.00045724};

template <std::size_t N>
double powerSeries(const std::array<double, N> &c, double u)
{
    double sum = c[0];
    for (std::size_t i = 1; i < N; ++i)
        sum += c[i] * std::pow(u, double(i));
    return sum;
}

// The coefficient slots of a record in the order A, B, C, D, R0, A4, B4; an empty slot is a
// coefficient the method does not use and is written as "0".
using Slots = std::array<std::optional<double>, 7>;

// Keeps the reason of a refusal for the caller; false, for the fit to return.
bool refuse(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}

QString notFinite()
{
    return QCoreApplication::translate("CoefficientFit", "计算结果不是有限数。");
}

QString its90Count(int count)
{
    return QCoreApplication::translate("CoefficientFit", "需要3个或5个温度点，实有%1个。").arg(count);
}

bool steadyReadings(const QList<double> &t, const QList<double> &r, QString *reason);

// Writes the coefficients once they are finite and the readings steady (see steadyReadings).
bool store(Tool::Struct_CalibrationData &record, const QList<double> &t, const QList<double> &r, const Slots &values,
           int digits, QString *reason)
{
    for (const auto &v : values)
        if (v && !std::isfinite(*v))
            return refuse(reason, notFinite());
    if (!steadyReadings(t, r, reason))
        return false;
    QString *fields[] = {&record.A, &record.B, &record.C, &record.D,
                         &record.R0, &record.A4, &record.B4};
    for (std::size_t i = 0; i < values.size(); ++i)
        *fields[i] = values[i] ? QString::number(*values[i], 'E', digits) : QStringLiteral("0");
    return true;
}

// True when every text reads as a number ("nan" and "inf" included: their results are refused
// as not finite).
bool allNumbers(const QStringList &texts)
{
    bool ok = true;
    for (const QString &text : texts) {
        text.toDouble(&ok);
        if (!ok)
            return false;
    }
    return true;
}

// The record's points as numbers; false when a text is no number (the store would read it as
// 0, a point that was never measured), the lists differ in length or hold fewer than minCount
// points.
bool readPoints(const Tool::Struct_CalibrationData &record, QList<double> &t, QList<double> &r,
                int minCount, QString *reason)
{
    if (!allNumbers(record.CList) || !allNumbers(record.DList))
        return refuse(reason, QCoreApplication::translate("CoefficientFit", "标准温度或读数含有不是数字的文本。"));
    t = Tool::toDoubleList(record.CList);
    r = Tool::toDoubleList(record.DList);
    if (t.size() != r.size())
        return refuse(reason, QCoreApplication::translate("CoefficientFit", "标准温度%1个，读数%2个，个数不同。")
                                  .arg(t.size())
                                  .arg(r.size()));
    if (t.size() < minCount)
        return refuse(reason, QCoreApplication::translate("CoefficientFit", "需要至少%1个温度点，只有%2个。")
                                  .arg(minCount)
                                  .arg(t.size()));
    return true;
}

// The reference temperatures grouped into distinct temperatures: ascending, a temperature less
// than kSameTemperature above the previous one belongs to the previous one's group. Each group
// gives its mean reading, in the order of the groups.
QList<double> readingsPerTemperature(const QList<double> &t, const QList<double> &r)
{
    QList<int> order;
    for (int k = 0; k < t.size(); ++k)
        order.append(k);
    // NaN (a stored "nan", refused later as not finite) goes last, so the order stays strict.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return std::isnan(t[a]) != std::isnan(t[b]) ? !std::isnan(t[a]) : t[a] < t[b];
    });
    QList<double> means;
    int members = 0;
    for (int i = 0; i < order.size(); ++i) {
        const int k = order[i];
        if (i == 0 || !(t[k] - t[order[i - 1]] < kSameTemperature)) {
            means.append(0.0);
            members = 0;
        }
        means.last() = (means.last() * members + r[k]) / (members + 1);
        ++members;
    }
    return means;
}

// Points that cannot determine the equation: fewer distinct reference temperatures than the
// method needs (typed defaults repeated at every point, several points taken in one bath), or one
// reading at every point.
bool distinctPoints(const QList<double> &t, const QList<double> &r, int needed, QString *reason)
{
    const int temperatures = readingsPerTemperature(t, r).size();
    if (temperatures < needed)
        return refuse(reason, QCoreApplication::translate("CoefficientFit", "不同的标准温度只有%1个，需要%2个。")
                                  .arg(temperatures)
                                  .arg(needed));
    if (std::all_of(r.cbegin(), r.cend(), [&](double v) { return v == r.first(); }))
        return refuse(reason, QCoreApplication::translate("CoefficientFit", "所有读数相同。"));
    return true;
}

// A sensor's resistance is monotonic in its temperature: from one distinct temperature to the
// next the readings must all rise or all fall.
bool steadyReadings(const QList<double> &t, const QList<double> &r, QString *reason)
{
    const QList<double> means = readingsPerTemperature(t, r);
    bool rising = true, falling = true;
    for (int i = 1; i < means.size(); ++i) {
        rising = rising && means[i] > means[i - 1];
        falling = falling && means[i] < means[i - 1];
    }
    if (rising || falling)
        return true;
    return refuse(reason, QCoreApplication::translate("CoefficientFit", "读数没有随标准温度单调上升或下降。"));
}

// Thermistor fits: y(x) as a cubic over the transformed points.
bool fitThermistor(Tool::Struct_CalibrationData &record, bool temperatureOfResistance, QString *reason)
{
    QList<double> t, r;
    if (!readPoints(record, t, r, 4, reason) || !distinctPoints(t, r, 4, reason))
        return false;
    QList<double> inverseT, logR;
    for (int k = 0; k < t.size(); ++k) {
        inverseT.append(1.0 / (t[k] + kKelvinOffset));
        logR.append(std::log(r[k]));
    }
    const QList<double> c = temperatureOfResistance ? leastSquares(logR, inverseT, 4)
                                                    : leastSquares(inverseT, logR, 4);
    return store(record, t, r, {c[0], c[1], c[2], c[3], {}, {}, {}}, 10, reason);
}

// Ascending by temperature; neighbours change places only when the earlier one is strictly
// higher, so equal temperatures keep their order. Each reading moves with its temperature.
void sortPoints(QList<double> &t, QList<double> &r)
{
    for (int pass = 0; pass + 1 < t.size(); ++pass)
        for (int k = 0; k + 1 < t.size() - pass; ++k)
            if (t[k] > t[k + 1]) {
                t.swapItemsAt(k, k + 1);
                r.swapItemsAt(k, k + 1);
            }
}

// W − Wr at one point.
double deviation(double r0, double t, double r, double (*wr)(double), double &w)
{
    w = r / r0;
    return w - wr(t);
}

bool fitCVD(Tool::Struct_CalibrationData &record, QString *reason)
{
    QList<double> t, r;
    if (!readPoints(record, t, r, 3, reason) || !distinctPoints(t, r, 3, reason))
        return false;
    const QList<double> c = leastSquares(t, r, 3);
    return store(record, t, r, {c[1] / c[0], c[2] / c[0], {}, {}, c[0], {}, {}}, 10, reason);
}

bool fitITS90(Tool::Struct_CalibrationData &record, QString *reason)
{
    QList<double> t, r;
    if (!readPoints(record, t, r, 3, reason))
        return false;
    if (t.size() != 3 && t.size() != 5)
        return refuse(reason, its90Count(t.size()));
    ITS90Coefficients c;
    if (!distinctPoints(t, r, t.size(), reason) || !its90Coefficients(t, r, c, reason))
        return false;
    return store(record, t, r, {c.a, c.b, {}, {}, c.r0, c.a4, c.b4}, 8, reason);
}

bool fit(Tool::Struct_CalibrationData &record, QString *reason)
{
    if (record.Range == QLatin1String("CVD"))
        return fitCVD(record, reason);
    if (record.Range == QLatin1String("R(T)"))
        return fitThermistor(record, false, reason);
    if (record.Range == QLatin1String("T(R)"))
        return fitThermistor(record, true, reason);
    if (record.Range == QLatin1String("ITS90"))
        return fitITS90(record, reason);
    return refuse(reason, QCoreApplication::translate("CoefficientFit", "未知的计算方法“%1”。").arg(record.Range));
}

} // namespace

bool fitRecord(Tool::Struct_CalibrationData &record)
{
    return fit(record, nullptr);
}

QString refusal(const Tool::Struct_CalibrationData &record)
{
    Tool::Struct_CalibrationData copy = record;
    QString reason;
    return fit(copy, &reason) ? QString() : reason;
}

bool fitCVD(Tool::Struct_CalibrationData &record)
{
    return fitCVD(record, nullptr);
}

bool fitRT(Tool::Struct_CalibrationData &record)
{
    return fitThermistor(record, false, nullptr);
}

bool fitTR(Tool::Struct_CalibrationData &record)
{
    return fitThermistor(record, true, nullptr);
}

bool fitITS90(Tool::Struct_CalibrationData &record)
{
    return fitITS90(record, nullptr);
}

Matrix normalEquations(const QList<double> &x, const QList<double> &y, int n)
{
    Matrix a(n, QVector<double>(n + 1, 0.0));
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            for (double xk : x)
                a[i][j] += std::pow(xk, double(i + j));
        for (int k = 0; k < x.size(); ++k)
            a[i][n] += std::pow(x[k], double(i)) * y[k];
    }
    if (n > 0)
        a[0][0] = double(x.size());
    return a;
}

QList<double> gaussSolve(Matrix a, int n)
{
    for (int p = 0; p + 1 < n; ++p)
        for (int row = p + 1; row < n; ++row) {
            const double f = a[p][p] != 0.0 ? a[row][p] / a[p][p] : 0.0;
            for (int j = p; j <= n; ++j)
                a[row][j] -= f * a[p][j];
        }
    QVector<double> s(n, 0.0);
    for (int i = n - 1; i >= 0; --i) {
        double rhs = a[i][n];
        for (int j = i + 1; j < n; ++j)
            rhs -= a[i][j] * s[j];
        s[i] = rhs / a[i][i];
    }
    return QList<double>(s.cbegin(), s.cend());
}

QList<double> leastSquares(const QList<double> &x, const QList<double> &y, int n)
{
    return gaussSolve(normalEquations(x, y, n), n);
}

double its90WrBelow(double t)
{
    const double u = (std::log((t + kKelvinOffset) / kTriplePointK) + kLowShift) / kLowShift;
    return std::exp(powerSeries(kWrBelow, u));
}

double its90WrAbove(double t)
{
    return powerSeries(kWrAbove, (t - kHighShift) / kHighShift);
}

void its90Negative(double r0, double t1, double r1, double t2, double r2, double &a4, double &b4)
{
    double w1, w2;
    const double d1 = deviation(r0, t1, r1, its90WrBelow, w1);
    const double d2 = deviation(r0, t2, r2, its90WrBelow, w2);
    const double lnW1 = std::log(w1), lnW2 = std::log(w2);
    const double det = (lnW2 - lnW1) * (w2 - 1.0) * (w1 - 1.0);
    a4 = (lnW2 * d1 * (w2 - 1.0) - lnW1 * d2 * (w1 - 1.0)) / det;
    b4 = (d2 * (w1 - 1.0) - d1 * (w2 - 1.0)) / det;
}

void its90Positive(double r0, double t1, double r1, double t2, double r2, double &a, double &b)
{
    double w1, w2;
    const double d1 = deviation(r0, t1, r1, its90WrAbove, w1);
    const double d2 = deviation(r0, t2, r2, its90WrAbove, w2);
    const double e1 = w1 - 1.0, e2 = w2 - 1.0;
    a = (d1 * e2 * e2 - d2 * e1 * e1) / (e2 * e2 * e1 - e1 * e1 * e2);
    b = (d2 - a * e2) / (e2 * e2);
}

bool its90Coefficients(const QList<double> &temperatures, const QList<double> &readings,
                       ITS90Coefficients &out, QString *reason)
{
    QList<double> t = temperatures, r = readings;
    if (t.size() != r.size() || (t.size() != 3 && t.size() != 5))
        return refuse(reason, its90Count(t.size()));
    sortPoints(t, r);

    const auto nearZero = [](double v) { return std::fabs(v) <= kZeroTolerance; };
    int ref;
    if (t.size() == 5)
        ref = nearZero(t[2]) ? 2 : -1;
    else
        ref = nearZero(t[0]) ? 0 : nearZero(t[2]) ? 2 : -1;
    if (ref < 0)
        return refuse(reason, t.size() == 5
                                  ? QCoreApplication::translate("CoefficientFit", "居中的温度点不在0℃±0.1℃以内。")
                                  : QCoreApplication::translate("CoefficientFit", "最低或最高的温度点都不在0℃±0.1℃以内。"));

    // The deviation functions are defined on W = R / R(0.01 ℃). The reading at a reference point
    // beside the triple point is brought there along the reference function of its side.
    const auto wr = t[ref] < kTriplePointC ? its90WrBelow : its90WrAbove;
    ITS90Coefficients c;
    c.r0 = r[ref] * wr(kTriplePointC) / wr(t[ref]);
    // The two points below the reference point make the range below 0 ℃, the two above it the
    // range above 0 ℃; a range without its two points keeps zero coefficients.
    if (ref >= 2)
        its90Negative(c.r0, t[ref - 1], r[ref - 1], t[ref - 2], r[ref - 2], c.a4, c.b4);
    if (ref + 2 < t.size())
        its90Positive(c.r0, t[ref + 1], r[ref + 1], t[ref + 2], r[ref + 2], c.a, c.b);

    for (double v : {c.a, c.b, c.r0, c.a4, c.b4})
        if (!std::isfinite(v))
            return refuse(reason, notFinite());
    out = c;
    return true;
}

} // namespace CoefficientFit
