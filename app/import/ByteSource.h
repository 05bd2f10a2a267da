#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// A stream of bytes a reader takes its input from: a file, or an entry of a zip.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills up to size bytes; 0 only at the end. A read failure throws ImportError.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

// The first bytes of a source, enough to tell its format (a phone's DTD is a
// few kilobytes), kept for that, then the whole source again from its start.
class PeekedSource : public ByteSource {
public:
    explicit PeekedSource(ByteSource& inner);

    std::string_view Head() const { return head_; }
    std::size_t Read(char* buffer, std::size_t size) override;

private:
    ByteSource& inner_;
    std::string head_;
    std::size_t replayed_ = 0;
};
