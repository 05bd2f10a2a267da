#pragma once

#include <filesystem>

#include "FileStatus.h"

// The user's home directory: HOME when it is an absolute path, else what the
// system's user database says (a bare service start may not set HOME). Empty
// when there is none.
std::filesystem::path HomeDirectory();

// Where the system keeps programs' data for the user, on systems that have
// such a place apart from the home directory (Windows' local application
// data); empty elsewhere.
std::filesystem::path LocalAppDataDirectory();

// The file of the running program with every link followed, so that a program
// linked into PATH from another prefix is found in its own; empty when the
// system cannot tell.
std::filesystem::path ProgramFile();

// Makes one directory that only the user may enter, private from the moment
// it exists; one that is there already is left as it is.
FileStatus MakePrivateDirectory(const std::filesystem::path& directory);

// What the user may do with the file or directory at a path now.
struct PathAccess {
    bool exists = false;
    bool readable = false;
    bool writable = false;
};
PathAccess AccessOf(const std::filesystem::path& path);
