#include "platform/FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>

bool TOpenDialog::Execute(QWidget* parent)
{
    QString chosen;
    if (!FileDialogAnswers::answer(chosen))
        chosen = QFileDialog::getOpenFileName(parent, QString(), QString(), Filter);
    if (chosen.isEmpty())
        return false;
    FileName = chosen;
    return true;
}

bool TSaveDialog::Execute(QWidget* parent)
{
    QString chosen;
    if (!FileDialogAnswers::answer(chosen)) {
        QFileDialog dialog(parent, QString(), QString(), Filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(DefaultExt);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().constFirst();
    }
    if (chosen.isEmpty())
        return false;
    if (QFileInfo(chosen).suffix().isEmpty() && !DefaultExt.isEmpty())
        chosen += u'.' + DefaultExt;
    FileName = chosen;
    return true;
}
