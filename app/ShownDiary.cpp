#include "ShownDiary.h"

#include "DiaryCommands.h"

bool ShownDiary::FileChanged() const {
    return IdentityOf(files_.steps) != identity_;
}

std::optional<std::vector<EntryListChange>> ShownDiary::Reload(CommandOutcome* why) {
    // Taken before the read: a change while reading makes the next check
    // read again rather than go unnoticed.
    std::optional<FileIdentity> identity = IdentityOf(files_.steps);
    // The first read creates a missing diary; a diary removed later is shown
    // empty and left removed, as whoever removed it wanted.
    std::optional<std::vector<StepRecord>> records;
    if (identity || !read_)
        records = LoadEntryRecords(files_, why);
    else
        records.emplace();
    if (!records)
        return std::nullopt;
    read_ = true;
    identity_ = identity ? identity : IdentityOf(files_.steps);
    try {
        std::vector<EntryListChange> changes = Follow(*records);
        records_ = std::move(*records);
        return changes;
    } catch (...) {
        if (why)
            *why = ExceptionFailure("the list was not brought up to date");
        return std::nullopt;
    }
}

std::vector<EntryListChange> ShownDiary::Follow(const std::vector<StepRecord>& records) {
    if (!items_.empty())
        if (std::optional<std::vector<EntryListChange>> changes =
                ApplyRecordChange(items_, records_, FindRecordChange(records_, records)))
            return *changes;
    // The first read sorts every row. The items always hold the records read
    // last; should they ever not, the list is shown afresh rather than wrong.
    std::vector<ShownEntry> items = BuildShownEntries(records);
    std::vector<EntryListChange> changes;
    if (!items_.empty() || !items.empty())
        changes.push_back({0, items_.size(), 0, items.size()});
    items_ = std::move(items);
    return changes;
}
