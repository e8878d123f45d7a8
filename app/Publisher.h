#pragma once

#include "FilePath.h"

#include <string>

// The publisher and the addresses the program opens, chosen once, here.
namespace publisher {

std::string Name();        // GBK
std::string WebAddress();  // the publisher's web page
std::string WebHost();     // its host name, for the shortcut's description
std::string SupportText(); // the toolbar's online-support contact, GBK

// The help page in "help" inside dataFolder (beside the executable, or where
// a package put it), as a file address.
// The help page of a copy whose data folder is dataFolder, and its file: address.
platform::FilePath HelpFile(const platform::FilePath& dataFolder);
std::string HelpAddress(const platform::FilePath& dataFolder);

// The text of a stored address: its slices joined in their fixed order.
struct Slice {
    int offset;
    int length;
};
std::string Assemble(const char* store, const Slice* slices, int count);

} // namespace publisher
