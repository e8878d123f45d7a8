#include "TestUtil.h"

#include "FileSystem.h"
#include "Gbk.h"
#include "ProgramFolders.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace testing_support {

TempDir::TempDir() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate =
            std::filesystem::temp_directory_path() / ("vantreel-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

platform::FilePath TempDir::File(const std::string& name) const {
    return PathOf(path_ / FsName(name.c_str()));
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

platform::FilePath LayDownProgram(const platform::FilePath& binFolder, bool installed) {
    if (!platform::CreateFolders(binFolder)) {
        throw std::runtime_error("cannot make " + binFolder.Native());
    }
    if (installed) {
        const platform::FilePath data = platform::InstalledDataFolder(binFolder);
        if (!platform::CreateFolders(data)) {
            throw std::runtime_error("cannot make " + data.Native());
        }
        WriteFile(FsPath(data.Join(platform::kInstalledMarker)), "installed\n");
    }
    return binFolder.Join("dovrenta");
}

std::string Fixture(const std::string& relativePath) {
    return ReadFile(std::filesystem::path(VANTREEL_FIXTURES) / relativePath);
}

std::string SyllableMemo(int n) {
    std::string memo;
    for (int i = 0; i < n; ++i) {
        memo += "s" + std::to_string(i) + " ";
    }
    return memo;
}

std::string G(const char* utf8) {
    return platform::Utf8ToGbk(utf8);
}

std::vector<std::string> Split(const std::string& text, const std::string& by) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    for (std::size_t next; (next = text.find(by, at)) != std::string::npos; at = next + by.size()) {
        parts.push_back(text.substr(at, next - at));
    }
    parts.push_back(text.substr(at));
    return parts;
}

void MakeReadOnly(const std::filesystem::path& path) {
    std::filesystem::permissions(path,
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
}

void MakeWritable(const std::filesystem::path& path) {
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

template <class T> static bool TakeNext(std::deque<std::pair<bool, T>>& answers, T& value) {
    if (answers.empty()) {
        return false;
    }
    auto [ok, answer] = answers.front();
    answers.pop_front();
    value = answer;
    return ok;
}

bool TakeScripted(std::deque<std::pair<bool, std::string>>& answers, std::string& value) {
    return TakeNext(answers, value);
}

bool TakeScripted(std::deque<std::pair<bool, platform::FilePath>>& answers,
                  platform::FilePath& value) {
    return TakeNext(answers, value);
}

} // namespace testing_support
