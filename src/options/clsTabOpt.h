#pragma once

#include <QObject>
#include <QString>
#include <memory>

class PlatformServices;
class frmOpt;

// Holds the two options while the options dialog is open: fills the dialog, shows it and
// takes the user's choice from its NotifyClients. Lives for one run of the options command.
class clsTabOpt final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(clsTabOpt)
public:
    explicit clsTabOpt(PlatformServices &platform);
    ~clsTabOpt() override;

    // Returns when the dialog has closed. A scroll type other than "N", "V" and "W" is
    // reported first and shown as "V", but kept unless the user confirms.
    void ShowForm(const QString &newScrl, bool newBackup);
    // What ShowForm was given, or what the dialog's Ok reported.
    QString Scrl() const { return m_scrl; }
    bool Backup() const { return m_backup; }

private:
    void mForm_NotifyClients(const QString &scrollLetter, bool backup);

    PlatformServices &m_platform;
    QString m_scrl;
    bool m_backup = false;
    // The dialog has no owner window, so the controller keeps it alive.
    std::unique_ptr<frmOpt> mForm;
};
