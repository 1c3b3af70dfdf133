#include "platform/Application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <stdexcept>

#include "platform/MessageBox.h"
#include "platform/ProgramFont.h"

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    installQtTranslations();
    useProgramFont();
}

// Qt takes the locale from LANG and its kin itself, so no C library locale
// needs to be installed for it.
void Application::installQtTranslations()
{
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale::system(), QStringLiteral("qt"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    else
        delete translator;
}

// The platform's size is kept; only the family is the programs' own.
void Application::useProgramFont()
{
    QFont programs = font();
    programs.setFamily(programFontFamily());
    setFont(programs);
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
