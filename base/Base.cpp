#include "Base.h"

#include "Desktop.h"
#include "FileSystem.h"
#include "Texts.h"

std::string Trim(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 32) {
        ++first;
    }
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) {
        --last;
    }
    return std::string(text.substr(first, last - first));
}

std::string UpperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z') {
            x = static_cast<char>(x - 'a' + 'A');
        }
        if (y >= 'a' && y <= 'z') {
            y = static_cast<char>(y - 'a' + 'A');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> SplitWords(std::string_view separator, std::string_view text) {
    std::vector<std::string> words;
    const std::string trimmed = Trim(text);
    std::string_view rest = trimmed;
    if (separator.empty()) {
        if (!rest.empty()) {
            words.emplace_back(rest);
        }
        return words;
    }
    while (!rest.empty()) {
        const auto pos = rest.find(separator);
        if (pos == 0) {
            rest.remove_prefix(separator.size());
        } else if (pos == std::string_view::npos) {
            words.emplace_back(rest);
            break;
        } else {
            words.emplace_back(rest.substr(0, pos));
            rest.remove_prefix(pos + separator.size());
        }
    }
    return words;
}

std::string PadNumber(std::int32_t value, int width, bool zeroFill) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width) {
        text.insert(0, static_cast<std::size_t>(width) - text.size(), zeroFill ? '0' : ' ');
    }
    return text;
}

std::string FormatText(std::string_view pattern, std::string_view argument) {
    std::string result(pattern);
    const auto pos = result.find("%s");
    if (pos != std::string::npos) {
        result.replace(pos, 2, argument);
    }
    return result;
}

void CreateDesktopShortcut(const platform::FilePath& fileName, const std::string& arguments,
                           const std::string& linkName, const std::string& description) {
    if (fileName.empty() || linkName.empty()) {
        throw AppError(texts::ShortcutArgumentsBad());
    }
    const platform::FilePath desktop = platform::DesktopFolder();
    if (desktop.empty()) {
        return;
    }
    const platform::FilePath linkPath = desktop.Join(linkName).Plus(platform::ShortcutExtension());
    if (!platform::WriteShortcut(linkPath, fileName, arguments, fileName.Folder(), description)) {
        throw AppError(texts::ShortcutPathTooLong());
    }
}
