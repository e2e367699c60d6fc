#pragma once
// The library's internal view of a document, for tests that check what the
// drawing code registered: its fonts, images, pages and writer state.

#include "Vellix.h"
#include "canvas/PdfImage.h"
#include "canvas/PdfResources.h"
#include "text/PdfFont.h"
#include "writer/DocumentContext.h"
#include "writer/PdfNumber.h"
#include "writer/PdfSyntax.h"

namespace VellixTest {

inline Vellix::TDocumentContext& Context(Vellix::TVellix& aDoc) { return aDoc.Canvas().Context(); }
inline Vellix::TStringList<Vellix::TPdfFont>& Fonts(Vellix::TVellix& aDoc) { return aDoc.Canvas().Resources().Fonts(); }
inline Vellix::TPdfResources& Resources(Vellix::TVellix& aDoc) { return aDoc.Canvas().Resources(); }

}  // namespace VellixTest
