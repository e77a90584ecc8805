#include "../mainwin/MainWindowFixture.h"
#include "options/clsTabOpt.h"
#include "options/frmOpt.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

struct SeenOptions
{
    QString checkedOption;
    bool backup = false;
    qsizetype messagesBefore = 0;
};

QString checkedOption(const QDialog &dialog)
{
    QString checked;
    for (const QRadioButton *option : dialog.findChildren<QRadioButton *>()) {
        if (option->isChecked())
            checked += option->objectName();
    }
    return checked;
}

// Plays the user's part in the options dialog: notes what it shows, picks an option (unless
// empty), sets the check box (unless told not to) and clicks the button.
std::function<int(QDialog &)> answer(RecordingPlatform &platform, const QString &button,
    const QString &option = QString(), std::optional<bool> backup = std::nullopt,
    SeenOptions *seen = nullptr)
{
    return [&platform, button, option, backup, seen](QDialog &dialog) {
        auto *check = dialog.findChild<QCheckBox *>(u"chkBackup"_s);
        if (seen)
            *seen = {checkedOption(dialog), check->isChecked(), platform.messages.size()};
        if (!option.isEmpty())
            dialog.findChild<QRadioButton *>(option)->click();
        if (backup)
            check->setChecked(*backup);
        dialog.findChild<QPushButton *>(button)->click();
        return dialog.result();
    };
}

// The user opens the options from the tab menu.
void openOptions(MainWindowFixture &f, std::function<int(QDialog &)> script)
{
    f.platform.dialogScripts.push_back(std::move(script));
    f.platform.menuChoices.push_back(u"mnuTabOpt"_s);
    f.pressTab(0, Qt::RightButton);
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void frmOpt_okReportsTheChoiceOnce_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("reported");
        QTest::addColumn<bool>("backup");
        QTest::newRow("none, backups on") << u"optScrlN"_s << u"N"_s << true;
        QTest::newRow("vertical, backups off") << u"optScrlV"_s << u"V"_s << false;
        QTest::newRow("both, backups on") << u"optScrlW"_s << u"W"_s << true;
        QTest::newRow("no option selected") << QString() << u"x"_s << false;
    }
    void frmOpt_okReportsTheChoiceOnce()
    {
        QFETCH(QString, option);
        QFETCH(QString, reported);
        QFETCH(bool, backup);
        frmOpt dialog;
        dialog.setScrl(u"x"_s);
        dialog.setBackup(!backup);
        QSignalSpy spy(&dialog, &frmOpt::NotifyClients);
        if (!option.isEmpty())
            dialog.findChild<QRadioButton *>(option)->click();
        dialog.findChild<QCheckBox *>(u"chkBackup"_s)->setChecked(backup);
        dialog.findChild<QPushButton *>(u"cmdOk"_s)->click();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy[0][0].toString(), reported);
        QCOMPARE(spy[0][1].toBool(), backup);
        QCOMPARE(dialog.Backup(), backup);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void frmOpt_cancelAndCloseReportNothing()
    {
        frmOpt dialog;
        QSignalSpy spy(&dialog, &frmOpt::NotifyClients);
        dialog.findChild<QRadioButton *>(u"optScrlW"_s)->click();
        dialog.findChild<QPushButton *>(u"cmdCancel"_s)->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        dialog.show();
        dialog.close();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(spy.size(), 0);
    }

    void showForm_badScrollTypeWarnsFirstAndOffersVertical_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("scrlAfter");
        QTest::newRow("Ok reports the vertical type") << u"cmdOk"_s << u"V"_s;
        QTest::newRow("Cancel keeps what was given") << u"cmdCancel"_s << u"v"_s;
    }
    void showForm_badScrollTypeWarnsFirstAndOffersVertical()
    {
        QFETCH(QString, button);
        QFETCH(QString, scrlAfter);
        RecordingPlatform platform;
        SeenOptions seen;
        platform.dialogScripts.push_back(answer(platform, button, {}, {}, &seen));
        clsTabOpt options(platform);
        options.ShowForm(u"v"_s, true);

        QCOMPARE(seen.messagesBefore, 1);
        QCOMPARE(seen.checkedOption, u"optScrlV"_s);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].text,
            u"指定されたスクロールタイプが正しくありません\r\nデフォルトの垂直を指定します"_s);
        QCOMPARE(platform.messages[0].caption, u"スクロールタイプのエラー"_s);
        QCOMPARE(platform.messages[0].icon, MessageIcon::None);
        QCOMPARE(options.Scrl(), scrlAfter);
        QVERIFY(options.Backup());
    }

    void command_unchangedOkKeepsBothSettings()
    {
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"t"_s, QString());
        f.typeInto(0, u"unsaved"_s);
        openOptions(f, answer(f.platform, u"cmdOk"_s));
        QCOMPARE(f.platform.dialogsShown, QStringList {u"オプション"_s});
        QCOMPARE(f.window->ScrlType(), u"V"_s);
        QVERIFY(f.window->MakeBackup());
        for (int i = 0; i < 2; ++i)
            QCOMPARE(f.box(i)->scrollType(), ScrollType::Vertical);
        QCOMPARE(f.box(0)->text(), u"unsaved"_s);
        QVERIFY(f.platform.messages.isEmpty());
    }

    void command_verticalToBothSwitchesEveryPageAndKeepsUnsavedText()
    {
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"t1"_s, u"one"_s);
        f.window->AddTabPage(u"t2"_s, u"two"_s);
        f.typeInto(0, u"unsaved"_s);
        // Triggered directly, so the typed text is only in the box (a press on the strip
        // would store it first).
        f.platform.dialogScripts.push_back(answer(f.platform, u"cmdOk"_s, u"optScrlW"_s));
        f.window->menus().mnuTabOpt->trigger();

        QCOMPARE(f.window->ScrlType(), u"W"_s);
        QVERIFY(f.window->MakeBackup());
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(f.box(i)->scrollType(), ScrollType::Both);
            QCOMPARE(f.box(i)->lineWrapMode(), QPlainTextEdit::NoWrap);
            QCOMPARE(f.box(i)->isEnabled(), i == 0);
        }
        QCOMPARE(f.box(0)->text(), u"unsaved"_s);
        QCOMPARE(f.box(2)->text(), u"two"_s);
        QVERIFY(f.record(0).Cont(0).isEmpty());
        // The typed text reaches the record from the new box.
        f.pressTab(1);
        QCOMPARE(f.record(0).Cont(0), u"unsaved"_s);
    }

    void command_cancelKeepsBothSettings()
    {
        MainWindowFixture f;
        f.start();
        openOptions(f, answer(f.platform, u"cmdCancel"_s, u"optScrlW"_s, false));
        QCOMPARE(f.window->ScrlType(), u"V"_s);
        QCOMPARE(f.box(0)->scrollType(), ScrollType::Vertical);
        QVERIFY(f.window->MakeBackup());
    }

    void command_backupAloneChangesOnlyTheFlag()
    {
        MainWindowFixture f;
        f.start();
        openOptions(f, answer(f.platform, u"cmdOk"_s, {}, false));
        QVERIFY(!f.window->MakeBackup());
        QCOMPARE(f.window->ScrlType(), u"V"_s);
        openOptions(f, answer(f.platform, u"cmdOk"_s, {}, true));
        QVERIFY(f.window->MakeBackup());
    }

    void command_eachOpeningStartsFromTheCurrentSettings()
    {
        MainWindowFixture f;
        f.start();
        openOptions(f, answer(f.platform, u"cmdOk"_s, u"optScrlN"_s, false));
        SeenOptions seen;
        openOptions(f, answer(f.platform, u"cmdCancel"_s, {}, {}, &seen));
        QCOMPARE(seen.checkedOption, u"optScrlN"_s);
        QVERIFY(!seen.backup);
        QCOMPARE(f.window->ScrlType(), u"N"_s);
        QCOMPARE(f.box(0)->scrollType(), ScrollType::None);
        QVERIFY(!f.window->MakeBackup());
    }

    void restart_bringsBackBothSettings()
    {
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"t"_s, u"text"_s);
        openOptions(f, answer(f.platform, u"cmdOk"_s, u"optScrlW"_s, false));
        QVERIFY(f.window->SaveAll());
        f.window->close();
        f.window.reset();

        f.start();
        QCOMPARE(f.window->ScrlType(), u"W"_s);
        QVERIFY(!f.window->MakeBackup());
        for (int i = 0; i < 2; ++i)
            QCOMPARE(f.box(i)->scrollType(), ScrollType::Both);
        SeenOptions seen;
        openOptions(f, answer(f.platform, u"cmdCancel"_s, {}, {}, &seen));
        QCOMPARE(seen.checkedOption, u"optScrlW"_s);
        QVERIFY(!seen.backup);
        QVERIFY(f.platform.messages.isEmpty());
    }
};

QTEST_MAIN(TestOptions)
#include "tst_Options.moc"
