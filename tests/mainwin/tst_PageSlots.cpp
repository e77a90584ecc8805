#include "mainwin/ContentBox.h"
#include "mainwin/PageContent.h"
#include "mainwin/PageSlots.h"
#include "mainwin/TabPage.h"
#include "mainwin/TabStrip.h"
#include "mainwin/WindowOptions.h"
#include "persist/StoredEntry.h"

#include <QTest>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

struct Options final : WindowOptions
{
    ScrollType type = ScrollType::Vertical;
    ScrollType scrollType() const override { return type; }
    void ApplyScrlType(ScrollType) override { }
    bool MakeBackup() const override { return true; }
    void setMakeBackup(bool) override { }
};

using Fill = std::function<void(PageContent &)>;

QString answers(const PageContent &page)
{
    return u"%1 titles, #%2 chosen, entry %3, text %4"_s.arg(page.titleCount())
        .arg(page.selectedTitle())
        .arg(page.entry() ? u"kept"_s : u"none"_s, page.text());
}

} // namespace

Q_DECLARE_METATYPE(Fill)

class TestPageSlots : public QObject
{
    Q_OBJECT

private slots:
    // The records fill a draft as they fill a built page and read back the same; once built, the
    // page shows what its draft was given.
    void draft_answersAsABuiltPage_andHandsItOn_data()
    {
        QTest::addColumn<Fill>("fill");
        const auto entry = std::make_shared<const StoredEntry>(QByteArray("t\r\nline\r\nnext\r\n"));
        const auto titles = [](PageContent &page) {
            page.appendTitle(u"a"_s);
            page.appendTitle(u"b"_s);
        };
        QTest::newRow("empty") << Fill([](PageContent &) {});
        QTest::newRow("first title chosen by itself") << Fill(titles);
        QTest::newRow("second title chosen") << Fill([=](PageContent &page) {
            titles(page);
            page.selectTitle(1);
        });
        QTest::newRow("no title at that place") << Fill([=](PageContent &page) {
            titles(page);
            page.selectTitle(2);
        });
        QTest::newRow("text") << Fill([](PageContent &page) { page.setText(u"x\ny"_s); });
        QTest::newRow("entry") << Fill([=](PageContent &page) { page.setEntry(entry); });
        QTest::newRow("text after entry") << Fill([=](PageContent &page) {
            page.setEntry(entry);
            page.setText(u"typed"_s);
        });
        QTest::newRow("shown, in a font whose size 0 keeps the last")
            << Fill([](PageContent &page) {
                   page.setFont(u"Serif"_s, 12.5f);
                   page.setFont(u"Sans"_s, 0);
                   page.setVisible(true);
               });
    }
    void draft_answersAsABuiltPage_andHandsItOn()
    {
        QFETCH(Fill, fill);
        QWidget window;
        auto *strip = new TabStrip(&window);
        Options options;
        auto *pages = new PageSlots(*strip, options, window);
        pages->add();
        pages->setDrafting(true);
        pages->add();
        // The type the window switches to before a box is shown.
        options.type = ScrollType::None;
        fill(pages->content(0));
        fill(pages->content(1));
        const QString filled = answers(pages->content(0));
        QCOMPARE(answers(pages->content(1)), filled);

        const ContentBox *draftsBox = pages->page(1).txtCont();
        QCOMPARE(answers(pages->content(1)), filled);
        const ContentBox *builtBox = pages->page(0).txtCont();
        QCOMPARE(draftsBox->isHidden(), builtBox->isHidden());
        QCOMPARE(draftsBox->font(), builtBox->font());
        if (!builtBox->isHidden())
            QCOMPARE(builtBox->scrollType(), draftsBox->scrollType());
    }
};

QTEST_MAIN(TestPageSlots)
#include "tst_PageSlots.moc"
