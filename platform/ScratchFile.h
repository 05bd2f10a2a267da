#pragma once

#include <filesystem>

#include "FileHandle.h"
#include "FileIdentity.h"
#include "FileStatus.h"

// A file made fresh for us. Where the file system allows, it has no name
// until it is complete, so a writer killed halfway leaves nothing behind;
// NameScratchFile then links it under a name that proves it ours. Elsewhere it
// is created under a name no one holds, so no link, pipe or file someone else
// keeps under that name is ever opened, and is a regular file with one link.
// `name` is the name it has, empty while it has none.
struct ScratchFile {
    FileHandle file;
    std::filesystem::path name;
    std::filesystem::path stem; // what a name given later is made from
    FileIdentity identity;      // of the file as created
    FileStatus status;
};

// How a scratch file that must have a name from the start is named.
enum class ScratchName {
    // `stem` itself when that name is free, else a fresh name.
    StemFirst,
    // Always a fresh name: `stem`, a dot and random letters.
    Fresh,
};

// Who may read the scratch file as it is created.
enum class ScratchAccess {
    // Its creator alone, until it is given the permissions of a file it replaces.
    OwnerOnly,
    // Whatever a new file of the user's gets (on POSIX, what the umask leaves).
    AsNewFile,
};

// Creates the scratch file beside `stem`, without a name where the file
// system allows.
ScratchFile CreateScratchFile(const std::filesystem::path& stem, ScratchName naming,
                              ScratchAccess access);
// The scratch file with a name from the start, as on a file system that
// cannot make a file of no name (FAT, many network file systems).
ScratchFile CreateNamedScratchFile(const std::filesystem::path& stem, ScratchName naming,
                                   ScratchAccess access);

// Gives a scratch file without a name the name that proves it ours: the stem,
// ".trekline-" and its file number. Does nothing to one that has a name.
FileStatus NameScratchFile(ScratchFile& scratch);

// Removes a file we created, unless the name has since come to mean another file.
void RemoveScratchFile(const ScratchFile& scratch);

// Removes the named scratch files of `stem` that a writer killed between
// naming and renaming one left behind. Only names NameScratchFile gives are
// touched, and only when they prove it: a regular file of ours with one link
// and the file number its name says. Called under the lock that every writer
// of the stem's file holds while its scratch file exists.
void RemoveLeftScratchFiles(const std::filesystem::path& stem);
