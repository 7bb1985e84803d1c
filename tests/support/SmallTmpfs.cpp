#include "SmallTmpfs.h"

#include <QFile>
#include <QProcess>

namespace {
const char kFiller[] = ".filler";

// Runs the command; its error output (or exit status) in error on failure.
bool runCommand(const QString &program, const QStringList &arguments, QString *error = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    const bool ok = process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit
                    && process.exitCode() == 0;
    if (!ok && error)
        *error = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) + QStringLiteral(": ")
                 + QString::fromLocal8Bit(process.readAllStandardError()) + process.errorString();
    return ok;
}
} // namespace

SmallTmpfs::SmallTmpfs(qint64 bytes)
{
    if (!m_dir.isValid()) {
        m_error = m_dir.errorString();
        return;
    }
    m_mounted = runCommand(QStringLiteral("mount"),
                           {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                            QStringLiteral("size=%1").arg(bytes), QStringLiteral("tmpfs"), m_dir.path()},
                           &m_error);
}

SmallTmpfs::~SmallTmpfs()
{
    if (m_mounted)
        runCommand(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir.path()});
}

bool SmallTmpfs::fill()
{
    QFile filler(m_dir.filePath(QLatin1String(kFiller)));
    if (!filler.open(QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const QByteArray page(4096, 'x');
    while (filler.write(page) == page.size()) {
    }
    // Byte by byte, the last partial page fills what a whole one did not.
    while (filler.write(page.constData(), 1) == 1) {
    }
    return filler.error() != QFileDevice::NoError;
}

void SmallTmpfs::makeRoom()
{
    QFile::remove(m_dir.filePath(QLatin1String(kFiller)));
}
