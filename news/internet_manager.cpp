#include "news/internet_manager.h"

#include "common/errors.h"
#include "common/text_utils.h"

namespace kestrova {

TInternetManager::TInternetManager(HANDLE owner, int cacheLife, std::string_view logFileName)
    : Owner(owner), Cache(std::make_unique<TCache>(TCache::kUnlimited, cacheLife)) {
    if (logFileName.empty()) return;
    LogStream = std::make_unique<TConnectionLog>(logFileName);
    if (!LogStream->IsOpen()) LogStream.reset();
}

TInternetManager::~TInternetManager() {
    WaitForCacheSave();
    Socket.reset();
    Cache.reset();
    LogStream.reset();
}

void TInternetManager::SetPath(const std::string& path) {
    Path = path;
    if (Path.size() > 1 && Path.back() == Delimiter) Path.pop_back();
}

std::string TInternetManager::GetPath() {
    return Path;
}

int TInternetManager::SendCommand(TWinSocket& socket, const std::string& command, int level,
                                  int /*flags*/, const std::string& argument) {
    const std::string line = argument.empty() ? command : command + " " + argument;
    const int sent = socket.WriteLine(line);
    WriteLog(level, "> " + line);  // the log masks an AUTHINFO PASS argument
    return sent;
}

int TInternetManager::ReadReply(TWinSocket& socket, int level) {
    const int taken = socket.ReadLine(ReplyLine);
    if (LogStream) WriteLog(level, "< " + ReplyLine);  // no copy of every line when not logging
    return taken;
}

uint32_t TInternetManager::OwnerId() const {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(Owner));
}

void TInternetManager::WriteLog(int level, const std::string& text) {
    if (LogStream) LogStream->WriteLine(OwnerId(), level, text);
}

void TInternetManager::WriteLogStream(int level, const std::string& title, TStream& stream) {
    if (LogStream) LogStream->WriteStream(OwnerId(), level, title, stream);
}

void TInternetManager::SetDirectory(const std::string& name) {
    if (name == ".." && WordCount(Path, Delimiter) <= 1) throw EInternetLeave();
}

bool TInternetManager::IsConnected() {
    return Socket && Socket->IsConnected();
}

void TInternetManager::GetOpenPluginInfo(OpenPluginInfo& info, std::string& /*descriptor*/) {
    info.Flags |= OPIF_USEFILTER | OPIF_USESORTGROUPS | OPIF_USEHIGHLIGHTING;
}

void TInternetManager::StartAction(int /*action*/) {}

void TInternetManager::StopAction(int /*action*/) {}

int TInternetManager::DoEvent(int kind, intptr_t param1, intptr_t param2) {
    return OnEvent ? OnEvent(kind, param1, param2) : 0;
}

void TInternetManager::RaiseError(uint32_t code, const std::string& message,
                                  const std::string& procName) {
    throw EInternetError(code, message, procName);
}

}  // namespace kestrova
