#pragma once

#include <string>
#include <string_view>

namespace platform {

// A file's name as the system spells it. The program's texts are GBK, but a
// folder may be named in any script, so a path is never kept as GBK: it holds
// the system's own bytes and is shown as GBK only inside a message.
//
// On Linux the bytes are the file system's, whatever they are. On Windows they
// are the UTF-16 name in WTF-8 (UTF-8 that also carries a lone surrogate), so
// every name converts back to exactly the UTF-16 it came from (see WidePath.h).
class FilePath {
public:
    FilePath() = default;

    // The system's own bytes (see above).
    static FilePath FromNative(std::string bytes);
    // A GBK text of the program, such as a fixed file name or a name the user
    // typed: every GBK character has a spelling on every system.
    static FilePath FromText(std::string_view gbk);

    const std::string& Native() const { return native_; }
    bool empty() const { return native_.empty(); }

    // For a message: GBK, with "?" for a character that GBK cannot hold.
    std::string ToText() const;

    // The folder part with its trailing delimiter ("" when there is none).
    FilePath Folder() const;
    // The last part, after the folder.
    std::string_view FileName() const;
    // name (a GBK text) inside this folder: a delimiter is put between them
    // when this path does not end with one.
    FilePath Join(std::string_view gbkName) const;
    // This path with text (GBK) appended as it stands, as for an extension.
    FilePath Plus(std::string_view gbkText) const;

    friend bool operator==(const FilePath&, const FilePath&) = default;

private:
    std::string native_;
};

// True for a character that ends a folder's name on this system ("/"; on
// Windows also "\" and a drive's ":").
bool IsPathDelimiter(char c);

// The file: address of a file, every byte outside the unreserved characters
// and "/" escaped (spaces, "#", "%", and each byte of a non-ASCII character).
std::string FileUrl(const FilePath& file);

} // namespace platform
