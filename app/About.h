#pragma once

#include "Texts.h"
#include "Version.h"

#include <string>

// The About box's texts, the same in both toolkits.
namespace about {

VT_TEXT(Caption, "关于")
VT_TEXT(ProductName, "Vantreel")
VT_TEXT(VersionLabel, "发行版本:" VT_VERSION)
VT_TEXT(ReleaseDate, "20090208")
VT_TEXT(Notice, "本软件为免费软件，欢迎传播。")
VT_TEXT(CloseCaption, "关闭")

// "发行日期:" + year + "年" + month + "月出品" of an eight-digit date; the day
// is not shown.
std::string ReleaseLabel(const std::string& releaseDate);

} // namespace about
