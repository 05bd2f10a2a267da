#include "XmlRepair.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

bool Forbidden(unsigned char c) {
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

// The end of a doctype starting at "at", or npos when it is not all there yet.
std::size_t DoctypeEnd(const std::string& text, std::size_t at) {
    std::size_t close = text.find('>', at);
    std::size_t open = text.find('[', at);
    if (open == std::string::npos || (close != std::string::npos && close < open))
        return close == std::string::npos ? close : close + 1;
    // The internal subset ends at "]" and ">" with only spaces between; its
    // declarations cannot be trusted to close, so they are not followed.
    for (std::size_t bracket = text.find(']', open); bracket != std::string::npos;
         bracket = text.find(']', bracket + 1)) {
        std::size_t after = text.find_first_not_of(" \t\r\n", bracket + 1);
        if (after == std::string::npos)
            return std::string::npos;
        if (text[after] == '>')
            return after + 1;
    }
    return std::string::npos;
}

} // namespace

bool RemoveDoctype(std::string& prolog) {
    std::size_t at = 0;
    for (;;) {
        at = prolog.find('<', at);
        if (at == std::string::npos || at + 1 >= prolog.size())
            return false;
        const char next = prolog[at + 1];
        std::size_t end;
        if (next == '?') {
            end = prolog.find("?>", at);
            if (end == std::string::npos)
                return false;
            at = end + 2;
        } else if (next != '!') {
            return true; // the root element
        } else if (prolog.compare(at, 4, "<!--") == 0) {
            end = prolog.find("-->", at);
            if (end == std::string::npos)
                return false;
            at = end + 3;
        } else if (prolog.size() - at < 9) {
            return false;
        } else if (prolog.compare(at, 9, "<!DOCTYPE") == 0) {
            end = DoctypeEnd(prolog, at);
            if (end == std::string::npos)
                return false;
            // Its line ends stay, so that lines are counted as in the file.
            auto lineEnds = std::count(prolog.begin() + static_cast<std::ptrdiff_t>(at),
                                       prolog.begin() + static_cast<std::ptrdiff_t>(end), '\n');
            prolog.replace(at, end - at, static_cast<std::size_t>(lineEnds), '\n');
        } else {
            return true; // not a prolog: the parser will say so
        }
    }
}

std::size_t DropControlCharacters(char* data, std::size_t size) {
    // Eight bytes at a time: a word with no byte below 0x20 is passed over whole.
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, 8);
        if ((word - 0x2020202020202020u) & ~word & 0x8080808080808080u)
            if (std::any_of(data + i, data + i + 8,
                            [](char c) { return Forbidden(static_cast<unsigned char>(c)); }))
                break;
    }
    std::size_t out = i;
    for (; i < size; ++i)
        if (!Forbidden(static_cast<unsigned char>(data[i])))
            data[out++] = data[i];
    return out;
}
