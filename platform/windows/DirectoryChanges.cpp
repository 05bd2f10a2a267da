#include "DirectoryChanges.h"

#include <array>
#include <thread>

#include <windows.h>

// A change notification handle rather than overlapped reads of the
// changes: it leaves no buffer for the system to write into once the watch
// is over, and no name is needed, the caller looks for itself.

namespace {

constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                           FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE |
                           FILE_NOTIFY_CHANGE_ATTRIBUTES;

class NotificationChanges : public DirectoryChanges {
public:
    NotificationChanges(HANDLE notification, HANDLE stop, std::function<void()> changed)
        : notification_(notification), stop_(stop),
          thread_([this, changed = std::move(changed)] { Listen(changed); }) {}

    ~NotificationChanges() override {
        ::SetEvent(stop_);
        thread_.join();
        ::FindCloseChangeNotification(notification_);
        ::CloseHandle(stop_);
    }

private:
    void Listen(const std::function<void()>& changed) {
        const std::array<HANDLE, 2> waits{notification_, stop_};
        while (::WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE,
                                        INFINITE) == WAIT_OBJECT_0) {
            changed();
            if (!::FindNextChangeNotification(notification_))
                return;
        }
    }

    HANDLE notification_;
    HANDLE stop_;
    std::thread thread_;
};

} // namespace

std::unique_ptr<DirectoryChanges> DirectoryChanges::Watch(const std::filesystem::path& directory,
                                                          std::function<void()> changed) {
    const HANDLE notification = ::FindFirstChangeNotificationW(directory.c_str(), FALSE, kChanges);
    if (notification == INVALID_HANDLE_VALUE)
        return nullptr;
    const HANDLE stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!stop) {
        ::FindCloseChangeNotification(notification);
        return nullptr;
    }
    return std::make_unique<NotificationChanges>(notification, stop, std::move(changed));
}
