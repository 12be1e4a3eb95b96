// The window core's reload after the reader's files changed: record numbers shift whenever an
// entry is added or removed before them, so every number the state holds is carried over by
// the entry's id, which does not change.
#include "main/main_lex.h"
#include "store/folder_lock.h"

#include <unordered_map>

namespace termdex {

IndexLoadStatus MainLexCore::ReloadAfterEdit()
{
    auto idOf = [&](int record) -> uint32_t {
        return IsRecord(record) ? m_dict.index.english[static_cast<size_t>(record)].id : 0;
    };
    std::vector<uint32_t> listIds;
    for (int record : m_state.ListRecords)
        listIds.push_back(idOf(record));
    std::vector<uint32_t> prevIds, nextIds;
    for (const HistoryItem &item : m_state.PrevMenu)
        prevIds.push_back(idOf(item.tag));
    for (const HistoryItem &item : m_state.NextMenu)
        nextIds.push_back(idOf(item.tag));
    const uint32_t currentId = idOf(m_state.CurrentEntryRecord);
    const uint32_t shownId = idOf(m_state.shownRecord);

    IndexLoadStatus status;
    {
        // Within an edit this process holds the lock exclusively already.
        const FolderLock lock = LockForReading(m_files, m_dict.paths);
        status = LoadIndex();
    }

    std::unordered_map<uint32_t, int> recordOf;
    for (int r = 1; r <= m_dict.index.englishCount; ++r)
        recordOf.emplace(m_dict.index.english[static_cast<size_t>(r)].id, r);
    auto recordFor = [&](uint32_t id) {
        const auto it = id != 0 ? recordOf.find(id) : recordOf.end();
        return it != recordOf.end() ? it->second : 0;
    };

    std::vector<Cp1253> items;
    std::vector<int> records;
    int selected = -1;
    for (size_t i = 0; i < listIds.size() && i < m_state.listItems.size(); ++i) {
        const int record = recordFor(listIds[i]);
        if (record == 0)
            continue;
        if (static_cast<int>(i) == m_state.itemIndex)
            selected = static_cast<int>(items.size());
        items.push_back(std::move(m_state.listItems[i]));
        records.push_back(record);
    }
    m_state.listItems = std::move(items);
    m_state.ListRecords = std::move(records);
    m_state.itemIndex = selected;

    auto carry = [&](std::vector<HistoryItem> &menu, const std::vector<uint32_t> &ids) {
        std::vector<HistoryItem> kept;
        for (size_t i = 0; i < menu.size(); ++i)
            if (const int record = recordFor(ids[i]); record != 0) {
                kept.push_back(menu[i]);
                kept.back().tag = record;
            }
        menu = std::move(kept);
    };
    carry(m_state.PrevMenu, prevIds);
    carry(m_state.NextMenu, nextIds);
    m_state.CurrentEntryRecord = recordFor(currentId);
    if (m_state.CurrentEntryRecord == 0)
        m_state.CurrentEntryCaption.clear(); // the entry left is gone: nothing to go back to
    m_state.shownRecord = recordFor(shownId);
    return status;
}

void MainLexCore::FollowOtherWriters()
{
    if (m_dict.paths.HasCustomFolder() && StampFile(m_dict.paths.customIndexPath) != m_customStamp)
        ReloadAfterEdit();
}

void MainLexCore::ClearEntryDisplay()
{
    m_state.entryLabel.clear();
    m_state.transLabel.clear();
    m_state.descriptionDocument.clear();
    m_state.descriptionText.clear();
    m_state.modifyEntryEnabled = false;
    m_state.deleteEntryEnabled = false;
    m_state.itemIndex = -1;
    m_state.shownRecord = 0;
}

} // namespace termdex
