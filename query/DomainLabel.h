#pragma once

#include <string>
#include <string_view>

// What the registry is asked for one name of a run. The registry answers
// "No match" for any string, registrable or not, so a name is asked only in a
// form somebody could register: a label of letters, digits and "-", or the
// IDNA form of a name written in Chinese (or other) characters.
struct TAskedForm {
    std::string label; // the label to ask (no ".com"); empty when it cannot be asked
    std::string why;   // with an empty label: why, for the hidden log
};

// True for a label the .com registry registers: 1 to 63 letters, digits and
// "-", no "-" at either end, and no "--" in the third and fourth places (the
// mark of an encoded label, which only the IDNA step below makes).
bool IsRegistrableLabel(std::string_view label);

// entry: a run's name as handed to a worker, trimmed, GBK ("AiBai.com",
// "美丽Bai.com", "AiBai"). Everything after its first "." must be ".com" (any
// case). An ASCII name is asked as it stands; one with characters beyond
// ASCII is asked in its IDNA 2008 form, which must itself be a label of at
// most 63 characters.
TAskedForm AskedForm(std::string_view entry);
