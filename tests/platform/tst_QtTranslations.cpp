#include "platform/QtTranslations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

class TestQtTranslations final : public QObject
{
    Q_OBJECT

private slots:
    // Each row runs before any translator is installed by the next: English first.
    void installQtTranslations_onlyUnderJapanese_data()
    {
        QTest::addColumn<QLocale::Language>("language");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("undo");
        QTest::newRow("English") << QLocale::English << false << u"&Undo"_s;
        QTest::newRow("Japanese") << QLocale::Japanese << true << u"元に戻す(&U)"_s;
    }

    void installQtTranslations_onlyUnderJapanese()
    {
        QFETCH(QLocale::Language, language);
        QFETCH(bool, installed);
        QFETCH(QString, undo);
        QLocale::setDefault(QLocale(language));

        QCOMPARE(installQtTranslations(), installed);
        QCOMPARE(QCoreApplication::translate("QLineEdit", "&Undo"), undo);
    }
};

QTEST_MAIN(TestQtTranslations)
#include "tst_QtTranslations.moc"
