#pragma once
// The streams of a font resource (its program, its character map): data
// compressed with zlib, with an ASCII85 layer unless the document is binary.

#include <cstdint>
#include <string>
#include <vector>

namespace Vellix {

class TPdfWriter;

// Writes aData as a new stream object with /Filter and /Length, then the
// lines of aEntries (each a complete dictionary entry) before ">>"; returns
// its object number. Compression errors are thrown, not swallowed.
int32_t WriteFontStream(TPdfWriter& aWriter, const std::vector<uint8_t>& aData, bool aBinary,
                        const std::vector<std::string>& aEntries = {});

}  // namespace Vellix
