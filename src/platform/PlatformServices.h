#pragma once

#include "platform/Clock.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class AlarmTimeDialog;
class DesktopNotifier;
class ModalGate;
class QAction;
class QDialog;
class QIcon;
class QMenu;
class QPoint;
class QWidget;
class TrayIcon;

enum class MessageIcon { None, Critical };

struct FontChoice
{
    QString name;
    float size = 0;
};

// Everything that is modal or outside the program: message boxes, choosers, the clipboard,
// pop-up menus, dialogs run modally, the tray, the help viewer, desktop notifications, the
// file manager and the clock.
// The program uses QtPlatformServices; tests use a recording fake, so nothing blocks them.
class PlatformServices : public Clock
{
public:
    // A modal message box with an OK button.
    virtual void showMessage(const QString &text, const QString &caption, MessageIcon icon) = 0;

    // A modal question with the given buttons; returns the index of the button chosen, or -1
    // when the box was closed without a choice.
    virtual int askQuestion(const QString &text, const QString &caption, const QStringList &buttons)
        = 0;

    // The clipboard's plain text; empty when it holds no text.
    virtual QString clipboardText() const = 0;

    // Full path of an existing file the user chose, or nothing when cancelled.
    virtual std::optional<QString> chooseOpenFile(QWidget *parent) = 0;

    // The font the user chose starting from the given one, or nothing when cancelled.
    virtual std::optional<FontChoice> chooseFont(QWidget *parent, const FontChoice &initial) = 0;

    // A new alarm-time dialog, or none when it cannot be created.
    virtual std::unique_ptr<AlarmTimeDialog> createAlarmTimeDialog() = 0;

    // Shows the menu at the position and returns when it has closed; the chosen action has
    // been triggered by then. Returns the chosen action or nullptr.
    virtual QAction *popupMenu(QMenu &menu, const QPoint &globalPos) = 0;

    // Runs the dialog modally and returns its result code.
    virtual int runModal(QDialog &dialog) = 0;

    // Opens the help document at its contents; false when it cannot be shown.
    virtual bool showHelp(const QString &path) = 0;

    // Shows the folder in the desktop's file manager; false when none could be started.
    virtual bool openFolder(const QString &path) = 0;

    virtual bool isSystemTrayAvailable() const = 0;

    // Adds the tray icon; it is removed when the returned object is destroyed.
    virtual std::unique_ptr<TrayIcon> addTrayIcon(const QIcon &icon, const QString &tip) = 0;

    virtual DesktopNotifier &notifier() = 0;

    // Every modal call above runs through it; while it refuses, each gives its cancelled answer
    // (no button, nothing chosen, Rejected) without showing anything.
    virtual ModalGate &modals() = 0;
};
