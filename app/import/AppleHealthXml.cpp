#include "AppleHealthXml.h"

#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include <expat.h>

#include "ExportValues.h"
#include "ImportError.h"
#include "XmlRepair.h"

namespace {

constexpr std::size_t kChunk = 256 * 1024;
// A phone's DTD is a few kilobytes; past this, the start is left as it is.
constexpr std::size_t kMaxProlog = 4 << 20;
// An export's elements are small; text without one element start for this
// long would have expat hold all of it in memory. Counted in the file's bytes,
// control characters dropped or not, so that a file of them is not read for
// hours.
constexpr std::uint64_t kMaxElementGap = std::uint64_t{64} << 20;
// Control characters in an export are a stray few in a text; megabytes of
// them in a row (a hole of NUL bytes) are no export's.
constexpr std::uint64_t kMaxControlRun = std::uint64_t{4} << 20;
// An export nests Record, MetadataEntry and the like a few levels deep and
// uses a few dozen element and attribute names. Expat keeps every open
// element and every name it has met, so without these bounds a file could
// make it hold gigabytes.
constexpr int kMaxDepth = 64;
constexpr std::size_t kMaxNames = 1000;
constexpr std::size_t kMaxNameBytes = 64 * 1024;
constexpr char kStepType[] = "HKQuantityTypeIdentifierStepCount";

std::string Quoted(const char* text) {
    std::string quoted(text, strnlen(text, 40));
    return "\"" + quoted + (quoted.size() == 40 ? "...\"" : "\"");
}

// Element and attribute names met so far, with what they would cost expat.
class NamesMet {
public:
    // False once the names are more than any export uses.
    bool Add(const char* name) {
        const std::string_view text(name);
        if (names_.contains(text))
            return true;
        bytes_ += text.size();
        names_.emplace(text);
        return names_.size() <= kMaxNames && bytes_ <= kMaxNameBytes;
    }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>()(text);
        }
    };
    std::unordered_set<std::string, Hash, std::equal_to<>> names_;
    std::size_t bytes_ = 0;
};

struct Parse {
    XML_Parser parser;
    ByteSource& input;
    StepsBySource& steps;
    DailySteps& daily;
    bool sawRoot = false;
    int depth = 0;
    NamesMet names;
    std::uint64_t sinceElement = 0;
    std::uint64_t controlRun = 0;
    std::string stopReason;
    // What a handler threw: kept, as no exception may unwind through expat's
    // C frames, and thrown again once the parser has returned.
    std::exception_ptr thrown;

    void Stop(std::string reason) {
        if (stopReason.empty())
            stopReason = std::move(reason);
        XML_StopParser(parser, XML_FALSE);
    }

    std::size_t Line() const { return XML_GetCurrentLineNumber(parser); }

    // The source's bytes with the control characters XML forbids dropped;
    // 0 only at its end.
    std::size_t ReadRepaired(char* buffer, std::size_t size) {
        for (;;) {
            std::size_t got = input.Read(buffer, size);
            if (got == 0)
                return 0;
            sinceElement += got;
            if (sinceElement > kMaxElementGap)
                throw ImportError("holds an XML element or text larger than any export does");
            if (std::size_t kept = DropControlCharacters(buffer, got)) {
                controlRun = 0;
                return kept;
            }
            controlRun += got;
            if (controlRun > kMaxControlRun)
                throw ImportError("holds megabytes of NUL or other control characters in a row, "
                                  "which no export does");
        }
    }

    // Whether the names of an element and its attributes are within bounds.
    bool NamesWithinBounds(const XML_Char* name, const XML_Char** atts) {
        if (!names.Add(name))
            return false;
        for (; *atts; atts += 2)
            if (!names.Add(atts[0]))
                return false;
        return true;
    }

    void Record(const XML_Char** atts) {
        const char* type = nullptr;
        const char* source = "";
        const char* start = nullptr;
        const char* value = nullptr;
        for (; *atts; atts += 2) {
            const char* name = atts[0];
            if (std::strcmp(name, "type") == 0)
                type = atts[1];
            else if (std::strcmp(name, "sourceName") == 0)
                source = atts[1];
            else if (std::strcmp(name, "startDate") == 0)
                start = atts[1];
            else if (std::strcmp(name, "value") == 0)
                value = atts[1];
        }
        if (!type || std::strcmp(type, kStepType) != 0)
            return;
        auto date = start ? LeadingIsoDate(start) : std::nullopt;
        if (!date) {
            daily.Reject(Line(),
                         start ? "a step record's start date " + Quoted(start) + " is not a date"
                               : "a step record has no start date");
            return;
        }
        auto count = value ? ParseStepCount(value) : std::nullopt;
        if (!count) {
            daily.Reject(Line(), value ? "a step record's value " + Quoted(value) +
                                             " is not a count of steps"
                                       : "a step record has no value");
            return;
        }
        steps.Add(source, std::chrono::sys_days(*date), *count);
    }
};

// Runs a handler's work so that nothing it throws leaves the handler.
template <typename Work> void Guarded(void* data, Work work) {
    auto& parse = *static_cast<Parse*>(data);
    try {
        work(parse);
    } catch (...) {
        if (!parse.thrown)
            parse.thrown = std::current_exception();
        XML_StopParser(parse.parser, XML_FALSE);
    }
}

void Start(Parse& parse, const XML_Char* name, const XML_Char** atts) {
    parse.sinceElement = 0;
    if (++parse.depth > kMaxDepth)
        return parse.Stop("nests elements deeper than any export does");
    if (!parse.NamesWithinBounds(name, atts))
        return parse.Stop("uses more element and attribute names than any export does");
    if (!parse.sawRoot) {
        parse.sawRoot = true;
        if (std::strcmp(name, "HealthData") != 0)
            parse.Stop("is not an Apple Health export: it holds " + Quoted(name) +
                       ", not HealthData");
    } else if (std::strcmp(name, "Record") == 0) {
        parse.Record(atts);
    }
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** atts) {
    Guarded(data, [&](Parse& parse) { Start(parse, name, atts); });
}

void XMLCALL OnEnd(void* data, const XML_Char*) {
    --static_cast<Parse*>(data)->depth;
}

// Exports declare no entities; a file that does is refused before any can
// be expanded (expat also limits how far expansions may grow).
void XMLCALL OnEntityDecl(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                          const XML_Char*, const XML_Char*, const XML_Char*) {
    Guarded(data, [](Parse& parse) { parse.Stop("declares XML entities, which no export does"); });
}

struct ParserFree {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

void Check(Parse& parse, XML_Status status) {
    if (parse.thrown)
        std::rethrow_exception(parse.thrown);
    if (status == XML_STATUS_OK)
        return;
    if (!parse.stopReason.empty())
        throw ImportError(parse.stopReason);
    throw ImportError("is not readable XML: line " + std::to_string(parse.Line()) + ": " +
                      XML_ErrorString(XML_GetErrorCode(parse.parser)));
}

} // namespace

void ReadAppleHealthXml(ByteSource& source, StepsBySource& steps, DailySteps& daily) {
    std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreate(nullptr));
    if (!parser)
        throw ImportError("there is not enough memory to read it");
    Parse parse{parser.get(), source, steps, daily, false, 0, {}, 0, 0, {}, {}};
    XML_SetUserData(parser.get(), &parse);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetEntityDeclHandler(parser.get(), OnEntityDecl);

    std::string prolog;
    std::vector<char> chunk(kChunk);
    bool atEnd = false;
    for (;;) {
        std::size_t got = parse.ReadRepaired(chunk.data(), chunk.size());
        atEnd = got == 0;
        prolog.append(chunk.data(), got);
        if (atEnd || RemoveDoctype(prolog) || prolog.size() > kMaxProlog)
            break;
    }
    Check(parse, XML_Parse(parser.get(), prolog.data(), static_cast<int>(prolog.size()), atEnd));
    while (!atEnd) {
        void* buffer = XML_GetBuffer(parser.get(), static_cast<int>(kChunk));
        if (!buffer)
            throw ImportError("there is not enough memory to read it");
        std::size_t got = parse.ReadRepaired(static_cast<char*>(buffer), kChunk);
        atEnd = got == 0;
        Check(parse, XML_ParseBuffer(parser.get(), static_cast<int>(got), atEnd));
    }
}
