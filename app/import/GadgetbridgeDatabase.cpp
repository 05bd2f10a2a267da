#include "GadgetbridgeDatabase.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <sqlite3.h>

#include "ImportError.h"
#include "InputFile.h"
#include "LocalClock.h"
#include "ProgressMeter.h"

namespace {

constexpr char kSqliteHeader[] = "SQLite format 3";

struct DatabaseClose {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, DatabaseClose>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalize>;

// SQLite reads the export through the file that was checked when it was
// offered (a regular file, opened without blocking), never by its name again:
// between the check and a second open the name could come to hold another
// file, or a FIFO whose open would block for ever. Only the export is read
// so; SQLite's scratch files for sorting go to its own files as ever.
struct CheckedFile {
    sqlite3_file base;
    const InputFile* file;
};

const InputFile& Offered(sqlite3_file* file) {
    return *reinterpret_cast<CheckedFile*>(file)->file;
}

int CheckedClose(sqlite3_file*) {
    return SQLITE_OK; // the file is the caller's
}

int CheckedRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    const auto size = static_cast<std::size_t>(amount);
    const ByteCount got =
        Offered(file).ReadAt(static_cast<char*>(buffer), size, static_cast<std::uint64_t>(offset));
    if (!got.status)
        return SQLITE_IOERR_READ;
    if (got.bytes == size)
        return SQLITE_OK;
    // SQLite asks that the rest be zeros when the file ends early.
    std::memset(static_cast<char*>(buffer) + got.bytes, 0, size - got.bytes);
    return SQLITE_IOERR_SHORT_READ;
}

int CheckedWrite(sqlite3_file*, const void*, int, sqlite3_int64) {
    return SQLITE_READONLY;
}

int CheckedTruncate(sqlite3_file*, sqlite3_int64) {
    return SQLITE_READONLY;
}

int CheckedSync(sqlite3_file*, int) {
    return SQLITE_OK;
}

// The size the file had when it was checked: an export is a copy nobody
// writes any more.
int CheckedFileSize(sqlite3_file* file, sqlite3_int64* size) {
    *size = static_cast<sqlite3_int64>(Offered(file).Size());
    return SQLITE_OK;
}

// An export is a copy nobody writes any more: no locks are taken.
int CheckedLock(sqlite3_file*, int) {
    return SQLITE_OK;
}

int CheckedCheckReservedLock(sqlite3_file*, int* reserved) {
    *reserved = 0;
    return SQLITE_OK;
}

int CheckedFileControl(sqlite3_file*, int, void*) {
    return SQLITE_NOTFOUND;
}

int CheckedSectorSize(sqlite3_file*) {
    return 4096;
}

int CheckedDeviceCharacteristics(sqlite3_file*) {
    return SQLITE_IOCAP_IMMUTABLE;
}

const sqlite3_io_methods kCheckedMethods = {
    1,
    CheckedClose,
    CheckedRead,
    CheckedWrite,
    CheckedTruncate,
    CheckedSync,
    CheckedFileSize,
    CheckedLock,
    CheckedLock,
    CheckedCheckReservedLock,
    CheckedFileControl,
    CheckedSectorSize,
    CheckedDeviceCharacteristics,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

constexpr char kCheckedVfs[] = "trekline-checked-export";

int CheckedOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    auto* os = static_cast<sqlite3_vfs*>(vfs->pAppData);
    if (!(flags & SQLITE_OPEN_MAIN_DB))
        return os->xOpen(os, name, file, flags, outFlags);
    const sqlite3_int64 offered = sqlite3_uri_int64(name, "file", 0);
    if (offered == 0 || (flags & (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)))
        return SQLITE_CANTOPEN;
    auto* checked = reinterpret_cast<CheckedFile*>(file);
    checked->base.pMethods = &kCheckedMethods;
    checked->file = reinterpret_cast<const InputFile*>(static_cast<std::uintptr_t>(offered));
    if (outFlags)
        *outFlags = SQLITE_OPEN_READONLY;
    return SQLITE_OK;
}

// The name is only what the file is known by: it is not looked up.
int CheckedFullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    sqlite3_snprintf(size, out, "%s", name);
    return SQLITE_OK;
}

void RegisterCheckedVfs() {
    static sqlite3_vfs vfs = [] {
        sqlite3_vfs* os = sqlite3_vfs_find(nullptr);
        sqlite3_vfs checked = *os;
        checked.szOsFile = std::max(os->szOsFile, static_cast<int>(sizeof(CheckedFile)));
        checked.zName = kCheckedVfs;
        checked.pAppData = os;
        checked.xOpen = CheckedOpen;
        checked.xFullPathname = CheckedFullPathname;
        return checked;
    }();
    static const int registered = sqlite3_vfs_register(&vfs, 0);
    (void)registered;
}

// The URI that names the checked file by its address, which only this
// reader's own open is given; immutable, so that SQLite looks for no journal
// or WAL file beside it.
std::string CheckedUri(const InputFile& file) {
    return "file:checked-export?immutable=1&file=" +
           std::to_string(reinterpret_cast<std::uintptr_t>(&file));
}

[[noreturn]] void Fail(sqlite3* db) {
    throw ImportError(std::string("is a SQLite database that could not be read: ") +
                      sqlite3_errmsg(db));
}

Statement Prepare(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        Fail(db);
    return Statement(statement);
}

std::string QuotedName(const std::string& name) {
    std::string quoted = "\"";
    for (char c : name)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::vector<std::string> SampleTables(sqlite3* db) {
    Statement list = Prepare(db, "SELECT name FROM sqlite_schema WHERE type = 'table' AND "
                                 "name LIKE '%\\_ACTIVITY\\_SAMPLE' ESCAPE '\\' ORDER BY name");
    std::vector<std::string> tables;
    int status;
    while ((status = sqlite3_step(list.get())) == SQLITE_ROW)
        tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list.get(), 0)));
    if (status != SQLITE_DONE)
        Fail(db);
    return tables;
}

bool HasSampleColumns(sqlite3* db, const std::string& table) {
    Statement columns = Prepare(db, "SELECT upper(name) FROM pragma_table_info(?1)");
    sqlite3_bind_text(columns.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
    std::set<std::string> names;
    int status;
    while ((status = sqlite3_step(columns.get())) == SQLITE_ROW)
        names.emplace(reinterpret_cast<const char*>(sqlite3_column_text(columns.get(), 0)));
    if (status != SQLITE_DONE)
        Fail(db);
    return names.contains("TIMESTAMP") && names.contains("DEVICE_ID") && names.contains("STEPS");
}

// The local calendar date of a UTC time. Every zone's offset is a whole
// number of quarter hours, so all of a quarter hour falls on one date.
class LocalDates {
public:
    std::optional<std::chrono::sys_days> Of(std::int64_t seconds) {
        const std::int64_t quarter = seconds / 900 - (seconds % 900 < 0 ? 1 : 0);
        if (quarter != quarter_ || !date_) {
            quarter_ = quarter;
            date_ = Compute(static_cast<std::time_t>(quarter * 900));
        }
        return date_;
    }

private:
    static std::optional<std::chrono::sys_days> Compute(std::time_t time) {
        const std::optional<std::tm> local = LocalTimeAt(time);
        if (!local || local->tm_year < 1 - 1900 || local->tm_year > 9999 - 1900)
            return std::nullopt;
        return std::chrono::sys_days(std::chrono::year_month_day{
            std::chrono::year(local->tm_year + 1900),
            std::chrono::month(static_cast<unsigned>(local->tm_mon + 1)),
            std::chrono::day(static_cast<unsigned>(local->tm_mday))});
    }

    std::int64_t quarter_ = 0;
    std::optional<std::chrono::sys_days> date_;
};

struct Cancel {
    ProgressMeter& meter;
    bool cancelled = false;
};

// SQLite calls this during a long query; cancelling there stops the query.
int AskToGoOn(void* data) {
    auto& cancel = *static_cast<Cancel*>(data);
    try {
        cancel.meter.Ask();
        return 0;
    } catch (const ImportCancelled&) {
        cancel.cancelled = true;
        return 1;
    }
}

void ReadTable(sqlite3* db, const std::string& table, Cancel& cancel, StepsBySource& steps,
               DailySteps& daily) {
    // Negative counts mark minutes without data. A minute stored twice (a
    // re-sync, seconds apart) counts once.
    Statement samples = Prepare(
        db, "SELECT DEVICE_ID, TIMESTAMP / 60 AS minute, max(STEPS) FROM " + QuotedName(table) +
                " WHERE typeof(TIMESTAMP) = 'integer' AND typeof(STEPS) = 'integer' AND STEPS >= 0"
                " GROUP BY DEVICE_ID, minute");
    LocalDates dates;
    std::size_t outOfRange = 0;
    int status;
    std::string device;
    std::optional<sqlite3_int64> lastId;
    while ((status = sqlite3_step(samples.get())) == SQLITE_ROW) {
        const sqlite3_int64 id = sqlite3_column_int64(samples.get(), 0);
        if (id != lastId) {
            lastId = id;
            device = std::to_string(id) + " in " + table;
        }
        const sqlite3_int64 minute = sqlite3_column_int64(samples.get(), 1);
        auto date = dates.Of(minute * 60);
        if (!date)
            ++outOfRange;
        else
            steps.Add(device, *date,
                      static_cast<std::uint64_t>(sqlite3_column_int64(samples.get(), 2)));
    }
    if (cancel.cancelled)
        throw ImportCancelled();
    if (status != SQLITE_DONE)
        Fail(db);
    if (outOfRange > 0)
        daily.Reject(0, table + ": " + std::to_string(outOfRange) +
                            " samples have a time outside the calendar; not read");
}

} // namespace

bool IsSqliteDatabase(std::string_view head) {
    return head.size() >= sizeof kSqliteHeader &&
           head.substr(0, sizeof kSqliteHeader) ==
               std::string_view(kSqliteHeader, sizeof kSqliteHeader);
}

void ReadGadgetbridgeDatabase(const InputFile& file, ProgressMeter& meter, DailySteps& daily) {
    RegisterCheckedVfs();
    sqlite3* opened = nullptr;
    int status = sqlite3_open_v2(CheckedUri(file).c_str(), &opened,
                                 SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, kCheckedVfs);
    Database db(opened);
    if (status != SQLITE_OK)
        Fail(db.get());
    Cancel cancel{meter};
    sqlite3_progress_handler(db.get(), 1'000'000, AskToGoOn, &cancel);
    // The file is anyone's: every page is checked as it is loaded, so that a
    // damaged one is refused every time (unchecked, a fuzzed page was read
    // or refused depending on what memory held), and the schema may run
    // nothing of its own.
    if (sqlite3_exec(db.get(), "PRAGMA cell_size_check = ON; PRAGMA trusted_schema = OFF", nullptr,
                     nullptr, nullptr) != SQLITE_OK)
        Fail(db.get());

    std::vector<std::string> tables = SampleTables(db.get());
    if (cancel.cancelled)
        throw ImportCancelled();
    std::vector<std::string> readable;
    for (const std::string& table : tables) {
        if (HasSampleColumns(db.get(), table))
            readable.push_back(table);
        else
            daily.Reject(0, table + " has no TIMESTAMP, DEVICE_ID and STEPS columns; not read");
    }
    if (readable.empty())
        throw ImportError("is a SQLite database without Gadgetbridge's activity samples");
    StepsBySource steps;
    for (std::size_t i = 0; i < readable.size(); ++i) {
        ReadTable(db.get(), readable[i], cancel, steps, daily);
        meter.Reached(meter.Total() * (i + 1) / readable.size());
    }
    steps.AddTo(daily);
}
