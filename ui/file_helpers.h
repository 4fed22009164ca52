// Small file-name, path and folder helpers. File-system paths use platform::kPathDelim; the
// separator of the name helpers is given by the caller, since they also serve store paths.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace kestrova {

bool DirectoryExists(std::string_view path);

// Creates path and every missing parent. A blank path, the root and an existing folder count as
// done. False when a folder of the chain could not be created.
bool ForceDirectories(std::string_view path);

// Creates a new empty file in the temporary folder and returns its path; empty on failure.
std::string GetTempFile();

// Deletes the file it names when it goes out of scope, however the work on the file ends.
class TTempFile {
  public:
    explicit TTempFile(std::string name) : name_(std::move(name)) {}
    ~TTempFile();
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    const std::string& Name() const { return name_; }
    // The file is kept (it was renamed into place): nothing is deleted.
    void Release() { name_.clear(); }

  private:
    std::string name_;
};

// Splits at the last separator: directory keeps the separator at its end. Without a separator
// directory is empty and name is path.
void SplitPath(std::string_view path, char separator, std::string& directory, std::string& name);

// Splits at the last "."; the dot belongs to neither part. Returns whether a dot was found.
bool SplitFileName(std::string_view name, std::string& base, std::string& extension);

// The host's rename-mask rule: "*" takes the rest of the name part, "?" one character of it, any
// other character stands for itself; base and extension are handled apart. An empty mask, "*"
// and "*.*" keep the name.
std::string ApplyNameMask(std::string_view mask, std::string_view name);

// Replaces with "_" every control character and every one of " * / : < > ? \ that is not keep,
// and the blanks that end the text or a path component (those before a keep character).
std::string MakeValidFileName(std::string_view text, char keep);

}  // namespace kestrova
