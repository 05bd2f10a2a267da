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

std::vector<std::string> CsvFields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"')
                fields.back() += c;
            else if (i + 1 < line.size() && line[i + 1] == '"')
                fields.back() += line[++i];
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::size_t ColumnIndex(const std::vector<std::string>& header, std::string_view name) {
    auto found = std::ranges::find(header, name);
    return found == header.end() ? std::string::npos
                                 : static_cast<std::size_t>(found - header.begin());
}
