#pragma once
#include <QColor>
#include <QTableWidget>
#include <functional>

// How one cell is painted: its background and its text colour. The text is
// always drawn centred on a single line.
struct GridCellPaint {
    QColor brush;
    QColor font;
};

// A grid of texts addressed as (column, row) with one heading row: row 0 is
// the heading (kept in view when the rows scroll), rows 1.. are the body.
// RowCount counts the heading row too. Leading fixed columns are painted as
// headings. A user's click or keyboard move on the body emits clicked();
// selecting a row from code does not. A click beside the cells leaves the
// selection as it is. A double click anywhere on the grid emits dblClicked().
class StringGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit StringGrid(QWidget* parent = nullptr);

    int RowCount() const { return rowCount() + 1; }
    void setRowCount(int rows);
    void setColWidths(std::initializer_list<int> widths);
    void setDefaultRowHeight(int height);
    // One heading row is all this grid has, so fixedRows must be 1.
    void setFixedCells(int fixedCols, int fixedRows);

    QString Cells(int col, int row) const;
    void setCell(int col, int row, const QString& text);

    // Selected body row, or 0 when there is none.
    int Row() const;
    void setRow(int row);

    // Colours of a cell as the grid paints it; without a handler the grid's
    // own: button face for headings, highlight when selected, else window.
    std::function<GridCellPaint(int col, int row, bool selected)> onDrawCell;
    GridCellPaint cellPaint(int col, int row, bool selected) const;
    GridCellPaint defaultCellPaint(int col, int row, bool selected) const;

signals:
    void clicked();
    void dblClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int fixedCols_ = 0;
};
