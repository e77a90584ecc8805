#include "mainwin/NoteFiles.h"

#include "mainwin/SettingsFile.h"
#include "mainwin/frmMain.h"
#include "persist/EntryFiles.h"
#include "persist/SaveEngine.h"
#include "platform/PlatformServices.h"
#include "store/clsTabCont.h"

using namespace Qt::StringLiterals;

NoteFiles::NoteFiles(frmMain &main, const SettingsFile &settings)
    : m_main(main)
    , m_settings(settings)
{ }

void NoteFiles::ReadTabFiles()
{
    const EntryScan scan = readEntryFiles(m_main.appDir());
    for (const QList<Entry> &entries : scan.tabs) {
        for (qsizetype k = 0; k < entries.size(); ++k) {
            const Entry &entry = entries.at(k);
            if (k > 0) {
                const int t = m_main.tabCount() - 1;
                clsTabCont &record = m_main.tabs()[t];
                record.AddTitle(t, entry.title, entry.content);
                record.DispTitle(t, record.NoOfCont() - 1);
                record.DispCont(t);
            } else if (m_main.tabCount() > 0) {
                m_main.AddTabPage(entry.title, entry.content);
            } else {
                // The first tab uses the page that exists from the start.
                clsTabCont &record = m_main.tabs().append();
                record.AddTitle(0, entry.title, entry.content);
                record.setDispIndex(0);
                record.DispCont(0);
                m_main.selectTitleItem(0, 0);
                record.DispCont(0);
            }
        }
    }
    if (!scan.unreadable.isEmpty()) {
        m_main.platform().showMessage(
            u"次のファイルを読み込めませんでした。\r\n"_s + scan.unreadable.join(u"\r\n"_s),
            u"読み込み時のエラー"_s, MessageIcon::Critical);
    }
}

bool NoteFiles::SaveAll()
{
    const int s = m_main.selectedTab();
    m_main.tabs()[s].MoveCont(s);

    QList<SaveFile> entryFiles;
    for (int n = 1; n <= m_main.tabCount(); ++n) {
        const clsTabCont &record = m_main.tabs()[n - 1];
        for (int j = 0; j < record.NoOfCont(); ++j)
            entryFiles.append(
                {entryFileName(n, j), entryFileBytes({record.Title(j), record.Cont(j)})});
    }
    const auto failure
        = saveNoteFiles(m_main.appDir(), entryFiles, m_settings.WriteIni(), m_main.MakeBackup());
    if (!failure)
        return true;
    m_main.platform().showMessage(
        u"ノートを保存できませんでした。メモは失われていません。\r\nファイル: %1\r\n理由: %2"_s.arg(
            failure->fileName, failure->reason),
        u"保存のエラー"_s, MessageIcon::Critical);
    return false;
}
