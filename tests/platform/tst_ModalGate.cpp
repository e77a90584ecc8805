#include "platform/ModalGate.h"

#include <QDialog>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// A quit cancels whatever modal windows and menus are open, however deeply nested, and the
// ones that would open while the loops unwind never show.
class TestModalGate final : public QObject
{
    Q_OBJECT

private slots:
    void closeAll_endsNestedDialogAndMenu_thenRefusesUntilReopened()
    {
        ModalGate gate;
        QSignalSpy returned(&gate, &ModalGate::allReturned);
        QDialog outer;
        QMenu menu;
        menu.addAction(QStringLiteral("item"));
        QStringList order;
        int openWhileInside = 0;
        QAction *menuChoice = menu.actions().value(0);

        QTimer::singleShot(0, &outer, [&] {
            QTimer::singleShot(0, &menu, [&] {
                openWhileInside = int(gate.openCount());
                gate.closeAll();
            });
            menuChoice = gate.exec(menu, QPoint(10, 10));
            order << QStringLiteral("menu");
            QCOMPARE(returned.size(), 0);
        });
        const int result = gate.exec(outer);
        order << QStringLiteral("dialog");

        QCOMPARE(openWhileInside, 2);
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(menuChoice, nullptr);
        QCOMPARE(order, QStringList({QStringLiteral("menu"), QStringLiteral("dialog")}));
        QCOMPARE(returned.size(), 1);
        QCOMPARE(gate.openCount(), 0);

        // While the quit unwinds, a dialog asked for is answered at once and never shown.
        QDialog late;
        bool shown = false;
        QTimer::singleShot(0, &late, [&] {
            shown = late.isVisible();
            late.accept();
        });
        QCOMPARE(gate.exec(late), int(QDialog::Rejected));
        QVERIFY(!late.isVisible());
        QTest::qWait(20);
        QVERIFY(!shown);

        gate.reopen();
        QTimer::singleShot(0, &late, [&] { late.accept(); });
        QCOMPARE(gate.exec(late), int(QDialog::Accepted));
    }

    // The window's wait for a save: a quit waits for its end as for a dialog's, but cannot cut
    // it short; work put after it runs once it is over, from the main loop.
    void wait_countsAsOpenOutlivesCloseAllAndHoldsBackWork()
    {
        ModalGate gate;
        QSignalSpy returned(&gate, &ModalGate::allReturned);
        QStringList order;
        {
            const ModalGate::Wait wait(gate);
            gate.afterWaits(&gate, [&] { order << QStringLiteral("work"); });
            gate.closeAll();
            QTest::qWait(20);
            QCOMPARE(gate.openCount(), 1);
            QVERIFY(gate.waiting());
            QCOMPARE(returned.size(), 0);
            order << QStringLiteral("wait over");
        }
        QCOMPARE(returned.size(), 1);
        QVERIFY(!gate.waiting());
        QTRY_COMPARE(order, QStringList({QStringLiteral("wait over"), QStringLiteral("work")}));
    }
};

QTEST_MAIN(TestModalGate)
#include "tst_ModalGate.moc"
