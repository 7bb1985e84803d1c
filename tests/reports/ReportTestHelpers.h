#pragma once

#include "store/Tool.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

// A project of one instrument whose channels 1-1, 1-2, ... have the given display units.
inline Tool::Struct_Parameters testProject(const QString &name, const QStringList &units,
                                           const QString &start = QStringLiteral("2024-05-01 08:00:00"))
{
    Tool::Struct_Parameters p{name, start, start, {"R27K"}, {"SN-1"}, {"网络"}, {"192.168.1.10"}, {"502"}, {"快速"},
                              "1", {}, {}, {}, {}, units, {}, {}, units};
    for (int c = 0; c < units.size(); ++c) {
        p.CHName << QStringLiteral("1-%1").arg(c + 1);
        p.CHType << QStringLiteral("NTC");
        p.CHM << QStringLiteral("1");
        p.CHB << QStringLiteral("0");
    }
    return p;
}

// Sample n of a test project: 2024-05-01 08:00:00 local time plus n × 1.001 s.
inline QDateTime sampleTime(int n)
{
    return QDateTime(QDate(2024, 5, 1), QTime(8, 0)).addMSecs(qint64(n) * 1001);
}

// Stores the project and one sample per entry of rows (the values as stored, joined with ",").
inline bool storeProject(const Tool::Struct_Parameters &project, const QStringList &rows)
{
    bool ok = Tool::addParameters(project);
    for (int n = 0; ok && n < rows.size(); ++n)
        ok = Tool::addParametersData({project.Name, sampleTime(n), rows.at(n).split(QLatin1Char(','))});
    return ok;
}

// Rows that match, e.g. count("ParametersData WHERE Name = 'A'").
inline int count(const QString &tableAndCondition)
{
    QSqlQuery q(QStringLiteral("SELECT COUNT(*) FROM ") + tableAndCondition);
    return q.next() ? q.value(0).toInt() : -1;
}
