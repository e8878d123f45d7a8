#pragma once

#include <string>
#include <string_view>

namespace platform {

// File names are texts of the program (GBK); the implementation converts them
// to the system's own form.

extern const char kPathDelim;

// Full path of the running executable.
std::string ExecutablePath();

// The directory part of a path, with its trailing delimiter ("" when none).
std::string ExtractFilePath(std::string_view path);

// path with one delimiter at its end.
std::string IncludeTrailingDelimiter(std::string_view path);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& contents);

// Writes contents to a new file in the same folder and renames it over path, so
// a failure at any moment leaves either the old file or the new one, whole.
// False when any step fails (then path is untouched and no temporary remains).
//
// - An existing file marked read-only (on Windows its attribute; elsewhere no
//   write bit for its owner) is refused, whoever runs the program.
// - A path that is a symbolic link is written through: the link stays and the
//   file it points at is replaced.
// - The temporary file is named after the target with kUnfinishedSaveTag and a
//   random tail. One left behind by a save that was killed is removed by the
//   next save of the same file.
bool WriteFileReplacing(const std::string& path, std::string_view contents);
inline constexpr std::string_view kUnfinishedSaveTag = ".unfinished-save-";

// Marks a file as runnable (a desktop launcher must be). False on failure.
bool MakeExecutable(const std::string& path);

} // namespace platform
