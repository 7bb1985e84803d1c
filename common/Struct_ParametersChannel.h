#pragma once

#include <QMetaType>
#include <QString>

// One channel row of an acquisition set-up, built by the channel table dialog.
struct Struct_ParametersChannel {
    int DeviceIndex = 0;     // index into Struct_System::ProjectDevices
    int ProjectIndex = 0;    // index into Struct_System::ProjectNames, -1 when not found
    QString Channel;         // channel number as registered (CHSerial)
    QString Type;
    QString Function;
    QString Wire;
    QString Unit;            // channel unit as registered (CHUnit)
    double M = 1.0;          // correction M*x + B
    double B = 0.0;
    QString DisplayUnit;
    bool LowEnabled = false;
    double Low = 0.0;
    bool HighEnabled = false;
    double High = 100.0;

    // The channel as named across the run: instrument number (from 1), "-", channel number.
    QString label() const { return QString::number(DeviceIndex + 1) + QLatin1Char('-') + Channel; }
};
Q_DECLARE_METATYPE(Struct_ParametersChannel)
