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
// DefaultExt. An existing file is taken only after Qt's own question whether
// to replace it is answered Yes; No returns to the dialog.
class TSaveDialog {
public:
    QString Filter;
    QString DefaultExt;
    QString FileName;
    bool Execute(QWidget* parent);
};

// The file dialogs' answers, a path each.
using FileDialogAnswers = DialogAnswers<QString>;
// While the save dialog is answered, so is its question before it replaces
// an existing file: true is Yes; no answer is No.
using ReplaceFileAnswers = DialogAnswers<bool>;
