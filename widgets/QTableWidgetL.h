#pragma once

#include <QPointer>
#include <QStringList>
#include <QTableWidget>

class QCheckBox;

// Table widget with a copy and paste context menu and helpers that put plain items, centred
// check boxes and one cell editor (combo box or line edit) at a time into cells.
class QTableWidgetL : public QTableWidget
{
    Q_OBJECT
public:
    explicit QTableWidgetL(QWidget *parent = nullptr);

    // A plain text item; without the editable flag when editable is false.
    void setCellItem(int row, int column, const QString &text, bool editable);
    // A check box centred in a container whose layout has no margin; the check box is the
    // container's second child, after its layout.
    void setCellCheckBox(int row, int column, bool checked, bool enabled);
    // The check box that setCellCheckBox put into the cell, or null.
    QCheckBox *cellCheckBox(int row, int column) const;

    // Opens a combo-box editor with the items on the cell, its current text the cell's text
    // (no entry chosen when the cell's text is not among the items), widening the column to
    // the box when it is narrower. Does nothing while another editor is open.
    void setCellComboBox(int row, int column, const QStringList &items);
    // Opens a line-edit editor on the cell holding the cell's text, with a regular-expression
    // validator (none for an empty pattern). Does nothing while another editor is open.
    void setCellLineEdit(int row, int column, const QString &pattern);
    // When an editor is open on a cell other than (row, column): writes the editor's text into
    // that cell's item, removes the editor and fits the columns to their contents (a stretched
    // last column keeps filling the width). Row -1 or column -1 therefore always commits.
    // A combo box with no entry chosen leaves the text.
    void commitCellWidget(int row, int column);

    // The open editor, or null; its cell is (editorRow(), editorColumn()).
    QWidget *cellEditor() const { return m_Editor; }
    int editorRow() const { return m_Editor ? m_EditorRow : -1; }
    int editorColumn() const { return m_Editor ? m_EditorColumn : -1; }

    // Copies the selected cells as tab-separated lines (the bounding rectangle of the
    // selection; unselected cells inside it are empty).
    void copyCells();
    // The cells of any view's selection as copyCells() puts them on the clipboard.
    static QString cellsText(const QModelIndexList &indexes);
    // Pastes tab-separated lines from the clipboard starting at the current cell. Only cells
    // holding an editable item are written; cells without an item, with a widget, without the
    // editable flag or outside the table are left as they are. Returns the cells written.
    int pasteCells();

private:
    bool openEditor(int row, int column, QWidget *editor);
    void fitColumnsToContents();
    void showContextMenu(const QPoint &position);

    QPointer<QWidget> m_Editor;
    int m_EditorRow = -1;
    int m_EditorColumn = -1;
};
