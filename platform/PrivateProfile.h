#pragma once

#include "FilePath.h"

#include <string>
#include <vector>

namespace platform {

// The private-profile (INI file) store: one call opens, reads or rewrites the
// file, and keeps no handle. It is our own code on every system, so a profile
// reads the same whatever the system's language; it follows the rules of the
// Windows service on a Chinese Windows, which wrote the files of old:
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
// - Section and key names are matched character by character ignoring the case
//   of the one-byte letters a-z; a two-byte character matches only itself, byte
//   for byte, even where its second byte is a letter's code. With duplicate
//   sections or keys, the first one counts.
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
                              const std::string& defaultValue, const FilePath& path);

// False when the file cannot be written, or the names or value are refused.
bool ProfileWriteString(const std::string& section, const std::string& key,
                        const std::string& value, const FilePath& path);

std::vector<std::string> ProfileSectionNames(const FilePath& path);

// False for a name or value that the file could not hold as given (see above).
bool IsStorableProfileEntry(const std::string& section, const std::string& key,
                            const std::string& value);

} // namespace platform
