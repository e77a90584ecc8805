#pragma once

#include "persist/ScrollType.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

// The options dialog: the scroll type as three option buttons, the backup flag and the start
// at login as check boxes. It knows nothing of the main window; Ok reports the choice through
// NotifyClients, and Cancel or the close box report nothing.
class frmOpt final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmOpt)
public:
    explicit frmOpt(QWidget *parent = nullptr);

    // The scroll type Ok reports when no option button is selected; stored as given.
    QString Scrl() const { return m_scrl; }
    void setScrl(const QString &newValue) { m_scrl = newValue; }
    bool Backup() const;
    void setBackup(bool value);
    bool Autostart() const;
    void setAutostart(bool checked);

    // Selects the option button of "N", "V" or "W"; false, selecting nothing, for any other.
    bool selectOption(const QString &type);

signals:
    void NotifyClients(const QString &scrollLetter, bool backup);

private:
    QRadioButton *optionOf(ScrollType type) const;
    void cmdOk_Click();

    QString m_scrl;
    QGroupBox *m_fraScrl;
    QRadioButton *m_optScrlN;
    QRadioButton *m_optScrlV;
    QRadioButton *m_optScrlW;
    QPushButton *m_cmdOk;
    QPushButton *m_cmdCancel;
    QCheckBox *m_chkBackup;
    QCheckBox *m_chkAutostart;
};
