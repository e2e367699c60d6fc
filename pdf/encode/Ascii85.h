#pragma once
// ASCII85 encoding of image and font data. Every group of four bytes becomes
// five characters "!" to "u", or "z" for four zero bytes; the data ends with
// "~>". The final group is always written with five characters (the bytes
// padded with zeros), so a reader may decode up to three zero bytes after the
// data, which the zlib, JPEG and raw sample formats that follow ignore. No
// line breaks are inserted.

#include <cstdint>
#include <string>

#include <vellix/Stream.h>

namespace Vellix {

// Encodes all of aSource into aDest, which is overwritten from its start and
// holds exactly the encoded characters and "~>" afterwards.
void EncodeASCII85(TMemoryStream& aSource, TMemoryStream& aDest);

// Appends the encoding of aCount bytes (with the terminator) to aOut.
void AppendASCII85(std::string& aOut, const void* aData, size_t aCount);

}  // namespace Vellix
