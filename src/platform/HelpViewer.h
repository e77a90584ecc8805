#pragma once

#include <QWidget>

class QTextBrowser;

// The program's help window: shows an HTML or Markdown document (by its suffix) with its
// links followed inside the window, and opens it at the top. Not modal: the user keeps working.
class HelpViewer final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpViewer)
public:
    explicit HelpViewer(QWidget *parent = nullptr);

    // Loads the document and scrolls to its start; false when the file cannot be read,
    // leaving the window as it was.
    bool open(const QString &path);

private:
    QTextBrowser *const m_browser;
};
