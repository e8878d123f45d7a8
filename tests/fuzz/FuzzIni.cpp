// Any file content for kestrova.ini: reading never fails, and a write that is
// accepted reads back and leaves the other sections' values as they were.
#include "PrivateProfile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const platform::FilePath& IniFile() {
    static const platform::FilePath path = [] {
        char name[] = "/tmp/vantreel-fuzz-ini-XXXXXX";
        const int fd = ::mkstemp(name);
        ::close(fd);
        return platform::FilePath::FromNative(name);
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const platform::FilePath& path = IniFile();
    if (FILE* file = std::fopen(path.Native().c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    const auto sections = platform::ProfileSectionNames(path);
    std::size_t listed = 1;
    for (const auto& name : sections) {
        listed += name.size() + 1;
    }
    if (listed > platform::kSectionNamesBytes) {
        std::abort();
    }
    for (const char* key : {"YmLenSp1", "YmHanEd", "PrevKeyEd"}) {
        const std::string section = sections.empty() ? std::string("p") : sections.front();
        if (platform::ProfileReadString(section, key, "", path).size() > platform::kMaxValueBytes) {
            std::abort();
        }
    }
    const std::string target = sections.empty() ? std::string("new") : sections.front();
    const std::string other = sections.size() > 1 ? sections.back() : std::string("zz-none");
    const std::string otherBefore = platform::ProfileReadString(other, "YmHanEd", "<d>", path);
    if (platform::ProfileWriteString(target, "FuzzKey", "fuzz value", path)) {
        if (platform::ProfileReadString(target, "FuzzKey", "", path) != "fuzz value") {
            std::abort();
        }
        const bool sameSection =
            other.size() == target.size() &&
            platform::ProfileReadString(other, "FuzzKey", "", path) == "fuzz value";
        if (!sameSection &&
            platform::ProfileReadString(other, "YmHanEd", "<d>", path) != otherBefore) {
            std::abort();
        }
    }
    return 0;
}
