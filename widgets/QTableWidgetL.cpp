#include "widgets/QTableWidgetL.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <climits>

QTableWidgetL::QTableWidgetL(QWidget *parent)
    : QTableWidget(parent)
{
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &QTableWidgetL::showContextMenu);
}

void QTableWidgetL::setCellItem(int row, int column, const QString &text, bool editable)
{
    auto *item = new QTableWidgetItem(text);
    if (!editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    setItem(row, column, item);
}

void QTableWidgetL::setCellCheckBox(int row, int column, bool checked, bool enabled)
{
    auto *container = new QWidget;
    auto *layout = new QHBoxLayout(container);   // first child
    auto *box = new QCheckBox(container);         // second child
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setAlignment(Qt::AlignCenter);
    layout->addWidget(box);
    box->setChecked(checked);
    box->setEnabled(enabled);
    setCellWidget(row, column, container);
}

QCheckBox *QTableWidgetL::cellCheckBox(int row, int column) const
{
    QWidget *container = cellWidget(row, column);
    if (!container || container->children().size() < 2)
        return nullptr;
    return qobject_cast<QCheckBox *>(container->children().at(1));
}

bool QTableWidgetL::openEditor(int row, int column, QWidget *editor)
{
    if (m_Editor || row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) {
        delete editor;
        return false;
    }
    m_Editor = editor;
    m_EditorRow = row;
    m_EditorColumn = column;
    setCellWidget(row, column, editor);
    editor->setFocus();
    return true;
}

void QTableWidgetL::setCellComboBox(int row, int column, const QStringList &items)
{
    if (m_Editor)
        return;
    auto *combo = new QComboBox;
    combo->addItems(items);
    const QTableWidgetItem *cell = item(row, column);
    combo->setCurrentIndex(combo->findText(cell ? cell->text() : QString()));
    if (!openEditor(row, column, combo))
        return;
    // The column was fitted to the bare text; the box needs room for its frame and arrow too,
    // or the chosen entry shows cut off. The commit fits the column to the text again.
    const int needed = combo->sizeHint().width();
    if (columnWidth(column) < needed)
        setColumnWidth(column, needed);
}

void QTableWidgetL::setCellLineEdit(int row, int column, const QString &pattern)
{
    if (m_Editor)
        return;
    const QTableWidgetItem *cell = item(row, column);
    auto *edit = new QLineEdit(cell ? cell->text() : QString());
    if (!pattern.isEmpty())
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
    if (openEditor(row, column, edit))
        edit->selectAll();
}

void QTableWidgetL::commitCellWidget(int row, int column)
{
    if (!m_Editor)
        return;
    if (row == m_EditorRow && column == m_EditorColumn)
        return;

    bool write = true;
    QString text;
    if (auto *combo = qobject_cast<QComboBox *>(m_Editor.data())) {
        write = combo->currentIndex() >= 0;
        text = combo->currentText();
    } else if (auto *edit = qobject_cast<QLineEdit *>(m_Editor.data())) {
        text = edit->text();
    }

    const int editorRow = m_EditorRow;
    const int editorColumn = m_EditorColumn;
    m_Editor = nullptr;
    m_EditorRow = -1;
    m_EditorColumn = -1;

    if (write) {
        QTableWidgetItem *cell = item(editorRow, editorColumn);
        if (cell)
            cell->setText(text);
        else
            setItem(editorRow, editorColumn, new QTableWidgetItem(text));
    }
    removeCellWidget(editorRow, editorColumn);
    fitColumnsToContents();
}

void QTableWidgetL::fitColumnsToContents()
{
    resizeColumnsToContents();
    // Sizing the stretched last column to its contents drops the stretch until the next resize
    // of the view; turning it on again makes the last column fill the width at once.
    QHeaderView *header = horizontalHeader();
    if (header->stretchLastSection()) {
        header->setStretchLastSection(false);
        header->setStretchLastSection(true);
    }
}

void QTableWidgetL::copyCells()
{
    const QModelIndexList indexes = selectedIndexes();
    if (!indexes.isEmpty())
        QApplication::clipboard()->setText(cellsText(indexes));
}

QString QTableWidgetL::cellsText(const QModelIndexList &indexes)
{
    if (indexes.isEmpty())
        return QString();
    int top = INT_MAX, left = INT_MAX, bottom = -1, right = -1;
    for (const QModelIndex &index : indexes) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
    }
    QVector<QStringList> grid(bottom - top + 1, QStringList());
    for (QStringList &line : grid)
        for (int c = left; c <= right; ++c)
            line << QString();
    for (const QModelIndex &index : indexes)
        grid[index.row() - top][index.column() - left] = index.data().toString();
    QStringList lines;
    for (const QStringList &line : grid)
        lines << line.join(QLatin1Char('\t'));
    return lines.join(QLatin1Char('\n'));
}

int QTableWidgetL::pasteCells()
{
    QString text = QApplication::clipboard()->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    if (text.isEmpty())
        return 0;

    int top = currentRow();
    int left = currentColumn();
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (!ranges.isEmpty()) {
        top = ranges.first().topRow();
        left = ranges.first().leftColumn();
    }
    if (top < 0 || left < 0)
        return 0;

    int written = 0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int r = 0; r < lines.size(); ++r) {
        const QStringList fields = lines.at(r).split(QLatin1Char('\t'));
        for (int c = 0; c < fields.size(); ++c) {
            const int row = top + r;
            const int column = left + c;
            if (row >= rowCount() || column >= columnCount() || cellWidget(row, column))
                continue;
            QTableWidgetItem *cell = item(row, column);
            if (!cell || !(cell->flags() & Qt::ItemIsEditable))
                continue;
            cell->setText(fields.at(c));
            ++written;
        }
    }
    return written;
}

void QTableWidgetL::showContextMenu(const QPoint &position)
{
    QMenu menu(this);
    QAction *copy = menu.addAction(tr("复制"));
    QAction *paste = menu.addAction(tr("粘贴"));
    copy->setEnabled(!selectedIndexes().isEmpty());
    paste->setEnabled(!QApplication::clipboard()->text().isEmpty());
    QAction *chosen = menu.exec(viewport()->mapToGlobal(position));
    if (chosen == copy)
        copyCells();
    else if (chosen == paste)
        pasteCells();
}
