#include "platform/QtPlatformServices.h"

#include "ModalAnswer.h"
#include "platform/AlarmTimeDialog.h"
#include "platform/DateTimeDialog.h"
#include "platform/HelpViewer.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using namespace Qt::StringLiterals;

class TestQtPlatformServices final : public QObject
{
    Q_OBJECT

private slots:
    void now_isToTheWholeSecond();
    void clipboardText_data();
    void clipboardText();
    void showMessage_showsTopmostBoxWithOkOnly_data();
    void showMessage_showsTopmostBoxWithOkOnly();
    void askQuestion_keepsButtonOrderAndReturnsChosenIndex();
    void chooseFont_okWithoutChange_keepsTheTabsFont();
    void chooseFont_cancelled_givesNothing();
    void createAlarmTimeDialog_givesDateTimeDialog();
    void showHelp_missingFile_failsWithoutWindow();
    void showHelp_twice_reusesOneWindow();
    void isSystemTrayAvailable_offscreen_isFalse();

private:
    static QList<HelpViewer *> helpWindows();
};

void TestQtPlatformServices::now_isToTheWholeSecond()
{
    QtPlatformServices platform;
    const QDateTime before = QDateTime::currentDateTime();
    const QDateTime now = platform.now();
    const QDateTime after = QDateTime::currentDateTime();

    QCOMPARE(now.time().msec(), 0);
    QVERIFY(now > before.addSecs(-1));
    QVERIFY(now <= after);
}

void TestQtPlatformServices::clipboardText_data()
{
    QTest::addColumn<bool>("withText");
    QTest::addColumn<QString>("expected");
    QTest::newRow("text") << true << u"買い物\r\n牛乳"_s;
    QTest::newRow("image only") << false << QString();
}

void TestQtPlatformServices::clipboardText()
{
    QFETCH(bool, withText);
    QFETCH(QString, expected);
    QGuiApplication::clipboard()->setText(u"stale"_s);
    auto *data = new QMimeData;
    if (withText) {
        data->setText(expected);
    } else {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        data->setImageData(image);
    }
    QGuiApplication::clipboard()->setMimeData(data);

    QCOMPARE(QtPlatformServices().clipboardText(), expected);
}

void TestQtPlatformServices::showMessage_showsTopmostBoxWithOkOnly_data()
{
    QTest::addColumn<MessageIcon>("icon");
    QTest::addColumn<QMessageBox::Icon>("expected");
    QTest::newRow("no icon") << MessageIcon::None << QMessageBox::NoIcon;
    QTest::newRow("critical") << MessageIcon::Critical << QMessageBox::Critical;
}

void TestQtPlatformServices::showMessage_showsTopmostBoxWithOkOnly()
{
    QFETCH(MessageIcon, icon);
    QFETCH(QMessageBox::Icon, expected);
    QWidget hiddenMainWindow;
    QtPlatformServices platform;
    QMessageBox::Icon iconSeen = QMessageBox::Information;
    QString textSeen, titleSeen;
    QMessageBox::StandardButtons buttonsSeen;
    bool onTop = false, active = false;
    const auto answered = answerModal<QMessageBox>([&](QMessageBox &box) {
        iconSeen = box.icon();
        textSeen = box.text();
        titleSeen = box.windowTitle();
        buttonsSeen = box.standardButtons();
        onTop = box.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        active = QTest::qWaitForWindowActive(&box);
        box.button(QMessageBox::Ok)->click();
    });

    platform.showMessage(u"タブ「会議」の時間です"_s, u"Nokuriのアラーム"_s, icon);

    QVERIFY(*answered);
    QCOMPARE(iconSeen, expected);
    QCOMPARE(textSeen, u"タブ「会議」の時間です"_s);
    QCOMPARE(titleSeen, u"Nokuriのアラーム"_s);
    QCOMPARE(buttonsSeen, QMessageBox::Ok);
    QVERIFY(onTop);
    QVERIFY(active);
}

void TestQtPlatformServices::askQuestion_keepsButtonOrderAndReturnsChosenIndex()
{
    QtPlatformServices platform;
    const QStringList labels {u"もう一度保存する"_s, u"保存せずに終了する"_s, u"終了しない"_s};
    QStringList labelsLeftToRight;
    bool onTop = false, stayedOpenOnClose = false;
    const auto answered = answerModal<QMessageBox>([&](QMessageBox &box) {
        QList<QAbstractButton *> buttons = box.buttons();
        std::ranges::sort(buttons, {}, [](QAbstractButton *b) { return b->x(); });
        for (QAbstractButton *button : buttons)
            labelsLeftToRight.append(button->text());
        onTop = box.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        box.close();
        stayedOpenOnClose = box.isVisible();
        buttons.value(1)->click();
    });

    const int choice = platform.askQuestion(u"保存できませんでした"_s, u"Nokuri"_s, labels);

    QVERIFY(*answered);
    QCOMPARE(labelsLeftToRight, labels);
    QVERIFY(onTop);
    QVERIFY(stayedOpenOnClose);
    QCOMPARE(choice, 1);
}

void TestQtPlatformServices::chooseFont_okWithoutChange_keepsTheTabsFont()
{
    QtPlatformServices platform;
    bool closeOnly = false;
    const auto answered = answerModal<QDialog>([&](QDialog &dialog) {
        closeOnly = !dialog.windowFlags().testAnyFlags(
            Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
        dialog.accept();
    });

    const auto choice = platform.chooseFont(nullptr, {u"ＭＳ 明朝"_s, 10.5f});

    QVERIFY(*answered);
    QVERIFY(closeOnly);
    QVERIFY(choice.has_value());
    QCOMPARE(choice->name, u"ＭＳ 明朝"_s);
    QCOMPARE(choice->size, 10.5f);
}

void TestQtPlatformServices::chooseFont_cancelled_givesNothing()
{
    QtPlatformServices platform;
    const auto answered = answerModal<QDialog>([](QDialog &dialog) { dialog.reject(); });

    QVERIFY(!platform.chooseFont(nullptr, {u"Sans Serif"_s, 10}).has_value());
    QVERIFY(*answered);
}

void TestQtPlatformServices::createAlarmTimeDialog_givesDateTimeDialog()
{
    QtPlatformServices platform;
    const std::unique_ptr<AlarmTimeDialog> first = platform.createAlarmTimeDialog();
    const std::unique_ptr<AlarmTimeDialog> second = platform.createAlarmTimeDialog();

    QVERIFY(dynamic_cast<DateTimeDialog *>(first.get()));
    QVERIFY(first != second);
    QVERIFY(first->result() != AlarmTimeDialog::Confirmed);
}

QList<HelpViewer *> TestQtPlatformServices::helpWindows()
{
    QList<HelpViewer *> found;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *viewer = qobject_cast<HelpViewer *>(widget); viewer && viewer->isVisible())
            found.append(viewer);
    }
    return found;
}

void TestQtPlatformServices::showHelp_missingFile_failsWithoutWindow()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QtPlatformServices platform;

    QVERIFY(!platform.showHelp(dir.filePath(u"Nokuri2hlp.html"_s)));
    QVERIFY(helpWindows().isEmpty());
}

void TestQtPlatformServices::showHelp_twice_reusesOneWindow()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(u"Nokuri2hlp.html"_s));
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QVERIFY2(file.write("<h1>Nokuri</h1>") > 0, qPrintable(file.errorString()));
    file.close();
    QtPlatformServices platform;

    QVERIFY(platform.showHelp(file.fileName()));
    helpWindows().value(0)->close();
    QVERIFY(platform.showHelp(file.fileName()));

    QCOMPARE(helpWindows().size(), 1);
}

void TestQtPlatformServices::isSystemTrayAvailable_offscreen_isFalse()
{
    QCOMPARE(QtPlatformServices().isSystemTrayAvailable(), false);
}

QTEST_MAIN(TestQtPlatformServices)
#include "tst_QtPlatformServices.moc"
