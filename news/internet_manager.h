// The base of the object a panel owns while it is connected to a server: the owning panel, the
// callback into it, the current path inside the server, the socket, the article cache, the
// connection log and the last reply line. The virtual operations are the slots the panel calls;
// the news manager fills them for NNTP.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "hostapi/plugin_api.h"
#include "net/win_socket.h"
#include "news/cache.h"
#include "news/connection_log.h"
#include "ui/event_kinds.h"

namespace kestrova {

class TStream;

// Callback into the panel: (kind, param1, param2); the kinds are in ui/event_kinds.h.
using TInternetEvent = std::function<int(int kind, intptr_t param1, intptr_t param2)>;

// Log levels used by the managers.
inline constexpr int kLogConnection = 0;  // connecting, disconnecting, group list lines
inline constexpr int kLogCommand = 1;     // commands and their status replies
inline constexpr int kLogAction = 2;      // start and end of panel actions
inline constexpr int kLogData = 3;        // data lines, commands inside loops, posted copies

class TInternetManager {
  public:
    // cacheLife in hours (0: nothing expires); an empty logFileName means no log. The socket is
    // left to the subclass.
    TInternetManager(HANDLE owner, int cacheLife, std::string_view logFileName);
    virtual ~TInternetManager();
    TInternetManager(const TInternetManager&) = delete;
    TInternetManager& operator=(const TInternetManager&) = delete;

    // Slot 0: stores path; one trailing Delimiter is removed from a path of two or more
    // characters.
    virtual void SetPath(const std::string& path);
    // Slot 1.
    virtual std::string GetPath();
    // Slot 2: sends command (and " " argument when there is one) and logs it at level; returns
    // the bytes sent. Raises the socket's failures (ESocketError, EUserAbort from OnWait).
    virtual int SendCommand(TWinSocket& socket, const std::string& command, int level, int flags,
                            const std::string& argument);
    // Slot 3: reads one line into ReplyLine and logs it at level; returns the bytes taken for it
    // (0: the connection ended). Raises the socket's failures.
    virtual int ReadReply(TWinSocket& socket, int level);
    // Slot 4: appends one line to the log (secrets masked). Never raises.
    virtual void WriteLog(int level, const std::string& text);
    // Slot 5: appends the whole stream between "=== Begin:" and "===   End:" lines. Never
    // raises.
    virtual void WriteLogStream(int level, const std::string& title, TStream& stream);
    // Slot 6: ".." at the top of the server (Path of at most one component) raises
    // EInternetLeave; nothing else happens in the base.
    virtual void SetDirectory(const std::string& name);
    // Slot 7: a socket exists and is connected.
    virtual bool IsConnected();
    // Slot 8: adds the filter, sort-group and highlighting flags; descriptor is the shortcut
    // text the subclass builds (the base leaves it alone).
    virtual void GetOpenPluginInfo(OpenPluginInfo& info, std::string& descriptor);
    // Slots 9 and 10: empty in the base.
    virtual void StartAction(int action);
    virtual void StopAction(int action);

    // Calls OnEvent when it is set; 0 otherwise.
    int DoEvent(int kind, intptr_t param1, intptr_t param2);
    // Raises EInternetError with code, message and procName.
    [[noreturn]] void RaiseError(uint32_t code, const std::string& message,
                                 const std::string& procName);

    // The cache file of an account: HomeFolder()/Cache/<user>@<host>.twc, or
    // <user>@<host>,<port>.twc for a server on another port than the protocol's default (port 0),
    // so that two servers of one host keep their lists apart. A path delimiter (or NUL) inside
    // user or host is written "%2F" ("%00"), so the file stays inside Cache.
    static std::string CacheFileName(std::string_view userName, std::string_view host,
                                     uint16_t port);
    // Loads the account's cache file into cache; a missing or unreadable file is not an error.
    void LoadCache(TCache& cache, std::string_view userName, std::string_view host, uint16_t port);
    // Writes the whole cache to the account's file (creating the Cache folder); nothing for an
    // empty host. The file is replaced at once (written aside and renamed), so a reader never
    // sees half of it. Failures are swallowed. The cache's entries are taken at once (their data
    // shared, not copied) and written by a thread of its own, so storing a large index does not
    // wait for the disk; a later save, a load and the manager's end wait for it.
    void SaveCache(TCache& cache, std::string_view userName, std::string_view host, uint16_t port);
    // Returns when the file of the last SaveCache is written (or given up).
    void WaitForCacheSave();

    // The owner as it stands in every log line.
    uint32_t OwnerId() const;

    HANDLE Owner;
    TInternetEvent OnEvent;
    std::string Path;
    char Delimiter = '\\';
    std::unique_ptr<TWinSocket> Socket;
    std::unique_ptr<TCache> Cache;
    std::unique_ptr<TConnectionLog> LogStream;  // none when logging is off or failed to open
    std::string ReplyLine;
    int ReplyCode = 0;

  private:
    std::thread cacheSave_;
};

}  // namespace kestrova
