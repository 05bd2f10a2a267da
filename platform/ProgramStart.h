#pragma once

#include <string>
#include <vector>

// The program's arguments, the program's name first, in UTF-8 whatever the
// system hands them over in: Windows keeps them in UTF-16, and its narrow
// argv would lose every name outside the user's code page.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Makes standard output and error reach where the user looks and carry bytes
// as written. On Windows a window program is started with none: it takes the
// console of the program that started it (a command prompt) unless they were
// redirected, and both are switched out of text mode, which would turn each
// "\n" of a CSV file into "\r\n".
void ConnectStandardStreams();
