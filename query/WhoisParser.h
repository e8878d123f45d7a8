#pragma once

#include <string>
#include <string_view>

struct TYmSeekRec;

// Reads a .com WHOIS answer into rec: State 1; Registered 0 when the answer holds
// the no-match line for the name asked (rec.AskedName, or rec.Name), else 1 with the registrar and
// the two dates cut out of it. Never fails.
void ParseWhoisAnswer(const std::string& answer, TYmSeekRec& rec);

// "15-Mar-2005" (day, month abbreviation, year) or "2005-03-15T04:00:00Z" to
// "2005-03-15"; anything else comes back trimmed.
std::string ConvertWhoisDate(std::string_view text);

// True when the answer speaks of the name: it holds the no-match line for it,
// or a "Domain Name:" line with it. A refusal, an error text, a record of
// another name or nothing at all is no answer about the name.
bool IsWhoisAnswerAbout(const std::string& answer, const std::string& name);

// The no-match line the server writes for a free name: No match for "NAME.COM".
std::string WhoisNoMatchMarker(const std::string& name);
