#pragma once

#include <deque>
#include <filesystem>
#include <string>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with its contents
// when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // A path inside the folder, as the program's (GBK) text.
    std::string File(const std::string& name) const;

private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& path);

// Marks a file read-only (no write bit for anyone; on Windows the read-only
// attribute), and back.
void MakeReadOnly(const std::filesystem::path& path);
void MakeWritable(const std::filesystem::path& path);

// The next scripted answer of a dialog: false (cancelled) when none is left.
bool TakeScripted(std::deque<std::pair<bool, std::string>>& answers, std::string& value);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// A file of tests/fixtures.
std::string Fixture(const std::string& relativePath);

// A memo of n distinct syllables "s0 s1 ...", separated by blanks.
std::string SyllableMemo(int n);

// UTF-8 text (as in this source) in the program's GBK.
std::string G(const char* utf8);

} // namespace testing_support
