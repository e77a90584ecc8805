#include "MainWindowFixture.h"
#include "mainwin/RecoveryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

// Typing that no save holds yet survives the program's sudden end.
class TestRecoveryFile : public QObject
{
    Q_OBJECT

private:
    QString recoveryPath(const MainWindowFixture &f) const
    {
        return QDir(f.dir.path()).filePath(QString::fromLatin1(RecoveryFile::FileName));
    }
    void startQuickly(MainWindowFixture &f)
    {
        f.start();
        f.window->recovery().setPauseInterval(20);
    }
    // Ends the window the way a kill would: no unload, no save.
    void crash(MainWindowFixture &f) { f.window.reset(); }

private slots:
    void typingPause_writesRecoveryAndSaveRemovesIt()
    {
        MainWindowFixture f;
        startQuickly(f);
        QVERIFY(f.window->SaveAll());
        const QByteArray savedEntry = [&] {
            QFile file(QDir(f.dir.path()).filePath(u"Tab1A.tab"_s));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        f.typeInto(0, u"unsaved"_s);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        QFile entry(QDir(f.dir.path()).filePath(u"Tab1A.tab"_s));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QCOMPARE(entry.readAll(), savedEntry);
        QVERIFY(f.window->SaveAll());
        QVERIFY(!QFile::exists(recoveryPath(f)));
    }

    void showingEntries_isNoChange()
    {
        MainWindowFixture f;
        startQuickly(f);
        f.window->AddTabPage(u"t"_s, u"text"_s);
        f.pressTab(1);
        f.pressTab(0);
        QTest::qWait(100);
        QVERIFY(!QFile::exists(recoveryPath(f)));
    }

    void afterACrash_restoreBringsTheTypingBack()
    {
        MainWindowFixture f;
        startQuickly(f);
        f.record(0).setOmidasi(u"saved"_s);
        QVERIFY(f.window->SaveAll());
        f.window->AddTabPage(u"new tab"_s, QString());
        f.record(1).setOmidasi(u"unsaved tab"_s);
        f.pressTab(1);
        f.typeInto(1, u"line 1\nline 2"_s);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        crash(f);

        f.platform.questionAnswers = {0};
        startQuickly(f);
        QCOMPARE(f.platform.questions.size(), 1);
        QVERIFY(f.platform.questions[0].text.contains(u"復元しますか"_s));
        QCOMPARE(f.window->tabCount(), 2);
        QCOMPARE(f.record(1).Omidasi(), u"unsaved tab"_s);
        QCOMPARE(f.record(1).Cont(0), u"line 1\r\nline 2"_s);
        QCOMPARE(f.window->tabMain().caption(2), u"unsaved tab"_s);
        QCOMPARE(f.window->tabMain().selectedPosition(), 2);
        QCOMPARE(f.box(1)->text(), u"line 1\nline 2"_s);
        QVERIFY(f.box(1)->isEnabled());
    }

    void typingIntoOneEntry_writesOnlyThatEntryAndRestoresTheRest()
    {
        MainWindowFixture f;
        startQuickly(f);
        const QString longText = QString(20000, u'長');
        f.window->AddTabPage(u"long"_s, longText);
        QVERIFY(f.window->SaveAll());
        f.typeInto(0, u"typed"_s);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        QVERIFY(QFileInfo(recoveryPath(f)).size() < 2000);
        crash(f);

        f.platform.questionAnswers = {0};
        startQuickly(f);
        QCOMPARE(f.platform.questions.size(), 1);
        QCOMPARE(f.record(0).Cont(0), u"typed"_s);
        QCOMPARE(f.record(1).Cont(0), longText);
        QCOMPARE(f.record(1).Title(0), u"long"_s);
    }

    void afterACrash_declinedRestoreDiscardsIt()
    {
        MainWindowFixture f;
        startQuickly(f);
        QVERIFY(f.window->SaveAll());
        f.typeInto(0, u"gone"_s);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        crash(f);

        f.platform.questionAnswers = {1};
        startQuickly(f);
        QCOMPARE(f.platform.questions.size(), 1);
        QVERIFY(f.record(0).Cont(0).isEmpty());
        QVERIFY(!QFile::exists(recoveryPath(f)));
    }

    void staleOrDamagedRecovery_isDroppedWithoutAsking_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("savedAfterwards");
        QTest::newRow("older than the last save") << QByteArray() << true;
        QTest::newRow("torn") << QByteArray("{\"version\":1,\"tabs\":[{\"titl") << false;
        QTest::newRow("no entries")
            << QByteArray(R"({"version":1,"selected":0,"tabs":[{}]})") << false;
        const auto document = [](const QJsonArray &titles, const QJsonArray &contents) {
            const QJsonObject tab {{u"created"_s, u"2024-01-01T00:00:00"_s},
                {u"alarm"_s, u"2024-01-01T00:00:00"_s}, {u"titles"_s, titles},
                {u"contents"_s, contents}};
            return QJsonDocument(
                QJsonObject {{u"version"_s, 2}, {u"selected"_s, 0}, {u"tabs"_s, QJsonArray {tab}}})
                .toJson();
        };
        QJsonArray many;
        for (int i = 0; i < 65537; ++i)
            many.append(QString());
        QTest::newRow("more entries than a tab holds, by 16-bit wrap-around")
            << document(many, many) << false;
        for (const QString &name : {u"TabSet.ini"_s, u"Tab9A.tab"_s, u"../Tab1A.tab"_s}) {
            QTest::newRow(qPrintable(u"points to "_s + name))
                << document({u"t"_s}, {QJsonObject {{u"savedFile"_s, name}}}) << false;
        }
    }
    void staleOrDamagedRecovery_isDroppedWithoutAsking()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, savedAfterwards);
        MainWindowFixture f;
        startQuickly(f);
        f.typeInto(0, u"x"_s);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        if (!content.isEmpty()) {
            QFile file(recoveryPath(f));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        crash(f);
        if (savedAfterwards) {
            QTest::qWait(1100);
            QFile settings(QDir(f.dir.path()).filePath(u"TabSet.ini"_s));
            QVERIFY(settings.open(QIODevice::WriteOnly));
            settings.write("----------Nokuri iniファイル----------\r\n");
        }
        startQuickly(f);
        QVERIFY(f.platform.questions.isEmpty());
        QVERIFY(!QFile::exists(recoveryPath(f)));
    }

    void quittingUnsavedAfterAFailedSave_keepsTheRecovery()
    {
        MainWindowFixture f;
        startQuickly(f);
        f.typeInto(0, u"keep me"_s);
        QVERIFY(QDir(f.dir.path()).mkdir(u"TabSet.ini"_s));
        f.platform.questionAnswers = {1};
        QVERIFY(f.window->close());
        QVERIFY(QFile::exists(recoveryPath(f)));
        f.window.reset();
        QVERIFY(QDir(f.dir.path()).rmdir(u"TabSet.ini"_s));
        f.platform.questionAnswers = {0};
        startQuickly(f);
        QCOMPARE(f.record(0).Cont(0), u"keep me"_s);
    }
};

QTEST_MAIN(TestRecoveryFile)
#include "tst_RecoveryFile.moc"
