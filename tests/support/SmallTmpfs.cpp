#include "SmallTmpfs.h"

#include <QFile>
#include <QProcess>

SmallTmpfs::SmallTmpfs(int kilobytes)
{
    if (!m_dir.isValid())
        return;
    m_mounted = QProcess::execute(QStringLiteral("mount"),
                                  {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                   QStringLiteral("-o"), QStringLiteral("size=%1k").arg(kilobytes),
                                   QStringLiteral("tmpfs"), m_dir.path()})
                == 0;
}

SmallTmpfs::~SmallTmpfs()
{
    if (m_mounted)
        QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir.path()});
}

bool SmallTmpfs::fill()
{
    QFile filler(filePath(QStringLiteral("filler")));
    if (!m_mounted || !filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    // A last partial block fills what a whole one did not.
    while (filler.write(block.constData(), 1) == 1) {
    }
    return true;
}
