#pragma once

#include "FilePath.h"

#include <string>
#include <string_view>

namespace platform {

extern const char kPathDelim;

// Full path of the running executable, as the system spells it.
FilePath ExecutablePath();

bool FileExists(const FilePath& path);
bool DirectoryExists(const FilePath& path);

// Makes a folder and every missing folder above it. True when the folder
// exists afterwards (an empty path names the current folder: true); false when
// a part of the path is a file or a folder cannot be made.
bool CreateFolders(const FilePath& folder);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const FilePath& path, std::string& contents);

// Writes contents to a new file in the same folder and renames it over path, so
// a failure at any moment leaves either the old file or the new one, whole.
// False when any step fails (then path is untouched and no temporary remains).
//
// - An existing file marked read-only (on Windows its attribute; elsewhere no
//   write bit for its owner) is refused, whoever runs the program.
// - A path that is a symbolic link is written through: the link stays and the
//   file it points at is replaced.
// - The temporary file is named after the target with kUnfinishedSaveTag and a
//   random tail. One left behind by a save that was killed is removed by a
//   later save of the same file once it is kLeftoverAgeSeconds old: a younger
//   one may be another running copy's save under way.
// - A new file gets the mode an ordinary create gives it (the umask is
//   applied by the system; the process's umask is never changed).
// - On Windows a path of any length is taken (the "\\?\" form is used where
//   the plain one would pass MAX_PATH).
bool WriteFileReplacing(const FilePath& path, std::string_view contents);
inline constexpr std::string_view kUnfinishedSaveTag = ".unfinished-save-";
inline constexpr int kLeftoverAgeSeconds = 600;

// Marks a file as runnable (a desktop launcher must be). False on failure.
bool MakeExecutable(const FilePath& path);

} // namespace platform
