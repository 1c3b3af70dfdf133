#include "station/GeneralView.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <qdrawutil.h>

#include "platform/Conversions.h"

namespace {

constexpr int BevelWidth = 2;
constexpr int TitleHeight = 25;
const QPoint ValueLabelAt(8, 40);
const QPoint UnitLabelAt(170, 30);
const QPoint AlarmLabelAt(18, 88);

QFont boldFont(const QFont& base, int points)
{
    QFont font = base;
    font.setPointSize(points);
    font.setBold(true);
    return font;
}

// A label sized to its text, on the panel's ground.
void paintLabel(QPainter& painter, QPoint at, const QFont& font, const QString& text, const QColor& ground)
{
    if (text.isEmpty())
        return;
    painter.setFont(font);
    const QRect box(at, painter.fontMetrics().size(Qt::TextSingleLine, text));
    painter.fillRect(box, ground);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

}  // namespace

QString GeneralViewPanel::valueText() const
{
    switch (reading) {
    case Reading::Value:
        return FloatToStrF(value, 5, 3);
    case Reading::Offline:
        return QStringLiteral("ERR");
    case Reading::None:
        break;
    }
    return {};
}

QString GeneralViewPanel::unitText() const
{
    return reading == Reading::None ? QString() : unit;
}

QString GeneralViewPanel::alarmText() const
{
    switch (reading) {
    case Reading::Value:
        return panelAlarmText(alarmBits);
    case Reading::Offline:
        return QStringLiteral(" ");
    case Reading::None:
        break;
    }
    return {};
}

GeneralView::GeneralView(QWidget* parent)
    : QWidget(parent), titleFont_(boldFont(font(), 12)), valueFont_(boldFont(font(), 28)),
      labelFont_(boldFont(font(), 10))
{
    QPalette ground = palette();
    ground.setColor(QPalette::Window, toQColor(clBtnFace));
    setPalette(ground);
    setAutoFillBackground(true);
}

void GeneralView::rebuild(const QList<PanelText>& panels, int layoutWidth)
{
    columns_ = panelColumns(layoutWidth);
    panels_.assign(panels.size(), {});
    for (qsizetype g = 0; g < panels.size(); ++g) {
        panels_[g].title = panels[g].title;
        panels_[g].unit = panels[g].unit;
    }
    changed_.clear();

    // The scroll range reaches the right and bottom edges of the last panels.
    const int count = panelCount();
    const int cols = std::min(count, columns_.cols);
    const int rows = (count + columns_.cols - 1) / columns_.cols;
    setMinimumSize(count == 0 ? QSize(0, 0)
                              : QSize(panelPosition(cols - 1, columns_).x() + PanelWidth,
                                      panelPosition((rows - 1) * columns_.cols, columns_).y() + PanelHeight));
    update();
}

QRect GeneralView::panelRect(int g) const
{
    return QRect(panelPosition(g, columns_), QSize(PanelWidth, PanelHeight));
}

void GeneralView::showReading(int g, TColor color, GeneralViewPanel::Reading reading, float value,
                              std::uint8_t alarmBits)
{
    GeneralViewPanel& panel = panels_[g];
    if (panel.color == color && panel.reading == reading && panel.value == value && panel.alarmBits == alarmBits)
        return;
    panel.color = color;
    panel.reading = reading;
    panel.value = value;
    panel.alarmBits = alarmBits;
    changed_.push_back(g);
}

void GeneralView::repaintChanged()
{
    const QRect inSight = visibleRegion().boundingRect();
    for (int g : changed_) {
        const QRect rect = panelRect(g);
        if (rect.intersects(inSight))
            update(rect);
    }
    changed_.clear();
}

void GeneralView::paintEvent(QPaintEvent* event)
{
    if (panels_.empty())
        return;
    QPainter painter(this);
    const QRect area = event->rect();
    const int firstRow = std::max(0, (area.top() - PanelMargin) / PanelRowPitch);
    const int lastRow = std::max(0, (area.bottom() - PanelMargin) / PanelRowPitch);
    for (int row = firstRow; row <= lastRow; ++row)
        for (int col = 0; col < columns_.cols; ++col) {
            const int g = row * columns_.cols + col;
            if (g >= panelCount())
                return;
            const QRect rect = panelRect(g);
            if (rect.intersects(area))
                paintPanel(painter, panels_[g], rect);
        }
}

void GeneralView::paintPanel(QPainter& painter, const GeneralViewPanel& panel, const QRect& rect) const
{
    const QColor ground = toQColor(panel.color);
    painter.setClipRect(rect);
    painter.fillRect(rect, ground);
    qDrawShadePanel(&painter, rect, palette(), true, BevelWidth);

    const QRect inside = rect.adjusted(BevelWidth, BevelWidth, -BevelWidth, -BevelWidth);
    painter.setClipRect(inside);
    const QRect title(inside.topLeft(), QSize(inside.width(), TitleHeight));
    painter.fillRect(title, toQColor(clHighlight));
    painter.setPen(toQColor(clWhite));
    painter.setFont(titleFont_);
    painter.drawText(title, Qt::AlignCenter | Qt::TextSingleLine, panel.title);

    painter.setPen(toQColor(clWindowText));
    paintLabel(painter, rect.topLeft() + ValueLabelAt, valueFont_, panel.valueText(), ground);
    paintLabel(painter, rect.topLeft() + UnitLabelAt, labelFont_, panel.unitText(), ground);
    paintLabel(painter, rect.topLeft() + AlarmLabelAt, labelFont_, panel.alarmText(), ground);
}
