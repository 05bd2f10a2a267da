#include "DirectoryChanges.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t kChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                   IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF |
                                   IN_MOVE_SELF;

class InotifyChanges : public DirectoryChanges {
public:
    InotifyChanges(int inotify, const std::array<int, 2>& stop, std::function<void()> changed)
        : inotify_(inotify), stop_(stop), thread_([this, changed = std::move(changed)] {
              Listen(changed);
          }) {}

    ~InotifyChanges() override {
        const char byte = 0;
        while (::write(stop_[1], &byte, 1) < 0 && errno == EINTR) {
        }
        thread_.join();
        ::close(stop_[0]);
        ::close(stop_[1]);
        ::close(inotify_);
    }

private:
    void Listen(const std::function<void()>& changed) {
        std::array<pollfd, 2> waits{{{inotify_, POLLIN, 0}, {stop_[0], POLLIN, 0}}};
        alignas(inotify_event) std::array<char, 4096> events;
        for (;;) {
            if (::poll(waits.data(), waits.size(), -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (waits[1].revents != 0)
                return;
            // Everything waiting is read at once: one call for the burst,
            // a lost-events notice included.
            bool read = false;
            while (::read(inotify_, events.data(), events.size()) > 0)
                read = true;
            if (read)
                changed();
        }
    }

    int inotify_;
    std::array<int, 2> stop_;
    std::thread thread_;
};

} // namespace

std::unique_ptr<DirectoryChanges> DirectoryChanges::Watch(const std::filesystem::path& directory,
                                                          std::function<void()> changed) {
    const int inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify < 0)
        return nullptr;
    std::array<int, 2> stop{};
    if (::inotify_add_watch(inotify, directory.c_str(), kChanges | IN_ONLYDIR) < 0 ||
        ::pipe2(stop.data(), O_CLOEXEC) != 0) {
        ::close(inotify);
        return nullptr;
    }
    return std::make_unique<InotifyChanges>(inotify, stop, std::move(changed));
}
