#pragma once
#include <QApplication>

#include <exception>

// The program's application object. Qt's own dialogs and buttons speak the
// user's language where Qt has a translation for it. Every widget draws in
// the programs' font.
// No exception reaches its event loop: handlers are connected through
// guarded() (GuardedHandler.h), and the event overrides call nothing that
// throws.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    // Shows the exception being handled in the program's exception box; for
    // the handler guard and the program entry's own catch.
    static void showCurrentException();
    // The text shown for an exception message: a full stop is added unless
    // the message is empty or already ends in a punctuation mark.
    static QString exceptionText(const QString& message);

private:
    void installQtTranslations();
    void useProgramFont();
};
