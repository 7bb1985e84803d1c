#pragma once

#include "calibration/Field.h"

// The thermostatic bath: short key=value command lines over a serial port. Each query is tried
// up to three times and its reply accepted only with the expected prefix.
class FieldTank : public Field
{
    Q_OBJECT
public:
    FieldTank();

    // Fails at once on an open transport (sn untouched); else opens it (120 polls of the open
    // state) and asks for the identity.
    bool Open(const QString &type, const QString &address, const QString &parameter, QString &sn) override;
    // "sn"; id = the reply after its first ":".
    bool CheckID(QString &id) override;
    // Six set-up lines, no reply read; fails at the first failed send.
    bool Init() override;
    // "r"; the number after the reply's first ":" (spaces and "C" removed).
    bool ReadTemp(double &t) override;
    // Up to three writes of "s=<T with two decimals>", each followed by up to three read-backs
    // "s" that must come within 0.01 of T.
    bool SetTemp(double t) override;
    // "st": stable only for the reply "st:1".
    bool IsStable(bool &stable) override;
    // One reply line within 600 polls of 10 ms.
    bool ReadData(QString &line) override;

private:
    // Up to three tries of sending the command and reading a reply that starts with prefix.
    bool Query(const QString &command, const QString &prefix, QString &line);
    // The number after the first ":" of a reply, spaces and capital "C" removed.
    static bool ValueOf(QString line, double &value);
};
