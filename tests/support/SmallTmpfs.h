#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

// A small tmpfs mounted for one test (the tests run as root): a disk that really fills.
//
//   SmallTmpfs disk(1024 * 1024);
//   QVERIFY2(disk.isMounted(), qPrintable(disk.error()));
//   ... files under disk.path() ...
//   QVERIFY(disk.fill());     // a filler file takes every free page: writes fail with ENOSPC
//   disk.makeRoom();          // the filler goes again
//
// The destructor unmounts lazily, so a file or database still open does not keep it mounted.
class SmallTmpfs
{
public:
    explicit SmallTmpfs(qint64 bytes);
    ~SmallTmpfs();
    SmallTmpfs(const SmallTmpfs &) = delete;
    SmallTmpfs &operator=(const SmallTmpfs &) = delete;

    bool isMounted() const { return m_mounted; }
    QString error() const { return m_error; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    bool fill();
    void makeRoom();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_error;
};
