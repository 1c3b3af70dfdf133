#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {

MessageBoxCapture* activeCapture = nullptr;

QString programName() { return QCoreApplication::applicationName(); }

void showBox(QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    if (MessageBoxCapture::record(caption, text))
        return;
    QMessageBox box(icon, caption, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace

void ShowErrorBox(const QString& text) { showBox(QMessageBox::NoIcon, QStringLiteral("错误"), text); }

void ShowMessage(const QString& text) { showBox(QMessageBox::NoIcon, programName(), text); }

void ShowExceptionBox(const QString& text) { showBox(QMessageBox::Critical, programName(), text); }

MessageBoxCapture::MessageBoxCapture() : outer_(activeCapture) { activeCapture = this; }

MessageBoxCapture::~MessageBoxCapture() { activeCapture = outer_; }

bool MessageBoxCapture::record(const QString& caption, const QString& text)
{
    if (!activeCapture)
        return false;
    activeCapture->shown_.push_back({caption, text});
    return true;
}

std::vector<QString> MessageBoxCapture::texts() const
{
    std::vector<QString> result;
    for (const ShownMessage& m : shown_)
        result.push_back(m.text);
    return result;
}
