#include "platform/filesystem.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/clock.h"
#include "platform/codepages.h"

namespace kestrova::platform {

namespace {

// The native form of an OEM path for a system call; false for a path that names nothing (empty,
// or holding a NUL that would cut it short and name another file).
bool NativeOf(std::string_view oemPath, std::string& native) {
    if (oemPath.empty() || oemPath.find('\0') != std::string_view::npos) {
        errno = ENOENT;
        return false;
    }
    native = ToNativePath(oemPath);
    return true;
}

std::string EnvironmentValue(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr ? value : "";
}

void DropTrailingDelimiters(std::string& path) {
    while (path.size() > 1 && path.back() == kPathDelim) path.pop_back();
}

std::string NativeHomeFolder() {
    std::string home = EnvironmentValue("KESTROVA_HOME");
    if (!home.empty()) return home;
    const std::string dataHome = EnvironmentValue("XDG_DATA_HOME");
    if (!dataHome.empty() && dataHome.front() == kPathDelim) return dataHome + "/kestrova";
    std::string userHome = EnvironmentValue("HOME");
    if (userHome.empty()) {
        const passwd* user = getpwuid(getuid());
        if (user != nullptr && user->pw_dir != nullptr) userHome = user->pw_dir;
    }
    return userHome + "/.local/share/kestrova";
}

// Creates the file pattern names with its six X's (before suffixLength characters) replaced by
// characters that make the name new, asking for permissions 0666 as an ordinary new file does
// (the umask takes its part); -1 on failure.
int CreateUniqueLikeNewFile(std::string& pattern, size_t suffixLength) {
    static constexpr char kCharacters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 random{std::random_device{}()};
    const size_t unique = pattern.size() - suffixLength - 6;
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (size_t i = 0; i < 6; ++i)
            pattern[unique + i] = kCharacters[random() % (sizeof kCharacters - 1)];
        const int fd = open(pattern.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool IsNativeDirectory(const std::string& native) {
    struct stat info {};
    return stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates native and its missing parents, private to the user: the home folder holds the
// settings store with the accounts' passwords.
void CreatePrivateDirectories(const std::string& native) {
    if (native.empty() || IsNativeDirectory(native)) return;
    const size_t parentEnd = native.find_last_of(kPathDelim);
    if (parentEnd != std::string::npos && parentEnd > 0) {
        CreatePrivateDirectories(native.substr(0, parentEnd));
    }
    mkdir(native.c_str(), 0700);
}

FILETIME FileTimeOf(const statx_timestamp& stamp) {
    return UnixTimeToFileTime(stamp.tv_sec, stamp.tv_nsec);
}

}  // namespace

std::string ToNativePath(std::string_view oemPath) {
    return OemToUtf8(oemPath);
}

std::string FromNativePath(std::string_view nativePath) {
    return Utf8ToOem(nativePath);
}

std::string HomeFolder() {
    std::string native = NativeHomeFolder();
    DropTrailingDelimiters(native);
    CreatePrivateDirectories(native);
    return FromNativePath(native);
}

bool FileExists(std::string_view path) {
    std::string native;
    struct stat info {};
    return NativeOf(path, native) && stat(native.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(std::string_view path) {
    std::string native;
    return NativeOf(path, native) && IsNativeDirectory(native);
}

bool CreateDirectory(std::string_view path) {
    std::string native;
    return NativeOf(path, native) && mkdir(native.c_str(), 0777) == 0;
}

bool CreatePrivateDirectory(std::string_view path) {
    std::string native;
    return NativeOf(path, native) && mkdir(native.c_str(), 0700) == 0;
}

bool DeleteFile(std::string_view path) {
    std::string native;
    return NativeOf(path, native) && unlink(native.c_str()) == 0;
}

bool RemoveDirectory(std::string_view path) {
    std::string native;
    return NativeOf(path, native) && rmdir(native.c_str()) == 0;
}

bool RenameFile(std::string_view from, std::string_view to) {
    std::string nativeFrom;
    std::string nativeTo;
    if (!NativeOf(from, nativeFrom) || !NativeOf(to, nativeTo)) return false;
    if (renameat2(AT_FDCWD, nativeFrom.c_str(), AT_FDCWD, nativeTo.c_str(), RENAME_NOREPLACE) ==
        0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the no-replace flag: check first (not atomic, but keeps the target).
    struct stat info {};
    if (lstat(nativeTo.c_str(), &info) == 0) {
        errno = EEXIST;
        return false;
    }
    return rename(nativeFrom.c_str(), nativeTo.c_str()) == 0;
}

bool ReplaceFile(std::string_view from, std::string_view to) {
    std::string nativeFrom;
    std::string nativeTo;
    if (!NativeOf(from, nativeFrom) || !NativeOf(to, nativeTo)) return false;
    return rename(nativeFrom.c_str(), nativeTo.c_str()) == 0;
}

bool GetFindData(std::string_view path, FAR_FIND_DATA& data) {
    std::string native;
    struct statx info {};
    if (!NativeOf(path, native)) return false;
    constexpr unsigned kWanted = STATX_BASIC_STATS | STATX_BTIME;
    // A link that points nowhere still takes the name: it is described itself.
    if (statx(AT_FDCWD, native.c_str(), 0, kWanted, &info) != 0 &&
        (errno != ENOENT ||
         statx(AT_FDCWD, native.c_str(), AT_SYMLINK_NOFOLLOW, kWanted, &info) != 0)) {
        return false;
    }

    data = FAR_FIND_DATA{};
    data.dwFileAttributes =
        S_ISDIR(info.stx_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    data.nFileSizeHigh = static_cast<uint32_t>(info.stx_size >> 32);
    data.nFileSizeLow = static_cast<uint32_t>(info.stx_size);
    data.ftLastWriteTime = FileTimeOf(info.stx_mtime);
    data.ftLastAccessTime = FileTimeOf(info.stx_atime);
    // Not every file system records a birth time; the last write is the closest stand-in.
    data.ftCreationTime =
        (info.stx_mask & STATX_BTIME) != 0 ? FileTimeOf(info.stx_btime) : data.ftLastWriteTime;

    std::string_view name(path);
    while (name.size() > 1 && name.back() == kPathDelim) name.remove_suffix(1);
    const size_t lastDelim = name.find_last_of(kPathDelim);
    if (lastDelim != std::string_view::npos && name.size() > 1) name.remove_prefix(lastDelim + 1);
    const size_t length = std::min(name.size(), sizeof(data.cFileName) - 1);
    std::copy_n(name.data(), length, data.cFileName);
    data.cFileName[length] = '\0';
    return true;
}

std::string TempFolder() {
    std::string native = EnvironmentValue("TMPDIR");
    if (native.empty()) native = "/tmp";
    DropTrailingDelimiters(native);
    if (native.back() != kPathDelim) native += kPathDelim;
    return FromNativePath(native);
}

std::string CreateTempFile(std::string_view folder, std::string_view prefix, TempAccess access) {
    std::string nativeFolder;
    if (!NativeOf(folder, nativeFolder) || prefix.find(kPathDelim) != std::string_view::npos ||
        prefix.find('\0') != std::string_view::npos) {
        return "";
    }
    if (nativeFolder.back() != kPathDelim) nativeFolder += kPathDelim;

    static constexpr char kSuffix[] = ".tmp";
    std::string pattern = nativeFolder + ToNativePath(prefix) + "XXXXXX" + kSuffix;
    const int fd = access == TempAccess::LikeNew
                       ? CreateUniqueLikeNewFile(pattern, sizeof(kSuffix) - 1)
                       : mkstemps(pattern.data(), sizeof(kSuffix) - 1);  // fills in the X's
    if (fd < 0) return "";
    close(fd);
    return FromNativePath(pattern);
}

}  // namespace kestrova::platform
