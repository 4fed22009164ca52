// Byte streams: the abstract stream, a file stream and a growing memory stream.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

enum class SeekOrigin { Beginning = 0, Current = 1, End = 2 };

class TStream {
  public:
    virtual ~TStream() = default;

    // Partial transfers: return the number of bytes actually moved (0 for a count <= 0).
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // Returns the new position, or -1 (position unchanged) for a target before the start.
    virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
    // Raises EOSError when the size cannot be set (negative, or no room); a position beyond the
    // new end moves to the end.
    virtual void SetSize(int64_t size) = 0;

    int64_t Position() { return Seek(0, SeekOrigin::Current); }
    void SetPosition(int64_t pos) { Seek(pos, SeekOrigin::Beginning); }
    int64_t Size();

    // Whole-block transfers: EReadError "Stream read error" ("Read buffer") or EWriteError
    // (WriteErrorText(), "Write buffer"), code 0x10000000, when short.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Writes the text's bytes without a terminator.
    void WriteText(std::string_view text) {
        WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    }
    // The whole stream from its start as text; raises EReadError when it comes up short.
    std::string ReadText();
    // Copies in blocks of 61440 bytes; a count of 0 copies the whole source from its start, a
    // negative count copies nothing. Returns the bytes copied; a short source raises EReadError.
    int64_t CopyFrom(TStream& source, int64_t count);

  protected:
    // Why the last write was short: "Stream write error" unless the stream knows better.
    virtual std::string WriteErrorText() const { return "Stream write error"; }
};

inline constexpr unsigned kFileCreate = 0xFFFF;  // mode that creates (truncates) the file

class TFileStream : public TStream {
  public:
    // Mode kFileCreate creates the file ("Cannot create file '%s'", EFCreateError, "Create"); any
    // other mode opens it ("Cannot open file '%s'", EFOpenError, "Open"); code 0x20000000. The low
    // bits of an open mode select access: 0 read, 1 write, 2 read/write; the sharing bits are
    // ignored. The name is OEM text; a folder is refused. A short write names shownName (the
    // file's own name when empty) and the system's reason, e.g. a full disk.
    TFileStream(const std::string& fileName, unsigned mode, const std::string& shownName = {});
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    void SetSize(int64_t size) override;
    const std::string& FileName() const { return fileName_; }

  protected:
    std::string WriteErrorText() const override;

  private:
    std::string fileName_;
    std::string shownName_;
    int fd_ = -1;
    int writeErrno_ = 0;  // why the last write fell short
};

class TMemoryStream : public TStream {
  public:
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    void SetSize(int64_t size) override;  // grows to exactly the size needed

    const char* Memory() const { return data_.data(); }
    char* Memory() { return data_.data(); }

  private:
    std::vector<char> data_;
    int64_t position_ = 0;
};

}  // namespace kestrova
