// Any bytes as a WHOIS answer, for any name: the parser never fails and keeps
// its promises about the fields.
#include "WhoisParser.h"
#include "Ymcx.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t nameLength = std::min<std::size_t>(data[0] % 16, size - 1);
    const std::string name(reinterpret_cast<const char*>(data + 1), nameLength);
    const std::string answer(reinterpret_cast<const char*>(data + 1 + nameLength),
                             size - 1 - nameLength);
    TYmSeekRec rec;
    rec.Name = name;
    rec.Kind = 1;
    ParseWhoisAnswer(answer, rec);
    if (rec.State != 1 || rec.Registrar.size() > 20 ||
        (rec.Registered == 0 &&
         !(rec.Registrar.empty() && rec.CreationDate.empty() && rec.ExpirationDate.empty()))) {
        std::abort();
    }
    if (rec.CreationDate.size() > 30 || rec.ExpirationDate.size() > 30) {
        std::abort();
    }
    (void)ConvertWhoisDate(answer);
    (void)IsWhoisAnswerAbout(answer, name);
    return 0;
}
