#include "station/ColorBox.h"

#include <QPixmap>

namespace {

struct NamedColor {
    TColor color;
    const char* name;
};

constexpr NamedColor StandardColors[] = {
    {clBlack, "黑色"},       {clMaroon, "栗色"},   {clGreen, "绿色"},      {clOlive, "橄榄色"},
    {clNavy, "藏青"},        {clPurple, "紫色"},   {clTeal, "蓝绿"},       {clGray, "灰色"},
    {clSilver, "银色"},      {clRed, "红色"},      {clLime, "酸橙绿"},     {clYellow, "黄色"},
    {clBlue, "蓝色"},        {clFuchsia, "紫红"},  {clAqua, "水绿"},       {clWhite, "白色"},
    {clMoneyGreen, "美元绿"}, {clSkyBlue, "天蓝"}, {clCream, "乳白"},      {clMedGray, "中灰"},
};

} // namespace

ColorBox::ColorBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    for (const NamedColor& c : StandardColors)
        addColor(c.color, QString::fromUtf8(c.name));
    setCurrentIndex(0);
}

void ColorBox::addColor(TColor color, const QString& name)
{
    QPixmap swatch(16, 12);
    swatch.fill(toQColor(color));
    addItem(QIcon(swatch), name, QVariant::fromValue<int>(color));
}

TColor ColorBox::Selected() const
{
    return currentIndex() < 0 ? clBlack : currentData().toInt();
}

void ColorBox::setSelected(TColor color)
{
    const int found = findData(QVariant::fromValue<int>(color));
    if (found >= 0) {
        setCurrentIndex(found);
        return;
    }
    if (extraIndex_ >= 0)
        removeItem(extraIndex_);
    addColor(color, "其他");
    extraIndex_ = count() - 1;
    setCurrentIndex(extraIndex_);
}
