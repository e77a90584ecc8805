#pragma once

#include "platform/AlarmTimeDialog.h"
#include "platform/DesktopNotifier.h"
#include "platform/ModalGate.h"
#include "platform/PlatformServices.h"
#include "platform/TrayIcon.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <deque>
#include <functional>

// Records every notification, as a desktop with a notification server would take it.
class RecordingNotifier final : public DesktopNotifier
{
public:
    struct Notification
    {
        QString text;
        int tab;
    };
    bool notifyAlarm(const QString &text, int tab) override
    {
        notifications.append({text, tab});
        return true;
    }
    QList<Notification> notifications;
};

// The platform as tests see it: records every message, menu and dialog, answers choosers and
// dialogs from scripts, and keeps a clock that only moves when told to.
class RecordingPlatform final : public PlatformServices
{
public:
    struct Message
    {
        QString text;
        QString caption;
        MessageIcon icon;
    };
    struct MenuItemState
    {
        QString objectName;
        QString text;
        bool enabled;
    };
    struct AlarmScript
    {
        qint16 result = AlarmTimeDialog::Confirmed;
        QDateTime value;
        // Runs while the dialog is "shown", e.g. to move the clock or run a nested tick.
        std::function<void()> whileShown;
    };
    struct AlarmDialogSeen
    {
        QString caption;
        QDateTime startValue;
    };

    RecordingPlatform();

    // Clock
    QDateTime now() const override { return m_now; }
    void setNow(const QDateTime &now) { m_now = now; }
    void advance(qint64 seconds) { m_now = m_now.addSecs(seconds); }

    void showMessage(const QString &text, const QString &caption, MessageIcon icon) override;
    QList<Message> messages;
    // Runs inside showMessage, as a modal message box would let events run.
    std::function<void(const Message &)> onMessage;

    int askQuestion(
        const QString &text, const QString &caption, const QStringList &buttons) override;
    QList<Message> questions;
    std::deque<int> questionAnswers;

    QString clipboardText() const override { return clipboard; }
    QString clipboard;

    std::optional<QString> chooseOpenFile(QWidget *parent) override;
    std::deque<std::optional<QString>> openFileAnswers;

    std::optional<FontChoice> chooseFont(QWidget *parent, const FontChoice &initial) override;
    std::deque<std::optional<FontChoice>> fontAnswers;
    QList<FontChoice> fontRequests;

    std::unique_ptr<AlarmTimeDialog> createAlarmTimeDialog() override;
    std::deque<AlarmScript> alarmScripts;
    QList<AlarmDialogSeen> alarmDialogs;
    bool failAlarmDialogCreation = false;

    // Records the menu's items as they were when it popped up, then triggers the scripted item
    // (matched by object name); an empty script closes the menu without a choice.
    QAction *popupMenu(QMenu &menu, const QPoint &globalPos) override;
    std::deque<QString> menuChoices;
    QList<QList<MenuItemState>> menusShown;
    bool menuItemEnabled(const QString &objectName) const;

    // Hands the dialog to the next script, which plays the user's part and returns the result.
    int runModal(QDialog &dialog) override;
    std::deque<std::function<int(QDialog &)>> dialogScripts;
    QStringList dialogsShown;

    bool showHelp(const QString &path) override;
    QStringList helpRequests;
    bool helpAvailable = true;

    bool openFolder(const QString &path) override;
    QStringList foldersOpened;

    bool isSystemTrayAvailable() const override { return trayAvailable; }
    bool trayAvailable = true;
    std::unique_ptr<TrayIcon> addTrayIcon(const QIcon &icon, const QString &tip) override;
    // The live tray icon, or nullptr once the program removed it.
    TrayIcon *tray() const { return m_tray; }
    QString trayTip;

    // Menus and dialogs count as open while their scripts run, so a quit requested from a
    // script waits for them, as it waits for the real ones; while the gate refuses, messages,
    // questions, menus and dialogs are neither shown nor recorded.
    DesktopNotifier &notifier() override { return desktop; }
    RecordingNotifier desktop;

    ModalGate &modals() override { return m_modals; }

private:
    ModalGate m_modals;
    QDateTime m_now;
    TrayIcon *m_tray = nullptr;
};
