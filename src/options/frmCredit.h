#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about box: the program's icon, name and version, the copyright, the licence and where
// to report problems. Every text is fixed; "Ok" closes it.
class frmCredit final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmCredit)
public:
    explicit frmCredit(QWidget *parent = nullptr);

private:
    QLabel *const m_image1;
    QLabel *const m_label1;
    QLabel *const m_label2;
    QLabel *const m_label3;
    QLabel *const m_label4;
    QLabel *const m_label5;
    QPushButton *const m_cmdOk;
};
