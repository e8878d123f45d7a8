#pragma once

#include "FilePath.h"

#include <cstdint>
#include <string>
#include <vector>

// The filter inputs that a profile holds, under the names of their keys: the
// eight that every version writes, and YmCiYuChk, which older files lack.
struct TProfileValues {
    std::int32_t YmLenSp1 = 2;
    std::int32_t YmLenSp2 = 10;
    std::string YmHanEd;
    std::string YmPaiEd;
    std::string YmPiPeiEd;
    bool DuplicationChk = false;
    std::string PrevKeyEd;
    std::string LastKeyEd;
    bool YmCiYuChk = false;
};

// The inputs after 清除设置.
TProfileValues ClearedProfileValues();

// The profile names: the file's section names in file order (none without a file).
std::vector<std::string> ListProfiles(const platform::FilePath& iniPath);

// Reads a profile's keys with their defaults (2, 9, "", "", "zg*", clear, "",
// "", clear); a missing section gives the defaults. Lengths come back as stored: the
// spin edits hold them within 0 to 100.
TProfileValues LoadProfile(const platform::FilePath& iniPath, const std::string& name);

// Writes the eight keys in order, then YmCiYuChk, making the file's folder first when it is
// missing. Raises AppError "Unable to write to <path>" at
// the first key that cannot be written; the keys before it stay written. A name
// with a "]" is refused with its own message before anything is written.
void SaveProfile(const platform::FilePath& iniPath, const std::string& name,
                 const TProfileValues& values);

// An integer value as the profile reads it: "0x"/"0X" and more is hexadecimal,
// anything else decimal; not a valid 32-bit integer gives defaultValue.
std::int32_t ParseProfileInteger(const std::string& text, std::int32_t defaultValue);

// The spin edits' range.
std::int32_t ClampLength(std::int32_t value);
