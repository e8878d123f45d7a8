#include "PrivateProfile.h"

#include "FileSystem.h"
#include "Gbk.h"

#include <string_view>

namespace platform {
namespace {

bool IsProfileSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

std::string_view TrimProfile(std::string_view text) {
    while (!text.empty() && IsProfileSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsProfileSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Names match ignoring the case of the letters a-z. A two-byte character is
// compared as one character, byte for byte: its second byte may be a letter's
// code (說 and 誇 differ only there), and the system's service on a Chinese
// Windows leaves the case of two-byte letters (Ａ and ａ) alone too.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t length = GbkCharLength(a, i);
        if (length == 2) {
            if (a.substr(i, 2) != b.substr(i, 2)) {
                return false;
            }
        } else if (Upper(a[i]) != Upper(b[i])) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string_view CutAtNul(std::string_view text) {
    const auto nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

struct Line {
    enum Kind { Other, Section, Key } kind = Other;
    std::string_view name;  // section or key name
    std::string_view value; // key value, trimmed
};

Line Classify(std::string_view raw) {
    Line line;
    const std::string_view text = TrimProfile(raw);
    if (!text.empty() && text.front() == '[') {
        const auto close = GbkFindLast(text, ']');
        if (close != std::string_view::npos && close > 0) {
            line.kind = Line::Section;
            line.name = text.substr(1, close - 1);
            return line;
        }
    }
    const auto eq = text.find('=');
    if (eq != std::string_view::npos) {
        line.kind = Line::Key;
        line.name = TrimProfile(text.substr(0, eq));
        line.value = TrimProfile(text.substr(eq + 1));
    }
    return line;
}

// The file's lines without their line ends; CR LF, LF and a lone CR each end a
// line, as files written on any system have them.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find_first_of("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
    return lines;
}

} // namespace

std::string ProfileReadString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const FilePath& path) {
    std::string contents;
    if (!ReadWholeFile(path, contents)) {
        return defaultValue.substr(0, kMaxValueBytes);
    }
    bool inSection = false;
    bool sectionSeen = false;
    for (const auto raw : SplitLines(contents)) {
        const Line line = Classify(raw);
        if (line.kind == Line::Section) {
            if (sectionSeen && inSection) {
                break; // the first matching section has ended
            }
            inSection = SameName(CutAtNul(line.name), section);
            sectionSeen = sectionSeen || inSection;
        } else if (line.kind == Line::Key && inSection && SameName(CutAtNul(line.name), key)) {
            std::string_view value = CutAtNul(line.value);
            if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            return std::string(value.substr(0, kMaxValueBytes));
        }
    }
    return defaultValue.substr(0, kMaxValueBytes);
}

bool ProfileWriteString(const std::string& section, const std::string& key,
                        const std::string& value, const FilePath& path) {
    if (!IsStorableProfileEntry(section, key, value)) {
        return false;
    }
    std::string contents;
    if (!ReadWholeFile(path, contents) && FileExists(path)) {
        return false; // there but unreadable: never replace what we cannot read
    }
    const std::vector<std::string_view> lines = SplitLines(contents);

    // Locate the first matching section, its last key line and the key itself.
    std::ptrdiff_t sectionLine = -1, lastKeyLine = -1, keyLine = -1;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line line = Classify(lines[i]);
        if (line.kind == Line::Section) {
            if (sectionLine >= 0) {
                break;
            }
            if (SameName(CutAtNul(line.name), section)) {
                sectionLine = lastKeyLine = static_cast<std::ptrdiff_t>(i);
            }
        } else if (sectionLine >= 0 && line.kind == Line::Key) {
            lastKeyLine = static_cast<std::ptrdiff_t>(i);
            if (keyLine < 0 && SameName(CutAtNul(line.name), key)) {
                keyLine = static_cast<std::ptrdiff_t>(i);
            }
        }
    }

    std::string out;
    out.reserve(contents.size() + section.size() + key.size() + value.size() + 16);
    auto emit = [&out](std::string_view text) {
        out.append(text);
        out.append("\r\n");
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto index = static_cast<std::ptrdiff_t>(i);
        if (index == keyLine) {
            const Line line = Classify(lines[i]);
            out.append(line.name);
            out.append("=");
            emit(value);
            continue;
        }
        // Blank lines are not kept: the file is rewritten as the system's
        // service rewrites it.
        if (!TrimProfile(lines[i]).empty()) {
            emit(lines[i]);
        }
        if (keyLine < 0 && index == lastKeyLine) {
            out.append(key);
            out.append("=");
            emit(value);
        }
    }
    if (sectionLine < 0) {
        emit("[" + section + "]");
        out.append(key);
        out.append("=");
        emit(value);
    }
    return WriteFileReplacing(path, out);
}

std::vector<std::string> ProfileSectionNames(const FilePath& path) {
    std::vector<std::string> names;
    std::string contents;
    if (!ReadWholeFile(path, contents)) {
        return names;
    }
    std::size_t used = 1; // the zero byte that ends the list
    for (const auto raw : SplitLines(contents)) {
        const Line line = Classify(raw);
        if (line.kind != Line::Section) {
            continue;
        }
        const std::string_view name = CutAtNul(line.name);
        if (used + name.size() + 1 > kSectionNamesBytes) {
            break;
        }
        used += name.size() + 1;
        names.emplace_back(name);
    }
    return names;
}

} // namespace platform
