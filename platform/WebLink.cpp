#include "WebLink.h"

#include <mutex>

namespace platform {
namespace {

std::mutex g_mutex;
std::function<void(const std::string&)> g_handler;

} // namespace

void SetWebAddressHandler(std::function<void(const std::string& address)> handler) {
    std::lock_guard lock(g_mutex);
    g_handler = std::move(handler);
}

void OpenWebAddress(const std::string& address) {
    std::function<void(const std::string&)> handler;
    {
        std::lock_guard lock(g_mutex);
        handler = g_handler;
    }
    if (handler) {
        handler(address);
    } else {
        OpenWithSystem(address);
    }
}

bool OpenLocalFile(const FilePath& file) {
    std::function<void(const std::string&)> handler;
    {
        std::lock_guard lock(g_mutex);
        handler = g_handler;
    }
    if (handler) {
        handler(FileUrl(file));
        return true;
    }
    return OpenFileWithSystem(file);
}

} // namespace platform
