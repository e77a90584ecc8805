#include "platform/DateTimeDialog.h"
#include "platform/ModalGate.h"

#include "ModalAnswer.h"

#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDateTimeDialog final : public QObject
{
    Q_OBJECT

private slots:
    void setValue_showsStartToTheMinute();
    void show_okAfterEditing_confirmsChosenValue();
    void show_typedMinuteAndEnter_confirmsTypedValue();
    void show_closedWithoutOk_isNotConfirmed_data();
    void show_closedWithoutOk_isNotConfirmed();

private:
    static const QDateTime start;
    ModalGate m_modals;
};

const QDateTime TestDateTimeDialog::start(QDate(2026, 12, 7), QTime(12, 0, 30, 500));

static QDateTimeEdit &editOf(QWidget &dialog)
{
    return *dialog.findChild<QDateTimeEdit *>();
}

static QPushButton &buttonOf(QWidget &dialog, QDialogButtonBox::StandardButton which)
{
    return *dialog.findChild<QDialogButtonBox *>()->button(which);
}

void TestDateTimeDialog::setValue_showsStartToTheMinute()
{
    DateTimeDialog dialog(m_modals);
    dialog.setValue(start);

    QCOMPARE(dialog.value(), QDateTime(QDate(2026, 12, 7), QTime(12, 0)));
    QCOMPARE(editOf(dialog).text(), u"2026/12/07 12:00"_s);
    QVERIFY(editOf(dialog).calendarPopup());
}

void TestDateTimeDialog::show_okAfterEditing_confirmsChosenValue()
{
    DateTimeDialog dialog(m_modals);
    dialog.setCaption(u"アラームの設定"_s);
    dialog.setValue(start);
    const QDateTime chosen(QDate(2027, 1, 2), QTime(8, 15, 59));
    QString titleSeen;
    const auto answered = answerModal<DateTimeDialog>([&](DateTimeDialog &shown) {
        titleSeen = shown.windowTitle();
        editOf(shown).setDateTime(chosen);
        buttonOf(shown, QDialogButtonBox::Ok).click();
    });

    static_cast<AlarmTimeDialog &>(dialog).show();

    QVERIFY(*answered);
    QCOMPARE(titleSeen, u"アラームの設定"_s);
    QCOMPARE(dialog.result(), AlarmTimeDialog::Confirmed);
    QCOMPARE(dialog.value(), QDateTime(QDate(2027, 1, 2), QTime(8, 15)));
}

void TestDateTimeDialog::show_typedMinuteAndEnter_confirmsTypedValue()
{
    DateTimeDialog dialog(m_modals);
    dialog.setValue(start);
    const auto answered = answerModal<DateTimeDialog>([](DateTimeDialog &shown) {
        QDateTimeEdit &edit = editOf(shown);
        edit.setSelectedSection(QDateTimeEdit::MinuteSection);
        QTest::keyClicks(&edit, u"45"_s);
        QTest::keyClick(&edit, Qt::Key_Return);
    });

    static_cast<AlarmTimeDialog &>(dialog).show();

    QVERIFY(*answered);
    QCOMPARE(dialog.result(), AlarmTimeDialog::Confirmed);
    QCOMPARE(dialog.value(), QDateTime(QDate(2026, 12, 7), QTime(12, 45)));
}

void TestDateTimeDialog::show_closedWithoutOk_isNotConfirmed_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("cancel button") << 0;
    QTest::newRow("escape key") << 1;
    QTest::newRow("window closed") << 2;
}

void TestDateTimeDialog::show_closedWithoutOk_isNotConfirmed()
{
    QFETCH(int, how);
    DateTimeDialog dialog(m_modals);
    dialog.setValue(start);
    const auto answered = answerModal<DateTimeDialog>([how](DateTimeDialog &shown) {
        editOf(shown).setDateTime(start.addDays(1));
        if (how == 0) {
            QCOMPARE(buttonOf(shown, QDialogButtonBox::Cancel).text(), u"キャンセル"_s);
            buttonOf(shown, QDialogButtonBox::Cancel).click();
        } else if (how == 1) {
            QTest::keyClick(&shown, Qt::Key_Escape);
        } else {
            shown.close();
        }
    });

    static_cast<AlarmTimeDialog &>(dialog).show();

    QVERIFY(*answered);
    QVERIFY(dialog.result() != AlarmTimeDialog::Confirmed);
}

QTEST_MAIN(TestDateTimeDialog)
#include "tst_DateTimeDialog.moc"
