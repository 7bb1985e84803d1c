#pragma once

#include "comm/Collection.h"

#include <QFile>
#include <QStringList>

// Driver of the record-file import models: reads a record file in the application's own
// acquisition CSV layout and opens no connection.
//
// Layout: a header line "Time,<label>(<unit>),..." where a label is a channel number "n" or an
// instrument and channel number "i-n"; then one line per sample,
// "yyyy-MM-dd hh:mm:ss.zzz,<value>,..." with one number per channel. UTF-8 with or without a
// byte-order mark; lines end in LF or CR LF. Blank lines are allowed only at the end.
class CollectionRecordFile : public Collection
{
    Q_OBJECT
public:
    explicit CollectionRecordFile(QObject *parent = nullptr);
    ~CollectionRecordFile() override;

    // The models whose record files this driver reads.
    static QStringList Models();

    // No connection: text becomes "Open Error".
    bool Open(const QString &type, const QString &address, const QString &parameter, QString &text) override;
    bool Reconnect(QString &text) override;

    bool OpenCSVFile(const QString &path, QList<Struct_Channel> &channels) override;
    bool GetCSVData(QDateTime &time, QStringList &values) override;
    bool CloseCSVFile() override;

private:
    // Reads one line without its line end; false at the end of the file.
    bool ReadLine(QString &line);
    // True when nothing but blank lines is left in the file.
    bool OnlyBlankLinesLeft();

    QFile m_File;
    int m_ColumnCount = 0; // channels of the open file
};
