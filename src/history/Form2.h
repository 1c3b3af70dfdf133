#pragma once
#include <QDialog>
#include <cstdint>
#include <memory>

#include "history/core/HistoryLoads.h"
#include "platform/FileDialog.h"

namespace Ui {
class TForm2;
}

// The export dialog: a time range of the open history file, thinned by a
// number of records to skip, written as tab-separated text. It reads the
// file itself, as the main window's last open left it, and changes nothing
// of the main window.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    TForm2(const HistoryLoads& loads, const std::uint8_t (&channelShown)[MaxShownChannels], QWidget* parent = nullptr);
    ~TForm2() override;

    void Button1Click();

private:
    void showRange();

    std::unique_ptr<Ui::TForm2> ui;
    TSaveDialog SaveDialog_histr;
    const HistoryLoads& loads_;
    const std::uint8_t (&channelShown_)[MaxShownChannels];
};
