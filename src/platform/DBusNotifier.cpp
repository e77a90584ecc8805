#include "platform/DBusNotifier.h"

#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace {

const QString service = u"org.freedesktop.Notifications"_s;
const QString path = u"/org/freedesktop/Notifications"_s;
const QString interface = u"org.freedesktop.Notifications"_s;

// Long enough for a server that D-Bus starts on demand, short enough that a hung one delays
// the alarm's box only briefly; the box follows in any case.
constexpr int callTimeoutMs = 2000;

// Urgency levels of the notification protocol: 0 low, 1 normal, 2 critical.
constexpr uchar criticalUrgency = 2;

QDBusMessage call(const QDBusConnection &bus, const QString &method, const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, callTimeoutMs);
}

} // namespace

DBusNotifier::DBusNotifier(const QDBusConnection &bus, QObject *parent)
    : DesktopNotifier(parent)
    , m_bus(bus)
{
    // QtDBus takes signal connections in the string form only.
    m_bus.connect(
        service, path, interface, u"ActionInvoked"_s, this, SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(service, path, interface, u"NotificationClosed"_s, this,
        SLOT(onNotificationClosed(uint, uint)));
}

bool DBusNotifier::notifyAlarm(const QString &text, int tab)
{
    if (!m_bus.isConnected())
        return false;
    QString body = text;
    body.replace(u"\r\n"_s, u"\n"_s);
    if (bodyTakesMarkup())
        body = body.toHtmlEscaped();
    // "default" is a click on the notification itself; "open" its button.
    const QStringList actions {u"default"_s, u"開く"_s, u"open"_s, u"開く"_s};
    const QVariantMap hints {
        {u"urgency"_s, QVariant::fromValue(criticalUrgency)},
        {u"category"_s, u"x-nokuri.alarm"_s},
        {u"sound-name"_s, u"alarm-clock-elapsed"_s},
        {u"desktop-entry"_s, u"nokuri"_s},
    };
    // Never expires: an alarm stays until the user has seen it.
    const QDBusMessage reply = call(
        m_bus, u"Notify"_s, {u"Nokuri"_s, 0U, u"nokuri"_s, u"Nokuri"_s, body, actions, hints, 0});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    m_tabs.insert(reply.arguments().constFirst().toUInt(), tab);
    return true;
}

bool DBusNotifier::bodyTakesMarkup()
{
    if (!m_bodyMarkup) {
        const QDBusMessage reply = call(m_bus, u"GetCapabilities"_s, {});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return false;
        m_bodyMarkup = reply.arguments().constFirst().toStringList().contains(u"body-markup"_s);
    }
    return *m_bodyMarkup;
}

void DBusNotifier::onActionInvoked(uint id, const QString &actionKey)
{
    const auto found = m_tabs.constFind(id);
    if (found == m_tabs.cend() || (actionKey != u"default"_s && actionKey != u"open"_s))
        return;
    emit openRequested(*found);
}

void DBusNotifier::onNotificationClosed(uint id, uint)
{
    m_tabs.remove(id);
}
