#include "drivers/CollectionRecordFile.h"

#include <QDebug>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextCodec>

#include <cmath>
#include <cstring>

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

QString CollectionRecordFile::NoConnection()
{
    const QString text = QStringLiteral("Open Error: ") + tr("该型号的数据只能从记录文件导入，无法连接仪器。");
    qWarning().noquote() << "CollectionRecordFile:" << text;
    return text;
}

bool CollectionRecordFile::Open(const QString &type, const QString &address, const QString &parameter, QString &text)
{
    RememberConnection(type, address, parameter);
    text = NoConnection();
    return false;
}

bool CollectionRecordFile::Reconnect(QString &text)
{
    text = NoConnection();
    return false;
}

CollectionRecordFile::LineResult CollectionRecordFile::ReadLine(QString &line)
{
    if (!m_File.isOpen() || m_File.atEnd())
        return LineResult::End;
    ++m_Line;
    // Room for the longest line, CR LF and the terminating zero that readLine adds.
    if (m_Buffer.size() != MaxLineBytes + 3)
        m_Buffer.resize(MaxLineBytes + 3);
    const qint64 read = m_File.readLine(m_Buffer.data(), m_Buffer.size());
    const char *bytes = m_Buffer.constData();
    const char *refusal = nullptr;
    qint64 size = read;
    if (read < 0) {
        refusal = "cannot be read";
    } else {
        const bool complete = (size > 0 && bytes[size - 1] == '\n') || m_File.atEnd();
        if (size > 0 && bytes[size - 1] == '\n')
            --size;
        if (size > 0 && bytes[size - 1] == '\r')
            --size;
        if (!complete || size > MaxLineBytes)
            refusal = "is longer than the longest line read";
        else if (std::memchr(bytes, '\0', size_t(size)))
            refusal = "holds a NUL byte";
        else if (std::memchr(bytes, '\r', size_t(size)))
            refusal = "holds a CR before its end";
    }
    if (!refusal) {
        static QTextCodec *const utf8 = QTextCodec::codecForMib(106);
        QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
        line = utf8->toUnicode(bytes, int(size), &state);
        if (state.invalidChars == 0 && state.remainingChars == 0)
            return LineResult::Line;
        refusal = "is not UTF-8";
    }
    // The rest of the file cannot be told apart from the rest of this line: stop here.
    qWarning() << "CollectionRecordFile: line" << m_Line << "of" << m_File.fileName() << refusal;
    line.clear();
    m_File.close();
    return LineResult::Refused;
}

bool CollectionRecordFile::OnlyBlankLinesLeft()
{
    QString line;
    LineResult result;
    while ((result = ReadLine(line)) == LineResult::Line) {
        if (!line.trimmed().isEmpty())
            return false;
    }
    return result == LineResult::End;
}

bool CollectionRecordFile::OpenCSVFile(const QString &path, QList<Struct_Channel> &channels)
{
    CloseCSVFile();
    // Checked before opening: opening a FIFO blocks until a writer comes.
    if (!QFileInfo(path).isFile()) {
        qWarning() << Q_FUNC_INFO << "not an existing regular file:" << path;
        return false;
    }
    m_File.setFileName(path);
    if (!m_File.open(QIODevice::ReadOnly)) {
        qWarning() << Q_FUNC_INFO << "cannot open" << path << m_File.errorString();
        return false;
    }
    QString header;
    if (ReadLine(header) != LineResult::Line) {
        qWarning() << Q_FUNC_INFO << "no header line in" << path;
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
        if (match.capturedRef(2).contains(QLatin1Char('"'))) {
            qWarning() << Q_FUNC_INFO << "the unit of column" << i << "holds a double quote:" << fields.at(i);
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
    const LineResult result = ReadLine(line);
    if (result != LineResult::Line)
        return result == LineResult::End;
    if (line.trimmed().isEmpty()) {
        // Blank lines count as the end only when nothing else follows them.
        if (OnlyBlankLinesLeft())
            return true;
        qWarning() << Q_FUNC_INFO << "blank line inside the record file before line" << m_Line;
        return false;
    }
    const QStringList fields = line.split(QLatin1Char(','));
    if (fields.size() != m_ColumnCount + 1) {
        qWarning() << Q_FUNC_INFO << "line" << m_Line << "has" << fields.size() << "fields, expected" << m_ColumnCount + 1;
        return false;
    }
    const QString timeText = fields.first().trimmed();
    const QDateTime parsed = QDateTime::fromString(timeText, TimeFormat);
    if (!TimePattern.match(timeText).hasMatch() || !parsed.isValid()) {
        qWarning() << Q_FUNC_INFO << "line" << m_Line << "has no valid time:" << timeText.left(40);
        return false;
    }
    QStringList texts;
    for (int i = 1; i < fields.size(); ++i) {
        const QString text = fields.at(i).trimmed();
        bool ok = false;
        text.toDouble(&ok);
        if (!ok) {
            qWarning() << Q_FUNC_INFO << "line" << m_Line << "value" << i << "is no number:" << text.left(40);
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
    m_Line = 0;
    return true;
}
