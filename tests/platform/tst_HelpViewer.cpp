#include "platform/HelpViewer.h"

#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

using namespace Qt::StringLiterals;

class TestHelpViewer final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void open_htmlFile_showsItsText();
    void open_markdownFile_showsRenderedText();
    void open_missingFile_failsAndKeepsShownDocument();
    void open_again_showsCurrentTextFromTheTop_data();
    void open_again_showsCurrentTextFromTheTop();

private:
    QString write(const QString &name, const QByteArray &content);
    static QTextBrowser &browserOf(HelpViewer &viewer);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestHelpViewer::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestHelpViewer::write(const QString &name, const QByteArray &content)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s: %s", qPrintable(path), qPrintable(file.errorString()));
    return path;
}

QTextBrowser &TestHelpViewer::browserOf(HelpViewer &viewer)
{
    return *viewer.findChild<QTextBrowser *>();
}

void TestHelpViewer::open_htmlFile_showsItsText()
{
    const QString path = write(
        u"help.html"_s, u"<html><body><h1>目次</h1><p>タブの使い方</p></body></html>"_s.toUtf8());
    HelpViewer viewer;

    QVERIFY(viewer.open(path));

    QCOMPARE(viewer.windowTitle(), u"Nokuri ヘルプ"_s);
    QCOMPARE(browserOf(viewer).toPlainText(), u"目次\nタブの使い方"_s);
}

void TestHelpViewer::open_markdownFile_showsRenderedText()
{
    const QString path = write(u"help.md"_s, "# Contents\n\nSome *emphasis* here.\n");
    HelpViewer viewer;

    QVERIFY(viewer.open(path));

    QCOMPARE(browserOf(viewer).toPlainText(), u"Contents\nSome emphasis here."_s);
}

void TestHelpViewer::open_missingFile_failsAndKeepsShownDocument()
{
    const QString path = write(u"help.html"_s, "<p>first</p>");
    HelpViewer viewer;
    QVERIFY(viewer.open(path));

    QVERIFY(!viewer.open(m_dir->filePath(u"missing.html"_s)));
    QVERIFY(!viewer.open(m_dir->path()));

    QCOMPARE(browserOf(viewer).toPlainText(), u"first"_s);
}

void TestHelpViewer::open_again_showsCurrentTextFromTheTop_data()
{
    QTest::addColumn<bool>("sameFile");
    QTest::newRow("same file, edited") << true;
    QTest::newRow("another file") << false;
}

void TestHelpViewer::open_again_showsCurrentTextFromTheTop()
{
    QFETCH(bool, sameFile);
    QByteArray longText;
    for (int i = 0; i < 300; ++i)
        longText += "<p>line " + QByteArray::number(i) + "</p>";
    const QString first = write(u"help.html"_s, longText);
    HelpViewer viewer;
    viewer.show();
    QVERIFY(viewer.open(first));
    QScrollBar &scroll = *browserOf(viewer).verticalScrollBar();
    QTRY_VERIFY(scroll.maximum() > 0);
    scroll.setValue(scroll.maximum());

    const QString second
        = write(sameFile ? u"help.html"_s : u"other.html"_s, longText + "<p>end</p>");
    QVERIFY(viewer.open(second));

    QVERIFY(browserOf(viewer).toPlainText().endsWith(u"end"_s));
    QCOMPARE(scroll.value(), 0);
}

QTEST_MAIN(TestHelpViewer)
#include "tst_HelpViewer.moc"
