// The connection log: one shared text file that every panel (and every process) appends whole
// lines to. Each line reads "date time owner level text" and ends with CR LF; the owner value
// (eight upper-case hexadecimal digits) tells the panels' lines apart.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "hostapi/plugin_api.h"

namespace kestrova {

class TStream;

// Log levels of a session's lines.
inline constexpr int kLogConnection = 0;  // connecting, disconnecting, group list lines
inline constexpr int kLogCommand = 1;     // commands and their status replies
inline constexpr int kLogAction = 2;      // start and end of panel actions
inline constexpr int kLogData = 3;        // data lines, commands inside loops, posted copies

// A log name without a folder goes into the home folder (the folder of the module file).
std::string LogFilePath(std::string_view fileName);

// The text as it may stand in the log: the argument of an outgoing "AUTHINFO PASS" command
// ("> AUTHINFO PASS secret") is replaced by asterisks, so no password ever reaches the file.
std::string MaskSecrets(std::string_view text);

class TConnectionLog {
  public:
    // The current local time of the line stamps; tests replace it.
    using LocalClock = std::function<SYSTEMTIME()>;

    static constexpr const char* kLineFormat = "%s %s %8x %1d %s%s";

    // Opens (creating, never truncating) LogFilePath(fileName) for appending. A failure is not
    // raised: IsOpen() is then false and every write does nothing.
    explicit TConnectionLog(std::string_view fileName, LocalClock now = {});
    ~TConnectionLog();
    TConnectionLog(const TConnectionLog&) = delete;
    TConnectionLog& operator=(const TConnectionLog&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    const std::string& FileName() const { return fileName_; }

    // The line as written: date, time, owner, level, the masked text made visible
    // (common/visible_text.h: a server's line can neither split it nor reach a terminal that
    // shows the log) and CR LF.
    std::string FormatLine(uint32_t owner, int level, std::string_view text) const;
    // Appends one line. Failures are swallowed.
    void WriteLine(uint32_t owner, int level, std::string_view text);
    // Appends the whole stream (from its start) followed by CR LF, between the lines
    // "=== Begin: title ===" and "===   End: title ===". The block is written under an
    // exclusive lock of the file, so lines of other panels and processes never fall inside it.
    // Failures are swallowed.
    void WriteStream(uint32_t owner, int level, std::string_view title, TStream& stream);

  private:
    // Appends all bytes; false on a failure.
    bool Append(const char* data, size_t size);

    std::string fileName_;
    int fd_ = -1;
    LocalClock now_;
};

// The log of one panel's session: the file of the option LogFile, opened when the option
// CreateLog is set; a line is written while CreateLog is set and its level is at most LogLevel,
// naming the panel that owns the session (eight hexadecimal digits of owner).
class TSessionLog {
  public:
    explicit TSessionLog(HANDLE owner);

    // True when a line of level would be written (spares building a line nobody reads).
    bool Wants(int level) const;
    void Write(int level, std::string_view text);
    void WriteStream(int level, std::string_view title, TStream& stream);

  private:
    uint32_t owner_;
    std::unique_ptr<TConnectionLog> file_;  // none when logging is off or the file failed to open
};

}  // namespace kestrova
