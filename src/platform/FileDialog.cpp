#include "platform/FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

QString withExtension(const QString& name, const QString& extension)
{
    if (QFileInfo(name).suffix().isEmpty() && !extension.isEmpty())
        return name + u'.' + extension;
    return name;
}

// Where a test answers the dialog, it answers the question Qt's dialog asks
// before it replaces a file as well.
bool replaceAnswered(const QString& path)
{
    bool yes = false;
    return !QFileInfo::exists(path) || (ReplaceFileAnswers::answer(yes) && yes);
}

} // namespace

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
    if (FileDialogAnswers::answer(chosen)) {
        // A No returns to the dialog, for its next answer.
        while (!chosen.isEmpty() && !replaceAnswered(chosen = withExtension(chosen, DefaultExt)))
            FileDialogAnswers::answer(chosen);
    } else {
        // Qt's dialog asks itself, in the user's language.
        QFileDialog dialog(parent, QString(), QString(), Filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(DefaultExt);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = withExtension(dialog.selectedFiles().constFirst(), DefaultExt);
    }
    if (chosen.isEmpty())
        return false;
    FileName = chosen;
    return true;
}
