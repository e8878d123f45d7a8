#pragma once

#include "FilePath.h"

#include <deque>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace platform {
// How a failed check shows a path.
inline void PrintTo(const FilePath& path, std::ostream* out) {
    *out << '"' << path.Native() << '"';
}
} // namespace platform

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
    // A path inside the folder (name in UTF-8, as in this source).
    platform::FilePath File(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// A path of the standard library as the program keeps it, and back; a name
// in UTF-8 (as in this source) as a path of the standard library, which the
// Windows build's library would otherwise read in the system's code page.
platform::FilePath PathOf(const std::filesystem::path& path);
std::filesystem::path FsPath(const platform::FilePath& path);
std::filesystem::path FsName(const char* utf8);

std::string ReadFile(const std::filesystem::path& path);

// Marks a file read-only (no write bit for anyone; on Windows the read-only
// attribute), and back.
void MakeReadOnly(const std::filesystem::path& path);
void MakeWritable(const std::filesystem::path& path);

// The next scripted answer of a dialog: false (cancelled) when none is left.
bool TakeScripted(std::deque<std::pair<bool, std::string>>& answers, std::string& value);
bool TakeScripted(std::deque<std::pair<bool, platform::FilePath>>& answers,
                  platform::FilePath& value);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// A copy of the program laid down as the packages lay it down: the executable
// "dovrenta" in binFolder (made here) and, when installed is true, the
// installed marker in its data folder. Returns the executable's path.
platform::FilePath LayDownProgram(const platform::FilePath& binFolder, bool installed);

// A file of tests/fixtures.
std::string Fixture(const std::string& relativePath);

// A memo of n distinct syllables "s0 s1 ...", separated by blanks.
std::string SyllableMemo(int n);

// UTF-8 text (as in this source) in the program's GBK.
std::string G(const char* utf8);

// The parts of text between the separators, the last part after the last one
// (empty when text ends with a separator).
std::vector<std::string> Split(const std::string& text, const std::string& by);

} // namespace testing_support
