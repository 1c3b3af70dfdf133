#pragma once
#include <QApplication>

#include <exception>

// The program's application object. An exception raised in an event handler
// (a conversion error, a failed write) is shown in a message box with its
// message; the rest of that handler is skipped and the program goes on.
// Qt's own dialogs and buttons speak the user's language where Qt has a
// translation for it.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the exception being handled, as the message loop does; for the
    // program entry's own catch.
    static void showCurrentException();
    // The text shown for an exception message: a full stop is added unless
    // the message is empty or already ends in a punctuation mark.
    static QString exceptionText(const QString& message);

private:
    void installQtTranslations();
};
