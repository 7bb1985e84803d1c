#pragma once

#include <QString>
#include <QStringList>
#include <QStringRef>
#include <QVector>
#include <QtGlobal>

// One sample read from an instrument's record file: the time in milliseconds since the epoch
// and the value texts joined with ",". A day of samples with tens of channels is held this
// way in a few tens of megabytes instead of one string object per value.
struct Struct_ImportSample {
    qint64 Time = 0;      // milliseconds since the epoch
    QString Values;       // value texts joined with ","
    int Count = 0;        // number of value texts

    static Struct_ImportSample fromList(qint64 time, const QStringList &values)
    {
        Struct_ImportSample s;
        s.Time = time;
        s.Values = values.join(QLatin1Char(','));
        s.Count = values.size();
        return s;
    }

    // The value texts as separate strings.
    QStringList valueList() const
    {
        return Count == 0 ? QStringList() : Values.split(QLatin1Char(','));
    }

    // Value text number index, empty when the sample has fewer values.
    QStringRef value(int index) const
    {
        if (index < 0 || index >= Count)
            return QStringRef();
        int start = 0;
        for (int i = 0; i < index; ++i) {
            start = Values.indexOf(QLatin1Char(','), start);
            if (start < 0)
                return QStringRef();
            ++start;
        }
        int end = Values.indexOf(QLatin1Char(','), start);
        if (end < 0)
            end = Values.size();
        return Values.midRef(start, end - start);
    }
};
