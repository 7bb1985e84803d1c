#pragma once

class QTableView;

// Column widths of the live tables of a run. The columns are fitted to their contents once,
// after the first row; fitting again at every sample would measure up to a thousand rows per
// column and make the columns jump. A later row whose text needs more room (a value that grows
// a digit or turns negative) widens its columns instead, so no value is shown cut off.
class TableColumnFit
{
public:
    // Widens every column of the view that is narrower than the given row's cell needs;
    // never narrows one.
    static void widenToRow(QTableView *view, int row);
};
