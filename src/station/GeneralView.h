#pragma once
#include <QFont>
#include <QList>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "platform/Colors.h"
#include "station/GeneralViewRules.h"

// What one overview panel shows: a title bar, the value, the unit and the
// alarm levels on a coloured ground.
struct GeneralViewPanel {
    enum class Reading : std::uint8_t { None, Value, Offline };

    QString title;  // MeterName + "--" + ChannelName
    QString unit;   // shown from the first reading on
    TColor color = clLime;
    Reading reading = Reading::None;
    float value = 0;
    std::uint8_t alarmBits = 0;

    // The label texts: all but the title empty until the first reading.
    QString valueText() const;
    QString unitText() const;
    QString alarmText() const;
};

// The overview: every configured channel as one panel, painted by this one
// view rather than by five controls each, so that a tick over thousands of
// channels only repaints the few panels in sight that changed.
class GeneralView : public QWidget {
    Q_OBJECT
public:
    struct PanelText {
        QString title;
        QString unit;
    };

    explicit GeneralView(QWidget* parent = nullptr);

    // New green, blank panels in global channel order, laid out for the width.
    void rebuild(const QList<PanelText>& panels, int layoutWidth);

    int panelCount() const { return static_cast<int>(panels_.size()); }
    const GeneralViewPanel& panel(int g) const { return panels_[g]; }
    QRect panelRect(int g) const;

    // Sets panel g's reading; a change is drawn by the next repaintChanged().
    void showReading(int g, TColor color, GeneralViewPanel::Reading reading, float value, std::uint8_t alarmBits);
    void repaintChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintPanel(QPainter& painter, const GeneralViewPanel& panel, const QRect& rect) const;

    std::vector<GeneralViewPanel> panels_;
    std::vector<int> changed_;
    PanelColumns columns_;
    QFont titleFont_;
    QFont valueFont_;
    QFont labelFont_;
};
