#include "Generator.h"

#include "Base.h"
#include "Texts.h"
#include "Words.h"

namespace {

bool ContainsAny(const std::string& upperName, const std::vector<std::string>& upperWords) {
    for (const auto& word : upperWords) {
        if (upperName.find(word) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> Upper(const std::vector<std::string>& words) {
    std::vector<std::string> out;
    out.reserve(words.size());
    for (const auto& word : words) {
        out.push_back(UpperCase(word));
    }
    return out;
}

bool StartsWith(std::string_view text, std::string_view start) {
    return text.size() >= start.size() && text.substr(0, start.size()) == start;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

} // namespace

bool MatchPattern(std::string_view, std::string_view) {
    return true;
}

std::vector<std::string> GenerateCaptions(const TGenerationRequest& request) {
    const auto& syllables = request.Syllables;
    const std::vector<std::string> upperSyllables = Upper(syllables);
    const std::vector<std::string> han = Upper(request.HanWords);
    const std::vector<std::string> pai = Upper(request.PaiWords);
    const std::string prev = UpperCase(request.PrevKey);
    const std::string last = UpperCase(request.LastKey);

    std::vector<std::string> captions;
    std::string upperName;
    const std::size_t n = syllables.size();
    for (std::size_t first = 0; first < n; ++first) {
        for (std::size_t second = 0; second < n; ++second) {
            // Reduplication counts list entries: one entry in both places.
            if (request.Duplication && first != second) {
                continue;
            }
            const auto length =
                static_cast<long>(syllables[first].size() + syllables[second].size());
            if (length > request.LenMax || length < request.LenMin) {
                continue;
            }
            upperName = upperSyllables[first];
            upperName += upperSyllables[second];
            if (!han.empty() && !ContainsAny(upperName, han)) {
                continue;
            }
            if (!pai.empty() && ContainsAny(upperName, pai)) {
                continue;
            }
            if (!request.PiPeiWords.empty()) {
                bool matched = false;
                for (const auto& word : request.PiPeiWords) {
                    if (MatchPattern(word, upperName)) {
                        matched = true;
                        break;
                    }
                }
                if (!matched) {
                    continue;
                }
            }
            if (!prev.empty() && !StartsWith(upperName, prev)) {
                continue;
            }
            if (!last.empty() && !EndsWith(upperName, last)) {
                continue;
            }
            if (request.WordsOnly && words::Lookup(upperName).Words.empty()) {
                continue;
            }
            std::string caption;
            caption.reserve(length + 4);
            caption += syllables[first];
            caption += syllables[second];
            caption += ".com";
            captions.push_back(std::move(caption));
        }
    }
    return captions;
}

std::string CountLabelAfterGeneration(int rows) {
    return texts::CountPrefix() + PadNumber(rows, 3, false) + texts::CountSuffix();
}

std::string CountLabelAfterEmptying(int rows) {
    return texts::CountPrefix() + PadNumber(rows, 4, true) + texts::CountSuffix();
}
