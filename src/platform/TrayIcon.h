#pragma once

#include <QObject>
#include <QPoint>

// The program's icon in the notification area. It exists as long as the object lives;
// destroying it removes the icon.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void leftPressed();
    void rightPressed(const QPoint &globalPos);
};
