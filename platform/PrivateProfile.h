#pragma once

#include <string>
#include <vector>

namespace platform {

// The private-profile (INI file) service: one call opens, reads or rewrites the
// file, and keeps no handle. Windows has it as a system service; elsewhere it is
// our own code that follows the same rules:
//
// - A line whose first non-blank character is "[" and that holds a "]" opens a
//   section named by the text between the "[" and the last "]". A line with an
//   "=" holds a key: the name before the first "=" and the value after it, both
//   with blanks, tabs and CR around them removed. Other lines (comments, a
//   header without "]", a key without "=") are kept in the file and read as
//   nothing. Lines before the first section belong to no section.
// - Lines end at CR LF, LF or a lone CR. Text bytes pass unchanged (GBK), and
//   every search for "[", "]" or "=" steps over two-byte characters, whose
//   second byte may have the same code.
// - Section and key names are matched ignoring the case of the one-byte letters
//   a-z; two-byte characters match only byte for byte. With duplicate sections
//   or keys, the first one counts.
// - A value enclosed in a matching pair of ' or " is read without them.
// - A read value is cut at its first NUL byte and to at most kMaxValueBytes.
// - Section names are listed in file order, duplicates included, while they fit
//   a buffer of kSectionNamesBytes with a zero byte after each and one at the
//   end; a name that does not fit whole is not listed, nor any after it.
// - A write replaces the first matching key's value in place, keeping its line
//   and the spelling of its name; a missing key is added after the last key line
//   of its section; a missing section is added at the end of the file; a missing
//   file is created. Every other line stays as it was but for blank lines,
//   which are dropped, and the file is written with CR LF line ends.
// - A write of a name or value that holds CR, LF or NUL, of a section name with
//   the character "]", or of a key name with "=", is refused: it would read back
//   differently.
// - A write never leaves a half-written file, refuses a read-only file and
//   writes through a symbolic link (see WriteFileReplacing).
constexpr std::size_t kMaxValueBytes = 2047;
constexpr std::size_t kSectionNamesBytes = 16384;

std::string ProfileReadString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& path);

// False when the file cannot be written, or the names or value are refused.
bool ProfileWriteString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path);

std::vector<std::string> ProfileSectionNames(const std::string& path);

// False for a name or value that the file could not hold as given (see above).
bool IsStorableProfileEntry(const std::string& section, const std::string& key,
                            const std::string& value);

} // namespace platform
