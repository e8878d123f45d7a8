#include "RdapReader.h"

#include "Base.h"
#include "Gbk.h"

#include <nlohmann/json.hpp>

#include <cstdint>

namespace {

using nlohmann::json;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads n digits at s[pos]; false when there are not n of them.
bool Digits(std::string_view s, std::size_t pos, std::size_t n, int& value) {
    if (pos + n > s.size()) {
        return false;
    }
    value = 0;
    for (std::size_t i = pos; i < pos + n; ++i) {
        if (!IsDigit(s[i])) {
            return false;
        }
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back (the civil
// calendar algorithms of H. Hinnant).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2);
}

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDays[m - 1];
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && UpperCase(std::string(a)) == UpperCase(std::string(b));
}

const json* Member(const json& object, const char* key) {
    if (!object.is_object()) {
        return nullptr;
    }
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

std::string StringMember(const json& object, const char* key) {
    const json* value = Member(object, key);
    return value != nullptr && value->is_string() ? value->get<std::string>() : std::string();
}

// The date of the first event whose action is exactly this one.
std::string EventDay(const json& domain, const char* action) {
    const json* events = Member(domain, "events");
    if (events == nullptr || !events->is_array()) {
        return {};
    }
    for (const json& event : *events) {
        if (StringMember(event, "eventAction") == action) {
            return RdapUtcDay(StringMember(event, "eventDate"));
        }
    }
    return {};
}

// The "fn" of a vCard in jCard form: ["vcard", [[name, params, type, value], ...]].
// Some servers flatten it to ["vcard", [name, ...], [name, ...]]; both are read.
std::string VcardName(const json& vcard) {
    if (!vcard.is_array()) {
        return {};
    }
    auto fromProperty = [](const json& property) -> std::string {
        if (property.is_array() && property.size() >= 4 && property[0].is_string() &&
            property[0].get<std::string>() == "fn" && property[3].is_string()) {
            return property[3].get<std::string>();
        }
        return {};
    };
    for (std::size_t i = 1; i < vcard.size(); ++i) {
        const json& item = vcard[i];
        if (!item.is_array()) {
            continue;
        }
        if (!item.empty() && item[0].is_string()) {
            if (auto fn = fromProperty(item); !fn.empty()) {
                return fn;
            }
            continue;
        }
        for (const json& property : item) {
            if (auto fn = fromProperty(property); !fn.empty()) {
                return fn;
            }
        }
    }
    return {};
}

std::string RegistrarName(const json& domain) {
    const json* entities = Member(domain, "entities");
    if (entities == nullptr || !entities->is_array()) {
        return {};
    }
    for (const json& entity : *entities) {
        const json* roles = Member(entity, "roles");
        if (roles == nullptr || !roles->is_array()) {
            continue;
        }
        for (const json& role : *roles) {
            if (role.is_string() && SameTextIgnoringCase(role.get<std::string>(), "registrar")) {
                const json* vcard = Member(entity, "vcardArray");
                return vcard != nullptr ? VcardName(*vcard) : std::string();
            }
        }
    }
    return {};
}

} // namespace

std::string RdapDomainUrl(std::string_view base, std::string_view bareName) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url(base);
    url += "domain/";
    for (const char c : bareName) {
        const auto b = static_cast<unsigned char>(c);
        if ((c >= 'a' && c <= 'z') || IsDigit(c) || c == '-') {
            url += c;
        } else if (c >= 'A' && c <= 'Z') {
            url += static_cast<char>(c - 'A' + 'a');
        } else {
            url += '%';
            url += kHex[b >> 4];
            url += kHex[b & 15];
        }
    }
    url += ".com";
    return url;
}

std::string RdapUtcDay(std::string_view s) {
    int year = 0, month = 0, day = 0;
    if (!Digits(s, 0, 4, year) || s.size() < 10 || s[4] != '-' || !Digits(s, 5, 2, month) ||
        s[7] != '-' || !Digits(s, 8, 2, day) || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month)) {
        return {};
    }
    int minutes = 0; // local time of day
    int offset = 0;  // the zone's offset from UTC, in minutes
    std::size_t pos = 10;
    if (pos < s.size()) {
        int hour = 0, minute = 0, second = 0;
        if ((s[pos] != 'T' && s[pos] != 't' && s[pos] != ' ') || !Digits(s, pos + 1, 2, hour) ||
            s.size() < pos + 6 || s[pos + 3] != ':' || !Digits(s, pos + 4, 2, minute) ||
            hour > 23 || minute > 59) {
            return {};
        }
        pos += 6;
        if (pos < s.size() && s[pos] == ':') {
            if (!Digits(s, pos + 1, 2, second) || second > 60) {
                return {};
            }
            pos += 3;
            if (pos < s.size() && (s[pos] == '.' || s[pos] == ',')) {
                ++pos;
                const std::size_t first = pos;
                while (pos < s.size() && IsDigit(s[pos])) {
                    ++pos;
                }
                if (pos == first) {
                    return {};
                }
            }
        }
        minutes = hour * 60 + minute;
        if (pos < s.size()) {
            const std::string_view zone = s.substr(pos);
            int zh = 0, zm = 0;
            if (zone == "Z" || zone == "z") {
                // UTC
            } else if ((zone[0] == '+' || zone[0] == '-') && Digits(zone, 1, 2, zh) &&
                       (zone.size() == 3 || (zone.size() == 5 && Digits(zone, 3, 2, zm)) ||
                        (zone.size() == 6 && zone[3] == ':' && Digits(zone, 4, 2, zm))) &&
                       zh <= 23 && zm <= 59) {
                offset = (zh * 60 + zm) * (zone[0] == '-' ? -1 : 1);
            } else {
                return {};
            }
        }
    }
    // Minutes since the local midnight, minus the offset, may fall on the day
    // before or after.
    const int utc = minutes - offset;
    const std::int64_t shift = utc < 0 ? -1 : (utc >= 24 * 60 ? 1 : 0);
    std::int64_t y = 0;
    int m = 0, d = 0;
    CivilFromDays(DaysFromCivil(year, month, day) + shift, y, m, d);
    if (y < 0 || y > 9999) {
        return {};
    }
    return PadNumber(static_cast<std::int32_t>(y), 4, true) + "-" + PadNumber(m, 2, true) + "-" +
           PadNumber(d, 2, true);
}

bool IsRdapContentType(std::string_view contentType) {
    std::string_view media = contentType.substr(0, contentType.find(';'));
    const std::string trimmed = Trim(media);
    return SameTextIgnoringCase(trimmed, "application/rdap+json") ||
           SameTextIgnoringCase(trimmed, "application/json");
}

TRdapReading ReadRdapAnswer(long status, std::string_view contentType, const std::string& body,
                            std::string_view bareName) {
    TRdapReading reading;
    if (status == 404) {
        if (!IsRdapContentType(contentType)) {
            reading.why = "a 404 that is no RDAP answer (content type \"" +
                          std::string(contentType.substr(0, 80)) + "\")";
            return reading;
        }
        if (!Trim(body).empty()) {
            const json error = json::parse(body, nullptr, false);
            const json* code = error.is_discarded() ? nullptr : Member(error, "errorCode");
            if (code == nullptr || !code->is_number_integer() || code->get<std::int64_t>() != 404) {
                reading.why = "a 404 whose body is no RDAP error object with errorCode 404";
                return reading;
            }
        }
        reading.verdict = TRdapReading::Verdict::Available;
        return reading;
    }
    if (status != 200) {
        reading.why = "HTTP status " + std::to_string(status);
        return reading;
    }
    const json domain = json::parse(body, nullptr, false);
    if (domain.is_discarded() || !domain.is_object()) {
        reading.why = "the body is no JSON object";
        return reading;
    }
    if (!SameTextIgnoringCase(StringMember(domain, "objectClassName"), "domain")) {
        reading.why = "no domain object";
        return reading;
    }
    std::string ldhName = StringMember(domain, "ldhName");
    if (!ldhName.empty() && ldhName.back() == '.') {
        ldhName.pop_back(); // the fully qualified form names the same domain
    }
    if (bareName.empty() || !SameTextIgnoringCase(ldhName, std::string(bareName) + ".com")) {
        reading.why = "the answer is about another name";
        return reading;
    }
    reading.verdict = TRdapReading::Verdict::Registered;
    reading.CreationDate = EventDay(domain, "registration");
    reading.ExpirationDate = EventDay(domain, "expiration");
    reading.Registrar = platform::Utf8ToGbk(RegistrarName(domain));
    return reading;
}
