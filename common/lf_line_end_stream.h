// A stream that writes into another one with each CR LF line end turned into LF.
#pragma once

#include <cstdint>

#include "common/streams.h"

namespace kestrova {

// Writes what it is given into the target with every CR LF pair written as LF; every other byte,
// a CR not followed by LF and NUL included, goes through unchanged. A CR that ends one write
// waits for the next write to tell whether LF follows; Finish writes a CR still waiting. Reads
// and seeks go to the target; SetSize also drops a waiting CR, so a truncated target starts over.
class TLfLineEndStream : public TStream {
  public:
    explicit TLfLineEndStream(TStream& target) : target_(target) {}

    int64_t Read(void* buffer, int64_t count) override { return target_.Read(buffer, count); }
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override {
        return target_.Seek(offset, origin);
    }
    void SetSize(int64_t size) override;
    void Finish();

  private:
    TStream& target_;
    bool pendingCr_ = false;
};

}  // namespace kestrova
