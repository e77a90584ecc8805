#include "RunTool.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QByteArray cp932(const QString &text)
{
    QStringEncoder encoder("windows-31j");
    return encoder.encode(text);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// Window positions, relative to the main window of 500 x 400 pixels that the settings file
// below asks for: the tab strip is the top row, the content box fills the middle.
constexpr int StripY = 12;
constexpr int FirstTabX = 30;
constexpr int SecondTabX = 90; // the second tab's caption starts after "メモ"
constexpr int EmptyStripX = 250;
constexpr int BoxX = 200;
constexpr int BoxY = 200;
constexpr int TitleButtonX = 489;
constexpr int TitleButtonY = 37;
constexpr int AlarmPanelX = 140;
constexpr int StatusY = 389;

// What start-up finds in the notes folder: a first tab captioned メモ, created 2020/01/02.
QByteArray settings(const QString &globals = {}, const QString &tab1 = {})
{
    return cp932(u"----------Nokuri iniファイル----------\r\n"_s + globals
        + u"FormTop = 1500\r\nFormLeft = 1500\r\nFormHeight = 6000\r\nFormWidth = 7500\r\n\r\n"
          u"[Tab1]\r\nTabCaption = メモ\r\nCreatDate = 2020/01/02 03:04\r\n"_s
        + tab1 + u"\r\n\r\n"_s);
}

} // namespace

// Nokuri as a user meets it: the program file in a folder of notes, an X display, the mouse
// and the keyboard. The test runs its own Xvfb, so it needs no display of its own.
class TestProgram : public QObject
{
    Q_OBJECT

private:
    QProcess m_xvfb;
    QString m_display;
    std::unique_ptr<QTemporaryDir> m_home;
    QString m_prog;
    QProcess m_nokuri;
    QString m_window;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // The test itself runs offscreen; the program and the tools use the X server.
        env.remove(u"QT_QPA_PLATFORM"_s);
        env.insert(u"DISPLAY"_s, m_display);
        env.insert(u"HOME"_s, m_home->path());
        env.insert(u"XDG_DATA_HOME"_s, m_home->filePath(u"data"_s));
        env.insert(u"XDG_RUNTIME_DIR"_s, m_home->filePath(u"runtime"_s));
        // The tray must be the X server's (trayer's), not a desktop's on the session bus.
        env.remove(u"DBUS_SESSION_BUS_ADDRESS"_s);
        return env;
    }

    // Runs a tool on the display.
    QString tool(const QString &program, const QStringList &args, int timeoutMs = 10000)
    {
        return runTool(environment(), program, args, timeoutMs);
    }
    void xdotool(const QStringList &args)
    {
        tool(u"xdotool"_s, args);
        QTest::qWait(300);
    }
    void click(int x, int y, const QString &button = u"1"_s)
    {
        xdotool({u"mousemove"_s, u"--window"_s, m_window, QString::number(x), QString::number(y),
            u"click"_s, button});
    }
    // Waits for a top-level window of that name; its id, or empty.
    QString waitForWindow(const QString &name)
    {
        // Named before it is mapped: keys sent before then would go to the window behind.
        return tool(
            u"xdotool"_s, {u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--name"_s, name}, 20000)
            .section(u'\n', 0, 0);
    }
    // The shown windows of that name, at once.
    QStringList shownWindows(const QString &name)
    {
        return tool(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--name"_s, name})
            .split(u'\n', Qt::SkipEmptyParts);
    }
    // Runs xdotool commands given as lines, "WIN" standing for the main window.
    void play(const QStringList &steps)
    {
        for (const QString &step : steps)
            xdotool(QString(step).replace(u"WIN"_s, m_window).split(u' '));
    }
    void typeAtEnd(const QString &text)
    {
        click(BoxX, BoxY);
        xdotool({u"key"_s, u"ctrl+End"_s});
        xdotool({u"type"_s, u"--delay"_s, u"30"_s, text});
    }
    QByteArray file(const QString &name) const { return readFile(QDir(m_prog).filePath(name)); }

    // Starts the program and waits for the first shown window of that name: the main window,
    // or a box that start-up shows before it.
    bool startNokuri(const QString &firstWindow = u"^Nokuri$"_s)
    {
        m_nokuri.setProcessEnvironment(environment());
        m_nokuri.start(QDir(m_prog).filePath(u"nokuri"_s), {});
        if (!m_nokuri.waitForStarted())
            return false;
        QDeadlineTimer deadline(20000);
        while (shownWindows(firstWindow).isEmpty() && !deadline.hasExpired())
            QTest::qWait(100);
        m_window = shownWindows(firstWindow).value(0);
        if (m_window.isEmpty())
            qWarning(
                "no window; the program said: %s", m_nokuri.readAllStandardError().constData());
        QTest::qWait(300);
        return !m_window.isEmpty();
    }
    bool quitNokuri(int signal)
    {
        ::kill(pid_t(m_nokuri.processId()), signal);
        return m_nokuri.waitForFinished(20000);
    }
    // The program ended by itself within five seconds, normally and with exit code 0.
    void expectEndedInTime(const QElapsedTimer &since)
    {
        const bool ended = m_nokuri.state() == QProcess::NotRunning
            || m_nokuri.waitForFinished(std::max(1, 5000 - int(since.elapsed())));
        QVERIFY2(ended, "still running after 5 s");
        QCOMPARE(m_nokuri.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_nokuri.exitCode(), 0);
    }
    // The program's tray icon: its small window, embedded in the tray (found by class, as
    // embedding hides its name from a search).
    QString trayIcon()
    {
        const QStringList ids
            = tool(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--class"_s, u"nokuri"_s})
                  .split(u'\n', Qt::SkipEmptyParts);
        for (const QString &id : ids) {
            const QString shell = tool(u"xdotool"_s, {u"getwindowgeometry"_s, u"--shell"_s, id});
            if (shell.contains(QRegularExpression(u"WIDTH=[1-4]?[0-9]\\n"_s)))
                return id;
        }
        return {};
    }

private slots:
    void initTestCase()
    {
        for (const QString &needed : {u"Xvfb"_s, u"xdotool"_s, u"import"_s}) {
            if (QStandardPaths::findExecutable(needed).isEmpty())
                QSKIP(qPrintable(needed + u" is not installed"_s));
        }
        // Xvfb picks a free display and says which on the descriptor given. Without -noreset it
        // resets whenever its last client leaves, and a program started in that moment finds no
        // display.
        m_xvfb.start(u"Xvfb"_s,
            {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1280x1024x24"_s, u"-nolisten"_s,
                u"tcp"_s, u"-noreset"_s});
        QVERIFY(m_xvfb.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(m_xvfb.canReadLine(), 20000);
        m_display = u":"_s + QString::fromLatin1(m_xvfb.readLine()).trimmed();
    }

    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
        const QDir home(m_home->path());
        QVERIFY(home.mkpath(u"prog"_s) && home.mkpath(u"runtime"_s) && home.mkpath(u"data"_s));
        QFile::setPermissions(
            home.filePath(u"runtime"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_prog = home.filePath(u"prog"_s);
        QVERIFY(QFile::copy(QStringLiteral(NOKURI_PROGRAM), QDir(m_prog).filePath(u"nokuri"_s)));
        writeFile(QDir(m_prog).filePath(u"Tab1A.tab"_s), cp932(u"買い物\r\n牛乳\r\n"_s));
        writeFile(QDir(m_prog).filePath(u"TabSet.ini"_s), settings());
    }

    void cleanup()
    {
        if (m_nokuri.state() != QProcess::NotRunning) {
            m_nokuri.kill();
            m_nokuri.waitForFinished();
        }
    }

    void cleanupTestCase()
    {
        m_xvfb.terminate();
        m_xvfb.waitForFinished();
    }

    void editQuitAndRestart_filesByteForByteAndStateBack()
    {
        QVERIFY(startNokuri());
        const QString path = m_prog;
        const auto file = [&path](const char *name) {
            return readFile(QDir(path).filePath(QString::fromLatin1(name)));
        };
        const QByteArray original = file("Tab1A.tab");

        // A tab through the tab menu, named in the tab-name dialog.
        click(EmptyStripX, StripY, u"3"_s);
        xdotool({u"key"_s, u"a"_s});
        const QString tabName = waitForWindow(u"^タブ名の入力$"_s);
        QVERIFY(!tabName.isEmpty());
        xdotool({u"windowfocus"_s, u"--sync"_s, tabName});
        // xdotool maps each character outside the keymap to a spare key just for its press; a
        // slow program reading the press after the next character's mapping gets that one.
        xdotool({u"type"_s, u"--delay"_s, u"150"_s, u"Shop買い"_s});
        xdotool({u"key"_s, u"Return"_s});

        // Its content, typed after switching to it; then back to the first tab.
        click(SecondTabX, StripY);
        click(BoxX, BoxY);
        xdotool({u"type"_s, u"--delay"_s, u"30"_s, u"milk"_s});
        xdotool({u"key"_s, u"Return"_s});
        xdotool({u"type"_s, u"--delay"_s, u"150"_s, u"パン"_s});
        click(FirstTabX, StripY);

        // The scroll type "W" in the options dialog, the eighth item of the tab menu.
        click(EmptyStripX, StripY, u"3"_s);
        xdotool(QStringList {u"key"_s} + QStringList(8, u"Down"_s) + QStringList {u"Return"_s});
        QVERIFY(!waitForWindow(u"^オプション$"_s).isEmpty());
        xdotool({u"key"_s, u"Down"_s, u"Down"_s, u"Return"_s});

        tool(u"import"_s, {u"-window"_s, u"root"_s, QStringLiteral(E2E_SCREENSHOT)});
        QVERIFY(quitNokuri(SIGTERM));
        QCOMPARE(m_nokuri.exitCode(), 0);

        QCOMPARE(file("Tab1A.tab"), original);
        QCOMPARE(file("Tab1A.bak"), original);
        QCOMPARE(file("Tab2A.tab"), cp932(u"\r\nmilk\r\nパン\r\n"_s));
        const QByteArray ini = file("TabSet.ini");
        for (const QString &line : {u"TabDisp = 1"_s, u"ScrlType = W"_s, u"TabCaption = メモ"_s,
                 u"[Tab2]"_s, u"TabCaption = Shop買い"_s})
            QVERIFY2(ini.contains(cp932(u"\r\n"_s + line + u"\r\n"_s)), qPrintable(line));
        QVERIFY(ini.endsWith("\r\n\r\n\r\n"));

        // Started again, it shows what it saved: quitting saves the very same files.
        QVERIFY(startNokuri());
        QVERIFY(quitNokuri(SIGTERM));
        QCOMPARE(file("Tab1A.tab"), original);
        QCOMPARE(file("Tab2A.tab"), cp932(u"\r\nmilk\r\nパン\r\n"_s));
        QCOMPARE(file("TabSet.ini"), ini);
        QCOMPARE(file("Tab2A.bak"), file("Tab2A.tab"));
    }

    // A quit request while a modal window or menu is open: the notes are saved as they stand
    // (what the window held, nothing the cancelled window would have done) and the program ends.
    void quitWithModalOpen_savesAndEnds_data()
    {
        QTest::addColumn<QStringList>("open");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("signal");
        const QString tabMenu = u"mousemove --window WIN 250 12 click 3"_s;
        const auto item = [](int downs) {
            return u"key "_s + QStringList(downs, u"Down"_s).join(u' ') + u" Return"_s;
        };
        const QString alarmTime
            = u"mousemove --window WIN %1 %2 click 1"_s.arg(AlarmPanelX).arg(StatusY);
        // One tab: タブ削除 is disabled, and the keys pass over it. Without a tray, help and the
        // about box sit before the tab menu's quit.
        QTest::newRow("tab menu") << QStringList {tabMenu} << QString() << SIGTERM;
        QTest::newRow("tab-name dialog")
            << QStringList {tabMenu, u"key a"_s} << u"^タブ名の入力$"_s << SIGTERM;
        QTest::newRow("titles dialog")
            << QStringList {u"mousemove --window WIN %1 %2 click 1"_s.arg(TitleButtonX)
                                .arg(TitleButtonY)}
            << u"^タイトルの入力$"_s << SIGINT;
        QTest::newRow("options") << QStringList {tabMenu, item(7)} << u"^オプション$"_s << SIGHUP;
        QTest::newRow("manual sort")
            << QStringList {tabMenu, item(5).replace(u" Return"_s, u" Right Return"_s)}
            << u"^手動でソート$"_s << SIGTERM;
        QTest::newRow("alarm time")
            << QStringList {alarmTime, item(1)} << u"^アラームの設定$"_s << SIGTERM;
        QTest::newRow("message box") << QStringList {alarmTime, item(1), u"key Return"_s}
                                     << u"^アラーム設定エラー$"_s << SIGTERM;
        QTest::newRow("font chooser")
            << QStringList {u"mousemove --window WIN 200 200 click 3"_s, u"key f"_s}
            << u"^フォント$"_s << SIGTERM;
        QTest::newRow("file chooser") << QStringList {u"key ctrl+o"_s} << u"^Open$"_s << SIGINT;
        QTest::newRow("find window") << QStringList {u"key ctrl+f"_s} << u"^検索$"_s << SIGTERM;
        QTest::newRow("help") << QStringList {tabMenu, u"key h"_s} << u"^Nokuri ヘルプ$"_s
                              << SIGHUP;
        QTest::newRow("about box")
            << QStringList {tabMenu, u"key i"_s} << u"^Nokuriについて$"_s << SIGTERM;
    }
    void quitWithModalOpen_savesAndEnds()
    {
        QFETCH(QStringList, open);
        QFETCH(QString, shown);
        QFETCH(int, signal);
        QVERIFY(startNokuri());
        typeAtEnd(u"typed"_s);
        play(open);
        if (!shown.isEmpty())
            QTRY_VERIFY_WITH_TIMEOUT(!shownWindows(shown).isEmpty(), 5000);

        QElapsedTimer since;
        since.start();
        ::kill(pid_t(m_nokuri.processId()), signal);
        expectEndedInTime(since);
        QCOMPARE(file(u"Tab1A.tab"_s), cp932(u"買い物\r\n牛乳typed\r\n"_s));
        QVERIFY(!QFile::exists(QDir(m_prog).filePath(u"Tab2A.tab"_s)));
    }

    // Start-up is let finish without further boxes before the quit saves: what it writes comes
    // from everything that was read.
    void quitDuringStartUpBox_savesTheWholeState_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("shown");
        QTest::newRow("settings error")
            << settings(u"FormTop = 99999999999\r\n"_s) << u"^読み込み時のエラー$"_s;
        QTest::newRow("missed alarm")
            << settings({}, u"AlarmDate = 2020/01/03 04:05\r\nAlarmSetOn = #True#\r\n"_s)
            << u"^Nokuriのアラーム$"_s;
    }
    void quitDuringStartUpBox_savesTheWholeState()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, shown);
        writeFile(QDir(m_prog).filePath(u"TabSet.ini"_s), ini);
        const QByteArray entry = file(u"Tab1A.tab"_s);
        QVERIFY(startNokuri(shown));

        QElapsedTimer since;
        since.start();
        ::kill(pid_t(m_nokuri.processId()), SIGTERM);
        expectEndedInTime(since);
        QCOMPARE(file(u"Tab1A.tab"_s), entry);
        const QByteArray saved = file(u"TabSet.ini"_s);
        for (const QString &line : {u"TabCaption = メモ"_s, u"CreatDate = 2020/01/02 03:04"_s})
            QVERIFY2(saved.contains(cp932(u"\r\n"_s + line + u"\r\n"_s)), qPrintable(line));
    }

    // The recovery question cut short by a quit decided nothing: the notes and the recovery
    // file stay as they were, and the next start asks again.
    void quitDuringRecoveryQuestion_keepsRecoveryForTheNextStart()
    {
        QVERIFY(startNokuri());
        typeAtEnd(u"unsaved"_s);
        QTest::qWait(6000);
        QVERIFY(quitNokuri(SIGKILL));
        const QStringList names {u"Tab1A.tab"_s, u"TabSet.ini"_s, u"Nokuri.recovery"_s};
        QList<QByteArray> before;
        for (const QString &name : names)
            before.append(file(name));
        QVERIFY(!before.last().isEmpty());

        QVERIFY(startNokuri());
        QElapsedTimer since;
        since.start();
        ::kill(pid_t(m_nokuri.processId()), SIGTERM);
        expectEndedInTime(since);
        for (qsizetype i = 0; i < names.size(); ++i)
            QVERIFY2(file(names[i]) == before[i], qPrintable(names[i]));

        QVERIFY(startNokuri());
        xdotool({u"key"_s, u"Return"_s});
        QTest::qWait(500);
        QVERIFY(quitNokuri(SIGTERM));
        QCOMPARE(file(u"Tab1A.tab"_s), cp932(u"買い物\r\n牛乳unsaved\r\n"_s));
    }

    // Quit from the tray menu, with a real tray on the X server: the program ends normally, as
    // from any other quit, and leaves nothing of its own in the runtime folder.
    void trayMenuQuit_savesAndEndsNormally()
    {
        if (QStandardPaths::findExecutable(u"trayer"_s).isEmpty())
            QSKIP("trayer is not installed");
        QProcess tray;
        tray.setProcessEnvironment(environment());
        tray.start(u"trayer"_s, {u"--edge"_s, u"top"_s, u"--align"_s, u"right"_s});
        QVERIFY(tray.waitForStarted());
        QVERIFY(!waitForWindow(u"^panel$"_s).isEmpty());

        QVERIFY(startNokuri());
        typeAtEnd(u"typed"_s);
        QString icon;
        QTRY_VERIFY_WITH_TIMEOUT(!(icon = trayIcon()).isEmpty(), 10000);
        xdotool({u"mousemove"_s, u"--window"_s, icon, u"5"_s, u"5"_s, u"click"_s, u"3"_s});
        QElapsedTimer since;
        since.start();
        xdotool({u"key"_s, u"x"_s});
        expectEndedInTime(since);
        tray.terminate();
        tray.waitForFinished();

        QCOMPARE(file(u"Tab1A.tab"_s), cp932(u"買い物\r\n牛乳typed\r\n"_s));
        QCOMPARE(QDir(m_home->filePath(u"runtime"_s))
                     .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
            QStringList());
        QCOMPARE(QDir(m_prog).entryList({u"*.lock"_s}, QDir::Files | QDir::Hidden), QStringList());
    }

    void killedWhileTyping_typingOfferedBackAtTheNextStart()
    {
        QVERIFY(startNokuri());
        click(BoxX, BoxY);
        xdotool({u"key"_s, u"ctrl+End"_s});
        xdotool({u"type"_s, u"--delay"_s, u"30"_s, u"unsaved"_s});
        QTest::qWait(6000);
        QVERIFY(quitNokuri(SIGKILL));

        // The question comes before the window, in a box also called Nokuri, and has the focus;
        // its first button restores.
        QVERIFY(startNokuri());
        xdotool({u"key"_s, u"Return"_s});
        QTest::qWait(500);
        QVERIFY(quitNokuri(SIGTERM));
        QCOMPARE(
            readFile(QDir(m_prog).filePath(u"Tab1A.tab"_s)), cp932(u"買い物\r\n牛乳unsaved\r\n"_s));
    }

    // A second start from another login session (its own runtime folder) on the same notes
    // folder brings the running window to the front and ends without touching the notes.
    void secondStartFromAnotherSession_raisesTheFirstAndEnds()
    {
        QVERIFY(startNokuri());
        QProcess other;
        other.setProcessEnvironment(environment());
        other.start(u"xlogo"_s, {u"-geometry"_s, u"700x700+0+0"_s});
        const QString otherWindow = waitForWindow(u"^xlogo$"_s);
        QVERIFY(!otherWindow.isEmpty());
        // Which of the two is higher in the stacking order; xwininfo lists the top first.
        const auto upper = [&] {
            const QStringList lines
                = tool(u"xwininfo"_s, {u"-root"_s, u"-children"_s}).split(u'\n');
            for (const QString &line : lines) {
                const QString id
                    = QString::number(line.trimmed().section(u' ', 0, 0).toULongLong(nullptr, 16));
                if (id == m_window || id == otherWindow)
                    return id;
            }
            return QString();
        };
        QCOMPARE(upper(), otherWindow);

        QDir home(m_home->path());
        QVERIFY(home.mkpath(u"runtime2"_s));
        QFile::setPermissions(
            home.filePath(u"runtime2"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = environment();
        env.insert(u"XDG_RUNTIME_DIR"_s, home.filePath(u"runtime2"_s));
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(QDir(m_prog).filePath(u"nokuri"_s), {});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(upper(), m_window, 10000);
        QCOMPARE(m_nokuri.state(), QProcess::Running);
        other.kill();
        other.waitForFinished();
    }

    // The desktop finds the entry of a window by its StartupWMClass, which names the instance
    // part of the window's WM_CLASS (Qt takes it from the program file's name; the class part
    // is the application name, "Nokuri").
    void window_instanceNameIsTheDesktopEntrysStartupWMClass()
    {
        if (QStandardPaths::findExecutable(u"xprop"_s).isEmpty())
            QSKIP("xprop is not installed");
        const QString entry = QString::fromUtf8(readFile(QStringLiteral(DESKTOP_ENTRY)));
        const QString wmClass = entry.section(u"\nStartupWMClass="_s, 1).section(u'\n', 0, 0);
        QVERIFY(!wmClass.isEmpty());
        QVERIFY(startNokuri());
        const QString property = tool(u"xprop"_s, {u"-id"_s, m_window, u"WM_CLASS"_s});
        QVERIFY2(property.section(u" = "_s, 1).startsWith(u'"' + wmClass + u"\", "_s),
            qPrintable(property));
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_Program.moc"
