#include "Desktop.h"

#include "FileSystem.h"
#include "Gbk.h"

#include <cstdlib>
#include <string_view>

namespace platform {
namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home != nullptr ? std::string(home) : std::string();
}

// The value of XDG_DESKTOP_DIR in user-dirs.dirs: a shell assignment of a
// double-quoted path that may begin with $HOME.
std::string DesktopFromUserDirs(const std::string& contents, const std::string& home) {
    std::string_view text = contents;
    while (!text.empty()) {
        const auto lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
            line.remove_prefix(1);
        }
        constexpr std::string_view kKey = "XDG_DESKTOP_DIR=";
        if (line.substr(0, kKey.size()) != kKey) {
            continue;
        }
        line.remove_prefix(kKey.size());
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.remove_suffix(1);
        }
        if (line.size() < 2 || line.front() != '"' || line.back() != '"') {
            return {};
        }
        line = line.substr(1, line.size() - 2);
        std::string path;
        if (line.substr(0, 5) == "$HOME") {
            if (home.empty()) {
                return {};
            }
            path = home + std::string(line.substr(5));
        } else if (!line.empty() && line.front() == '/') {
            path = std::string(line);
        } else {
            return {};
        }
        // Unescape the shell's backslashes.
        std::string result;
        for (std::size_t i = 0; i < path.size(); ++i) {
            if (path[i] == '\\' && i + 1 < path.size()) {
                ++i;
            }
            result += path[i];
        }
        return result;
    }
    return {};
}

// A value for a key of a desktop entry: no line break may stand in it.
std::string EntryValue(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\\') {
            out += "\\\\";
        } else {
            out += c;
        }
    }
    return out;
}

// A word of the Exec key as the desktop entry format asks: quoted, with '"',
// '`', '$' and '\\' escaped inside the quotes and '%' doubled; then, as for
// every value, the string escapes (a backslash doubled again, so a literal one
// is four; a line break as "\\n"), which a reader undoes first.
std::string ExecWord(std::string_view word) {
    std::string quoted = "\"";
    for (const char c : word) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        if (c == '%') {
            quoted += '%';
        }
        quoted += c;
    }
    return EntryValue(quoted + "\"");
}

} // namespace

FilePath DesktopFolder() {
    const std::string home = HomeFolder();
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        config = xdg;
    } else if (!home.empty()) {
        config = home + "/.config";
    } else {
        return {};
    }
    std::string contents;
    if (!ReadWholeFile(FilePath::FromNative(config + "/user-dirs.dirs"), contents)) {
        return {};
    }
    const std::string folder = DesktopFromUserDirs(contents, home);
    if (folder.empty()) {
        return {};
    }
    const FilePath path = FilePath::FromNative(folder);
    return DirectoryExists(path) ? path : FilePath();
}

std::string ShortcutExtension() {
    return ".desktop";
}

bool WriteShortcut(const FilePath& linkPath, const FilePath& target, const std::string& arguments,
                   const FilePath& workingDir, const std::string& description) {
    // Arguments pass to the shell-free Exec line as they are; the target is one
    // quoted word.
    std::string exec = ExecWord(target.Native());
    if (!arguments.empty()) {
        exec += ' ';
        exec += EntryValue(GbkToUtf8(arguments));
    }
    std::string entry = "[Desktop Entry]\n"
                        "Type=Application\n"
                        "Version=1.0\n";
    std::string name(linkPath.FileName());
    if (name.size() > ShortcutExtension().size()) {
        name.resize(name.size() - ShortcutExtension().size());
    }
    entry += "Name=" + EntryValue(name) + "\n";
    entry += "Exec=" + exec + "\n";
    entry += "Path=" + EntryValue(workingDir.Native()) + "\n";
    entry += "Comment=" + EntryValue(GbkToUtf8(description)) + "\n";
    entry += "Terminal=false\n";
    // The results are not examined: a desktop that refuses the file only means
    // no shortcut, as on Windows.
    if (WriteFileReplacing(linkPath, entry)) {
        MakeExecutable(linkPath);
    }
    return true;
}

} // namespace platform
