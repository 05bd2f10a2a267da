#include "ShownDiary.h"

#include <algorithm>
#include <functional>

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
        JoinAppended();
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

void ShownDiary::JoinAppended() {
    records_.insert(records_.begin(), appended_.rbegin(), appended_.rend());
    appended_.clear();
}

std::optional<std::vector<EntryListChange>>
ShownDiary::FollowOwnChange(const std::optional<DiaryChangeSeen>& change, CommandOutcome* why) {
    // Another writer between our last read and the change, or a change the
    // store could not vouch for, leaves only the full read.
    if (!change || !change->recordsTold || !identity_ || change->before != *identity_)
        return Reload(why);
    try {
        if (!change->removed.empty())
            JoinAppended();
        // Room first: once the items have changed, nothing may fail.
        appended_.reserve(appended_.size() + change->added.size());
        std::optional<std::vector<EntryListChange>> changes =
            ApplyRecordChange(items_, records_, {change->removed, change->added});
        if (!changes)
            return Reload(why);
        std::vector<std::size_t> removed = change->removed;
        std::ranges::sort(removed, std::greater<>());
        for (const std::size_t place : removed)
            records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(place));
        appended_.insert(appended_.end(), change->added.rbegin(), change->added.rend());
        identity_ = change->after;
        return changes;
    } catch (...) {
        return Reload(why);
    }
}
