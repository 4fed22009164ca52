// Reading a whole file that must be a regular file: a FIFO, device or folder at the path is
// refused without blocking on it.
#pragma once

#include <string>
#include <string_view>

namespace kestrova::platform {

enum class RegularFileRead {
    Ok,
    Missing,     // nothing at the path
    NotRegular,  // a FIFO, device, socket or folder: not opened for reading
    Failed,      // it could not be opened or read
};

// The bytes of the file at path (an OEM path). Opens without blocking and checks the kind of
// what it opened before reading from it.
RegularFileRead ReadRegularFile(std::string_view path, std::string& bytes);

}  // namespace kestrova::platform
