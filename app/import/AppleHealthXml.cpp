#include "AppleHealthXml.h"

#include <cstring>
#include <memory>
#include <string>
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
// long would have expat hold all of it in memory.
constexpr std::uint64_t kMaxElementGap = std::uint64_t{64} << 20;
constexpr char kStepType[] = "HKQuantityTypeIdentifierStepCount";

std::string Quoted(const char* text) {
    std::string quoted(text, strnlen(text, 40));
    return "\"" + quoted + (quoted.size() == 40 ? "...\"" : "\"");
}

struct Parse {
    XML_Parser parser;
    StepsBySource& steps;
    DailySteps& daily;
    bool sawRoot = false;
    std::uint64_t sinceElement = 0;
    std::string stopReason;

    void Stop(std::string reason) {
        if (stopReason.empty())
            stopReason = std::move(reason);
        XML_StopParser(parser, XML_FALSE);
    }

    std::size_t Line() const { return XML_GetCurrentLineNumber(parser); }

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

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** atts) {
    auto& parse = *static_cast<Parse*>(data);
    parse.sinceElement = 0;
    if (!parse.sawRoot) {
        parse.sawRoot = true;
        if (std::strcmp(name, "HealthData") != 0)
            parse.Stop("is not an Apple Health export: it holds " + Quoted(name) +
                       ", not HealthData");
    } else if (std::strcmp(name, "Record") == 0) {
        parse.Record(atts);
    }
}

// Exports declare no entities; a file that does is refused before any can
// be expanded (expat also limits how far expansions may grow).
void XMLCALL OnEntityDecl(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                          const XML_Char*, const XML_Char*, const XML_Char*) {
    static_cast<Parse*>(data)->Stop("declares XML entities, which no export does");
}

struct ParserFree {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

void Check(Parse& parse, XML_Status status) {
    if (status == XML_STATUS_OK)
        return;
    if (!parse.stopReason.empty())
        throw ImportError(parse.stopReason);
    throw ImportError("is not readable XML: line " + std::to_string(parse.Line()) + ": " +
                      XML_ErrorString(XML_GetErrorCode(parse.parser)));
}

std::size_t ReadFiltered(ByteSource& source, char* buffer, std::size_t size) {
    for (;;) {
        std::size_t got = source.Read(buffer, size);
        if (got == 0)
            return 0;
        if (std::size_t kept = DropControlCharacters(buffer, got))
            return kept;
    }
}

} // namespace

void ReadAppleHealthXml(ByteSource& source, StepsBySource& steps, DailySteps& daily) {
    std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreate(nullptr));
    if (!parser)
        throw ImportError("there is not enough memory to read it");
    Parse parse{parser.get(), steps, daily, false, 0, {}};
    XML_SetUserData(parser.get(), &parse);
    XML_SetStartElementHandler(parser.get(), OnStart);
    XML_SetEntityDeclHandler(parser.get(), OnEntityDecl);

    std::string prolog;
    std::vector<char> chunk(kChunk);
    bool atEnd = false;
    for (;;) {
        std::size_t got = ReadFiltered(source, chunk.data(), chunk.size());
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
        std::size_t got = ReadFiltered(source, static_cast<char*>(buffer), kChunk);
        atEnd = got == 0;
        Check(parse, XML_ParseBuffer(parser.get(), static_cast<int>(got), atEnd));
        parse.sinceElement += got;
        if (parse.sinceElement > kMaxElementGap)
            throw ImportError("holds an XML element or text larger than any export does");
    }
}
