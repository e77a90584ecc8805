#include "persist/IniSettings.h"
#include "persist/NoteCodec.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

template<typename T>
QString shown(const std::optional<T> &value)
{
    if (!value)
        return u"-"_s;
    if constexpr (std::is_same_v<T, QString>)
        return *value;
    else if constexpr (std::is_same_v<T, QDateTime>)
        return value->toString(u"yyyy/MM/dd HH:mm"_s);
    else
        return QString::number(*value);
}

QString shown(const IniString &value)
{
    return shown(value.plain) + u"|"_s + value.pendingExact.join(u',');
}

QString shown(const QList<IniProblem> &problems)
{
    QStringList lines;
    for (const IniProblem &problem : problems)
        lines.append(QString::number(problem.line));
    return lines.join(u',');
}

// Every field that the file set, one "name=value" each, for comparing whole results.
QStringList described(const IniSettings &settings)
{
    QStringList positions;
    for (const qint16 position : settings.tabDisp)
        positions.append(QString::number(position));
    QStringList fields {u"geometry=%1,%2,%3,%4"_s.arg(shown(settings.top), shown(settings.left),
                            shown(settings.height), shown(settings.width)),
        u"tabDisp=%1"_s.arg(positions.join(u',')),
        u"defFont=%1 %2"_s.arg(shown(settings.defFontName), shown(settings.defFontSize)),
        u"backup=%1 scroll=%2"_s.arg(shown(settings.makeBackup),
            shown(settings.scrlType ? std::optional(scrollTypeLetter(*settings.scrlType))
                                    : std::nullopt)),
        u"problems=%1"_s.arg(shown(settings.problems))};
    for (auto tab = settings.tabs.begin(); tab != settings.tabs.end(); ++tab) {
        const IniTabSettings &t = tab.value();
        QStringList steps;
        for (const auto &step : t.alarmSteps) {
            steps.append(std::holds_alternative<bool>(step)
                    ? shown(std::optional<bool>(std::get<bool>(step)))
                    : shown(std::optional<QDateTime>(std::get<QDateTime>(step))));
        }
        QStringList indexes;
        for (const IniDispIndex &index : t.dispIndexes)
            indexes.append(u"%1@%2"_s.arg(index.index).arg(index.source.line));
        fields.append(u"[%1] font=%2 %3 created=%4 alarm=%5 disp=%6 caption=%7 problems=%8"_s.arg(
            QString::number(tab.key()), shown(t.fontName), shown(t.fontSize), shown(t.created),
            steps.join(u','), indexes.join(u','), shown(t.caption), shown(t.problems)));
    }
    return fields;
}

} // namespace

class tst_IniSettings final : public QObject
{
    Q_OBJECT

private slots:
    void parseIni_readsEveryLineIntoTheSettings_data();
    void parseIni_readsEveryLineIntoTheSettings();
    void appliedTo_exactValueOnlyWhileItBelongsToThePlainOne();
};

void tst_IniSettings::parseIni_readsEveryLineIntoTheSettings_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("the last value that passes its test")
        << u"FormTop = 1\r\nFormTop = 2.5\r\nFormWidth = 1e5\r\nFormLeft = x\r\n"
           u"TabDisp = 0\r\nTabDisp = 3\r\nMakeBackup = #False#\r\nMakeBackup = True\r\n"
           u"ScrlType = W\r\nScrlType = v\r\nDefFontSize = 11.5\r\nDefFontName = a = b  \r\n"_s
        << QStringList {u"geometry=2,-,-,100000"_s, u"tabDisp=0,3"_s, u"defFont=a = b| 12"_s,
               u"backup=0 scroll=W"_s, u"problems="_s};
    QTest::newRow("numbers out of range and bad tab headers are problems")
        << u"FormTop = 1e10\r\nTabDisp = 40000\r\n[Tabx]\r\n[Tab1]\r\nFontSize = 1e39\r\n"
           u"DispIndex = 5\r\nDispIndex = 1e6\r\nDispIndex = five\r\n[Tab99999]\r\nDispIndex = 2\r\n"_s
        << QStringList {u"geometry=-,-,-,-"_s, u"tabDisp="_s, u"defFont=-| -"_s,
               u"backup=- scroll=-"_s, u"problems=1,2,3,9"_s,
               u"[1] font=-| - created=- alarm= disp=5@6,2@10 caption=-| problems=5,7"_s};
    QTest::newRow("sections: header line and [Tab0] global, others keep the section")
        << u"[Tab2]\r\nCreatDate = 1999/7/5 9:05:30\r\n[other]\r\nFontSize = 10.5\r\n"
           u"[Tab0]\r\nFontName = ignored\r\nDefFontSize = 9\r\n[Tab3]\r\n"
           u"-header\r\nFormTop = 7\r\n[Tab-1]\r\nTabCaption = nowhere\r\n"_s
        << QStringList {u"geometry=7,-,-,-"_s, u"tabDisp="_s, u"defFont=-| 9"_s,
               u"backup=- scroll=-"_s, u"problems="_s,
               u"[2] font=-| 10.5 created=1999/07/05 09:05 alarm= disp= caption=-| problems="_s};
    QTest::newRow("alarm time and switch in file order")
        << u"[Tab1]\r\nAlarmSetOn = #True#\r\nAlarmDate = 2026/12/07 12:01\r\n"
           u"AlarmSetOn = on\r\nAlarmDate = 2026/13/07 12:01\r\nAlarmSetOn = #False#\r\n"_s
        << QStringList {u"geometry=-,-,-,-"_s, u"tabDisp="_s, u"defFont=-| -"_s,
               u"backup=- scroll=-"_s, u"problems="_s,
               u"[1] font=-| - created=- alarm=1,2026/12/07 12:01,0 disp= caption=-| problems="_s};
    QTest::newRow("exact values beside their plain line, or kept for the value applied to")
        << u"DefFontName.utf8 = %F0%9F%93%9D\r\n[Tab1]\r\nTabCaption = ? Memo\r\n"
           u"TabCaption.utf8 = %F0%9F%93%9D%20Memo\r\nFontName.utf8 = x\r\nFontName = y\r\n"_s
        << QStringList {u"geometry=-,-,-,-"_s, u"tabDisp="_s, u"defFont=-|%F0%9F%93%9D -"_s,
               u"backup=- scroll=-"_s, u"problems="_s,
               u"[1] font=y| - created=- alarm= disp= caption=📝 Memo| problems="_s};
}

void tst_IniSettings::parseIni_readsEveryLineIntoTheSettings()
{
    QFETCH(QString, file);
    QFETCH(QStringList, expected);
    const QStringList actual = described(parseIni(encodeCp932Lossy(file)));
    // Field by field, so that a failure names the one that differs.
    QCOMPARE(actual.size(), expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i)
        QCOMPARE(actual[i], expected[i]);
}

void tst_IniSettings::appliedTo_exactValueOnlyWhileItBelongsToThePlainOne()
{
    IniString name;
    name.readExact(u"%F0%9F%93%9D"_s);
    QCOMPARE(name.appliedTo(u"?"_s), u"📝"_s);
    QCOMPARE(name.appliedTo(u"hand edited"_s), u"hand edited"_s);
    name.readPlain(u"plain"_s);
    QCOMPARE(name.appliedTo(u"?"_s), u"plain"_s);
}

QTEST_MAIN(tst_IniSettings)
#include "tst_IniSettings.moc"
