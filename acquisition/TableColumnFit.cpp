#include "acquisition/TableColumnFit.h"

#include <QAbstractItemModel>
#include <QTableView>

void TableColumnFit::addedRow(QTableView *view, int row)
{
    const QAbstractItemModel *model = view ? view->model() : nullptr;
    if (!model || row < 0 || row >= model->rowCount())
        return;
    const int columns = model->columnCount();
    if (!m_fitted || m_longest.size() != columns) {
        view->resizeColumnsToContents();
        m_longest.fill(0, columns);
        m_fitted = true;
    }
    // As QTableView::sizeHintForColumn measures a cell: the delegate's size plus the grid line.
    const int grid = view->showGrid() ? 1 : 0;
    for (int column = 0; column < columns; ++column) {
        if (view->isColumnHidden(column))
            continue;
        const QModelIndex index = model->index(row, column);
        const int length = model->data(index, Qt::DisplayRole).toString().size();
        if (length <= m_longest.at(column))
            continue;
        m_longest[column] = length;
        const int needed = view->sizeHintForIndex(index).width() + grid;
        if (needed > view->columnWidth(column))
            view->setColumnWidth(column, needed);
    }
}
