#include "acquisition/TableColumnFit.h"

#include <QAbstractItemModel>
#include <QTableView>

void TableColumnFit::widenToRow(QTableView *view, int row)
{
    const QAbstractItemModel *model = view ? view->model() : nullptr;
    if (!model || row < 0 || row >= model->rowCount())
        return;
    // As QTableView::sizeHintForColumn measures a cell: the delegate's size plus the grid line.
    const int grid = view->showGrid() ? 1 : 0;
    for (int column = 0; column < model->columnCount(); ++column) {
        if (view->isColumnHidden(column))
            continue;
        const int needed = view->sizeHintForIndex(model->index(row, column)).width() + grid;
        if (needed > view->columnWidth(column))
            view->setColumnWidth(column, needed);
    }
}
