// The three reversible byte codecs of the data files. Each returns a string as long as its input
// up to the first NUL byte: the mirror codecs copy the bytes after a NUL unchanged, the other two
// end their output before it. Positions count from 1.
#pragma once

#include "lib/text.h"

#include <cstdint>

namespace termdex {

// Shipped index lines; seed: the line's 1-based number in its file.
Cp1253 MirrorDecode(int32_t seed, Cp1253View coded);
Cp1253 MirrorEncode(int32_t seed, Cp1253View plain);
// MirrorDecode into a caller's buffer, so a load of many lines allocates once.
void MirrorDecodeInto(int32_t seed, Cp1253View coded, Cp1253 &out);

// Shipped descriptions; seed: the 1-based file position of the text's first byte (offset + 1).
// Exact inverses for byte values 10..217.
Cp1253 DescriptionDecode(int32_t seed, Cp1253View coded);
Cp1253 DescriptionEncode(int32_t seed, Cp1253View plain);

// The reader's own files; the key comes from each byte's position. Exact inverses for 32..254.
Cp1253 ShiftCodec(Cp1253View text, bool decode);

} // namespace termdex
