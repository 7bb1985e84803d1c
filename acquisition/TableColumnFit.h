#pragma once

#include <QVector>

class QTableView;

// Column widths of a live table of a run. The columns are fitted to their contents once, after
// the first row; fitting again at every sample would measure up to a thousand rows per column
// and make the columns jump. A later row whose text needs more room (a value that grows a digit
// or turns negative) widens its columns instead, so no value is shown cut off. A cell is only
// measured when its text is longer than any its column has shown, so a steady tick costs little.
class TableColumnFit
{
public:
    // Called after a row was added: the first row fits every column, later rows widen.
    void addedRow(QTableView *view, int row);
    // The next row fits the columns afresh (new columns, new contents).
    void reset() { m_longest.clear(); m_fitted = false; }

private:
    QVector<int> m_longest; // longest text seen per column, in characters
    bool m_fitted = false;
};
