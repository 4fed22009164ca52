// The articles kept for reading offline: the text of each article viewed or copied (its whole
// article, header or body, as the server sent it) by Message-ID, in a store of its own beside
// the account's lists, the least recently used dropped beyond the size limit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/streams.h"
#include "news/cache.h"

namespace kestrova {

class TOfflineArticles {
  public:
    // limit: the most bytes of article text kept (0: none).
    explicit TOfflineArticles(uint64_t limit);

    // Keeps text as the reply to command ("ARTICLE", "HEAD" or "BODY") for messageId, dropping
    // the least recently used texts beyond the limit. False (nothing kept) for a malformed
    // identifier ("<...>" without blanks or control characters) or a text over the limit.
    bool Keep(std::string_view command, std::string_view messageId, std::string_view text);
    // The text of command for messageId: kept as it is, or cut from its kept ARTICLE (the header
    // up to its empty line, or the body after it). False when neither is kept.
    bool Find(std::string_view command, std::string_view messageId, std::string& text);

    // The store's entries, for loading and saving its file (cache.h's image); Trim after a load.
    TCache& Entries() { return store_; }
    // Drops the least recently used texts until the store is within the limit.
    void Trim();

  private:
    TCache store_;
    uint64_t limit_;
};

// A stream that writes through to its target and keeps a copy of what went through, up to a
// limit; a longer text, a seek or a size change gives the copy up (Complete turns false).
class TCopyingStream : public TStream {
  public:
    TCopyingStream(TStream& target, uint64_t limit) : target_(target), limit_(limit) {}

    int64_t Read(void* buffer, int64_t count) override { return target_.Read(buffer, count); }
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    void SetSize(int64_t size) override;

    bool Complete() const { return complete_; }
    const std::string& Copy() const { return copy_; }

  private:
    void GiveUp();

    TStream& target_;
    uint64_t limit_;
    std::string copy_;
    bool complete_ = true;
};

}  // namespace kestrova
