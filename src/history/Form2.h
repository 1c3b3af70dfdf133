#pragma once
#include <QDialog>
#include <cstdint>

#include "history/HistoryLoads.h"
#include "platform/FileDialog.h"
#include "ui_Form2.h"

// The export dialog: a time range of the open history file, thinned by a
// number of records to skip, written as tab-separated text. It reads the
// file itself, as the main window's last open left it, and changes nothing
// of the main window.
class TForm2 : public QDialog, public Ui::TForm2 {
    Q_OBJECT
public:
    TForm2(const HistoryLoads& loads, const std::uint8_t (&channelShown)[MaxShownChannels], QWidget* parent = nullptr);

    TSaveDialog SaveDialog_histr;

    void Button1Click();

private:
    const HistoryLoads& loads_;
    const std::uint8_t (&channelShown_)[MaxShownChannels];
};
