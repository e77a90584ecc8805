#include "platform/FontChooser.h"

#include "mainwin/FontSubstitutes.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class TestFontChooser final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutes(); }

    void opensOnTheTabsFontAndKeepsTheStoredName_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<float>("size");
        QTest::addColumn<QString>("shownFamily");
        QTest::addColumn<QString>("shownSize");
        QTest::newRow("Windows mincho at a half size")
            << u"ＭＳ 明朝"_s << 10.5f << u"Noto Serif CJK JP"_s << u"10.5"_s;
        QTest::newRow("Windows gothic")
            << u"ＭＳ ゴシック"_s << 9.0f << u"Noto Sans Mono CJK JP"_s << u"9"_s;
        QTest::newRow("installed face at a tenth")
            << u"Noto Sans CJK JP"_s << 10.8f << u"Noto Sans CJK JP"_s << u"10.8"_s;
    }

    void opensOnTheTabsFontAndKeepsTheStoredName()
    {
        QFETCH(QString, stored);
        QFETCH(float, size);
        QFETCH(QString, shownFamily);
        QFETCH(QString, shownSize);
        const FontChooser chooser({stored, size});

        QCOMPARE(chooser.selectedFamily(), shownFamily);
        QCOMPARE(chooser.sizeText(), shownSize);
        const std::optional<FontChoice> choice = chooser.choice();
        QVERIFY(choice.has_value());
        QCOMPARE(choice->name, stored);
        QCOMPARE(choice->size, size);
    }

    void pickingAnotherFaceAndSize_givesThem()
    {
        FontChooser chooser({u"ＭＳ 明朝"_s, 10.5f});
        auto *families = chooser.findChild<QListWidget *>(u"families"_s);
        auto *sizes = chooser.findChild<QListWidget *>(u"sizes"_s);
        families->setCurrentItem(families->findItems(u"DejaVu Sans"_s, Qt::MatchExactly).value(0));
        sizes->setCurrentItem(sizes->findItems(u"9.5"_s, Qt::MatchExactly).value(0));

        const std::optional<FontChoice> choice = chooser.choice();
        QVERIFY(choice.has_value());
        QCOMPARE(choice->name, u"DejaVu Sans"_s);
        QCOMPARE(choice->size, 9.5f);
    }

    void familyList_putsJapaneseFacesFirst()
    {
        const FontChooser chooser({u"ＭＳ ゴシック"_s, 10});
        const auto *families = chooser.findChild<QListWidget *>(u"families"_s);
        const auto rendersJapanese = [&](int row) {
            return QFontDatabase::writingSystems(families->item(row)->text())
                .contains(QFontDatabase::Japanese);
        };
        QVERIFY(families->count() > 1);
        QVERIFY(rendersJapanese(0));
        QVERIFY(!rendersJapanese(families->count() - 1));
    }

    void typedSizeThatIsNoSize_disablesOk()
    {
        FontChooser chooser({u"ＭＳ ゴシック"_s, 10});
        QPushButton *ok = chooser.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        auto *size = chooser.findChild<QLineEdit *>(u"size"_s);
        size->selectAll();
        QTest::keyClicks(size, u"abc"_s);
        QVERIFY(!ok->isEnabled());
        QVERIFY(!chooser.choice().has_value());
        size->selectAll();
        QTest::keyClicks(size, u"10.5"_s);
        QVERIFY(ok->isEnabled());
        QCOMPARE(chooser.choice()->size, 10.5f);
    }

    void parseSize_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<float>("expected");
        QTest::newRow("whole") << u"9"_s << 9.0f;
        QTest::newRow("half") << u"10.5"_s << 10.5f;
        QTest::newRow("tenth") << u"10.8"_s << 10.8f;
        QTest::newRow("full-width") << u"１０．５"_s << 10.5f;
        QTest::newRow("decimal comma") << u"10,5"_s << 10.5f;
        QTest::newRow("blanks around") << u" 12 "_s << 12.0f;
        QTest::newRow("empty") << QString() << 0.0f;
        QTest::newRow("letters") << u"abc"_s << 0.0f;
        QTest::newRow("zero") << u"0"_s << 0.0f;
        QTest::newRow("negative") << u"-3"_s << 0.0f;
        QTest::newRow("huge") << u"1e9"_s << 0.0f;
    }

    void parseSize()
    {
        QFETCH(QString, typed);
        QFETCH(float, expected);
        QCOMPARE(FontChooser::parseSize(typed).value_or(0.0f), expected);
    }
};

QTEST_MAIN(TestFontChooser)
#include "tst_FontChooser.moc"
