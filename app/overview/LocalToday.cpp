#include "LocalToday.h"

#include <ctime>
#include <optional>

#include "LocalClock.h"

std::chrono::sys_days LocalToday() {
    using namespace std::chrono;
    const system_clock::time_point now = system_clock::now();
    if (const std::optional<std::tm> local = LocalTimeAt(system_clock::to_time_t(now)))
        return sys_days(year(local->tm_year + 1900) / (local->tm_mon + 1) / local->tm_mday);
    // Without a local reading, UTC's date is the nearest to the user's.
    return floor<days>(now);
}
