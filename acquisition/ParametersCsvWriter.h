#pragma once

#include "acquisition/Struct_Sample.h"
#include "store/Tool.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVector>

#include <memory>

class QThread;
struct Struct_System;

// The daily CSV files of a saved on-line run: one file per project and day,
// "<folder><project name>-yyyy-MM-dd.csv", UTF-8 without byte-order mark, fields separated by ",".
// Header "Time,<label>(<display unit>),..."; one row per sample, "yyyy-MM-dd hh:mm:ss.zzz" and
// the project's values with DataAccuracy decimals.
//
// The run dialog owns one writer and calls it from the GUI thread only: createCsvFiles once the
// project records are stored, addSamples from each display tick, flushAll when the run ends.
// Rows are appended by a worker thread at most once per flush interval (1200 s); every row goes
// to the file of its day (a row at exactly midnight to the day it ends), and an existing file is
// appended to without a new header. Rows whose file cannot be opened or written are kept for the
// next flush; a failed write is cut back to the file's length before it, so a file never ends in
// half a line. The destructor waits for the worker and writes whatever is still held.
class ParametersCsvWriter
{
    Q_DECLARE_TR_FUNCTIONS(ParametersCsvWriter)
public:
    // projects: the run's project records in project order (name, channel labels and display
    // units are used). DataAccuracy is read from system at each flush.
    ParametersCsvWriter(const QList<Tool::Struct_Parameters> &projects, const Struct_System *system,
                        const QString &folder = defaultFolder());
    ~ParametersCsvWriter();
    ParametersCsvWriter(const ParametersCsvWriter &) = delete;
    ParametersCsvWriter &operator=(const ParametersCsvWriter &) = delete;

    // "<application directory>/Data/", or the folder set by setDefaultFolder.
    static QString defaultFolder();
    // Replaces the default folder for writers made afterwards (tests write into their own
    // working folder); an empty text restores "<application directory>/Data/".
    static void setDefaultFolder(const QString &folder);
    // The day whose file receives a row of that time: its own date, except that a row at
    // 00:00:00.000 still closes the day that ends there.
    static QDate fileDay(const QDateTime &time);
    // "<project name>-yyyy-MM-dd.csv"
    static QString fileName(const QString &project, const QDate &day);
    QString filePath(int project, const QDate &day) const;

    // Creates the folder and the day's file of every project with its header (a file that exists
    // already is left as it is; one that cannot be made gets its header with its first rows);
    // the first flush is due one flush interval later.
    void createCsvFiles(const QDateTime &now = QDateTime::currentDateTime());
    // Takes the samples of a display tick; when the flush time has come and no write is under way,
    // starts the worker on everything held.
    void addSamples(const QList<Struct_Sample> &samples,
                    const QDateTime &now = QDateTime::currentDateTime());
    // End of the run: writes every row not yet written, whatever the flush time, and returns when
    // the write is done.
    void flushAll();
    // Blocks until the worker is done.
    void waitForDone();
    // Rows held and not being written (all projects); after waitForDone, those whose file failed.
    int pendingRowCount() const;
    // The first failed write or open since the previous call ("<file>: <reason>"), else empty.
    QString takeFailure();

    static QString headerLine(const Tool::Struct_Parameters &project);
    static QString rowLine(const QDateTime &time, const QList<double> &values, int decimals);
    // The text as a CSV field: quoted (RFC 4180) only when it holds a separator, a quote or a
    // line break.
    static QString csvField(const QString &text);

private:
    struct Row {
        QDateTime Time;
        QList<double> Values;
    };
    using ProjectRows = QVector<QList<Row>>; // one list per project
    struct Job {
        ProjectRows Rows;
        ProjectRows Failed;
        QVector<int> Done; // rows of each project written or moved to Failed
        QString Failure;
        int Decimals = 2;
    };

    // Everything held, with the decimals of now, as one job; nothing is held afterwards.
    Job takePending();
    void startWriter();
    void collectWriter();
    void writeJob(Job &job) const;
    // writeJob under the worker guard: when it ends by an exception, the rows not done fail.
    void runJob(Job &job) const;
    void keepFailed(const Job &job);
    bool appendRows(int project, const QDate &day, const QList<Row> &rows, int decimals,
                    QString &failure) const;
    bool hasPendingRows() const;

    const QString m_folder;
    const QList<Tool::Struct_Parameters> m_projects;
    const Struct_System *m_system;
    ProjectRows m_pending;
    QDateTime m_nextFlush;
    QString m_failure;
    QThread *m_thread = nullptr;
    std::unique_ptr<Job> m_job; // written by m_thread while it runs
};
