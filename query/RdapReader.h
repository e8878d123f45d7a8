#pragma once

#include <string>
#include <string_view>

// The .com registry's RDAP service (HTTPS, JSON), asked when the WHOIS server
// gave no usable answer about a name.

// What one RDAP answer says about a name.
struct TRdapReading {
    enum class Verdict { Registered, Available, NoAnswer };
    Verdict verdict = Verdict::NoAnswer;
    std::string Registrar;      // GBK; the registrar entity's vCard "fn"
    std::string CreationDate;   // Y-M-D, or empty
    std::string ExpirationDate; // Y-M-D, or empty
    std::string why;            // with NoAnswer: why the answer was not taken
};

// The address of the domain object for a bare name under a service's base
// address (ending in "/"): base + "domain/" + the name in lower case + ".com".
// A byte that is no letter, digit or "-" is percent-encoded, so odd input
// cannot change the address's shape.
std::string RdapDomainUrl(std::string_view base, std::string_view bareName);

// Reads the registry service's answer for bareName (the label asked, without
// ".com"). The only way a name is available is the registry's own "no such
// domain": a 404 whose content type is application/rdap+json (or
// application/json) and whose body is empty or an error object with errorCode
// 404. A 404 of any other shape (a proxy's or a CDN's page, a moved service)
// is no answer. 200 with a domain object whose ldhName is the name (any case,
// one trailing dot allowed) means registered, with the dates of the first
// "registration" and "expiration" events and the registrar's name; anything
// else is no answer. Whether the service's 404s are believed at all is the
// caller's to decide (see TRdapTrust).
TRdapReading ReadRdapAnswer(long status, std::string_view contentType, const std::string& body,
                            std::string_view bareName);

// True for a media type of JSON as RDAP serves it: application/rdap+json or
// application/json, any case, parameters ("; charset=utf-8") allowed.
bool IsRdapContentType(std::string_view contentType);

// The UTC calendar day ("2016-11-20") of an RDAP timestamp: RFC 3339 with "Z"
// or an offset, and the forms seen in the field (fractions, "+0000", "+09",
// no zone at all, read as UTC, or a bare date). Empty for anything else.
std::string RdapUtcDay(std::string_view timestamp);
