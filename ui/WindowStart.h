#pragma once

#include "CommandLine.h"

// Starts the toolkit and shows the window the command line asks for; gives
// the program's exit status once the window is closed.
int StartWindow(const CommandLine& commandLine, char* programName);
