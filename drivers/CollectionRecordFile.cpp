#include "drivers/CollectionRecordFile.h"

#include <QDebug>
#include <QRegularExpression>

namespace {
const QString TimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");
const QRegularExpression TimePattern(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}$"));
// "3(℃)" or "1-3(℃)": optional instrument number, channel number, unit in parentheses.
const QRegularExpression ColumnPattern(QStringLiteral("^(?:[1-9]\\d*-)?(\\d+)\\((.*)\\)$"));
}

CollectionRecordFile::CollectionRecordFile(QObject *parent) : Collection(parent) {}

CollectionRecordFile::~CollectionRecordFile()
{
    m_File.close();
}

QStringList CollectionRecordFile::Models()
{
    return {QStringLiteral("P540W"), QStringLiteral("P570W-L"), QStringLiteral("P720W"),
            QStringLiteral("P720W Plus"), QStringLiteral("P750W"), QStringLiteral("P530W-NTC"),
            QStringLiteral("P530W-NTC-V1"), QStringLiteral("P530W-NTC-V1.1"), QStringLiteral("P530W-NTC-V2"),
            QStringLiteral("P530W-RTD"), QStringLiteral("P530W-RTD-V1"), QStringLiteral("P530W-RTD-V2"),
            QStringLiteral("P530W-TC"), QStringLiteral("P530W-TC-V1"), QStringLiteral("P530W-TC-V2"),
            QStringLiteral("P530W-VS"), QStringLiteral("P530W-HT"), QStringLiteral("P530W-PCR"),
            QStringLiteral("P530W-HT-8P"), QStringLiteral("P780W")};
}

bool CollectionRecordFile::Open(const QString &type, const QString &address, const QString &parameter, QString &text)
{
    RememberConnection(type, address, parameter);
    text = QStringLiteral("Open Error");
    return false;
}

bool CollectionRecordFile::Reconnect(QString &text)
{
    text = QStringLiteral("Open Error");
    return false;
}

bool CollectionRecordFile::ReadLine(QString &line)
{
    if (m_File.atEnd())
        return false;
    QByteArray bytes = m_File.readLine();
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    line = QString::fromUtf8(bytes);
    return true;
}

bool CollectionRecordFile::OnlyBlankLinesLeft()
{
    QString line;
    while (ReadLine(line)) {
        if (!line.trimmed().isEmpty())
            return false;
    }
    return true;
}

bool CollectionRecordFile::OpenCSVFile(const QString &path, QList<Struct_Channel> &channels)
{
    CloseCSVFile();
    m_File.setFileName(path);
    if (!m_File.open(QIODevice::ReadOnly)) {
        qWarning() << Q_FUNC_INFO << "cannot open" << path << m_File.errorString();
        return false;
    }
    QString header;
    if (!ReadLine(header)) {
        qWarning() << Q_FUNC_INFO << "empty record file" << path;
        return false;
    }
    if (header.startsWith(QChar(0xFEFF)))
        header.remove(0, 1);
    const QStringList fields = header.split(QLatin1Char(','));
    if (fields.size() < 2 || fields.first().trimmed() != QLatin1String("Time")) {
        qWarning() << Q_FUNC_INFO << "not an acquisition record file:" << path;
        return false;
    }
    QList<Struct_Channel> parsed;
    for (int i = 1; i < fields.size(); ++i) {
        const QRegularExpressionMatch match = ColumnPattern.match(fields.at(i).trimmed());
        bool ok = false;
        const quint32 number = match.hasMatch() ? match.captured(1).toUInt(&ok) : 0;
        if (!ok) {
            qWarning() << Q_FUNC_INFO << "column" << i << "is no channel:" << fields.at(i);
            return false;
        }
        Struct_Channel channel;
        channel.Number = number;
        channel.Enabled = true;
        channel.Unit = match.captured(2);
        parsed.append(channel);
    }
    m_ColumnCount = parsed.size();
    channels = parsed;
    return true;
}

bool CollectionRecordFile::GetCSVData(QDateTime &time, QStringList &values)
{
    values.clear();
    if (!m_File.isOpen() || m_ColumnCount <= 0)
        return false;
    QString line;
    if (!ReadLine(line))
        return true; // end of the file
    if (line.trimmed().isEmpty()) {
        // Blank lines count as the end only when nothing else follows them.
        if (OnlyBlankLinesLeft())
            return true;
        qWarning() << Q_FUNC_INFO << "blank line inside the record file";
        return false;
    }
    const QStringList fields = line.split(QLatin1Char(','));
    if (fields.size() != m_ColumnCount + 1) {
        qWarning() << Q_FUNC_INFO << "expected" << m_ColumnCount + 1 << "fields:" << line;
        return false;
    }
    const QString timeText = fields.first().trimmed();
    const QDateTime parsed = QDateTime::fromString(timeText, TimeFormat);
    if (!TimePattern.match(timeText).hasMatch() || !parsed.isValid()) {
        qWarning() << Q_FUNC_INFO << "bad time:" << line;
        return false;
    }
    QStringList texts;
    for (int i = 1; i < fields.size(); ++i) {
        const QString text = fields.at(i).trimmed();
        bool ok = false;
        text.toDouble(&ok);
        if (!ok) {
            qWarning() << Q_FUNC_INFO << "value" << i << "is no number:" << line;
            return false;
        }
        texts.append(text);
    }
    time = parsed;
    values = texts;
    return true;
}

bool CollectionRecordFile::CloseCSVFile()
{
    m_File.close();
    m_ColumnCount = 0;
    return true;
}
