#include "host/script_front_end.h"

#include <gtest/gtest.h>

#include <sstream>

#include "host/test_dialog_item.h"
#include "platform/scoped_environment.h"

namespace kestrova::host {
namespace {

class ScriptFrontEndTest : public ::testing::Test {
  protected:
    ScriptFrontEndTest() : transcript_(out_), frontEnd_(transcript_) {
        items_[6].DefaultButton = 1;
        frontEnd_.BeginAction(9);
    }

    int Show(const std::vector<std::string>& answerWords) {
        std::vector<std::string> words{"answer", "dialog"};
        words.insert(words.end(), answerWords.begin(), answerWords.end());
        frontEnd_.Queue(ParseAnswer(ScriptLine{8, words, ""}));
        return frontEnd_.ShowDialog(DialogRequest{60, 10, "", items_, 8});
    }

    std::ostringstream out_;
    Transcript transcript_;
    ScriptFrontEnd frontEnd_;
    FarDialogItem items_[8] = {Item(DI_DOUBLEBOX, "Options"),
                               Item(DI_EDIT, "old"),
                               Item(DI_CHECKBOX, "Remember", 0, 1),
                               Item(DI_RADIOBUTTON, "One", DIF_GROUP, 1),
                               Item(DI_RADIOBUTTON, "Two"),
                               Item(DI_RADIOBUTTON, "Three"),
                               Item(DI_BUTTON, "Ok"),
                               Item(DI_BUTTON, "Cancel")};
};

TEST_F(ScriptFrontEndTest, SetsFieldsAndClosesWithTheChosenItem) {
    EXPECT_EQ(Show({"enter", "1=new text", "2=off", "5=on"}), 6);
    EXPECT_STREQ(items_[1].Data, "new text");
    EXPECT_EQ(items_[2].Selected, 0);
    EXPECT_EQ(items_[3].Selected, 0);  // the group has one choice
    EXPECT_EQ(items_[5].Selected, 1);
    EXPECT_FALSE(frontEnd_.EndAction());
}

TEST_F(ScriptFrontEndTest, BadAnswersFailNamingTheDialog) {
    for (const auto& [words, failure] : {
             std::pair<std::vector<std::string>, const char*>{
                 {"8"}, "line 9: dialog \"Options\" has no item 8"},
             {{"6", "9=x"}, "line 9: dialog \"Options\" item 9 does not exist"},
             {{"6", "6=x"}, "line 9: dialog \"Options\" item 6 cannot take the value \"x\""},
             {{"6", "2=yes"}, "line 9: dialog \"Options\" item 2 cannot take the value \"yes\""},
             {{"6", "4=off"}, "line 9: dialog \"Options\" item 4 cannot take the value \"off\""},
         }) {
        frontEnd_.BeginAction(9);
        EXPECT_EQ(Show(words), -1);
        EXPECT_EQ(frontEnd_.EndAction().value_or(""), failure);
    }
}

TEST_F(ScriptFrontEndTest, ControlCharactersOfModuleTextsShowAsPictures) {
    MessageRequest status{0, {"Title\x1b]0;x\x07", "one\r\nforged line", "del\x7f\ttab"}, {}};
    frontEnd_.ShowMessage(status);
    EXPECT_EQ(out_.str(),
              "status \"Title\u241B]0;x\u2407\":\n  | one\u240D\u240Aforged line\n"
              "  | del\u2421\ttab\n");
    ScopedEnvironment environment;
    environment.Set("KESTROVA_OEMCP", "28595");  // ISO 8859-5: 0x9B is the C1 control CSI
    out_.str("");
    frontEnd_.ShowMessage(MessageRequest{0, {"csi\x9Bz"}, {}});
    EXPECT_EQ(out_.str(), "status \"csi\uFFFDz\":\n");
}

}  // namespace
}  // namespace kestrova::host
