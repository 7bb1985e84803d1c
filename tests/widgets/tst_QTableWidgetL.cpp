#include "widgets/QTableWidgetL.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QtTest>

namespace {

// A table of rows x columns whose cells all hold the editable text.
void fill(QTableWidgetL &table, int rows, int columns, const QString &cell)
{
    table.setRowCount(rows);
    table.setColumnCount(columns);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            table.setCellItem(r, c, cell, true);
}

// The table, rows by lines and cells by "|": a text ("°" when not editable, "-" for no item),
// a check box "[x]" or "[ ]" ("~" when disabled), or the class of another cell widget.
QString cells(const QTableWidgetL &table)
{
    QStringList rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList line;
        for (int c = 0; c < table.columnCount(); ++c) {
            const QTableWidgetItem *item = table.item(r, c);
            if (const QCheckBox *box = table.cellCheckBox(r, c))
                line << QString(box->isChecked() ? "[x]" : "[ ]") + (box->isEnabled() ? "" : "~");
            else if (const QWidget *widget = table.cellWidget(r, c))
                line << widget->metaObject()->className();
            else
                line << (item ? item->text() + (item->flags() & Qt::ItemIsEditable ? "" : "°") : "-");
        }
        rows << line.join('|');
    }
    return rows.join('\n');
}

} // namespace

class tst_QTableWidgetL : public QObject
{
    Q_OBJECT

private slots:
    // One editor at a time, opened on the cell's text. Committing for the editor's own cell keeps
    // it open; any other cell commits; with nothing open commit does nothing; a text not among
    // the combo box's items leaves the cell as it was.
    void itemsCheckBoxesAndComboEditor()
    {
        QTableWidgetL table;
        fill(table, 3, 2, QStringLiteral("项目B"));
        table.setCellItem(0, 1, QStringLiteral("℃"), false);
        table.item(2, 1)->setText(QStringLiteral("旧项目"));
        table.setCellCheckBox(2, 0, true, false);
        QCOMPARE(cells(table), QStringLiteral("项目B|℃°\n项目B|项目B\n[x]~|旧项目"));
        table.setCellCheckBox(2, 0, false, true);
        QCOMPARE(cells(table).section('\n', 2), QStringLiteral("[ ]|旧项目"));

        const QStringList projects{QStringLiteral("项目A"), QStringLiteral("项目B"), QStringLiteral("项目C")};
        table.setCellComboBox(1, 0, projects);
        auto *combo = qobject_cast<QComboBox *>(table.cellEditor());
        QVERIFY(combo && table.cellWidget(1, 0) == combo);
        QCOMPARE(combo->currentText(), QStringLiteral("项目B"));
        table.setCellComboBox(1, 1, projects);
        table.setCellLineEdit(0, 0, QString());
        combo->setCurrentIndex(2);
        table.commitCellWidget(1, 0);
        QCOMPARE(cells(table), QStringLiteral("项目B|℃°\nQComboBox|项目B\n[ ]|旧项目"));
        table.commitCellWidget(0, 0);
        QVERIFY(!table.cellEditor() && table.editorRow() == -1);
        QTRY_COMPARE(cells(table), QStringLiteral("项目B|℃°\n项目C|项目B\n[ ]|旧项目"));
        table.commitCellWidget(-1, -1);
        table.setCellComboBox(2, 1, projects);
        QCOMPARE(qobject_cast<QComboBox *>(table.cellEditor())->currentIndex(), -1);
        table.commitCellWidget(-1, -1);
        QTRY_COMPARE(cells(table), QStringLiteral("项目B|℃°\n项目C|项目B\n[ ]|旧项目"));
    }

    // The pattern filters what is typed; row -1 always commits and the column grows to the new
    // text; no pattern: no validator; a cell without an item gets one on commit; an editor
    // whose row is removed is forgotten, so the next one can open.
    void lineEditor()
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
        edit->setText(edit->text() + QStringLiteral("00000000000000000000"));
        table.commitCellWidget(-1, 5);
        QVERIFY(!table.cellEditor() && table.columnWidth(1) > narrow);

        table.setCellLineEdit(1, 0, QString());
        edit = qobject_cast<QLineEdit *>(table.cellWidget(1, 0));
        QVERIFY(edit && !edit->validator());
        edit->insert(QStringLiteral("k Ω"));
        table.commitCellWidget(0, -1);
        QTRY_COMPARE(cells(table), QStringLiteral("-|-1.25E+300000000000000000000\nk Ω|-"));

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
        QVERIFY(table.columnWidth(0) >= table.cellEditor()->sizeHint().width() && table.columnWidth(0) > fitted);
        table.commitCellWidget(-1, -1);
        QCOMPARE(table.columnWidth(0), fitted);
        QVERIFY(fillsWidth());
    }

    // Copy: the bounding rectangle of the selection, unselected cells inside it empty. Paste from
    // the top left of the selection: only editable items are written, not cells under a widget
    // or an open editor, nor beyond the table; an empty clipboard changes nothing.
    void copyAndPaste()
    {
        QTableWidgetL table;
        fill(table, 3, 4, QStringLiteral("m"));
        for (int r = 0; r < 3; ++r) {
            table.setCellItem(r, 0, QStringLiteral("fixed%1").arg(r), false);
            table.setCellCheckBox(r, 2, false, true);
        }
        table.setRangeSelected(QTableWidgetSelectionRange(0, 1, 1, 3), true);
        table.copyCells();
        QString copied = QApplication::clipboard()->text();
        table.clearSelection();
        table.setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 0), true);
        table.setRangeSelected(QTableWidgetSelectionRange(1, 3, 1, 3), true);
        table.copyCells();
        QCOMPARE(copied + " / " + QApplication::clipboard()->text(), QStringLiteral("m\tm\tm\nm\tm\tm / fixed0\t\t\t\n\t\t\tm"));

        table.setCurrentCell(1, 0);
        QApplication::clipboard()->setText(QStringLiteral("x0\tx1\tx2\tx3\tx4\r\ny0\ty1\ty2\ty3\r\nz0\tz1\r\n"));
        QCOMPARE(table.pasteCells(), 4);
        table.setCellLineEdit(0, 3, QString());
        table.setCurrentCell(0, 3);
        QApplication::clipboard()->setText(QStringLiteral("new"));
        QCOMPARE(table.pasteCells(), 0);
        QApplication::clipboard()->clear();
        table.setCurrentCell(0, 1);
        QCOMPARE(table.pasteCells(), 0);
        table.commitCellWidget(-1, -1);
        QTRY_COMPARE(cells(table), QStringLiteral("fixed0°|m|[ ]|m\nfixed1°|x1|[ ]|x3\nfixed2°|y1|[ ]|y3"));
    }
};

QTEST_MAIN(tst_QTableWidgetL)
#include "tst_QTableWidgetL.moc"
