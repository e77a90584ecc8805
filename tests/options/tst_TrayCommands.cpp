#include "../mainwin/MainWindowFixture.h"
#include "options/TrayCommands.h"
#include "platform/HelpViewer.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

void trayMenuChoice(MainWindowFixture &f, const QString &item)
{
    f.platform.menuChoices.push_back(item);
    emit f.platform.tray()->rightPressed(QPoint(10, 10));
}

void tabMenuChoice(MainWindowFixture &f, const QString &item)
{
    f.platform.menuChoices.push_back(item);
    f.pressTab(0, Qt::RightButton);
}

QStringList objectNames(const QList<QAction *> &actions)
{
    QStringList names;
    for (const QAction *action : actions)
        names << action->objectName();
    return names;
}

QMap<QString, QByteArray> filesIn(const QString &dir)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(dir).entryList(QDir::Files)) {
        QFile file(QDir(dir).filePath(name));
        if (file.open(QIODevice::ReadOnly))
            files.insert(name, file.readAll());
    }
    return files;
}

QString helpDocument()
{
    return firstExistingFile(helpDocumentCandidates(QCoreApplication::applicationDirPath()));
}

bool anAboutBoxIsLeft()
{
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(),
        [](const QWidget *window) { return window->objectName() == u"frmCredit"; });
}

} // namespace

class TestTrayCommands : public QObject
{
    Q_OBJECT

private slots:
    void rightPress_showsTheTrayMenuWithEveryItemEnabled()
    {
        MainWindowFixture f;
        f.start();
        emit f.platform.tray()->rightPressed(QPoint(10, 10));
        QCOMPARE(f.platform.menusShown.size(), 1);
        const auto *tray = f.window->findChild<QMenu *>(u"mnuTray"_s);
        QCOMPARE(objectNames(tray->actions()),
            QStringList({u"mnuTraySave"_s, u"mnuTrayFind"_s, u"mnuTraySct1"_s, u"mnuTrayHelp"_s,
                u"mnuTrayCredit"_s, u"mnuTraySct2"_s, u"mnuTrayQuit"_s}));
        QStringList shown;
        for (const auto &item : f.platform.menusShown[0]) {
            QVERIFY(item.enabled);
            shown << item.text;
        }
        QCOMPARE(shown,
            QStringList({u"保存(&S)"_s, u"検索(&F)..."_s, u"ヘルプ(&H)"_s, u"Nokuriについて(&A)"_s,
                u"Nokuriの終了(&X)"_s}));
        // With a tray the tab menu stays as it is.
        QCOMPARE(f.window->findChild<QAction *>(u"mnuTabHelp"_s), nullptr);
    }

    void leftPress_restoresTheWindowInFront_data()
    {
        QTest::addColumn<Qt::WindowState>("state");
        QTest::newRow("minimised into the tray") << Qt::WindowMinimized;
        QTest::newRow("maximised") << Qt::WindowMaximized;
        QTest::newRow("normal") << Qt::WindowNoState;
    }
    void leftPress_restoresTheWindowInFront()
    {
        QFETCH(Qt::WindowState, state);
        MainWindowFixture f;
        f.start();
        f.window->setWindowState(state);
        QCoreApplication::processEvents();
        QCOMPARE(f.window->isHidden(), state == Qt::WindowMinimized);
        // The user works in another program's window meanwhile.
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &elsewhere);

        emit f.platform.tray()->leftPressed();
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.window->windowState() & ~Qt::WindowActive, Qt::WindowNoState);
        QTRY_COMPARE(QApplication::activeWindow(), f.window.get());
    }

    void save_fromTrayAndTabMenuWritesTheSame()
    {
        QMap<QString, QByteArray> written[2];
        const QString items[2] {u"mnuTraySave"_s, u"mnuTabSave"_s};
        for (int i = 0; i < 2; ++i) {
            MainWindowFixture f;
            f.start();
            f.typeInto(0, u"typed\nnot yet stored"_s);
            f.window->AddTabPage(u"second"_s, u"x"_s);
            if (i == 0)
                trayMenuChoice(f, items[i]);
            else
                tabMenuChoice(f, items[i]);
            written[i] = filesIn(f.dir.path());
        }
        QVERIFY(written[0].contains(u"TabSet.ini"_s));
        QCOMPARE(written[0].value(u"Tab1A.tab"_s), QByteArray("\r\ntyped\r\nnot yet stored\r\n"));
        QCOMPARE(written[0], written[1]);
    }

    void quit_savesAndUnloads()
    {
        MainWindowFixture f;
        f.start();
        QSignalSpy unloaded(f.window.get(), &frmMain::unloaded);
        f.typeInto(0, u"last words"_s);
        trayMenuChoice(f, u"mnuTrayQuit"_s);
        // Not from inside the menu's own event loop: only once the menu has returned.
        QCOMPARE(unloaded.size(), 0);
        QTRY_COMPARE(unloaded.size(), 1);
        QVERIFY(!f.window->isVisible());
        QCOMPARE(f.platform.tray(), nullptr);
        QCOMPARE(filesIn(f.dir.path()).value(u"Tab1A.tab"_s), QByteArray("\r\nlast words\r\n"));
    }

    void about_showsItsTextsAndLeavesNoCopy()
    {
        MainWindowFixture f;
        f.start();
        for (int time = 0; time < 2; ++time) {
            QStringList texts;
            bool iconShown = false;
            f.platform.dialogScripts.push_back([&](QDialog &dialog) {
                iconShown = !dialog.findChild<QLabel *>(u"Image1"_s)->pixmap().isNull();
                for (const char *name : {"Label1", "Label2", "Label3", "Label4", "Label5"})
                    texts << dialog.findChild<QLabel *>(QString::fromLatin1(name))->text();
                dialog.findChild<QPushButton *>(u"cmdOk"_s)->click();
                return dialog.result();
            });
            trayMenuChoice(f, u"mnuTrayCredit"_s);
            QVERIFY(iconShown);
            QCOMPARE(texts.mid(0, 2), QStringList({u"Nokuri  for Windos98/NT4.0"_s, u"Ver2.02"_s}));
            QVERIFY(texts[2].contains(u"© 2026 Nokuri developers"_s));
            QVERIFY(texts[3].contains(u"MIT"_s));
            QVERIFY(texts[4].contains(u"Issue"_s));
            QVERIFY(!anAboutBoxIsLeft());
        }
        QCOMPARE(f.platform.dialogsShown, QStringList({u"Nokuriについて"_s, u"Nokuriについて"_s}));
    }

    void help_opensTheDocumentOrSaysWhereItShouldBe()
    {
        MainWindowFixture f;
        f.start();
        trayMenuChoice(f, u"mnuTrayHelp"_s);
        QCOMPARE(f.platform.helpRequests.size(), 1);
        QVERIFY(QFileInfo(f.platform.helpRequests[0]).isFile());
        QVERIFY(f.platform.messages.isEmpty());

        f.platform.helpAvailable = false;
        trayMenuChoice(f, u"mnuTrayHelp"_s);
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].icon, MessageIcon::Critical);
        QVERIFY(f.platform.messages[0].text.contains(
            QDir::toNativeSeparators(f.platform.helpRequests[1])));
    }

    void helpLookup_prefersTheInstalledDocument()
    {
        QTemporaryDir prefix;
        const QString bin = prefix.filePath(u"bin"_s);
        const QStringList candidates = helpDocumentCandidates(bin);
        QCOMPARE(candidates[0], prefix.filePath(u"share/nokuri/help/nokuri-help.html"_s));
        QCOMPARE(candidates[1], prefix.filePath(u"bin/help/nokuri-help.html"_s));
        QCOMPARE(firstExistingFile(candidates.mid(0, 2)), candidates[0]);

        QVERIFY(QDir().mkpath(prefix.filePath(u"bin/help"_s)));
        QFile beside(candidates[1]);
        QVERIFY2(beside.open(QIODevice::WriteOnly), qPrintable(beside.errorString()));
        beside.close();
        QCOMPARE(firstExistingFile(candidates), candidates[1]);

        QVERIFY(QDir().mkpath(prefix.filePath(u"share/nokuri/help"_s)));
        QVERIFY(QFile::copy(candidates[1], candidates[0]));
        QCOMPARE(firstExistingFile(candidates), candidates[0]);
    }

    void noTray_tabMenuOffersHelpAndAbout()
    {
        MainWindowFixture f;
        f.platform.trayAvailable = false;
        f.start();
        f.platform.dialogScripts.push_back([](QDialog &dialog) {
            dialog.accept();
            return dialog.result();
        });
        tabMenuChoice(f, u"mnuTabCredit"_s);
        tabMenuChoice(f, u"mnuTabHelp"_s);
        QCOMPARE(f.platform.dialogsShown, QStringList {u"Nokuriについて"_s});
        QCOMPARE(f.platform.helpRequests.size(), 1);
        const QStringList names = objectNames(f.window->menus().mnuTab.actions());
        QCOMPARE(names.mid(names.indexOf(u"mnuTabSave"_s)),
            QStringList({u"mnuTabSave"_s, u"mnuTabSct3"_s, u"mnuTabHelp"_s, u"mnuTabCredit"_s,
                u"mnuTabSct4"_s, u"mnuTabQuit"_s}));
    }

    void helpDocument_explainsEveryCommandAndShowsInTheViewer()
    {
        MainWindowFixture f;
        f.platform.trayAvailable = false;
        f.start();
        QFile file(helpDocument());
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
        const QString html = QString::fromUtf8(file.readAll());
        QTextDocument document;
        document.setHtml(html);
        const QString text = document.toPlainText();
        for (const QMenu *menu : f.window->findChildren<QMenu *>()) {
            for (const QAction *item : menu->actions()) {
                if (!item->isSeparator())
                    QVERIFY2(text.contains(item->text()), qPrintable(item->text()));
            }
        }
        for (const char *name : {"Tab1A.tab", "TabSet.ini", "Tab1A.bak", "TabSet.bak"})
            QVERIFY2(text.contains(QString::fromLatin1(name)), name);

        const QRegularExpression link(u"href=\"#([^\"]+)\""_s);
        for (const auto &match : link.globalMatch(html))
            QVERIFY2(html.contains(u"name=\""_s + match.captured(1) + u'"'),
                qPrintable(match.captured(1)));

        HelpViewer viewer;
        QVERIFY(viewer.open(file.fileName()));
        QVERIFY(viewer.findChild<QTextBrowser *>()->toPlainText().startsWith(u"Nokuri ヘルプ"_s));
    }
};

QTEST_MAIN(TestTrayCommands)
#include "tst_TrayCommands.moc"
