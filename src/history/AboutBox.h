#pragma once
#include <QDialog>
#include <memory>

namespace Ui {
class TAboutBox;
}

// The about box: the maker, the version, a telephone and a web address. The
// program creates it at start and never shows it.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

    void OKButtonClick();

private:
    std::unique_ptr<Ui::TAboutBox> ui;
};
