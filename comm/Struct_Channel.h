#pragma once

#include <QMetaType>
#include <QString>
#include <QtGlobal>

// One channel of an acquisition instrument, held by the drivers and edited by the channel
// dialogs. The coefficient texts are kept exactly as the instrument or a coefficient file
// gives them; the linear correction Offset_M * x + Offset_B is applied by the instrument.
struct Struct_Channel {
    quint32 Number = 0;
    bool Enabled = false;
    QString Type;       // sensor type
    QString Function;   // function or equation
    QString Wire;       // wiring
    QString Unit;
    QString A, B, C, D, R0, A4, B4; // coefficient texts
    float Offset_M = 1.0f;          // factor M of the correction Mx+B
    float Offset_B = 0.0f;          // offset B of the correction Mx+B
    QString Parameter1;
    QString Parameter2;
};
Q_DECLARE_METATYPE(Struct_Channel)
