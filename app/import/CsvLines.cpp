#include "CsvLines.h"

#include <algorithm>

#include "ImportError.h"

namespace {
constexpr std::size_t kChunk = 64 * 1024;
constexpr std::size_t kMaxLine = 1 << 20;
} // namespace

bool CsvLines::Next(std::string_view& line) {
    for (;;) {
        std::size_t end = buffer_.find('\n', start_);
        if (end != std::string::npos || (atEnd_ && start_ < buffer_.size())) {
            if (end == std::string::npos)
                end = buffer_.size();
            line = std::string_view(buffer_).substr(start_, end - start_);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (number_++ == 0 && line.starts_with("\xEF\xBB\xBF"))
                line.remove_prefix(3);
            start_ = end + 1;
            return true;
        }
        if (atEnd_)
            return false;
        if (buffer_.size() - start_ > kMaxLine)
            throw ImportError("line " + std::to_string(number_ + 1) +
                              " is longer than any export writes");
        buffer_.erase(0, start_);
        start_ = 0;
        std::size_t had = buffer_.size();
        buffer_.resize(had + kChunk);
        std::size_t got = source_.Read(buffer_.data() + had, kChunk);
        buffer_.resize(had + got);
        atEnd_ = got == 0;
    }
}

void SplitCsvFields(std::string_view line, char delimiter, std::vector<std::string>& fields) {
    // The strings are kept and refilled: a file of a million rows then
    // allocates nothing per row. Runs of plain characters are copied whole,
    // which is most of a line.
    std::size_t count = 1;
    if (fields.empty())
        fields.emplace_back();
    std::string* field = &fields[0];
    field->clear();
    bool quoted = false;
    for (std::size_t i = 0; i < line.size();) {
        if (quoted) {
            const std::size_t quote = line.find('"', i);
            field->append(line.substr(i, quote - i));
            if (quote == std::string_view::npos)
                break;
            quoted = quote + 1 < line.size() && line[quote + 1] == '"';
            if (quoted)
                *field += '"';
            i = quote + (quoted ? 2 : 1);
            continue;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != delimiter && line[i] != '"')
            ++i;
        field->append(line.substr(start, i - start));
        if (i == line.size())
            break;
        if (line[i] == '"') {
            quoted = true;
        } else {
            if (fields.size() == count)
                fields.emplace_back();
            field = &fields[count++];
            field->clear();
        }
        ++i;
    }
    fields.resize(count);
}

std::vector<std::string> CsvFields(std::string_view line) {
    std::vector<std::string> fields;
    SplitCsvFields(line, ',', fields);
    return fields;
}

std::size_t ColumnIndex(const std::vector<std::string>& header, std::string_view name) {
    auto found = std::ranges::find(header, name);
    return found == header.end() ? std::string::npos
                                 : static_cast<std::size_t>(found - header.begin());
}
