#include "../commands/TabCommandsFixture.h"

#include "find/FindCommands.h"
#include "find/frmFind.h"

#include <QCheckBox>
#include <QLabel>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

// The find window on a started main window, driven by keys as a user would.
struct FindFixture : TabCommandsFixture
{
    FindCommands *commands() { return window->findChild<FindCommands *>(); }
    frmFind *find() { return commands()->findWindow(); }

    void openAndType(const QString &text)
    {
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(find() && find()->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), find());
        for (const QChar c : text)
            QTest::sendKeyEvent(
                QTest::Click, find()->txtFind(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    QStringList rows()
    {
        QStringList shown;
        for (int r = 0; r < find()->lstResult()->topLevelItemCount(); ++r) {
            const QTreeWidgetItem *row = find()->lstResult()->topLevelItem(r);
            shown.append(row->text(0) + u'/' + row->text(1));
        }
        return shown;
    }

    QString shownTitle() { return titles(window->selectedTab())->currentText(); }
    QString selectedText() { return box(window->selectedTab())->textCursor().selectedText(); }
};

class tst_frmFind : public QObject
{
    Q_OBJECT
private slots:
    void keys_typeMoveEnterF3_goToEachMatchSelected();
    void goingThere_storesTypedTextFirst();
    void rows_stayRight_acrossDeleteAndSort();
};

void tst_frmFind::keys_typeMoveEnterF3_goToEachMatchSelected()
{
    FindFixture f;
    f.start();
    f.captionFirstTab(u"初め"_s);
    f.addTab(u"旅"_s, u"一行目\r\n二行目のｶﾞｲﾄﾞ本\r\n"_s);
    f.record(1).AddTitle(1, u"地図"_s, u"ガイドの地図"_s);
    f.addTab(u"本"_s, u"新しいがいど"_s);

    f.openAndType(u"ガイド"_s);
    QCOMPARE(f.rows(), (QStringList {u"旅/旅-title"_s, u"旅/地図"_s, u"本/本-title"_s}));
    QCOMPARE(f.find()->lblCount()->text(), u"3 件"_s);
    // Alt+K switches the check box (as a click, which comes a moment later), and hiragana no
    // longer count.
    QTest::keyClick(f.find()->txtFind(), Qt::Key_K, Qt::AltModifier);
    QTRY_COMPARE(f.rows(), (QStringList {u"旅/旅-title"_s, u"旅/地図"_s}));
    QTest::keyClick(f.find()->chkKana(), Qt::Key_Space);
    QTRY_COMPARE(f.rows().size(), 3);
    f.find()->txtFind()->setFocus();

    QTest::keyClick(f.find()->txtFind(), Qt::Key_Down);
    QTest::keyClick(f.find()->txtFind(), Qt::Key_Return);
    QCOMPARE(f.window->selectedTab(), 1);
    QCOMPARE(f.shownTitle(), u"地図"_s);
    QCOMPARE(f.selectedText(), u"ガイド"_s);

    QTest::keyClick(f.window.get(), Qt::Key_F3);
    QCOMPARE(f.window->selectedTab(), 2);
    QCOMPARE(f.selectedText(), u"がいど"_s);
    QTest::keyClick(f.window.get(), Qt::Key_F3);
    QCOMPARE(f.window->selectedTab(), 1);
    QCOMPARE(f.shownTitle(), u"旅-title"_s);
    // Past a CR LF line break: the box shows it as one character.
    QCOMPARE(f.selectedText(), u"ｶﾞｲﾄﾞ"_s);
    QTest::keyClick(f.window.get(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(f.window->selectedTab(), 2);

    QTest::keyClick(f.find(), Qt::Key_Escape);
    QVERIFY(!f.find()->isVisible());
    f.window->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), f.window.get());
    QTest::keyClick(f.window.get(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(f.find()->isVisible());
    QCOMPARE(f.find()->txtFind()->text(), u"ガイド"_s);
}

void tst_frmFind::goingThere_storesTypedTextFirst()
{
    FindFixture f;
    f.start();
    f.addTab(u"二"_s, u"目的の語"_s);
    f.selectPosition(1);
    f.typeInto(0, u"まだ保存していない語"_s);

    f.openAndType(u"語"_s);
    // The typed text is found before it is stored.
    QCOMPARE(f.rows().size(), 2);
    QTest::keyClick(f.find()->txtFind(), Qt::Key_Down);
    QTest::keyClick(f.find()->txtFind(), Qt::Key_Return);
    QCOMPARE(f.window->selectedTab(), 1);
    QCOMPARE(f.record(0).Cont(0), u"まだ保存していない語"_s);
}

void tst_frmFind::rows_stayRight_acrossDeleteAndSort()
{
    FindFixture f;
    f.start();
    f.captionFirstTab(u"a"_s);
    f.addTab(u"b"_s, u"鍵はここ"_s);
    f.addTab(u"c"_s, u"鍵もここ"_s);
    f.openAndType(u"鍵"_s);
    QCOMPARE(f.rows(), (QStringList {u"b/b-title"_s, u"c/c-title"_s}));

    f.selectPosition(1);
    f.chooseFromTabMenu(u"mnuTabDel"_s);
    QCOMPARE(f.rows(), (QStringList {u"b/b-title"_s, u"c/c-title"_s}));
    f.chooseFromTabMenu(u"mnuTabSortTtdn"_s);
    QCOMPARE(f.rows(), (QStringList {u"c/c-title"_s, u"b/b-title"_s}));

    QTest::keyClick(f.find()->txtFind(), Qt::Key_PageUp);
    QTest::keyClick(f.find()->txtFind(), Qt::Key_Return);
    QCOMPARE(f.window->tabMain().caption(f.window->selectedTab() + 1), u"c"_s);
    QCOMPARE(f.selectedText(), u"鍵"_s);
}

QTEST_MAIN(tst_frmFind)
#include "tst_frmFind.moc"
