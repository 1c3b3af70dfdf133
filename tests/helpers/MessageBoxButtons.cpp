// Prints the texts of a message box's OK and Cancel buttons, one a line, as
// they read under the program's application object in the environment's locale.
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

#include "platform/Application.h"

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    QMessageBox box(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok | QMessageBox::Cancel);
    for (QMessageBox::StandardButton button : {QMessageBox::Ok, QMessageBox::Cancel})
        std::printf("%s\n", box.button(button)->text().toUtf8().constData());
    return 0;
}
