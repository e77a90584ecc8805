#include "platform/DBusNotifier.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

// A notification server as the desktop runs one, on its own thread: the notifier's calls
// block until answered.
class FakeNotificationServer final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Received
    {
        QString appName;
        QString icon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int timeout;
    };
    QList<Received> received;
    QStringList capabilities {u"actions"_s, u"body"_s};

public slots:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString &appName, uint, const QString &icon, const QString &summary,
        const QString &body, const QStringList &actions, const QVariantMap &hints, int timeout)
    {
        received.append({appName, icon, summary, body, actions, hints, timeout});
        return 40 + static_cast<uint>(received.size());
    }
    void CloseNotification(uint) { }

signals:
    void ActionInvoked(uint id, const QString &actionKey);
    void NotificationClosed(uint id, uint reason);
};

class TestDBusNotifier final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void notify_sendsAnAlarmNotification();
    void notify_escapesTextWhereTheServerTakesMarkup();
    void action_opensTheTabOfItsOwnNotificationOnly_data();
    void action_opensTheTabOfItsOwnNotificationOnly();
    void noServer_leavesTheBoxAlone();

private:
    void startServer();
    QDBusConnection busConnection(const QString &name);

    std::unique_ptr<QTemporaryDir> m_busDir;
    QProcess m_daemon;
    QString m_address;
    QThread m_serverThread;
    FakeNotificationServer *m_server = nullptr;
};

void TestDBusNotifier::init()
{
    const QString daemon = QStandardPaths::findExecutable(u"dbus-daemon"_s);
    QVERIFY2(!daemon.isEmpty(), "dbus-daemon is needed (scripts/install-deps)");
    // A session bus of its own that knows no services to start: a notification server
    // installed on the machine must not answer for the fake one.
    m_busDir = std::make_unique<QTemporaryDir>();
    QFile config(m_busDir->filePath(u"session.conf"_s));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(u"<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                 u"<auth>EXTERNAL</auth><policy context=\"default\">"
                 u"<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                 u"<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>"_s
                     .arg(m_busDir->path())
                     .toUtf8());
    config.close();
    m_daemon.start(
        daemon, {u"--config-file="_s + config.fileName(), u"--nofork"_s, u"--print-address=1"_s});
    QVERIFY(m_daemon.waitForReadyRead(10000));
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    QVERIFY(!m_address.isEmpty());
}

void TestDBusNotifier::cleanup()
{
    if (m_server) {
        // Gone in its own thread, where the bus relays its signals from.
        QMetaObject::invokeMethod(
            m_server, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
        m_server = nullptr;
    }
    m_serverThread.quit();
    m_serverThread.wait();
    QDBusConnection::disconnectFromBus(u"server"_s);
    QDBusConnection::disconnectFromBus(u"program"_s);
    m_daemon.kill();
    m_daemon.waitForFinished();
}

QDBusConnection TestDBusNotifier::busConnection(const QString &name)
{
    QDBusConnection bus = QDBusConnection::connectToBus(m_address, name);
    [&] { QVERIFY2(bus.isConnected(), qPrintable(bus.lastError().message())); }();
    return bus;
}

void TestDBusNotifier::startServer()
{
    m_server = new FakeNotificationServer;
    QDBusConnection bus = busConnection(u"server"_s);
    // Registered first: the export makes a child that must go to the thread with the server.
    QVERIFY(bus.registerObject(u"/org/freedesktop/Notifications"_s, m_server,
        QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
    QVERIFY(bus.registerService(u"org.freedesktop.Notifications"_s));
    m_server->moveToThread(&m_serverThread);
    m_serverThread.start();
}

void TestDBusNotifier::notify_sendsAnAlarmNotification()
{
    startServer();
    DBusNotifier notifier(busConnection(u"program"_s));
    QVERIFY(
        notifier.notifyAlarm(u"タブ「a」\r\nタブ「b」\r\nのアラームが表示されませんでした"_s, 1));

    QCOMPARE(m_server->received.size(), 1);
    const FakeNotificationServer::Received &got = m_server->received.constFirst();
    QCOMPARE(got.appName, u"Nokuri"_s);
    QCOMPARE(got.summary, u"Nokuri"_s);
    QCOMPARE(got.icon, u"nokuri"_s);
    QCOMPARE(got.body, u"タブ「a」\nタブ「b」\nのアラームが表示されませんでした"_s);
    QVERIFY2(got.actions.indexOf(u"開く"_s) % 2 == 1, qPrintable(got.actions.join(u' ')));
    QCOMPARE(got.timeout, 0);
    // A server reads the urgency only as a byte.
    QCOMPARE(got.hints.value(u"urgency"_s).typeId(), QMetaType::UChar);
    QCOMPARE(got.hints.value(u"urgency"_s).toInt(), 2);
    QCOMPARE(got.hints.value(u"category"_s).toString(), u"x-nokuri.alarm"_s);
    QVERIFY(!got.hints.value(u"sound-name"_s).toString().isEmpty());
}

void TestDBusNotifier::notify_escapesTextWhereTheServerTakesMarkup()
{
    startServer();
    m_server->capabilities.append(u"body-markup"_s);
    DBusNotifier notifier(busConnection(u"program"_s));
    QVERIFY(notifier.notifyAlarm(u"タブ「<b>&」の時間です"_s, 0));
    QCOMPARE(m_server->received.constFirst().body, u"タブ「&lt;b&gt;&amp;」の時間です"_s);
}

void TestDBusNotifier::action_opensTheTabOfItsOwnNotificationOnly_data()
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

void TestDBusNotifier::action_opensTheTabOfItsOwnNotificationOnly()
{
    QFETCH(uint, id);
    QFETCH(QString, key);
    QFETCH(bool, closedFirst);
    QFETCH(int, opened);
    startServer();
    DBusNotifier notifier(busConnection(u"program"_s));
    QVERIFY(notifier.notifyAlarm(u"x"_s, 3));
    QVERIFY(notifier.notifyAlarm(u"y"_s, 5)); // the server's id 42
    QSignalSpy spy(&notifier, &DesktopNotifier::openRequested);

    FakeNotificationServer *server = m_server;
    QMetaObject::invokeMethod(server, [=] {
        if (closedFirst)
            emit server->NotificationClosed(id, 2);
        emit server->ActionInvoked(id, key);
        // A marker that is always delivered, so that "nothing opened" is seen to be settled.
        emit server->ActionInvoked(41, u"open"_s);
    });
    QTRY_VERIFY(!spy.isEmpty());
    QTRY_COMPARE(spy.constLast().constFirst().toInt(), 3);
    QCOMPARE(spy.size(), opened < 0 ? 1 : 2);
    if (opened >= 0)
        QCOMPARE(spy.constFirst().constFirst().toInt(), opened);
}

void TestDBusNotifier::noServer_leavesTheBoxAlone()
{
    DBusNotifier notifier(busConnection(u"program"_s));
    QVERIFY(!notifier.notifyAlarm(u"タブ「a」の時間です"_s, 0));
    // A server that comes later is used.
    startServer();
    QVERIFY(notifier.notifyAlarm(u"タブ「a」の時間です"_s, 0));
    QCOMPARE(m_server->received.size(), 1);
}

QTEST_GUILESS_MAIN(TestDBusNotifier)
#include "tst_DBusNotifier.moc"
