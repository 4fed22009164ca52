#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "common/errors.h"
#include "common/format_text.h"
#include "common/os_error.h"
#include "common/streams.h"
#include "platform/filesystem.h"

namespace kestrova {

namespace {

// The largest single transfer handed to the system.
constexpr int64_t kMaxTransfer = std::numeric_limits<int32_t>::max();

int OpenFlags(unsigned mode) {
    if (mode == kFileCreate) return O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC;
    switch (mode & 3) {
        case 0:
            return O_RDONLY | O_CLOEXEC;
        case 1:
            return O_WRONLY | O_CLOEXEC;
        case 2:
            return O_RDWR | O_CLOEXEC;
        default:
            return -1;
    }
}

// Opens a regular file (a folder is refused); -1 on failure.
int OpenRegularFile(const std::string& nativeName, int flags) {
    if (flags < 0) return -1;
    int fd = ::open(nativeName.c_str(), flags, 0666);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, unsigned mode, const std::string& shownName)
    : fileName_(fileName), shownName_(shownName.empty() ? fileName : shownName) {
    fd_ = OpenRegularFile(platform::ToNativePath(fileName), OpenFlags(mode));
    if (fd_ >= 0) return;
    if (mode == kFileCreate)
        throw EFCreateError(kItemFailure, FormatText("Cannot create file '%s'", {fileName}),
                            "Create");
    throw EFOpenError(kItemFailure, FormatText("Cannot open file '%s'", {fileName}), "Open");
}

TFileStream::~TFileStream() {
    if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done,
                           static_cast<size_t>(std::min(count - done, kMaxTransfer)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done,
                            static_cast<size_t>(std::min(count - done, kMaxTransfer)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A write of nothing says no more than that the device takes no more.
            writeErrno_ = n < 0 ? errno : ENOSPC;
            break;
        }
        done += n;
    }
    return done;
}

std::string TFileStream::WriteErrorText() const {
    return FormatText("Cannot write file '%s': %s", {shownName_, std::strerror(writeErrno_)});
}

// Returns the new position, or -1 when the system refuses it.
int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
    int whence = origin == SeekOrigin::Beginning ? SEEK_SET
                 : origin == SeekOrigin::Current ? SEEK_CUR
                                                 : SEEK_END;
    return ::lseek(fd_, offset, whence);
}

// Raises EOSError when the system refuses the size (a negative one too). A position beyond the new
// end moves to it.
void TFileStream::SetSize(int64_t size) {
    if (::ftruncate(fd_, size) != 0) RaiseOSError(errno);
    if (Position() > size) Seek(0, SeekOrigin::End);
}

}  // namespace kestrova
