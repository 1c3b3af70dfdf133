#pragma once
#include <QString>

#include <deque>
#include <initializer_list>

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

// While one exists, file dialogs show nothing and take its answers in turn; an
// empty answer, or none left, is Cancel. For tests; GUI thread only.
class FileDialogAnswers {
public:
    FileDialogAnswers(std::initializer_list<QString> answers = {});
    ~FileDialogAnswers();
    FileDialogAnswers(const FileDialogAnswers&) = delete;
    FileDialogAnswers& operator=(const FileDialogAnswers&) = delete;

    void add(const QString& answer) { answers_.push_back(answer); }
    // Dialogs that were to be shown.
    int asked() const { return asked_; }

    // The innermost object's next answer into fileName; false when none exists.
    static bool answer(QString& fileName);

private:
    std::deque<QString> answers_;
    int asked_ = 0;
    FileDialogAnswers* outer_;
};
