#include "platform/QtPlatformServices.h"

#include "platform/DateTimeDialog.h"
#include "platform/HelpViewer.h"
#include "platform/QtTrayIcon.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>

namespace {

// An alarm must be seen while the main window is hidden in the tray, where the box is the
// program's only window: keep it on top, give it the focus, and let closing it not end the
// program.
void runOnTop(QMessageBox &box)
{
    // Modality first: QMessageBox::setWindowModality resets the window flags.
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setAttribute(Qt::WA_QuitOnClose, false);
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
}

} // namespace

QtPlatformServices::QtPlatformServices() = default;

QtPlatformServices::~QtPlatformServices() = default;

QDateTime QtPlatformServices::now() const
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.addMSecs(-now.time().msec());
}

void QtPlatformServices::showMessage(const QString &text, const QString &caption, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
        caption, text, QMessageBox::Ok);
    runOnTop(box);
}

int QtPlatformServices::askQuestion(
    const QString &text, const QString &caption, const QStringList &buttons)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::NoButton);
    QList<QAbstractButton *> choices;
    // One role for all keeps the buttons in the caller's order on every desktop's layout.
    for (const QString &label : buttons)
        choices.append(box.addButton(label, QMessageBox::ActionRole));
    runOnTop(box);
    return static_cast<int>(choices.indexOf(box.clickedButton()));
}

QString QtPlatformServices::clipboardText() const
{
    return QGuiApplication::clipboard()->text();
}

std::optional<QString> QtPlatformServices::chooseOpenFile(QWidget *parent)
{
    const QString path = QFileDialog::getOpenFileName(parent);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<FontChoice> QtPlatformServices::chooseFont(QWidget *parent, const FontChoice &initial)
{
    QFont start(initial.name);
    if (initial.size > 0)
        start.setPointSizeF(initial.size);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, start, parent);
    if (!ok)
        return std::nullopt;
    return FontChoice {chosen.family(), static_cast<float>(chosen.pointSizeF())};
}

std::unique_ptr<AlarmTimeDialog> QtPlatformServices::createAlarmTimeDialog()
{
    return std::make_unique<DateTimeDialog>();
}

QAction *QtPlatformServices::popupMenu(QMenu &menu, const QPoint &globalPos)
{
    return menu.exec(globalPos);
}

int QtPlatformServices::runModal(QDialog &dialog)
{
    return dialog.exec();
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

bool QtPlatformServices::isSystemTrayAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

std::unique_ptr<TrayIcon> QtPlatformServices::addTrayIcon(const QIcon &icon, const QString &tip)
{
    return std::make_unique<QtTrayIcon>(icon, tip);
}
