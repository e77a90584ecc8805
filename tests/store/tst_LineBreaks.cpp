#include "store/LineBreaks.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestLineBreaks : public QObject
{
    Q_OBJECT

private slots:
    void conversions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("crLfToLf");
        QTest::addColumn<QString>("anyBreakToLf");
        QTest::addColumn<QString>("lfToCrLf");
        QTest::newRow("empty") << u""_s << u""_s << u""_s << u""_s;
        QTest::newRow("no break") << u"あい"_s << u"あい"_s << u"あい"_s << u"あい"_s;
        QTest::newRow("CR LF") << u"a\r\nb"_s << u"a\nb"_s << u"a\nb"_s << u"a\r\nb"_s;
        QTest::newRow("lone LF") << u"\na\n"_s << u"\na\n"_s << u"\na\n"_s << u"\r\na\r\n"_s;
        QTest::newRow("lone CR") << u"a\rb\r"_s << u"a\rb\r"_s << u"a\nb\n"_s << u"a\rb\r"_s;
        QTest::newRow("CR CR LF") << u"\r\r\n"_s << u"\r\n"_s << u"\n\n"_s << u"\r\r\n"_s;
    }
    void conversions()
    {
        QFETCH(QString, text);
        QTEST(crLfToLf(text), "crLfToLf");
        QTEST(anyBreakToLf(text), "anyBreakToLf");
        QTEST(lfToCrLf(text), "lfToCrLf");
    }
};

QTEST_GUILESS_MAIN(TestLineBreaks)
#include "tst_LineBreaks.moc"
