#pragma once
#include <QString>

#include "platform/DialogAnswers.h"

class QWidget;

// The open dialog: Execute shows it modally over parent, in the working
// directory, and is true when a file was chosen; FileName then holds its full
// path. Filter is written Qt's way: "历史数据 (*.nx)".
class TOpenDialog {
public:
    QString Filter;
    QString FileName;
    bool Execute(QWidget* parent);
};

// The save dialog, likewise; a name chosen without an extension gets
// DefaultExt. An existing file is taken without asking.
class TSaveDialog {
public:
    QString Filter;
    QString DefaultExt;
    QString FileName;
    bool Execute(QWidget* parent);
};

// The file dialogs' answers, a path each.
using FileDialogAnswers = DialogAnswers<QString>;
