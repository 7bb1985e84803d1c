#pragma once

#include <QString>

// How the temperature source or the reference thermometer of a calibration is reached, held by
// the calibration page and edited by its connection dialog.
struct Struct_Connection {
    QString Model;          // source type ("QNVA", "QNLK-R", "Other", ...) or reference model
    QString SignalMode;     // "串口", "网络" or "蓝牙" (stored untranslated)
    QString Signal1;        // serial port name, IP address or Bluetooth device name
    QString Signal2;        // baud rate, TCP port, or empty for Bluetooth
    bool Connected = false; // a connection test succeeded, or no connection is needed
};
