#pragma once
// The enumerations of a document's properties, and the library's version.

namespace Vellix {

// Length unit of every caller coordinate.
enum TLengthUnit {
  luTenth,  // a tenth of a millimetre (the default)
  luPoint,  // a PDF point, 1/72 inch
};

enum TPrinterOrientation { poPortrait, poLandscape };

// How images are stored: samples as they are, zlib-compressed, or as JPEG.
enum TPdfCompressMode { cpNone, cpZlib, cpJpeg };

// What the bytes of text arguments mean: code page 1252 (the classic
// output), or UTF-8 drawn with shaping and subset Unicode fonts.
enum TTextEncoding { teAnsi, teUtf8 };

// The library version, also written in every document's /Producer entry.
inline constexpr const char* VellixVersion = "1.4";

}  // namespace Vellix
