// The channel alias editor: "DevName.dat" holds one alias per channel
// position, the legend shows it as the title of that channel's curve.
#include <QFile>

#include "history/Form1.h"
#include "platform/MessageBox.h"
#include "ui_Form1.h"

QString TForm1::AliasFilePath() const
{
    return StartDir + QStringLiteral("/DevName.dat");
}

void TForm1::N2Click()
{
    ui->Panel1->setVisible(true);
    ui->Panel1->raise();
}

void TForm1::btModChNameExitClick()
{
    ui->Panel1->setVisible(false);
}

void TForm1::ComboBoxChNameChange()
{
    const int channel = ui->ComboBoxChName->currentIndex();
    if (channel < 0 || channel >= MaxShownChannels)
        return;
    ui->MaskEditChName->setText(ChannelAliases.text(channel));
}

void TForm1::btModChNameClick()
{
    const int channel = ui->ComboBoxChName->currentIndex();
    if (channel < 0 || channel >= MaxShownChannels)
        return;
    ChannelAliases.setText(channel, ui->MaskEditChName->text());
    const bool saved = ChannelAliases.save(QFile::encodeName(AliasFilePath()).toStdString());
    if (channel < ui->Chart2->seriesCount())
        ui->Chart2->series(channel).setTitle(ChannelAliases.text(channel));
    if (!saved)
        ShowMessage(QStringLiteral("无法写入 DevName.dat"));
}
