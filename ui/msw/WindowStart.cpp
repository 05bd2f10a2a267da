#include "WindowStart.h"

#include <iostream>

// The window is not built for Windows yet; the command line is whole.
int StartWindow(const CommandLine&, char*) {
    std::cerr << "trekline: this build has no window yet; see trekline --help for what the "
                 "command line does\n";
    return 1;
}
