#include "Request.h"

#include "Base.h"
#include "Texts.h"

std::vector<std::string> ReadSyllables(const std::string& memo) {
    std::string text;
    text.reserve(memo.size());
    for (std::size_t i = 0; i < memo.size(); ++i) {
        if (memo[i] == '\r' && i + 1 < memo.size() && memo[i + 1] == '\n') {
            text += ' ';
            ++i;
        } else {
            text += memo[i];
        }
    }
    std::vector<std::string> syllables = SplitWords(" ", text);
    for (auto& entry : syllables) {
        if (entry[0] >= 'a' && entry[0] <= 'z') {
            entry[0] = static_cast<char>(entry[0] - 'a' + 'A');
        }
    }
    return syllables;
}

std::optional<TGenerationRequest> ReadGenerationRequest(const TGenerationInputs& inputs,
                                                        bool runInProgress, int rowCount,
                                                        std::string& refusal) {
    refusal.clear();
    if (runInProgress) {
        refusal = texts::RunInProgress();
        return std::nullopt;
    }
    if (rowCount > kMaxRowsBeforeGeneration) {
        refusal = texts::TooManyRows();
        return std::nullopt;
    }
    TGenerationRequest request;
    request.Syllables = ReadSyllables(inputs.Memo);
    if (static_cast<int>(request.Syllables.size()) > kMaxSyllables) {
        refusal = texts::TooManySyllables();
        return std::nullopt;
    }
    request.HanWords = SplitWords(" ", inputs.Han);
    request.PaiWords = SplitWords(" ", inputs.Pai);
    request.PiPeiWords = SplitWords(" ", inputs.PiPei);
    request.LenMin = inputs.LenMin;
    request.LenMax = inputs.LenMax;
    request.Duplication = inputs.Duplication;
    request.PrevKey = inputs.PrevKey;
    request.LastKey = inputs.LastKey;
    request.WordsOnly = inputs.WordsOnly;
    return request;
}
