#include "widgets/ReadOnlyTable.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QTableView>

QTableView *makeReadOnlyTable(QWidget *parent, QAbstractItemModel *model, int sizedRows)
{
    auto *table = new QTableView(parent);
    table->setObjectName(QStringLiteral("tableWidget"));
    table->setModel(model);
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->horizontalHeader()->setResizeContentsPrecision(sizedRows);
    return table;
}
