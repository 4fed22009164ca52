// A settings database that cannot be read is reported (file and reason) instead of reading as
// empty, and is never written over.
#include <gtest/gtest.h>

#include <string>

#include "common/errors.h"
#include "platform/fresh_store.h"
#include "store/reg_ini_file.h"

namespace kestrova {
namespace {

// Overwrites the file from offset on (counted from the end when negative) with garbage.
void Damage(const std::string& path, long offset) {
    std::string bytes = FileBytes(path);
    if (offset < 0) offset += static_cast<long>(bytes.size());
    ASSERT_GT(static_cast<long>(bytes.size()), offset);
    for (size_t i = offset; i < bytes.size(); ++i) bytes[i] = static_cast<char>(0x5A ^ i);
    WriteFileBytes(path, bytes);
}

TEST(DamagedStoreTest, ReadsReportTheFileAndReasonAndNothingIsWritten) {
    struct Case {
        const char* what;
        long offset;  // where the garbage starts: 0 the header, -4096 the last page (values)
        const char* reason;
    } cases[] = {
        {"not a database", 0, "file is not a database"},
        {"a damaged page", -4096, "malformed"},
    };
    for (const Case& c : cases) {
        FreshStore store;
        {
            TRegIniFile accounts("Software\\Far\\Plugins\\Kestrova\\HOSTS");
            for (int i = 0; i < 200; ++i)
                accounts.WriteString("Account " + std::to_string(i), "Url",
                                     "news://server.example/" + std::string(60, 'x'));
        }
        const std::string path = platform::SettingsStorePath();
        platform::ResetSettingsStore();  // the log folded into the file, the connection closed
        Damage(path, c.offset);
        const std::string damaged = FileBytes(path);

        std::string message;
        try {
            TRegIniFile accounts("Software\\Far\\Plugins\\Kestrova\\HOSTS");
            TStringList names;
            accounts.ReadSections(names);
            for (int i = 0; i < names.Count(); ++i) accounts.ReadString(names[i], "Url", "");
        } catch (const ERegistryError& e) {
            message = e.Message;
        }
        EXPECT_NE(message.find(path), std::string::npos) << c.what << ": " << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << c.what << ": " << message;
        // A new key touches no damaged page, yet nothing more is written to the file.
        EXPECT_THROW(TRegistry().CreateKey("Software\\New"), ERegistryError) << c.what;
        platform::ResetSettingsStore();
        EXPECT_EQ(FileBytes(path), damaged) << c.what;
    }
}

}  // namespace
}  // namespace kestrova
