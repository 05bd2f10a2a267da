#include "JsonObjects.h"

#include <istream>
#include <streambuf>

#include <nlohmann/json.hpp>

#include "ImportError.h"

namespace {

// No export holds a value this long; the parser would hold all of it.
constexpr std::size_t kMaxValueBytes = 1 << 20;

// The source as a stream for the parser, refusing input that brings no value
// to an end for longer than any export does.
class GuardedStream : public std::streambuf {
public:
    explicit GuardedStream(ByteSource& source) : source_(source), buffer_(64 * 1024) {}

    void ValueEnded() { sinceValue_ = 0; }

protected:
    int_type underflow() override {
        std::size_t got = source_.Read(buffer_.data(), buffer_.size());
        if (got == 0)
            return traits_type::eof();
        sinceValue_ += got;
        if (sinceValue_ > kMaxValueBytes + buffer_.size())
            throw ImportError("holds a JSON value longer than any export does");
        setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
        return traits_type::to_int_type(buffer_[0]);
    }

private:
    ByteSource& source_;
    std::vector<char> buffer_;
    std::size_t sinceValue_ = 0;
};

using json = nlohmann::json;

class ArrayOfObjects : public nlohmann::json_sax<json> {
public:
    ArrayOfObjects(GuardedStream& stream,
                   const std::function<void(const JsonFields&, std::size_t)>& each)
        : stream_(stream), each_(each) {}

    bool null() override { return Value(std::string(), false); }
    bool boolean(bool value) override { return Value(value ? "true" : "false"); }
    bool number_integer(number_integer_t value) override { return Value(std::to_string(value)); }
    bool number_unsigned(number_unsigned_t value) override { return Value(std::to_string(value)); }
    bool number_float(number_float_t, const string_t& text) override { return Value(text); }
    bool string(string_t& value) override { return Value(std::move(value)); }
    bool binary(binary_t&) override { return Value(std::string(), false); }
    bool key(string_t& name) override {
        stream_.ValueEnded();
        key_ = std::move(name);
        return true;
    }
    bool start_object(std::size_t) override {
        if (++depth_ == 2)
            fields_.clear();
        return true;
    }
    bool end_object() override {
        stream_.ValueEnded();
        if (depth_-- == 2 && inArray_)
            each_(fields_, ++count_);
        return true;
    }
    bool start_array(std::size_t) override {
        if (++depth_ == 1)
            inArray_ = true;
        return true;
    }
    bool end_array() override {
        --depth_;
        return true;
    }
    bool parse_error(std::size_t, const std::string&,
                     const nlohmann::detail::exception& error) override {
        std::string what = error.what();
        // The library's own prefix says nothing to the user.
        if (std::size_t colon = what.find("] "); colon != std::string::npos)
            what.erase(0, colon + 2);
        throw ImportError("is not readable JSON: " + what);
    }

private:
    bool Value(std::string text, bool kept = true) {
        stream_.ValueEnded();
        if (depth_ == 2 && inArray_ && kept)
            fields_.emplace_back(std::move(key_), std::move(text));
        return true;
    }

    GuardedStream& stream_;
    const std::function<void(const JsonFields&, std::size_t)>& each_;
    JsonFields fields_;
    std::string key_;
    int depth_ = 0;
    bool inArray_ = false;
    std::size_t count_ = 0;
};

} // namespace

bool StartsJsonArrayWith(std::string_view head, std::initializer_list<std::string_view> keys) {
    std::size_t start = head.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || head[start] != '[')
        return false;
    for (std::string_view key : keys)
        if (head.find("\"" + std::string(key) + "\"") == std::string_view::npos)
            return false;
    return true;
}

const std::string* FieldNamed(const JsonFields& fields, std::string_view name) {
    for (const auto& [key, value] : fields)
        if (key == name)
            return &value;
    return nullptr;
}

void ForEachJsonObject(ByteSource& source,
                       const std::function<void(const JsonFields&, std::size_t)>& each) {
    GuardedStream buffer(source);
    std::istream stream(&buffer);
    ArrayOfObjects handler(buffer, each);
    json::sax_parse(stream, &handler);
}
