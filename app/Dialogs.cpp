#include "Dialogs.h"

namespace dialogs {
namespace {

const Script* g_script = nullptr;

} // namespace

void SetScript(const Script* script) {
    g_script = script;
}

const Script* ActiveScript() {
    return g_script;
}

std::string ErrorDisplayText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        return message + ".";
    }
    return message;
}

platform::FilePath WithDefaultExtension(const platform::FilePath& path,
                                        const std::string& extension) {
    const std::string_view name = path.FileName();
    if (extension.empty() || name.empty() || name.find('.') != std::string_view::npos) {
        return path;
    }
    return path.Plus("." + extension);
}

} // namespace dialogs
