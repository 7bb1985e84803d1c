#pragma once

#include "store/Tool.h"

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QtEndian>

// Writes seeded random bytes over a page of a table in the database file "DAQ.db3" of the
// working directory, as a damaged disk leaves it: its first page, or (last) the page of its last
// rows, so that a query meets it after reading the others. The default connection is closed
// meanwhile, so that neither its page cache nor the write-ahead log still holds the page, and
// opened again.
inline bool damageTable(const QString &table, bool last = false)
{
    int root = 0;
    int pageSize = 0;
    {
        QSqlQuery q;
        if (!q.exec("PRAGMA wal_checkpoint(TRUNCATE)") || !q.exec("PRAGMA page_size") || !q.next())
            return false;
        pageSize = q.value(0).toInt();
        if (!q.exec("SELECT rootpage FROM sqlite_master WHERE type = 'table' AND name = '" + table + "'") || !q.next())
            return false;
        root = q.value(0).toInt();
    }
    Tool::closeDatabase();
    QFile file("DAQ.db3");
    if (root < 2 || !file.open(QIODevice::ReadWrite) || !file.seek(qint64(root - 1) * pageSize))
        return false;
    int page = root;
    const QByteArray header = file.read(12);
    if (last) {
        // An interior page of a table (type 5) names its right-most child at offset 8.
        if (header.size() < 12 || header.at(0) != 5)
            return false;
        page = int(qFromBigEndian<quint32>(header.constData() + 8));
    }
    QByteArray bytes(pageSize, 0);
    QRandomGenerator random{quint32(page)};
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    const bool written = file.seek(qint64(page - 1) * pageSize) && file.write(bytes) == pageSize;
    file.close();
    return Tool::openDatabase("DAQ.db3") && written;
}
