#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A small tmpfs mounted for one test (the tests run as root): a disk that really fills.
//
//   SmallTmpfs disk(1024 * 1024);
//   QVERIFY2(disk.isMounted(), qPrintable(disk.error()));
//   QVERIFY(disk.fill());     // a filler file takes every free page: writes fail with ENOSPC
//   disk.makeRoom();          // the filler goes again
//
// The destructor unmounts lazily, so a file or database still open does not keep it mounted.
class SmallTmpfs
{
public:
    explicit SmallTmpfs(qint64 bytes)
    {
        m_error = m_dir.errorString();
        m_mounted = m_dir.isValid() && run("mount", {"-t", "tmpfs", "-o", QStringLiteral("size=%1").arg(bytes), "tmpfs", m_dir.path()});
    }
    ~SmallTmpfs()
    {
        if (m_mounted)
            run("umount", {"-l", m_dir.path()});
    }
    SmallTmpfs(const SmallTmpfs &) = delete;
    SmallTmpfs &operator=(const SmallTmpfs &) = delete;

    bool isMounted() const { return m_mounted; }
    QString error() const { return m_error; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    bool fill()
    {
        QFile filler(m_dir.filePath(".filler"));
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
    void makeRoom() { QFile::remove(m_dir.filePath(".filler")); }

private:
    // Runs the command; its error output (or exit status) in m_error on failure.
    bool run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        if (process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return true;
        m_error = program + ' ' + arguments.join(' ') + ": " + QString::fromLocal8Bit(process.readAllStandardError())
                  + process.errorString();
        return false;
    }

    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_error;
};
