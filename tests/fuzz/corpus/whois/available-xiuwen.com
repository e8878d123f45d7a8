XiuWenNo match for "XIUWEN.COM".
>>> Last update of whois database: 2026-12-01T10:20:30Z <<<

NOTICE: The expiration date displayed in this record is the date the
registrar's sponsorship of the domain name registration in the registry is
currently set to expire. This date does not necessarily reflect the expiration
date of the domain name registrant's agreement with the sponsoring
registrar.

TERMS OF USE: This answer is test data made for the program's own tests.

The Registry database contains ONLY .COM, .NET, .EDU domains and
Registrars.
