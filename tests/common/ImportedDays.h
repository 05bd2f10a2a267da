#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "ImportError.h"
#include "ImportedSteps.h"

// The rows as "YYYY-MM-DD steps" texts, so that a failing comparison shows the days.
inline std::vector<std::string> DayTexts(const ImportedSteps& steps) {
    std::vector<std::string> days;
    for (const ImportedRow& row : steps.rows) {
        char text[48];
        std::snprintf(text, sizeof text, "%04d-%02u-%02u %u", static_cast<int>(row.date.year()),
                      static_cast<unsigned>(row.date.month()),
                      static_cast<unsigned>(row.date.day()), row.steps);
        days.push_back(text);
    }
    return days;
}

// The message with which `read` refuses its file, or "" when it reads it.
template <typename Read> std::string RefusalOf(Read read) {
    try {
        read();
        return "";
    } catch (const ImportError& error) {
        return error.what();
    }
}
