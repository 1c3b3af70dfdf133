#pragma once
#include <QApplication>

#include <exception>

// The program's application object. A handler that throws (a conversion
// error, a failed write) does not end the program: its message is shown and
// the event loop carries on with the next event.
// Qt's own dialogs and buttons speak the user's language where Qt has a
// translation for it. Every widget draws in the programs' font.
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
    void useProgramFont();
};
