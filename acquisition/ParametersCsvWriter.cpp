#include "acquisition/ParametersCsvWriter.h"

#include "acquisition/AcquisitionTiming.h"
#include "common/Struct_System.h"
#include "common/WorkerGuard.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>

namespace {

QMutex folderMutex;
QString folderOverride;

QString withSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

} // namespace

ParametersCsvWriter::ParametersCsvWriter(const QList<Tool::Struct_Parameters> &projects,
                                         const Struct_System *system, const QString &folder)
    : m_folder(withSlash(folder))
    , m_projects(projects)
    , m_system(system)
    , m_pending(projects.size())
{
}

ParametersCsvWriter::~ParametersCsvWriter()
{
    waitForDone();
    if (!hasPendingRows())
        return;
    // The rows of the last stretch of the run: written here, in the owner's thread.
    Job job = takePending();
    runJob(job);
    for (int j = 0; j < job.Failed.size(); ++j) {
        if (!job.Failed.at(j).isEmpty()) {
            qWarning().noquote() << QStringLiteral("%1 rows lost, the CSV file cannot be written: %2")
                                        .arg(job.Failed.at(j).size())
                                        .arg(filePath(j, fileDay(job.Failed.at(j).constFirst().Time)));
        }
    }
}

QString ParametersCsvWriter::defaultFolder()
{
    {
        QMutexLocker lock(&folderMutex);
        if (!folderOverride.isEmpty())
            return withSlash(folderOverride);
    }
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Data/");
}

void ParametersCsvWriter::setDefaultFolder(const QString &folder)
{
    QMutexLocker lock(&folderMutex);
    folderOverride = folder;
}

QDate ParametersCsvWriter::fileDay(const QDateTime &time)
{
    const QDate date = time.date();
    return time.time() == QTime(0, 0) ? date.addDays(-1) : date;
}

QString ParametersCsvWriter::fileName(const QString &project, const QDate &day)
{
    return project + QLatin1Char('-') + day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".csv");
}

QString ParametersCsvWriter::filePath(int project, const QDate &day) const
{
    return m_folder + fileName(m_projects.at(project).Name, day);
}

void ParametersCsvWriter::createCsvFiles(const QDateTime &now)
{
    if (!QDir().mkpath(m_folder))
        qWarning().noquote() << QStringLiteral("Cannot create the CSV folder: ") + m_folder;
    m_nextFlush = now.addMSecs(AcquisitionTiming::get().CsvFlushMs);
    for (int j = 0; j < m_projects.size(); ++j) {
        QString failure;
        if (!appendRows(j, now.date(), {}, 0, failure) && m_failure.isEmpty())
            m_failure = failure;
    }
}

void ParametersCsvWriter::addSamples(const QList<Struct_Sample> &samples, const QDateTime &now)
{
    collectWriter();
    for (const Struct_Sample &sample : samples) {
        for (int j = 0; j < m_projects.size(); ++j) {
            if (j < sample.Values.size()) {
                m_pending[j].append(Row{sample.Time, sample.Values.at(j)});
            } else {
                qWarning().noquote() << QStringLiteral("Sample without values for project ")
                                            + m_projects.at(j).Name;
            }
        }
    }
    const qint64 interval = AcquisitionTiming::get().CsvFlushMs;
    if (!m_nextFlush.isValid())
        m_nextFlush = now.addMSecs(interval);
    if (now < m_nextFlush || m_thread)
        return; // not due yet, or the previous write is still under way: the next tick retries
    m_nextFlush = m_nextFlush.addMSecs(interval);
    startWriter();
}

void ParametersCsvWriter::flushAll()
{
    waitForDone();
    startWriter();
    waitForDone();
}

void ParametersCsvWriter::waitForDone()
{
    if (m_thread)
        m_thread->wait();
    collectWriter();
}

int ParametersCsvWriter::pendingRowCount() const
{
    int count = 0;
    for (const QList<Row> &rows : m_pending)
        count += rows.size();
    return count;
}

QString ParametersCsvWriter::takeFailure()
{
    QString failure;
    failure.swap(m_failure);
    return failure;
}

QString ParametersCsvWriter::headerLine(const Tool::Struct_Parameters &project)
{
    QString line = QStringLiteral("Time");
    for (int k = 0; k < project.CHName.size(); ++k) {
        line += QLatin1Char(',')
                + csvField(project.CHName.at(k) + QLatin1Char('(') + project.CHDisplayUnit.value(k)
                           + QLatin1Char(')'));
    }
    return line;
}

QString ParametersCsvWriter::rowLine(const QDateTime &time, const QList<double> &values, int decimals)
{
    QString line = time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    for (const double value : values)
        line += QLatin1Char(',') + QString::number(value, 'f', decimals);
    return line;
}

QString ParametersCsvWriter::csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void ParametersCsvWriter::startWriter()
{
    if (m_thread || !hasPendingRows())
        return;
    m_job.reset(new Job(takePending()));
    Job *job = m_job.get();
    m_thread = QThread::create([this, job]() { runJob(*job); });
    m_thread->setObjectName(QStringLiteral("CsvWriter"));
    m_thread->start();
}

ParametersCsvWriter::Job ParametersCsvWriter::takePending()
{
    Job job;
    job.Rows = m_pending;
    job.Failed.resize(m_projects.size());
    job.Done.fill(0, m_projects.size());
    job.Decimals = m_system ? m_system->DataAccuracy : 2;
    m_pending = ProjectRows(m_projects.size());
    return job;
}

void ParametersCsvWriter::collectWriter()
{
    if (!m_thread || !m_thread->isFinished())
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    keepFailed(*m_job);
    m_job.reset();
}

// Rows whose file could not be written go back in front of everything taken since.
void ParametersCsvWriter::keepFailed(const Job &job)
{
    for (int j = 0; j < job.Failed.size(); ++j)
        m_pending[j] = job.Failed.at(j) + m_pending.at(j);
    if (m_failure.isEmpty())
        m_failure = job.Failure;
}

void ParametersCsvWriter::runJob(Job &job) const
{
    if (runGuarded("CSV writer", [&] { writeJob(job); }))
        return;
    for (int j = 0; j < job.Rows.size(); ++j)
        job.Failed[j] += job.Rows.at(j).mid(job.Done.at(j));
    if (job.Failure.isEmpty())
        job.Failure = tr("写入线程异常终止，详见日志");
}

void ParametersCsvWriter::writeJob(Job &job) const
{
    for (int j = 0; j < job.Rows.size(); ++j) {
        const QList<Row> &rows = job.Rows.at(j);
        // Consecutive rows of one day go to that day's file in one open.
        int first = 0;
        while (first < rows.size()) {
            const QDate day = fileDay(rows.at(first).Time);
            int end = first + 1;
            while (end < rows.size() && fileDay(rows.at(end).Time) == day)
                ++end;
            const QList<Row> dayRows = rows.mid(first, end - first);
            QString failure;
            if (!appendRows(j, day, dayRows, job.Decimals, failure)) {
                job.Failed[j] += dayRows;
                if (job.Failure.isEmpty())
                    job.Failure = failure;
            }
            first = end;
            job.Done[j] = end;
        }
    }
}

bool ParametersCsvWriter::appendRows(int project, const QDate &day, const QList<Row> &rows,
                                     int decimals, QString &failure) const
{
    QDir().mkpath(m_folder);
    QFile file(filePath(project, day));
    // Unbuffered: nothing of a failed write stays behind in a buffer for close() to write later.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered)) {
        failure = file.fileName() + QStringLiteral(": ") + file.errorString();
        qWarning().noquote() << QStringLiteral("Cannot open the CSV file %1; %2 rows kept for the next write")
                                    .arg(failure)
                                    .arg(rows.size());
        return false;
    }
    const qint64 before = file.size();
    QByteArray bytes;
    if (before == 0)
        bytes += headerLine(m_projects.at(project)).toUtf8() + '\n';
    for (const Row &row : rows)
        bytes += rowLine(row.Time, row.Values, decimals).toUtf8() + '\n';
    // A write that stops short (the disk filled) is tried on, so that the error becomes known.
    qint64 written = 0;
    for (qint64 n = 0; written < bytes.size(); written += n) {
        if ((n = file.write(bytes.constData() + written, bytes.size() - written)) <= 0)
            break;
    }
    if (written == bytes.size())
        return true;

    failure = file.fileName() + QStringLiteral(": ") + file.errorString();
    // The part that reached the file goes again, so the next append starts on a line of its own.
    const bool cut = file.resize(before);
    qWarning().noquote() << QStringLiteral("Write error in the CSV file %1; %2 rows kept for the next write%3")
                                .arg(failure)
                                .arg(rows.size())
                                .arg(cut ? QString() : QStringLiteral(", the file could not be cut back"));
    return false;
}

bool ParametersCsvWriter::hasPendingRows() const
{
    return pendingRowCount() > 0;
}
