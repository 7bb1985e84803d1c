// The rows of a project as the report page holds them, and the report data both writers share:
// value texts read as QString::toDouble reads them, stored value counts, segment row ranges, rows
// left out for a wrong value count, unit groups over the shown channels, device channel counts
// and section titles.
#include "ReportTestHelpers.h"

#include "reports/ReportData.h"
#include "reports/ReportStatistics.h"
#include "support/LogCapture.h"

#include <QtTest>

#include <cstring>

using namespace ReportFixture;

using Segments = QList<QPair<int, int>>; // milliseconds after the first sample

namespace {

QString describe(const QVector<double> &values)
{
    QStringList texts;
    for (double v : values)
        texts << QString::number(v);
    return texts.join(',');
}

// Each row as "time:stored count:values", "+" when it carried one value per channel.
QString describe(const ProjectRows &rows)
{
    QStringList texts;
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QVector<double> values(rows.rowValues(r), rows.rowValues(r) + rows.channelCount());
        texts << QStringLiteral("%1:%2:%3%4").arg(rows.time(r)).arg(rows.storedCount(r)).arg(describe(values), rows.isComplete(r) ? "+" : "");
    }
    return texts.join(' ');
}

} // namespace

class tst_ReportData : public QObject
{
    Q_OBJECT

private slots:
    // Every value text gives the very double QString::toDouble gives (0 for no number), read as a
    // joined row or as a list.
    void valuesReadAsToDoubleReadsThem()
    {
        for (const char *text : {"20.1234567890", "-21.37", "0.1", "-0", "007", ".5", "1.", "2.675", "123456789012345",
                                 "1234567890123456", "0.000000000000000000001", "1e3", " 1.5", "+1", "abc", "-", "", "-inf"}) {
            ProjectRows rows(1);
            rows.append(0, QStringList{text});
            rows.appendJoined(0, *text ? text : "0");
            const double expected = QString(text).toDouble();
            for (int r : {0, 1})
                QVERIFY2(std::memcmp(&expected, rows.rowValues(r), sizeof expected) == 0, text);
        }
        // All in one joined row: each text is read up to its own comma, whatever it holds.
        const QStringList texts{"1e3", "-", "20.5", " 1.5", "abc", "", "1.", "-21.37", "+1"};
        ProjectRows joined(texts.size());
        joined.appendJoined(0, texts.join(','));
        for (int c = 0; c < texts.size(); ++c) {
            const double expected = texts.at(c).toDouble();
            QVERIFY2(std::memcmp(&expected, joined.rowValues(0) + c, sizeof expected) == 0, qPrintable(texts.at(c)));
        }
    }

    // Joined texts, lists and numbers store alike; short and long rows keep what fits and say what
    // they carried; thinning keeps row 0 and every step-th row after it.
    void rowsKeepTheirChannelsAndStoredCounts()
    {
        ProjectRows rows(3);
        rows.appendJoined(1000, QStringLiteral("1.5,-2,abc"));
        rows.append(2000, QStringList{"1.5", "-2", "abc"});
        rows.appendJoined(3000, QStringLiteral("7,8,9,10"));
        rows.append(4000, QStringList{"7", "8", "9", "10"});
        rows.appendJoined(5000, QStringLiteral("nan,inf"));
        rows.appendJoined(6000, QString());
        const double four[] = {4.0, 5.0, 6.0, 7.0};
        rows.append(7000, four, 3);
        rows.append(8000, four, 4);
        QCOMPARE(describe(rows), QStringLiteral("1000:3:1.5,-2,0+ 2000:3:1.5,-2,0+ 3000:4:7,8,9 4000:4:7,8,9 5000:2:nan,inf,nan "
                                                "6000:0:nan,nan,nan 7000:3:4,5,6+ 8000:4:4,5,6"));
        QCOMPARE(describe(rows.thinned(3)), QStringLiteral("1000:3:1.5,-2,0+ 4000:4:7,8,9 7000:3:4,5,6+"));
    }

    void segmentRows_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<Segments>("segments");
        QTest::addColumn<Segments>("rows");
        QTest::newRow("end between samples keeps the rows before it") << 10 << Segments{{2000, 4500}} << Segments{{2, 4}};
        QTest::newRow("start after the last sample shows it") << 10 << Segments{{0, 3000}, {20000, 30000}} << Segments{{0, 3}, {9, 9}};
        QTest::newRow("end after the last sample") << 10 << Segments{{5000, 30000}} << Segments{{5, 9}};
        QTest::newRow("consecutive segments share a row") << 10 << Segments{{0, 4000}, {4000, 8000}} << Segments{{0, 4}, {4, 8}};
        QTest::newRow("no last row without a first") << 10 << Segments{{5000, 7000}, {20000, 8000}} << Segments{{5, 7}, {9, 9}};
        QTest::newRow("no samples") << 0 << Segments{{0, 3000}} << Segments{{-1, -1}};
        QTest::newRow("no row inside the bounds") << 10 << Segments{{-9000, -2000}, {3000, 3000}} << Segments{{-1, -1}, {3, 3}};
    }

    void segmentRows()
    {
        QFETCH(int, samples);
        QFETCH(Segments, segments);
        QFETCH(Segments, rows);
        QList<QDateTime> starts, ends;
        for (const auto &s : segments) {
            starts.append(QDateTime::fromMSecsSinceEpoch(t0() + s.first));
            ends.append(QDateTime::fromMSecsSinceEpoch(t0() + s.second));
        }
        ReportData data("VerificationReportExcel");
        data.SetData(2, kAllSections, project(labels(2), {"℃", "℃"}), steadyRows(2, samples), {}, starts, ends, {}, "V");
        Segments found;
        for (int s = 0; s < data.segmentCount(); ++s)
            found.append({data.firstRow(s), data.lastRow(s)});
        QCOMPARE(found, rows);
    }

    // Rows stamped with a jitter of a few milliseconds either side of the print interval's step, at
    // 1 s and at 60 s: a segment keeps the rows within its start and end to the whole second (a
    // row 22 ms past the end's second stays, the next one does not and never sets a figure), a row
    // on the second two segments share is on both, one just before the shared second only on the
    // first; a segment between two rows holds none, and first to last sample keeps every row.
    void segmentsKeepTheRowsWithinTheirSeconds_data()
    {
        QTest::addColumn<int>("interval"); // seconds
        QTest::newRow("1 s") << 1;
        QTest::newRow("60 s") << 60;
    }

    void segmentsKeepTheRowsWithinTheirSeconds()
    {
        QFETCH(int, interval);
        const int jitter[] = {0, 25, -20, 60, 3, 22, 110, -1, 40, 7, 12};
        ProjectRows rows(1);
        for (int i = 0; i < 11; ++i) {
            const double value = 150.30 + 0.01 * i;
            rows.append(t0() + qint64(i) * interval * 1000 + jitter[i], &value, 1);
        }
        const auto second = [interval](double steps) { return QDateTime::fromMSecsSinceEpoch(t0() + qint64(steps * interval * 1000)); };
        const QDateTime first = QDateTime::fromMSecsSinceEpoch(rows.time(0));
        const QDateTime last = QDateTime::fromMSecsSinceEpoch(rows.time(10));
        ReportData data("VerificationReportExcel");
        data.SetData(2, kAllSections, project(labels(1), {"℃"}), std::move(rows), {},
                     {second(0), second(5), second(2), second(7), first, second(2.5)},
                     {second(5), second(10), second(7), second(10), last, second(2.5)},
                     {}, "V");
        QStringList found;
        for (int s = 0; s < data.segmentCount(); ++s) {
            const ChannelStatistics channel = ReportStatistics::segment(data, 0, s).value(0);
            found << QStringLiteral("%1-%2:%3").arg(data.firstRow(s)).arg(data.lastRow(s)).arg(data.figure(channel.maximum));
        }
        // Row 2 lies 20 ms before its step, row 7 1 ms before: each on the second before it.
        QCOMPARE(found, QStringList({"0-5:150.35", "5-10:150.40", "3-7:150.37", "8-10:150.40", "0-10:150.40", "-1--1:"}));
    }

    // Only finite values count: a row's mean and deviation divide by its finite values, a channel
    // without one in the segment has no figures, and the overall mean divides the channels'
    // means by the number of channels that have one.
    void statisticsCountFiniteValuesOnly()
    {
        ReportData data("VerificationReportExcel");
        data.SetData(2, kAllSections, project(labels(3), {"℃", "℃", "℃"}), rows(3, {"10,nan,20", "12,nan,inf", "14,nan,26"}),
                     {}, {at(0)}, {at(2)}, {}, "V");
        QStringList found;
        for (int i = 0; i < 3; ++i)
            found << ReportStatistics::row(data, 0, i).mid(1).join(' ');
        const QVector<ChannelStatistics> channels = ReportStatistics::segment(data, 0, 0);
        for (const ChannelStatistics &channel : channels) {
            QStringList figures;
            for (double figure : channel.figures())
                figures << data.figure(figure);
            found << QString::number(channel.count) + ": " + figures.join(' ');
        }
        found << ReportStatistics::summary(data, 0, channels).join(' ');
        QCOMPARE(found, QStringList({"20.00 1-3 10.00 1-1 15.00 5.00 5.00 10.00 5.00", "12.00 1-1 12.00 1-1 12.00 0.00 0.00 0.00 0.00",
                                     "26.00 1-3 14.00 1-1 20.00 6.00 6.00 12.00 6.00", "3: 14.00 10.00 12.00 2.00 2.00 4.00 1.63",
                                     "0:       ", "2: 26.00 20.00 23.00 3.00 3.00 6.00 3.00",
                                     "1-1/12.00 1-3/23.00 1-3/26.00 1-1/10.00 17.50 8.50 5.50 7.50 5.50 "}));
    }

    // The sections run in the order of the switches, each chosen one even after a failure; the
    // result holds only when every chosen section succeeded: a later success never hides an
    // earlier failure, and no section chosen is no report.
    void sectionsCombineTheirResults()
    {
        ReportData data("VerificationReportExcel");
        QStringList ran;
        QList<bool> results;
        const auto run = [&](const QList<bool> &include, const QList<bool> &outcomes) {
            data.SetData(2, include, project(labels(2), {"℃", "%RH"}), steadyRows(2, 1), {}, {at(0)}, {at(1)}, {}, "V");
            ran.clear();
            results = outcomes;
            const auto next = [&](const QString &name) {
                ran << name;
                return results.takeFirst();
            };
            const bool combined = data.writeSections([&] { return next("data"); },
                                                     [&](int group) { return next(QStringLiteral("h%1").arg(group + 1)); },
                                                     [&](int group) { return next(QStringLiteral("v%1").arg(group + 1)); });
            return ran.join(',') + (combined ? " ok" : " failed");
        };
        QCOMPARE(run(kAllSections, {true, true, true, true, true}), QStringLiteral("data,h1,v1,h2,v2 ok"));
        QCOMPARE(run(kAllSections, {false, true, true, true, true}), QStringLiteral("data,h1,v1,h2,v2 failed"));
        QCOMPARE(run(kAllSections, {true, true, false, true, true}), QStringLiteral("data,h1,v1,h2,v2 failed"));
        QCOMPARE(run({true, false, false, true, false}, {true, false}), QStringLiteral("data,h2 failed"));
        QCOMPARE(run({false, false, false, false, true}, {true}), QStringLiteral("v2 ok"));
        QCOMPARE(run({false, false, false, false, false}, {}), QStringLiteral(" failed"));
    }

    // The value count is checked against all the project's channels, hidden ones included.
    void rowsWithAnotherValueCountLeftOut()
    {
        LogCapture log;
        ReportData data("VerificationReportExcel");
        data.SetData(2, kAllSections, project(labels(4), {"℃", "℃", "%RH", "℃"}),
                     ReportFixture::rows(4, {"1,2,3,4", "1,2,3", "1,2,3,4,5", "5,6,7,8"}), {true, true, false, true},
                     {at(0)}, {at(10)}, {}, "V");
        Struct_ReportRow row;
        data.row(1, row);
        QCOMPARE(QStringLiteral("%1 %2 %3|%4|%5").arg(data.rowCount()).arg(row.time).arg(describe(row.values), describe(row.group1Values),
                                                                                        describe(row.group2Values)),
                 QStringLiteral("2 01-02 03:04:08.000 5,6,8|5,6,8|"));
        QVERIFY2(log.contains(QStringLiteral("2 rows left out")), qPrintable(log.text()));
    }

    // Groups follow the shown channels, as the export options offer them: with every ℃ channel
    // hidden, %RH is group 1. Two groups of one quantity: the second's title names its unit.
    void groupsFollowTheShownChannels()
    {
        ReportData data("VerificationReportExcel");
        data.SetData(2, kAllSections, project({"1-1", "1-2", "2-1", "2-2"}, {"℃", "%RH", "℃", "%RH"}, {"A", "B"}),
                     steadyRows(4, 1), {false, true, false, true}, {}, {}, {}, "V");
        QCOMPARE(QStringList({data.groupLabels(0).join(','), data.groupLabels(1).join(','), QString::number(data.deviceChannelCount(0)),
                              QString::number(data.deviceChannelCount(1))}) + data.sections(),
                 QStringList({"1-2,2-2", "", "1", "1", "数据表", "湿度横向表", "湿度竖向表", "其他横向表", "其他竖向表"}));
        data.SetData(2, kAllSections, project({"1", "2", "3"}, {"℃", "℉", "℉"}, {"P530W"}, "导入"), steadyRows(3, 1), {},
                     {}, {}, {}, "V");
        QCOMPARE(QString::number(data.deviceChannelCount(0)) + data.groupTitle(0) + data.groupTitle(1), QStringLiteral("3温度温度(℉)"));
        // A unit that contains another is another unit: a group holds exactly the channels of its unit.
        QStringList groups;
        for (const QStringList &units : {QStringList{"mV", "V", "V", "mV"}, QStringList{"Pa", "KPa", "KPa", "Pa"}}) {
            data.SetData(2, kAllSections, project(labels(4), units), steadyRows(4, 1), {}, {}, {}, {}, "V");
            groups << data.groupLabels(0).join(',') + '|' + data.groupLabels(1).join(',');
        }
        QCOMPARE(groups, QStringList({"1-2,1-3|1-1,1-4", "1-2,1-3|1-1,1-4"}));
        // A stored unit beyond the last channel belongs to no channel and names no group.
        data.SetData(2, kAllSections, project(labels(2), {"℃", "℃", "%RH"}), steadyRows(2, 1), {}, {}, {}, {}, "V");
        QCOMPARE(data.groupLabels(0).join(',') + '|' + data.quantity(1) + '|' + data.sections().join(','),
                 QStringLiteral("1-1,1-2|其他|数据表,温度横向表,温度竖向表,其他横向表,其他竖向表"));
        QCOMPARE(ReportData::sheetName(QString(40, QChar(0x6E29))), QString(31, QChar(0x6E29)));
    }
};

QTEST_MAIN(tst_ReportData)
#include "tst_ReportData.moc"
