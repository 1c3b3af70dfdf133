#include "platform/ColorDialog.h"

#include <QColorDialog>

bool TColorDialog::Execute(QWidget* parent)
{
    QColor chosen;
    if (!ColorDialogAnswers::answer(chosen))
        chosen = QColorDialog::getColor(Color, parent);
    if (!chosen.isValid())
        return false;
    Color = chosen;
    return true;
}
