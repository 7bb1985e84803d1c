// The workbook adapter, read back with openpyxl: cells, numbers, merges, sizes and sheets as a
// spreadsheet counts them, and refused calls that must keep the workbook from being saved.
#include "ReportFixture.h"

#include "reports/XlsxWorkbook.h"
#include "support/TestWorkDir.h"

#include <QDir>
#include <QImage>
#include <QtTest>

#include <functional>
#include <limits>

using namespace ReportFixture;

using Misuse = std::function<void(XlsxWorkbook &)>;
Q_DECLARE_METATYPE(Misuse)

class tst_XlsxWorkbook : public QObject
{
    Q_OBJECT

private slots:
    void writesWhatASpreadsheetShows();
    void refusedCallPreventsTheSave_data();
    void refusedCallPreventsTheSave();
};

// Numbers stay numbers, but NaN and infinity never do; one look gives one format; the workbook
// opens on the selected sheet. (Texts, merges, fills and pictures: see the report workbook test.)
void tst_XlsxWorkbook::writesWhatASpreadsheetShows()
{
    TestWorkDir dir(TestWorkDir::NoDatabase);
    const QString path = dir.filePath(QStringLiteral("book.xls"));
    XlsxWorkbook book(path);
    XlsxFormat look;
    look.numberFormat = QStringLiteral("0.00");
    const XlsxWorkbook::Format figure = book.format(look);
    QCOMPARE(book.format(look), figure);
    look.align = XlsxFormat::Center;
    QVERIFY(book.format(look) != figure);

    QVERIFY(book.addSheet(QStringLiteral("一")) && book.addSheet(QStringLiteral("二")));
    QVERIFY(book.setRowHeight(2, 30));
    QVERIFY(book.writeNumber(2, 1, 1.5, figure));
    QVERIFY(book.writeNumber(2, 2, std::numeric_limits<double>::quiet_NaN(), figure));
    QVERIFY(book.writeNumber(2, 3, std::numeric_limits<double>::infinity(), figure));
    QVERIFY(book.selectSheet(QStringLiteral("一")));
    QCOMPARE(book.sheetNames(), QStringList({"一", "二"}));
    QVERIFY(book.ok() && book.save());

    const QJsonObject read = readWorkbook(path);
    QCOMPARE(read.value("active").toString(), QStringLiteral("一"));
    const QJsonObject second = sheet(read, "二");
    const QJsonObject cells = second.value("cells").toObject();
    QCOMPARE(cells.value("A2").toObject().value("n").toDouble(), 1.5);
    QVERIFY(!cells.contains("B2") && !cells.contains("C2"));
    QCOMPARE(second.value("heights").toObject().value("2").toDouble(), 30.0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"book.xls"}));
}

// One refused call and the workbook is never saved; nothing is left in the folder.
void tst_XlsxWorkbook::refusedCallPreventsTheSave_data()
{
    QTest::addColumn<Misuse>("misuse");
    QTest::newRow("sheet name taken") << Misuse([](XlsxWorkbook &b) { b.addSheet(QStringLiteral("SHEET")); });
    QTest::newRow("forbidden character") << Misuse([](XlsxWorkbook &b) { b.addSheet(QStringLiteral("a:b")); });
    QTest::newRow("past the row limit") << Misuse([](XlsxWorkbook &b) {
        XlsxWorkbook::setRowLimit(5);
        b.writeText(6, 1, QStringLiteral("x"), nullptr);
        XlsxWorkbook::setRowLimit(1048576);
    });
    QTest::newRow("row written out of order") << Misuse([](XlsxWorkbook &b) {
        b.writeText(3, 1, QStringLiteral("x"), nullptr);
        b.writeText(2, 1, QStringLiteral("y"), nullptr);
    });
    QTest::newRow("empty picture") << Misuse([](XlsxWorkbook &b) { b.insertImage(1, 1, QImage()); });
}

void tst_XlsxWorkbook::refusedCallPreventsTheSave()
{
    QFETCH(Misuse, misuse);
    TestWorkDir dir(TestWorkDir::NoDatabase);
    XlsxWorkbook book(dir.filePath(QStringLiteral("book.xls")));
    QVERIFY(book.addSheet(QStringLiteral("Sheet")));
    QVERIFY(book.writeText(1, 1, QStringLiteral("kept?"), nullptr));
    misuse(book);
    QVERIFY(!book.ok());
    QVERIFY(!book.errorString().isEmpty());
    QVERIFY(!book.save());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(tst_XlsxWorkbook)
#include "tst_XlsxWorkbook.moc"
