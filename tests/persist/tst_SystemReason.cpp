#include "persist/SystemReason.h"

#include <QTest>
#include <cerrno>

using namespace Qt::StringLiterals;

class TestSystemReason final : public QObject
{
    Q_OBJECT

private slots:
    void commonFailures_readInJapanese_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");
        QTest::newRow("disk full") << ENOSPC << u"ディスクの空き容量が足りません"_s;
        QTest::newRow("quota") << EDQUOT << u"ディスクの使用量の上限を超えています"_s;
        QTest::newRow("no access") << EACCES << u"アクセスが許可されていません"_s;
        QTest::newRow("not permitted") << EPERM << u"アクセスが許可されていません"_s;
        QTest::newRow("read-only") << EROFS << u"読み取り専用のディスクです"_s;
        QTest::newRow("gone") << ENOENT << u"ファイルまたはフォルダーが見つかりません"_s;
        QTest::newRow("failing disk") << EIO << u"ディスクの読み書きでエラーが起きました"_s;
    }

    void commonFailures_readInJapanese()
    {
        QFETCH(int, error);
        QFETCH(QString, reason);
        QCOMPARE(systemReason(error), reason);
    }

    void otherFailures_keepTheSystemsText()
    {
        QCOMPARE(systemReason(EMFILE), qt_error_string(EMFILE));
        QVERIFY(!systemReason(EMFILE).isEmpty());
    }
};

QTEST_MAIN(TestSystemReason)
#include "tst_SystemReason.moc"
