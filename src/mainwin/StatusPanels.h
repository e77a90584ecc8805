#pragma once

#include <QStatusBar>

class QLabel;
class Twips;

// staMain: panel 1 shows the selected tab's creation date, panel 2 its alarm. A left press on
// a panel reports it clicked; other buttons do nothing.
class StatusPanels final : public QStatusBar
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusPanels)
public:
    explicit StatusPanels(QWidget *parent = nullptr);

    void setPanelWidths(const Twips &twips);
    QLabel *panel(int panel) const { return m_panels[panel - 1]; }
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString &text);

signals:
    void panelClicked(int panel, const QPoint &globalPos);

private:
    QLabel *m_panels[2];
};
