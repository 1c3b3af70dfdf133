#pragma once
// Driving a modal dialog that the window under test opens and waits in.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

// Acts on the dialog of type D as soon as the window under test shows it
// modally. Should the act leave it open, the dialog is cancelled after a
// while, so that no test can hang in it.
template <typename D>
void whenShown(std::function<void(D&)> act)
{
    auto* poll = new QTimer;
    auto* waited = new QElapsedTimer;
    waited->start();
    QObject::connect(poll, &QTimer::timeout, [poll, waited, act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<D*>(widget);
            if (!dialog || !dialog->isVisible())
                continue;
            if (waited->elapsed() > 10000) {
                ADD_FAILURE() << "dialog left open";
                dialog->reject();
            } else {
                act(*dialog);
                if (dialog->isVisible())
                    continue;
            }
            poll->deleteLater();
            delete waited;
            return;
        }
    });
    poll->start(10);
}

inline void type(QWidget& dialog, const char* edit, const QString& text)
{
    dialog.findChild<QLineEdit*>(edit)->setText(text);
}

inline void choose(QWidget& dialog, const char* box, int item)
{
    dialog.findChild<QComboBox*>(box)->setCurrentIndex(item);
}

inline void press(QWidget& dialog, const char* button)
{
    dialog.findChild<QPushButton*>(button)->click();
}

// Chooses item in box as a user's pick does: the index changes and the box
// says it was activated.
inline void pick(QComboBox* box, int item)
{
    box->setCurrentIndex(item);
    emit box->activated(item);
}

// Clicks button, whose handler shows a modal dialog of type D, and runs act
// on that dialog once it shows; the dialog is closed after. False when no
// such dialog showed before the click returned.
template <typename D>
bool inDialogOpenedBy(QAbstractButton* button, const std::function<void(D&)>& act)
{
    bool shown = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<D*>(widget);
            if (!dialog || !dialog->isVisible())
                continue;
            poll.stop();
            shown = true;
            act(*dialog);
            dialog->reject();
            return;
        }
    });
    poll.start(0);
    button->click();
    return shown;
}
