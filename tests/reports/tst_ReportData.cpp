// The report data both writers share: segment row ranges, rows left out for a wrong value count,
// unit groups over the shown channels, device channel counts and sheet names.
#include "ReportFixture.h"

#include "reports/ReportData.h"
#include "support/LogCapture.h"

#include <QtTest>

using namespace ReportFixture;

using Segments = QList<QPair<int, int>>; // milliseconds after the first sample

class tst_ReportData : public QObject
{
    Q_OBJECT

private slots:
    void segmentRows_data();
    void segmentRows();
    void rowsWithAnotherValueCountLeftOut();
    void groupsAndDeviceCounts();
    void sheetNames();
};

void tst_ReportData::segmentRows_data()
{
    QTest::addColumn<int>("samples");
    QTest::addColumn<Segments>("segments");
    QTest::addColumn<Segments>("rows");
    QTest::newRow("end between samples takes the next") << 10 << Segments{{2000, 4500}} << Segments{{2, 5}};
    QTest::newRow("start after the last sample shows it") << 10 << Segments{{0, 3000}, {20000, 30000}} << Segments{{0, 3}, {9, 9}};
    QTest::newRow("end after the last sample") << 10 << Segments{{5000, 30000}} << Segments{{5, 9}};
    QTest::newRow("consecutive segments share a row") << 10 << Segments{{0, 4000}, {4000, 8000}} << Segments{{0, 4}, {4, 8}};
    QTest::newRow("no last row without a first") << 10 << Segments{{5000, 7000}, {20000, 8000}} << Segments{{5, 7}, {9, 9}};
    QTest::newRow("no samples") << 0 << Segments{{0, 3000}} << Segments{{-1, -1}};
}

void tst_ReportData::segmentRows()
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
    data.SetData(2, allSections(), project(labels(2), {"℃", "℃"}), steadyRows(2, samples), {}, starts, ends, {}, "V");
    Segments found;
    for (int s = 0; s < data.segmentCount(); ++s)
        found.append({data.firstRow(s), data.lastRow(s)});
    QCOMPARE(found, rows);
}

// The value count is checked against all the project's channels, hidden ones included.
void tst_ReportData::rowsWithAnotherValueCountLeftOut()
{
    LogCapture log;
    ReportData data("VerificationReportExcel");
    data.SetData(2, allSections(), project(labels(4), {"℃", "℃", "%RH", "℃"}),
                 ReportFixture::rows(4, {"1,2,3,4", "1,2,3", "1,2,3,4,5", "5,6,7,8"}), {true, true, false, true},
                 {at(0)}, {at(10)}, {}, "V");
    QCOMPARE(data.rowCount(), 2);
    Struct_ReportRow row;
    data.row(1, row);
    QCOMPARE(row.time, QStringLiteral("01-02 03:04:08.000"));
    QCOMPARE(row.values, QVector<double>({5, 6, 8}));
    QCOMPARE(row.group1Values, QVector<double>({5, 6, 8}));
    QVERIFY(row.group2Values.isEmpty());
    QVERIFY2(log.contains(QStringLiteral("2 rows left out")), qPrintable(log.text()));
}

void tst_ReportData::groupsAndDeviceCounts()
{
    ReportData data("VerificationReportExcel");
    // Groups follow the shown channels, as the export options offer them: with every ℃ channel
    // hidden, %RH is group 1.
    data.SetData(2, allSections(), project({"1-1", "1-2", "2-1", "2-2"}, {"℃", "%RH", "℃", "%RH"}, {"A", "B"}),
                 steadyRows(4, 1), {false, true, false, true}, {}, {}, {}, "V");
    QCOMPARE(data.groupLabels(0), QStringList({"1-2", "2-2"}));
    QCOMPARE(data.groupLabels(1), QStringList());
    QCOMPARE(data.quantity(0), QStringLiteral("湿度"));
    QCOMPARE(data.deviceChannelCount(0), 1);
    QCOMPARE(data.deviceChannelCount(1), 1);
    QCOMPARE(data.sections(), QStringList({"数据表", "湿度横向表", "湿度竖向表", "其他横向表", "其他竖向表"}));

    data.SetData(2, allSections(), project({"1", "2", "3"}, {"℃", "℉", "℉"}, {"P530W"}, "导入"), steadyRows(3, 1), {},
                 {}, {}, {}, "V");
    QCOMPARE(data.deviceChannelCount(0), 3);
    QCOMPARE(data.groupTitle(0), QStringLiteral("温度"));
    QCOMPARE(data.groupTitle(1), QStringLiteral("温度(℉)"));
}

void tst_ReportData::sheetNames()
{
    const QString longTitle = QString(40, QChar(0x6E29));
    QCOMPARE(ReportData::sheetName(longTitle), QString(31, QChar(0x6E29)));
}

QTEST_MAIN(tst_ReportData)
#include "tst_ReportData.moc"
