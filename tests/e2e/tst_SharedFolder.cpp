#include "RunTool.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <arpa/inet.h>
#include <csignal>
#include <functional>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A port on 127.0.0.1 that nothing listens on now.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), length) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

// What each machine keeps to itself, as the README advises.
const QByteArray StIgnore
    = ".~lock.Nokuri#\nNokuri.recovery\nNokuri.recovery.tmp\n.nokuri-save-*\n*.bak\n";

const QByteArray Settings = "FormTop = 1500\r\nFormLeft = 1500\r\nFormHeight = 6000\r\n"
                            "FormWidth = 7500\r\n\r\n[Tab1]\r\nTabCaption = memo\r\n\r\n\r\n";

// One machine: its own X server, its own Syncthing and a Nokuri whose notes folder Syncthing
// shares with the other machine.
struct Machine
{
    explicit Machine(const QString &machineName)
        : name(machineName)
    { }

    QString name;
    QString home;
    QProcess xvfb;
    QString display;
    QProcess syncthing;
    QString deviceId;
    int port = 0;
    QProcess nokuri;
    QString window;

    QString notes() const { return home + u"/data/Nokuri"_s; }
    QString syncthingHome() const { return home + u"/syncthing"_s; }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(u"QT_QPA_PLATFORM"_s);
        env.remove(u"DBUS_SESSION_BUS_ADDRESS"_s);
        env.insert(u"DISPLAY"_s, display);
        env.insert(u"HOME"_s, home);
        env.insert(u"XDG_DATA_HOME"_s, home + u"/data"_s);
        env.insert(u"XDG_RUNTIME_DIR"_s, home + u"/runtime"_s);
        env.insert(u"STNORESTART"_s, u"1"_s);
        env.insert(u"STNOUPGRADE"_s, u"1"_s);
        return env;
    }

    QString tool(const QString &program, const QStringList &args, int timeoutMs = 20000) const
    {
        return runTool(environment(), program, args, timeoutMs);
    }
    void xdotool(const QStringList &args) const
    {
        tool(u"xdotool"_s, args);
        QTest::qWait(300);
    }

    bool startDisplay()
    {
        xvfb.start(u"Xvfb"_s,
            {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1280x1024x24"_s, u"-nolisten"_s,
                u"tcp"_s, u"-noreset"_s});
        if (!xvfb.waitForStarted())
            return false;
        QDeadlineTimer deadline(20000);
        while (!xvfb.canReadLine() && !deadline.hasExpired())
            xvfb.waitForReadyRead(100);
        display = u":"_s + QString::fromLatin1(xvfb.readLine()).trimmed();
        return display.size() > 1;
    }

    bool generateKeys()
    {
        QDir().mkpath(notes() + u"/.stfolder"_s);
        QDir().mkpath(home + u"/runtime"_s);
        QFile::setPermissions(
            home + u"/runtime"_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        tool(u"syncthing"_s,
            {u"generate"_s, u"--home="_s + syncthingHome(), u"--no-default-folder"_s,
                u"--skip-port-probing"_s});
        deviceId
            = tool(u"syncthing"_s, {u"serve"_s, u"--home="_s + syncthingHome(), u"--device-id"_s});
        port = freePort();
        return !deviceId.isEmpty() && port > 0 && writeFile(notes() + u"/.stignore"_s, StIgnore);
    }

    // Only the other machine over 127.0.0.1: no GUI, discovery, relays or NAT traversal. A folder
    // that does not give maxConflicts gets 0, which overwrites the losing side without a copy.
    bool startSyncthing(const Machine &other)
    {
        const QString device
            = u"<device id=\"%1\" name=\"%2\"><address>tcp://127.0.0.1:%3</address></device>"_s;
        const QString config
            = u"<configuration version=\"36\">"
              "<folder id=\"notes\" label=\"notes\" path=\"%1\" type=\"sendreceive\""
              " rescanIntervalS=\"60\" fsWatcherEnabled=\"true\" fsWatcherDelayS=\"1\">"
              "<device id=\"%2\"></device><device id=\"%3\"></device>"
              "<maxConflicts>10</maxConflicts></folder>"
              "%4%5<gui enabled=\"false\"><address>127.0.0.1:0</address></gui>"
              "<options><listenAddress>tcp://127.0.0.1:%6</listenAddress>"
              "<globalAnnounceEnabled>false</globalAnnounceEnabled>"
              "<localAnnounceEnabled>false</localAnnounceEnabled>"
              "<relaysEnabled>false</relaysEnabled><natEnabled>false</natEnabled>"
              "<urAccepted>-1</urAccepted><autoUpgradeIntervalH>0</autoUpgradeIntervalH>"
              "<crashReportingEnabled>false</crashReportingEnabled>"
              "<startBrowser>false</startBrowser></options></configuration>"_s
                  .arg(notes(), deviceId, other.deviceId, device.arg(deviceId, name).arg(port),
                      device.arg(other.deviceId, other.name).arg(other.port))
                  .arg(port);
        if (!writeFile(syncthingHome() + u"/config.xml"_s, config.toUtf8()))
            return false;
        syncthing.setProcessEnvironment(environment());
        syncthing.setProcessChannelMode(QProcess::MergedChannels);
        syncthing.start(u"syncthing"_s,
            {u"serve"_s, u"--home="_s + syncthingHome(), u"--no-browser"_s, u"--no-restart"_s,
                u"--no-upgrade"_s});
        return syncthing.waitForStarted();
    }

    bool startNokuri(const QString &program)
    {
        nokuri.setProcessEnvironment(environment());
        nokuri.start(program, {});
        if (!nokuri.waitForStarted())
            return false;
        QDeadlineTimer deadline(20000);
        while (window.isEmpty() && !deadline.hasExpired()) {
            window
                = tool(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"^Nokuri$"_s})
                      .section(u'\n', 0, 0);
            QTest::qWait(100);
        }
        QTest::qWait(300);
        return !window.isEmpty();
    }
    void typeAtEnd(const QString &text) const
    {
        xdotool({u"mousemove"_s, u"--window"_s, window, u"200"_s, u"200"_s, u"click"_s, u"1"_s});
        xdotool({u"key"_s, u"ctrl+End"_s});
        xdotool({u"type"_s, u"--delay"_s, u"30"_s, text});
    }
    // Quitting saves.
    void quitNokuri() { ::kill(pid_t(nokuri.processId()), SIGTERM); }
    bool waitForNokuri()
    {
        const bool ended = nokuri.waitForFinished(20000);
        window.clear();
        return ended && nokuri.exitCode() == 0;
    }

    QByteArray file(const QString &name) const { return readFile(notes() + u'/' + name); }
    // Every version of the entry in the folder: the live file, Syncthing's conflict files and
    // Nokuri's conflict copies.
    QList<QByteArray> versionsOf(const QString &stem) const
    {
        QList<QByteArray> versions;
        QDirIterator it(notes(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString fileName = it.fileName();
            if (fileName == stem + u".tab"_s || (fileName.startsWith(stem + u".sync-conflict-"_s)))
                versions.append(readFile(path));
        }
        return versions;
    }

    void stop()
    {
        for (QProcess *process : {&nokuri, &syncthing, &xvfb}) {
            if (process->state() == QProcess::NotRunning)
                continue;
            process->terminate();
            if (!process->waitForFinished(10000)) {
                process->kill();
                process->waitForFinished();
            }
        }
    }
};

bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 30000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(200);
    }
    return true;
}

} // namespace

// Two machines that share the notes folder through Syncthing, each with a Nokuri running on it.
class TestSharedFolder : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_program;
    Machine m_a {u"a"_s};
    Machine m_b {u"b"_s};

private slots:
    void initTestCase()
    {
        for (const QString &needed : {u"syncthing"_s, u"Xvfb"_s, u"xdotool"_s}) {
            if (QStandardPaths::findExecutable(needed).isEmpty())
                QSKIP(qPrintable(needed
                    + u" is not installed: the test of two machines sharing the notes folder"
                      " needs it (scripts/install-deps installs it)"_s));
        }
        QVERIFY(m_root.isValid());
        m_program = m_root.filePath(u"nokuri"_s);
        QVERIFY(QFile::copy(QStringLiteral(NOKURI_PROGRAM), m_program));
        for (Machine *machine : {&m_a, &m_b}) {
            machine->home = m_root.filePath(machine->name);
            QVERIFY(machine->startDisplay());
            QVERIFY(machine->generateKeys());
        }
        QVERIFY(writeFile(m_a.notes() + u"/Tab1A.tab"_s, "memo\r\nbase\r\n"));
        QVERIFY(writeFile(m_a.notes() + u"/TabSet.ini"_s, Settings));
        QVERIFY(m_a.startSyncthing(m_b));
        QVERIFY(m_b.startSyncthing(m_a));
        QVERIFY2(waitUntil([this] {
            return m_b.file(u"Tab1A.tab"_s) == "memo\r\nbase\r\n"
                && m_b.file(u"TabSet.ini"_s) == Settings;
        }),
            m_b.syncthing.readAll().constData());
    }

    void cleanupTestCase()
    {
        m_a.stop();
        m_b.stop();
    }

    void editSavedOnOneMachine_appearsInTheOtherWindow()
    {
        QVERIFY(m_a.startNokuri(m_program));
        QVERIFY(m_b.startNokuri(m_program));
        m_a.typeAtEnd(u" from A"_s);
        m_a.quitNokuri();
        QVERIFY(m_a.waitForNokuri());
        QCOMPARE(m_a.file(u"Tab1A.tab"_s), QByteArray("memo\r\nbase from A\r\n"));
        QVERIFY(
            waitUntil([this] { return m_b.file(u"Tab1A.tab"_s) == "memo\r\nbase from A\r\n"; }));

        // Typed into the text B's window read again: had it kept its own, the save would have
        // kept A's version as a conflict copy and written " and B" after "base".
        QTest::qWait(4000);
        m_b.typeAtEnd(u" and B"_s);
        m_b.quitNokuri();
        QVERIFY(m_b.waitForNokuri());
        QCOMPARE(m_b.file(u"Tab1A.tab"_s), QByteArray("memo\r\nbase from A and B\r\n"));
        QVERIFY(!QDir(m_b.notes() + u"/conflicts"_s).exists());
        QVERIFY(waitUntil(
            [this] { return m_a.file(u"Tab1A.tab"_s) == "memo\r\nbase from A and B\r\n"; }));
    }

    void editsSavedOnBothAtOnce_leaveBothVersions()
    {
        QVERIFY(m_a.startNokuri(m_program));
        QVERIFY(m_b.startNokuri(m_program));
        m_a.typeAtEnd(u" A2"_s);
        m_b.typeAtEnd(u" B2"_s);
        m_a.quitNokuri();
        m_b.quitNokuri();
        QVERIFY(m_a.waitForNokuri());
        QVERIFY(m_b.waitForNokuri());

        const QByteArray ours = "memo\r\nbase from A and B A2\r\n";
        const QByteArray theirs = "memo\r\nbase from A and B B2\r\n";
        // Until Syncthing has settled: the same live file on both, and both versions on each.
        const auto settled = [&] {
            const QList<QByteArray> onA = m_a.versionsOf(u"Tab1A"_s);
            const QList<QByteArray> onB = m_b.versionsOf(u"Tab1A"_s);
            return m_a.file(u"Tab1A.tab"_s) == m_b.file(u"Tab1A.tab"_s) && onA.contains(ours)
                && onA.contains(theirs) && onB.contains(ours) && onB.contains(theirs);
        };
        QVERIFY2(waitUntil(settled, 60000),
            qPrintable(
                u"A: %1\nB: %2"_s.arg(QString::fromLatin1(m_a.versionsOf(u"Tab1A"_s).join(" | ")),
                    QString::fromLatin1(m_b.versionsOf(u"Tab1A"_s).join(" | ")))));
    }
};

QTEST_GUILESS_MAIN(TestSharedFolder)
#include "tst_SharedFolder.moc"
