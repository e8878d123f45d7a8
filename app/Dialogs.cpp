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

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
    const auto slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (extension.empty() || name.empty() || name.find('.') != std::string::npos) {
        return path;
    }
    return path + "." + extension;
}

} // namespace dialogs
