#pragma once

#include "store/Tool.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QString>

// Writes one project's stored samples to a workbook of one sheet: the project's information in
// rows 1 to 7, the head row 9 ("时间" and each shown channel with its unit) and from row 10 one
// row per sample, its time and the shown channels' values as numbers.
//
// The samples are read in time order through a database connection of the writer's own (so it
// runs in any thread) and go straight into a constant-memory sheet. A value that is not a finite
// number leaves its cell empty; a row with fewer values than the project has channels leaves the
// missing cells empty, extra values are not written. Nothing reaches the path unless every
// sample was written and the file saved; more samples than a sheet holds fail the export.
class SimpleDataExport
{
    Q_DECLARE_TR_FUNCTIONS(SimpleDataExport)

public:
    static constexpr int FirstDataRow = 10;

    // shown: per channel of the project, whether its column is written (a missing entry: yes).
    SimpleDataExport(const Tool::Struct_Parameters &project, const QList<bool> &shown, int precision);

    // Only the samples from the second of from to the end of the second of to.
    void SetRange(const QDateTime &from, const QDateTime &to);

    // Reads the samples from the database file and writes the workbook to path.
    bool Write(const QString &path, const QString &databaseFile);
    // After a failed Write, when the file could not be made, written or put in place: the path
    // and the system's reason; empty otherwise.
    QString fileError() const { return m_FileError; }

private:
    Tool::Struct_Parameters m_Project;
    QList<bool> m_Shown;
    int m_Precision = 2;
    bool m_Ranged = false;
    qint64 m_From = 0;
    qint64 m_To = 0;
    QString m_FileError;
};
