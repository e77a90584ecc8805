#pragma once

#include "platform/ModalGate.h"
#include "platform/PlatformServices.h"

class DBusNotifier;
class HelpViewer;

// The platform services the program runs with: Qt's message boxes, choosers, clipboard, tray
// and clock, and notifications on the session bus. Create it after the QApplication and destroy it
// before, as it owns a window.
class QtPlatformServices final : public PlatformServices
{
public:
    QtPlatformServices();
    ~QtPlatformServices() override;

    // Whole seconds: the program compares and stores times to the second.
    QDateTime now() const override;

    // Message and question boxes stay on top and take the focus, so that an alarm is seen
    // while the window is in the tray.
    void showMessage(const QString &text, const QString &caption, MessageIcon icon) override;
    // The buttons appear in the given order. The box offers no close button or Escape: with
    // several buttons the user must pick one, so -1 comes back only for an empty list, or when
    // a quit cancelled the box.
    int askQuestion(
        const QString &text, const QString &caption, const QStringList &buttons) override;
    QString clipboardText() const override;
    std::optional<QString> chooseOpenFile(QWidget *parent) override;
    std::optional<FontChoice> chooseFont(QWidget *parent, const FontChoice &initial) override;
    std::unique_ptr<AlarmTimeDialog> createAlarmTimeDialog() override;
    QAction *popupMenu(QMenu &menu, const QPoint &globalPos) override;
    int runModal(QDialog &dialog) override;
    // One help window, reused and brought to the front on every call.
    bool showHelp(const QString &path) override;
    bool openFolder(const QString &path) override;
    bool isSystemTrayAvailable() const override;
    std::unique_ptr<TrayIcon> addTrayIcon(const QIcon &icon, const QString &tip) override;
    DesktopNotifier &notifier() override;
    ModalGate &modals() override { return m_modals; }

private:
    ModalGate m_modals;
    std::unique_ptr<HelpViewer> m_helpViewer;
    std::unique_ptr<DBusNotifier> m_notifier;
};
