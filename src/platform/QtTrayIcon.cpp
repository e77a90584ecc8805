#include "platform/QtTrayIcon.h"

#include <QCursor>
#include <QIcon>

QtTrayIcon::QtTrayIcon(const QIcon &icon, const QString &tip, QObject *parent)
    : TrayIcon(parent)
    , m_icon(new QSystemTrayIcon(icon, this))
{
    m_icon->setToolTip(tip);
    connect(m_icon, &QSystemTrayIcon::activated, this, &QtTrayIcon::onActivated);
    m_icon->show();
}

void QtTrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    // A double click already delivered its first press as Trigger; the middle button has no use.
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        emit leftPressed();
        break;
    case QSystemTrayIcon::Context:
        emit rightPressed(QCursor::pos());
        break;
    case QSystemTrayIcon::DoubleClick:
    case QSystemTrayIcon::MiddleClick:
    case QSystemTrayIcon::Unknown:
        break;
    }
}
