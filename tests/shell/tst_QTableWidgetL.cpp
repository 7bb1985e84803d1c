#include "shell/QTableWidgetL.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
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

private slots:
    void cellItemEditableFlag()
    {
        QTableWidgetL table;
        table.setRowCount(1);
        table.setColumnCount(2);
        table.setCellItem(0, 0, QStringLiteral("1-3"), false);
        table.setCellItem(0, 1, QStringLiteral("℃"), true);
        QCOMPARE(text(table, 0, 0), QStringLiteral("1-3"));
        QVERIFY(!(table.item(0, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(table.item(0, 1)->flags() & Qt::ItemIsEditable);
        QVERIFY(table.item(0, 0)->flags() & Qt::ItemIsSelectable);
    }

    void checkBoxIsSecondChildOfContainer()
    {
        QTableWidgetL table;
        table.setRowCount(2);
        table.setColumnCount(1);
        table.setCellCheckBox(0, 0, true, false);
        table.setCellCheckBox(1, 0, false, true);

        QWidget *container = table.cellWidget(0, 0);
        QVERIFY(container);
        QCOMPARE(container->children().size(), 2);
        auto *layout = qobject_cast<QHBoxLayout *>(container->children().at(0));
        QVERIFY(layout);
        QCOMPARE(layout->contentsMargins(), QMargins(0, 0, 0, 0));
        QCOMPARE(layout->alignment(), Qt::AlignCenter);
        auto *box = qobject_cast<QCheckBox *>(container->children().at(1));
        QVERIFY(box);
        QVERIFY(box->isChecked());
        QVERIFY(!box->isEnabled());
        QCOMPARE(table.cellCheckBox(0, 0), box);
        QVERIFY(!table.cellCheckBox(1, 0)->isChecked());
        QVERIFY(table.cellCheckBox(1, 0)->isEnabled());
        QVERIFY(!table.cellCheckBox(0, 1));
    }

    void comboBoxEditorAndCommit()
    {
        QTableWidgetL table;
        table.setRowCount(3);
        table.setColumnCount(2);
        for (int r = 0; r < 3; ++r)
            table.setCellItem(r, 0, QStringLiteral("项目B"), true);

        const QStringList projects{QStringLiteral("项目A"), QStringLiteral("项目B"), QStringLiteral("项目C")};
        table.setCellComboBox(1, 0, projects);
        auto *combo = qobject_cast<QComboBox *>(table.cellWidget(1, 0));
        QVERIFY(combo);
        QCOMPARE(table.cellEditor(), combo);
        QCOMPARE(table.editorRow(), 1);
        QCOMPARE(table.editorColumn(), 0);
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->currentText(), QStringLiteral("项目B"));

        // A second editor is refused while one is open.
        table.setCellComboBox(2, 0, projects);
        table.setCellLineEdit(2, 1, QString());
        QVERIFY(!table.cellWidget(2, 0));
        QVERIFY(!table.cellWidget(2, 1));
        QCOMPARE(table.cellEditor(), combo);

        // Committing for the editor's own cell keeps it open.
        combo->setCurrentIndex(2);
        table.commitCellWidget(1, 0);
        QCOMPARE(table.cellEditor(), combo);
        QCOMPARE(text(table, 1, 0), QStringLiteral("项目B"));

        // Any other cell commits: text written, editor gone.
        table.commitCellWidget(0, 0);
        QCOMPARE(text(table, 1, 0), QStringLiteral("项目C"));
        QVERIFY(!table.cellEditor());
        QCOMPARE(table.editorRow(), -1);
        QTRY_VERIFY(!table.cellWidget(1, 0));
        QCOMPARE(text(table, 0, 0), QStringLiteral("项目B"));
        QCOMPARE(text(table, 2, 0), QStringLiteral("项目B"));

        // Nothing open: commit does nothing.
        table.commitCellWidget(-1, -1);
        QCOMPARE(text(table, 1, 0), QStringLiteral("项目C"));
    }

    void comboBoxWithUnknownTextKeepsCell()
    {
        QTableWidgetL table;
        table.setRowCount(1);
        table.setColumnCount(1);
        table.setCellItem(0, 0, QStringLiteral("旧项目"), true);
        table.setCellComboBox(0, 0, {QStringLiteral("项目A")});
        auto *combo = qobject_cast<QComboBox *>(table.cellWidget(0, 0));
        QVERIFY(combo);
        QCOMPARE(combo->currentIndex(), -1);
        table.commitCellWidget(-1, -1);
        QCOMPARE(text(table, 0, 0), QStringLiteral("旧项目"));
        QVERIFY(!table.cellEditor());
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
        QVERIFY(qobject_cast<const QRegularExpressionValidator *>(edit->validator()));
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
        QVERIFY(edit);
        QVERIFY(!edit->validator());
        QCOMPARE(edit->text(), QString());
        edit->insert(QStringLiteral("k Ω"));
        table.commitCellWidget(0, -1);
        QCOMPARE(text(table, 1, 0), QStringLiteral("k Ω"));
    }

    void editorOnRemovedRowIsForgotten()
    {
        QTableWidgetL table;
        table.setRowCount(2);
        table.setColumnCount(1);
        table.setCellItem(0, 0, QStringLiteral("a"), true);
        table.setCellItem(1, 0, QStringLiteral("b"), true);
        table.setCellLineEdit(1, 0, QString());
        table.removeRow(1);
        QTRY_VERIFY(!table.cellEditor());
        table.commitCellWidget(-1, -1);
        QCOMPARE(text(table, 0, 0), QStringLiteral("a"));
        table.setCellLineEdit(0, 0, QString());
        QVERIFY(table.cellEditor());
    }

    void copySelection()
    {
        QTableWidgetL table;
        table.setRowCount(3);
        table.setColumnCount(3);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                table.setCellItem(r, c, QStringLiteral("%1%2").arg(r).arg(c), false);
        table.setRangeSelected(QTableWidgetSelectionRange(1, 0, 2, 1), true);
        table.copyCells();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("10\t11\n20\t21"));

        // Unselected cells inside the bounding rectangle stay empty.
        table.clearSelection();
        table.setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 0), true);
        table.setRangeSelected(QTableWidgetSelectionRange(1, 2, 1, 2), true);
        table.copyCells();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("00\t\t\n\t\t12"));
    }

    void pasteRespectsEditableFlags()
    {
        QTableWidgetL table;
        table.setRowCount(3);
        table.setColumnCount(4);
        for (int r = 0; r < 3; ++r) {
            table.setCellItem(r, 0, QStringLiteral("fixed"), false);
            table.setCellItem(r, 1, QStringLiteral("m"), true);
            table.setCellCheckBox(r, 2, false, true);
            table.setCellItem(r, 3, QStringLiteral("b"), true);
        }
        table.item(2, 3)->setText(QStringLiteral("keep"));
        table.setCurrentCell(1, 0);
        QApplication::clipboard()->setText(QStringLiteral("x0\tx1\tx2\tx3\tx4\r\ny0\ty1\ty2\ty3\r\nz0\tz1\r\n"));

        // Row 1 and row 2 are written from column 0; row "z" falls outside the table.
        QCOMPARE(table.pasteCells(), 4);
        QCOMPARE(text(table, 1, 0), QStringLiteral("fixed"));
        QCOMPARE(text(table, 1, 1), QStringLiteral("x1"));
        QCOMPARE(table.item(1, 2), nullptr);
        QVERIFY(!table.cellCheckBox(1, 2)->isChecked());
        QCOMPARE(text(table, 1, 3), QStringLiteral("x3"));
        QCOMPARE(text(table, 2, 0), QStringLiteral("fixed"));
        QCOMPARE(text(table, 2, 1), QStringLiteral("y1"));
        QCOMPARE(text(table, 2, 3), QStringLiteral("y3"));
        QCOMPARE(text(table, 0, 1), QStringLiteral("m"));

        // An open editor's cell is not written behind the editor's back.
        table.setCellLineEdit(0, 3, QString());
        table.setCurrentCell(0, 3);
        QApplication::clipboard()->setText(QStringLiteral("new"));
        QCOMPARE(table.pasteCells(), 0);
        QCOMPARE(text(table, 0, 3), QStringLiteral("b"));

        // An empty clipboard changes nothing.
        QApplication::clipboard()->clear();
        table.setCurrentCell(0, 1);
        QCOMPARE(table.pasteCells(), 0);
        QCOMPARE(text(table, 0, 1), QStringLiteral("m"));
    }
};

QTEST_MAIN(tst_QTableWidgetL)
#include "tst_QTableWidgetL.moc"
