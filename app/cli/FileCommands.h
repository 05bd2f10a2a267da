#pragma once

#include <iosfwd>
#include <optional>

#include "CommandLine.h"
#include "DiaryFiles.h"

// Carries out a command line's import or export on the diary where the
// window would keep it, with no window, and gives the exit status: 0 when it
// was done (an import that rejected some rows included), 1 when it could not
// be. Nothing for a command line that asks for neither.
std::optional<int> RunFileCommand(const CommandLine& commandLine, std::ostream& out,
                                  std::ostream& err);

// The files of the diary a command line works on, where the window would
// keep them, with the local zone pinned for the run (entry dates are local
// dates). None, and the reason said on `err`, when there is no such place.
std::optional<DiaryFiles> CommandLineDiary(const CommandLine& commandLine, std::ostream& err);
