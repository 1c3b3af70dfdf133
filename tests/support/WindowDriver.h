#pragma once
// What a test reaches of a window: its components, found by the object
// names they carry on the screen, never the window's own fields.
#include <QString>
#include <QWidget>

#include <stdexcept>

// The window's component of that name and type; a name the window does
// not have is a fault of the test, so it throws.
template <typename T>
T* widget(const QWidget& window, const char* name)
{
    T* const found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        throw std::logic_error(std::string("no component ") + name + " in " + window.objectName().toStdString());
    return found;
}

// The same for a name made at run time, as those of the components a window
// creates in code are.
template <typename T>
T* widget(const QWidget& window, const QString& name)
{
    return widget<T>(window, name.toLatin1().constData());
}
