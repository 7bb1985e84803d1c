#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The options of one segmented report export. The report page owns one for its whole life and
// fills the project's part when a project is loaded; the export dialog fills the rest.
struct Struct_Export {
    bool WorkData = false;          // include the work-data sheet
    bool Horizontal1 = false;       // horizontal analysis of unit group 1
    bool Vertical1 = false;         // vertical analysis of unit group 1
    bool Horizontal2 = false;       // horizontal analysis of unit group 2
    bool Vertical2 = false;         // vertical analysis of unit group 2
    QString ScanInterval;           // the project's scan interval in seconds, as stored
    QString PrintInterval;          // seconds, as typed
    QString Unit1;                  // unit of group 1, over the shown channels (may be empty)
    QString Unit2;                  // unit of group 2 (empty with one unit)
    int Count1 = 0;                 // shown channels of unit Unit1
    int Count2 = 0;                 // the other shown channels (unit group 2)
    int UnitCount = 0;              // distinct display units of the shown channels
    QString Format;                 // "PDF" or "Excel"
    QString Path;                   // output file
    QString Segments;               // "1" to "6"
    QDateTime StartTime;            // the project's first sample
    QDateTime EndTime;              // the project's last sample
    QList<QDateTime> SegmentStart;
    QList<QDateTime> SegmentEnd;
    QStringList SegmentRemark;
};
