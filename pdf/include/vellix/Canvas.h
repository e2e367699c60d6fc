#pragma once
// TPdfCanvas: the drawing surface of a TVellix document (its Canvas()). It
// offers the familiar canvas vocabulary (pen, brush, font, current position,
// shapes in integer coordinates with the origin at the top left) and appends
// PDF content operators, one line at a time, to the page buffer PdfStream(),
// which the document writes out as the page's content stream.
//
// Coordinates and lengths are integers in the document's LengthUnit(); they
// become PDF points (origin bottom left) through UnitToPoint and YToPoint.
// Pen, brush, font, font angle and grids carry over from page to page and
// from document to document.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <vellix/Alignment.h>
#include <vellix/Brush.h>
#include <vellix/CellStyle.h>
#include <vellix/Color.h>
#include <vellix/Font.h>
#include <vellix/Geometry.h>
#include <vellix/Pen.h>
#include <vellix/Export.h>
#include <vellix/PageBuffer.h>
#include <vellix/StringList.h>

namespace Vellix {

struct TDocumentContext;
class TPdfFont;
class TPdfImage;
class TPdfResources;
class TGraphic;
class TBitmapCanvas;
class TPdfGrid;
class TPageCompressor;
class TNavigation;
class TPageCountForms;
class TUnicodeText;
namespace Detail {
class TContentLines;
struct TKeptContent;
}

class VELLIX_API TPdfCanvas : public TObject {
public:
  // Created by the document over the state it shares with its drawing code;
  // the font name starts as "Arial".
  explicit TPdfCanvas(TDocumentContext& aContext);
  ~TPdfCanvas() override;
  TPdfCanvas(const TPdfCanvas&) = delete;
  TPdfCanvas& operator=(const TPdfCanvas&) = delete;

  // ---- State ----

  // The library's own view of the document: its writer, geometry and
  // settings (an internal type).
  TDocumentContext& Context() const { return FContext; }
  // The fonts and images the document has used so far (an internal type).
  TPdfResources& Resources() { return *FResources; }
  // The links, named destinations and outline of the document (an internal
  // type), and the forms that show its page count.
  TNavigation& Navigation() { return *FNavigation; }
  TPageCountForms& PageCountForms() { return *FPageCountForms; }
  // The pen outlining shapes (Width in the length unit), default black, solid, 1.
  TPen& Pen() { return FPen; }
  // The brush filling shapes, default white, solid; hatch styles fill solid.
  TBrush& Brush() { return FBrush; }
  // The font of text output.
  TFont& Font() { return FFont; }
  // Text angle in radians, counter-clockwise; 0 at construction.
  long double FontAngle() const { return FFontAngle; }
  void SetFontAngle(long double aAngle) { FFontAngle = aAngle; }
  // The same angle in degrees.
  long double FontDegreeAngle() const;
  void SetFontDegreeAngle(long double aDegrees);
  // Named grids (string = grid name, object = the grid, owned); they outlive documents.
  TStringList<TPdfGrid>& Grids() { return FGrids; }
  // The page buffer: the content lines of the current page in drawing order.
  TPageBuffer& PdfStream() { return FPdfStream; }
  // Current position in caller coordinates; (0, 0) when a page begins.
  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(TPoint aPos) { FPenPos = aPos; }
  // Running vertical text position of text boxes, in the length unit.
  int32_t TextY() const { return FTextY; }
  void SetTextY(int32_t aY) { FTextY = aY; }
  // Logical pixels per inch of the measuring context (96).
  int32_t BitmapRes() const { return FBitmapRes; }
  // Points per pixel of the measuring context: 72 / BitmapRes().
  long double PointPerPixel() const { return FPointPerPixel; }

  // ---- Helpers of the drawing operations ----

  // A length in the length unit as points (not rounded).
  long double UnitToPoint(int32_t aValue) const;
  // A caller y coordinate as a PDF y in points: (PageHeight - y) in points.
  long double YToPoint(int32_t aValue) const;
  // The colour operands "r g b " (each 0 to 1, PDF number format, trailing
  // blank); system colours are resolved first. Append "rg" or "RG".
  std::string ColorDef(TColor aColor) const;
  // Appends the fill colour line when a background is wanted and the brush is
  // not clear, and the stroke colour, dash and width lines when a border is
  // wanted and the pen is neither clear nor of width 0. Returns the paint
  // operator: "B" (both), "S" (border), "f" (background) or "" (nothing to draw).
  std::string AssignBrushAndPen(bool aWantBorder, bool aWantBackground);
  // Orders the corners so that (X1, Y1) is the top left; raises "Bad rectangle
  // definition" when the rectangle has no width or no height.
  void CheckRectangle(int32_t& X1, int32_t& Y1, int32_t& X2, int32_t& Y2);
  // The state check that every public drawing operation makes first: false
  // after an abort (the caller returns at once, silently), raises "Document
  // not opened" when no document is open, true while printing.
  bool CheckDocumentState();
  // Appends one content line to the page buffer.
  void AddLine(std::string_view aLine) { FPdfStream.push_back(aLine); }

  // ---- Page output ----

  // Writes the current page: its content stream, the images it introduced,
  // its page object (recorded in the document's PageObjNos()); then empties
  // the buffer and resets the position. Called by NewPage and EndDoc.
  void WritePage();
  // Empties the page buffer and resets the position (a document begins).
  void ResetPage();
  // Forgets the fonts, images, forms and navigation of the document before
  // (a document begins).
  void ClearDocument();

  // ---- Shapes: lines, rectangles, polylines, polygons, Bezier curves ----
  // Coordinates are in the document's length unit, origin at the top left of
  // the page. Every operation below first checks the document: after an
  // abort it does nothing, with no document open it fails with "Document not
  // opened". Failures abort the document before they are raised.

  // Sets the current position (PenPos) to (X, Y); writes nothing.
  void MoveTo(int32_t X, int32_t Y);
  // Strokes a line from the current position to (X, Y) with the pen, then
  // moves the current position there (also when the pen is invisible).
  void LineTo(int32_t X, int32_t Y);
  // Outlines with the pen and fills with the brush the rectangle between two
  // corners given in any order. "Bad rectangle definition" when it has no
  // width or no height.
  void Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
  void Rectangle(const TRect& aRect);
  // Fills aRect with the brush (nothing with a clear brush); no outline. The
  // rectangle is taken as given: a reversed one keeps its negative size.
  void FillRect(const TRect& aRect);
  // Outlines aRect with a solid line one length unit wide in the brush colour,
  // whatever the pen and the brush style.
  void FrameRect(const TRect& aRect);
  // Strokes the open path through Points (at least 2, else "Bad parameters
  // for method: Polyline"); when it draws, the current position becomes the
  // last point.
  void Polyline(std::span<const TPoint> Points);
  void Polyline(std::initializer_list<TPoint> Points);
  // Fills and outlines the path through Points (at least 2, else "Bad
  // parameters for method: Polygon"). The outline is not closed back to the
  // first point; the fill is. The current position is unchanged.
  void Polygon(std::span<const TPoint> Points);
  void Polygon(std::initializer_list<TPoint> Points);
  // Strokes cubic Bezier segments: Points[0] starts, then each group of three
  // (control, control, end) adds a segment; a trailing incomplete group is
  // ignored. At least 4 points, else "Bad parameters for method: PolyBezier".
  // Never filled; the current position is unchanged.
  void PolyBezier(std::span<const TPoint> Points);
  void PolyBezier(std::initializer_list<TPoint> Points);
  // PolyBezier, then the current position becomes the end of the last
  // segment (even with an invisible pen). Point 0 is the start; the current
  // position is not used as one.
  void PolyBezierTo(std::span<const TPoint> Points);
  void PolyBezierTo(std::initializer_list<TPoint> Points);

  // Line writers for other drawing code: no document check, no pen state.
  // DrawMoveTo appends "x y m"; DrawLineTo appends "x y l", followed by a
  // blank and aPaintOp when that is not empty.
  void DrawMoveTo(int32_t X, int32_t Y);
  void DrawLineTo(int32_t X, int32_t Y, const std::string& aPaintOp);

  // ---- Shapes: ellipses, arcs, chords, pies, rounded rectangles ----
  // Each takes a bounding rectangle (corners in any order; "Bad rectangle
  // definition" when it has no width or no height) and neither uses nor
  // changes the current position.

  // Control-point fraction of the radii for a quarter ellipse drawn as one
  // cubic Bezier curve (0.5522847498, not the exact 4/3 (sqrt 2 - 1)).
  static constexpr long double Kappa = 0.5522847498L;

  // Appends one quarter ellipse from (X1, Y1) to (X2, Y2) as its own subpath
  // "m ... c aPaintOp"; the control points are the ends moved by
  // Kappa * (DX1, DY1) and Kappa * (DX2, DY2). No document check.
  void DrawEllipticCorner(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t DX1, int32_t DY1, int32_t DX2,
                          int32_t DY2, const std::string& aPaintOp);
  // Outlines with the pen and fills with the brush the ellipse inscribed in
  // the rectangle.
  void Ellipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
  void Ellipse(const TRect& aRect);
  // A rectangle with quarter-ellipse corners of horizontal radius X3 and
  // vertical radius Y3 (radii, not diameters; not checked against the size).
  void RoundRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3);
  // Appends the arc of the ellipse inscribed in (X1, Y1)-(X2, Y2), counter-
  // clockwise from the radial through (X3, Y3) to the radial through (X4, Y4),
  // as a move and one line per angular step of 1 / (rx + ry) radians (about
  // one unit of arc); then aPaintOp on its own line when not empty. Returns
  // the first and last points in P3 and P4. No document check.
  void DrawArc(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4,
               TPoint& P3, TPoint& P4, const std::string& aPaintOp);
  // Strokes that arc with the pen.
  void Arc(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4);
  // The arc closed by the straight chord between its ends, filled and outlined.
  void Chord(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4);
  // The wedge between the arc and the centre, filled and outlined.
  void Pie(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4);

  // ---- Images ----

  // Places aGraphic (any picture: bitmap, JPEG, PNG) scaled into aRect: the
  // picture is encoded now in the document's ImageCompressMode and named
  // "/Im" + its index in the document's image list. A reversed rectangle
  // mirrors; an empty rectangle or picture draws nothing. A null graphic
  // raises "Invalid method call" (the document is aborted); an encoder error
  // propagates unchanged and leaves page and image list as they were.
  void StretchDraw(const TRect& aRect, const TGraphic* aGraphic);
  // Places aGraphic at its natural size (pixels x the document's
  // UnitPerPixel(), rounded) with its top-left corner at (X, Y).
  void Draw(int32_t X, int32_t Y, const TGraphic* aGraphic);
  // Places the aSource region of a bitmap canvas scaled into aDest (a
  // reversed source rectangle mirrors the region).
  void CopyRect(const TRect& aDest, const TBitmapCanvas& aCanvas, const TRect& aSource);
  // Writes the image object of aImage and returns its object number. WritePage
  // releases the image afterwards.
  int32_t WriteImage(TPdfImage& aImage);

  // ---- Text ----

  // Writes Text (8-bit text in code page 1252; see vellix/CodePage.h for
  // UTF-8) as one line with its top-left corner at (X, Y) in the length unit,
  // in Font() (name, size, colour, bold, italic, underline) and at FontAngle()
  // (counter-clockwise about the baseline origin, which lies Size * ascent
  // below Y). "(", ")", "\\", CR and LF are escaped: one call never breaks the
  // line. The first use of a font writes its resource (PdfFont).
  void TextOut(int32_t X, int32_t Y, const std::string& Text);
  // Width of Text in Font(), in the length unit, 2 % wider than measured (so a
  // line laid out with it never runs past what a reader draws); 0 for "".
  int32_t TextWidth(const std::string& Text);
  // The cell height (ascent + descent) of Font() in the length unit, whatever
  // the characters of Text.
  int32_t TextHeight(const std::string& Text);
  // {TextWidth(Text), TextHeight(Text)}.
  TSize TextExtent(const std::string& Text);
  // Removes characters from the end of aText until it is empty or
  // TextWidth(aText) <= aMaxWidth. Nothing is appended (no ellipsis).
  void TruncateText(std::string& aText, int32_t aMaxWidth);
  // With no document open these raise "Document not opened"; after an abort
  // TextOut writes nothing and the measurements return 1.

  // ---- Text boxes ----

  // Lays Text out in the box (X1, Y1)-(X2, Y2), length units from the top
  // left of the page: Y1 = 0 stands for TextY(), Y2 = 0 for the page height.
  // Lines end at CR LF, CR or LF, and where too wide for the box after the
  // rightmost blank or ! * + , - . / : ; = ? that fits (a word wider than the
  // box is cut). The line height is TextHeight("A"); the box holds
  // (Y2 - Y1) / line height lines, at least one; a bottom a line or more
  // above the top sets no limit.
  // Lines are aligned by aAlignment and the block by aVertAlignment, never
  // left of X1 nor above Y1. Sets TextY() below the last line; returns the
  // number of characters left over (0 when all were drawn).
  int32_t DrawText(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TAlignment aAlignment,
                   TVertAlignment aVertAlignment, const std::string& Text);
  // With taJustify every line but the last of a paragraph (one ending at a
  // line end, or the last of the text) is stretched to end at X2: its blanks
  // widen (word spacing), trailing blanks are left out; a line without a
  // blank stays left-aligned.

  // The lines DrawText(X1, Y1, X1 + aWidth, ...) makes of Text in a box of
  // unlimited height, and their height (lines x TextHeight("A")), in the
  // current font. Draws nothing; needs an open document like TextWidth.
  TTextMeasure MeasureText(int32_t aWidth, const std::string& Text);

  // ---- Graphics state: save and restore, clipping, transformations ----
  // In the habit of QPainter: what is drawn next (shapes, text, images,
  // grids) is clipped and transformed; coordinates stay the canvas's, in the
  // length unit from the top-left corner of the page, y down. The classic
  // output never contains these operators: they appear only when called.

  // Saves the graphics state (clip and transformation) and the canvas's pen,
  // brush, font and font angle; RestoreState puts all of them back. States
  // nest. A state still saved when the page ends is restored there (the pen,
  // brush and font stay as they are then, as they always carry over).
  void SaveState();
  // "Invalid method call: RestoreState" with no state saved on this page.
  void RestoreState();
  // Limits what is drawn next to aRect (in the current transformation),
  // within the clip already set: clips only narrow. Corners in any order.
  void ClipRect(const TRect& aRect);
  // Moves what is drawn next by (DX, DY) length units.
  void Translate(int32_t DX, int32_t DY);
  // Turns what is drawn next about the current origin (the page's top-left
  // corner, unless translated) by aDegrees, clockwise on the page as y
  // grows downwards (QPainter's sense).
  void Rotate(long double aDegrees);
  // Scales what is drawn next about the current origin.
  void Scale(long double aScaleX, long double aScaleY);
  // How many states SaveState has saved on this page.
  int32_t SavedStates() const { return int32_t(FSavedStates.size()); }

  // ---- Links and the page count ----
  // A link is a rectangle of the current page (corners in any order, in the
  // length unit) that the reader makes clickable. It has no visible border,
  // or a thin one in aBorder when that is given. Links are written with their
  // page, so each costs a few bytes of memory only until then, or, for a
  // link to a later page, until that page is written.

  // Opens aUri (for example "https://example.org/") in the reader's browser.
  void LinkToUri(const TRect& aRect, const std::string& aUri, std::optional<TColor> aBorder = std::nullopt);
  // Jumps to page aPage (from 1; a later page may be named) with the height
  // aY of that page (length unit from its top) at the top of the window.
  // "Invalid page number" for a page below 1 here, and at EndDoc for a page
  // the document did not reach.
  void LinkToPage(const TRect& aRect, int32_t aPage, int32_t aY = 0, std::optional<TColor> aBorder = std::nullopt);
  // Jumps to the named destination aName (TVellix::AddDestination), which
  // may be defined later in the document; one still undefined at EndDoc
  // fails with "Undefined destination: aName".
  void LinkToDestination(const TRect& aRect, const std::string& aName, std::optional<TColor> aBorder = std::nullopt);
  // Draws the number of pages of the document (known at its end) like
  // TextOut at (X, Y), in Font() and at FontAngle(): from X with
  // taLeftJustify, ending at X + aWidth with taRightJustify, centred on
  // X + aWidth / 2 with taCenter. "Page 3 of " is drawn with TextOut and
  // measured with TextWidth; this draws the "12".
  void PageCountOut(int32_t X, int32_t Y, int32_t aWidth, TAlignment aAlignment);

  // ---- Grids ----

  // Named table layouts (see vellix/Grid.h); names ignore letter case. Every
  // error goes through the error rule (the open document is aborted).
  //
  // Creates the grid aGridName, or takes the existing one and deletes its
  // columns (its rows stay); sets its placement and inner cell margin.
  void DefineGrid(const std::string& aGridName, TAlignment aAlignment, int32_t aInternalMargin);
  // Appends a column aWidth wide with copies of the current Brush() (cell
  // background) and Pen() (left border).
  void DefineCol(const std::string& aGridName, int32_t aWidth, TAlignment aAlignment,
                 TVertAlignment aVertAlignment, bool aMultiLine);
  // Places the grid with its top at Y (TPdfGrid::Draw).
  void DrawGrid(const std::string& aGridName, int32_t X, int32_t Y);
  // Adds and draws a row aRowHeight high (TPdfGrid::DrawRow).
  void DrawRow(const std::string& aGridName, int32_t aRowHeight);
  // Writes Text into column Col of row Row (both from 0; rows of this page);
  // "Invalid cell: Name(Col,Row)" outside them.
  // Returns the number of characters that did not fit, like DrawText: the
  // rest of a wrapping cell's text below its bottom, or what a one-line cell
  // cut at its right; 0 when all was drawn.
  int32_t TextToCell(const std::string& aGridName, int32_t Col, int32_t Row, const std::string& Text);
  // The same with aStyle overriding the column's alignments and the font's
  // style for this cell.
  int32_t TextToCell(const std::string& aGridName, int32_t Col, int32_t Row, const std::string& Text,
                     const TCellStyle& aStyle);
  // The lines and height (inner margins included) that Text needs in column
  // Col of the grid, in the current font with aStyle's font style: the row
  // height that shows all of it ("Invalid cell: Name(Col,-1)" for no such
  // column). A one-line column needs one line.
  TTextMeasure MeasureCell(const std::string& aGridName, int32_t Col, const std::string& Text,
                           const TCellStyle& aStyle = {});
  // DrawRow with the row's background painted with aRowBrush instead of the
  // columns' brushes (a shaded header, alternate rows).
  void DrawRow(const std::string& aGridName, int32_t aRowHeight, const TBrush& aRowBrush);
  // The grid of that name; "Invalid Grid name: Name" when there is none.
  TPdfGrid& GridByName(const std::string& aGridName);
  // Forgets the rows of every grid (a page has begun).
  void ClearGridRows();

  // The font resource of a canvas font, created and written on first use.
  TPdfFont& PdfFont(const TFont& aFont);

private:
  TPdfGrid* FindGrid(const std::string& aGridName) const;
  // Writes the content object aObjectNo of the page last given to the
  // compressor, once it is compressed (the writer's pending write).
  void WriteCompressedContent(int32_t aObjectNo);
  // The font services' measurement of Font() (text output).
  const class TFontMetrics& MeasuringFont();
  // TextOut with aWordSpacing points added to each blank (justified lines).
  void TextOutSpaced(int32_t X, int32_t Y, const std::string& Text, long double aWordSpacing);
  // The width of Text in Font() in points as a reader draws it (no allowance).
  long double TextWidthInPoints(const std::string& Text);
  // The lines of Text in a box aWidth wide (DrawText's rules), at most
  // aMaxLines of them (no limit when aMaxLines <= 0).
  struct TBrokenText BreakInBox(int32_t aWidth, int64_t aMaxLines, const std::string& Text);
  // One justified line from X: its blanks widened so that it ends at aRight.
  void DrawJustifiedLine(int32_t X, int32_t Y, int32_t aRight, const std::string& aLine);
  // AssignBrushAndPen written through content lines already open on the
  // page buffer, so that a shape's own line can follow in the same piece.
  // (Inline, in canvas/BrushAndPen.h: most shapes replay the lines kept.)
  std::string_view WriteBrushAndPen(Detail::TContentLines& aLines, bool aWantBorder, bool aWantBackground);
  // The same when the lines kept are for another pen and brush: writes them
  // anew and keeps them.
  std::string_view WriteNewBrushAndPen(Detail::TContentLines& aLines, bool aWantBorder, bool aWantBackground);
  // The Unicode text operations when the document's text is UTF-8, else null.
  TUnicodeText* UnicodeText() const;
  // Appends "a b c d e f cm".
  void AddMatrix(long double A, long double B, long double C, long double D, long double E, long double F);
  // Closes the states still saved at the end of a page.
  void CloseSavedStates();

  struct TSavedState {
    TPen Pen;
    TBrush Brush;
    TFont Font;
    long double FontAngle;
  };
  std::vector<TSavedState> FSavedStates;

  int32_t FBitmapRes = TFont::PixelsPerInch;
  long double FFontAngle = 0;
  TStringList<TPdfGrid> FGrids;
  TDocumentContext& FContext;
  std::unique_ptr<TPdfResources> FResources;
  std::unique_ptr<TNavigation> FNavigation;
  std::unique_ptr<TPageCountForms> FPageCountForms;
  std::unique_ptr<TUnicodeText> FUnicodeText;
  TPageBuffer FPdfStream;
  std::unique_ptr<Detail::TKeptContent> FKept;  // the last brush and pen lines, text object start
  std::unique_ptr<TPageCompressor> FCompressor;  // compresses pages, made on first use
  TPdfFont* FLastFont = nullptr;  // the font resource PdfFont found last
  uint64_t FLastFontGeneration = 0;
  std::string FLastFontName;
  uint64_t FLastFontNameStamp = 0;  // FLastFontName's stamp (TFont::NameStamp)
  bool FLastFontBold = false, FLastFontItalic = false;
  TPoint FPenPos;
  long double FPointPerPixel = 0;
  int32_t FTextY = 0;
  TPen FPen;
  TBrush FBrush;
  TFont FFont;
};

}  // namespace Vellix
