#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

// The real program with no display at all: were it to start its window for any of these
// command lines, it would fail to connect instead of answering.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answer_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");

        const QString usage
            = u"使い方: nokuri [--help | --version | --autostart]\nUsage:  nokuri"_s;
        const QString version = u"Nokuri " NOKURI_VERSION "\n"_s;
        QTest::newRow("help") << QStringList {u"--help"_s} << 0 << usage << QString();
        QTest::newRow("short help") << QStringList {u"-h"_s} << 0 << usage << QString();
        QTest::newRow("version") << QStringList {u"--version"_s} << 0 << version << QString();
        // Qt's own options, as the session manager restarts the program, are passed over.
        QTest::newRow("after Qt's options")
            << QStringList {u"-session"_s, u"1a2b_3"_s, u"--style=fusion"_s, u"--version"_s} << 0
            << version << QString();
        QTest::newRow("login entry's option")
            << QStringList {u"--autostart"_s, u"--version"_s} << 0 << version << QString();
        QTest::newRow("unknown option") << QStringList {u"--bogus"_s} << 2 << QString()
                                        << u"nokuri: 使えないオプションまたは引数です / unknown "
                                           u"option or argument: --bogus\n\n"_s
                + usage;
        QTest::newRow("argument") << QStringList {u"notes.txt"_s} << 2 << QString()
                                  << u"argument: notes.txt\n"_s;
        QTest::newRow("Qt's option without its value")
            << QStringList {u"-platform"_s} << 2 << QString() << u"argument: -platform\n"_s;
        QTest::newRow("unknown before help")
            << QStringList {u"-x"_s, u"--help"_s} << 2 << QString() << u"argument: -x\n"_s;
    }
    // `out` and `err` are how the outputs begin, or contain for a refusal's reason.
    void answer()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString &display : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
            env.remove(display);
        QProcess nokuri;
        nokuri.setProcessEnvironment(env);
        nokuri.start(QStringLiteral(NOKURI_PROGRAM), arguments);
        QVERIFY(nokuri.waitForFinished(20000));
        const QString stdOut = QString::fromUtf8(nokuri.readAllStandardOutput());
        const QString stdErr = QString::fromUtf8(nokuri.readAllStandardError());

        QCOMPARE(nokuri.exitStatus(), QProcess::NormalExit);
        QVERIFY2(nokuri.exitCode() == exitCode, qPrintable(stdErr));
        QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.startsWith(out), qPrintable(stdOut));
        QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.contains(err), qPrintable(stdErr));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
