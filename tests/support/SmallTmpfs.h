#pragma once

#include <QString>
#include <QTemporaryDir>

// A small tmpfs mounted on a fresh directory for the life of the object, so that writes fail for
// real once it is full. Mounting needs root; isMounted() says whether it worked.
class SmallTmpfs
{
public:
    explicit SmallTmpfs(int kilobytes);
    ~SmallTmpfs();
    SmallTmpfs(const SmallTmpfs &) = delete;
    SmallTmpfs &operator=(const SmallTmpfs &) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    // Writes a filler file until the file system is full, leaving nothing free.
    bool fill();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
