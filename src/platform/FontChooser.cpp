#include "platform/FontChooser.h"

#include "platform/DialogFit.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr float SmallestSize = 1;
constexpr float LargestSize = 999;

// Faces that draw Japanese come first, as a note is written in Japanese; the rest follow.
QStringList familiesJapaneseFirst()
{
    QStringList japanese, others;
    for (const QString &family : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        if (QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese))
            japanese.append(family);
        else
            others.append(family);
    }
    return japanese + others;
}

QStringList sizeSteps()
{
    QStringList steps;
    for (float size = 6; size <= 14; size += 0.5f)
        steps.append(QString::number(size));
    for (int size : {16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        steps.append(QString::number(size));
    return steps;
}

void selectText(QListWidget &list, const QString &text)
{
    const QList<QListWidgetItem *> found = list.findItems(text, Qt::MatchFixedString);
    if (found.isEmpty()) {
        list.clearSelection();
        return;
    }
    list.setCurrentItem(found.first());
    list.scrollToItem(found.first(), QAbstractItemView::PositionAtCenter);
}

} // namespace

FontChooser::FontChooser(const FontChoice &initial, QWidget *parent)
    : QDialog(parent)
    , m_storedName(initial.name)
    , m_families(new QListWidget(this))
    , m_size(new QLineEdit(this))
    , m_sizes(new QListWidget(this))
    , m_sample(new QLabel(u"あいうアイウ亜永 AaBb 123"_s, this))
{
    setObjectName(u"FontChooser"_s);
    setWindowTitle(u"フォント"_s);
    m_families->setObjectName(u"families"_s);
    m_size->setObjectName(u"size"_s);
    m_sizes->setObjectName(u"sizes"_s);
    useCloseButtonOnly(*this);

    const QStringList families = familiesJapaneseFirst();
    m_families->addItems(families);
    // A stored name that is not installed is drawn in the face the font matcher substitutes.
    m_shownFamily
        = families.contains(initial.name) ? initial.name : QFontInfo(QFont(initial.name)).family();
    m_sizes->addItems(sizeSteps());
    m_size->setText(initial.size > 0 ? QString::number(initial.size) : QString());

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(u"OK"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"キャンセル"_s);
    m_sample->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setMinimumHeight(m_sample->fontMetrics().height() * 4);

    auto *familyLabel = new QLabel(u"フォント名(&F):"_s, this);
    familyLabel->setBuddy(m_families);
    auto *sizeLabel = new QLabel(u"サイズ(&S):"_s, this);
    sizeLabel->setBuddy(m_size);
    auto *grid = new QGridLayout;
    grid->addWidget(familyLabel, 0, 0);
    grid->addWidget(sizeLabel, 0, 1);
    grid->addWidget(m_families, 1, 0, 2, 1);
    grid->addWidget(m_size, 1, 1);
    grid->addWidget(m_sizes, 2, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(new QLabel(u"サンプル"_s, this));
    layout->addWidget(m_sample);
    layout->addWidget(buttons);
    resize(m_sample->fontMetrics().horizontalAdvance(u'あ') * 30, sizeHint().height());

    connect(m_families, &QListWidget::currentTextChanged, this, &FontChooser::showSample);
    connect(m_sizes, &QListWidget::currentTextChanged, m_size, &QLineEdit::setText);
    connect(m_size, &QLineEdit::textChanged, this, [this](const QString &text) {
        const QSignalBlocker quiet(m_sizes);
        selectText(*m_sizes, text);
        showSample();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    selectText(*m_families, m_shownFamily);
    selectText(*m_sizes, m_size->text());
    showSample();
    m_size->selectAll();
    m_size->setFocus();
}

QString FontChooser::selectedFamily() const
{
    const QListWidgetItem *item = m_families->currentItem();
    return item ? item->text() : m_shownFamily;
}

QString FontChooser::sizeText() const
{
    return m_size->text();
}

std::optional<FontChoice> FontChooser::choice() const
{
    const std::optional<float> size = parseSize(m_size->text());
    if (!size)
        return std::nullopt;
    const QString family = selectedFamily();
    return FontChoice {family == m_shownFamily ? m_storedName : family, *size};
}

std::optional<float> FontChooser::parseSize(const QString &text)
{
    // Full-width digits are what a Japanese input method types by default.
    QString ascii = text.trimmed().normalized(QString::NormalizationForm_KC);
    ascii.replace(u',', u'.');
    bool ok = false;
    const float size = ascii.toFloat(&ok);
    if (!ok || !std::isfinite(size) || size < SmallestSize || size > LargestSize)
        return std::nullopt;
    return size;
}

void FontChooser::showSample()
{
    const std::optional<float> size = parseSize(m_size->text());
    m_ok->setEnabled(size.has_value());
    QFont font(selectedFamily());
    if (size)
        font.setPointSizeF(*size);
    m_sample->setFont(font);
}
