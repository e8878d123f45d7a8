#pragma once

#include "FilePath.h"

#include <functional>
#include <string>
#include <vector>

// The INI implementations one suite holds to the same rules: the program's own
// store everywhere and, on Windows, the system's service, which wrote the files
// of old and sets the rules for matching names as on a Chinese Windows.
struct ProfileService {
    std::string name;
    std::function<std::string(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const platform::FilePath& path)>
        read;
    std::function<bool(const std::string& section, const std::string& key, const std::string& value,
                       const platform::FilePath& path)>
        write;
    std::function<std::vector<std::string>(const platform::FilePath& path)> sections;
    // Empty when the service can run here; else why not.
    std::function<std::string()> unavailable;
    // True for the program's store, which refuses what would read back
    // otherwise than it was written; the system's service writes it anyway.
    bool refusesUnreadable = false;
};

std::vector<ProfileService> ProfileServicesUnderTest();

// The program's own store.
ProfileService OwnProfileStore();
