#include "reports/ProjectRows.h"

#include <QtTest>

#include <cmath>
#include <cstring>

class tst_ProjectRows : public QObject {
    Q_OBJECT
private slots:
    void rowsKeepTheirChannelsAndStoredCounts();
    void valuesReadAsToDoubleReadsThem_data();
    void valuesReadAsToDoubleReadsThem();
};

// Every value text gives the very double QString::toDouble gives (0 for no number).
void tst_ProjectRows::valuesReadAsToDoubleReadsThem_data()
{
    QTest::addColumn<QString>("text");
    for (const char *text : {"20.1234567890", "-21.37", "0.1", "-0", "007", ".5", "1.", "2.675", "123456789012345",
                             "1234567890123456", "0.000000000000000000001", "1e3", " 1.5", "+1", "abc", "-", "", "-inf"})
        QTest::newRow(text) << QString::fromLatin1(text);
}

void tst_ProjectRows::valuesReadAsToDoubleReadsThem()
{
    QFETCH(QString, text);
    ProjectRows rows(1);
    rows.append(0, QStringList{text});
    rows.appendJoined(0, text.isEmpty() ? QStringLiteral("0") : text);
    const double expected = text.toDouble();
    for (int r : {0, 1})
        QVERIFY(std::memcmp(&expected, rows.rowValues(r), sizeof expected) == 0);
}

// Joined texts and lists convert alike; short and long rows keep what fits and say what they carried.
void tst_ProjectRows::rowsKeepTheirChannelsAndStoredCounts()
{
    ProjectRows rows(3);
    rows.appendJoined(1000, QStringLiteral("1.5,-2,abc"));
    rows.append(2000, QStringList{"1.5", "-2", "abc"});
    rows.appendJoined(3000, QStringLiteral("7,8,9,10"));
    rows.appendJoined(4000, QStringLiteral("nan,inf"));
    rows.appendJoined(5000, QString());
    const double three[] = {4.0, 5.0, 6.0};
    rows.append(6000, three, 3);

    QCOMPARE(rows.rowCount(), 6);
    for (int r : {0, 1}) {
        QCOMPARE(rows.value(r, 0), 1.5);
        QCOMPARE(rows.value(r, 1), -2.0);
        QCOMPARE(rows.value(r, 2), 0.0); // no number gives 0
        QVERIFY(rows.isComplete(r));
    }
    QCOMPARE(rows.storedCount(2), 4);
    QCOMPARE(rows.value(2, 2), 9.0);
    QVERIFY(!rows.isComplete(2));
    QCOMPARE(rows.storedCount(3), 2);
    QVERIFY(std::isnan(rows.value(3, 0)) && std::isinf(rows.value(3, 1)) && std::isnan(rows.value(3, 2)));
    QCOMPARE(rows.storedCount(4), 0);
    QCOMPARE(rows.rowValues(5)[2], 6.0);
    QCOMPARE(rows.time(5), qint64(6000));
    QCOMPARE(rows.dateTime(0).toMSecsSinceEpoch(), qint64(1000));

    rows.clear();
    QVERIFY(rows.isEmpty());
}

QTEST_APPLESS_MAIN(tst_ProjectRows)
#include "tst_ProjectRows.moc"
