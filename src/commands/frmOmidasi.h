#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class Twips;

// The tab-name dialog. The opener sets Omidasi, runs it modally and reads Ok and Omidasi.
// Only its two buttons end it (Enter means Ok, Esc means Cancel); the close box is refused.
class frmOmidasi final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmOmidasi)
public:
    explicit frmOmidasi(const Twips &twips);

    // The caption being edited, as typed.
    QString Omidasi() const;
    // Shown fully selected, so that typing replaces it.
    void setOmidasi(const QString &caption);
    // True only after Ok.
    bool Ok() const { return m_ok; }

    void accept() override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QLineEdit *m_txtOmidashi;
    QPushButton *m_cmdCancel;
    QPushButton *m_cmdOk;
    bool m_ok = false;
};
