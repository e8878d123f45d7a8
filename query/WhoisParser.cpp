#include "WhoisParser.h"

#include "Base.h"
#include "Ymcx.h"

#include <array>

namespace {

constexpr std::array<std::string_view, 12> kWhoisMonths = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The text between marker and the first line feed within window bytes after
// it; empty when the marker or the line feed is missing.
bool CutField(const std::string& answer, std::string_view marker, std::size_t window,
              std::string& field) {
    const auto at = answer.find(marker);
    if (at == std::string::npos) {
        return false;
    }
    const std::string_view rest = std::string_view(answer).substr(at + marker.size(), window);
    const auto lf = rest.find('\n');
    if (lf == std::string_view::npos) {
        return false;
    }
    field = std::string(rest.substr(0, lf));
    return true;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// YYYY-MM-DDT..., the form of today's registry server.
bool IsIsoTimestamp(std::string_view s) {
    if (s.size() < 11 || s[4] != '-' || s[7] != '-' || (s[10] != 'T' && s[10] != 't')) {
        return false;
    }
    for (const std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u}) {
        if (!IsDigit(s[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string WhoisNoMatchMarker(const std::string& name) {
    return "No match for \"" + UpperCase(name + ".com") + "\".";
}

void ParseWhoisAnswer(const std::string& answer, TYmSeekRec& rec) {
    rec.State = 1;
    if (rec.Kind != 1) {
        return;
    }
    const std::string& asked = rec.AskedName.empty() ? rec.Name : rec.AskedName;
    rec.Registered = answer.find(WhoisNoMatchMarker(asked)) != std::string::npos ? 0 : 1;
    rec.Registrar.clear();
    rec.CreationDate.clear();
    rec.ExpirationDate.clear();
    if (rec.Registered != 1 || answer.size() <= 10) {
        return;
    }
    std::string field;
    if (CutField(answer, "Registrar:", 100, field)) {
        rec.Registrar = field.substr(0, 20);
    }
    if (CutField(answer, "Creation Date:", 30, field)) {
        rec.CreationDate = ConvertWhoisDate(field);
    }
    // Older answers say "Expiration Date:", today's "Registry Expiry Date:".
    if (CutField(answer, "Expiration Date:", 30, field) ||
        CutField(answer, "Registry Expiry Date:", 30, field)) {
        rec.ExpirationDate = ConvertWhoisDate(field);
    }
}

std::string ConvertWhoisDate(std::string_view text) {
    const std::string s = Trim(text);
    if (IsIsoTimestamp(s)) {
        return s.substr(0, 10);
    }
    if (s.size() != 11) {
        return s;
    }
    const std::string month = UpperCase(s.substr(3, 3));
    for (std::size_t m = 0; m < kWhoisMonths.size(); ++m) {
        if (UpperCase(kWhoisMonths[m]) == month) {
            return s.substr(7, 4) + "-" + PadNumber(static_cast<int>(m + 1), 2, true) + "-" +
                   s.substr(0, 2);
        }
    }
    return s;
}

bool IsWhoisAnswerAbout(const std::string& answer, const std::string& name) {
    if (answer.find(WhoisNoMatchMarker(name)) != std::string::npos) {
        return true;
    }
    const std::string wanted = name + ".com";
    std::string_view text = answer;
    while (!text.empty()) {
        const auto lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
            line.remove_prefix(1);
        }
        constexpr std::string_view kKey = "Domain Name:";
        if (line.size() < kKey.size() || !SameText(line.substr(0, kKey.size()), kKey)) {
            continue;
        }
        if (SameText(Trim(line.substr(kKey.size())), wanted)) {
            return true;
        }
    }
    return false;
}
