#include "platform/FileDialog.h"

#include <QFileDialog>

namespace {
FileDialogAnswers* activeAnswers = nullptr;
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

FileDialogAnswers::FileDialogAnswers(std::initializer_list<QString> answers) : answers_(answers), outer_(activeAnswers)
{
    activeAnswers = this;
}

FileDialogAnswers::~FileDialogAnswers()
{
    activeAnswers = outer_;
}

bool FileDialogAnswers::answer(QString& fileName)
{
    if (!activeAnswers)
        return false;
    ++activeAnswers->asked_;
    fileName.clear();
    if (!activeAnswers->answers_.empty()) {
        fileName = activeAnswers->answers_.front();
        activeAnswers->answers_.pop_front();
    }
    return true;
}
