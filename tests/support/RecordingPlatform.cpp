#include "RecordingPlatform.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QPointer>

namespace {

class ScriptedAlarmDialog final : public AlarmTimeDialog
{
public:
    ScriptedAlarmDialog(
        RecordingPlatform::AlarmScript script, QList<RecordingPlatform::AlarmDialogSeen> &seen)
        : m_script(std::move(script))
        , m_seen(seen)
    { }
    void setCaption(const QString &caption) override { m_caption = caption; }
    void setValue(const QDateTime &value) override { m_value = value; }
    QDateTime value() const override { return m_value; }
    void show() override
    {
        m_seen.append({m_caption, m_value});
        if (m_script.whileShown)
            m_script.whileShown();
        m_result = m_script.result;
        if (m_result == Confirmed && m_script.value.isValid())
            m_value = m_script.value;
    }
    qint16 result() const override { return m_result; }

private:
    RecordingPlatform::AlarmScript m_script;
    QList<RecordingPlatform::AlarmDialogSeen> &m_seen;
    QString m_caption;
    QDateTime m_value;
    qint16 m_result = 0;
};

// Reports its own removal to the platform, as the real tray icon disappears with its object.
class RecordedTrayIcon final : public TrayIcon
{
public:
    explicit RecordedTrayIcon(TrayIcon *&live)
        : m_live(live)
    {
        m_live = this;
    }
    ~RecordedTrayIcon() override { m_live = nullptr; }

private:
    TrayIcon *&m_live;
};

} // namespace

RecordingPlatform::RecordingPlatform()
    : m_now(QDate(2026, 12, 7), QTime(12, 0, 0))
{ }

void RecordingPlatform::showMessage(const QString &text, const QString &caption, MessageIcon icon)
{
    if (!m_modals.admits())
        return;
    const Message message {text, caption, icon};
    messages.append(message);
    if (onMessage)
        onMessage(message);
}

int RecordingPlatform::askQuestion(const QString &text, const QString &caption, const QStringList &)
{
    if (!m_modals.admits())
        return -1;
    questions.append({text, caption, MessageIcon::None});
    if (questionAnswers.empty())
        return -1;
    const int answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
}

std::optional<QString> RecordingPlatform::chooseOpenFile(QWidget *)
{
    if (openFileAnswers.empty())
        return std::nullopt;
    auto answer = openFileAnswers.front();
    openFileAnswers.pop_front();
    return answer;
}

std::optional<FontChoice> RecordingPlatform::chooseFont(QWidget *, const FontChoice &initial)
{
    fontRequests.append(initial);
    if (fontAnswers.empty())
        return std::nullopt;
    auto answer = fontAnswers.front();
    fontAnswers.pop_front();
    return answer;
}

std::unique_ptr<AlarmTimeDialog> RecordingPlatform::createAlarmTimeDialog()
{
    if (failAlarmDialogCreation)
        return nullptr;
    AlarmScript script;
    script.result = 0;
    if (!alarmScripts.empty()) {
        script = alarmScripts.front();
        alarmScripts.pop_front();
    }
    return std::make_unique<ScriptedAlarmDialog>(std::move(script), alarmDialogs);
}

QAction *RecordingPlatform::popupMenu(QMenu &menu, const QPoint &)
{
    if (!m_modals.admits())
        return nullptr;
    QList<MenuItemState> items;
    QList<QAction *> all;
    const std::function<void(QMenu &)> collect = [&](QMenu &m) {
        for (QAction *action : m.actions()) {
            if (action->isSeparator())
                continue;
            all.append(action);
            items.append({action->objectName(), action->text(), action->isEnabled()});
            if (action->menu())
                collect(*action->menu());
        }
    };
    collect(menu);
    menusShown.append(items);

    if (menuChoices.empty())
        return nullptr;
    const ModalGate::Open open(m_modals, menu);
    const QString choice = menuChoices.front();
    menuChoices.pop_front();
    for (QAction *action : all) {
        if (action->objectName() == choice && action->isEnabled() && !action->menu()) {
            action->trigger();
            return action;
        }
    }
    return nullptr;
}

bool RecordingPlatform::menuItemEnabled(const QString &objectName) const
{
    if (menusShown.isEmpty())
        throw std::logic_error("no menu was shown");
    for (const auto &item : menusShown.last()) {
        if (item.objectName == objectName)
            return item.enabled;
    }
    throw std::logic_error("menu item not found: " + objectName.toStdString());
}

int RecordingPlatform::runModal(QDialog &dialog)
{
    if (!m_modals.admits())
        return QDialog::Rejected;
    dialogsShown.append(dialog.windowTitle());
    const ModalGate::Open open(m_modals, dialog);
    if (dialogScripts.empty())
        throw std::logic_error("no script for dialog: " + dialog.windowTitle().toStdString());
    auto script = dialogScripts.front();
    dialogScripts.pop_front();
    return script(dialog);
}

bool RecordingPlatform::showHelp(const QString &path)
{
    helpRequests.append(path);
    return helpAvailable;
}

bool RecordingPlatform::openFolder(const QString &path)
{
    foldersOpened.append(path);
    return true;
}

std::unique_ptr<TrayIcon> RecordingPlatform::addTrayIcon(const QIcon &, const QString &tip)
{
    trayTip = tip;
    return std::make_unique<RecordedTrayIcon>(m_tray);
}
