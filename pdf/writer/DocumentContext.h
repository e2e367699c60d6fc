#pragma once
// What the drawing code shares with the document it draws into: the writer,
// the page geometry and the output settings of the document, and whether a
// document is open. The component owns one and keeps it current as its
// properties change; the canvas, the fonts, the images and the grids read it
// and write through its writer, never through the component itself.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include <vellix/DocumentTypes.h>
#include <vellix/Messages.h>
#include <vellix/StringList.h>

#include "writer/PdfWriter.h"

namespace Vellix {

struct TDocumentContext {
  // aAbort aborts the open document (the component's Abort); the writer runs
  // it before every failure it raises.
  explicit TDocumentContext(std::function<void()> aAbort)
      : Abort(std::move(aAbort)), Writer([this] { Abort(); }) {}
  TDocumentContext(const TDocumentContext&) = delete;
  TDocumentContext& operator=(const TDocumentContext&) = delete;

  // The error rule of the document (see TPdfWriter::Fail).
  [[noreturn]] void RaiseError(const std::string& aMsg, const std::string& aInfo = "") {
    Writer.Fail(aMsg, aInfo);
  }

  std::function<void()> Abort;
  TPdfWriter Writer;

  // Page size in the length unit, and the conversions of the unit: points per
  // unit (72/254 for tenths, 1 for points), units per pixel of the 96 dpi
  // measuring resolution, units per tenth of a millimetre.
  int32_t PageWidth = 0;
  int32_t PageHeight = 0;
  long double PointPerUnit = 0;
  double PointPerUnitAsDouble = 0;  // the same rounded, for the double paths
  bool UnitIsPoint = false;  // PointPerUnit is 1: a whole length is its own text
  long double UnitPerPixel = 0;
  long double UnitPerTenth = 0;

  // Output settings, fixed while a document is open.
  TPdfCompressMode ImageCompressMode = cpNone;
  bool EmbedFonts = false;
  TStringList<> NonEmbeddedFonts;
  // The opt-in compact output: page content compressed; the same pixels
  // placed again share one image object, and a JPEG file passes its own bytes.
  bool CompressContent = false;
  bool ShareImages = false;
  // PNG transparency kept as soft masks (PDF 1.4).
  bool KeepTransparency = false;
  // Text arguments are UTF-8, drawn through Unicode fonts.
  TTextEncoding TextEncoding = teAnsi;
  // A compact document is binary: its streams carry no ASCII85 layer.
  bool Compact() const { return CompressContent || ShareImages; }

  // A document is open; or it was aborted, after which drawing does nothing
  // until the next one begins.
  bool Printing = false;
  bool Aborted = false;
  // The check before every drawing call: false after an abort, "Document not
  // opened" when no document is open. Inline for the drawing calls that run
  // thousands of times a page, with the error apart.
  bool ReadyToDraw() {
    if (Aborted) return false;
    if (!Printing) RaiseNotOpened();
    return true;
  }
  [[noreturn, gnu::noinline, gnu::cold]] void RaiseNotOpened() { RaiseError(MSG_DOCUMENT_NOT_OPENED); }

  // Object numbers of the pages written so far, in page order; in blocks,
  // like the writer's addresses, so that growing never copies them.
  std::deque<int32_t> PageObjNos;
};

}  // namespace Vellix
