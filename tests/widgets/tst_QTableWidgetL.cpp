#include "widgets/QTableWidgetL.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QtTest>

class tst_QTableWidgetL : public QObject
{
    Q_OBJECT

private:
    static QString text(const QTableWidget &table, int row, int column)
    {
        const QTableWidgetItem *item = table.item(row, column);
        return item ? item->text() : QStringLiteral("<none>");
    }
    // A table of rows x columns whose cells all hold the editable text.
    static void fill(QTableWidgetL &table, int rows, int columns, const QString &cell)
    {
        table.setRowCount(rows);
        table.setColumnCount(columns);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                table.setCellItem(r, c, cell, true);
    }

private slots:
    void itemsAndCheckBoxes()
    {
        QTableWidgetL table;
        table.setRowCount(2);
        table.setColumnCount(2);
        table.setCellItem(0, 0, QStringLiteral("1-3"), false);
        table.setCellItem(0, 1, QStringLiteral("℃"), true);
        QVERIFY(!(table.item(0, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(table.item(0, 1)->flags() & Qt::ItemIsEditable);

        table.setCellCheckBox(1, 0, true, false);
        table.setCellCheckBox(1, 1, false, true);
        // The check box is the second child of the cell's container, after its layout.
        QWidget *container = table.cellWidget(1, 0);
        QVERIFY(container && qobject_cast<QHBoxLayout *>(container->children().value(0)));
        auto *box = qobject_cast<QCheckBox *>(container->children().value(1));
        QVERIFY(box && box->isChecked() && !box->isEnabled());
        QCOMPARE(table.cellCheckBox(1, 0), box);
        QVERIFY(!table.cellCheckBox(1, 1)->isChecked() && table.cellCheckBox(1, 1)->isEnabled());
    }

    void comboBoxEditorAndCommit()
    {
        QTableWidgetL table;
        fill(table, 3, 2, QStringLiteral("项目B"));
        table.item(2, 1)->setText(QStringLiteral("旧项目"));
        const QStringList projects{QStringLiteral("项目A"), QStringLiteral("项目B"), QStringLiteral("项目C")};
        table.setCellComboBox(1, 0, projects);
        auto *combo = qobject_cast<QComboBox *>(table.cellWidget(1, 0));
        QVERIFY(combo);
        QCOMPARE(table.cellEditor(), combo);
        QCOMPARE(combo->currentText(), QStringLiteral("项目B"));

        // A second editor is refused while one is open.
        table.setCellComboBox(2, 0, projects);
        table.setCellLineEdit(2, 1, QString());
        QVERIFY(!table.cellWidget(2, 0) && !table.cellWidget(2, 1));

        // Committing for the editor's own cell keeps it open; any other cell commits.
        combo->setCurrentIndex(2);
        table.commitCellWidget(1, 0);
        QCOMPARE(table.cellEditor(), combo);
        QCOMPARE(text(table, 1, 0), QStringLiteral("项目B"));
        table.commitCellWidget(0, 0);
        QCOMPARE(text(table, 1, 0), QStringLiteral("项目C"));
        QVERIFY(!table.cellEditor());
        QCOMPARE(table.editorRow(), -1);
        QTRY_VERIFY(!table.cellWidget(1, 0));
        QCOMPARE(text(table, 0, 0), QStringLiteral("项目B"));

        // Nothing open: commit does nothing. A text not among the items leaves the cell as it was.
        table.commitCellWidget(-1, -1);
        QCOMPARE(text(table, 1, 0), QStringLiteral("项目C"));
        table.setCellComboBox(2, 1, projects);
        QCOMPARE(qobject_cast<QComboBox *>(table.cellEditor())->currentIndex(), -1);
        table.commitCellWidget(-1, -1);
        QCOMPARE(text(table, 2, 1), QStringLiteral("旧项目"));
    }

    void lineEditorValidatorAndCommit()
    {
        QTableWidgetL table;
        table.setRowCount(2);
        table.setColumnCount(2);
        table.setCellItem(0, 1, QStringLiteral("1"), true);
        table.resizeColumnsToContents();
        const int narrow = table.columnWidth(1);

        table.setCellLineEdit(0, 1, QStringLiteral("[-+0-9.Ee]+$"));
        auto *edit = qobject_cast<QLineEdit *>(table.cellWidget(0, 1));
        QVERIFY(edit);
        QCOMPARE(edit->text(), QStringLiteral("1"));
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("abc-1.25E+3x"));
        QCOMPARE(edit->text(), QStringLiteral("-1.25E+3"));
        edit->setText(edit->text() + QStringLiteral("00000000000000000000"));

        // Row -1 always commits; the column grows to the new text.
        table.commitCellWidget(-1, 5);
        QCOMPARE(text(table, 0, 1), QStringLiteral("-1.25E+300000000000000000000"));
        QVERIFY(!table.cellEditor());
        QVERIFY(table.columnWidth(1) > narrow);

        // No pattern: no validator; a cell without an item gets one on commit.
        table.setCellLineEdit(1, 0, QString());
        edit = qobject_cast<QLineEdit *>(table.cellWidget(1, 0));
        QVERIFY(edit && !edit->validator());
        edit->insert(QStringLiteral("k Ω"));
        table.commitCellWidget(0, -1);
        QCOMPARE(text(table, 1, 0), QStringLiteral("k Ω"));

        // An editor whose row is removed is forgotten: the next one can open.
        table.setCellLineEdit(1, 0, QString());
        table.removeRow(1);
        QTRY_VERIFY(!table.cellEditor());
        table.setCellLineEdit(0, 0, QString());
        QVERIFY(table.cellEditor());
    }

    // A shown table whose last column stretches: the combo box gets room for its arrow, and
    // after a commit the columns fit their texts while the last one still fills the width.
    void editorsKeepColumnsReadable()
    {
        QTableWidgetL table;
        table.horizontalHeader()->setStretchLastSection(true);
        table.verticalHeader()->setVisible(false);
        fill(table, 2, 3, QStringLiteral("100"));
        table.item(0, 0)->setText(QStringLiteral("恒温箱验证A"));
        table.resizeColumnsToContents();
        const int fitted = table.columnWidth(0);
        table.resize(600, 200);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        auto fillsWidth = [&table] {
            const QHeaderView *header = table.horizontalHeader();
            return header->sectionViewportPosition(2) + header->sectionSize(2) == table.viewport()->width();
        };
        QTRY_VERIFY(fillsWidth());

        table.setCellComboBox(0, 0, {QStringLiteral("恒温箱验证A"), QStringLiteral("恒温箱验证B")});
        QVERIFY(table.columnWidth(0) >= table.cellEditor()->sizeHint().width());
        QVERIFY(table.columnWidth(0) > fitted);
        table.commitCellWidget(-1, -1);
        QCOMPARE(table.columnWidth(0), fitted);
        QVERIFY(fillsWidth());
    }

    void copyAndPaste()
    {
        QTableWidgetL table;
        fill(table, 3, 4, QStringLiteral("m"));
        for (int r = 0; r < 3; ++r) {
            table.setCellItem(r, 0, QStringLiteral("fixed%1").arg(r), false);
            table.setCellCheckBox(r, 2, false, true);
        }
        // Copy: the bounding rectangle of the selection; unselected cells inside it stay empty.
        table.setRangeSelected(QTableWidgetSelectionRange(0, 0, 1, 1), true);
        table.copyCells();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("fixed0\tm\nfixed1\tm"));
        table.clearSelection();
        table.setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 0), true);
        table.setRangeSelected(QTableWidgetSelectionRange(1, 3, 1, 3), true);
        table.copyCells();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("fixed0\t\t\t\n\t\t\tm"));

        // Paste: only editable items are written, not cells under a widget.
        table.setCurrentCell(1, 0);
        QApplication::clipboard()->setText(QStringLiteral("x0\tx1\tx2\tx3\tx4\r\ny0\ty1\ty2\ty3\r\nz0\tz1\r\n"));

        // Rows 1 and 2 are written from column 0; row "z" falls outside the table.
        QCOMPARE(table.pasteCells(), 4);
        QStringList cells;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                cells << text(table, r, c);
        QCOMPARE(cells, QStringList({"fixed0", "m", "m", "m", "fixed1", "x1", "m", "x3", "fixed2", "y1", "m", "y3"}));
        QVERIFY(!table.cellCheckBox(1, 2)->isChecked());

        // An open editor's cell is not written behind the editor's back; an empty clipboard changes nothing.
        table.setCellLineEdit(0, 3, QString());
        table.setCurrentCell(0, 3);
        QApplication::clipboard()->setText(QStringLiteral("new"));
        QCOMPARE(table.pasteCells(), 0);
        QCOMPARE(text(table, 0, 3), QStringLiteral("m"));
        QApplication::clipboard()->clear();
        table.setCurrentCell(0, 1);
        QCOMPARE(table.pasteCells(), 0);
    }
};

QTEST_MAIN(tst_QTableWidgetL)
#include "tst_QTableWidgetL.moc"
