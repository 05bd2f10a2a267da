#include "StepsCsv.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "CsvLines.h"
#include "ExportValues.h"
#include "ImportError.h"

namespace {

// A quoted field may hold line breaks; one that runs on past this is taken
// for an unclosed quote rather than kept growing.
constexpr std::size_t kMaxRecord = 64 * 1024;

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

// A field that holds a date alone, YYYY-MM-DD, YYYY/MM/DD or YYYY.MM.DD.
std::optional<std::chrono::year_month_day> ParseDate(std::string_view field) {
    field = TrimSpaces(field);
    return field.size() == 10 ? LeadingIsoDate(field, "-/.") : std::nullopt;
}

// The row as nearly every file writes it, "YYYY-MM-DD,12345" in a file of
// those two columns, read in one pass without splitting it first: a file of a
// million rows is almost all such lines. None for anything else (spaces,
// quotes, grouped counts, no real date, a count too large), which the general
// reading then takes or rejects with its reason.
std::optional<ImportedRow> ReadPlainRow(std::string_view line, char delimiter) {
    constexpr std::size_t kDate = 10;
    constexpr std::size_t kMostDigits = 10; // 4294967294
    if (line.size() <= kDate + 1 || line.size() > kDate + 1 + kMostDigits ||
        line[kDate] != delimiter)
        return std::nullopt;
    const std::string_view digits = line.substr(kDate + 1);
    std::uint64_t count = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
    const auto date = LeadingIsoDate(line, "-/.");
    if (error != std::errc() || end != digits.data() + digits.size() || !date ||
        !FitsADiaryEntry(count))
        return std::nullopt;
    return ImportedRow{*date, static_cast<std::uint32_t>(count)};
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

// What one pass over a line finds besides its plain fields.
struct LineScan {
    bool nul = false;
    std::size_t quotes = 0;
};

class RowReader {
public:
    explicit RowReader(const Layout& layout) : layout_(layout) {}

    // Splits the line at its delimiters in one pass, noting quotes and NUL
    // bytes: a file of a million rows has a million of them to split.
    LineScan Scan(std::string_view line) {
        LineScan scan;
        fields_.clear();
        std::size_t start = 0;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (c == layout_.delimiter) {
                fields_.push_back(line.substr(start, i - start));
                start = i + 1;
            } else if (c == '"') {
                ++scan.quotes;
            } else if (c == '\0') {
                scan.nul = true;
            }
        }
        fields_.push_back(line.substr(start));
        return scan;
    }

    // Reads the fields the last Scan found in a line without quotes.
    void ReadScanned(std::size_t line, ImportedSteps& steps) {
        if (fields_.size() == 1 && TrimSpaces(fields_[0]).empty())
            return;
        ReadFields(line, steps);
    }

    // Reads a record with quoted fields, which may span lines.
    void ReadQuoted(std::string_view record, std::size_t line, ImportedSteps& steps) {
        SplitCsvFields(record, layout_.delimiter, unquoted_);
        fields_.assign(unquoted_.begin(), unquoted_.end());
        ReadFields(line, steps);
    }

private:
    void ReadFields(std::size_t line, ImportedSteps& steps) {
        const bool extraFilled =
            fields_.size() > layout_.fields &&
            std::any_of(fields_.begin() + static_cast<std::ptrdiff_t>(layout_.fields),
                        fields_.end(), [](std::string_view f) { return !TrimSpaces(f).empty(); });
        if (fields_.size() < layout_.fields || extraFilled)
            return steps.Reject(line, [&] {
                return "has " + std::to_string(fields_.size()) + " fields, not " +
                       std::to_string(layout_.fields);
            });
        const auto date = ParseDate(fields_[layout_.dateColumn]);
        if (!date)
            return steps.Reject(line, [] { return "the date is not YYYY-MM-DD"; });
        const auto count = ParseStepCount(fields_[layout_.stepsColumn], CountText::Grouped);
        if (!count || !FitsADiaryEntry(*count))
            return steps.Reject(
                line, [] { return "the step count is not a whole number from 0 to 4294967294"; });
        steps.rows.push_back({*date, static_cast<std::uint32_t>(*count)});
    }

    Layout layout_;
    std::vector<std::string_view> fields_;
    std::vector<std::string> unquoted_;
};

void RefuseBinary(const LineScan& scan, std::size_t number) {
    if (scan.nul)
        throw ImportError("is not a text file (line " + std::to_string(number) +
                          " holds a NUL byte)");
}

} // namespace

bool IsStepsCsv(std::string_view head) {
    return LayoutOf(FirstLine(head)).has_value();
}

ImportedSteps ReadStepsCsv(ByteSource& source, std::uint64_t size) {
    ImportedSteps steps;
    steps.format = "CSV";
    // Room for the rows a file of that size may hold at the shortest
    // ("2024-01-01,1\n"), so that a large file is read without the rows
    // being copied again and again as they grow; untouched room costs nothing.
    constexpr std::uint64_t kShortestRow = 13;
    steps.rows.reserve(
        static_cast<std::size_t>(std::min<std::uint64_t>(size / kShortestRow, 1u << 26)));
    CsvLines lines(source);
    std::string_view line;
    if (!lines.Next(line))
        return steps;
    if (line.find('\0') != std::string_view::npos)
        throw ImportError("is not a text file (line 1 holds a NUL byte)");
    const std::optional<Layout> layout = LayoutOf(line);
    if (!layout)
        throw ImportError("has no date and steps columns");
    RowReader reader(*layout);
    const bool plainLayout =
        layout->fields == 2 && layout->dateColumn == 0 && layout->stepsColumn == 1;
    std::string record;
    // The first line is a row too when it is no header.
    for (bool more = !layout->hasHeader || lines.Next(line); more; more = lines.Next(line)) {
        if (plainLayout) {
            if (const std::optional<ImportedRow> row = ReadPlainRow(line, layout->delimiter)) {
                steps.rows.push_back(*row);
                continue;
            }
        }
        const std::size_t first = lines.Number();
        const LineScan scan = reader.Scan(line);
        RefuseBinary(scan, first);
        if (scan.quotes == 0) {
            reader.ReadScanned(first, steps);
            continue;
        }
        // A quoted field may run on over the line break.
        record.assign(line);
        bool closed = scan.quotes % 2 == 0;
        while (!closed && record.size() <= kMaxRecord && lines.Next(line)) {
            const LineScan next = reader.Scan(line);
            RefuseBinary(next, lines.Number());
            record += '\n';
            record += line;
            closed = next.quotes % 2 != 0;
        }
        if (closed)
            reader.ReadQuoted(record, first, steps);
        else
            steps.Reject(first, [] { return "a quoted field is not closed"; });
    }
    return steps;
}
