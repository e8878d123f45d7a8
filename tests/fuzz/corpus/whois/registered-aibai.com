AiBai   Domain Name: AIBAI.COM
   Registry Domain ID: 1234567_DOMAIN_COM-VRSN
   Registrar WHOIS Server: whois.registrar.example
   Registrar URL: http://www.registrar.example
   Updated Date: 2021-03-02T08:11:12Z
   Creation Date: 2003-11-24T05:00:00Z
   Registry Expiry Date: 2027-11-24T05:00:00Z
   Registrar: Example Names Ltd.
   Registrar IANA ID: 9999
   Domain Status: clientTransferProhibited https://icann.org/epp#clientTransferProhibited
   Name Server: NS1.AIBAI.COM
   Name Server: NS2.AIBAI.COM
   DNSSEC: unsigned
   URL of the ICANN Whois Inaccuracy Complaint Form: https://www.icann.org/wicf/
>>> Last update of whois database: 2026-12-01T10:20:30Z <<<

For more information on Whois status codes, please visit https://icann.org/epp

NOTICE: The expiration date displayed in this record is the date the
registrar's sponsorship of the domain name registration in the registry is
currently set to expire. This date does not necessarily reflect the expiration
date of the domain name registrant's agreement with the sponsoring
registrar.

TERMS OF USE: This answer is test data made for the program's own tests.
