#pragma once

#include "store/Tool.h"

#include <QDateTime>
#include <QList>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

// A project of one instrument whose channels 1-1, 1-2, ... have the given display units.
inline Tool::Struct_Parameters testProject(const QString &name, const QStringList &units,
                                           const QString &start = QStringLiteral("2024-05-01 08:00:00"))
{
    Tool::Struct_Parameters p;
    p.Name = name;
    p.CreateTime = p.StartTime = start;
    p.Model = QStringList{QStringLiteral("R27K")};
    p.Serial = QStringList{QStringLiteral("SN-1")};
    p.SignalMode = QStringList{QStringLiteral("网络")};
    p.Signal1 = QStringList{QStringLiteral("192.168.1.10")};
    p.Signal2 = QStringList{QStringLiteral("502")};
    p.Rate = QStringList{QStringLiteral("快速")};
    p.Interval = QStringLiteral("1");
    for (int c = 0; c < units.size(); ++c) {
        p.CHName << QStringLiteral("1-%1").arg(c + 1);
        p.CHType << QStringLiteral("NTC");
        p.CHFunction << QString();
        p.CHWire << QString();
        p.CHUnit << units.at(c);
        p.CHM << QStringLiteral("1");
        p.CHB << QStringLiteral("0");
        p.CHDisplayUnit << units.at(c);
    }
    return p;
}

// Sample n of a test project: 2024-05-01 08:00:00 local time plus n seconds and n milliseconds.
inline QDateTime sampleTime(int n)
{
    return QDateTime(QDate(2024, 5, 1), QTime(8, 0)).addMSecs(qint64(n) * 1001);
}

// Stores the project and one sample per entry of rows (values joined as stored).
inline bool storeProject(const Tool::Struct_Parameters &project, const QStringList &rows)
{
    if (!Tool::addParameters(project))
        return false;
    for (int n = 0; n < rows.size(); ++n) {
        Tool::Struct_ParametersData sample{project.Name, sampleTime(n), rows.at(n).split(QLatin1Char(','))};
        if (!Tool::addParametersData(sample))
            return false;
    }
    return true;
}

// Number of rows that match a condition, e.g. count("ParametersData WHERE Name = 'A'").
inline int count(const QString &tableAndCondition)
{
    QSqlQuery q;
    q.exec(QStringLiteral("SELECT COUNT(*) FROM ") + tableAndCondition);
    return q.next() ? q.value(0).toInt() : -1;
}
