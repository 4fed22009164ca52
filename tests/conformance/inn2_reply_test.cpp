// Replies as the panel writes them, posted to a real news server on loopback and read back by a
// client none of this code wrote (tests/conformance/thread_check.py, Python's own NNTP client
// and e-mail parser): a reply to a crossposted article with Followup-To, a reply to that reply,
// and a new article.
#include <cstdlib>
#include <fstream>
#include <string>

#include "conformance/inn2_session.h"
#include "ui/message_numbers.h"

namespace kestrova::testing {
namespace {

// The editor writes a line below what the template gave, as a person would.
int Edit(const char* fileName, const char*, int, int, int, int, unsigned, int, int) {
    std::ofstream(fileName, std::ios::binary | std::ios::app) << "A line of the reply.\n";
    return 1;
}

int ThreadCheck(const std::string& mode, const std::string& tag) {
    const std::string command = "python3 '" + SourceFolder() +
                                "/tests/conformance/thread_check.py' " + mode + " " +
                                std::to_string(kReaderPort) + " " + tag;
    return std::system(command.c_str());
}

class Inn2Reply : public Inn2Panel {
  protected:
    // Lists the group again until the article with identifier id, or the times-th one named
    // name, shows (the server may file a post a moment after it took it); its index, -1 when it
    // never does.
    int Listed(const std::string& name, const std::string& id = "", int times = 1) {
        for (int attempt = 0; attempt < 50; ++attempt) {
            int seen = 0;
            for (int i = 0; i < count; ++i) {
                if (id.empty() ? name == items[i].FindData.cFileName && ++seen == times
                               : items[i].Description && id == items[i].Description)
                    return i;
            }
            panel.FreeFindData(items, count);
            items = nullptr;
            if (panel.GetFindData(&items, &count, 0) != 1) return -1;
        }
        return -1;
    }

    // The panel as the host reports it, the cursor on item index.
    void PointAt(int index) {
        panelInfo.PanelItems = items;
        panelInfo.ItemsNumber = count;
        panelInfo.CurrentItem = index;
    }

    // F4 on item index, posted as the dialog proposes it; the proposed newsgroups and subject.
    std::pair<std::string, std::string> Reply(int index) {
        PointAt(index);
        host.dialogAnswers.push_back(FakeHost::Close(18));
        EXPECT_EQ(panel.ProcessKey(VK_F4, 0), 1);
        const auto& fields = host.dialogs.back().items;
        return {fields.at(2).Data, fields.at(5).Data};
    }
};

TEST_F(Inn2Reply, ReplyToAReplyOfACrosspostWithFollowupToThreadsAndParses) {
    const std::string tag = FreshTag("t");
    ASSERT_EQ(ThreadCheck("root", tag), 0);
    Options.Default.FromName = "Ann Q. Replier";  // a name that needs quoting
    Options.Default.FromAddr = "ann@example.test";
    Options.Default.ReplyTo = "";
    Options.Templates.SignatureFile = "";
    StartupInfo.Editor = &Edit;
    OpenGroup(kTestGroup);

    const int root = Listed("", "<root." + tag + "@example.test>");
    ASSERT_GE(root, 0);
    const std::string followup = "kestrova.test,local.test.g02";
    EXPECT_EQ(Reply(root), std::pair(followup, "Re: Root " + tag));
    const int reply = Listed("Re: Root " + tag);
    ASSERT_GE(reply, 0);
    EXPECT_EQ(Reply(reply), std::pair(followup, "Re: Root " + tag));  // one "Re: "

    // The author who asked for replies by mail is told so; nothing is asked or posted.
    const int byMail = Listed("By mail " + tag);
    ASSERT_GE(byMail, 0);
    PointAt(byMail);
    const size_t dialogs = host.dialogs.size();
    host.messageAnswers.push_back(0);
    EXPECT_EQ(panel.ProcessKey(VK_F4, 0), 1);
    EXPECT_EQ(host.dialogs.size(), dialogs);
    EXPECT_EQ(host.messages.back().items.at(1), "<" + std::to_string(kMsgMailReplyWanted) + ">");

    host.dialogAnswers.push_back(FakeHost::Close(18, {{5, "New " + tag}}));
    EXPECT_EQ(panel.ProcessKey(VK_F4, PKF_SHIFT), 1);
    ASSERT_GE(Listed("New " + tag), 0);
    ASSERT_GE(Listed("Re: Root " + tag, "", 2), 0);
    EXPECT_EQ(ThreadCheck("check", tag), 0) << "thread_check.py printed the faults";
}

}  // namespace
}  // namespace kestrova::testing
