#include "options/TrayCommands.h"

#include "mainwin/MainMenus.h"
#include "mainwin/MenuItems.h"
#include "options/frmCredit.h"
#include "platform/PlatformServices.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace {

const QString HelpFileName = u"nokuri-help.html"_s;

} // namespace

QStringList helpDocumentCandidates(const QString &programDir)
{
    const QDir dir(programDir);
    return {QDir::cleanPath(dir.filePath(u"../share/nokuri/help/"_s + HelpFileName)),
        QDir::cleanPath(dir.filePath(u"help/"_s + HelpFileName)),
        QStringLiteral(NOKURI_SOURCE_HELP_DOCUMENT)};
}

QString firstExistingFile(const QStringList &candidates)
{
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return candidates.value(0);
}

TrayCommands::TrayCommands(PlatformServices &platform, MainMenus &menus, QWidget &window)
    : QObject(&window)
    , m_platform(platform)
    , m_mnuTray(new QMenu(u"トレイ"_s, &window))
{
    m_mnuTray->setObjectName(u"mnuTray"_s);
    m_mnuTraySave = addMenuItem(*m_mnuTray, u"mnuTraySave"_s, u"保存(&S)"_s);
    m_mnuTrayFind = addMenuItem(*m_mnuTray, u"mnuTrayFind"_s, u"検索(&F)..."_s);
    addMenuSeparator(*m_mnuTray, u"mnuTraySct1"_s);
    m_mnuTrayHelp = addMenuItem(*m_mnuTray, u"mnuTrayHelp"_s, u"ヘルプ(&H)"_s);
    m_mnuTrayCredit = addMenuItem(*m_mnuTray, u"mnuTrayCredit"_s, u"Nokuriについて(&A)"_s);
    addMenuSeparator(*m_mnuTray, u"mnuTraySct2"_s);
    m_mnuTrayQuit = addMenuItem(*m_mnuTray, u"mnuTrayQuit"_s, u"Nokuriの終了(&X)"_s);

    connect(m_mnuTraySave, &QAction::triggered, this, &TrayCommands::mnuTraySave_Click);
    // The same command as the tab menu's item.
    connect(m_mnuTrayFind, &QAction::triggered, menus.mnuTabFind, &QAction::trigger);
    connect(m_mnuTrayHelp, &QAction::triggered, this, &TrayCommands::mnuTrayHelp_Click);
    connect(m_mnuTrayCredit, &QAction::triggered, this, &TrayCommands::mnuTrayCredit_Click);
    connect(m_mnuTrayQuit, &QAction::triggered, this, &TrayCommands::mnuTrayQuit_Click);

    if (!platform.isSystemTrayAvailable())
        offerHelpInTabMenu(menus);
}

void TrayCommands::offerHelpInTabMenu(MainMenus &menus)
{
    auto *help = new QAction(u"ヘルプ(&H)"_s, &menus.mnuTab);
    help->setObjectName(u"mnuTabHelp"_s);
    // "A" already adds a tab in this menu; a second "A" would only move between the two.
    auto *credit = new QAction(u"Nokuriについて(&I)"_s, &menus.mnuTab);
    credit->setObjectName(u"mnuTabCredit"_s);
    menus.mnuTab.insertAction(menus.mnuTabQuit, help);
    menus.mnuTab.insertAction(menus.mnuTabQuit, credit);
    menus.mnuTab.insertSeparator(menus.mnuTabQuit)->setObjectName(u"mnuTabSct4"_s);
    connect(help, &QAction::triggered, this, &TrayCommands::mnuTrayHelp_Click);
    connect(credit, &QAction::triggered, this, &TrayCommands::mnuTrayCredit_Click);
}

void TrayCommands::trayRightPressed(const QPoint &globalPos)
{
    m_platform.popupMenu(*m_mnuTray, globalPos);
}

void TrayCommands::mnuTraySave_Click()
{
    // The tab menu's "保存(&S)" runs the same; a failure is reported by the save itself.
    emit saveRequested();
}

void TrayCommands::mnuTrayHelp_Click()
{
    const QString path
        = firstExistingFile(helpDocumentCandidates(QCoreApplication::applicationDirPath()));
    if (m_platform.showHelp(path))
        return;
    m_platform.showMessage(
        u"ヘルプを表示できません。次のファイルが見つからないか、読み込めません:\n"_s
            + QDir::toNativeSeparators(path),
        u"Nokuri"_s, MessageIcon::Critical);
}

void TrayCommands::mnuTrayCredit_Click()
{
    // No owner: the box must also appear while the window is hidden in the tray.
    frmCredit credit;
    m_platform.runModal(credit);
}

void TrayCommands::mnuTrayQuit_Click()
{
    emit quitRequested();
}
