// Files written aside before they take their name: prefix + six characters + ".tmp" in the target
// folder. The writer holds a lock on its partial, so that one left by a process that was killed
// can be told from one still being written, by this process or another.
#pragma once

#include <string_view>

namespace kestrova::platform {

// Holds an exclusive advisory lock on the file while it lives (none when it cannot be opened).
class TPartialFileLock {
  public:
    explicit TPartialFileLock(std::string_view path);
    ~TPartialFileLock();
    TPartialFileLock(const TPartialFileLock&) = delete;
    TPartialFileLock& operator=(const TPartialFileLock&) = delete;

  private:
    int fd_ = -1;
};

// Deletes the partials of folder named prefix + six characters + ".tmp" whose writer is gone:
// regular files nobody holds the lock of that were not written in the last kPartialQuietSeconds
// (one just created is not locked yet). Returns how many were deleted.
inline constexpr int kPartialQuietSeconds = 10;
int RemoveAbandonedPartials(std::string_view folder, std::string_view prefix);

}  // namespace kestrova::platform
