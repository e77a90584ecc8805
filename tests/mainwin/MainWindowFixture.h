#pragma once

#include "Program.h"
#include "RecordingPlatform.h"
#include "mainwin/ContentBox.h"
#include "mainwin/TabPage.h"
#include "mainwin/TabRows.h"
#include "mainwin/TabStrip.h"
#include "mainwin/frmMain.h"
#include "store/clsTabCont.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// A started main window on a fresh directory, shown offscreen, driven like a user would.
struct MainWindowFixture
{
    RecordingPlatform platform;
    QTemporaryDir dir;
    std::unique_ptr<frmMain> window;

    void start()
    {
        window = assembleProgram(platform, dir.path());
        window->Form_Load();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    clsTabCont &record(int i) { return window->tabs()[i]; }
    ContentBox *box(int i) { return window->page(i).txtCont(); }
    QComboBox *titles(int i) { return window->page(i).cboTitle(); }
    TabRows *bar() { return window->tabMain().tabBar(); }

    void pressTab(int index, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(bar(), button, {}, bar()->tabRect(index).center());
    }

    void typeInto(int i, const QString &text)
    {
        ContentBox *target = box(i);
        target->setFocus();
        target->moveCursor(QTextCursor::End);
        for (const QChar c : text) {
            if (c == u'\n')
                QTest::keyClick(target, Qt::Key_Return);
            else
                QTest::sendKeyEvent(
                    QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }

    void chooseEntry(int tab, int entry)
    {
        titles(tab)->setCurrentIndex(entry);
        emit titles(tab)->activated(entry);
    }
};
