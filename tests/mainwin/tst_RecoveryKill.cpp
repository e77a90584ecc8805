#include "persist/EntryFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 LostAtMostMs = 6000; // the recovery's latest write, plus a second to spare

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The number of "line k" lines the content holds, when they are exactly lines 1..k; -1 otherwise.
int linesHeld(const QString &content)
{
    const QStringList lines = content.split(u"\r\n"_s, Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i] != u"line %1"_s.arg(i + 1))
            return -1;
    }
    return int(lines.size());
}

} // namespace

// The program killed with SIGKILL while the user types and while it saves: nothing saved is
// lost, every saved file is whole, and typing older than a few seconds comes back at the next
// start. The child is a real process running the window; see RecoveryChild.cpp.
class TestRecoveryKill : public QObject
{
    Q_OBJECT

private:
    struct Killed
    {
        QMap<int, qint64> typedAt; // line -> when the parent heard of it
        int lastSaved = 0;
        qint64 at = 0;
    };

    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
        file.write(bytes);
    }

    // "type": killed while typing; "save": killed in the middle of a save of hundreds of files.
    static Killed runAndKill(const QString &mode, const QString &dir)
    {
        Killed killed;
        QProcess child;
        child.start(QStringLiteral(RECOVERY_CHILD), {mode, dir});
        if (!child.waitForStarted())
            return killed;
        QElapsedTimer clock;
        clock.start();
        QRandomGenerator random = QRandomGenerator::securelySeeded();
        const qint64 killTypingAt = 8000 + random.bounded(1500);
        int savesSeen = 0;
        qint64 killAt = mode == u"type" ? killTypingAt : -1;
        while (clock.elapsed() < 30000) {
            child.waitForReadyRead(20);
            while (child.canReadLine()) {
                const QString line = QString::fromUtf8(child.readLine()).trimmed();
                const qint64 now = clock.elapsed();
                if (line.startsWith(u"typed "_s))
                    killed.typedAt.insert(line.sliced(6).toInt(), now);
                else if (line.startsWith(u"saved "_s))
                    killed.lastSaved = line.sliced(6).toInt();
                else if (line.startsWith(u"saving "_s) && mode == u"save" && ++savesSeen == 3)
                    killAt = now + random.bounded(120);
            }
            if (killAt >= 0 && clock.elapsed() >= killAt)
                break;
        }
        ::kill(pid_t(child.processId()), SIGKILL);
        killed.at = clock.elapsed();
        child.waitForFinished();
        // What the child said before it died still counts.
        while (child.canReadLine()) {
            const QString line = QString::fromUtf8(child.readLine()).trimmed();
            if (line.startsWith(u"saved "_s))
                killed.lastSaved = line.sliced(6).toInt();
        }
        return killed;
    }

private slots:
    void sigkill_savedNotesStayWholeAndRecentTypingComesBack_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("killed while typing, 1") << u"type"_s;
        QTest::newRow("killed while typing, 2") << u"type"_s;
        QTest::newRow("killed while saving, 1") << u"save"_s;
        QTest::newRow("killed while saving, 2") << u"save"_s;
    }
    void sigkill_savedNotesStayWholeAndRecentTypingComesBack()
    {
        QFETCH(QString, mode);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        write(dir.filePath(u"Tab1A.tab"_s), "t\r\n\r\n");
        const QByteArray filler = QByteArray(4000, 'x');
        if (mode == u"save") {
            for (int tab = 2; tab <= 30; ++tab) {
                for (int entry = 0; entry < 26; ++entry)
                    write(dir.filePath(entryFileName(tab, entry)), "e\r\n" + filler + "\r\n");
            }
        }

        const Killed killed = runAndKill(mode, dir.path());
        QVERIFY2(!killed.typedAt.isEmpty(), "the child typed nothing");

        // Nothing saved is lost, and every file is whole: its old or its new content.
        const Entry first = parseEntryFile(readFile(dir.filePath(u"Tab1A.tab"_s)));
        const int onDisk = linesHeld(first.content);
        QVERIFY2(onDisk >= killed.lastSaved,
            qPrintable(u"%1 lines on disk, %2 saved"_s.arg(onDisk).arg(killed.lastSaved)));
        static const QRegularExpression whole(u"\\Ax{4000}[0-9]*\\z"_s);
        for (int tab = 2; mode == u"save" && tab <= 30; ++tab) {
            for (int entry = 0; entry < 26; ++entry) {
                const QString name = entryFileName(tab, entry);
                const Entry other = parseEntryFile(readFile(dir.filePath(name)));
                QVERIFY2(other.title == u"e"_s && whole.match(other.content).hasMatch(),
                    qPrintable(name));
            }
        }
        if (killed.lastSaved > 0)
            QVERIFY(readFile(dir.filePath(u"TabSet.ini"_s)).endsWith("\r\n\r\n\r\n"));

        // Typing older than a few seconds is there at the next start, saved or offered back.
        QProcess check;
        check.start(QStringLiteral(RECOVERY_CHILD), {u"check"_s, dir.path()});
        QVERIFY(check.waitForFinished(30000));
        const QStringList said = QString::fromUtf8(check.readAllStandardOutput()).split(u'\n');
        QVERIFY(said.size() >= 2 && said[1].startsWith(u"content "_s));
        const QString content
            = QString::fromUtf8(QByteArray::fromBase64(said[1].sliced(8).toLatin1()));
        const int recovered = linesHeld(content);
        int due = 0;
        for (auto it = killed.typedAt.cbegin(); it != killed.typedAt.cend(); ++it) {
            if (it.value() <= killed.at - LostAtMostMs)
                due = it.key();
        }
        QVERIFY2(recovered >= due && recovered >= onDisk,
            qPrintable(
                u"%1 lines back (%2), %3 typed more than %4 ms before the kill"_s.arg(recovered)
                    .arg(said[0])
                    .arg(due)
                    .arg(LostAtMostMs)));
        QVERIFY(QDir(dir.path()).entryList({u".nokuri-save-*"_s}, QDir::Hidden).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecoveryKill)
#include "tst_RecoveryKill.moc"
