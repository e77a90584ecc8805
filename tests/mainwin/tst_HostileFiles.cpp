#include "MainWindowFixture.h"
#include "SaneState.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;

using Files = QMap<QString, QByteArray>;

namespace {

const QByteArray IniHeader = "----------Nokuri ini\x83\x74\x83\x40\x83\x43\x83\x8b----------\r\n";

// Lines a settings file is made of, good and bad, for the random files.
const QList<QByteArray> IniPieces {"[Tab1]", "[Tab2]", "[Tab3]", "[Tab0]", "[Tab31]", "[Tab-1]",
    "[Tab99999]", "[Tab1.5]", "[Tab]", "[Other]", "-", "TabDisp = 2", "TabDisp = 99",
    "DispIndex = 1", "DispIndex = 2", "DispIndex = 99999", "DispIndex = -1", "DispIndex = 1e300",
    "FontSize = 1e39", "FontSize = -3", "FontSize = 0", "FontName = ", "DefFontSize = 99999",
    "FormWidth = -100", "FormHeight = 0", "FormTop = 1e12", "FormLeft = NaN", "ScrlType = N",
    "ScrlType = W", "ScrlType = Q", "MakeBackup = #False#", "AlarmDate = 2026/12/07 12:00",
    "AlarmDate = 9999/12/31 23:59", "AlarmDate = 0000/00/00 00:00", "AlarmSetOn = #True#",
    "AlarmSetOn = #False#", "CreatDate = 2024/02/30 10:00", "TabCaption = a = b",
    "TabCaption = \x82\xa0\x00z", "= value", "key =", "\x81", "\xff\xfe", "\x00\x00\x00"};

QByteArray randomBytes(QRandomGenerator &random, int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(0x100));
    return bytes;
}

QByteArray randomLineEnd(QRandomGenerator &random)
{
    static const QList<QByteArray> ends {"\r\n", "\r\n", "\r\n", "\r", "\n", ""};
    return ends.at(random.bounded(int(ends.size())));
}

} // namespace

// Whatever the notes folder holds, the window starts sane, saves, and reads back what it saved;
// the entry files keep their bytes.
class TestHostileFiles : public QObject
{
    Q_OBJECT

private:
    void startSaveAndRestart(const Files &files)
    {
        MainWindowFixture f;
        QVERIFY(f.dir.isValid());
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QFile file(QDir(f.dir.path()).filePath(it.key()));
            QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
            file.write(it.value());
        }
        // Entry files in the order of their tab numbers and letters, which the tabs keep.
        const auto entryBytes = [&f](const QString &extension) {
            QList<QByteArray> bytes;
            for (int number = 1; number <= 30; ++number) {
                for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
                    QFile file(
                        QDir(f.dir.path())
                            .filePath(u"Tab%1%2"_s.arg(number).arg(QChar(letter)) + extension));
                    if (file.open(QIODevice::ReadOnly))
                        bytes.append(file.readAll());
                }
            }
            return bytes;
        };
        const QList<QByteArray> written = entryBytes(u".tab"_s);
        QByteArray saved;
        for (int start = 0; start < 2; ++start) {
            f.start();
            const QStringList problems = saneStateProblems(*f.window);
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u"; "_s)));
            QVERIFY(f.window->SaveAll());
            QVERIFY(f.window->close());
            f.window.reset();
            QFile settings(QDir(f.dir.path()).filePath(u"TabSet.ini"_s));
            QVERIFY(settings.open(QIODevice::ReadOnly));
            const QByteArray bytes = settings.readAll();
            if (start == 1)
                QCOMPARE(bytes, saved);
            saved = bytes;
            // Nothing was edited: whatever their bytes, the entries keep them.
            if (!written.isEmpty()) {
                QCOMPARE(entryBytes(u".tab"_s), written);
                if (const QList<QByteArray> backups = entryBytes(u".bak"_s); !backups.isEmpty())
                    QCOMPARE(backups, written);
            }
        }
    }

private slots:
    void hostileFiles_startSaneAndSaveStably_data()
    {
        QTest::addColumn<Files>("files");
        const QByteArray sections = IniHeader
            + "[Tab0]\r\nDispIndex = 1\r\n[Tab31]\r\nDispIndex = 1\r\n[Tab-5]\r\nTabCaption = x\r\n"
              "[Tab99999]\r\nDispIndex = 1\r\n[Tab2.5]\r\nDispIndex = 1\r\n[Tab 2]\r\n"
              "DispIndex = 1\r\n[Tab]\r\n[Tab2]\r\nDispIndex = 7\r\n";
        QTest::newRow("a line of 256 KB")
            << Files {{u"Tab1A.tab"_s, QByteArray(256 * 1024, 'x') + "\r\n" + QByteArray(64, 'y')}};
        QTest::newRow("NUL bytes") << Files {{u"Tab1A.tab"_s, QByteArray("t\0i\r\nc\0\0n\r\n", 11)},
            {u"TabSet.ini"_s,
                IniHeader + QByteArray("TabDisp = \0 1\r\n[Tab1]\r\nTabCaption = a\0b\r\n", 38)}};
        QTest::newRow("invalid cp932")
            << Files {{u"Tab1A.tab"_s, "\x81\r\n\xff\xfe\xa0\x80\r\n\x81"},
                   {u"Tab1B.tab"_s, "\xef\xbb\xbf\xc3\x28\xed\xa0\x80\r\n\xf0\x9f\r\n"}};
        QTest::newRow("odd line ends") << Files {{u"Tab1A.tab"_s, "\n\n\r\r\r\n\n\r"},
            {u"Tab1B.tab"_s, "\r"}, {u"Tab1C.tab"_s, ""},
            {u"TabSet.ini"_s, IniHeader + "\rTabDisp = 1\n\r[Tab1]\rDispIndex = 2\r\r\n"}};
        QTest::newRow("sections out of range")
            << Files {{u"Tab1A.tab"_s, "a\r\n\r\n"}, {u"Tab2A.tab"_s, "b\r\n\r\n"},
                   {u"Tab2B.tab"_s, "c\r\n\r\n"}, {u"TabSet.ini"_s, sections}};
        QTest::newRow("values out of range") << Files {{u"Tab1A.tab"_s, "a\r\n\r\n"},
            {u"TabSet.ini"_s,
                IniHeader
                    + "FormTop = 1e12\r\nFormLeft = -1e12\r\nFormHeight = -5\r\nFormWidth = 0\r\n"
                      "TabDisp = 40000\r\nDefFontSize = 1e6\r\n[Tab1]\r\nFontSize = 3.5e38\r\n"
                      "FontSize = 1e39\r\nCreatDate = 9999/12/31 23:59\r\n"
                      "AlarmDate = 0001/01/01 00:00\r\nAlarmSetOn = #True#\r\n"
                      "DispIndex = 1e300\r\n"}};

        QRandomGenerator random(7);
        for (int round = 0; round < 12; ++round) {
            Files files;
            for (int i = random.bounded(1, 5); i > 0; --i) {
                const QString name = u"Tab%1%2.tab"_s.arg(random.bounded(1, 4))
                                         .arg(QChar(u'A' + random.bounded(3)));
                files.insert(name, randomBytes(random, random.bounded(200)));
            }
            QByteArray ini = round % 3 == 0 ? randomBytes(random, 300) : IniHeader;
            for (int i = random.bounded(30); i > 0; --i)
                ini += IniPieces.at(random.bounded(int(IniPieces.size()))) + randomLineEnd(random);
            files.insert(u"TabSet.ini"_s, ini);
            QTest::newRow(qPrintable(u"random %1"_s.arg(round))) << files;
        }
    }
    void hostileFiles_startSaneAndSaveStably()
    {
        QFETCH(Files, files);
        startSaveAndRestart(files);
    }
};

QTEST_MAIN(TestHostileFiles)
#include "tst_HostileFiles.moc"
