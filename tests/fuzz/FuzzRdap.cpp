// Any bytes as an RDAP answer body, for any name and status: the reader never
// fails, never calls a name free unless the answer was an RDAP 404, and every date it
// gives is a real Y-M-D day.
#include "RdapReader.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool IsDay(const std::string& day) {
    if (day.empty()) {
        return true;
    }
    if (day.size() != 10 || day[4] != '-' || day[7] != '-') {
        return false;
    }
    const int month = (day[5] - '0') * 10 + (day[6] - '0');
    const int date = (day[8] - '0') * 10 + (day[9] - '0');
    return month >= 1 && month <= 12 && date >= 1 && date <= 31;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    static constexpr long kStatuses[] = {200, 200, 200, 404, 301, 429, 500, 0};
    const long status = kStatuses[data[0] % 8];
    const std::size_t nameLength = std::min<std::size_t>(data[1] % 16, size - 2);
    const std::string name(reinterpret_cast<const char*>(data + 2), nameLength);
    const std::string body(reinterpret_cast<const char*>(data + 2 + nameLength),
                           size - 2 - nameLength);
    static constexpr const char* kTypes[] = {"application/rdap+json", "application/json",
                                             "text/html", ""};
    const char* type = kTypes[(data[0] >> 3) % 4];
    const TRdapReading reading = ReadRdapAnswer(status, type, body, name);
    if (reading.verdict == TRdapReading::Verdict::Available &&
        (status != 404 || !IsRdapContentType(type))) {
        std::abort();
    }
    if (reading.verdict == TRdapReading::Verdict::Registered && status != 200) {
        std::abort();
    }
    if (!IsDay(reading.CreationDate) || !IsDay(reading.ExpirationDate) ||
        !IsDay(RdapUtcDay(body.substr(0, 40)))) {
        std::abort();
    }
    (void)RdapDomainUrl("https://rdap.example/com/v1/", body.substr(0, 64));
    return 0;
}
