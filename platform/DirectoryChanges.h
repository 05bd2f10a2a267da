#pragma once

#include <filesystem>
#include <functional>
#include <memory>

// Hears of changes in one directory (a name made, removed or renamed, a
// file written or its attributes changed) from a thread of its own, for its
// life. A burst of changes may come as one call, and a call may come for a
// change of no interest: the caller looks at what it cares about itself.
class DirectoryChanges {
public:
    // Starts watching `directory`; `changed` is called on the watching
    // thread. None when the system will not watch it (a watch limit reached,
    // a directory gone).
    static std::unique_ptr<DirectoryChanges> Watch(const std::filesystem::path& directory,
                                                   std::function<void()> changed);

    // Stops watching: once it returns, `changed` is not running and is not
    // called again.
    virtual ~DirectoryChanges() = default;

protected:
    DirectoryChanges() = default;
};
