#pragma once

// Projects, rows and read-back tools shared by the report writer tests.

#include "reports/ProjectRows.h"
#include "store/Tool.h"
#include "support/SmallTmpfs.h"
#include "support/TestWorkDir.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QStringList>
#include <QtTest>

#include <functional>

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

inline Tool::Struct_Parameters project(const QStringList &labels, const QStringList &units,
                                       const QStringList &models = {QStringLiteral("R27K")},
                                       const QString &mode = QStringLiteral("串口"))
{
    Tool::Struct_Parameters p;
    p.Name = QStringLiteral("Oven A");
    p.CreateTime = QStringLiteral("2024-01-02 03:00:00");
    p.StartTime = p.CreateTime;
    p.Model = models;
    for (int i = 0; i < models.size(); ++i) {
        p.Serial.append(QStringLiteral("SN%1").arg(i + 1));
        p.SignalMode.append(mode);
    }
    p.Interval = QStringLiteral("1");
    p.CHName = labels;
    p.CHDisplayUnit = units;
    p.CHUnit = units;
    return p;
}

// Labels "1-1" ... "1-n".
inline QStringList labels(int n, int device = 1)
{
    QStringList result;
    for (int c = 1; c <= n; ++c)
        result.append(QStringLiteral("%1-%2").arg(device).arg(c));
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

// The worked example: group 1 (℃) channels 1-1..1-3, group 2 (%RH) channels 1-4 and 1-5, five
// samples; the third sample's group 2 values are all "nan".
inline Tool::Struct_Parameters workedProject()
{
    return project(labels(5), {QStringLiteral("℃"), QStringLiteral("℃"), QStringLiteral("℃"),
                               QStringLiteral("%RH"), QStringLiteral("%RH")});
}

inline ProjectRows workedRows()
{
    return rows(5, {QStringLiteral("20.0,21.0,21.0,50,40"), QStringLiteral("22.0,20.0,22.0,52,44"),
                    QStringLiteral("24.0,22.0,20.0,nan,nan"), QStringLiteral("26.0,23.0,23.0,54,48"),
                    QStringLiteral("28.0,24.0,24.0,56,52")});
}

// The worked example's figures of the first segment, worked out by hand: population deviation,
// ties to the first channel in channel order, the "nan" sample left out of group 2.
// Horizontal rows of group 1, and the first and the all-"nan" row of group 2.
inline QList<QStringList> workedHorizontal(int group)
{
    if (group == 1)
        return {{"01-02 03:04:05.000", "50.00", "1-4", "40.00", "1-5", "45.00", "5.00", "5.00", "10.00", "5.00"},
                {"01-02 03:04:07.000"}};
    return {{"01-02 03:04:05.000", "21.00", "1-2", "20.00", "1-1", "20.67", "0.33", "0.67", "1.00", "0.47"},
            {"01-02 03:04:06.000", "22.00", "1-1", "20.00", "1-2", "21.33", "0.67", "1.33", "2.00", "0.94"},
            {"01-02 03:04:07.000", "24.00", "1-1", "20.00", "1-3", "22.00", "2.00", "2.00", "4.00", "1.63"},
            {"01-02 03:04:08.000", "26.00", "1-1", "23.00", "1-2", "24.00", "2.00", "1.00", "3.00", "1.41"},
            {"01-02 03:04:09.000", "28.00", "1-1", "24.00", "1-2", "25.33", "2.67", "1.33", "4.00", "1.89"}};
}

// Summary lines of a group: left label, figure, right label, figure.
inline QList<QStringList> workedSummary(int group)
{
    if (group == 1)
        return {{"最小平均湿度及通道", "1-5/46.00", "最大的最大值与全均值之差", "6.50"},
                {"最大平均湿度及通道", "1-4/53.00", "最大平均值与全均值之差", "3.50"},
                {"最大的最大值及通道", "1-4/56.00", "全均值与最小的最小值之差", "9.50"},
                {"最小的最小值及通道", "1-5/40.00", "全均值与最小平均值之差", "3.50"},
                {"全均值", "49.50"}};
    return {{"最小平均温度及通道", "1-2/22.00", "最大的最大值与全均值之差", "5.33"},
            {"最大平均温度及通道", "1-1/24.00", "最大平均值与全均值之差", "1.33"},
            {"最大的最大值及通道", "1-1/28.00", "全均值与最小的最小值之差", "2.67"},
            {"最小的最小值及通道", "1-1/20.00", "全均值与最小平均值之差", "0.67"},
            {"全均值", "22.67"}};
}

// Channel rows of a group's vertical table.
inline QList<QStringList> workedChannels(int group)
{
    if (group == 1)
        return {{"1-4", "56.00", "50.00", "53.00", "3.00", "3.00", "6.00", "2.24"},
                {"1-5", "52.00", "40.00", "46.00", "6.00", "6.00", "12.00", "4.47"}};
    return {{"1-1", "28.00", "20.00", "24.00", "4.00", "4.00", "8.00", "2.83"},
            {"1-2", "24.00", "20.00", "22.00", "2.00", "2.00", "4.00", "1.41"},
            {"1-3", "24.00", "20.00", "22.00", "2.00", "2.00", "4.00", "1.41"}};
}

// The second segment holds the last sample only: deviations are zero, a tie of means names 1-2.
inline QStringList workedSingleRowChannel()
{
    return {"1-1", "28.00", "28.00", "28.00", "0.00", "0.00", "0.00", "0.00"};
}

inline QList<bool> allSections()
{
    return {true, true, true, true, true};
}

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

// Data of the tests on empty reports: no sample at all, or a group whose channels are all hidden
// (with one unit shown, group 2 is that of no unit, "其他").
inline void addEmptyReportRows()
{
    QTest::addColumn<bool>("noRows");
    QTest::addColumn<QList<bool>>("shown");
    QTest::addColumn<QString>("quantity2");
    QTest::newRow("project without samples") << true << QList<bool>() << QStringLiteral("湿度");
    QTest::newRow("group 2 hidden") << false << QList<bool>({true, true, true, false, false}) << QStringLiteral("其他");
}

// Data of the tests on a full disk: full from the start, or filling while the file is written.
inline void addFullDiskRows()
{
    QTest::addColumn<bool>("fullFirst");
    QTest::newRow("full before") << true;
    QTest::newRow("fills while writing") << false;
}

// Exports a report of 5000 samples onto a small tmpfs that holds an earlier file at the path and
// is full (or fills on the way): exportTo(path, rows, segment end) must fail, the earlier file
// stay as it was, and nothing of the new one stay behind, not even space held by an open file.
inline void verifyFullDiskExport(const QString &fileName, const std::function<bool(const QString &, ProjectRows, const QDateTime &)> &exportTo)
{
    QFETCH(bool, fullFirst);
    SmallTmpfs disk(256 * 1024);
    if (!disk.isMounted())
        QSKIP("mounting a tmpfs needs root");
    const QString path = disk.filePath(fileName);
    QVERIFY(writeFile(path, "an earlier report"));
    QVERIFY(!fullFirst || disk.fill());
    const qint64 freeBefore = QStorageInfo(disk.path()).bytesAvailable();
    QVERIFY(!exportTo(path, steadyRows(5, 5000), at(5000)));
    QVERIFY(readsFile(path, "an earlier report"));
    QCOMPARE(QStorageInfo(disk.path()).bytesAvailable(), freeBefore);
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
             (fullFirst ? QStringList({".filler"}) : QStringList()) + QStringList({fileName}));
}

inline QString run(const QString &program, const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
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

inline QString cell(const QJsonObject &sheet, const QString &coordinate)
{
    return sheet.value(QStringLiteral("cells")).toObject().value(coordinate).toString();
}

// The texts of one sheet row from column A on, up to the last cell written.
inline QStringList sheetRow(const QJsonObject &sheet, int row, int columns)
{
    QStringList texts;
    for (int c = 0; c < columns; ++c)
        texts.append(cell(sheet, QString(QChar('A' + c)) + QString::number(row)));
    while (!texts.isEmpty() && texts.last().isEmpty())
        texts.removeLast();
    return texts;
}

inline QString pdfText(const QString &path)
{
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
}

inline int pdfPages(const QString &path)
{
    const QString info = run(QStringLiteral("pdfinfo"), {path});
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// True when the text holds the cells in this order on one line, separated by spaces only.
inline bool hasLine(const QString &text, const QStringList &cells)
{
    QStringList escaped;
    for (const QString &c : cells)
        escaped.append(QRegularExpression::escape(c));
    return QRegularExpression(QStringLiteral("(^|\\s)") + escaped.join(QStringLiteral("[ \\t]+")) + QStringLiteral("(\\s|$)"),
                              QRegularExpression::MultilineOption)
        .match(text)
        .hasMatch();
}

} // namespace ReportFixture
