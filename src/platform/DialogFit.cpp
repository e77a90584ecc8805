#include "platform/DialogFit.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

// Some window managers (openbox among them) keep the minimise button whatever the hints say;
// a dialog minimised there comes straight back.
class MinimiseRefusal final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *dialog = qobject_cast<QWidget *>(watched);
        if (dialog && event->type() == QEvent::WindowStateChange && dialog->isMinimized())
            QTimer::singleShot(0, dialog,
                [dialog] { dialog->setWindowState(dialog->windowState() & ~Qt::WindowMinimized); });
        return false;
    }
};

// A push button's size hint has a floor of the style's (80 pixels in Fusion) that the designed
// buttons are narrower than without clipping anything; the style is asked for the frame around
// the text alone.
QSize textSizeOf(const QPushButton &button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    const QSize text = button.fontMetrics().size(Qt::TextShowMnemonic, button.text());
    return button.style()->sizeFromContents(QStyle::CT_PushButton, &option, text, &button);
}

// What a control needs to show its text in full; 0 where it has no such need.
QSize neededSize(const QWidget &widget)
{
    if (const auto *button = qobject_cast<const QPushButton *>(&widget))
        return textSizeOf(*button);
    if (qobject_cast<const QAbstractButton *>(&widget) || qobject_cast<const QLabel *>(&widget))
        return widget.sizeHint();
    if (const auto *box = qobject_cast<const QGroupBox *>(&widget))
        return {box->minimumSizeHint().width(), 0};
    if (qobject_cast<const QLineEdit *>(&widget))
        return {0, widget.sizeHint().height()};
    return {};
}

double ratio(int needed, int has)
{
    return has > 0 ? static_cast<double>(needed) / has : 1.0;
}

} // namespace

void useCloseButtonOnly(QWidget &dialog)
{
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog.installEventFilter(new MinimiseRefusal(&dialog));
}

void growToFitTexts(QWidget &dialog)
{
    const QList<QWidget *> controls = dialog.findChildren<QWidget *>();
    double growX = 1, growY = 1;
    for (const QWidget *control : controls) {
        const QSize needed = neededSize(*control);
        growX = std::max(growX, ratio(needed.width(), control->width()));
        growY = std::max(growY, ratio(needed.height(), control->height()));
    }
    if (growX == 1 && growY == 1)
        return;
    const auto scaled
        = [](int length, double grow) { return static_cast<int>(std::ceil(length * grow)); };
    for (QWidget *control : controls) {
        const QRect r = control->geometry();
        control->setGeometry(static_cast<int>(std::lround(r.x() * growX)),
            static_cast<int>(std::lround(r.y() * growY)), scaled(r.width(), growX),
            scaled(r.height(), growY));
    }
    dialog.setFixedSize(scaled(dialog.width(), growX), scaled(dialog.height(), growY));
}
