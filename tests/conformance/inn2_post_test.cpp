// Posting to a real news server on loopback the way the panel does, and reading each article
// back: a new article in KOI8-R with Base64 and encoded words, a reply that quotes its source,
// three files with one dialog (lines of dots intact), and a read-only group's refusal.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "common/base64.h"
#include "conformance/inn2_session.h"
#include "platform/temp_folder.h"

namespace kestrova::testing {
namespace {

// "Привет" in the OEM code page (866) and in KOI8-R.
const std::string kOemWord = "\x8F\xE0\xA8\xA2\xA5\xE2";
const std::string kKoi8Word = "\xF0\xD2\xC9\xD7\xC5\xD4";

struct Article {
    std::vector<std::string> header;
    std::string body;  // lines ended by CR LF
};

// The newest article of group whose header holds line, read as the server sends it.
Article FindArticle(const std::string& group, const std::string& line) {
    TNewsInternetManager reader(nullptr);
    TAccountOptions account;
    account.Url.HostName = "127.0.0.1";
    account.Url.Port = ReaderPort();
    reader.Connect(account);
    const auto send = [&](const std::string& command, const std::string& argument) {
        return reader.SendCommand(*reader.Socket, command, kLogCommand, kWaitForReply | kKeepReply,
                                  argument);
    };
    EXPECT_EQ(send("GROUP", group), 211) << reader.ReplyLine;
    const GroupStatus status = ParseGroupStatus(reader.ReplyLine);
    for (long number = status.high; number >= status.low && number > status.high - 100; --number) {
        if (send("ARTICLE", std::to_string(number)) != 220) continue;
        Article article;
        bool inBody = false;
        std::string text;
        while (reader.ReadDataLine(*reader.Socket, text) == DataLine::Data) {
            if (inBody)
                article.body += text + "\r\n";
            else if (text.empty())
                inBody = true;
            else
                article.header.push_back(text);
        }
        for (const std::string& field : article.header)
            if (field == line) return article;
    }
    ADD_FAILURE() << "no article in " << group << " with " << line;
    return {};
}

// What the editor was given, and the text it saves.
struct EditorDouble {
    static inline std::string given;
    static inline int line = -1, column = -1;
    static inline std::string saved;

    static int Edit(const char* fileName, const char*, int, int, int, int, unsigned, int startLine,
                    int startChar) {
        given = ReadWholeFile(fileName);
        line = startLine;
        column = startChar;
        std::ofstream(fileName, std::ios::binary | std::ios::trunc) << saved;
        return 1;
    }
};

class Inn2Post : public Inn2Panel {
  protected:
    void SetUp() override {
        Inn2Panel::SetUp();
        if (IsSkipped()) return;
        Options.Default.FromName = "Ann";
        Options.Default.FromAddr = "ann@example.test";
        Options.Default.ReplyTo = "replies@example.test";
        Options.Default.Organization = "Example";
        Options.Default.CharTable = kNoSlot;
        StartupInfo.Editor = &EditorDouble::Edit;
        tag_ = std::to_string(getpid()) + "x" +
               std::to_string(std::chrono::system_clock::now().time_since_epoch().count());
        home_ = std::filesystem::current_path();
        ASSERT_EQ(chdir(files.Path().c_str()), 0);
    }
    void TearDown() override {
        Inn2Panel::TearDown();
        if (!home_.empty()) std::filesystem::current_path(home_);
    }

    static PluginPanelItem FileItem(const std::string& name, const std::string& text) {
        std::ofstream(name, std::ios::binary) << text;
        PluginPanelItem item{};
        std::snprintf(item.FindData.cFileName, sizeof item.FindData.cFileName, "%s", name.c_str());
        return item;
    }

    // Every composed header line is in the stored article as it was sent (the server orders the
    // lines its own way and adds its own), and so is a date line.
    static void ExpectComposedLines(const Article& article, const std::string& type,
                                    const std::string& encoding, const std::string& name,
                                    const std::string& organization, const std::string& subject) {
        const std::set<std::string> header(article.header.begin(), article.header.end());
        for (const std::string& line : std::initializer_list<std::string>{
                 "Newsgroups: kestrova.test", "X-Mailer: Kestrova plugin version 1.0.b8",
                 "Content-Type: " + type, "Content-Transfer-Encoding: " + encoding,
                 "From: " + name + " <ann@example.test>",
                 "Reply-To: " + name + " <replies@example.test>", "Organization: " + organization,
                 "Subject: " + subject})
            EXPECT_EQ(header.count(line), 1u) << line;
        EXPECT_TRUE(std::any_of(header.begin(), header.end(), [](const std::string& line) {
            return line.size() == 38 && line.starts_with("Date: ") && line.ends_with(" GMT");
        }));
    }

    TempFolderForTest files;
    std::string tag_;
    std::filesystem::path home_;
};

TEST_F(Inn2Post, NewArticleInKoi8RWithBase64ReadBackByteForByte) {
    Options.Default.CharTable = 0;  // koi8-r
    Options.Default.FromName = kOemWord + " Ann";
    OpenGroup(kTestGroup);
    host.dialogAnswers.push_back(
        FakeHost::Close(18, {{5, kOemWord + " " + tag_}}, {{8, 0}, {9, 1}}));
    EditorDouble::saved = kOemWord + "\n.\n..x\n";
    ASSERT_EQ(panel.ProcessKey(VK_F4, PKF_SHIFT), 1);
    EXPECT_EQ(EditorDouble::given, "");  // no template: an empty text

    const std::string subject = "=?koi8-r?B?" + Base64Encode(kKoi8Word + " " + tag_) + "?=";
    const Article article = FindArticle(kTestGroup, "Subject: " + subject);
    ExpectComposedLines(article, "text/plain; charset=koi8-r", "base64",
                        "=?koi8-r?B?" + Base64Encode(kKoi8Word + " Ann") + "?=",
                        "=?koi8-r?B?" + Base64Encode("Example") + "?=", subject);
    EXPECT_EQ(article.body, Base64Encode(kKoi8Word + "\n.\n..x\n") + "\r\n");
}

TEST_F(Inn2Post, ReplyQuotesItsSourceAndOpensAtTheCursor) {
    OpenGroup(kTestGroup);
    const int index = SampleIndex("ascii");
    ASSERT_GE(index, 0);
    std::vector<PluginPanelItem> shown = {PluginPanelItem{}, items[index]};
    panelInfo.PanelItems = shown.data();
    panelInfo.ItemsNumber = 2;
    panelInfo.CurrentItem = 1;
    Options.Templates.QuoteChar = '>';
    Options.Templates.ReplyTemplate = files.Path() + "/reply.tpl";
    std::ofstream(Options.Templates.ReplyTemplate) << "%OName% wrote:\n> %Quote%\n%Cursor%\n";
    const std::string subject = "Re: Plain ASCII article " + tag_;
    host.dialogAnswers.push_back(FakeHost::Close(18, {{5, subject}}));
    EditorDouble::saved = "Quoted.\n";

    ASSERT_EQ(panel.ProcessKey(VK_F4, 0), 1);
    EXPECT_EQ(host.dialogs.back().items[5].Data, std::string("Plain ASCII article"));
    const std::string author = items[index].CustomColumnData[0];
    EXPECT_EQ(EditorDouble::given, author +
                                       " wrote:\n> >Hello from the seeder.\r\n> >Second line.\r\n"
                                       "> >Third line.\r\n> \n\n");
    EXPECT_EQ(EditorDouble::line, 6);
    EXPECT_EQ(EditorDouble::column, 1);
    const Article article = FindArticle(kTestGroup, "Subject: " + subject);
    ExpectComposedLines(article, "text/plain", "8bit", "Ann", "Example", subject);
    EXPECT_EQ(article.body, "Quoted.\r\n");
}

TEST_F(Inn2Post, ThreeFilesWithOneDialogKeepTheirDotLines) {
    OpenGroup(kTestGroup);
    std::vector<PluginPanelItem> put = {FileItem("a.txt", ".\n..x\nend a\n"),
                                        FileItem("b.txt", "b\r\n.\r\n"),
                                        FileItem("c.txt", "last line without end")};
    const std::string subject = "Three files " + tag_;
    host.dialogAnswers.push_back(FakeHost::Close(18, {{5, subject}}));
    ASSERT_EQ(panel.PutFiles(put.data(), 3, 1, 0), 1);
    EXPECT_EQ(host.dialogs.size(), 1u);
    // The server keeps the same subject three times; the newest is c.txt's.
    EXPECT_EQ(FindArticle(kTestGroup, "Subject: " + subject).body, "last line without end\r\n");
    EXPECT_FALSE(std::ifstream("a.txt").good()) << "moved files go once posted";

    host.dialogAnswers.push_back(FakeHost::Close(18, {{5, "Dots " + tag_}}));
    std::vector<PluginPanelItem> dots = {FileItem("d.txt", ".\n..x\n. \nend\n")};
    ASSERT_EQ(panel.PutFiles(dots.data(), 1, 0, 0), 1);
    EXPECT_EQ(FindArticle(kTestGroup, "Subject: Dots " + tag_).body, ".\r\n..x\r\n. \r\nend\r\n");
}

TEST_F(Inn2Post, ReadOnlyGroupRefusesAndTheMovedFileStays) {
    OpenGroup(kTestGroup);
    std::vector<PluginPanelItem> put = {FileItem("r.txt", "text\n")};
    host.dialogAnswers.push_back(
        FakeHost::Close(18, {{2, "kestrova.test.readonly"}, {5, "Refused " + tag_}}));
    host.messageAnswers.push_back(0);
    EXPECT_EQ(panel.PutFiles(put.data(), 1, 1, 0), 1);
    ASSERT_FALSE(host.messages.empty());
    const auto& shown = host.messages.back().items;
    ASSERT_GE(shown.size(), 2u);
    EXPECT_NE(shown[1].find("441"), std::string::npos) << shown[1];
    EXPECT_TRUE(std::ifstream("r.txt").good());
}

}  // namespace
}  // namespace kestrova::testing
