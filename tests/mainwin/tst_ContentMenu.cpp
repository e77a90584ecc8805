#include "MainWindowFixture.h"
#include "mainwin/ContentMenu.h"
#include "mainwin/FontSubstitutes.h"
#include "persist/NoteCodec.h"
#include "platform/QtPlatformServices.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QMimeData>

using namespace Qt::StringLiterals;

namespace {

const QDateTime NewYearsEve(QDate(1999, 12, 31), QTime(23, 5, 30));

void rightPress(MainWindowFixture &f, int tab)
{
    QTest::mousePress(f.box(tab)->viewport(), Qt::RightButton, {}, QPoint(5, 5));
}

// The user right-clicks the box of the selected tab and picks the item.
void choose(MainWindowFixture &f, const QString &item)
{
    f.platform.menuChoices.push_back(item);
    rightPress(f, f.window->selectedTab());
}

void showText(MainWindowFixture &f, const QString &text)
{
    f.record(0).ChgCont(0, text);
    f.record(0).DispCont(0);
}

void select(ContentBox *box, int from, int to)
{
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}

// The program reads the clipboard through the platform, the box writes and pastes through Qt's.
void setClipboard(MainWindowFixture &f, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    f.platform.clipboard = text;
}

struct LocaleGuard
{
    explicit LocaleGuard(const QLocale &locale) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(QLocale::system()); }
};

} // namespace

class TestContentMenu : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutes(); }

    void rightPressOnly_showsTheItemsInOrderAndFocusesTheBox()
    {
        MainWindowFixture f;
        f.start();
        f.titles(0)->setFocus();
        QTest::mousePress(f.box(0)->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(f.platform.menusShown.isEmpty());
        f.titles(0)->setFocus();
        rightPress(f, 0);
        QCOMPARE(f.platform.menusShown.size(), 1);
        QStringList shown;
        for (const auto &item : f.platform.menusShown[0])
            shown << item.objectName + u' ' + item.text;
        QCOMPARE(shown,
            QStringList({u"mnuContFont フォント(&F)"_s, u"mnuContDflt デフォルト設定(&S)"_s,
                u"mnuContCut 切り取り(&T)"_s, u"mnuContCopy コピー(&C)"_s,
                u"mnuContPast 貼り付け(&P)"_s, u"mnuContDel 削除(&D)"_s,
                u"mnuContUndo 元に戻す(&U)"_s, u"mnuContTmin 日時挿入"_s}));
        QCOMPARE(QApplication::focusWidget(), f.box(0));
    }

    void rightPress_enablesBySelectionAndClipboard_data()
    {
        QTest::addColumn<bool>("selection");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("caret only, text to paste") << false << u"x"_s;
        QTest::newRow("selection, text to paste") << true << u"x"_s;
        QTest::newRow("selection, empty clipboard") << true << QString();
    }
    void rightPress_enablesBySelectionAndClipboard()
    {
        QFETCH(bool, selection);
        QFETCH(QString, clipboard);
        MainWindowFixture f;
        f.start();
        showText(f, u"abcd"_s);
        select(f.box(0), 1, selection ? 3 : 1);
        f.platform.clipboard = clipboard;
        rightPress(f, 0);
        for (const char *item : {"mnuContCut", "mnuContCopy", "mnuContDel"})
            QCOMPARE(f.platform.menuItemEnabled(QString::fromLatin1(item)), selection);
        QCOMPARE(f.platform.menuItemEnabled(u"mnuContPast"_s), !clipboard.isEmpty());
        for (const char *item : {"mnuContFont", "mnuContDflt", "mnuContUndo", "mnuContTmin"})
            QVERIFY(f.platform.menuItemEnabled(QString::fromLatin1(item)));
    }

    void pictureOnlyClipboard_disablesPaste()
    {
        MainWindowFixture f;
        f.start();
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QGuiApplication::clipboard()->setImage(picture);
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasImage());
        f.platform.clipboard = QtPlatformServices().clipboardText();
        rightPress(f, 0);
        QVERIFY(!f.platform.menuItemEnabled(u"mnuContPast"_s));
    }

    void editing_changesTheBoxUntilTheNextSave_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("cut") << u"mnuContCut"_s << u"ad"_s << u"b\nc"_s;
        QTest::newRow("copy") << u"mnuContCopy"_s << u"ab\ncd"_s << u"b\nc"_s;
        QTest::newRow("paste") << u"mnuContPast"_s << u"aXYd"_s << u"XY"_s;
        QTest::newRow("delete") << u"mnuContDel"_s << u"ad"_s << u"XY"_s;
    }
    void editing_changesTheBoxUntilTheNextSave()
    {
        QFETCH(QString, item);
        QFETCH(QString, text);
        QFETCH(QString, clipboard);
        MainWindowFixture f;
        f.start();
        showText(f, u"ab\r\ncd"_s);
        setClipboard(f, u"XY"_s);
        select(f.box(0), 1, 4);
        choose(f, item);
        QCOMPARE(f.box(0)->text(), text);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        QCOMPARE(f.record(0).Cont(0), u"ab\r\ncd"_s);
        QVERIFY(f.window->SaveAll());
        QCOMPARE(f.record(0).Cont(0), QString(text).replace(u'\n', u"\r\n"_s));
    }

    void tooLongEntry_isShownReadOnlyAndKeptByteForByte_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("typing") << QString();
        QTest::newRow("cut") << u"mnuContCut"_s;
        QTest::newRow("paste") << u"mnuContPast"_s;
        QTest::newRow("delete") << u"mnuContDel"_s;
        QTest::newRow("date and time") << u"mnuContTmin"_s;
    }
    void tooLongEntry_isShownReadOnlyAndKeptByteForByte()
    {
        QFETCH(QString, item);
        MainWindowFixture f;
        QString content;
        for (int line = 0; content.size() <= 2 * ContentBox::EditableChars; ++line)
            content += u"\r\n%1行目の付箋です"_s.arg(line);
        const QByteArray bytes = encodeNoteText(u"長い\r\n"_s + content + u"\r\n"_s);
        QFile file(f.dir.filePath(u"Tab1A.tab"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        f.start();
        ContentBox *box = f.box(0);
        QVERIFY(box->isReadOnly());
        QVERIFY(box->toPlainText().contains(u"0行目の付箋です\n1行目"_s));
        const QString preview = box->toPlainText();
        QVERIFY(preview.size() < ContentBox::EditableChars);

        setClipboard(f, u"XY"_s);
        select(box, 0, 40);
        if (item.isEmpty())
            f.typeInto(0, u"x\n"_s);
        else
            choose(f, item);
        QCOMPARE(box->toPlainText(), preview);
        QVERIFY(f.window->SaveAll());
        QCOMPARE(f.record(0).Cont(0), content);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == bytes);
    }

    void undo_takesBackTheLastEdit()
    {
        MainWindowFixture f;
        f.start();
        showText(f, u"abcd"_s);
        select(f.box(0), 1, 3);
        choose(f, u"mnuContCut"_s);
        QCOMPARE(f.box(0)->text(), u"ad"_s);
        choose(f, u"mnuContUndo"_s);
        QCOMPARE(f.box(0)->text(), u"abcd"_s);
    }

    void dateTime_replacesTheSelection()
    {
        const LocaleGuard japanese(QLocale(QLocale::Japanese, QLocale::Japan));
        MainWindowFixture f;
        f.platform.setNow(NewYearsEve);
        f.start();
        showText(f, u"abcd"_s);
        select(f.box(0), 1, 3);
        choose(f, u"mnuContTmin"_s);
        QCOMPARE(f.box(0)->text(), u"a1999年12月31日 11:05 PMd"_s);
    }

    void dateTimeStamp_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("stamp");
        const QLocale ja(QLocale::Japanese, QLocale::Japan);
        const QDate day(1999, 12, 31);
        QTest::newRow("ja evening") << ja << NewYearsEve << u"1999年12月31日 11:05 PM"_s;
        QTest::newRow("ja midnight")
            << ja << QDateTime(day, QTime(0, 0)) << u"1999年12月31日 12:00 AM"_s;
        QTest::newRow("ja noon") << ja << QDateTime(day, QTime(12, 0))
                                 << u"1999年12月31日 12:00 PM"_s;
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << NewYearsEve
                               << u"December 31, 1999 11:05 PM"_s;
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << NewYearsEve
                               << u"31. Dezember 1999 11:05 PM"_s;
    }
    void dateTimeStamp()
    {
        QFETCH(QLocale, locale);
        QFETCH(QDateTime, when);
        QFETCH(QString, stamp);
        QCOMPARE(::dateTimeStamp(when, locale), stamp);
    }

    void dateTimeStamp_namesNoWeekdayInAnyLocale()
    {
        const auto locales = QLocale::matchingLocales(
            QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
        for (const QLocale &locale : locales) {
            const QString stamp = ::dateTimeStamp(NewYearsEve, locale);
            const QString weekday = locale.dayName(NewYearsEve.date().dayOfWeek());
            QVERIFY2(!stamp.contains(weekday), qPrintable(locale.name() + u": "_s + stamp));
            QVERIFY2(stamp.contains(locale.toString(NewYearsEve.date(), u"d"_s)),
                qPrintable(locale.name() + u": "_s + stamp));
            QVERIFY2(stamp.endsWith(u" 11:05 PM"_s), qPrintable(locale.name()));
        }
    }

    void font_cancelKeepsTheFontAChoiceSetsTheSelectedTabOnly()
    {
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"two"_s, QString());
        f.pressTab(1);
        const QFont before = f.box(1)->font();
        f.platform.fontAnswers = {std::nullopt, FontChoice {u"Noto Serif CJK JP"_s, 10.5f}};
        choose(f, u"mnuContFont"_s);
        QCOMPARE(f.record(1).FontName(), u"ＭＳ ゴシック"_s);
        QCOMPARE(f.record(1).FontSize(), 10.0f);
        QCOMPARE(f.box(1)->font(), before);

        choose(f, u"mnuContFont"_s);
        QCOMPARE(f.platform.fontRequests.size(), 2);
        QCOMPARE(f.platform.fontRequests[1].name, u"ＭＳ ゴシック"_s);
        QCOMPARE(f.platform.fontRequests[1].size, 10.0f);
        QCOMPARE(f.record(1).FontName(), u"Noto Serif CJK JP"_s);
        QCOMPARE(f.record(1).FontSize(), 10.5f);
        QCOMPARE(f.box(1)->font().family(), u"Noto Serif CJK JP"_s);
        QCOMPARE(f.box(1)->font().pointSizeF(), 10.5);
        QCOMPARE(f.record(0).FontName(), u"ＭＳ ゴシック"_s);
        QCOMPARE(f.box(0)->font(), before);
    }

    void default_takesTheTabsFontRoundedHalfToEven_data()
    {
        QTest::addColumn<float>("size");
        QTest::addColumn<int>("whole");
        QTest::newRow("10.5") << 10.5f << 10;
        QTest::newRow("11.5") << 11.5f << 12;
        QTest::newRow("12.4") << 12.4f << 12;
        QTest::newRow("12.6") << 12.6f << 13;
        // Only a damaged settings file gives such a size.
        QTest::newRow("beyond 16 bits") << 1e9f << 32767;
    }
    void default_takesTheTabsFontRoundedHalfToEven()
    {
        QFETCH(float, size);
        QFETCH(int, whole);
        MainWindowFixture f;
        f.start();
        f.record(0).setFontName(u"Noto Sans CJK JP"_s);
        f.record(0).setFontSize(size);
        choose(f, u"mnuContDflt"_s);
        QCOMPARE(f.window->tabs().DefFontName, u"Noto Sans CJK JP"_s);
        QCOMPARE(f.window->tabs().DefFontSize, whole);
        QCOMPARE(f.record(0).FontSize(), size);
    }

    void font_survivesSaveAndRestart()
    {
        MainWindowFixture f;
        f.start();
        f.platform.fontAnswers.push_back(FontChoice {u"Noto Serif CJK JP"_s, 12.5f});
        choose(f, u"mnuContFont"_s);
        choose(f, u"mnuContDflt"_s);
        QVERIFY(f.window->close());
        f.window.reset();
        f.start();
        QCOMPARE(f.record(0).FontName(), u"Noto Serif CJK JP"_s);
        QCOMPARE(f.record(0).FontSize(), 12.5f);
        QCOMPARE(f.box(0)->font().family(), u"Noto Serif CJK JP"_s);
        QCOMPARE(f.box(0)->font().pointSizeF(), 12.5);
        QCOMPARE(f.window->tabs().DefFontName, u"Noto Serif CJK JP"_s);
        QCOMPARE(f.window->tabs().DefFontSize, 12);
        f.window->AddTabPage(QString(), QString());
        QCOMPARE(f.record(1).FontName(), u"Noto Serif CJK JP"_s);
        QCOMPARE(f.record(1).FontSize(), 12.0f);
    }

    void windowsFontNames_showInAJapaneseFontAndStayStored_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("firstChoice");
        QTest::newRow("fixed gothic") << u"ＭＳ ゴシック"_s << u"Noto Sans Mono CJK JP"_s;
        QTest::newRow("gothic") << u"ＭＳ Ｐゴシック"_s << u"Noto Sans CJK JP"_s;
        QTest::newRow("mincho") << u"ＭＳ 明朝"_s << u"Noto Serif CJK JP"_s;
    }
    void windowsFontNames_showInAJapaneseFontAndStayStored()
    {
        QFETCH(QString, stored);
        QFETCH(QString, firstChoice);
        if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
            QSKIP("no Japanese font installed");
        MainWindowFixture f;
        f.start();
        f.record(0).setFontName(stored);
        f.record(0).DispCont(0);
        const QString shown = QFontInfo(f.box(0)->font()).family();
        QVERIFY2(QFontDatabase::writingSystems(shown).contains(QFontDatabase::Japanese),
            qPrintable(shown));
        if (QFontDatabase::hasFamily(firstChoice))
            QCOMPARE(shown, firstChoice);
        QVERIFY(f.window->SaveAll());
        QCOMPARE(f.record(0).FontName(), stored);
        QVERIFY(f.record(0).Info().contains(u"FontName = "_s + stored + u"\r\n"_s));
    }
};

QTEST_MAIN(TestContentMenu)
#include "tst_ContentMenu.moc"
