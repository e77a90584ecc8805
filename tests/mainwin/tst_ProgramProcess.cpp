#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace Qt::StringLiterals;

// The real program, started as a process in a folder of notes from the Windows program.
class TestProgramProcess : public QObject
{
    Q_OBJECT

private:
    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
        file.write(bytes);
    }
    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void sigterm_savesAndLeavesOriginalEntryFilesByteIdentical()
    {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QDir root(home.path());
        QVERIFY(root.mkpath(u"prog"_s) && root.mkpath(u"runtime"_s));
        QFile::setPermissions(
            root.filePath(u"runtime"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString prog = root.filePath(u"prog"_s);
        const QString program = QDir(prog).filePath(u"nokuri"_s);
        QVERIFY(QFile::copy(QStringLiteral(NOKURI_PROGRAM), program));

        QStringEncoder cp932("windows-31j");
        const QMap<QString, QByteArray> notes {
            {u"Tab1A.tab"_s, cp932.encode(u"買い物\r\n牛乳～\r\n①髙\r\n"_s)},
            {u"Tab1B.tab"_s, QByteArray("memo\r\n\r\n")},
            {u"Tab2A.tab"_s, cp932.encode(u"会議\r\n10時\r\n\r\n"_s)},
        };
        for (auto it = notes.begin(); it != notes.end(); ++it)
            writeFile(QDir(prog).filePath(it.key()), it.value());
        writeFile(QDir(prog).filePath(u"TabSet.ini"_s),
            cp932.encode(u"----------Nokuri iniファイル----------\r\nTabDisp = 2\r\n"
                         u"ScrlType = W\r\n\r\n[Tab1]\r\nTabCaption = メモ\r\n\r\n\r\n"_s));

        QProcess nokuri;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(u"HOME"_s, home.path());
        env.insert(u"XDG_DATA_HOME"_s, root.filePath(u"data"_s));
        env.insert(u"XDG_RUNTIME_DIR"_s, root.filePath(u"runtime"_s));
        nokuri.setProcessEnvironment(env);
        nokuri.start(program, {});
        QVERIFY(nokuri.waitForStarted());
        // The lock appears once the program has claimed the folder.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QDir(prog).filePath(u".~lock.Nokuri#"_s)), 20000);
        ::kill(pid_t(nokuri.processId()), SIGTERM);
        QVERIFY(nokuri.waitForFinished(20000));
        QCOMPARE(nokuri.exitStatus(), QProcess::NormalExit);
        QCOMPARE(nokuri.exitCode(), 0);

        for (auto it = notes.begin(); it != notes.end(); ++it)
            QCOMPARE(readFile(QDir(prog).filePath(it.key())), it.value());
        // It saved: the previous generation became the backup, and the settings are whole.
        QCOMPARE(readFile(QDir(prog).filePath(u"Tab1A.bak"_s)), notes[u"Tab1A.tab"_s]);
        const QByteArray ini = readFile(QDir(prog).filePath(u"TabSet.ini"_s));
        QVERIFY(ini.contains("TabDisp = 2\r\n"));
        QVERIFY(ini.contains("ScrlType = W\r\n"));
        QVERIFY(ini.contains(QByteArray(cp932.encode(u"TabCaption = メモ\r\n"_s))));
        QVERIFY(ini.endsWith("\r\n\r\n\r\n"));
        QVERIFY(!QFile::exists(root.filePath(u"data/Nokuri"_s)));
    }
};

QTEST_GUILESS_MAIN(TestProgramProcess)
#include "tst_ProgramProcess.moc"
