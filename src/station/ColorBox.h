#pragma once
#include <QComboBox>

#include "platform/Colors.h"

// A pick-only list of colours, each shown with a swatch. A value that is not
// in the list (a colour loaded from a file) is offered as an extra item, so
// that selecting it and reading it back never changes it.
class ColorBox : public QComboBox {
    Q_OBJECT
public:
    explicit ColorBox(QWidget* parent = nullptr);

    TColor Selected() const;
    void setSelected(TColor color);

private:
    void addColor(TColor color, const QString& name);
    int extraIndex_ = -1;
};
