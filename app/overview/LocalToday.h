#pragma once

#include <chrono>

// Today's date on the local clock, the date the figures are as of unless the
// user names another: near midnight the user's today is not UTC's.
std::chrono::sys_days LocalToday();
