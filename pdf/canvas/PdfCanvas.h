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
#include <string>
#include <vector>

#include "platform/Alignment.h"
#include "platform/Brush.h"
#include "platform/Font.h"
#include "platform/Geometry.h"
#include "platform/Pen.h"
#include "platform/StringList.h"
#include "text/TextBox.h"

namespace Vellix {

class TVellix;
class TPdfImage;
class TPdfGrid;

class TPdfCanvas : public TObject {
public:
  // Created by the document with itself as owner; the font name starts as "Arial".
  explicit TPdfCanvas(TVellix& aOwner);
  ~TPdfCanvas() override;
  TPdfCanvas(const TPdfCanvas&) = delete;
  TPdfCanvas& operator=(const TPdfCanvas&) = delete;

  // ---- State ----

  TVellix& Owner() const { return FOwner; }
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
  // The page buffer: one content line per entry, without line end, in drawing order.
  std::vector<std::string>& PdfStream() { return FPdfStream; }
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
  void AddLine(std::string aLine) { FPdfStream.push_back(std::move(aLine)); }

  // ---- Page output ----

  // Writes the current page: its content stream, the images it introduced,
  // its page object (recorded in the document's PageObjNos()); then empties
  // the buffer and resets the position. Called by NewPage and EndDoc.
  void WritePage();
  // Empties the page buffer and resets the position (a document begins).
  void ResetPage();

  // ---- Shapes ----

  // ---- Images ----

  // Writes the image object of aImage and returns its object number. WritePage
  // releases the image afterwards.
  int32_t WriteImage(TPdfImage& aImage);

  // ---- Text ----

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

  // ---- Grids ----

  // Named table layouts (see text/PdfGrid.h); names ignore letter case. Every
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
  void TextToCell(const std::string& aGridName, int32_t Col, int32_t Row, const std::string& Text);
  // The grid of that name; "Invalid Grid name: Name" when there is none.
  TPdfGrid& GridByName(const std::string& aGridName);
  // Forgets the rows of every grid (a page has begun).
  void ClearGridRows();

private:
  TPdfGrid* FindGrid(const std::string& aGridName) const;
  int32_t FBitmapRes = TFont::PixelsPerInch;
  long double FFontAngle = 0;
  TStringList<TPdfGrid> FGrids;
  TVellix& FOwner;
  std::vector<std::string> FPdfStream;
  TPoint FPenPos;
  long double FPointPerPixel = 0;
  int32_t FTextY = 0;
  TPen FPen;
  TBrush FBrush;
  TFont FFont;
};

}  // namespace Vellix
