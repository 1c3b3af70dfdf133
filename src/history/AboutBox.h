#pragma once
#include <QDialog>

#include "ui_AboutBox.h"

// The about box: the maker, the version, a telephone and a web address. The
// program creates it at start and never shows it.
class TAboutBox : public QDialog, public Ui::TAboutBox {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    void OKButtonClick();
};
