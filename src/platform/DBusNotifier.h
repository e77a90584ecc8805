#pragma once

#include "platform/DesktopNotifier.h"

#include <QDBusConnection>
#include <QHash>
#include <optional>

// Desktop notifications through the freedesktop notification service on a D-Bus bus.
class DBusNotifier final : public DesktopNotifier
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DBusNotifier)
public:
    // `bus` is the session bus, or a private one in tests.
    explicit DBusNotifier(const QDBusConnection &bus, QObject *parent = nullptr);

    bool notifyAlarm(const QString &text, int tab) override;

private slots:
    void onActionInvoked(uint id, const QString &actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    bool bodyTakesMarkup();

    QDBusConnection m_bus;
    // Asked of the server once it has answered; a server that understands markup would
    // otherwise take a "<" or "&" of a title for a tag.
    std::optional<bool> m_bodyMarkup;
    // The tab of every notification still on the screen, by the server's id.
    QHash<uint, int> m_tabs;
};
