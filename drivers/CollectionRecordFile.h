#pragma once

#include "comm/Collection.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>

// Driver of the record-file import models: reads a record file in the application's own
// acquisition CSV layout and opens no connection.
//
// Layout: a header line "Time,<label>(<unit>),..." where a label is a channel number "n" or an
// instrument and channel number "i-n"; then one line per sample,
// "yyyy-MM-dd hh:mm:ss.zzz,<value>,..." with one number per channel. UTF-8 with or without a
// byte-order mark; lines end in LF or CR LF. Blank lines are allowed only at the end.
//
// Only regular files are read (a FIFO or a device would block or never end). A line longer than
// MaxLineBytes, or one holding a NUL byte, a CR before its end or bytes that are not UTF-8, does
// not fit; so does a unit holding a double quote (the CSV writer would quote it, and the plain
// comma split here could not read the column back). After such a line nothing more is read.
class CollectionRecordFile : public Collection
{
    Q_OBJECT
public:
    // Longest line read, its line end not counted: room for about a hundred thousand channels.
    static constexpr int MaxLineBytes = 1 << 20;

    explicit CollectionRecordFile(QObject *parent = nullptr);
    ~CollectionRecordFile() override;

    // The models whose record files this driver reads.
    static QStringList Models();

    // No connection: text becomes "Open Error: " and the reason.
    bool Open(const QString &type, const QString &address, const QString &parameter, QString &text) override;
    bool Reconnect(QString &text) override;

    bool OpenCSVFile(const QString &path, QList<Struct_Channel> &channels) override;
    bool GetCSVData(QDateTime &time, QStringList &values) override;
    bool CloseCSVFile() override;

private:
    enum class LineResult { Line, End, Refused };

    QString NoConnection();
    // Reads one line without its line end.
    LineResult ReadLine(QString &line);
    // True when nothing but blank lines is left in the file.
    bool OnlyBlankLinesLeft();

    QFile m_File;
    QByteArray m_Buffer;   // one line's bytes
    qint64 m_Line = 0;     // number of the line read last, for the log
    int m_ColumnCount = 0; // channels of the open file
};
