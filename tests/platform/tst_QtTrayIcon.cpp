#include "platform/QtPlatformServices.h"
#include "platform/QtTrayIcon.h"

#include <QCursor>
#include <QPixmap>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestQtTrayIcon final : public QObject
{
    Q_OBJECT

private slots:
    void addTrayIcon_showsIconWithTipAndNoMenu();
    void activated_reportsOnlyLeftAndRightPresses_data();
    void activated_reportsOnlyLeftAndRightPresses();
    void destroyed_removesIcon();

private:
    static QIcon someIcon();
    static QSystemTrayIcon *systemIconOf(TrayIcon &tray);
};

QIcon TestQtTrayIcon::someIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::yellow);
    return QIcon(pixmap);
}

QSystemTrayIcon *TestQtTrayIcon::systemIconOf(TrayIcon &tray)
{
    return tray.findChild<QSystemTrayIcon *>();
}

void TestQtTrayIcon::addTrayIcon_showsIconWithTipAndNoMenu()
{
    QtPlatformServices platform;
    const std::unique_ptr<TrayIcon> tray = platform.addTrayIcon(someIcon(), u"Nokuri"_s);

    QSystemTrayIcon *icon = systemIconOf(*tray);
    QVERIFY(icon);
    QVERIFY(icon->isVisible());
    QVERIFY(!icon->icon().isNull());
    QCOMPARE(icon->toolTip(), u"Nokuri"_s);
    QVERIFY(!icon->contextMenu());
}

void TestQtTrayIcon::activated_reportsOnlyLeftAndRightPresses_data()
{
    QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::newRow("left press") << QSystemTrayIcon::Trigger << 1 << 0;
    QTest::newRow("right press") << QSystemTrayIcon::Context << 0 << 1;
    QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << 0 << 0;
    QTest::newRow("middle click") << QSystemTrayIcon::MiddleClick << 0 << 0;
    QTest::newRow("unknown") << QSystemTrayIcon::Unknown << 0 << 0;
}

void TestQtTrayIcon::activated_reportsOnlyLeftAndRightPresses()
{
    QFETCH(QSystemTrayIcon::ActivationReason, reason);
    QFETCH(int, left);
    QFETCH(int, right);
    QtTrayIcon tray(someIcon(), u"Nokuri"_s);
    QSignalSpy leftSpy(&tray, &TrayIcon::leftPressed);
    QSignalSpy rightSpy(&tray, &TrayIcon::rightPressed);

    QCursor::setPos(40, 30);

    emit systemIconOf(tray)->activated(reason);

    QCOMPARE(leftSpy.size(), left);
    QCOMPARE(rightSpy.size(), right);
    if (right)
        QCOMPARE(rightSpy.first().first().toPoint(), QPoint(40, 30));
}

void TestQtTrayIcon::destroyed_removesIcon()
{
    auto tray = std::make_unique<QtTrayIcon>(someIcon(), u"Nokuri"_s);
    const QPointer<QSystemTrayIcon> icon = systemIconOf(*tray);
    QVERIFY(icon);

    tray.reset();

    QVERIFY(icon.isNull());
}

QTEST_MAIN(TestQtTrayIcon)
#include "tst_QtTrayIcon.moc"
