#pragma once
// TVellix: the PDF document component. An application sets the page size,
// length unit, output file and document information, calls BeginDoc, draws
// each page on Canvas(), calls NewPage between pages and EndDoc at the end
// (or Abort to cancel). The document is written in one forward pass as a
// PDF 1.3 file, or into a stream that the caller supplies (OutStream).
//
// Units: every caller coordinate is an integer in LengthUnit() (tenths of a
// millimetre by default, or points), origin at the top left of the page. Page
// content is written in PDF points, origin at the bottom left.
//
// Errors: every failure goes through RaiseError, which first aborts the open
// document (partial file deleted, OnAbort fired) and then throws
// Vellix::Exception with the message "text" or "text: detail".

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <vellix/Component.h>
#include <vellix/DocumentTypes.h>
#include <vellix/Export.h>
#include <vellix/Messages.h>
#include <vellix/Stream.h>
#include <vellix/StringList.h>

namespace Vellix {

class TPdfCanvas;
struct TDocumentContext;

// Full path of the PDF viewer program; found on the first Show and reused by
// every component of the process while that file exists.
VELLIX_API extern std::string AcrobatFile;

class VELLIX_API TVellix : public TComponent {
public:
  // Builds the component with its defaults: tenths of a millimetre, portrait
  // A4 (2100 x 2970), JPEG images, no font embedding, and NonEmbeddedFonts
  // holding "Arial", "Courier New", "Symbol", "Times New Roman".
  explicit TVellix(TComponent* aOwner = nullptr);
  // Aborts an open document first (OnAbort fires); never throws.
  ~TVellix() override;
  std::string ClassName() const override { return "TVellix"; }
  const TPublishedTable& PublishedProperties() const override;  // VellixPublished.cpp

  // ---- Document lifecycle ----

  // Opens the output (OutStream if assigned, else the file FileName, default
  // "File.pdf"; a relative name is completed with the current directory),
  // replacing an existing file, writes
  // the document head, fires OnStart and begins page 1 (OnNewPage).
  void BeginDoc();
  // Writes the current page and begins the next (OnNewPage), then lets the
  // application process its pending events. Does nothing after an abort;
  // raises "Document not opened" when no document is open.
  void NewPage();
  // Writes the last page, the page tree, the resources, the cross-reference
  // table and the trailer; closes the file; fires OnEnd; opens the viewer when
  // WantShow is set. Does nothing when no document is open.
  void EndDoc();
  // Cancels the open document: the file is closed and deleted (a caller's
  // stream keeps what was written), later drawing calls are ignored until the
  // next BeginDoc, OnAbort fires. Does nothing when no document is open.
  void Abort();
  // Opens the document file in the desktop's PDF viewer, not waiting for it.
  void Show();
  // Opens the maker's web address followed by aPageRef in the web browser.
  void ConnectToMerovant(const std::string& aPageRef);

  // ---- State ----

  // The open document was aborted (Abort, an error, or a font the library
  // cannot use); drawing calls do nothing until the next BeginDoc.
  bool Aborted() const;
  bool Printing() const;
  // Number of pages begun in the current document: 1 during the first page.
  int32_t PageNumber() const { return FPageNumber; }
  // The current (or last) document went to a caller's stream.
  bool UserStream() const { return FUserStream; }
  TPdfCanvas& Canvas() { return *FCanvas; }
  // A caller's stream to write the next document to, from its current
  // position; not owned, and still assigned after EndDoc. Null (the default)
  // writes to FileName. Must not be replaced while a document is open.
  TStream* OutStream() const { return FOutStream; }
  void SetOutStream(TStream* aStream) { FOutStream = aStream; }

  // ---- Navigation: named destinations and the outline ----
  // Both need a document open ("Document not opened"), do nothing after an
  // abort, and take positions on the current page in the length unit. Links
  // to them are drawn on the canvas (TPdfCanvas::LinkToDestination). A
  // document that uses neither is written exactly as without them; one that
  // does ends with a catalog that names them.

  // Names the point (X, Y) of the current page, which links and outline
  // entries may then jump to (also those made earlier). Names are bytes,
  // compared exactly; an empty one is "Bad parameters for method:
  // AddDestination", one given twice "Duplicate destination: aName".
  void AddDestination(const std::string& aName, int32_t X = 0, int32_t Y = 0);
  // Appends an entry to the outline (the reader's bookmarks, shown beside
  // the document when there are any) that jumps to the height aY of page
  // aPage (from 1; a later page may be named, one the document never
  // reaches fails at EndDoc with "Invalid page number"). aLevel 1 is the
  // top; an entry more than one level below the entry before it is taken as
  // one level below. aOpen shows its children at first. aTitle is text like
  // TextOut's (code page 1252); it may be empty. A level below 1 is "Bad
  // parameters for method: AddOutline".
  void AddOutline(const std::string& aTitle, int32_t aLevel, int32_t aPage, int32_t aY = 0, bool aOpen = true);
  // The same entry jumping to a named destination, defined now or later (one
  // never defined fails at EndDoc: "Undefined destination: aName"). A level
  // below 1 or an empty name is "Bad parameters for method:
  // AddOutlineToDestination".
  void AddOutlineToDestination(const std::string& aTitle, int32_t aLevel, const std::string& aName,
                               bool aOpen = true);

  // ---- Published properties (in the order a form restores them) ----

  // Always "Merovant Vellix Builder"; assignments are ignored.
  std::string About() const { return "Merovant Vellix Builder"; }
  void SetAbout(const std::string&) {}
  const std::string& Author() const { return FAuthor; }
  void SetAuthor(const std::string& aValue) { FAuthor = aValue; }
  // Embed the font programs of fonts not listed in NonEmbeddedFonts.
  bool EmbedFonts() const;
  void SetEmbedFonts(bool aEmbedFonts);
  // Output file; BeginDoc completes a relative name with the current
  // directory, so FileName() then holds the absolute path written.
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& aFileName);
  TPdfCompressMode ImageCompressMode() const;
  void SetImageCompressMode(TPdfCompressMode aImageCompressMode);
  const std::string& Keywords() const { return FKeywords; }
  void SetKeywords(const std::string& aValue) { FKeywords = aValue; }
  // Changing the unit converts PageWidth and PageHeight (rounded, ties to even).
  TLengthUnit LengthUnit() const { return FLengthUnit; }
  void SetLengthUnit(TLengthUnit aLengthUnit);
  // Font families whose programs are never embedded; edit the list itself.
  TStringList<>& NonEmbeddedFonts();
  // Changing the orientation exchanges PageWidth and PageHeight.
  TPrinterOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TPrinterOrientation aOrientation);
  // Page size in the length unit; setting either makes the paper "Custom".
  int32_t PageHeight() const;
  void SetPageHeight(int32_t aPageHeight);
  int32_t PageWidth() const;
  void SetPageWidth(int32_t aPageWidth);
  // A name of the paper table ("A4", "letter": case of ASCII letters ignored,
  // first match wins); sets the page size for the current orientation.
  const std::string& PaperSizeName() const { return FPaperSizeName; }
  void SetPaperSizeName(const std::string& aPaperSizeName);
  const std::string& Subject() const { return FSubject; }
  void SetSubject(const std::string& aValue) { FSubject = aValue; }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& aTitle);
  // Open the file in the PDF viewer after EndDoc (file output only).
  bool WantShow() const { return FWantShow; }
  void SetWantShow(bool aValue) { FWantShow = aValue; }

  // ---- Compact output (off by default: the classic bytes) ----

  // Page content streams are compressed (/FlateDecode). With either of these
  // two properties on, the file is binary: a comment of four high bytes
  // follows the header, and image and font streams carry no ASCII85 layer.
  bool CompressContent() const;
  void SetCompressContent(bool aValue);
  // The same pixels placed again in the same mode use the image object
  // already written (found by a 128-bit hash of the pixels and their size);
  // a TJPEGImage loaded from a baseline RGB or greyscale file and placed in
  // cpJpeg passes the file's own bytes (/DCTDecode) instead of decoding and
  // encoding again. Progressive and CMYK files are encoded again as baseline
  // RGB, the form every reader draws.
  bool ShareImages() const;
  void SetShareImages(bool aValue);
  // A TPngImage with transparency keeps it: its own colours with its alpha
  // as a soft mask, instead of the picture composed over white (a logo on a
  // coloured band shows no white box). Soft masks need PDF 1.4, which the
  // header then says.
  bool KeepTransparency() const;
  void SetKeepTransparency(bool aValue);

  // ---- Unicode text (off by default: code page 1252) ----

  // teUtf8: every text argument of the canvas (TextOut, TextWidth,
  // TextHeight, TextExtent, TruncateText, DrawText, MeasureText, the grid
  // cells) and the document information strings and outline titles are
  // UTF-8. Text is shaped with HarfBuzz (kerning, ligatures, marks, Arabic
  // joining, Indic reordering), put in display order by the bidirectional
  // algorithm, broken in text boxes at the line break opportunities of
  // Unicode, and drawn with Type0 fonts that embed a subset of each face
  // used; characters the canvas font lacks come from the face fontconfig
  // prefers for them. Invalid UTF-8 is drawn as U+FFFD. Measurements are the
  // shaped widths, without the 2 % allowance of teAnsi. EmbedFonts and
  // NonEmbeddedFonts apply to teAnsi only: Unicode text always embeds.
  // "Invalid property value: TextEncoding" for a value outside the
  // enumeration.
  TTextEncoding TextEncoding() const;
  void SetTextEncoding(TTextEncoding aValue);

  // Events; each receives the component as sender. OnStart: the document head
  // is written, page 1 not yet begun. OnNewPage: a page has begun (PageNumber
  // holds its number). OnEnd: the document is complete and closed. OnAbort:
  // the document was aborted.
  void SetOnAbort(TNotifyEvent aEvent) { FOnAbort = std::move(aEvent); }
  void SetOnEnd(TNotifyEvent aEvent) { FOnEnd = std::move(aEvent); }
  void SetOnNewPage(TNotifyEvent aEvent) { FOnNewPage = std::move(aEvent); }
  void SetOnStart(TNotifyEvent aEvent) { FOnStart = std::move(aEvent); }
  const TNotifyEvent& OnAbort() const { return FOnAbort; }
  const TNotifyEvent& OnEnd() const { return FOnEnd; }
  const TNotifyEvent& OnNewPage() const { return FOnNewPage; }
  const TNotifyEvent& OnStart() const { return FOnStart; }

  // Index 0 to 41 into the paper table (0 = "Custom", a 0 x 0 page).
  int32_t PaperSize() const { return FPaperSize; }
  void SetPaperSize(int32_t aPaperSize);

  // The /CreationDate written by the next BeginDoc: a PDF date without its
  // "D:", usually 14 digits yyyymmddhhnnss, optionally followed by "Z" or an
  // offset such as "+01'00'". Empty (the default) means the local time at
  // BeginDoc; a fixed value makes a document reproducible byte for byte.
  // Anything else raises "Invalid property value: CreationDate".
  const std::string& CreationDate() const { return FCreationDate; }
  void SetCreationDate(const std::string& aDate);

  // The error rule: aborts the open document (errors during the abort are
  // swallowed), then throws Exception(aMsg) or Exception(aMsg + ": " + aInfo).
  [[noreturn]] void RaiseError(const std::string& aMsg, const std::string& aInfo = "");

  // Points per length unit: 72/254 for tenths, 1 for points.
  long double PointPerUnit() const;
  // Length units per pixel of the 96 dpi measuring resolution.
  long double UnitPerPixel() const;
  // Length units per tenth of a millimetre.
  long double UnitPerTenth() const;

private:
  void CheckNotPrinting(const char* aPropertyName);
  void OpenOutput();
  void WriteDocumentHead();
  void WriteTail();
  void FindAcrobat();
  void Fire(const TNotifyEvent& aEvent);

  std::string FAuthor;
  // What the canvas, fonts and images share with the document: the writer,
  // the geometry, the output settings and the document state.
  std::unique_ptr<TDocumentContext> FContext;
  std::unique_ptr<TPdfCanvas> FCanvas;
  std::string FFileName;
  std::string FKeywords;
  TLengthUnit FLengthUnit = luTenth;
  TNotifyEvent FOnAbort, FOnEnd, FOnNewPage, FOnStart;
  TPrinterOrientation FOrientation = poPortrait;
  TStream* FOutStream = nullptr;
  std::unique_ptr<TFileStream> FFileStream;  // owns FOutStream in file mode
  int32_t FPageNumber = 0;
  int32_t FPaperSize = 0;
  std::string FPaperSizeName;
  std::string FSubject;
  std::string FTitle;
  bool FUserStream = false;
  bool FWantShow = false;
  std::string FCreationDate;
};

}  // namespace Vellix
