#include "commands/frmSort.h"

#include "commands/SortNumber.h"
#include "commands/TabSort.h"
#include "mainwin/TabWindow.h"
#include "mainwin/Twips.h"
#include "platform/DialogFit.h"
#include "platform/PlatformServices.h"
#include "store/TabSet.h"
#include "store/clsTabCont.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int RowsPerColumn = 15;

// Rows in use take the window background of a text box, unused ones the face of a button.
void paintRow(QWidget *widget, bool inUse)
{
    const QPalette::ColorRole role = inUse ? QPalette::Base : QPalette::Button;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, palette.color(role));
    palette.setColor(QPalette::Window, palette.color(role));
    widget->setPalette(palette);
}

} // namespace

frmSort::frmSort(TabSet &tabs, TabWindow &window, PlatformServices &platform)
    : QDialog(&window.widget())
    , m_tabs(tabs)
    , m_window(window)
    , m_platform(platform)
{
    setWindowTitle(QStringLiteral("手動でソート"));
    useCloseButtonOnly(*this);
    const Twips twips = Twips::of(window.widget());
    setFixedSize(twips.xToPixels(7110), twips.yToPixels(6630));

    for (int r = 0; r < Rows; ++r) {
        const bool left = r < RowsPerColumn;
        const int top = 240 + 360 * (r % RowsPerColumn);
        auto *label = new QLabel(QStringLiteral("%1.").arg(r + 1), this);
        label->setObjectName(QStringLiteral("Label%1").arg(r + 1));
        label->setGeometry(twips.toPixels({left ? 120 : 3480, top, 375, 255}));

        auto *number = new QLineEdit(this);
        number->setObjectName(QStringLiteral("txtNo"));
        number->setGeometry(twips.toPixels({left ? 600 : 3960, top, 615, 270}));
        m_txtNo.at(static_cast<size_t>(r)) = number;

        auto *caption = new QLabel(this);
        caption->setObjectName(QStringLiteral("lblTitle"));
        caption->setAutoFillBackground(true);
        caption->setGeometry(twips.toPixels({left ? 1320 : 4680, top, 1815, 270}));
        m_lblTitle.at(static_cast<size_t>(r)) = caption;
    }

    // Created after the rows, so Tab leads through the numbers first.
    auto *cmdSort = new QPushButton(QStringLiteral("Sort"), this);
    cmdSort->setObjectName(QStringLiteral("cmdSort"));
    cmdSort->setGeometry(twips.toPixels({4200, 5880, 855, 375}));
    auto *cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(twips.toPixels({5400, 5880, 855, 375}));
    // Before the captions are filled in: a long caption is cut off, not a reason to grow.
    growToFitTexts(*this);

    connect(cmdSort, &QPushButton::clicked, this, &frmSort::cmdSort_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);

    Form_Load();
}

void frmSort::Form_Load()
{
    const int count = m_tabs.count();
    for (int r = 0; r < Rows; ++r) {
        const bool inUse = r < count;
        QLineEdit *number = txtNo(r);
        QLabel *caption = lblTitle(r);
        number->setEnabled(inUse);
        number->setText(inUse ? QString::number((r + 1) * 100) : QString());
        caption->setText(inUse ? m_tabs[r].Omidasi() : QString());
        paintRow(number, inUse);
        paintRow(caption, inUse);
    }
}

void frmSort::cmdSort_Click()
{
    const int count = m_tabs.count();
    std::vector<SortKey> keys;
    keys.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::optional<qint16> number = parseSortNumber(txtNo(i)->text());
        if (!number) {
            refuseRow(i);
            return;
        }
        keys.push_back({*number, static_cast<qint16>(i)});
    }
    m_tabs.SortKeys = std::move(keys);
    SortUp(m_tabs, m_window);
    emit sorted();
    close();
}

void frmSort::refuseRow(int row)
{
    m_platform.showMessage(QStringLiteral("%1. の番号が正しくありません。\n"
                                          "-32768 から 32767 までの整数を入力してください。")
                               .arg(row + 1),
        windowTitle(), MessageIcon::Critical);
    txtNo(row)->setFocus();
    txtNo(row)->selectAll();
}
