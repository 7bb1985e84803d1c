#include "calibration/FieldDry.h"

#include "comm/CommTiming.h"
#include "comm/ToolComm.h"

#include <QThread>

namespace {
constexpr int Tries = 3;

QString cleaned(QString reply)
{
    reply.remove(QLatin1Char(' '));
    reply.remove(QLatin1Char('\n'));
    reply.remove(QLatin1Char('\r'));
    return reply;
}
}

FieldDry::FieldDry()
{
    m_SignalModeList = QStringList{ToolComm::SerialText, ToolComm::TcpText};
    m_ModelList = QStringList{QStringLiteral("QNLK-350H"), QStringLiteral("QNLK-660H")};
}

bool FieldDry::Open(const QString &type, const QString &address, const QString &parameter, QString &sn)
{
    return OpenSource(type, address, parameter, sn, CommTiming::get().connectPolls);
}

bool FieldDry::CheckID(QString &id)
{
    for (int i = 0; i < Tries; ++i) {
        if (!WriteData(QStringLiteral("*IDN?\r\n")))
            return false;
        QString line;
        if (!ReadData(line))
            continue;
        if (line.startsWith(QLatin1String("KOVRA-ELEC"))) {
            id = line.left(line.size() - 2);
            return true;
        }
    }
    return false;
}

bool FieldDry::Init()
{
    QThread::msleep(CommTiming::get().dryWellPauseMs);
    return WriteData(QStringLiteral("OUTP:STAT 1\r\n")) && WriteData(QStringLiteral("u C\r\n"));
}

bool FieldDry::ReadTemp(double &t)
{
    return QueryTemp(QStringLiteral("t\r\n"), t);
}

bool FieldDry::SetTemp(double t)
{
    QString text;
    if (!SetPointText(t, text))
        return false;
    const double wanted = text.toDouble();
    for (int i = 0; i < Tries; ++i) {
        if (!WriteData(QStringLiteral("s ") + text + QStringLiteral("\r\n")))
            return false;
        QThread::msleep(CommTiming::get().dryWellPauseMs);
        if (!WriteData(QStringLiteral("s\r\n")))
            return false;
        QString line;
        if (!ReadData(line))
            continue;
        double readBack = 0.0;
        // A read-back that is no number is a mismatch, whatever the set point.
        if (ToNumber(cleaned(line), readBack) && readBack == wanted)
            return true;
    }
    return false;
}

bool FieldDry::IsStable(bool &stable)
{
    QString reply;
    if (!Query(QStringLiteral("SOUR1:STAB:TEST?\r\n"), reply))
        return false;
    double value = 0.0;
    stable = ToNumber(reply, value) && value != 0.0;
    return true;
}

bool FieldDry::ReadData(QString &line)
{
    return ReadLine(line, CommTiming::get().dryWellReplyPolls);
}

bool FieldDry::QueryTemp(const QString &command, double &t)
{
    QString reply;
    return Query(command, reply) && ToNumber(reply, t);
}

bool FieldDry::Query(const QString &command, QString &reply)
{
    QString line;
    if (!WriteData(command) || !ReadData(line))
        return false;
    reply = cleaned(line);
    return true;
}
