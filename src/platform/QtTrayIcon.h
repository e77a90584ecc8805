#pragma once

#include "platform/TrayIcon.h"

#include <QSystemTrayIcon>

class QIcon;

// The tray icon on the desktop's notification area. It carries no context menu of its own:
// a right press only reports the cursor position, and the program pops up its menu there.
class QtTrayIcon final : public TrayIcon
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtTrayIcon)
public:
    // Shown at once; removed from the tray when this object is destroyed.
    QtTrayIcon(const QIcon &icon, const QString &tip, QObject *parent = nullptr);

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon *const m_icon;
};
