#pragma once

#include "store/Tool.h"

#include <QList>
#include <QVector>

// The coefficient fits of a calibrated channel: pure computations on one record, turning its
// reference temperatures (CList, ℃) and readings (DList, Ω) into the coefficient texts of the
// sensor's equation. A fit whose conditions fail, or whose result is not finite, leaves the record
// exactly as it was and returns false. Only A, B, C, D, R0, A4 and B4 are ever written.
//
// Conditions of every fit: equally long lists, the method's number of points, at least that many
// distinct reference temperatures (the stored texts read as numbers, references less than
// 0.01 ℃ apart counting as one temperature; 3 for "CVD" and a three-point "ITS90", 4 for "R(T)"
// and "T(R)", 5 for a five-point "ITS90"), readings that are not all equal, a finite result, and
// readings that rise, or fall, steadily from one distinct temperature to the next (the mean
// reading of each). The normal equations themselves are not judged: a valid thermistor fit over
// a narrow range is ill-conditioned by nature and still exact.
namespace CoefficientFit {

// Calls the fit named by the record's Range ("CVD", "R(T)", "T(R)", "ITS90", compared exactly);
// any other method text fits nothing and returns false.
bool fitRecord(Tool::Struct_CalibrationData &record);

// Why the fit named by the record's Range leaves the record unchanged, as a translated text for
// the run's log; an empty text when it fits. The record itself is not changed.
QString refusal(const Tool::Struct_CalibrationData &record);

// R(t) = R0·(1 + A·t + B·t²), at least 3 points; C, D, A4, B4 := "0".
bool fitCVD(Tool::Struct_CalibrationData &record);
// ln R = A + B/T + C/T² + D/T³ (T in K), at least 4 points; R0, A4, B4 := "0".
bool fitRT(Tool::Struct_CalibrationData &record);
// 1/T = A + B·ln R + C·(ln R)² + D·(ln R)³ (T in K), at least 4 points; R0, A4, B4 := "0".
bool fitTR(Tool::Struct_CalibrationData &record);
// ITS-90 deviation functions from 3 or 5 points; A, B, R0, A4, B4 with 8 digits; C, D := "0".
bool fitITS90(Tool::Struct_CalibrationData &record);

// Augmented normal-equation matrix: n rows of n + 1 values, the last one the right-hand side.
using Matrix = QVector<QVector<double>>;

// Least-squares polynomial y ≈ c0 + c1·x + … + c(n−1)·x^(n−1); returns c0 … c(n−1).
QList<double> leastSquares(const QList<double> &x, const QList<double> &y, int n);
// The normal equations of leastSquares, n × (n + 1).
Matrix normalEquations(const QList<double> &x, const QList<double> &y, int n);
// Gaussian elimination without row exchange (a zero pivot leaves the rows below as they are),
// then back substitution; a zero divisor there gives the IEEE infinities or NaN.
QList<double> gaussSolve(Matrix a, int n);

// The ITS-90 reference functions, t in ℃: from the triple point of argon up to the triple point
// of water, and from 0 ℃ to the freezing point of silver.
double its90WrBelow(double t);
double its90WrAbove(double t);

struct ITS90Coefficients {
    double a = 0.0, b = 0.0;   // above 0 ℃: W − Wr = a·(W − 1) + b·(W − 1)²
    double r0 = 0.0;           // resistance at the triple point of water (0.01 ℃)
    double a4 = 0.0, b4 = 0.0; // below 0 ℃: W − Wr = a4·(W − 1) + b4·(W − 1)·ln W
};

// From exactly 3 or 5 points in any order. Five points: the middle one, within ±0.1 ℃ of 0 ℃,
// is the reference point. Three points: the lowest, within ±0.1 ℃, makes the range above 0 ℃;
// otherwise the highest, within ±0.1 ℃, makes the range below 0 ℃. The triple-point resistance
// is derived from the reading at the reference point through the reference function.
// False when these conditions fail or a result is not finite; reason (when given) then receives
// why, as a translated text.
bool its90Coefficients(const QList<double> &t, const QList<double> &r, ITS90Coefficients &out,
                       QString *reason = nullptr);
// Deviation functions solved through two points (t in ℃, r in Ω) relative to r0.
void its90Negative(double r0, double t1, double r1, double t2, double r2, double &a4, double &b4);
void its90Positive(double r0, double t1, double r1, double t2, double r2, double &a, double &b);

} // namespace CoefficientFit
