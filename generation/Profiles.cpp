#include "Profiles.h"

#include "Base.h"
#include "FileSystem.h"
#include "PrivateProfile.h"
#include "Texts.h"

#include <algorithm>
#include <charconv>

namespace {

std::int32_t ReadInteger(const platform::FilePath& path, const std::string& section,
                         const char* key, std::int32_t defaultValue) {
    return ParseProfileInteger(platform::ProfileReadString(section, key, "", path), defaultValue);
}

void Write(const platform::FilePath& path, const std::string& section, const char* key,
           const std::string& value) {
    if (!platform::ProfileWriteString(section, key, value, path)) {
        throw AppError(FormatText(texts::UnableToWrite(), path.ToText()));
    }
}

} // namespace

TProfileValues ClearedProfileValues() {
    return TProfileValues{};
}

std::vector<std::string> ListProfiles(const platform::FilePath& iniPath) {
    return platform::ProfileSectionNames(iniPath);
}

std::int32_t ParseProfileInteger(const std::string& text, std::int32_t defaultValue) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const std::string_view digits = std::string_view(text).substr(2);
        if (digits.size() > 8) {
            return defaultValue;
        }
        std::uint32_t value = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
        if (error != std::errc() || end != digits.data() + digits.size()) {
            return defaultValue;
        }
        return static_cast<std::int32_t>(value); // 0xFFFFFFFF is -1, as 32 bits say
    }
    std::string_view digits = text;
    if (!digits.empty() && digits[0] == '+') {
        digits.remove_prefix(1);
        if (!digits.empty() && digits[0] == '-') {
            return defaultValue;
        }
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        return defaultValue;
    }
    return value;
}

std::int32_t ClampLength(std::int32_t value) {
    return std::clamp<std::int32_t>(value, 0, 100);
}

TProfileValues LoadProfile(const platform::FilePath& iniPath, const std::string& name) {
    TProfileValues values;
    values.YmLenSp1 = ReadInteger(iniPath, name, "YmLenSp1", 2);
    values.YmLenSp2 = ReadInteger(iniPath, name, "YmLenSp2", 9);
    values.YmHanEd = platform::ProfileReadString(name, "YmHanEd", "", iniPath);
    values.YmPaiEd = platform::ProfileReadString(name, "YmPaiEd", "", iniPath);
    values.YmPiPeiEd = platform::ProfileReadString(name, "YmPiPeiEd", "zg*", iniPath);
    values.DuplicationChk = ReadInteger(iniPath, name, "DuplicationChk", 0) != 0;
    values.PrevKeyEd = platform::ProfileReadString(name, "PrevKeyEd", "", iniPath);
    values.LastKeyEd = platform::ProfileReadString(name, "LastKeyEd", "", iniPath);
    values.YmCiYuChk = ReadInteger(iniPath, name, "YmCiYuChk", 0) != 0;
    return values;
}

void SaveProfile(const platform::FilePath& iniPath, const std::string& name,
                 const TProfileValues& values) {
    // A section line ends at its last "]": a name holding one would be written
    // as a section that no reader finds again. Refused before anything is
    // written, for what it is, not as a file that cannot be written.
    if (platform::GbkFindLast(name, ']') != std::string::npos) {
        throw AppError(texts::ProfileNameBracket());
    }
    // An installed copy's settings folder does not exist before its first save.
    if (!platform::CreateFolders(iniPath.Folder())) {
        throw AppError(FormatText(texts::UnableToWrite(), iniPath.ToText()));
    }
    Write(iniPath, name, "YmLenSp1", std::to_string(values.YmLenSp1));
    Write(iniPath, name, "YmLenSp2", std::to_string(values.YmLenSp2));
    Write(iniPath, name, "YmHanEd", values.YmHanEd);
    Write(iniPath, name, "YmPaiEd", values.YmPaiEd);
    Write(iniPath, name, "YmPiPeiEd", values.YmPiPeiEd);
    Write(iniPath, name, "DuplicationChk", values.DuplicationChk ? "1" : "0");
    Write(iniPath, name, "PrevKeyEd", values.PrevKeyEd);
    Write(iniPath, name, "LastKeyEd", values.LastKeyEd);
    // Last, so that the eight keys an older copy reads stand as it wrote them.
    Write(iniPath, name, "YmCiYuChk", values.YmCiYuChk ? "1" : "0");
}
