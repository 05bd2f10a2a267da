#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "StepRecord.h"
#include "TestDiary.h"

// A diary's scans, newest first, as one writer after another changes it.
class ChangingDiary {
public:
    explicit ChangingDiary(std::uint32_t seed) : random_(seed) {
        for (std::size_t i = random_() % 200; i > 0; --i)
            Append();
    }

    const std::vector<StepRecord>& Records() const { return records_; }

    // Changes the diary as a window, an import or anyone else might; gives
    // how many records a change that only removes and appends touched, and
    // none for any other change.
    std::optional<std::size_t> Change() {
        std::size_t size = records_.size();
        switch (random_() % 4) {
        case 0: { // Add, Delete, an import, or one that replaces what it conflicts with
            const std::size_t removed = std::min<std::size_t>(random_() % 3, size);
            const std::size_t added = random_() % 3 == 0 ? random_() % 20 : random_() % 2;
            for (std::size_t i = 0; i < removed; ++i, --size)
                records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(random_() % size));
            for (std::size_t i = 0; i < added; ++i)
                Append();
            return removed + added;
        }
        case 1: // written over in place by someone else
            if (size > 0)
                records_[random_() % size] = Record(records_[random_() % size].identifier);
            return std::nullopt;
        case 2: // records put back in the middle, or the file cut short
            if (random_() % 2 == 0)
                records_.insert(records_.begin() +
                                    static_cast<std::ptrdiff_t>(random_() % (size + 1)),
                                Record(nextId_++));
            else
                records_.resize(random_() % (size + 1));
            return std::nullopt;
        default: // another diary altogether
            records_.clear();
            for (std::size_t i = random_() % 100; i > 0; --i)
                Append();
            return std::nullopt;
        }
    }

private:
    StepRecord Record(std::uint32_t id) {
        // Few enough dates and counts that equal texts, and equal records, occur.
        return DiaryEntry(static_cast<std::uint32_t>(random_() % 4), 2006,
                          static_cast<int>(1 + random_() % 3), static_cast<int>(1 + random_() % 5),
                          random_() % 8 == 0 ? 7 : id);
    }
    void Append() { records_.insert(records_.begin(), Record(nextId_++)); }

    std::mt19937 random_;
    std::vector<StepRecord> records_;
    std::uint32_t nextId_ = 1;
};
