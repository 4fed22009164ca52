#include "platform/regular_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/filesystem.h"

namespace kestrova::platform {

RegularFileRead ReadRegularFile(std::string_view path, std::string& bytes) {
    bytes.clear();
    const std::string native = ToNativePath(path);
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = open(native.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? RegularFileRead::Missing : RegularFileRead::Failed;
    struct stat st;
    RegularFileRead result = RegularFileRead::Ok;
    if (fstat(fd, &st) != 0) {
        result = RegularFileRead::Failed;
    } else if (!S_ISREG(st.st_mode)) {
        result = RegularFileRead::NotRegular;
    } else {
        char buffer[65536];
        ssize_t n;
        while ((n = read(fd, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, static_cast<size_t>(n));
        if (n < 0) result = RegularFileRead::Failed;
    }
    close(fd);
    if (result != RegularFileRead::Ok) bytes.clear();
    return result;
}

}  // namespace kestrova::platform
