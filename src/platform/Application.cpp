#include "platform/Application.h"

#include <stdexcept>

#include "platform/MessageBox.h"

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showCurrentException();
        return true;
    }
}

void Application::showCurrentException()
{
    QString message;
    try {
        throw;
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        // Not one of ours: shown with an empty message.
    }
    ShowExceptionBox(exceptionText(message));
}

QString Application::exceptionText(const QString& message)
{
    if (message.isEmpty() || message.back() <= u'.')
        return message;
    return message + u'.';
}
