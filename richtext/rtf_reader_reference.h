// The RTF reader with its text fast path turned off: every text byte and \'hh escape goes
// through the general token-by-token path. The fast path must report exactly the same events,
// and the tests and the fuzzer compare the two.
#pragma once

#include "richtext/rtf_reader.h"

namespace termdex {

// ReadRtf, reading text one token at a time.
bool ReadRtfByteByByte(Cp1253View rtf, RtfSink &sink);

} // namespace termdex
