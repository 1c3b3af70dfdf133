#include "platform/MessageBox.h"
#include "station/core/ConfigFile.h"
#include "station/MainFormWidgets.h"

namespace {
// A save that cannot reach the file says so; the table in memory stays as it is.
void reportSave(bool written)
{
    if (!written)
        ShowErrorBox(ConfigFile::WriteFailedText);
}
} // namespace

QString Tfm_MainForm::ConfigPath() const
{
    return ConfigFile::pathIn(BaseDir);
}

void Tfm_MainForm::LoadMeterConfig()
{
    ConfigFile::loadMeterConfig(ConfigPath(), Devices);
}

void Tfm_MainForm::SaveMeterConfig()
{
    reportSave(ConfigFile::saveMeterConfig(ConfigPath(), Devices));
}

void Tfm_MainForm::LoadCurvesBackColor()
{
    ConfigFile::loadCurvesBackColor(ConfigPath(), CurvesBackColor);
    applyCurvesBackColor();
}

void Tfm_MainForm::SaveCurvesBackColor()
{
    reportSave(ConfigFile::saveCurvesBackColor(ConfigPath(), CurvesBackColor));
}

void Tfm_MainForm::LoadCurvesRange()
{
    ConfigFile::loadCurvesRange(ConfigPath(), CurvesRangeLow, CurvesRangeHigh);
    applyCurvesRange();
}

void Tfm_MainForm::SaveCurvesRange()
{
    reportSave(ConfigFile::saveCurvesRange(ConfigPath(), CurvesRangeLow, CurvesRangeHigh));
}

void Tfm_MainForm::LoadPortBaudTable()
{
    ConfigFile::loadPortBaudTable(ConfigPath(), Devices.PortBaudTable);
}

void Tfm_MainForm::SavePortBaudTable()
{
    reportSave(ConfigFile::savePortBaudTable(ConfigPath(), Devices.PortBaudTable));
}

void Tfm_MainForm::LoadPassword()
{
    ConfigFile::loadPassword(ConfigPath(), ConfigPassword);
}

void Tfm_MainForm::SavePassword()
{
    reportSave(ConfigFile::savePassword(ConfigPath(), ConfigPassword));
}
