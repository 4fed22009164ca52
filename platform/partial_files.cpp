#include "platform/partial_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <string>

#include "platform/filesystem.h"

namespace kestrova::platform {
namespace {

constexpr std::string_view kSuffix = ".tmp";
constexpr size_t kUniqueLength = 6;

bool IsPartialName(std::string_view name, std::string_view prefix) {
    return name.size() == prefix.size() + kUniqueLength + kSuffix.size() &&
           name.starts_with(prefix) && name.ends_with(kSuffix);
}

// Deletes the partial at path when it is a regular file (never a link) that was not written
// lately and whose lock can be taken: its writer is gone.
bool RemoveIfAbandoned(int folderFd, const char* name) {
    const int fd = openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat info {};
    const bool removed = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                         info.st_mtime + kPartialQuietSeconds < std::time(nullptr) &&
                         flock(fd, LOCK_EX | LOCK_NB) == 0 && unlinkat(folderFd, name, 0) == 0;
    close(fd);
    return removed;
}

}  // namespace

TPartialFileLock::TPartialFileLock(std::string_view path) {
    if (path.empty() || path.find('\0') != std::string_view::npos) return;
    fd_ = open(ToNativePath(path).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ >= 0) flock(fd_, LOCK_EX | LOCK_NB);
}

TPartialFileLock::~TPartialFileLock() {
    if (fd_ >= 0) close(fd_);
}

int RemoveAbandonedPartials(std::string_view folder, std::string_view prefix) {
    if (folder.empty() || folder.find('\0') != std::string_view::npos) return 0;
    const std::string nativePrefix = ToNativePath(prefix);
    DIR* dir = opendir(ToNativePath(folder).c_str());
    if (!dir) return 0;
    int removed = 0;
    while (const dirent* entry = readdir(dir)) {
        if (IsPartialName(entry->d_name, nativePrefix) &&
            RemoveIfAbandoned(dirfd(dir), entry->d_name))
            ++removed;
    }
    closedir(dir);
    return removed;
}

}  // namespace kestrova::platform
