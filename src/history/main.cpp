#include "history/AboutBox.h"
#include "history/Form1.h"
#include "platform/Application.h"

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    try {
        TForm1 form1;
        TAboutBox aboutBox;
        form1.showMaximized();
        app.exec();
    } catch (...) {
        Application::showCurrentException();
    }
    return 0;
}
