#pragma once

#include <QString>
#include <QStringList>
#include <QStringRef>
#include <QVector>
#include <QtGlobal>

// One sample read from an instrument's record file: the time in milliseconds since the epoch
// and the value texts joined with ",", with where each of them begins. A day of samples with
// tens of channels is held this way in a few tens of megabytes instead of one string object
// per value, and a value is found without scanning the line.
struct Struct_ImportSample {
    qint64 Time = 0;      // milliseconds since the epoch
    QString Values;       // value texts joined with ","
    QVector<int> Starts;  // position in Values of each value text

    static Struct_ImportSample fromList(qint64 time, const QStringList &values)
    {
        Struct_ImportSample s;
        s.Time = time;
        s.Values = values.join(QLatin1Char(','));
        s.Starts.reserve(values.size());
        int start = 0;
        for (const QString &value : values) {
            s.Starts.append(start);
            start += value.size() + 1;
        }
        return s;
    }

    int count() const { return Starts.size(); }

    // The value texts as separate strings.
    QStringList valueList() const
    {
        QStringList list;
        list.reserve(count());
        for (int i = 0; i < count(); ++i)
            list.append(value(i).toString());
        return list;
    }

    // Value text number index, empty when the sample has fewer values.
    QStringRef value(int index) const
    {
        if (index < 0 || index >= count())
            return QStringRef();
        const int start = Starts.at(index);
        const int end = index + 1 < count() ? Starts.at(index + 1) - 1 : Values.size();
        return Values.midRef(start, end - start);
    }
};
