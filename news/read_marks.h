// The articles a user has read, per server and group, kept in the settings store (not in the
// account's cache, which expires and can be reloaded): one value per group under
// OptionsKey\Read marks\<user@host[,port]> (named as the account's cache file), holding the
// ranges of read article numbers.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "hostapi/plugin_api.h"
#include "news/article_ranges.h"
#include "ui/account_options.h"

namespace kestrova {

// Flags with PPIF_UNREAD each of the count articles of items (UserData the number) not in read.
void FlagUnread(PluginPanelItem* items, int count, const TArticleRanges& read);

class TReadMarks {
  public:
    // A stored value longer than this is damage, not marks: it is ignored.
    static constexpr int kMaxStoredText = 256 * 1024;

    // The marks of account's server (user name, host and port, as its cache file).
    explicit TReadMarks(const TAccountOptions& account);

    // The read articles of group, from the store on first use. A value that cannot be read, or
    // one too long, gives none; damaged parts of a value are skipped.
    const TArticleRanges& Of(const std::string& group);
    // Keeps ranges as group's marks and stores them at once; raises ERegistryError when the
    // store cannot be written (the marks stay in memory all the same).
    void Set(const std::string& group, TArticleRanges ranges);
    // The groups that have marks in the store.
    std::vector<std::string> Groups();

  private:
    std::string key_;
    std::map<std::string, TArticleRanges> known_;
};

}  // namespace kestrova
