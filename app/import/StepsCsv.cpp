#include "StepsCsv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "CsvLines.h"
#include "ExportValues.h"
#include "ImportError.h"
#include "StepRecord.h"

namespace {

// A quoted field may hold line breaks; one that runs on past this is taken
// for an unclosed quote rather than kept growing.
constexpr std::size_t kMaxRecord = 64 * 1024;
// Enough to show the user what is wrong with a file without keeping every
// line of a broken one.
constexpr std::size_t kMaxListed = 1000;

constexpr std::array kDateNames{"date", "day"};
constexpr std::array kStepsNames{"steps", "step count", "count"};

// The delimiter that splits the first line into the most fields, outside
// quotes; none when it is a single field.
std::optional<char> SniffDelimiter(std::string_view line) {
    std::array<std::size_t, 3> counts{};
    constexpr std::array delimiters{',', ';', '\t'};
    bool quoted = false;
    for (char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted)
            for (std::size_t i = 0; i < delimiters.size(); ++i)
                counts[i] += c == delimiters[i];
    }
    const auto most = std::ranges::max_element(counts);
    if (*most == 0)
        return std::nullopt;
    return delimiters[static_cast<std::size_t>(most - counts.begin())];
}

bool SameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(
        a, b, [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) == y; });
}

template <std::size_t N>
std::size_t FindColumn(const std::vector<std::string>& header,
                       const std::array<const char*, N>& names) {
    for (const char* name : names)
        for (std::size_t i = 0; i < header.size(); ++i)
            if (SameName(TrimSpaces(header[i]), name))
                return i;
    return std::string::npos;
}

std::optional<std::chrono::year_month_day> ParseDate(std::string_view text) {
    text = TrimSpaces(text);
    if (text.size() != 10 || (text[4] != '/' && text[4] != '.') || text[7] != text[4])
        return text.size() == 10 ? LeadingIsoDate(text) : std::nullopt;
    std::string iso(text);
    iso[4] = iso[7] = '-';
    return LeadingIsoDate(iso);
}

// Digits, optionally grouped in threes by commas ("12,345"); what a diary
// entry holds.
std::optional<std::uint32_t> ParseCount(std::string_view text) {
    text = TrimSpaces(text);
    std::string ungrouped;
    if (const std::size_t comma = text.find(','); comma != std::string_view::npos) {
        if (comma == 0 || comma > 3 || (text.size() - comma) % 4 != 0)
            return std::nullopt;
        for (std::size_t i = comma; i < text.size(); i += 4)
            if (text[i] != ',')
                return std::nullopt;
        std::ranges::copy_if(text, std::back_inserter(ungrouped), [](char c) { return c != ','; });
        text = ungrouped;
    }
    if (text.empty() || !std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value >= kEndMarker)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

bool HasOddQuotes(std::string_view text) {
    return std::ranges::count(text, '"') % 2 != 0;
}

struct Layout {
    char delimiter = ',';
    std::size_t dateColumn = 0;
    std::size_t stepsColumn = 1;
    std::size_t fields = 2;
    bool hasHeader = false;
};

std::optional<Layout> LayoutOf(std::string_view firstLine) {
    const std::optional<char> delimiter = SniffDelimiter(firstLine);
    if (!delimiter)
        return std::nullopt;
    std::vector<std::string> fields;
    SplitCsvFields(firstLine, *delimiter, fields);
    Layout layout;
    layout.delimiter = *delimiter;
    layout.fields = fields.size();
    layout.dateColumn = FindColumn(fields, kDateNames);
    layout.stepsColumn = FindColumn(fields, kStepsNames);
    if (layout.dateColumn != std::string::npos && layout.stepsColumn != std::string::npos) {
        layout.hasHeader = true;
        return layout;
    }
    if (fields.size() == 2 && ParseDate(fields[0])) {
        layout.dateColumn = 0;
        layout.stepsColumn = 1;
        return layout;
    }
    return std::nullopt;
}

std::string_view FirstLine(std::string_view head) {
    if (head.starts_with("\xEF\xBB\xBF"))
        head.remove_prefix(3);
    head = head.substr(0, head.find('\n'));
    if (head.ends_with('\r'))
        head.remove_suffix(1);
    return head;
}

class RowReader {
public:
    explicit RowReader(const Layout& layout) : layout_(layout) {}

    void Read(std::string_view record, std::size_t line, ImportedSteps& steps) {
        if (TrimSpaces(record).empty())
            return;
        SplitCsvFields(record, layout_.delimiter, fields_);
        const bool extraFilled =
            fields_.size() > layout_.fields &&
            std::any_of(fields_.begin() + static_cast<std::ptrdiff_t>(layout_.fields),
                        fields_.end(), [](const std::string& f) { return !TrimSpaces(f).empty(); });
        if (fields_.size() < layout_.fields || extraFilled)
            return Reject(steps, line,
                          "has " + std::to_string(fields_.size()) + " fields, not " +
                              std::to_string(layout_.fields));
        const auto date = ParseDate(fields_[layout_.dateColumn]);
        if (!date)
            return Reject(steps, line, "the date is not YYYY-MM-DD");
        const auto count = ParseCount(fields_[layout_.stepsColumn]);
        if (!count)
            return Reject(steps, line, "the step count is not a whole number from 0 to 4294967294");
        steps.rows.push_back({*date, *count});
    }

    void Reject(ImportedSteps& steps, std::size_t line, std::string reason) {
        if (steps.rejected.size() < kMaxListed)
            steps.rejected.push_back({line, std::move(reason)});
        else
            ++steps.unlistedRejected;
    }

private:
    Layout layout_;
    std::vector<std::string> fields_;
};

void RefuseBinary(std::string_view line, std::size_t number) {
    if (line.find('\0') != std::string_view::npos)
        throw ImportError("is not a text file (line " + std::to_string(number) +
                          " holds a NUL byte)");
}

} // namespace

bool IsStepsCsv(std::string_view head) {
    return LayoutOf(FirstLine(head)).has_value();
}

ImportedSteps ReadStepsCsv(ByteSource& source) {
    ImportedSteps steps;
    steps.format = "CSV";
    CsvLines lines(source);
    std::string_view line;
    if (!lines.Next(line))
        return steps;
    RefuseBinary(line, 1);
    const std::optional<Layout> layout = LayoutOf(line);
    if (!layout)
        throw ImportError("has no date and steps columns");
    RowReader reader(*layout);
    if (!layout->hasHeader)
        reader.Read(line, lines.Number(), steps);
    std::string record;
    while (lines.Next(line)) {
        const std::size_t first = lines.Number();
        RefuseBinary(line, first);
        if (!HasOddQuotes(line)) {
            reader.Read(line, first, steps);
            continue;
        }
        // A quoted field runs on over the line break.
        record.assign(line);
        bool closed = false;
        while (!closed && record.size() <= kMaxRecord && lines.Next(line)) {
            RefuseBinary(line, lines.Number());
            record += '\n';
            record += line;
            closed = HasOddQuotes(line);
        }
        if (closed)
            reader.Read(record, first, steps);
        else
            reader.Reject(steps, first, "a quoted field is not closed");
    }
    return steps;
}
