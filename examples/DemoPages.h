#pragma once
// The pages of the demonstration document. Each function draws one page (or,
// for the report, several) on the current page of aDoc; the caller begins
// the document and calls NewPage between them. Coordinates are in the
// document's length unit: tenths of a millimetre on A4 unless said otherwise.

#include <string>
#include <vector>

#include "Vellix.h"

namespace VellixDemo {

// A section of the document: the name of its destination and its title.
struct TSection {
  std::string Name;
  std::string Title;
};

// The table of contents, each line a link to its section's destination
// (defined on a later page), and a link to the maker's web site.
void ContentsPage(Vellix::TVellix& aDoc, const std::vector<TSection>& aSections);

// "Page n of N" at the foot of the current page, in the canvas font of the
// page left as it was. Drawn from OnNewPage, as each page begins.
void Footer(Vellix::TVellix& aDoc);

// Page sizes and length units: the paper sizes the library knows, drawn to
// scale, and a ruler in tenths of a millimetre along the page edges.
void PaperPage(Vellix::TVellix& aDoc);

// Pens and brushes: every pen style and a range of widths, brush colours and
// the brush styles (hatched styles fill solid in PDF).
void PensAndBrushesPage(Vellix::TVellix& aDoc);

// Every shape of the canvas: lines, rectangles, polylines, polygons, Bezier
// curves, ellipses, rounded rectangles, arcs, chords and pies.
void ShapesPage(Vellix::TVellix& aDoc);

// Text in several families, sizes, styles and colours, measured, rotated and
// underlined.
void TextPage(Vellix::TVellix& aDoc);

// Pictures generated in code, drawn as a bitmap, a JPEG image and a PNG
// image, stretched, at natural size and as a copied region.
void ImagesPage(Vellix::TVellix& aDoc);

// The picture the images page uses: a colour gradient with a few discs,
// aWidth x aHeight pixels.
void MakePicture(Vellix::TBitmap& aBitmap, int32_t aWidth, int32_t aHeight);

}  // namespace VellixDemo
