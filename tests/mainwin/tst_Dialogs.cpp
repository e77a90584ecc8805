#include "MainWindowFixture.h"
#include "commands/frmOmidasi.h"
#include "commands/frmSort.h"
#include "commands/frmTitl.h"
#include "mainwin/Twips.h"
#include "options/frmCredit.h"
#include "options/frmOpt.h"
#include "platform/DateTimeDialog.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <functional>

using namespace Qt::StringLiterals;

using DialogFactory = std::function<std::unique_ptr<QDialog>(frmMain &)>;
Q_DECLARE_METATYPE(DialogFactory)

namespace {

// The room a push button's style leaves for its text.
int textRoomOf(const QPushButton &button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).width();
}

QString clippedControls(const QDialog &dialog)
{
    QStringList clipped;
    for (const QWidget *control : dialog.findChildren<QWidget *>()) {
        const QString name = QString::fromLatin1(control->metaObject()->className()) + u' '
            + control->objectName();
        const QSize has = control->size();
        if (!control->parentWidget()->rect().contains(control->geometry()))
            clipped.append(name + u" outside its parent"_s);
        if (const auto *button = qobject_cast<const QPushButton *>(control)) {
            const int text = button->fontMetrics().horizontalAdvance(button->text());
            if (textRoomOf(*button) < text || has.height() < button->sizeHint().height())
                clipped.append(button->text());
        } else if (qobject_cast<const QAbstractButton *>(control)
            || qobject_cast<const QLabel *>(control)) {
            const QSize needs = control->sizeHint();
            if (has.width() < needs.width() || has.height() < needs.height())
                clipped.append(name);
        } else if (const auto *box = qobject_cast<const QGroupBox *>(control)) {
            if (has.width() < box->minimumSizeHint().width())
                clipped.append(box->title());
        }
    }
    return clipped.join(u", "_s);
}

} // namespace

class TestDialogs final : public QObject
{
    Q_OBJECT

private slots:
    // A desktop set to a 12-point font, as many Japanese desktops are.
    void initTestCase()
    {
        QFont large = QApplication::font();
        large.setPointSize(12);
        QApplication::setFont(large);
        m_fixture.start();
    }

    void largeDesktopFont_noTextIsClippedAndOnlyCloseIsOffered_data()
    {
        QTest::addColumn<DialogFactory>("create");
        QTest::newRow("tab name") << DialogFactory(
            [](frmMain &main) { return std::make_unique<frmOmidasi>(Twips::of(main)); });
        QTest::newRow("titles") << DialogFactory([](frmMain &main) {
            return std::make_unique<frmTitl>(main.tabs(), main, main.platform(), Twips::of(main));
        });
        QTest::newRow("sort") << DialogFactory([](frmMain &main) {
            return std::make_unique<frmSort>(main.tabs(), main, main.platform());
        });
        QTest::newRow("options") << DialogFactory(
            [](frmMain &main) { return std::make_unique<frmOpt>(&main); });
        QTest::newRow("about") << DialogFactory(
            [](frmMain &main) { return std::make_unique<frmCredit>(&main); });
        QTest::newRow("alarm time") << DialogFactory([](frmMain &main) {
            return std::make_unique<DateTimeDialog>(main.platform().modals(), &main);
        });
    }

    void largeDesktopFont_noTextIsClippedAndOnlyCloseIsOffered()
    {
        QFETCH(DialogFactory, create);
        const std::unique_ptr<QDialog> dialog = create(*m_fixture.window);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));

        QCOMPARE(clippedControls(*dialog), QString());
        const Qt::WindowFlags flags = dialog->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testAnyFlags(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        // A window manager that offers minimising anyway gets the dialog straight back.
        dialog->setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(!dialog->isMinimized());
    }

    void smallDesktopFont_keepsTheDesignedSize()
    {
        const QFont large = QApplication::font();
        QFont small = large;
        small.setPointSize(5);
        QApplication::setFont(small);
        const frmOpt dialog(nullptr);
        QApplication::setFont(large);

        const Twips twips = Twips::of(dialog);
        QCOMPARE(dialog.size(), QSize(twips.xToPixels(5190), twips.yToPixels(3240)));
    }

private:
    MainWindowFixture m_fixture;
};

QTEST_MAIN(TestDialogs)
#include "tst_Dialogs.moc"
