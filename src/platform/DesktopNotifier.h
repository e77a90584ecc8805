#pragma once

#include <QObject>
#include <QString>

// Reminders shown by the desktop next to the program's own message boxes: a box from a
// program hidden in the tray can end up behind other windows, a desktop notification cannot.
class DesktopNotifier : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Shows the alarm text as a notification whose "開く" opens tab `tab`; false when no
    // notification server took it, so that the message box alone tells the user.
    virtual bool notifyAlarm(const QString &text, int tab) = 0;

signals:
    // The user chose "開く" on the notification of tab `tab`.
    void openRequested(int tab);
};
