// Reading a real news server on loopback the way the panel does: sample articles copied out
// into files named by their subjects or by a download template, byte for byte as posted (lines
// of dots and lines that look like status lines intact), also when known by identifier alone,
// and a body viewed.
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "conformance/inn2_session.h"
#include "platform/temp_folder.h"

namespace kestrova::testing {
namespace {

// The sample articles read here (tools/peers/seed.py --samples): kind, subject, body.
struct Sample {
    const char* kind;
    const char* subject;
    std::string body;
};
const Sample kSamples[] = {
    {"dots", "Body lines starting with dots",
     "The next line is a single dot:\r\n.\r\n.leading dot\r\n..two dots\r\n... three dots\r\n"
     "last line\r\n"},
    {"digits", "Body lines starting with digits",
     "200 looks like a greeting\r\n211 5 1 5 looks like GROUP\r\n480 looks like an auth "
     "request\r\n.\r\n222 after a dot line\r\n"},
    {"ascii", "Plain ASCII article", "Hello from the seeder.\r\nSecond line.\r\nThird line.\r\n"},
};

class Inn2Read : public Inn2Panel {
  protected:
    void SetUp() override {
        Inn2Panel::SetUp();
        if (IsSkipped()) return;
        OpenGroup(kTestGroup);
        for (const Sample& sample : kSamples) {
            const int index = SampleIndex(sample.kind);
            ASSERT_GE(index, 0) << sample.kind;
            chosen.push_back(items[index]);
        }
    }
    // The body of a copied file: what follows the empty line that ends its header.
    std::string BodyOf(const std::string& name) const {
        const std::string text = ReadWholeFile(dest.Path() + "/" + name);
        const size_t end = text.find("\r\n\r\n");
        return end == std::string::npos ? "<no header end>" : text.substr(end + 4);
    }

    TempFolderForTest dest;
    std::vector<PluginPanelItem> chosen;
};

TEST_F(Inn2Read, CopiedOrViewedArticlesKeepEveryLine) {
    chosen[2].UserData = 0;  // known by its identifier alone (a server without Xref)
    ASSERT_EQ(panel.GetFiles(chosen.data(), 3, 0, dest.Path(), OPM_SILENT), 1);
    Options.Templates.DownloadTemplate = "%Number% %Subject:5%.txt";
    ASSERT_EQ(panel.GetFiles(chosen.data(), 3, 0, dest.Path(), OPM_SILENT), 1);
    for (size_t i = 0; i < std::size(kSamples); ++i) {
        const std::string byTemplate = std::to_string(chosen[i].UserData) + " " +
                                       std::string(kSamples[i].subject).substr(0, 5) + ".txt";
        EXPECT_EQ(BodyOf(kSamples[i].subject), kSamples[i].body) << kSamples[i].kind;
        EXPECT_EQ(BodyOf(byTemplate), kSamples[i].body) << kSamples[i].kind;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dest.Path()), {}), 6);

    static std::string viewed;
    StartupInfo.Viewer = [](const char* fileName, const char*, int, int, int, int, unsigned,
                            const char*) {
        viewed = ReadWholeFile(fileName);
        return 1;
    };
    panel.ViewArticlePart(kRequestBody, chosen[2]);
    EXPECT_EQ(viewed, kSamples[2].body);
}

}  // namespace
}  // namespace kestrova::testing
