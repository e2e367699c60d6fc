#include "document/Vellix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "canvas/PdfCanvas.h"
#include "platform/Application.h"

namespace Vellix {

namespace {

// The cross-reference table has ten digits per address.
constexpr int64_t MaxAddress = 9999999999;

std::string ProgramDirectory() {
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "./";
  std::string result(path, size_t(n));
  return result.substr(0, result.rfind('/') + 1);
}

// Deletes only what a document could have been: a regular file or a link.
// Device nodes and fifos ("/dev/null", "/dev/full") are written to but never removed.
void RemoveDocumentFile(const std::string& aFileName) {
  struct stat st {};
  if (::lstat(aFileName.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
    ::unlink(aFileName.c_str());
}

std::string LocalDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local {};
  ::localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local);
  return text;
}

// PDF literal string body: a backslash before "\", "(" and ")".
std::string EscapeText(const std::string& aText) {
  std::string result;
  result.reserve(aText.size());
  for (char c : aText) {
    if (c == '\\' || c == '(' || c == ')') result += '\\';
    result += c;
  }
  return result;
}

void AppendPadded10(std::string& aOut, int64_t aValue) {
  char digits[10];
  for (int i = 9; i >= 0; --i) {
    digits[i] = char('0' + aValue % 10);
    aValue /= 10;
  }
  aOut.append(digits, 10);
}

}  // namespace

TVellix::TVellix(TComponent* aOwner) : TComponent(aOwner) {
  FCanvas = std::make_unique<TPdfCanvas>(*this);
  SetImageCompressMode(cpJpeg);
  SetLengthUnit(luTenth);
  SetOrientation(poPortrait);
  FPageNumber = 0;
  SetPaperSizeName("A4");
  SetTitle("");
  for (const char* name : {"Arial", "Courier New", "Symbol", "Times New Roman"}) FNonEmbeddedFonts.Add(name);
}

TVellix::~TVellix() {
  try {
    Abort();
  } catch (...) {
  }
  ClearFonts();
}

void TVellix::Fire(const TNotifyEvent& aEvent) {
  if (aEvent) aEvent(this);
}

// ---- Lifecycle ----

void TVellix::BeginDoc() {
  if (FPrinting) RaiseError(MSG_ALREADY_OPEN);
  if (FPageHeight == 0) RaiseError(MSG_INVALID_PROPERTY, "PageHeight");
  if (FPageWidth == 0) RaiseError(MSG_INVALID_PROPERTY, "PageWidth");
  ClearFonts();
  FObjectAddresses.clear();
  FPageObjNos.clear();
  FImages.Clear();
  FAborted = false;
  FCanvas->ResetPage();
  OpenOutput();
  FPrinting = true;
  WriteDocumentHead();
  FObjectAddresses.push_back(0);
  FObjectAddresses.push_back(0);
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
  if (FFileName.find('/') == std::string::npos) FFileName = ProgramDirectory() + FFileName;
  struct stat st {};
  if (::lstat(FFileName.c_str(), &st) == 0) {
    RemoveDocumentFile(FFileName);
  } else if (errno != ENOENT && errno != ENOTDIR) {
    // The old file could not even be examined (a link loop, a name too long,
    // a directory that may not be searched).
    RaiseError(MSG_FILE_LOCKED, FFileName);
  }
  try {
    FFileStream = std::make_unique<TFileStream>(FFileName, fmCreate);
  } catch (const std::exception&) {
    RaiseError(MSG_CANT_OPEN_FILE, FFileName);
  }
  FOutStream = FFileStream.get();
}

void TVellix::WriteDocumentHead() {
  // A caller's stream may begin far into its data; the addresses must still fit.
  CurrentAddress();
  WriteFile("%PDF-1.3");
  BeginDic();
  WriteFile("/CreationDate(D:" + (FCreationDate.empty() ? LocalDateTime() : FCreationDate) + ")");
  WriteFile("/Title(" + EscapeText(FTitle) + ")");
  if (!FAuthor.empty()) WriteFile("/Author(" + EscapeText(FAuthor) + ")");
  if (!FSubject.empty()) WriteFile("/Subject(" + EscapeText(FSubject) + ")");
  if (!FKeywords.empty()) WriteFile("/Keywords(" + EscapeText(FKeywords) + ")");
  WriteFile(std::string("/Producer(Merovant Vellix Builder version ") + VellixVersion + ")");
  EndDic();
  BeginDic();
  WriteFile("/Type /Catalog");
  WriteFile("/Pages 3 0 R");
  EndDic();
}

void TVellix::NewPage() {
  if (FAborted) return;
  if (!FPrinting) RaiseError(MSG_DOCUMENT_NOT_OPENED);
  if (FPageNumber > 0) FCanvas->WritePage();
  FCanvas->ClearGridRows();
  ++FPageNumber;
  Fire(FOnNewPage);
  Application::ProcessMessages();
}

void TVellix::EndDoc() {
  if (!FPrinting) return;
  FCanvas->WritePage();
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
  FPrinting = false;
  Fire(FOnEnd);
  if (FWantShow && !FUserStream) Show();
}

void TVellix::WriteTail() {
  BeginReservedDic(3);
  WriteFile("/Type /Pages");
  WriteFile("/Kids [");
  for (int32_t page : FPageObjNos) WriteFile(Ref(page));
  WriteFile("]");
  WriteFile("/Count " + std::to_string(FPageNumber));
  WriteFile("/Resources 4 0 R");
  std::string box = "/MediaBox [ 0 0 ";
  AppendPdfNumber(box, FPageWidth * FPointPerUnit);
  box += ' ';
  AppendPdfNumber(box, FPageHeight * FPointPerUnit);
  box += " ]";
  WriteFile(box);
  EndDic();

  BeginReservedDic(4);
  WriteFile("/Font <<");
  for (int32_t i = 0; i < FFonts.Count(); ++i) {
    const int32_t objectNo = size_t(i) < FFontObjectNos.size() ? FFontObjectNos[size_t(i)] : 0;
    if (objectNo <= 0) RaiseError(MSG_INTERNAL_ERROR);
    WriteFile("/F" + std::to_string(i) + " " + Ref(objectNo));
  }
  WriteFile(">>");
  if (!FImages.Empty()) {
    WriteFile("/XObject <<");
    for (int32_t i = 0; i < FImages.Count(); ++i) WriteFile(FImages[i]);
    WriteFile(" >>");
  }
  EndDic();

  const int64_t xref = CurrentAddress();
  WriteFile("xref");
  WriteFile("0 " + std::to_string(FObjectAddresses.size() + 1));
  WriteFile("0000000000 65535 f");
  std::string entry;
  for (int64_t address : FObjectAddresses) {
    entry.clear();
    AppendPadded10(entry, address);
    entry += " 00000 n";
    WriteFile(entry);
  }
  WriteFile("trailer");
  WriteFile("<<");
  WriteFile("/Size " + std::to_string(FObjectAddresses.size() + 1));
  WriteFile("/Root 2 0 R");
  WriteFile("/Info 1 0 R");
  WriteFile(">>");
  WriteFile("startxref");
  WriteFile(std::to_string(xref));
  WriteFile("%%EOF");
}

void TVellix::Abort() {
  if (!FPrinting) return;
  if (!FUserStream) {
    FFileStream.reset();
    FOutStream = nullptr;
  }
  FPrinting = false;
  if (!FUserStream) RemoveDocumentFile(FFileName);
  FAborted = true;
  // The open page will never be written: its images' encoded data can go now.
  for (int32_t i = 0; i < FImages.Count(); ++i) FImages.FreeObject(i);
  Fire(FOnAbort);
}

void TVellix::RaiseError(const std::string& aMsg, const std::string& aInfo) {
  try {
    Abort();
  } catch (...) {
  }
  throw Exception(aInfo.empty() ? aMsg : aMsg + ": " + aInfo);
}

// ---- Writer interface ----

void TVellix::WriteFile(const std::string& aValue) {
  static constexpr char LineEnd[2] = {'\r', '\n'};
  bool written = false;
  try {
    written = FOutStream != nullptr &&
              FOutStream->Write(aValue.data(), int64_t(aValue.size())) == int64_t(aValue.size()) &&
              FOutStream->Write(LineEnd, 2) == 2;
  } catch (const std::exception&) {
    written = false;
  }
  if (!written) RaiseError(MSG_WRITE_ERROR);
}

int64_t TVellix::CurrentAddress() {
  int64_t position = -1;
  try {
    position = FOutStream ? FOutStream->Position() : -1;
  } catch (const std::exception&) {
    position = -1;
  }
  if (position < 0 || position > MaxAddress) RaiseError(MSG_WRITE_ERROR);
  return position;
}

int32_t TVellix::BeginObject(const std::string& aValue) {
  FObjectAddresses.push_back(CurrentAddress());
  const int32_t objectNo = int32_t(FObjectAddresses.size());
  WriteFile(std::to_string(objectNo) + " 0 obj");
  WriteFile(aValue);
  return objectNo;
}

int32_t TVellix::BeginDic() { return BeginObject("<<"); }

void TVellix::BeginReservedDic(int32_t aObjectNo) {
  if (aObjectNo < 1 || size_t(aObjectNo) > FObjectAddresses.size()) RaiseError(MSG_INTERNAL_ERROR);
  FObjectAddresses[size_t(aObjectNo) - 1] = CurrentAddress();
  WriteFile(std::to_string(aObjectNo) + " 0 obj");
  WriteFile("<<");
}

void TVellix::EndObject(const std::string& aValue) {
  WriteFile(aValue);
  WriteFile("endobj");
}

void TVellix::EndDic() { EndObject(">>"); }

std::string TVellix::Ref(int32_t aObjectNo) { return std::to_string(aObjectNo) + " 0 R"; }

void TVellix::SetFontObjectNo(int32_t aFontIndex, int32_t aObjectNo) {
  if (aFontIndex < 0) return;
  if (FFontObjectNos.size() <= size_t(aFontIndex)) FFontObjectNos.resize(size_t(aFontIndex) + 1, 0);
  FFontObjectNos[size_t(aFontIndex)] = aObjectNo;
}

void TVellix::ClearFonts() {
  FFonts.Clear();
  FFontObjectNos.clear();
}

}  // namespace Vellix
