#include "CrashStates.h"

#include <algorithm>
#include <optional>
#include <set>
#include <stdexcept>
#include <utility>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A write or a cut of a file's length, not yet known to be on disk.
struct DataChange {
    bool truncates = false;
    std::uint64_t offset = 0; // the new length, for a cut
    Bytes bytes;
};

struct Inode {
    Bytes durable;
    Bytes current;
    std::vector<DataChange> pending;
};

// A directory change not yet known to be on disk.
struct NameChange {
    enum class Kind { Link, Rename, Unlink } kind = Kind::Link;
    std::string name;
    std::string target;
    std::size_t inode = 0;
};

using Names = std::map<std::string, std::size_t>;

void Apply(Bytes& file, const DataChange& change) {
    if (change.truncates) {
        file.resize(change.offset);
        return;
    }
    const std::size_t end = change.offset + change.bytes.size();
    if (file.size() < end)
        file.resize(end);
    std::copy(change.bytes.begin(), change.bytes.end(), file.begin() + change.offset);
}

void Apply(Names& names, const NameChange& change) {
    switch (change.kind) {
    case NameChange::Kind::Link:
        names[change.name] = change.inode;
        break;
    case NameChange::Kind::Rename:
        // Without the creation of its source, an undone rename has nothing to move.
        if (auto from = names.find(change.name);
            from != names.end() && from->second == change.inode) {
            names[change.target] = change.inode;
            names.erase(change.name);
        }
        break;
    case NameChange::Kind::Unlink:
        if (auto at = names.find(change.name); at != names.end() && at->second == change.inode)
            names.erase(at);
        break;
    }
}

// Where a write may have been cut: every byte for a record-sized write, the
// edges and the middle of a long one.
std::vector<std::size_t> CutPoints(std::size_t size) {
    std::vector<std::size_t> cuts;
    if (size <= 64) {
        for (std::size_t c = 1; c < size; ++c)
            cuts.push_back(c);
    } else {
        cuts = {1, size / 2, size - 1};
    }
    return cuts;
}

class Disk {
public:
    Disk(fs::path directory, const DirectoryImage& before, CrashModel model)
        : directory_(std::move(directory)), model_(model) {
        for (const auto& [name, bytes] : before) {
            durableNames_[name] = currentNames_[name] = inodes_.size();
            inodes_.push_back({bytes, bytes, {}});
        }
    }

    void Replay(const RecordedCall& call) {
        switch (call.kind) {
        case RecordedCall::Kind::Open:
            Open(call);
            break;
        case RecordedCall::Kind::Write:
        case RecordedCall::Kind::Truncate:
            if (const std::size_t* inode = FileOf(call.fd))
                Change(*inode,
                       {call.kind == RecordedCall::Kind::Truncate, call.offset, call.bytes});
            break;
        case RecordedCall::Kind::Sync:
            Sync(call.fd);
            break;
        case RecordedCall::Kind::Rename: {
            const std::string from = NameIn(call.path), to = NameIn(call.target);
            ChangeName({NameChange::Kind::Rename, from, to, currentNames_.at(from)});
            break;
        }
        case RecordedCall::Kind::Link:
            if (const std::size_t* inode = FileOf(call.fd))
                ChangeName({NameChange::Kind::Link, NameIn(call.target), {}, *inode});
            break;
        case RecordedCall::Kind::Unlink: {
            const std::string name = NameIn(call.path);
            ChangeName({NameChange::Kind::Unlink, name, {}, currentNames_.at(name)});
            break;
        }
        case RecordedCall::Kind::Close:
            open_.erase(call.fd);
            break;
        }
    }

    // Every state the disk may hold if the power went now.
    std::vector<DirectoryImage> CrashStates() const {
        std::vector<DirectoryImage> states;
        for (const Names& names : NameVariants()) {
            std::vector<std::size_t> shown;
            for (const auto& [name, inode] : names)
                if (std::find(shown.begin(), shown.end(), inode) == shown.end())
                    shown.push_back(inode);
            std::vector<std::vector<Bytes>> contents;
            for (std::size_t inode : shown)
                contents.push_back(DataVariants(inodes_[inode]));
            // Each file independently, every combination.
            std::vector<std::size_t> pick(shown.size(), 0);
            while (true) {
                DirectoryImage image;
                for (const auto& [name, inode] : names) {
                    const std::size_t which =
                        std::find(shown.begin(), shown.end(), inode) - shown.begin();
                    image[name] = contents[which][pick[which]];
                }
                states.push_back(std::move(image));
                std::size_t i = 0;
                while (i < pick.size() && ++pick[i] == contents[i].size())
                    pick[i++] = 0;
                if (i == pick.size())
                    break;
            }
        }
        return states;
    }

    DirectoryImage Current() const {
        DirectoryImage image;
        for (const auto& [name, inode] : currentNames_)
            image[name] = inodes_[inode].current;
        return image;
    }

private:
    std::string NameIn(const fs::path& path) const {
        if (path.parent_path() != directory_)
            throw std::runtime_error("a call outside the test directory: " + path.string());
        return path.filename().string();
    }

    const std::size_t* FileOf(int fd) const {
        auto found = open_.find(fd);
        if (found == open_.end())
            return nullptr;
        return found->second ? &*found->second : nullptr;
    }

    void Open(const RecordedCall& call) {
        if (call.directory) {
            if (call.path != directory_)
                throw std::runtime_error("a directory outside the test: " + call.path.string());
            open_[call.fd] = std::nullopt;
            return;
        }
        if (call.anonymous) {
            if (call.path != directory_)
                throw std::runtime_error("a file outside the test: " + call.path.string());
            inodes_.push_back({});
            open_[call.fd] = inodes_.size() - 1;
            return;
        }
        if (call.path.parent_path() != directory_ && !call.created && !call.truncated) {
            // Read elsewhere (a font, say); nothing there is the command's to change.
            open_.erase(call.fd);
            return;
        }
        const std::string name = NameIn(call.path);
        if (call.created) {
            inodes_.push_back({});
            ChangeName({NameChange::Kind::Link, name, {}, inodes_.size() - 1});
        }
        const std::size_t inode = currentNames_.at(name);
        open_[call.fd] = inode;
        if (call.truncated)
            Change(inode, {true, 0, {}});
    }

    void Change(std::size_t inode, DataChange change) {
        Apply(inodes_[inode].current, change);
        inodes_[inode].pending.push_back(std::move(change));
    }

    void ChangeName(NameChange change) {
        Apply(currentNames_, change);
        pendingNames_.push_back(std::move(change));
    }

    void Sync(int fd) {
        auto found = open_.find(fd);
        if (found == open_.end())
            return;
        if (found->second) {
            Inode& inode = inodes_[*found->second];
            inode.durable = inode.current;
            inode.pending.clear();
        }
        // The directory's own fsync, or on a journalling file system any
        // fsync: the journal commits every directory change made so far.
        if (!found->second || model_ == CrashModel::Ext4Like) {
            durableNames_ = currentNames_;
            pendingNames_.clear();
        }
    }

    std::vector<Names> NameVariants() const {
        std::vector<Names> variants;
        const std::size_t count = pendingNames_.size();
        if (model_ == CrashModel::Ext4Like) {
            for (std::size_t kept = 0; kept <= count; ++kept) {
                Names names = durableNames_;
                for (std::size_t i = 0; i < kept; ++i)
                    Apply(names, pendingNames_[i]);
                variants.push_back(std::move(names));
            }
            return variants;
        }
        if (count > 12)
            throw std::runtime_error("too many directory changes without a directory fsync");
        for (std::size_t mask = 0; mask < (std::size_t{1} << count); ++mask) {
            Names names = durableNames_;
            for (std::size_t i = 0; i < count; ++i)
                if (mask & (std::size_t{1} << i))
                    Apply(names, pendingNames_[i]);
            variants.push_back(std::move(names));
        }
        return variants;
    }

    std::vector<Bytes> DataVariants(const Inode& inode) const {
        std::vector<Bytes> variants{inode.durable};
        Bytes landed = inode.durable;
        for (const DataChange& change : inode.pending) {
            if (!change.truncates) {
                for (std::size_t cut : CutPoints(change.bytes.size())) {
                    Bytes part = landed;
                    Apply(part, {false, change.offset,
                                 Bytes(change.bytes.begin(), change.bytes.begin() + cut)});
                    variants.push_back(std::move(part));
                }
                if (model_ == CrashModel::Posix) {
                    for (std::size_t cut : CutPoints(change.bytes.size()))
                        variants.push_back(ZeroExtended(landed, change.offset + cut));
                    variants.push_back(ZeroExtended(landed, change.offset + change.bytes.size()));
                }
            }
            Apply(landed, change);
            variants.push_back(landed);
        }
        std::sort(variants.begin(), variants.end());
        variants.erase(std::unique(variants.begin(), variants.end()), variants.end());
        return variants;
    }

    static Bytes ZeroExtended(Bytes file, std::size_t length) {
        if (file.size() < length)
            file.resize(length, 0);
        return file;
    }

    fs::path directory_;
    CrashModel model_;
    std::vector<Inode> inodes_;
    Names durableNames_;
    Names currentNames_;
    std::vector<NameChange> pendingNames_;
    // Open descriptors: a file's inode, or none for the directory.
    std::map<int, std::optional<std::size_t>> open_;
};

} // namespace

std::vector<CrashState> EnumerateCrashStates(const fs::path& directory,
                                             const DirectoryImage& before,
                                             const std::vector<RecordedCall>& calls,
                                             CrashModel model) {
    Disk disk(fs::canonical(directory), before, model);
    std::set<std::pair<std::size_t, DirectoryImage>> seen;
    std::vector<CrashState> states;
    auto collect = [&](std::size_t made) {
        // Only whether every call was made matters to the checks, so states are
        // told apart by that and their files.
        const std::size_t key = made == calls.size() ? 1 : 0;
        for (DirectoryImage& image : disk.CrashStates())
            if (seen.emplace(key, image).second)
                states.push_back({made, std::move(image)});
    };
    collect(0);
    for (std::size_t i = 0; i < calls.size(); ++i) {
        disk.Replay(calls[i]);
        collect(i + 1);
    }
    return states;
}

DirectoryImage ReplayAll(const fs::path& directory, const DirectoryImage& before,
                         const std::vector<RecordedCall>& calls) {
    Disk disk(fs::canonical(directory), before, CrashModel::Posix);
    for (const RecordedCall& call : calls)
        disk.Replay(call);
    return disk.Current();
}
