#pragma once

// The main window's and the About box's controls as data: names, captions,
// hints, positions, sizes and defaults, shared by both toolkits so that each
// only places what stands here. Texts are UTF-8, as in every source file; a
// toolkit turns them into its own strings.
namespace layout {

// The main window: wide enough for the list's words column beside the dates.
inline constexpr int kOuterWidth = 920;
inline constexpr int kOuterHeight = 496;
inline constexpr int kClientWidth = 912; // the outer size less a usual frame
inline constexpr int kClientHeight = 466;
inline constexpr int kFontPixels = 14;
inline constexpr const char* kFontFace = "SimSun"; // 宋体

// The tool bar: 60 x 40 buttons, a 16 x 16 glyph above each caption.
inline constexpr int kToolbarHeight = 44;
inline constexpr int kToolButtonWidth = 60;
inline constexpr int kToolButtonHeight = 40;
inline constexpr int kGlyphSize = 16;
inline constexpr int kLeadingSpacer = 6;
inline constexpr int kMiddleSpacer = 12; // between 导出 and 帮助

// In the order of the Win32 program's glyph strip.
enum class Glyph { Inquire, Stop, Clear, Export, Help, About, Close, ReInquire };

struct ToolButton {
    const char* name;
    const char* caption;
    const char* hint;
    bool visible;
    Glyph glyph;
    bool spacerBefore; // the middle spacer stands before this button
};

inline constexpr ToolButton kToolButtons[] = {
    {"xInquireBt", "查询", "快速查询域名是否可以注册。", true, Glyph::Inquire, false},
    {"xReInquireBt", "重查", "只查询还没有结果（* 或 !）的域名。", true, Glyph::ReInquire, false},
    {"xStopBt", "停止", "停止查询域名.", true, Glyph::Stop, false},
    {"xClearBt", "清空", "清空全部域名列表。", false, Glyph::Clear, false},
    {"xExportBt", "导出", "导出可以注册的域名。", true, Glyph::Export, false},
    {"xHelpBt", "帮助", "提供软件的相关操作帮助说明。", true, Glyph::Help, true},
    {"xAboutBt", "关于", "查看软件的设计说明。", true, Glyph::About, false},
    {"xCloseBt", "关闭", "停止操作，关闭退出软件。", true, Glyph::Close, false},
};

// The regions below the tool bar.
inline constexpr int kLeftPanelWidth = 353;
inline constexpr int kFilterGroupHeight = 205;
inline constexpr int kSplitterWidth = 3;
inline constexpr int kStatusBarHeight = 19;
inline constexpr int kStatusPaneWidth = 354;

inline constexpr const char* kFilterGroupTitle = "域名组合设置：";
inline constexpr const char* kMemoGroupTitle = "使用汉语音节：";
inline constexpr const char* kMemoDefault = "ai  bai   bin    du fu gao hao hua jia jie kan \r\n"
                                            "mai mei pai shan shi tian wen wa xi xiu you\r\n\r\n";
inline constexpr const char* kWelcome = "欢迎使用免费软件...";

// The controls of the filter group, in group coordinates (inside its frame).
enum class Kind { Label, Combo, Spin, Edit, Button, Check };

struct Control {
    const char* name; // "" for a caption label
    Kind kind;
    const char* text; // caption, or default text
    const char* hint;
    int x, y, width, height;
    bool visible;
};

inline constexpr int kRow[] = {22, 52, 82, 112, 142, 172};
inline constexpr int kHiddenRow = 202;
inline constexpr int kLabelDrop = 3;   // labels sit this much below their row
inline constexpr int kButtonX = 272;   // the right-hand column of buttons
inline constexpr int kSpinMinimum = 0; // the spin edits' range
inline constexpr int kSpinMaximum = 100;

inline constexpr Control kFilterControls[] = {
    {"", Kind::Label, "设置组合:    ", "", 8, kRow[0] + kLabelDrop, 70, 16, true},
    {"SettingCbb", Kind::Combo, "",
     "已经命名的域名过滤设置列表，选择其中一个软件自动设置好下面的设置项目。", 80, kRow[0], 153, 22,
     true},
    {"LabelCount", Kind::Label, "共0000个域名", "", 236, kRow[0] + kLabelDrop, 104, 16, true},
    {"", Kind::Label, "域名长度:", "", 8, kRow[1] + kLabelDrop, 70, 16, true},
    {"YmLenSp1", Kind::Spin, "2", "", 80, kRow[1], 50, 22, true},
    {"", Kind::Label, "位至", "", 134, kRow[1] + kLabelDrop, 30, 16, true},
    {"YmLenSp2", Kind::Spin, "10", "", 166, kRow[1], 50, 22, true},
    {"", Kind::Label, "位", "", 220, kRow[1] + kLabelDrop, 16, 16, true},
    {"stBt1", Kind::Button, "增加域名", "将域名添加到右边的待查列表中...", kButtonX, kRow[1] - 1,
     66, 24, true},
    {"", Kind::Label, "含有字符:      ", "", 8, kRow[2] + kLabelDrop, 70, 16, true},
    {"YmHanEd", Kind::Edit, "", "用空格隔开，只要含有其中1项字符即可。", 80, kRow[2], 153, 22,
     true},
    {"stBt2", Kind::Button, "清空域名", "将待查列表中的域名全部清除...", kButtonX, kRow[2] - 1, 66,
     24, true},
    {"", Kind::Label, "排除字符:      ", "", 8, kRow[3] + kLabelDrop, 70, 16, true},
    {"YmPaiEd", Kind::Edit, "", "用空格隔开，合格域名必须排除全部字符项。", 80, kRow[3], 153, 22,
     true},
    {"stBt3", Kind::Button, "清除设置", "清除左边的域名过滤设置。", kButtonX, kRow[3] - 1, 66, 24,
     true},
    {"", Kind::Label, "前置词:  ", "", 8, kRow[4] + kLabelDrop, 70, 16, true},
    {"PrevKeyEd", Kind::Edit, "", "固定在前面的音节", 80, kRow[4], 49, 22, true},
    {"", Kind::Label, "后置词: ", "", 137, kRow[4] + kLabelDrop, 56, 16, true},
    {"LastKeyEd", Kind::Edit, "", "固定在最后的音节", 195, kRow[4], 49, 22, true},
    {"stBt4", Kind::Button, "保存设置", "保存左边的所有域名过滤设置为一个命名记录。", kButtonX,
     kRow[4] - 1, 66, 24, true},
    {"YmCiYuChk", Kind::Check, "只要词语",
     "只增加拼音能读成常用词语的域名，比如 MeiLi（美丽、魅力）。", 8, kRow[5], 100, 20, true},
    // Never shown, yet part of every generation and every profile.
    {"", Kind::Label, "域名模式匹配:      ", "", 8, kHiddenRow + kLabelDrop, 70, 16, false},
    {"YmPiPeiEd", Kind::Edit, "z*s",
     "用空格隔开，用*表示若干个字符，用?表示1个不定字符，只要匹配其中1项即可。", 80, kHiddenRow,
     121, 22, false},
    {"DuplicationChk", Kind::Check, "必须是两叠词,aab,aba,abb",
     "要求条件是重叠的三拼域名，比如：wowohao或者aibuai这样的域名。", 208, kHiddenRow, 130, 20,
     false},
};

// The result list's columns; the last one stretches to the list's right edge,
// never narrower than its width here.
struct Column {
    const char* title;
    int width;
};
inline constexpr Column kColumns[] = {
    {"域名", 120}, {"状态", 70}, {"注册日期", 90}, {"过期日期", 90}, {"词语", 150}};

// The result list's context menu, top to bottom. The shortcut is shown beside
// the caption; the list takes those keys itself.
enum class ListCommand { Copy, ReInquire, Delete };
struct ListMenuItem {
    ListCommand command;
    const char* name;
    const char* caption;
    const char* shortcut; // "" for none
};
inline constexpr ListMenuItem kListMenu[] = {
    {ListCommand::Copy, "CopyMi", "复制", "Ctrl+C"},
    {ListCommand::ReInquire, "ReInquireMi", "重查所选", ""},
    {ListCommand::Delete, "DeleteMi", "删除所选", "Del"},
};

// The About box: a 415 x 165 client area.
inline constexpr int kAboutWidth = 415;
inline constexpr int kAboutHeight = 165;
struct Box {
    int x, y, width, height;
};
inline constexpr Box kAboutBevel = {12, 9, 165, 45};
inline constexpr Box kAboutLogo = {14, 11, 161, 41};
inline constexpr Box kAboutName = {210, 12, 0, 0};
inline constexpr Box kAboutVersion = {214, 40, 0, 0};
inline constexpr Box kAboutDate = {214, 61, 0, 0};
inline constexpr Box kAboutWebSite = {214, 104, 0, 0};
inline constexpr Box kAboutNotice = {14, 131, 161, 22}; // grows to the right as its text needs
inline constexpr Box kAboutClose = {326, 130, 75, 25};
inline constexpr int kAboutNameFontPixels = 20;

} // namespace layout
