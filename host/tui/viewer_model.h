// The built-in viewer without a screen: which lines of the file are shown, in which character
// set, the search, and the keys. Lines come out in the OEM code page with tabs expanded and
// control characters made harmless, ready for the screen.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/tui/keystroke.h"
#include "host/tui/viewed_file.h"

namespace kestrova::host::tui {

enum class ViewerState {
    Open,
    Closed,        // F10 or Esc
    SearchWanted,  // F7: ask for a text, then Search
    TablesWanted,  // Shift-F8: offer CodePageNames, then SetCodePage
    NotFound,      // Shift-F7 found nothing further
    HelpWanted,    // F1
    Unused,        // a key the viewer does not take, or Space with the end of the file shown
};

class ViewerModel {
  public:
    // rows and columns: the text area (the screen without the title line and the key bar).
    // charset: the set the file is in (an article's own MIME name), empty for none.
    ViewerModel(ViewedFile& file, int rows, int columns, const std::string& charset = {});

    ViewerState HandleKey(const Keystroke& key);
    void Resize(int rows, int columns);

    // Looks for text (OEM, without regard to case) from the line after the last match, or from
    // the top line; the line found becomes the top line. False when the rest has no match.
    bool Search(const std::string& text);
    const std::string& LastSearch() const { return pattern_; }

    // The character sets to read the file in: first the file's own charset (when it has one
    // that reads otherwise than OEM: not UTF-8 or US-ASCII under UTF-8), then OEM ("UTF-8"), ANSI
    // unless it is the OEM code page too, and the host's character tables. A set other than OEM
    // reads each line that is not well-formed UTF-8. F8 switches between the first two.
    std::vector<std::string> CodePageNames() const;
    void SetCodePage(int index);
    int CodePage() const { return codePage_; }

    // The rows shown: columns cells each at most, from the horizontal offset on.
    std::vector<std::string> VisibleLines();
    size_t TopLine() const { return top_; }
    int Column() const { return column_; }
    // Whether the last line of the file is on screen (every line read to find out).
    bool AtEnd();
    // Where the shown part ends, as a percentage of the file.
    int Percent();
    // The match on screen: row and cell, or nullopt.
    std::optional<std::pair<int, int>> MatchCell() const;

  private:
    // Line n in OEM text with tabs expanded and control characters shown as '.'; false when the
    // file has no line n.
    bool ShownLine(size_t n, std::string& shown);
    void ScrollTo(size_t top);
    size_t LastTop();

    ViewedFile& file_;
    int rows_;
    int columns_;
    size_t top_ = 0;
    int column_ = 0;
    struct Source {
        std::string Name;
        std::string Charset;  // empty: the bytes are OEM text already
    };
    std::vector<Source> sources_;
    int codePage_ = 0;
    std::string pattern_;
    std::optional<size_t> matchLine_;
    int matchCell_ = 0;
};

}  // namespace kestrova::host::tui
