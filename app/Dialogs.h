#pragma once

#include "FilePath.h"

#include <functional>
#include <string>
#include <vector>

// What the program's modal boxes and dialogs are asked, in either toolkit. Each
// toolkit's boxes first look for a test script installed here, in the manner of
// a message-box wrapper with a test hook, so no test ever waits on a real box.
namespace dialogs {

enum class Icon { Information, Error };

// A file type the save dialog offers after its first.
struct SaveFilter {
    std::string name;      // "全部结果"
    std::string pattern;   // "*.csv"
    std::string extension; // "csv": what a name typed without one gets with this type
};

struct SaveOptions {
    std::string filterName;       // "文本文件": the first type, chosen at the start
    std::string filterPattern;    // "*.txt"
    std::string defaultExtension; // "txt", added with a dot to a name without one
    std::vector<SaveFilter> moreFilters;
    platform::FilePath initialFolder;
    platform::FilePath fileName; // offered
};

// A test's stand-in for the real boxes; every text is GBK.
struct Script {
    std::function<void(const std::string& text, Icon icon)> message;
    std::function<bool(const std::string& caption, const std::string& prompt, std::string& value)>
        input;
    std::function<bool(const SaveOptions& options, platform::FilePath& chosen)> save;
};

// Installs a script (nullptr puts the real boxes back); the one installed now.
void SetScript(const Script* script);
const Script* ActiveScript();

// The default error display's text: the message with "." appended when its
// last character sorts after ".".
std::string ErrorDisplayText(const std::string& message);

// A name typed without an extension gets the default one, as the dialog adds it.
platform::FilePath WithDefaultExtension(const platform::FilePath& path,
                                        const std::string& extension);

} // namespace dialogs
