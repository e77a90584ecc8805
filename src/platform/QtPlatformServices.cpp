#include "platform/QtPlatformServices.h"

#include "platform/DBusNotifier.h"
#include "platform/DateTimeDialog.h"
#include "platform/FontChooser.h"
#include "platform/HelpViewer.h"
#include "platform/QtTrayIcon.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QUrl>

namespace {

// An alarm must be seen while the main window is hidden in the tray, where the box is the
// program's only window: keep it on top, give it the focus, and let closing it not end the
// program.
void runOnTop(QMessageBox &box, ModalGate &modals)
{
    // Modality first: QMessageBox::setWindowModality resets the window flags.
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setAttribute(Qt::WA_QuitOnClose, false);
    box.show();
    box.raise();
    box.activateWindow();
    modals.exec(box);
}

} // namespace

QtPlatformServices::QtPlatformServices()
    : m_notifier(std::make_unique<DBusNotifier>(QDBusConnection::sessionBus()))
{ }

QtPlatformServices::~QtPlatformServices() = default;

QDateTime QtPlatformServices::now() const
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.addMSecs(-now.time().msec());
}

void QtPlatformServices::showMessage(const QString &text, const QString &caption, MessageIcon icon)
{
    if (!m_modals.admits())
        return;
    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
        caption, text, QMessageBox::Ok);
    runOnTop(box, m_modals);
}

int QtPlatformServices::askQuestion(
    const QString &text, const QString &caption, const QStringList &buttons)
{
    if (!m_modals.admits())
        return -1;
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::NoButton);
    QList<QAbstractButton *> choices;
    // One role for all keeps the buttons in the caller's order on every desktop's layout.
    for (const QString &label : buttons)
        choices.append(box.addButton(label, QMessageBox::ActionRole));
    runOnTop(box, m_modals);
    return static_cast<int>(choices.indexOf(box.clickedButton()));
}

QString QtPlatformServices::clipboardText() const
{
    return QGuiApplication::clipboard()->text();
}

std::optional<QString> QtPlatformServices::chooseOpenFile(QWidget *parent)
{
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (m_modals.exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<FontChoice> QtPlatformServices::chooseFont(QWidget *parent, const FontChoice &initial)
{
    FontChooser chooser(initial, parent);
    if (m_modals.exec(chooser) != QDialog::Accepted)
        return std::nullopt;
    return chooser.choice();
}

std::unique_ptr<AlarmTimeDialog> QtPlatformServices::createAlarmTimeDialog()
{
    return std::make_unique<DateTimeDialog>(m_modals);
}

QAction *QtPlatformServices::popupMenu(QMenu &menu, const QPoint &globalPos)
{
    return m_modals.exec(menu, globalPos);
}

int QtPlatformServices::runModal(QDialog &dialog)
{
    return m_modals.exec(dialog);
}

bool QtPlatformServices::showHelp(const QString &path)
{
    if (!m_helpViewer)
        m_helpViewer = std::make_unique<HelpViewer>();
    if (!m_helpViewer->open(path))
        return false;
    m_helpViewer->showNormal();
    m_helpViewer->raise();
    m_helpViewer->activateWindow();
    return true;
}

bool QtPlatformServices::openFolder(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool QtPlatformServices::isSystemTrayAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

std::unique_ptr<TrayIcon> QtPlatformServices::addTrayIcon(const QIcon &icon, const QString &tip)
{
    return std::make_unique<QtTrayIcon>(icon, tip);
}

DesktopNotifier &QtPlatformServices::notifier()
{
    return *m_notifier;
}
