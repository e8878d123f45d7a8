#include "Publisher.h"

#include "Texts.h"

namespace publisher {
namespace {

// The addresses are kept scrambled: a casual look at the executable's strings
// does not show them, and each is put together when it is needed.
constexpr char kWebStore[] = "ample/kestrova.exhttps:/";
constexpr Slice kWebSlices[] = {{17, 6}, {5, 1}, {5, 12}, {0, 5}};
constexpr char kHelpStore[] = "ex.htmlp/inheld";
constexpr Slice kHelpSlices[] = {{11, 3}, {7, 4}, {14, 1}, {0, 1}, {1, 6}};

VT_TEXT(PublisherName, "Kestrova软件")
VT_TEXT(Support, "在线客服：support@kestrova.example")

} // namespace

std::string Assemble(const char* store, const Slice* slices, int count) {
    const std::string text(store);
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += text.substr(static_cast<std::size_t>(slices[i].offset),
                           static_cast<std::size_t>(slices[i].length));
    }
    return out;
}

std::string Name() {
    return PublisherName();
}

std::string WebAddress() {
    return Assemble(kWebStore, kWebSlices, 4);
}

std::string WebHost() {
    const std::string address = WebAddress();
    const auto start = address.find("://") + 3;
    return address.substr(start, address.find('/', start) - start);
}

std::string SupportText() {
    return Support();
}

platform::FilePath HelpFile(const platform::FilePath& dataFolder) {
    // "help/index.html", joined part by part with the system's delimiter.
    const std::string relative = Assemble(kHelpStore, kHelpSlices, 5);
    const auto slash = relative.find('/');
    return dataFolder.Join(relative.substr(0, slash)).Join(relative.substr(slash + 1));
}

std::string HelpAddress(const platform::FilePath& dataFolder) {
    return platform::FileUrl(HelpFile(dataFolder));
}

} // namespace publisher
