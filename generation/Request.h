#pragma once

#include <optional>
#include <string>
#include <vector>

// What the left panel holds when 增加域名 is pressed, as GBK texts and numbers.
struct TGenerationInputs {
    std::string Memo;          // YinjieMemo
    int LenMin = 2;            // YmLenSp1
    int LenMax = 10;           // YmLenSp2
    std::string Han;           // YmHanEd: contains words
    std::string Pai;           // YmPaiEd: exclude words
    std::string PiPei = "z*s"; // YmPiPeiEd: pattern words (hidden)
    bool Duplication = false;  // DuplicationChk (hidden)
    std::string PrevKey;       // PrevKeyEd: leading text, whole
    std::string LastKey;       // LastKeyEd: trailing text, whole
    bool WordsOnly = false;    // YmCiYuChk: only names that spell a word
};

// A request that passed the checks.
struct TGenerationRequest {
    std::vector<std::string> Syllables; // first letter a-z in capitals, duplicates kept
    std::vector<std::string> HanWords;
    std::vector<std::string> PaiWords;
    std::vector<std::string> PiPeiWords;
    int LenMin = 2;
    int LenMax = 10;
    bool Duplication = false;
    std::string PrevKey;
    std::string LastKey;
    bool WordsOnly = false;
};

constexpr int kMaxRowsBeforeGeneration = 10000;
constexpr int kMaxSyllables = 100;

// Checks and reads a request: refused while a run is in progress, when the list
// holds more than 10000 rows, or when the memo holds more than 100 syllables.
// On a refusal the result is empty and refusal holds the message to show.
std::optional<TGenerationRequest> ReadGenerationRequest(const TGenerationInputs& inputs,
                                                        bool runInProgress, int rowCount,
                                                        std::string& refusal);

// The syllables of a memo: CR LF pairs become blanks, the text is split at
// blanks, and each entry's first letter a-z becomes a capital.
std::vector<std::string> ReadSyllables(const std::string& memo);
