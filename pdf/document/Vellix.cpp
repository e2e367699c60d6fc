#include <vellix/Document.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include <vellix/Application.h>
#include <vellix/Canvas.h>

#include "canvas/PdfResources.h"
#include "navigation/Navigation.h"
#include "text/PageCount.h"
#include "writer/DocumentContext.h"
#include "writer/PdfNumber.h"
#include "writer/PdfSyntax.h"

namespace Vellix {

namespace {

// The current directory with a final "/", so that a relative name lands
// where the user ran the program, as every Unix program's does.
std::string CurrentDirectory() {
  std::string path(4096, '\0');
  while (::getcwd(path.data(), path.size()) == nullptr) {
    if (errno != ERANGE || path.size() > (size_t(1) << 20)) return "./";
    path.resize(path.size() * 2);
  }
  path.resize(std::strlen(path.c_str()));
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

// Deletes only what a document could have been: a regular file or a link.
// Device nodes and fifos ("/dev/null", "/dev/full") are written to but never
// removed. False when such a file is there and could not be deleted.
bool RemoveDocumentFile(const std::string& aFileName) {
  struct stat st {};
  if (::lstat(aFileName.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
    return ::unlink(aFileName.c_str()) == 0;
  return true;
}

std::string LocalDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local {};
  ::localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local);
  return text;
}

// "/Key(text)" with the text escaped as a literal string.
void WriteInfoString(TPdfWriter& aWriter, const char* aKey, const std::string& aText, TTextEncoding aEncoding) {
  std::string line = aKey;
  if (aEncoding == teUtf8) {
    AppendUtf8TextString(line, aText);
  } else {
    line += '(';
    AppendEscaped(line, aText);
    line += ')';
  }
  aWriter.WriteLine(line);
}

}  // namespace

TVellix::TVellix(TComponent* aOwner) : TComponent(aOwner) {
  FContext = std::make_unique<TDocumentContext>([this] { Abort(); });
  FCanvas = std::make_unique<TPdfCanvas>(*FContext);
  SetImageCompressMode(cpJpeg);
  SetLengthUnit(luTenth);
  SetOrientation(poPortrait);
  FPageNumber = 0;
  SetPaperSizeName("A4");
  SetTitle("");
  for (const char* name : {"Arial", "Courier New", "Symbol", "Times New Roman"}) FContext->NonEmbeddedFonts.Add(name);
}

TVellix::~TVellix() {
  try {
    Abort();
  } catch (...) {
  }
}

void TVellix::Fire(const TNotifyEvent& aEvent) {
  if (aEvent) aEvent(this);
}

// ---- Lifecycle ----

void TVellix::BeginDoc() {
  TDocumentContext& context = *FContext;
  if (context.Printing) RaiseError(MSG_ALREADY_OPEN);
  if (context.PageHeight == 0) RaiseError(MSG_INVALID_PROPERTY, "PageHeight");
  if (context.PageWidth == 0) RaiseError(MSG_INVALID_PROPERTY, "PageWidth");
  FCanvas->ClearDocument();
  context.PageObjNos.clear();
  context.Aborted = false;
  FCanvas->ResetPage();
  OpenOutput();
  context.Printing = true;
  context.Writer.Open(*FOutStream);
  WriteDocumentHead();
  // The page tree and the shared resources, written at the end.
  context.Writer.ReserveObject();
  context.Writer.ReserveObject();
  FPageNumber = 0;
  Fire(FOnStart);
  NewPage();
}

void TVellix::OpenOutput() {
  if (FOutStream) {
    FUserStream = true;
    return;
  }
  FUserStream = false;
  if (FFileName.empty()) FFileName = "File.pdf";
  if (FFileName[0] != '/') FFileName = CurrentDirectory() + FFileName;
  struct stat st {};
  bool oldFileStays = false;
  if (::lstat(FFileName.c_str(), &st) == 0) {
    oldFileStays = !RemoveDocumentFile(FFileName);
  } else if (errno != ENOENT && errno != ENOTDIR) {
    // The place could not even be examined (a link loop, a name too long, a
    // directory that may not be searched): the system says why.
    RaiseError(MSG_CANT_OPEN_FILE, FFileName + ": " + std::strerror(errno));
  }
  try {
    FFileStream = std::make_unique<TFileStream>(FFileName, fmCreate);
  } catch (const std::exception&) {
    const int error = errno;
    // An old file that could neither be deleted nor overwritten is locked.
    if (oldFileStays) RaiseError(MSG_FILE_LOCKED, FFileName);
    RaiseError(MSG_CANT_OPEN_FILE, FFileName + ": " + std::strerror(error));
  }
  // The document is written in one long run: the system's copy of each
  // buffer into the file overlaps with the drawing of the next pages.
  FFileStream->SetWriteBehind(true);
  FOutStream = FFileStream.get();
}

void TVellix::WriteDocumentHead() {
  TPdfWriter& writer = FContext->Writer;
  writer.WriteLine(FContext->KeepTransparency ? "%PDF-1.4" : "%PDF-1.3");
  // Binary data follows: the comment of high bytes that tells file tools so.
  if (FContext->Compact()) writer.WriteLine("%\xE2\xE3\xCF\xD3");
  writer.BeginDic();
  writer.WriteLine("/CreationDate(D:" + (FCreationDate.empty() ? LocalDateTime() : FCreationDate) + ")");
  WriteInfoString(writer, "/Title", FTitle, FContext->TextEncoding);
  if (!FAuthor.empty()) WriteInfoString(writer, "/Author", FAuthor, FContext->TextEncoding);
  if (!FSubject.empty()) WriteInfoString(writer, "/Subject", FSubject, FContext->TextEncoding);
  if (!FKeywords.empty()) WriteInfoString(writer, "/Keywords", FKeywords, FContext->TextEncoding);
  writer.WriteLine(std::string("/Producer(Merovant Vellix Builder version ") + VellixVersion + ")");
  writer.EndDic();
  writer.BeginDic();
  writer.WriteLine("/Type /Catalog");
  writer.WriteLine("/Pages 3 0 R");
  writer.EndDic();
}

void TVellix::NewPage() {
  if (FContext->Aborted) return;
  if (!FContext->Printing) RaiseError(MSG_DOCUMENT_NOT_OPENED);
  if (FPageNumber > 0) FCanvas->WritePage();
  FCanvas->ClearGridRows();
  ++FPageNumber;
  Fire(FOnNewPage);
  Application::ProcessMessages();
}

void TVellix::EndDoc() {
  if (!FContext->Printing) return;
  FCanvas->WritePage();
  // The tail is written while the caller waits for the whole file: nothing
  // is left to overlap with a writing thread, which would only hold its
  // buffers (or be started for the tail alone).
  if (!FUserStream) FFileStream->SetWriteBehind(false);
  WriteTail();
  if (!FUserStream) {
    try {
      FFileStream->Flush();
    } catch (const std::exception&) {
      RaiseError(MSG_WRITE_ERROR);
    }
    FFileStream.reset();
    FOutStream = nullptr;
  }
  FContext->Writer.Close();
  FContext->Printing = false;
  Fire(FOnEnd);
  if (FWantShow && !FUserStream) Show();
}

void TVellix::WriteTail() {
  TDocumentContext& context = *FContext;
  TPdfWriter& writer = context.Writer;
  FCanvas->PageCountForms().WriteForms(writer, FPageNumber);
  FCanvas->Resources().WriteUnicodeFonts(writer, context.Compact());
  const int32_t catalog = FCanvas->Navigation().Finish(2, 3);
  writer.BeginReservedDic(3);
  writer.WriteLine("/Type /Pages");
  writer.WriteLine("/Kids [");
  for (int32_t page : context.PageObjNos) writer.WriteLine(Ref(page));
  writer.WriteLine("]");
  writer.WriteLine("/Count " + std::to_string(FPageNumber));
  writer.WriteLine("/Resources 4 0 R");
  std::string box = "/MediaBox [ 0 0 ";
  AppendPdfNumber(box, context.PageWidth * context.PointPerUnit);
  box += ' ';
  AppendPdfNumber(box, context.PageHeight * context.PointPerUnit);
  box += " ]";
  writer.WriteLine(box);
  writer.EndDic();

  writer.BeginReservedDic(4);
  FCanvas->Resources().WriteDictionary(writer);
  writer.EndDic();

  writer.WriteTail(catalog, 1);
}

void TVellix::Abort() {
  TDocumentContext& context = *FContext;
  if (!context.Printing) return;
  if (!FUserStream) {
    FFileStream.reset();
    FOutStream = nullptr;
  }
  context.Writer.Close();
  context.Printing = false;
  if (!FUserStream) RemoveDocumentFile(FFileName);
  context.Aborted = true;
  // The open page will never be written: its images' encoded data can go now.
  FCanvas->Resources().ReleasePendingImages();
  Fire(FOnAbort);
}

void TVellix::RaiseError(const std::string& aMsg, const std::string& aInfo) { FContext->Writer.Fail(aMsg, aInfo); }

// ---- State read from the shared context ----

bool TVellix::Aborted() const { return FContext->Aborted; }
bool TVellix::Printing() const { return FContext->Printing; }
bool TVellix::EmbedFonts() const { return FContext->EmbedFonts; }
bool TVellix::CompressContent() const { return FContext->CompressContent; }
bool TVellix::ShareImages() const { return FContext->ShareImages; }
bool TVellix::KeepTransparency() const { return FContext->KeepTransparency; }
TTextEncoding TVellix::TextEncoding() const { return FContext->TextEncoding; }
TPdfCompressMode TVellix::ImageCompressMode() const { return FContext->ImageCompressMode; }
TStringList<>& TVellix::NonEmbeddedFonts() { return FContext->NonEmbeddedFonts; }
int32_t TVellix::PageHeight() const { return FContext->PageHeight; }
int32_t TVellix::PageWidth() const { return FContext->PageWidth; }
long double TVellix::PointPerUnit() const { return FContext->PointPerUnit; }
long double TVellix::UnitPerPixel() const { return FContext->UnitPerPixel; }
long double TVellix::UnitPerTenth() const { return FContext->UnitPerTenth; }

}  // namespace Vellix
