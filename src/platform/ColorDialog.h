#pragma once
#include <QColor>

#include "platform/DialogAnswers.h"

class QWidget;

// The colour dialog: Execute shows it modally over parent, opening on Color,
// and is true when a colour was chosen, which Color then holds.
class TColorDialog {
public:
    QColor Color{Qt::black};
    bool Execute(QWidget* parent);
};

// The colour dialog's answers; an invalid colour is Cancel.
using ColorDialogAnswers = DialogAnswers<QColor>;
