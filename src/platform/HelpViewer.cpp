#include "platform/HelpViewer.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

HelpViewer::HelpViewer(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
{
    setWindowTitle(u"Nokuri ヘルプ"_s);
    // Closing help must never count as closing the program's last window.
    setAttribute(Qt::WA_QuitOnClose, false);
    m_browser->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(640, 480);
}

bool HelpViewer::open(const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable())
        return false;

    const QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    // setSource ignores the same document; reload so that an edited file shows its new text.
    if (m_browser->source() == url)
        m_browser->reload();
    else
        m_browser->setSource(url);
    return true;
}
