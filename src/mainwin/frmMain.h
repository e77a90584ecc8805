#pragma once

#include "mainwin/MainMenus.h"
#include "mainwin/SaveSequence.h"
#include "mainwin/TabWindow.h"
#include "mainwin/WindowOptions.h"
#include "store/TabSet.h"

#include <QMainWindow>
#include <memory>

class ContentBox;
class FolderReadAhead;
class NoteFiles;
class OutsideEdits;
class PageSlots;
class QuitCoordinator;
class RecoveryFile;
class PlatformServices;
class SettingsFile;
class StatusPanels;
class TabPage;
class TabStrip;
class TrayIcon;
class Twips;

// The main window: the tab strip with one page per tab, the status bar and the pop-up menus.
// It owns the tab set and the two options, and runs every handler on the UI thread.
// Record i, page i and strip tab i + 1 always belong together. The commands behind the menus,
// the title buttons and the tray icon are connected from outside, to its menus and signals.
class frmMain final : public QMainWindow, public TabWindow, public WindowOptions
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMain)
public:
    frmMain(PlatformServices &platform, const QString &appDir, QWidget *parent = nullptr);
    ~frmMain() override;

    // Start-up: the tray icon, the defaults, the tabs from the files, the settings, the
    // working page, missed alarms and the status bar. The files are what `readAhead` read;
    // without one they are read here.
    void Form_Load(FolderReadAhead *readAhead = nullptr);
    // Shut-down: saves, then removes the tray icon. False when the user chose to stay
    // after a failed save.
    bool Form_Unload();
    // Every way to end the program comes here: the window closes, saving, once the modal
    // windows and menus that are open have been cancelled and the start-up has finished.
    void requestQuit();
    // The desktop session may end without a quit: saves, unless start-up is still reading or
    // left the recovery question open.
    void commitData();

    // Saves everything; shows the reason when it fails. The window paints and its timers run
    // meanwhile, but user input waits until the save has returned. A save asked for while one
    // runs answers false at once, and follows the running one.
    bool SaveAll();
    // Brings the window back in normal size, in front and with the focus.
    void restoreWindow();

    TabSet &tabs() { return m_tabs; }
    const TabSet &tabs() const { return m_tabs; }
    PlatformServices &platform() const { return m_platform; }
    QString appDir() const { return m_appDir; }
    // TabWindow; the window keeps no index of its own besides the strip's.
    QWidget &widget() override { return *this; }
    int selectedTab() const override;
    void selectTab(int position) override;
    void showEntry(int tab, int entry) override;
    void refreshStripCaption(int position) override;
    void AddTabPage(const QString &title, const QString &content) override;
    void removeLastTabPage() override;
    void ArrangeControls() override;
    void DispStatus() override;

    void EnableTabPage(bool enable, int index);
    // A page that start-up left as a draft is built here, when anything asks for it.
    TabPage &page(int index) const;
    TabStrip &tabMain() const { return *m_tabMain; }
    StatusPanels &staMain() const { return *m_staMain; }
    MainMenus &menus() { return m_menus; }

    // The scroll type as the letter the files hold: "N", "V" or "W".
    QString ScrlType() const { return scrollTypeLetter(m_scrlType); }
    // Any other letter is reported and ignored.
    void setScrlType(const QString &value);

    // WindowOptions
    ScrollType scrollType() const override { return m_scrlType; }
    void ApplyScrlType(ScrollType type) override;
    bool MakeBackup() const override { return m_makeBackup; }
    void setMakeBackup(bool value) override;

    RecoveryFile &recovery() const { return *m_recovery; }
    NoteFiles &noteFiles() const { return *m_noteFiles; }

    // TabPages
    int tabCount() const override { return m_tabs.count(); }
    void appendTitleItem(int tab, const QString &text) override;
    void setTitleItem(int tab, int pos, const QString &text) override;
    void removeTitleItem(int tab, int pos) override;
    int titleItemCount(int tab) const override;
    void selectTitleItem(int tab, int pos) override;
    QString boxText(int tab) const override;
    void setBoxText(int tab, const QString &text) override;
    void setBoxEntry(int tab, std::shared_ptr<const StoredEntry> entry) override;
    std::shared_ptr<const StoredEntry> boxEntry(int tab) const override;
    void setBoxVisible(int tab, bool visible) override;
    void setBoxFont(int tab, const QString &name, float size) override;

signals:
    // The title button of page `tab`, whose list shows `entry`; the entry's changes are in the
    // record when the connected handler returns.
    void titleButtonClicked(int tab, int entry);
    // A right press in the content box of a page.
    void contentRightPressed(ContentBox *box, const QPoint &globalPos);
    void trayLeftPressed();
    void trayRightPressed(const QPoint &globalPos);
    // The window has unloaded: its notes are saved (or the user chose not to).
    void unloaded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Resize();
    void ResizeTabStrip();
    Twips twips() const;
    void reportMissedAlarms();
    bool saveOnce();
    // Something a save would write has changed: the recovery file is due, unless start-up is
    // still reading the files.
    void noteChange();

    void tabMain_MouseDown(Qt::MouseButton button, const QPoint &globalPos);
    void tabMain_BeforeClick();
    void tabMain_Click();
    void cboTitle_Click(int index);
    void cmdTitle_Click(int index);
    void staMain_PanelClick(int panel, const QPoint &globalPos);

    PlatformServices &m_platform;
    QString m_appDir;
    TabSet m_tabs;
    ScrollType m_scrlType = ScrollType::Vertical;
    bool m_makeBackup = true;
    TabStrip *m_tabMain;
    StatusPanels *m_staMain;
    PageSlots *m_pages;
    MainMenus m_menus;
    std::unique_ptr<SettingsFile> m_settings;
    std::unique_ptr<NoteFiles> m_noteFiles;
    std::unique_ptr<TrayIcon> m_tray;
    RecoveryFile *m_recovery;
    OutsideEdits *m_outside;
    QuitCoordinator *m_quit;
    SaveSequence m_saves;
    bool m_unloaded = false;
};
