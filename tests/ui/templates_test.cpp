#include "ui/templates.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "common/streams.h"
#include "module_settings.h"
#include "platform/clock.h"

namespace kestrova {
namespace {

class TemplatesTest : public ::testing::Test {
  protected:
    TemplatesTest() {
        account_.FromName = "Ann";
        account_.FromAddr = "ann@example.org";
        account_.Organization = "Org";
        post_.Subject = "Hello";
        post_.Author = "Bob";
        // 2026-12-06 04:09:03 UTC as the source's date.
        item_.FindData.ftCreationTime = platform::UnixTimeToFileTime(1796530143);
        item_.CustomColumnData = columns_;
        item_.CustomColumnNumber = 5;
    }

    // The output of templateText over source, then "@" and the cursor's line and column.
    std::string Expand(const std::string& templateText, const std::string& source) {
        TMemoryStream in, out;
        in.WriteText(source);
        const TTemplateSource from{account_, post_, in, item_, now_, '>'};
        const TCursorPlace cursor = ExpandTemplateText(from, templateText, out);
        return out.ReadText() + "@" + std::to_string(cursor.Line) + ":" +
               std::to_string(cursor.Column);
    }

    testing::ModuleSettings settings_;
    TAccountOptions account_;
    TPostInfo post_;
    PluginPanelItem item_{};
    char empty_[1] = "";
    char koi8_[7] = "koi8-r";
    char* columns_[5] = {empty_, empty_, empty_, empty_, empty_};
    SYSTEMTIME now_{2026, 12, 0, 6, 4, 9, 3, 0};
};

TEST_F(TemplatesTest, Expansions) {
    for (auto [templateText, source, expected] : {
             // Every line of the source after "> ", the quote character and a space, then the rest
             // of the template line, "> ", on a line of its own.
             std::tuple{"> %Quote%\n", "one\ntwo\n", "> > one\n> > two\n> \n@0:0"},
             // An empty line and a quoted one get the quote character alone.
             {"%Quote%", ">a\n\r\n\nb\n", ">>a\n>\r\n>\n> b\n@0:0"},
             {"%Text%|\n", "a\n", "a\n|\n@0:0"},
             // The cursor counts the quoted lines; its column is where the macro stood.
             {"Hi %OName%\n%Quote%\n%Cursor%\n", "1\n2\n", "Hi Bob\n> 1\n> 2\n\n\n@5:1"},
             {"ab%Cursor%c", "", "abc@1:3"},
             // Unknown words keep their signs; a lone "%" swallows the rest but not its line ends.
             {"%Foo% %subject% %Number%!\n", "", "%Foo% Hello !\n@0:0"},
             {"a %b\nc\nd", "", "a \n\n@0:0"},
             // A last line without a line end is quoted completely and ended.
             {"%Quote%--\n", "x\nlast", "> x\n> last\n--\n@0:0"},
             // A new article (empty source) quotes nothing.
             {"> %Quote%\n", "", "> \n@0:0"},
             {"%FName% <%FAddress%> %FOrg%\n", "", "Ann <ann@example.org> Org\n@0:0"},
             {"%FDate%,%FTime%,%ODate%,%OTime%", "", "6 Dec 2026,04:09:03,6 Dec 2026,04:09:03@0:0"},
             // The reply template used when the options name none.
             {kDefaultReplyTemplate.data(), "Hi\n", "On 6 Dec 2026, Bob wrote:\n> Hi\n\n\n@4:1"},
         })
        EXPECT_EQ(Expand(templateText, source), expected) << templateText;
}

TEST_F(TemplatesTest, QuotedLinesAreConvertedFromTheArticlesCharset) {
    columns_[4] = koi8_;
    // "Привет" in KOI8-R comes out as UTF-8; a UTF-8 line stays as it is.
    EXPECT_EQ(Expand("%Quote%", "\xF0\xD2\xC9\xD7\xC5\xD4\nGrüße\n"), "> Привет\n> Grüße\n@0:0");
}

TEST_F(TemplatesTest, WithoutATemplateFileTheSourceIsCopied) {
    TMemoryStream in, out;
    in.WriteText("article\n");
    const TTemplateSource from{account_, post_, in, item_, now_, '>'};
    const TCursorPlace cursor = ExpandTemplate(from, "/no/such/template", out);
    EXPECT_EQ(out.ReadText(), "article\n");
    EXPECT_EQ(cursor.Line, 0);
}

}  // namespace
}  // namespace kestrova
