#include "ReportTestHelpers.h"

#include "common/Struct_System.h"
#include "reports/VerificationReportData.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTableView>
#include <QtTest>

#include <memory>

class tst_VerificationReportData : public QObject
{
    Q_OBJECT

private slots:
    // Heads of the shown channels, numbered rows, times with milliseconds, values with the
    // system's decimals; rows with more or fewer values than channels show as far as both go.
    void table_data()
    {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QList<bool>>("shown");
        QTest::addColumn<QStringList>("expected"); // heads, then the cells of each row
        QTest::newRow("all, 2 decimals") << 2 << QList<bool>{true, true, true}
            << QStringList{"序号|采集时间|1-1(℃)|1-2(℃)|1-3(%RH)", "1|2024-05-01 08:00:00.000|20.13|-0.50|45.00",
                           "2|2024-05-01 08:00:01.001|1.00|2.00|3.00", "3|2024-05-01 08:00:02.002|7.00||",
                           "4|2024-05-01 08:00:03.003|0.00|nan|1.00"};
        QTest::newRow("hidden, 0 decimals") << 0 << QList<bool>{false, true, true}
            << QStringList{"序号|采集时间|1-2(℃)|1-3(%RH)", "1|2024-05-01 08:00:00.000|-1|45",
                           "2|2024-05-01 08:00:01.001|2|3", "3|2024-05-01 08:00:02.002||", "4|2024-05-01 08:00:03.003|nan|1"};
        QTest::newRow("none shown") << 3 << QList<bool>{false, false, false}
            << QStringList{"序号|采集时间", "1|2024-05-01 08:00:00.000", "2|2024-05-01 08:00:01.001",
                           "3|2024-05-01 08:00:02.002", "4|2024-05-01 08:00:03.003"};
    }

    void table()
    {
        QFETCH(int, decimals);
        QFETCH(QList<bool>, shown);
        QFETCH(QStringList, expected);
        auto rows = std::make_shared<ProjectRows>(3);
        const QStringList stored{"20.125,-0.5,45", "1,2,3,4,5", "7", "x,nan,1"};
        for (int n = 0; n < stored.size(); ++n)
            rows->appendJoined(sampleTime(n).toMSecsSinceEpoch(), stored.at(n));
        Struct_System system;
        system.DataAccuracy = decimals;
        VerificationReportData dialog;
        dialog.SetData(&system, testProject("P", {"℃", "℃", "%RH"}), shown, rows);
        const QAbstractItemModel *model = dialog.findChild<QTableView *>("tableWidget")->model();
        QStringList lines;
        for (int r = -1; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model->columnCount(); ++c)
                cells << (r < 0 ? model->headerData(c, Qt::Horizontal) : model->index(r, c).data()).toString();
            lines << cells.join('|');
        }
        QCOMPARE(lines, expected);
        QVERIFY(!(model->flags(model->index(0, 2)) & Qt::ItemIsEditable));
    }

    // The context menu's copy entry puts the selected row on the clipboard.
    void copySelectedRow()
    {
        auto rows = std::make_shared<ProjectRows>(1);
        rows->appendJoined(sampleTime(0).toMSecsSinceEpoch(), "1.5");
        rows->appendJoined(sampleTime(1).toMSecsSinceEpoch(), "2.5");
        Struct_System system;
        VerificationReportData dialog;
        dialog.SetData(&system, testProject("P", {"℃"}), {true}, rows);
        dialog.show();
        auto *table = dialog.findChild<QTableView *>("tableWidget");
        table->selectRow(1);
        QTimer::singleShot(0, [] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu && menu->actions().first()->text() == QStringLiteral("复制"));
            menu->setActiveAction(menu->actions().first());
            QTest::keyClick(menu, Qt::Key_Return);
        });
        emit table->customContextMenuRequested(QPoint(5, 5));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("2\t2024-05-01 08:00:01.001\t2.50"));
    }
};

QTEST_MAIN(tst_VerificationReportData)
#include "tst_VerificationReportData.moc"
