#pragma once

#include "calibration/Field.h"

// The dry-well calibrator: SCPI-style command lines over a serial port or TCP. Replies are
// cleaned (every space, "\r" and "\n" removed) before they are read as numbers.
class FieldDry : public Field
{
    Q_OBJECT
public:
    FieldDry();

    // Opens the transport (40 polls of the open state) and asks for the identity.
    bool Open(const QString &type, const QString &address, const QString &parameter, QString &sn) override;
    // Up to three "*IDN?" queries; a reply starting "KOVRA-ELEC" gives id (the line less its
    // last two characters).
    bool CheckID(QString &id) override;
    // After a pause: output on, unit Celsius. No reply is read.
    bool Init() override;
    // "t"; the cleaned reply read as a number.
    bool ReadTemp(double &t) override;
    // Up to three tries of writing "s <T with two decimals>", pausing and reading the set point
    // back with "s"; the read-back must equal the written text's value exactly.
    bool SetTemp(double t) override;
    // "SOUR1:STAB:TEST?": a reply that reads as the number 0 is not stable, any other number is;
    // a reply that is no number counts as not stable.
    bool IsStable(bool &stable) override;
    // One reply line within 300 polls of 10 ms.
    bool ReadData(QString &line) override;

protected:
    // Sends the temperature query and reads the cleaned reply as a finite number.
    bool QueryTemp(const QString &command, double &t);
    // Sends a command and reads the cleaned reply line.
    bool Query(const QString &command, QString &reply);
};
