#pragma once

#include <QDateTime>
#include <QList>
#include <QMetaType>

// One sample of an on-line run.
struct Struct_Sample {
    // Local time taken when the scan of this sample began, millisecond precision.
    QDateTime Time;
    // One list per project in project order; each holds the corrected values of that project's
    // channel rows in channel-table order.
    QList<QList<double>> Values;
};
Q_DECLARE_METATYPE(Struct_Sample)
