// Writes a daily diary of N entries as the diary in the current directory.
#include <cstdlib>

#include "DiaryFiles.h"
#include "DiaryFixture.h"

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    WriteDailyDiary(DiaryFilesIn({}).steps,
                    static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)));
}
