#include "host/dir_lists.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

namespace kestrova::host {
namespace {

class SilentFrontEnd : public FrontEnd {
  public:
    int ShowMessage(const MessageRequest&) override { return -1; }
    int ShowMenu(const MenuRequest&) override { return -1; }
    int ShowDialog(const DialogRequest&) override { return -1; }
    bool View(const std::string&, const std::string&) override { return false; }
    bool Edit(const std::string&, const std::string&, int, int) override { return false; }
    void ShowText(int, int, const std::string&) override {}
    void Notice(const std::string&) override {}
    void Trace(const std::string&) override {}
};

// A module panel over a fixed tree; folder paths are "\", "\a", "\a\b".
struct TreeModule {
    static inline std::map<std::string, std::vector<std::pair<std::string, bool>>> Tree = {
        {"\\", {{"a", true}, {"top.txt", false}}},
        {"\\a", {{"x.txt", false}, {"b", true}, {"locked", true}}},
        {"\\a\\b", {{"y.txt", false}}},
        {"\\a\\locked", {}},
    };
    static inline std::string Current = "\\";
    static inline std::string CurDirText;
    static inline int Calls = 0;

    static std::string Child(const std::string& name) {
        return Current == "\\" ? "\\" + name : Current + "\\" + name;
    }

    static int SetDirectory(HANDLE, const char* dir, int opMode) {
        ++Calls;
        EXPECT_EQ(opMode, OPM_FIND);
        std::string target = dir;
        if (target == "..") {
            if (Current == "\\") return 0;
            target = Current.substr(0, Current.rfind('\\'));
            Current = target.empty() ? "\\" : target;
            return 1;
        }
        if (target[0] != '\\') {
            std::string path = Current;
            for (size_t start = 0; start <= target.size();) {
                const size_t end = std::min(target.find('\\', start), target.size());
                path = path == "\\" ? "\\" + target.substr(start, end - start)
                                    : path + "\\" + target.substr(start, end - start);
                start = end + 1;
            }
            target = path;
        }
        if (!Tree.count(target) || target == "\\a\\locked") return 0;
        Current = target;
        return 1;
    }
    static int GetFindData(HANDLE, PluginPanelItem** items, int* count, int) {
        const auto& children = Tree[Current];
        *count = static_cast<int>(children.size());
        *items = new PluginPanelItem[children.size() + 1]();
        for (size_t i = 0; i < children.size(); ++i) {
            std::snprintf((*items)[i].FindData.cFileName, NM, "%s", children[i].first.c_str());
            (*items)[i].FindData.dwFileAttributes =
                children[i].second ? FILE_ATTRIBUTE_DIRECTORY : 0;
        }
        return 1;
    }
    static void FreeFindData(HANDLE, PluginPanelItem* items, int) { delete[] items; }
    static void GetOpenPluginInfo(HANDLE, OpenPluginInfo* info) {
        CurDirText = Current;
        info->CurDir = CurDirText.c_str();
    }
};

class PluginTree : public ::testing::Test {
  protected:
    PluginTree() : calls_(entries_, frontEnd_) {
        entries_.SetDirectory = TreeModule::SetDirectory;
        entries_.GetFindData = TreeModule::GetFindData;
        entries_.FreeFindData = TreeModule::FreeFindData;
        entries_.GetOpenPluginInfo = TreeModule::GetOpenPluginInfo;
        TreeModule::Current = "\\";
        TreeModule::Calls = 0;
    }

    std::vector<std::string> Collect(const std::string& dir, bool expected = true) {
        PanelItemList list;
        EXPECT_EQ(CollectPluginTree(calls_, nullptr, dir, list), expected);
        std::vector<std::string> names;
        for (size_t i = 0; i < list.Size(); ++i)
            names.push_back(ItemName(list[i]) + (IsFolder(list[i]) ? "/" : ""));
        return names;
    }

    ModuleEntryPoints entries_;
    SilentFrontEnd frontEnd_;
    ModuleCalls calls_;
};

TEST_F(PluginTree, ListsTheSubtreeAndReturnsToTheStart) {
    EXPECT_EQ(Collect("a"),
              (std::vector<std::string>{"a\\x.txt", "a\\b/", "a\\locked/", "a\\b\\y.txt"}));
    EXPECT_EQ(TreeModule::Current, "\\");
}

TEST_F(PluginTree, ReturnsFromADeeperStartAndAPathOfSeveralLevels) {
    TreeModule::Current = "\\a";
    EXPECT_EQ(Collect("b"), (std::vector<std::string>{"b\\y.txt"}));
    EXPECT_EQ(TreeModule::Current, "\\a");
    TreeModule::Current = "\\";
    EXPECT_EQ(Collect("a\\b"), (std::vector<std::string>{"b\\y.txt"}));
    EXPECT_EQ(TreeModule::Current, "\\");
}

TEST_F(PluginTree, RefusedFolderLeavesThePanelWhereItWas) {
    TreeModule::Current = "\\a";
    EXPECT_TRUE(Collect("locked", false).empty());
    EXPECT_TRUE(Collect("missing", false).empty());
    EXPECT_EQ(TreeModule::Current, "\\a");
}

TEST(LocalTree, ListsFoldersBeforeTheirContentsRelativeToTheParent) {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("kestrova-dirlist-" + std::to_string(getpid()));
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "top" / "sub");
    std::ofstream(root / "top" / "b.txt") << "bb";
    std::ofstream(root / "top" / "sub" / "c.txt") << "c";
    PanelItemList list;
    ASSERT_TRUE(CollectLocalTree((root / "top").string(), list));
    std::vector<std::string> names;
    for (size_t i = 0; i < list.Size(); ++i)
        names.push_back(ItemName(list[i]) +
                        (IsFolder(list[i]) ? "/" : ":" + std::to_string(ItemSize(list[i]))));
    EXPECT_EQ(names, (std::vector<std::string>{"top/b.txt:2", "top/sub/", "top/sub/c.txt:1"}));
    PanelItemList none;
    EXPECT_FALSE(CollectLocalTree((root / "top" / "b.txt").string(), none));
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace kestrova::host
