#include "../mainwin/MainWindowFixture.h"
#include "commands/frmTitl.h"
#include "mainwin/Twips.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// Plays the user's part in the titles dialog: types the text (unless null) and clicks.
std::function<int(QDialog &)> answer(const char *button, const QString &text = QString(),
    QString *seenText = nullptr, bool *deleteShown = nullptr)
{
    return [=](QDialog &dialog) {
        auto *input = dialog.findChild<QLineEdit *>(u"txtInput"_s);
        if (seenText)
            *seenText = input->text();
        if (deleteShown)
            *deleteShown = !dialog.findChild<QPushButton *>(u"cmdDel"_s)->isHidden();
        if (!text.isNull())
            input->setText(text);
        dialog.findChild<QPushButton *>(QString::fromLatin1(button))->click();
        return dialog.result();
    };
}

} // namespace

class TestTitlesDialog : public QObject
{
    Q_OBJECT

private:
    void addEntries(MainWindowFixture &f, const QStringList &titles)
    {
        clsTabCont &record = f.record(0);
        record.ChgTitle(0, 0, titles[0]);
        record.ChgCont(0, titles[0] + u"-content"_s);
        for (qsizetype i = 1; i < titles.size(); ++i)
            record.AddTitle(0, titles[i], titles[i] + u"-content"_s);
        record.DispCont(0);
    }
    void openTitles(MainWindowFixture &f) { f.window->page(0).cmdTitle()->click(); }

private slots:
    void singleEntry_opensWithoutDelete()
    {
        MainWindowFixture f;
        f.start();
        addEntries(f, {u"only"_s});
        QString seen;
        bool deleteShown = true;
        f.platform.dialogScripts.push_back(answer("cmdCncl", {}, &seen, &deleteShown));
        openTitles(f);
        QCOMPARE(f.platform.dialogsShown, QStringList {u"タイトルの入力"_s});
        QCOMPARE(seen, u"only"_s);
        QVERIFY(!deleteShown);
    }

    void new_addsAnEntryAndKeepsTextTypedBefore()
    {
        MainWindowFixture f;
        f.start();
        addEntries(f, {u"a"_s});
        f.typeInto(0, u"typed"_s);
        f.platform.dialogScripts.push_back(answer("cmdNew", u""_s));
        openTitles(f);
        clsTabCont &record = f.record(0);
        QCOMPARE(record.NoOfCont(), 2);
        QCOMPARE(record.Title(1), QString());
        QCOMPARE(record.Cont(1), QString());
        QCOMPARE(record.DispIndex(), 1);
        QCOMPARE(record.Cont(0), u"a-contenttyped"_s);
        QCOMPARE(f.titles(0)->count(), 2);
        QCOMPARE(f.titles(0)->currentIndex(), 1);
        QCOMPARE(f.box(0)->text(), QString());
    }

    void new_onAFullTabReportsAndChangesNothing()
    {
        MainWindowFixture f;
        f.start();
        QStringList titles;
        for (int i = 0; i < 26; ++i)
            titles.append(QString::number(i));
        addEntries(f, titles);
        f.platform.dialogScripts.push_back(answer("cmdNew", u"x"_s));
        openTitles(f);
        QCOMPARE(f.record(0).NoOfCont(), 26);
        QCOMPARE(f.titles(0)->count(), 26);
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].text, u"見出しの数が不正です"_s);
        QCOMPARE(f.platform.messages[0].icon, MessageIcon::Critical);
    }

    void change_renamesOnlyTheTitle()
    {
        MainWindowFixture f;
        f.start();
        addEntries(f, {u"a"_s, u"b"_s});
        f.chooseEntry(0, 1);
        f.platform.dialogScripts.push_back(answer("cmdChg", u"renamed"_s));
        openTitles(f);
        QCOMPARE(f.record(0).Title(1), u"renamed"_s);
        QCOMPARE(f.record(0).Cont(1), u"b-content"_s);
        QCOMPARE(f.record(0).DispIndex(), 1);
        QCOMPARE(f.titles(0)->itemText(1), u"renamed"_s);
    }

    void delete_ofTheLastEntryShowsThePrevious()
    {
        MainWindowFixture f;
        f.start();
        addEntries(f, {u"a"_s, u"b"_s, u"c"_s});
        f.chooseEntry(0, 2);
        f.platform.dialogScripts.push_back(answer("cmdDel"));
        openTitles(f);
        QCOMPARE(f.record(0).NoOfCont(), 2);
        QCOMPARE(f.record(0).DispIndex(), 1);
        QCOMPARE(f.titles(0)->currentIndex(), 1);
        QCOMPARE(f.box(0)->text(), u"b-content"_s);
    }

    void delete_ofTheFirstEntryShowsItsFollower()
    {
        MainWindowFixture f;
        f.start();
        addEntries(f, {u"a"_s, u"b"_s, u"c"_s});
        f.platform.dialogScripts.push_back(answer("cmdDel"));
        openTitles(f);
        QCOMPARE(f.record(0).NoOfCont(), 2);
        QCOMPARE(f.record(0).DispIndex(), 0);
        QCOMPARE(f.record(0).Title(0), u"b"_s);
        QCOMPARE(f.titles(0)->itemText(0), u"b"_s);
        QCOMPARE(f.titles(0)->itemText(1), u"c"_s);
        QCOMPARE(f.box(0)->text(), u"b-content"_s);
    }

    void cancel_changesNothingButRecaptionsTheTab()
    {
        MainWindowFixture f;
        f.start();
        addEntries(f, {u"a"_s, u"b"_s});
        f.record(0).setOmidasi(u"cap"_s);
        f.platform.dialogScripts.push_back(answer("cmdCncl", u"ignored"_s));
        openTitles(f);
        QCOMPARE(f.record(0).NoOfCont(), 2);
        QCOMPARE(f.record(0).Title(0), u"a"_s);
        QCOMPARE(f.window->tabMain().caption(1), u"cap"_s);
    }

    void badIndexes_areReportedAndStored()
    {
        MainWindowFixture f;
        f.start();
        frmTitl dialog(f.window->tabs(), *f.window, f.platform, Twips::of(*f.window));
        dialog.setClsIndex(3);
        dialog.setTitlIndex(0);
        QCOMPARE(dialog.ClsIndex(), 3);
        QCOMPARE(f.platform.messages.size(), 2);
        QCOMPARE(f.platform.messages[0].text, u"クラスのインデックスが不正です"_s);
        QCOMPARE(f.platform.messages[1].text, u"タイトルのインデックスが不正です"_s);
        dialog.Form_Load();
        QVERIFY(!dialog.findChild<QPushButton *>(u"cmdNew"_s)->isEnabled());
    }
};

QTEST_MAIN(TestTitlesDialog)
#include "tst_frmTitl.moc"
