#include "common/streams.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "common/raised.h"
#include "platform/temp_folder.h"

namespace kestrova {
namespace {

std::string Contents(TMemoryStream& stream) {
    return std::string(stream.Memory(), static_cast<size_t>(stream.Size()));
}

std::string Pattern(size_t size) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 7 + i / 251);
    return data;
}

TEST(FileStream, CreateWriteReopenRead) {
    TempFolderForTest folder;
    std::string name = folder.File("data.bin");
    {
        TFileStream out(name, kFileCreate);
        out.WriteText("hello, ");
        out.WriteText("world");
        EXPECT_EQ(out.Size(), 12);
        out.SetSize(4);  // truncates, the position kept inside
        EXPECT_EQ(out.Position(), 4);
        out.WriteText("X");
        EXPECT_THROW(out.SetSize(-1), EOSError);
    }
    EXPECT_EQ(FileBytes(name), "hellX");
    {
        TFileStream again(name, kFileCreate);  // creating truncates
    }
    EXPECT_EQ(FileBytes(name), "");
    WriteFileBytes(name, "0123456789");
    TFileStream in(name, 0);
    char buffer[4] = {};
    EXPECT_EQ(in.Seek(-4, SeekOrigin::End), 6);
    in.ReadBuffer(buffer, 4);
    EXPECT_EQ(std::string(buffer, 4), "6789");
    EXPECT_EQ(in.Read(buffer, 4), 0);  // a partial read at the end is no error
    EXPECT_EQ(in.Write("x", 1), 0);    // opened for reading only
    EXPECT_EQ(Raised([&] { in.WriteBuffer("abc", 3); }),
              "EWriteError 0x10000000 Write buffer: Cannot write file '" + name +
                  "': Bad file descriptor");
}

// A full disk is said as such, with the name the user knows the file by.
TEST(FileStream, AWriteToAFullDiskNamesTheFileAndTheCause) {
    TFileStream full("/dev/full", 1, "/home/ann/news/article.txt");
    EXPECT_EQ(
        Raised([&] { full.WriteText("x"); }),
        "EWriteError 0x10000000 Write buffer: Cannot write file '/home/ann/news/article.txt': "
        "No space left on device");
}

TEST(FileStream, OpenAndCreateFailuresNameTheFile) {
    TempFolderForTest folder;
    std::string missing = folder.File("missing.txt");
    EXPECT_EQ(Raised([&] { TFileStream s(missing, 0); }),
              "EFOpenError 0x20000000 Open: Cannot open file '" + missing + "'");
    EXPECT_EQ(Raised([&] { TFileStream s(folder.File(""), 2); }),
              "EFOpenError 0x20000000 Open: Cannot open file '" + folder.File("") + "'");
    std::string deep = folder.File("no/such/dir.txt");
    EXPECT_EQ(Raised([&] { TFileStream s(deep, kFileCreate); }),
              "EFCreateError 0x20000000 Create: Cannot create file '" + deep + "'");
}

TEST(Stream, ShortReadBufferRaises) {
    TMemoryStream memory;
    memory.WriteText("abc");
    memory.SetPosition(1);
    char buffer[8];
    EXPECT_EQ(Raised([&] { memory.ReadBuffer(buffer, 3); }),
              "EReadError 0x10000000 Read buffer: Stream read error");
    memory.ReadBuffer(buffer, 0);  // nothing asked, nothing missing
}

TEST(Stream, CopyTakesAllFromTheStartOrACountFromThePosition) {
    TMemoryStream source;
    std::string data = Pattern(130000);
    source.WriteText(data);
    TMemoryStream target;
    EXPECT_EQ(target.CopyFrom(source, 0), 130000);  // from the start although positioned at the end
    EXPECT_EQ(Contents(target), data);

    source.SetPosition(100);
    TMemoryStream part;
    EXPECT_EQ(part.CopyFrom(source, 50), 50);  // a count copies from the current position
    EXPECT_EQ(Contents(part), data.substr(100, 50));
    EXPECT_EQ(part.CopyFrom(source, -5), 0);
    source.SetPosition(130000 - 5);
    EXPECT_THROW(part.CopyFrom(source, 6), EReadError);  // beyond the source
    TMemoryStream empty;
    EXPECT_EQ(target.CopyFrom(empty, 0), 0);
}

TEST(MemoryStream, GrowsExactlyAndFillsGapsWithZeros) {
    TMemoryStream stream;
    EXPECT_EQ(stream.Size(), 0);
    stream.WriteText("ab");
    EXPECT_EQ(stream.Seek(3, SeekOrigin::Current), 5);
    stream.WriteText("c");
    EXPECT_EQ(Contents(stream), std::string("ab\0\0\0c", 6));
    EXPECT_EQ(stream.Seek(-1, SeekOrigin::Beginning), -1);
    EXPECT_EQ(stream.Position(), 6);
    stream.SetSize(2);
    EXPECT_EQ(stream.Position(), 2);
    stream.SetPosition(0);
    char buffer[4];
    EXPECT_EQ(stream.Read(buffer, 4), 2);
    EXPECT_THROW(stream.SetSize(-1), EOSError);
}

}  // namespace
}  // namespace kestrova
