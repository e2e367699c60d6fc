#include "writer/PdfWriter.h"

#include <vellix/Exception.h>
#include <vellix/Messages.h>
#include <vellix/Stream.h>

#include "writer/PdfSyntax.h"

namespace Vellix {

namespace {

// The cross-reference table has ten digits per address.
constexpr int64_t MaxAddress = 9999999999;

void AppendPadded10(std::string& aOut, int64_t aValue) {
  char digits[10];
  for (int i = 9; i >= 0; --i) {
    digits[i] = char('0' + aValue % 10);
    aValue /= 10;
  }
  aOut.append(digits, 10);
}

}  // namespace

TPdfWriter::TPdfWriter(std::function<void()> aOnFailure) : FOnFailure(std::move(aOnFailure)) {}

void TPdfWriter::Open(TStream& aOut) {
  FOut = &aOut;
  FObjectAddresses.clear();
  // A caller's stream may begin far into its data; the addresses must still fit.
  CurrentAddress();
}

void TPdfWriter::Close() {
  FOut = nullptr;
  FPendingWrite = nullptr;
}

void TPdfWriter::Fail(const std::string& aMsg, const std::string& aInfo) {
  if (FOnFailure) {
    try {
      FOnFailure();
    } catch (...) {
    }
  }
  throw Exception(aInfo.empty() ? aMsg : aMsg + ": " + aInfo);
}

void TPdfWriter::WriteLine(const std::string& aValue) {
  static constexpr char LineEnd[2] = {'\r', '\n'};
  WritePending();
  bool written = false;
  try {
    written = FOut != nullptr && FOut->Write(aValue.data(), int64_t(aValue.size())) == int64_t(aValue.size()) &&
              FOut->Write(LineEnd, 2) == 2;
  } catch (const std::exception&) {
    written = false;
  }
  if (!written) Fail(MSG_WRITE_ERROR);
}

void TPdfWriter::WriteRaw(const void* aData, int64_t aCount) {
  WritePending();
  bool written = false;
  try {
    written = FOut != nullptr && FOut->Write(aData, aCount) == aCount;
  } catch (const std::exception&) {
    written = false;
  }
  if (!written) Fail(MSG_WRITE_ERROR);
}

int64_t TPdfWriter::CurrentAddress() {
  int64_t position = -1;
  try {
    position = FOut ? FOut->Position() : -1;
  } catch (const std::exception&) {
    position = -1;
  }
  if (position < 0 || position > MaxAddress) Fail(MSG_WRITE_ERROR);
  return position;
}

int32_t TPdfWriter::BeginObject(const std::string& aValue) {
  WritePending();
  FObjectAddresses.push_back(CurrentAddress());
  const int32_t objectNo = ObjectCount();
  WriteLine(std::to_string(objectNo) + " 0 obj");
  WriteLine(aValue);
  return objectNo;
}

int32_t TPdfWriter::BeginDic() { return BeginObject("<<"); }

int32_t TPdfWriter::ReserveObject() {
  FObjectAddresses.push_back(0);
  return ObjectCount();
}

void TPdfWriter::BeginReservedDic(int32_t aObjectNo) {
  if (aObjectNo < 1 || aObjectNo > ObjectCount()) Fail(MSG_INTERNAL_ERROR);
  WritePending();
  FObjectAddresses[size_t(aObjectNo) - 1] = CurrentAddress();
  WriteLine(std::to_string(aObjectNo) + " 0 obj");
  WriteLine("<<");
}

void TPdfWriter::EndObject(const std::string& aValue) {
  WriteLine(aValue);
  WriteLine("endobj");
}

void TPdfWriter::EndDic() { EndObject(">>"); }

void TPdfWriter::WriteTail(int32_t aRootNo, int32_t aInfoNo) {
  WritePending();
  const int64_t xref = CurrentAddress();
  WriteLine("xref");
  WriteLine("0 " + std::to_string(FObjectAddresses.size() + 1));
  WriteLine("0000000000 65535 f");
  std::string entry;
  for (int64_t address : FObjectAddresses) {
    entry.clear();
    AppendPadded10(entry, address);
    entry += " 00000 n";
    WriteLine(entry);
  }
  WriteLine("trailer");
  WriteLine("<<");
  WriteLine("/Size " + std::to_string(FObjectAddresses.size() + 1));
  WriteLine("/Root " + Ref(aRootNo));
  WriteLine("/Info " + Ref(aInfoNo));
  WriteLine(">>");
  WriteLine("startxref");
  WriteLine(std::to_string(xref));
  WriteLine("%%EOF");
}

}  // namespace Vellix
