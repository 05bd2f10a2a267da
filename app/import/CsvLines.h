#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "ByteSource.h"

// The lines of a CSV file one at a time, without its line ends or a leading
// byte order mark; a line longer than any export writes is refused.
class CsvLines {
public:
    explicit CsvLines(ByteSource& source) : source_(source) {}

    bool Next(std::string_view& line);
    std::size_t Number() const { return number_; }

private:
    ByteSource& source_;
    std::string buffer_;
    std::size_t start_ = 0;
    std::size_t number_ = 0;
    bool atEnd_ = false;
};

// The fields of one line, separated by `delimiter`; a field in double quotes
// may hold the delimiter, line breaks and doubled quotes. `fields` is refilled.
void SplitCsvFields(std::string_view line, char delimiter, std::vector<std::string>& fields);

// The fields of one line of comma-separated values.
std::vector<std::string> CsvFields(std::string_view line);

// Where the column named name is, or npos.
std::size_t ColumnIndex(const std::vector<std::string>& header, std::string_view name);
