#pragma once

#include "Gbk.h"
#include "Version.h"

#include <string>

// The program's own texts. The source is UTF-8; each text is turned into the
// program's GBK once, on first use (thread-safe static initialisation).
#define VT_TEXT(name, utf8)                                                                        \
    inline const std::string& name() {                                                             \
        static const std::string text = platform::Utf8ToGbk(utf8);                                 \
        return text;                                                                               \
    }

namespace texts {

VT_TEXT(AppTitle, "Vantreelv" VT_VERSION)
VT_TEXT(ShortcutArgumentsBad, "创建快捷方式的参数异常...")
VT_TEXT(ShortcutPathTooLong, "程序所在的文件夹路径太长，无法在桌面上创建快捷方式。")
VT_TEXT(HelpOpenFailed, "无法打开帮助页面：")

// Refusals.
VT_TEXT(RunInProgress, "正在进行域名查询...\r\n\r\n请先停止再做这个操作。")
VT_TEXT(TooManyRows, "待查域名的数目超过10000个了！\r\n\r\n请不要再增加了。")
VT_TEXT(TooManySyllables,
        "音节数目超过100个了，暂时不接受超过100个音节的组合要求！\r\n\r\n请减少音节数目。")
VT_TEXT(StartRefused, "正在进行查询域名工作，请先停止，然后再点击开始。")
VT_TEXT(StartFailed, "程序无法启动：查询线程无法建立。\r\n\r\n")
VT_TEXT(WorkerStartFailed, "无法启动查询线程，系统资源不足。\r\n\r\n请关闭一些程序后再试...")
VT_TEXT(ProfileNameBracket,
        "设置组合的名称不能含有“]”：这样的名称存进设置文件后再也读不出来。\r\n\r\n请换一个名称...")

// Result list.
VT_TEXT(StatusPending, "*")
VT_TEXT(StatusAvailable, "可以注册")
VT_TEXT(StatusRegistered, "已注册")
VT_TEXT(StatusFailed, "!")
VT_TEXT(RowNotFound, "aListItem=nil")

// Status pane and log.
VT_TEXT(Welcome, "欢迎使用免费软件...")
VT_TEXT(RunStarted, "开始查询域名...")
VT_TEXT(RunStopped, "停止查询域名")
VT_TEXT(ClipboardBusy, "无法复制：剪贴板正被别的程序使用，请稍后再试。")
VT_TEXT(NothingToRetry, "没有需要重查的域名：每个域名都已经有结果了。")
VT_TEXT(AnsweredPrefix, "查到第")
VT_TEXT(AnsweredMiddle, "个域名")
VT_TEXT(EndPrefix, "总共个")
VT_TEXT(EndSuffix, "域名查询完毕!")
VT_TEXT(LogOnce, "BakOnSeekActOnce")
VT_TEXT(LogFinish, "BakOnSeekActFinish 查询完毕！！")

// Count label.
VT_TEXT(CountPrefix, "共")
VT_TEXT(CountSuffix, "个域名")

// Files.
VT_TEXT(CannotCreateFile, "Cannot create file %s")
VT_TEXT(SaveDialogFailed, "无法打开保存文件的对话框（错误代码 %s）。")
VT_TEXT(UnableToWrite, "Unable to write to %s")

} // namespace texts
