#pragma once

// A daily exchange rates document in the bank's format, written for the
// tests: the envelope with its subject and sender, a Cube holding one dated
// Cube, and one Cube per currency with its rate against the euro.

namespace pq::test {

inline constexpr const char* kReferenceRatesSample =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<gesmes:Envelope xmlns:gesmes=\"http://www.gesmes.org/xml/2002-08-01\" "
    "xmlns=\"http://www.ecb.int/vocabulary/2002-08-01/eurofxref\">\n"
    "\t<gesmes:subject>Reference rates</gesmes:subject>\n"
    "\t<gesmes:Sender>\n"
    "\t\t<gesmes:name>European Central Bank</gesmes:name>\n"
    "\t</gesmes:Sender>\n"
    "\t<Cube>\n"
    "\t\t<Cube time='2026-12-08'>\n"
    "\t\t\t<Cube currency='USD' rate='1.0845'/>\n"
    "\t\t\t<Cube currency='JPY' rate='163.27'/>\n"
    "\t\t\t<Cube currency='GBP' rate='0.84213'/>\n"
    "\t\t\t<Cube currency='CHF' rate='0.9412'/>\n"
    "\t\t\t<Cube currency='XTS' rate='2.5'/>\n"
    "\t\t\t<Cube currency='HUF' rate='401.15'/>\n"
    "\t\t</Cube>\n"
    "\t</Cube>\n"
    "</gesmes:Envelope>\n";

} // namespace pq::test
