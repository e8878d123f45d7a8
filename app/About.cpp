#include "About.h"

namespace about {

VT_TEXT(ReleasePrefix, "发行日期:")
VT_TEXT(Year, "年")
VT_TEXT(MonthSuffix, "月出品")

std::string ReleaseLabel(const std::string& releaseDate) {
    return ReleasePrefix() + releaseDate.substr(0, 4) + Year() + releaseDate.substr(4, 2) +
           MonthSuffix();
}

} // namespace about
