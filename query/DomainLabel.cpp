#include "DomainLabel.h"

#include "Base.h"
#include "Gbk.h"
#include "Idna.h"

namespace {

bool IsLdh(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Letters, digits and "-" only, 1 to 63 of them, no "-" at either end.
bool IsHostLabel(std::string_view label) {
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') {
        return false;
    }
    for (const char c : label) {
        if (!IsLdh(c)) {
            return false;
        }
    }
    return true;
}

TAskedForm Refused(std::string why) {
    return TAskedForm{std::string(), std::move(why)};
}

} // namespace

bool IsRegistrableLabel(std::string_view label) {
    return IsHostLabel(label) && !(label.size() >= 4 && label.substr(2, 2) == "--");
}

TAskedForm AskedForm(std::string_view entry) {
    // A "." is never the second byte of a GBK character, so the first one
    // found is a real dot.
    std::string_view name = entry;
    if (const auto dot = entry.find('.'); dot != std::string_view::npos) {
        name = entry.substr(0, dot);
        if (!SameText(entry.substr(dot), ".com")) {
            return Refused("a dot inside the name");
        }
    }
    if (name.empty()) {
        return Refused("an empty name");
    }
    if (IsAscii(name)) {
        if (name.size() > 63) {
            return Refused("longer than 63 characters");
        }
        if (!IsRegistrableLabel(name)) {
            return Refused("not a label of letters, digits and inner hyphens");
        }
        return TAskedForm{std::string(name), std::string()};
    }
    // The ASCII characters among the Chinese ones follow the rules of a plain
    // label (no "-" at either end, none in both the third and fourth places);
    // IDNA libraries differ in what they let through ("_", " ", a last "-").
    std::size_t characters = 0;
    bool thirdIsHyphen = false;
    for (std::size_t i = 0; i < name.size(); i += platform::GbkCharLength(name, i), ++characters) {
        const bool single = platform::GbkCharLength(name, i) == 1;
        if (single && static_cast<unsigned char>(name[i]) < 0x80 && !IsLdh(name[i])) {
            return Refused("not a label of letters, digits and inner hyphens");
        }
        const bool hyphen = single && name[i] == '-';
        if (hyphen && (i == 0 || i + 1 == name.size() || (characters == 3 && thirdIsHyphen))) {
            return Refused("not a label of letters, digits and inner hyphens");
        }
        if (characters == 2) {
            thirdIsHyphen = hyphen;
        }
    }
    const std::string utf8 = platform::GbkToUtf8(name);
    if (utf8.find("\xEF\xBF\xBD") != std::string::npos) {
        return Refused("bytes that are no GBK characters");
    }
    const auto idna = platform::IdnaToAscii(utf8);
    if (!idna) {
        return Refused("no IDNA form");
    }
    // The IDNA step may map a character to a dot (a full-width one) or to
    // plain ASCII (full-width letters); what it makes must be one label.
    if (!IsHostLabel(*idna) || (idna->rfind("xn--", 0) != 0 && !IsRegistrableLabel(*idna))) {
        return Refused("its IDNA form is no single label of at most 63 characters");
    }
    return TAskedForm{*idna, std::string()};
}
