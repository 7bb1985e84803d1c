#pragma once

class QAbstractItemModel;
class QTableView;
class QWidget;

// A table view named "tableWidget" over a model that formats its cells on demand: read-only,
// whole rows selected one at a time, no row header. Column widths come from the shown rows and up
// to `sizedRows` neighbours: the rows of a record file or a project look alike, and measuring every
// row per column would cost more than the data itself.
QTableView *makeReadOnlyTable(QWidget *parent, QAbstractItemModel *model, int sizedRows = 200);
