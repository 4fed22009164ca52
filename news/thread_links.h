// The References of a group's articles, kept in the cache beside the group's index (whose
// fixed-size records have no room for them): one line "<id> <ref> <ref> ..." per article that
// has References, with only the nearest ancestors kept.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "news/cache.h"
#include "news/thread_order.h"

namespace kestrova {

// The cache key of group's References: the group's name and a control character, which no group
// name entered from the panel holds (the panel shows control characters in caret notation).
std::string ThreadLinksKey(std::string_view group);

class TThreadLinks {
  public:
    // Adds the identifiers of references (the nearest kMaxReferences of thread_order.h) for
    // messageId; nothing when either has none or messageId has its line already (an article
    // read again).
    void Add(std::string_view messageId, std::string_view references);
    // Replaces the links with group's block in cache; none when it has none (or it expired).
    void Load(TCache& cache, std::string_view group);
    // Puts the links into cache as group's block, expiring like the index (nothing
    // when there are none); the caller saves.
    void Put(TCache& cache, std::string_view group) const;
    bool Empty() const { return text_.empty(); }

    // The links line by line, views into them (valid while they are unchanged). A damaged block
    // yields what its lines give: an identifier and any text after it.
    std::vector<TThreadLink> Lines() const;

  private:
    std::string text_;
    // The identifiers that have a line; filled at the first Add after a Load.
    std::unordered_set<std::string> known_;
    bool knownFilled_ = false;
};

}  // namespace kestrova
