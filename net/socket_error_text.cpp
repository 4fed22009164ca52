#include "net/socket_error_text.h"

#include <algorithm>
#include <array>
#include <utility>

#include "common/errors.h"
#include "net/certificate_check.h"

namespace kestrova {

namespace {

constexpr std::pair<uint32_t, const char*> kTexts[] = {
    {0, "No socket errors"},
    {kNotInListenMode, "Socket not in listen mode"},
    {kLineTooLong, "The server sent a line longer than 1 MiB"},
    {kCompressedDataCorrupt, "The server's compressed data is corrupt"},
    {10004, "Interrupted system call"},
    {10009, "Bad file number"},
    {10013, "Permission denied"},
    {10014, "Bad address"},
    {10022, "Invalid argument"},
    {10024, "Too many open files"},
    {10035, "Operation would block"},
    {10036, "Operation now in progress"},
    {10037, "Operation already in progress"},
    {10038, "Socket operation on nonsocket"},
    {10039, "Destination address required"},
    {10040, "Message too long"},
    {10041, "Protocol wrong type for socket"},
    {10042, "Protocol not available"},
    {10043, "Protocol not supported"},
    {10044, "Socket not supported"},
    {10045, "Operation not supported on socket"},
    {10046, "Protocol family not supported"},
    {10047, "Address family not supported"},
    {10048, "Address already in use"},
    {10049, "Can't assign requested address"},
    {10050, "Network is down"},
    {10051, "Network is unreachable"},
    {10052, "Network dropped connection on reset"},
    {10053, "Software caused connection abort"},
    {10054, "Connection reset by peer"},
    {10055, "No buffer space available"},
    {10056, "Socket is already connected"},
    {10057, "Socket is not connected"},
    {10058, "Can't send after socket shutdown"},
    {10059, "Too many references: can't splice"},
    {10060, "Connection timed out"},
    {10061, "Connection refused"},
    {10062, "Too many levels of symbolic links"},
    {10063, "File name is too long"},
    {10064, "Host is down"},
    {10065, "No route to host"},
    {10066, "Directory is not empty"},
    {10067, "Too many processes"},
    {10068, "Too many users"},
    {10069, "Disk quota exceeded"},
    {10070, "Stale NFS file handle"},
    {10071, "Too many levels of remote in path"},
    {10091, "Network subsystem is unusable"},
    {10092, "Winsock DLL cannot support this application"},
    {10093, "Winsock not initialized"},
    {11001, "Host not found"},
    {11002, "Non authoritative - host not found"},
    {11003, "Non recoverable error"},
    {11004, "Valid name, no data record of requested type"},
    {kTlsFailed, "TLS connection failed"},
    {kCertificateUntrusted, "Server certificate not trusted"},
    {kCertificateChanged, "Server certificate has changed since it was trusted"},
};

constexpr std::array<uint32_t, 10> kClosing = {10038, 10050, 10051, 10052, 10053,
                                               10054, 10057, 10058, 10061, 11002};
constexpr std::array<uint32_t, 10> kNonClosing = {10035, 10036, 10037, 10056, 10060,
                                                  10064, 10065, 10067, 10068, 11004};

}  // namespace

std::string SocketErrorText(uint32_t code) {
    for (const auto& [number, text] : kTexts) {
        if (number == code) return text;
    }
    return "Not a Winsock error";
}

bool IsClosingSocketError(uint32_t code) {
    return std::find(kClosing.begin(), kClosing.end(), code) != kClosing.end();
}

uint32_t SocketErrorClass(uint32_t code) {
    if (IsClosingSocketError(code) ||
        std::find(kNonClosing.begin(), kNonClosing.end(), code) != kNonClosing.end()) {
        return kTransient;
    }
    return kRefused;
}

}  // namespace kestrova
