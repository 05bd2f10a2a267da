#include "JsonObjects.h"

#include <algorithm>
#include <istream>
#include <streambuf>

#include <nlohmann/json.hpp>

#include "ImportError.h"

namespace {

// No element of an export's array comes near this: a Fitbit sample is a few
// dozen bytes, a Garmin day a few kilobytes. Counted over the whole element,
// not per value, so that a million small fields weigh as much as one long one.
constexpr std::size_t kMaxElementBytes = 1 << 20;

// The source as a stream for the parser, refusing input that brings no
// element of the array to an end for longer than any export does.
class GuardedStream : public std::streambuf {
public:
    explicit GuardedStream(ByteSource& source) : source_(source), buffer_(64 * 1024) {}

    void ElementEnded() { sinceElement_ = 0; }

protected:
    int_type underflow() override {
        std::size_t got = source_.Read(buffer_.data(), buffer_.size());
        if (got == 0)
            return traits_type::eof();
        sinceElement_ += got;
        if (sinceElement_ > kMaxElementBytes + buffer_.size())
            throw ImportError("holds a JSON value longer than any export does");
        setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
        return traits_type::to_int_type(buffer_[0]);
    }

private:
    ByteSource& source_;
    std::vector<char> buffer_;
    std::size_t sinceElement_ = 0;
};

using json = nlohmann::json;

class ArrayOfObjects : public nlohmann::json_sax<json> {
public:
    ArrayOfObjects(GuardedStream& stream, std::initializer_list<std::string_view> wanted,
                   const std::function<void(const JsonFields&, std::size_t)>& each)
        : stream_(stream), wanted_(wanted), each_(each) {}

    bool null() override { return Value(std::string(), false); }
    bool boolean(bool value) override { return Value(value ? "true" : "false"); }
    bool number_integer(number_integer_t value) override { return Value(std::to_string(value)); }
    bool number_unsigned(number_unsigned_t value) override { return Value(std::to_string(value)); }
    bool number_float(number_float_t, const string_t& text) override { return Value(text); }
    bool string(string_t& value) override { return Value(std::move(value)); }
    bool binary(binary_t&) override { return Value(std::string(), false); }
    bool key(string_t& name) override {
        key_ = std::move(name);
        return true;
    }
    bool start_object(std::size_t) override {
        if (++depth_ == 2 && inArray_) {
            inObject_ = true;
            fields_.clear();
        }
        return true;
    }
    bool end_object() override {
        if (depth_-- == 2 && inObject_) {
            inObject_ = false;
            each_(fields_, ++count_);
        }
        if (depth_ == 1)
            stream_.ElementEnded();
        return true;
    }
    bool start_array(std::size_t) override {
        if (++depth_ == 1)
            inArray_ = true;
        return true;
    }
    bool end_array() override {
        if (--depth_ == 1)
            stream_.ElementEnded();
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
        if (depth_ == 1)
            stream_.ElementEnded();
        else if (depth_ == 2 && inObject_ && kept && Wanted(key_) && !FieldNamed(fields_, key_))
            fields_.emplace_back(std::move(key_), std::move(text));
        return true;
    }

    bool Wanted(std::string_view name) const {
        return std::find(wanted_.begin(), wanted_.end(), name) != wanted_.end();
    }

    GuardedStream& stream_;
    std::initializer_list<std::string_view> wanted_;
    const std::function<void(const JsonFields&, std::size_t)>& each_;
    JsonFields fields_;
    std::string key_;
    int depth_ = 0;
    bool inArray_ = false;
    bool inObject_ = false;
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

void ForEachJsonObject(ByteSource& source, std::initializer_list<std::string_view> wanted,
                       const std::function<void(const JsonFields&, std::size_t)>& each) {
    GuardedStream buffer(source);
    std::istream stream(&buffer);
    ArrayOfObjects handler(buffer, wanted, each);
    json::sax_parse(stream, &handler);
}
