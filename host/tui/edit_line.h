// The text of one edit field while a dialog is open: the cursor, the keys that change the text,
// and the part of a long text a field of some width shows.
#pragma once

#include <cstddef>
#include <string>

#include "host/tui/keystroke.h"

namespace kestrova::host::tui {

class EditLine {
  public:
    // maxLength bounds the text's bytes (a longer text is cut on a character boundary). A fixed
    // field types over the character under the cursor. A new field's text starts selected: the
    // first character typed replaces it, Backspace or Del empties it, a cursor key keeps it.
    EditLine(std::string text, size_t maxLength, bool fixed);

    // True when the key was for the field.
    bool HandleKey(const Keystroke& key);
    void SetText(std::string text);

    const std::string& Text() const { return text_; }
    size_t Cursor() const { return cursor_; }
    bool Selected() const { return selected_; }
    // The first character (its byte) a field width cells wide shows, so that the cursor stays
    // visible. Text and cursor are OEM text (UTF-8), shown by display width.
    size_t FirstVisible(size_t width);
    // The cells between the character at byte first and the cursor.
    int CursorCells(size_t first) const;

  private:
    void Type(char32_t c);

    std::string text_;
    size_t maxLength_;
    bool fixed_;
    size_t cursor_;
    size_t first_ = 0;
    bool selected_ = true;
};

}  // namespace kestrova::host::tui
