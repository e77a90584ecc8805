#include "RecordingPlatform.h"
#include "options/AutostartEntry.h"
#include "options/clsTabOpt.h"

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

void switchOn(const AutostartEntry &entry)
{
    const std::optional<QString> failure = entry.setOn(true);
    QVERIFY2(!failure, qPrintable(failure.value_or(QString())));
}

} // namespace

class TestAutostart final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
    }

    void entry_validatesAndStartsTheRunningProgramFile_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << u"/usr/bin/nokuri"_s << u"\"/usr/bin/nokuri\" --autostart"_s;
        QTest::newRow("portable copy with spaces")
            << u"/home/u/My Notes/nokuri"_s << u"\"/home/u/My Notes/nokuri\" --autostart"_s;
        // Quoted for Exec, then escaped as a string value; % would start a field code.
        QTest::newRow("characters Exec reserves")
            << u"/tmp/a\"b$c\\d`e%f/nokuri"_s
            << u"\"/tmp/a\\\\\"b\\\\$c\\\\\\\\d\\\\`e%%f/nokuri\" --autostart"_s;
    }
    void entry_validatesAndStartsTheRunningProgramFile()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        const AutostartEntry entry(m_config->filePath(u"autostart"_s), program);
        switchOn(entry);
        QVERIFY(entry.isOn());
        QVERIFY(entry.text().contains(u"\nExec="_s + exec + u"\n"_s));
        QVERIFY(entry.text().contains(u"\nX-GNOME-Autostart-enabled=true\n"_s));

        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start(u"desktop-file-validate"_s, {entry.filePath()});
        QVERIFY(validate.waitForFinished(20000));
        const QByteArray output = validate.readAll();
        QVERIFY2(validate.exitCode() == 0 && !output.contains("error"), output.constData());
    }

    // The dialog opens with the entry as it is on disk; Ok writes or removes it, Cancel
    // leaves it.
    void option_showsTheEntryAsItIsAndOkAppliesTheBox_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("after");
        QTest::newRow("none, ticked, Ok") << u"none"_s << false << true << u"cmdOk"_s << true;
        QTest::newRow("none, ticked, Cancel")
            << u"none"_s << false << true << u"cmdCancel"_s << false;
        QTest::newRow("on, cleared, Ok") << u"on"_s << true << false << u"cmdOk"_s << false;
        QTest::newRow("removed by hand") << u"removed"_s << false << false << u"cmdOk"_s << false;
        QTest::newRow("switched off by the desktop, ticked, Ok")
            << u"switched off"_s << false << true << u"cmdOk"_s << true;
    }
    void option_showsTheEntryAsItIsAndOkAppliesTheBox()
    {
        QFETCH(QString, before);
        QFETCH(bool, shown);
        QFETCH(bool, ticked);
        QFETCH(QString, button);
        QFETCH(bool, after);
        const AutostartEntry entry = AutostartEntry::ofRunningProgram();
        QCOMPARE(entry.filePath(), m_config->filePath(u"autostart/nokuri.desktop"_s));
        if (before != u"none"_s)
            switchOn(entry);
        if (before == u"removed"_s)
            QVERIFY(QFile::remove(entry.filePath()));
        if (before == u"switched off"_s) {
            QFile file(entry.filePath());
            QVERIFY(file.open(QIODevice::Append));
            file.write("X-GNOME-Autostart-enabled=false\n");
        }

        RecordingPlatform platform;
        std::optional<bool> seen;
        platform.dialogScripts.push_back([&](QDialog &dialog) {
            auto *box = dialog.findChild<QCheckBox *>(u"chkAutostart"_s);
            seen = box->isChecked();
            box->setChecked(ticked);
            dialog.findChild<QPushButton *>(button)->click();
            return dialog.result();
        });
        clsTabOpt options(platform);
        options.ShowForm(u"V"_s, true);

        QVERIFY(seen.has_value());
        QCOMPARE(*seen, shown);
        QCOMPARE(entry.isOn(), after);
        QVERIFY(platform.messages.isEmpty());
    }

private:
    std::unique_ptr<QTemporaryDir> m_config;
};

QTEST_MAIN(TestAutostart)
#include "tst_Autostart.moc"
