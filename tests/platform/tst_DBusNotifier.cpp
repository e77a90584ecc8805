#include "platform/DBusNotifier.h"

#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

// A notification server as desktops run one, understanding markup. It answers from a thread
// of its own, since the notifier waits for the answer.
class FakeNotificationServer final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QVariantList received; // the arguments of the last Notify

public slots:
    QStringList GetCapabilities() { return {u"actions"_s, u"body"_s, u"body-markup"_s}; }
    uint Notify(const QString &app, uint replaces, const QString &icon, const QString &summary,
        const QString &body, const QStringList &actions, const QVariantMap &hints, int timeout)
    {
        received = {app, replaces, icon, summary, body, actions, hints, timeout};
        return ++m_lastId;
    }

signals:
    void ActionInvoked(uint id, const QString &actionKey);
    void NotificationClosed(uint id, uint reason);

private:
    uint m_lastId = 40;
};

class TestDBusNotifier final : public QObject
{
    Q_OBJECT

private slots:
    // A session bus of the test's own, which starts no installed service.
    void init()
    {
        QFile config(m_dir.filePath(u"bus.conf"_s));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(("<busconfig><type>session</type><listen>unix:dir=" + m_dir.path().toUtf8()
            + "</listen><policy context='default'><allow send_destination='*' eavesdrop='true'/>"
              "<allow eavesdrop='true'/><allow own='*'/></policy></busconfig>"));
        config.close();
        m_daemon.start(u"dbus-daemon"_s,
            {u"--config-file="_s + config.fileName(), u"--nofork"_s, u"--print-address=1"_s});
        QVERIFY2(m_daemon.waitForReadyRead(10000), "dbus-daemon is needed (scripts/install-deps)");
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    void cleanup()
    {
        if (m_server) // deleted where the bus relays its signals from
            QMetaObject::invokeMethod(
                m_server, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
        m_server = nullptr;
        m_serverThread.quit();
        m_serverThread.wait();
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    void notify_sendsTheAlarmAsACriticalNotification()
    {
        startServer();
        DBusNotifier notifier(bus(u"program"_s));
        QVERIFY(notifier.notifyAlarm(u"タブ「<b>&」\r\nタブ「x」"_s, 1));
        const QVariantList got = m_server->received;
        QCOMPARE(got.mid(0, 5),
            (QVariantList {u"Nokuri"_s, 0U, u"nokuri"_s, u"Nokuri"_s,
                u"タブ「&lt;b&gt;&amp;」\nタブ「x」"_s}));
        QVERIFY(got[5].toStringList().indexOf(u"開く"_s) % 2 == 1);
        const QVariantMap hints = got[6].toMap();
        // Servers read the urgency as a byte only.
        QCOMPARE(hints[u"urgency"_s].typeId(), QMetaType::UChar);
        QCOMPARE(hints[u"urgency"_s].toInt(), 2);
        QCOMPARE(hints[u"category"_s].toString(), u"x-nokuri.alarm"_s);
        QVERIFY(hints.contains(u"sound-name"_s));
        QCOMPARE(got[7].toInt(), 0); // stays until seen
    }

    void action_opensTheTabOfItsOwnNotificationOnly_data()
    {
        QTest::addColumn<uint>("id");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("closedFirst");
        QTest::addColumn<int>("opened");
        QTest::newRow("its button") << 42U << u"open"_s << false << 5;
        QTest::newRow("a click on it") << 42U << u"default"_s << false << 5;
        QTest::newRow("another program's") << 7U << u"open"_s << false << -1;
        QTest::newRow("an unknown key") << 42U << u"snooze"_s << false << -1;
        QTest::newRow("already closed") << 42U << u"open"_s << true << -1;
    }
    void action_opensTheTabOfItsOwnNotificationOnly()
    {
        QFETCH(uint, id);
        QFETCH(QString, key);
        QFETCH(bool, closedFirst);
        QFETCH(int, opened);
        startServer();
        DBusNotifier notifier(bus(u"program"_s));
        QVERIFY(notifier.notifyAlarm(u"x"_s, 3)); // id 41
        QVERIFY(notifier.notifyAlarm(u"y"_s, 5)); // id 42
        QSignalSpy spy(&notifier, &DesktopNotifier::openRequested);
        FakeNotificationServer *server = m_server;
        QMetaObject::invokeMethod(server, [=] {
            if (closedFirst)
                emit server->NotificationClosed(id, 2);
            emit server->ActionInvoked(id, key);
            emit server->ActionInvoked(41, u"open"_s); // always arrives, and last
        });
        QTRY_VERIFY(!spy.isEmpty() && spy.constLast().constFirst().toInt() == 3);
        QCOMPARE(spy.size(), opened < 0 ? 1 : 2);
        if (opened >= 0)
            QCOMPARE(spy.constFirst().constFirst().toInt(), opened);
    }

    // No server: the box alone tells the user; a server that comes later is used.
    void notify_withoutServerFailsUntilOneAppears()
    {
        DBusNotifier notifier(bus(u"program"_s));
        QVERIFY(!notifier.notifyAlarm(u"x"_s, 0));
        startServer();
        QVERIFY(notifier.notifyAlarm(u"x"_s, 0));
    }

private:
    QDBusConnection bus(const QString &name)
    {
        QDBusConnection::disconnectFromBus(name);
        return QDBusConnection::connectToBus(m_address, name);
    }
    void startServer()
    {
        m_server = new FakeNotificationServer;
        QDBusConnection server = bus(u"server"_s);
        // Before the move: the export makes a child that must go along to the thread.
        QVERIFY(server.registerObject(u"/org/freedesktop/Notifications"_s, m_server,
            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        QVERIFY(server.registerService(u"org.freedesktop.Notifications"_s));
        m_server->moveToThread(&m_serverThread);
        m_serverThread.start();
    }

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QThread m_serverThread;
    FakeNotificationServer *m_server = nullptr;
};

QTEST_GUILESS_MAIN(TestDBusNotifier)
#include "tst_DBusNotifier.moc"
