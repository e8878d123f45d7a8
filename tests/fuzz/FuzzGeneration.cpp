// Any memo and filter texts: the request is read or refused, and every name
// generated keeps to the length range and ends in ".com".
#include "Generator.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    TGenerationInputs in;
    in.LenMin = data[0] % 101;
    in.LenMax = data[1] % 101;
    in.Duplication = (data[2] & 1) != 0;
    std::vector<std::string> fields(6);
    std::size_t field = 0;
    for (std::size_t i = 3; i < size; ++i) {
        if (data[i] == 0 && field + 1 < fields.size()) {
            ++field;
        } else {
            fields[field] += static_cast<char>(data[i]);
        }
    }
    in.Memo = fields[0];
    in.Han = fields[1];
    in.Pai = fields[2];
    in.PiPei = fields[3];
    in.PrevKey = fields[4];
    in.LastKey = fields[5];
    std::string refusal;
    const auto request = ReadGenerationRequest(in, false, 0, refusal);
    if (!request) {
        if (refusal.empty()) {
            std::abort();
        }
        return 0;
    }
    const auto captions = GenerateCaptions(*request);
    const std::size_t n = request->Syllables.size();
    if (captions.size() > n * n) {
        std::abort();
    }
    for (const auto& caption : captions) {
        const auto length = static_cast<int>(caption.size()) - 4;
        if (caption.size() < 4 || caption.compare(caption.size() - 4, 4, ".com") != 0 ||
            length < in.LenMin || length > in.LenMax) {
            std::abort();
        }
    }
    return 0;
}
