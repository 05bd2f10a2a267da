// Writes a daily diary of N entries as "data.steps" in the current directory.
#include <cstdlib>

#include "DiaryFixture.h"

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    WriteDailyDiary("data.steps", static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)));
}
