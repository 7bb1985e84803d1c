#pragma once

// Projects, rows and read-back tools of the report tests and benchmarks.

#include "reports/ProjectRows.h"
#include "store/Tool.h"
#include "support/TestWorkDir.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

// A project of one instrument whose channels 1-1, 1-2, ... have the given display units.
inline Tool::Struct_Parameters testProject(const QString &name, const QStringList &units,
                                           const QString &start = QStringLiteral("2024-05-01 08:00:00"))
{
    Tool::Struct_Parameters p{name, start, start, {"R27K"}, {"SN-1"}, {"网络"}, {"192.168.1.10"}, {"502"}, {"快速"},
                              "1", {}, {}, {}, {}, units, {}, {}, units};
    for (int c = 0; c < units.size(); ++c) {
        p.CHName << QStringLiteral("1-%1").arg(c + 1);
        p.CHType << QStringLiteral("NTC");
        p.CHM << QStringLiteral("1");
        p.CHB << QStringLiteral("0");
    }
    return p;
}

// Sample n of a test project: 2024-05-01 08:00:00 local time plus n × 1.001 s.
inline QDateTime sampleTime(int n)
{
    return QDateTime(QDate(2024, 5, 1), QTime(8, 0)).addMSecs(qint64(n) * 1001);
}

// Stores the project and one sample per entry of rows (the values as stored, joined with ",").
inline bool storeProject(const Tool::Struct_Parameters &project, const QStringList &rows)
{
    bool ok = Tool::addParameters(project);
    for (int n = 0; ok && n < rows.size(); ++n)
        ok = Tool::addParametersData({project.Name, sampleTime(n), rows.at(n).split(QLatin1Char(','))});
    return ok;
}

namespace ReportFixture {

// 2024-01-02 03:04:05 UTC, the time of the first sample.
inline qint64 t0()
{
    return QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC).toMSecsSinceEpoch();
}

inline QDateTime at(int seconds)
{
    return QDateTime::fromMSecsSinceEpoch(t0() + qint64(seconds) * 1000);
}

// Project "Oven A" of the given instruments (serial numbers SN1, SN2, ...) and channels.
inline Tool::Struct_Parameters project(const QStringList &labels, const QStringList &units,
                                       const QStringList &models = {QStringLiteral("R27K")},
                                       const QString &mode = QStringLiteral("串口"))
{
    const QString created = QStringLiteral("2024-01-02 03:00:00");
    Tool::Struct_Parameters p{QStringLiteral("Oven A"), created, created, models, {}, {}, {}, {}, {}, QStringLiteral("1"), labels,
                              {}, {}, {}, units, {}, {}, units};
    for (int i = 0; i < models.size(); ++i)
        p.Serial << QStringLiteral("SN%1").arg(i + 1), p.SignalMode << mode;
    return p;
}

// Labels "1-1" ... "1-n".
inline QStringList labels(int n)
{
    QStringList result;
    for (int c = 1; c <= n; ++c)
        result.append(QStringLiteral("1-%1").arg(c));
    return result;
}

// One row per second from t0, each given as its stored text ("20.0,21.0,nan").
inline ProjectRows rows(int channels, const QStringList &joined)
{
    ProjectRows result(channels);
    for (int i = 0; i < joined.size(); ++i)
        result.appendJoined(t0() + qint64(i) * 1000, joined.at(i));
    return result;
}

// count rows of steady values 20.00, 20.01, ... per channel.
inline ProjectRows steadyRows(int channels, int count)
{
    ProjectRows result(channels);
    QVector<double> values(channels);
    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < channels; ++c)
            values[c] = 20.0 + 0.01 * ((i + c) % 50);
        result.append(t0() + qint64(i) * 1000, values.constData(), channels);
    }
    return result;
}

// The worked example: group 1 (℃) channels 1-1..1-3, group 2 (%RH) channels 1-4 and 1-5.
inline Tool::Struct_Parameters workedProject()
{
    return project(labels(5), {"℃", "℃", "℃", "%RH", "%RH"});
}

// Every section of a report: work data, horizontal and vertical tables of groups 1 and 2.
inline const QList<bool> kAllSections{true, true, true, true, true};

inline bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

inline bool readsFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == content;
}

inline QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The workbook as read by openpyxl (see read_xlsx.py); empty when it cannot be read.
inline QJsonObject readWorkbook(const QString &path)
{
    const QString script = QDir(TestWorkDir::sourceDir()).filePath(QStringLiteral("tests/reports/read_xlsx.py"));
    return QJsonDocument::fromJson(run(QStringLiteral("/usr/bin/python3"), {script, path}).toUtf8()).object();
}

inline QJsonObject sheet(const QJsonObject &book, const QString &name)
{
    return book.value(QStringLiteral("data")).toObject().value(name).toObject();
}

// The texts of one sheet row from column A on, up to the last cell written; numbers as texts.
inline QStringList sheetRow(const QJsonObject &sheet, int row, int columns)
{
    QStringList texts;
    for (int c = 0; c < columns; ++c) {
        const QJsonValue value = sheet.value(QStringLiteral("cells")).toObject().value(QChar('A' + c) + QString::number(row));
        texts << (value.isObject() ? QString::number(value.toObject().value(QStringLiteral("n")).toDouble()) : value.toString());
    }
    while (!texts.isEmpty() && texts.last().isEmpty())
        texts.removeLast();
    return texts;
}

inline QString pdfText(const QString &path)
{
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
}

// A report as its reader goes through it, the same for both formats: page after page, or sheet
// after sheet with the texts of a row joined by a space; white space collapsed, none after a
// colon, blank lines left out.
inline QStringList reportLines(const QString &path)
{
    QStringList raw;
    if (path.endsWith(QLatin1String(".pdf"))) {
        raw = pdfText(path).split(QLatin1Char('\n'));
    } else {
        const QJsonObject book = readWorkbook(path);
        for (const QJsonValue &name : book.value(QStringLiteral("sheets")).toArray())
            raw += sheet(book, name.toString()).value(QStringLiteral("lines")).toVariant().toStringList();
    }
    QStringList lines;
    for (QString line : raw) {
        line = line.simplified().replace(QRegularExpression(QStringLiteral("([:：]) ")), QStringLiteral("\\1"));
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

// The first of the blocks (lines joined by "\n") that the tables of a report do not hold as whole
// lines in this order; empty when they hold them all. Page heads and footers, segment banners and
// times are left out of the tables.
inline QString missingBlock(const QStringList &lines, const QStringList &blocks)
{
    QStringList kept;
    for (const QString &line : lines) {
        if (!line.contains(QStringLiteral("开始")) && !line.startsWith(QStringLiteral("QNRIX")) && line != QStringLiteral("采集报告")
            && !line.contains(QRegularExpression(QStringLiteral("^第\\d+页"))))
            kept << line;
    }
    const QString body = QLatin1Char('\n') + kept.join(QLatin1Char('\n')) + QLatin1Char('\n');
    int from = 0;
    for (const QString &block : blocks) {
        const int found = body.indexOf(QLatin1Char('\n') + block + QLatin1Char('\n'), from);
        if (found < 0)
            return block;
        from = found + block.size() + 1;
    }
    return QString();
}

} // namespace ReportFixture
