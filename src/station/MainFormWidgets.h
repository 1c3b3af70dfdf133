#pragma once
// The main window's components, for the window's own files: every page's
// generated form in one object, each component under its own name.
#include "station/MainForm.h"
#include "ui_CurvesPage.h"
#include "ui_MainForm.h"
#include "ui_MeterConfigPage.h"
#include "ui_SetValuePanel.h"
#include "ui_SmsAlarmPage.h"

struct Tfm_MainForm::Widgets : Ui::Tfm_MainForm,
                               Ui::MeterConfigPage,
                               Ui::CurvesPage,
                               Ui::SmsAlarmPage,
                               Ui::SetValuePanel {};
