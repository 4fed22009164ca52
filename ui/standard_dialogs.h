// The module's small standard dialogs: a one-line input, the login, the copy target question
// and the question about a file that already exists.
#pragma once

#include <string>

#include "hostapi/plugin_api.h"

namespace kestrova {

inline constexpr int kAccepted = 1;
inline constexpr int kCancelled = 2;

// Asks for one line; Enter accepts (Value gets the text, result 1), Esc gives 2 and leaves
// Value unchanged.
int InputDialog(const std::string& title, const std::string& prompt, std::string& value);

// Asks for user name and password. The first button stores both (1); the second logs in without
// credentials and empties both (1); anything else gives 2 and changes nothing. historyName, when
// not empty, gives the user-name field a history list.
int LoginDialog(const std::string& title, const char* historyName, std::string& userName,
                std::string& password);

// The target question of a copy (or a move) out of or into the panel: 1 with the answered path,
// 2 (path unchanged) otherwise.
int CopyDialog(bool move, std::string& path);
// The same question when articles are copied out of a connected panel.
int ArticleCopyDialog(std::string& path);

// Answer bits of FileExistsDialog. The three optional buttons (texts of messages 40, 41 and 43)
// are offered by the same bits in the mask that they answer with.
inline constexpr unsigned kExistsOverwrite = 1;
inline constexpr unsigned kExistsSkip = 2;
inline constexpr unsigned kExistsMessage43 = 4;
inline constexpr unsigned kExistsCancel = 8;
inline constexpr unsigned kExistsMessage40 = 16;
inline constexpr unsigned kExistsMessage41 = 32;
inline constexpr unsigned kExistsForAll = 0x1000;

// Asks what to do with source whose name existing already has. mask offers the optional
// buttons. Returns one answer bit, plus kExistsForAll when "for all" was checked; Esc gives
// kExistsCancel.
unsigned FileExistsDialog(const WIN32_FIND_DATA& source, const WIN32_FIND_DATA& existing,
                          unsigned mask);

}  // namespace kestrova
