#pragma once

#include "../mainwin/MainWindowFixture.h"

#include "Program.h"
#include "mainwin/StatusPanels.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <functional>

// A started window with helpers to build tab sets and to drive the tab menu as a user would.
struct TabCommandsFixture : MainWindowFixture
{
    // Appends a tab through the window's own AddTabPage and captions it.
    clsTabCont &addTab(const QString &caption, const QString &content = QString())
    {
        window->AddTabPage(caption + QStringLiteral("-title"), content);
        const int count = window->tabCount();
        clsTabCont &added = record(count - 1);
        added.setOmidasi(caption);
        window->refreshStripCaption(count);
        return added;
    }

    // Captions the tab that start-up made.
    void captionFirstTab(const QString &caption)
    {
        record(0).setOmidasi(caption);
        window->refreshStripCaption(1);
    }

    // Right press on the selected strip tab, then the item picked from the tab menu.
    void chooseFromTabMenu(const QString &item)
    {
        platform.menuChoices.push_back(item);
        pressTab(window->selectedTab(), Qt::RightButton);
    }

    // The strip selects this position as a left press does.
    void selectPosition(int position) { pressTab(position - 1); }

    QStringList recordCaptions()
    {
        QStringList captions;
        for (int i = 0; i < window->tabCount(); ++i)
            captions.append(record(i).Omidasi());
        return captions;
    }

    QStringList stripCaptions()
    {
        QStringList captions;
        for (int p = 1; p <= window->tabMain().count(); ++p)
            captions.append(window->tabMain().caption(p));
        return captions;
    }

    // Strip tabs, pages and records agree in number.
    bool countsAgree()
    {
        return window->tabMain().count() == window->tabCount()
            && window->tabMain().pageStack()->count() == window->tabCount();
    }

    // A tab whose entries, displayed entry, font, creation date and alarm all differ with
    // `seed`, so that data moved to the wrong index shows.
    clsTabCont &addDistinctTab(const QString &caption, int seed)
    {
        clsTabCont &added = addTab(caption, caption + QStringLiteral("-c0\r\nsecond line"));
        const int index = window->tabCount() - 1;
        for (int k = 1; k <= seed % 3; ++k) {
            added.AddTitle(index, caption + QStringLiteral("-t%1").arg(k),
                caption + QStringLiteral("-c%1").arg(k));
        }
        added.setFontName(QStringLiteral("Font-") + caption);
        added.setFontSize(static_cast<float>(8 + seed));
        added.setCrt(platform.now().addDays(-seed));
        if (seed % 2 == 1)
            added.setAlarm(platform.now().addSecs(3600 * seed));
        added.DispTitle(index, added.NoOfCont() - 1);
        added.DispCont(index);
        return added;
    }

    // Everything a tab keeps, one line per field, so that a comparison names what differs.
    QStringList factsOf(int i) { return factsOf(record(i)); }
    static QStringList factsOf(const clsTabCont &r)
    {
        QStringList facts {QStringLiteral("caption=") + r.Omidasi(),
            QStringLiteral("display=%1").arg(r.DispIndex()),
            QStringLiteral("font=%1 %2").arg(r.FontName()).arg(r.FontSize()),
            QStringLiteral("created=") + r.Crt().toString(Qt::ISODate),
            QStringLiteral("alarm=%1 ").arg(r.OnAlm()) + r.storedAlarm().toString(Qt::ISODate)};
        for (int k = 0; k < r.NoOfCont(); ++k)
            facts.append(QStringLiteral("entry=") + r.Title(k) + u'|' + r.Cont(k));
        return facts;
    }

    // Saves, then starts a second window on the same directory and returns what it read back.
    QList<QStringList> saveAndReadBack()
    {
        if (!window->SaveAll())
            return {};
        const std::unique_ptr<frmMain> program = assembleProgram(platform, dir.path());
        frmMain &reopened = *program;
        reopened.Form_Load();
        QList<QStringList> facts;
        for (int i = 0; i < reopened.tabCount(); ++i)
            facts.append(factsOf(reopened.tabs()[i]));
        return facts;
    }

    QList<QStringList> allFacts()
    {
        QList<QStringList> facts;
        for (int i = 0; i < window->tabCount(); ++i)
            facts.append(factsOf(i));
        return facts;
    }
    QList<QStringList> allFacts(const QList<QStringList> &before, const QList<int> &order)
    {
        QList<QStringList> facts;
        for (int i : order)
            facts.append(before.at(i));
        return facts;
    }

    // What page i shows, beside what it should show for its record.
    QStringList pageShows(int i)
    {
        QStringList shown;
        QComboBox *list = titles(i);
        for (int k = 0; k < list->count(); ++k)
            shown.append(list->itemText(k));
        shown.append(QString::number(list->currentIndex()));
        shown.append(box(i)->text());
        shown.append(box(i)->font().family());
        return shown;
    }
    QStringList pageShouldShow(int i)
    {
        const clsTabCont &r = record(i);
        QStringList shown;
        for (int k = 0; k < r.NoOfCont(); ++k)
            shown.append(r.Title(k));
        shown.append(QString::number(r.DispIndex()));
        shown.append(r.Cont(r.DispIndex()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        shown.append(r.FontName());
        return shown;
    }

    // The tab-name dialog: what it showed when it opened, then the user's answer.
    struct NameSeen
    {
        QString text;
        QString selected;
        QString caption;
    };

    void answerTabName(const QString &name, NameSeen *seen = nullptr)
    {
        platform.dialogScripts.push_back(nameScript(name, "cmdOk", seen));
    }
    void cancelTabName(const QString &typed)
    {
        platform.dialogScripts.push_back(nameScript(typed, "cmdCancel", nullptr));
    }

private:
    static std::function<int(QDialog &)> nameScript(
        const QString &name, const char *button, NameSeen *seen)
    {
        return [=](QDialog &dialog) {
            auto *input = dialog.findChild<QLineEdit *>(QStringLiteral("txtOmidashi"));
            if (seen)
                *seen = {input->text(), input->selectedText(), dialog.windowTitle()};
            if (!name.isNull())
                input->setText(name);
            dialog.findChild<QPushButton *>(QString::fromLatin1(button))->click();
            return dialog.result();
        };
    }
};
