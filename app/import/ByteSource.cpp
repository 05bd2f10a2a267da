#include "ByteSource.h"

#include <algorithm>
#include <cstring>

PeekedSource::PeekedSource(ByteSource& inner) : inner_(inner) {
    constexpr std::size_t headSize = 64 * 1024;
    head_.resize(headSize);
    std::size_t filled = 0;
    while (filled < headSize) {
        std::size_t got = inner_.Read(head_.data() + filled, headSize - filled);
        if (got == 0)
            break;
        filled += got;
    }
    head_.resize(filled);
}

std::size_t PeekedSource::Read(char* buffer, std::size_t size) {
    if (replayed_ < head_.size()) {
        std::size_t n = std::min(size, head_.size() - replayed_);
        std::memcpy(buffer, head_.data() + replayed_, n);
        replayed_ += n;
        return n;
    }
    return inner_.Read(buffer, size);
}
