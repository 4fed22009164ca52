// The module's plain list of strings: no attached objects, no sorting, no duplicate check.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

class TStringList {
  public:
    int Count() const { return count_; }
    int Capacity() const { return static_cast<int>(items_.size()); }

    // Raises EStringListError "List index out of bounds" ("InRange", 0x10000000) outside
    // 0..Count-1.
    const std::string& Get(int index) const;
    void Put(int index, std::string value);
    const std::string& operator[](int index) const { return Get(index); }

    int Add(std::string value);                 // appends; returns the new index
    void Insert(int index, std::string value);  // beyond the end appends; negative raises
    void Delete(int index);                     // raises like Get
    void Clear();                               // also releases the capacity

    // Lines joined with CR LF after each; setting clears and splits at CR, LF or CR LF.
    std::string Text() const;
    void SetText(std::string_view text);

  private:
    void Grow();
    void CheckIndex(int index) const;

    std::vector<std::string> items_;  // size() is the capacity
    int count_ = 0;
};

}  // namespace kestrova
