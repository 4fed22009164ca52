#include "news/connection_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <vector>

#include "common/format_text.h"
#include "common/streams.h"
#include "common/visible_text.h"
#include "platform/clock.h"
#include "platform/filesystem.h"
#include "ui/plugin_options.h"

namespace kestrova {

namespace {

constexpr std::string_view kPasswordCommand = "> AUTHINFO PASS ";
constexpr std::string_view kMaskedPassword = "********";
constexpr int64_t kCopyBlock = 61440;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(text[i]) != lower(prefix[i])) return false;
    }
    return true;
}

// Holds an exclusive lock of the log file while one line or block is appended; O_APPEND alone
// keeps each write whole, the lock keeps a multi-write block whole.
class FileLock {
  public:
    explicit FileLock(int fd) : fd_(fd) {
        while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FileLock() { flock(fd_, LOCK_UN); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

  private:
    int fd_;
};

}  // namespace

std::string LogFilePath(std::string_view fileName) {
    if (fileName.find(platform::kPathDelim) != std::string_view::npos) return std::string(fileName);
    return platform::HomeFolder() + platform::kPathDelim + std::string(fileName);
}

std::string MaskSecrets(std::string_view text) {
    if (!StartsWithNoCase(text, kPasswordCommand)) return std::string(text);
    return std::string(text.substr(0, kPasswordCommand.size())) + std::string(kMaskedPassword);
}

TConnectionLog::TConnectionLog(std::string_view fileName, LocalClock now)
    : now_(now ? std::move(now) : LocalClock(platform::NowLocalSystemTime)) {
    try {
        fileName_ = LogFilePath(fileName);
        fd_ = open(platform::ToNativePath(fileName_).c_str(),
                   O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    } catch (const std::exception&) {
        fd_ = -1;  // no home folder: the connection works without a log
    }
}

TConnectionLog::~TConnectionLog() {
    if (fd_ >= 0) close(fd_);
}

std::string TConnectionLog::FormatLine(uint32_t owner, int level, std::string_view text) const {
    const SYSTEMTIME local = now_();
    return FormatText(kLineFormat, {platform::ShortDateText(local), platform::LongTimeText(local),
                                    owner, level, VisibleText(MaskSecrets(text)), "\r\n"});
}

bool TConnectionLog::Append(const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd_, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

void TConnectionLog::WriteLine(uint32_t owner, int level, std::string_view text) {
    if (fd_ < 0) return;
    try {
        const std::string line = FormatLine(owner, level, text);
        FileLock lock(fd_);
        Append(line.data(), line.size());
    } catch (const std::exception&) {
        // a log failure never stops the connection
    }
}

void TConnectionLog::WriteStream(uint32_t owner, int level, std::string_view title,
                                 TStream& stream) {
    if (fd_ < 0) return;
    try {
        const std::string begin =
            FormatLine(owner, level, "=== Begin: " + std::string(title) + " ===");
        FileLock lock(fd_);
        if (!Append(begin.data(), begin.size())) return;
        std::vector<char> block(kCopyBlock);
        stream.SetPosition(0);
        for (int64_t got; (got = stream.Read(block.data(), kCopyBlock)) > 0;) {
            if (!Append(block.data(), static_cast<size_t>(got))) return;
        }
        const std::string end =
            "\r\n" + FormatLine(owner, level, "===   End: " + std::string(title) + " ===");
        Append(end.data(), end.size());
    } catch (const std::exception&) {
        // a log failure never stops the connection
    }
}

TSessionLog::TSessionLog(HANDLE owner)
    : owner_(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(owner))) {
    if (Options.Connect.CreateLog == 0) return;
    file_ = std::make_unique<TConnectionLog>(Options.Connect.LogFile);
    if (!file_->IsOpen()) file_.reset();
}

bool TSessionLog::Wants(int level) const {
    return file_ && Options.Connect.CreateLog != 0 &&
           static_cast<unsigned>(level) <= static_cast<unsigned>(Options.Connect.LogLevel);
}

void TSessionLog::Write(int level, std::string_view text) {
    if (Wants(level)) file_->WriteLine(owner_, level, text);
}

void TSessionLog::WriteStream(int level, std::string_view title, TStream& stream) {
    if (Wants(level)) file_->WriteStream(owner_, level, title, stream);
}

}  // namespace kestrova
