#include "station/StringGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "platform/Colors.h"

namespace {

void paintCell(QPainter* painter, const QRect& rect, const GridCellPaint& paint, const QString& text)
{
    painter->fillRect(rect, paint.brush);
    painter->setPen(paint.font);
    painter->drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, text);
}

// Paints every body cell through the grid's draw-cell handler.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(StringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int row = index.row() + 1;
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        paintCell(painter, option.rect, grid_->cellPaint(index.column(), row, selected),
                  grid_->Cells(index.column(), row));
        painter->restore();
    }

private:
    StringGrid* grid_;
};

// Paints the heading row through the same handler as the body.
class HeadingRow : public QHeaderView {
public:
    explicit HeadingRow(StringGrid* grid) : QHeaderView(Qt::Horizontal, grid), grid_(grid) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int col) const override
    {
        painter->save();
        paintCell(painter, rect, grid_->cellPaint(col, 0, false), grid_->Cells(col, 0));
        painter->setPen(QColor(0xA0, 0xA0, 0xA0));
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->restore();
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            emit grid_->dblClicked();
    }

private:
    StringGrid* grid_;
};

} // namespace

StringGrid::StringGrid(QWidget* parent) : QTableWidget(parent)
{
    setHorizontalHeader(new HeadingRow(this));
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setFixedHeight(20);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    setItemDelegate(new CellDelegate(this));
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setWordWrap(false);
    connect(this, &QTableWidget::cellClicked, this, &StringGrid::clicked);
}

void StringGrid::setRowCount(int rows)
{
    QTableWidget::setRowCount(rows > 1 ? rows - 1 : 0);
}

void StringGrid::setColWidths(std::initializer_list<int> widths)
{
    setColumnCount(int(widths.size()));
    int col = 0;
    for (int width : widths)
        setColumnWidth(col++, width);
}

void StringGrid::setDefaultRowHeight(int height)
{
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(height);
}

void StringGrid::setFixedCells(int fixedCols, [[maybe_unused]] int fixedRows)
{
    Q_ASSERT(fixedRows == 1);
    fixedCols_ = fixedCols;
}

QString StringGrid::Cells(int col, int row) const
{
    const QTableWidgetItem* cell = row == 0 ? horizontalHeaderItem(col) : item(row - 1, col);
    return cell ? cell->text() : QString();
}

void StringGrid::setCell(int col, int row, const QString& text)
{
    if (col < 0 || col >= columnCount() || row < 0 || row >= RowCount())
        return;
    if (row == 0) {
        setHorizontalHeaderItem(col, new QTableWidgetItem(text));
        return;
    }
    if (QTableWidgetItem* cell = item(row - 1, col)) {
        cell->setText(text);
        return;
    }
    auto* cell = new QTableWidgetItem(text);
    if (col < fixedCols_)
        cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
    setItem(row - 1, col, cell);
}

int StringGrid::Row() const
{
    return currentRow() + 1;
}

void StringGrid::setRow(int row)
{
    if (row >= 1 && row < RowCount())
        setCurrentCell(row - 1, currentColumn() < 0 ? 0 : currentColumn());
}

GridCellPaint StringGrid::cellPaint(int col, int row, bool selected) const
{
    return onDrawCell ? onDrawCell(col, row, selected) : defaultCellPaint(col, row, selected);
}

GridCellPaint StringGrid::defaultCellPaint(int col, int row, bool selected) const
{
    if (row == 0 || col < fixedCols_)
        return {toQColor(clBtnFace), toQColor(clBtnText)};
    if (selected)
        return {toQColor(clHighlight), toQColor(clHighlightText)};
    return {toQColor(clWindow), toQColor(clWindowText)};
}

void StringGrid::keyPressEvent(QKeyEvent* event)
{
    const int before = currentRow();
    QTableWidget::keyPressEvent(event);
    if (currentRow() != before)
        emit clicked();
}

// A press beside the cells, or one held with Ctrl on the selected row, would
// leave the current row without its highlight: only a row replaces a row.
QItemSelectionModel::SelectionFlags StringGrid::selectionCommand(const QModelIndex& index, const QEvent* event) const
{
    const QItemSelectionModel::SelectionFlags command = QTableWidget::selectionCommand(index, event);
    if (!index.isValid() || command.testFlag(QItemSelectionModel::Deselect))
        return QItemSelectionModel::NoUpdate;
    return command;
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit dblClicked();
}
