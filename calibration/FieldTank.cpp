#include "calibration/FieldTank.h"

#include "comm/CommTiming.h"
#include "comm/ToolComm.h"

#include <cmath>

namespace {
constexpr int Tries = 3;
constexpr double SetPointTolerance = 0.01;
// Read-backs are two-decimal texts: a difference of exactly 0.01 must not fail by binary rounding.
constexpr double Rounding = 1e-9;
}

FieldTank::FieldTank()
{
    m_SignalModeList = QStringList{ToolComm::SerialText};
    m_ModelList = QStringList{QStringLiteral("QNVA-20DL"), QStringLiteral("QNVA-40DL"), QStringLiteral("QNVA-80DL"),
                              QStringLiteral("QNVA-95DL"), QStringLiteral("QNVA-300DH")};
}

bool FieldTank::Open(const QString &type, const QString &address, const QString &parameter, QString &sn)
{
    if (IsOpen())
        return false;
    return OpenSource(type, address, parameter, sn, CommTiming::get().bathConnectPolls);
}

bool FieldTank::CheckID(QString &id)
{
    QString line;
    if (!Query(QStringLiteral("sn\r\n"), QStringLiteral("sn:"), line))
        return false;
    id = line.mid(line.indexOf(QLatin1Char(':')) + 1);
    return true;
}

bool FieldTank::Init()
{
    static const char *const lines[] = {"lf=on\r\n", "u=C\r\n", "sa=n\r\n", "pc=s\r\n", "co=au\r\n", "hg=auto\r\n"};
    for (const char *line : lines) {
        if (!WriteData(QLatin1String(line)))
            return false;
    }
    return true;
}

bool FieldTank::ReadTemp(double &t)
{
    QString line;
    return Query(QStringLiteral("r\r\n"), QStringLiteral("r:"), line) && ValueOf(line, t);
}

bool FieldTank::SetTemp(double t)
{
    QString text;
    if (!SetPointText(t, text))
        return false;
    const QString command = QStringLiteral("s=") + text + QStringLiteral("\r\n");
    for (int write = 0; write < Tries; ++write) {
        if (!WriteData(command))
            return false;
        for (int readBack = 0; readBack < Tries; ++readBack) {
            if (!WriteData(QStringLiteral("s\r\n")))
                return false;
            QString line;
            double value = 0.0;
            // A read-back that is no number is a mismatch, whatever the set point.
            if (ReadData(line) && line.startsWith(QLatin1String("set:")) && ValueOf(line, value)
                && std::fabs(t - value) <= SetPointTolerance + Rounding)
                return true;
        }
    }
    return false;
}

bool FieldTank::IsStable(bool &stable)
{
    QString line;
    if (!Query(QStringLiteral("st\r\n"), QStringLiteral("st:"), line))
        return false;
    stable = line == QLatin1String("st:1");
    return true;
}

bool FieldTank::ReadData(QString &line)
{
    return ReadLine(line, CommTiming::get().bathReplyPolls);
}

bool FieldTank::Query(const QString &command, const QString &prefix, QString &line)
{
    for (int i = 0; i < Tries; ++i) {
        if (!WriteData(command))
            return false;
        if (ReadData(line) && line.startsWith(prefix))
            return true;
    }
    return false;
}

bool FieldTank::ValueOf(QString line, double &value)
{
    line.remove(QLatin1Char(' '));
    line.remove(QLatin1Char('C'));
    return ToNumber(line.mid(line.indexOf(QLatin1Char(':')) + 1), value);
}
