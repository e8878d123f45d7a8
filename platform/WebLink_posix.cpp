#include "WebLink.h"

#include "Gbk.h"

#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace platform {

// The desktop's opener (xdg-open) in a process of its own; a helper thread
// reaps it so that no zombie stays behind. Nothing is reported either way.
void OpenWithSystem(const std::string& address) {
    const std::string utf8 = GbkToUtf8(address);
    char program[] = "xdg-open";
    std::string argument = utf8;
    char* argv[] = {program, argument.data(), nullptr};
    pid_t child = 0;
    if (::posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0) {
        return;
    }
    try {
        std::thread([child] {
            int status = 0;
            ::waitpid(child, &status, 0);
        }).detach();
    } catch (...) {
        // No thread to reap it: the child becomes a zombie until the program ends.
    }
}

bool OpenFileWithSystem(const FilePath& file) {
    // The file: address is escaped ASCII; the opener takes it as it stands.
    OpenWithSystem(FileUrl(file));
    return true;
}

} // namespace platform
