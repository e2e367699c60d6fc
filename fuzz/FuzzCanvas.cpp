// The canvas as a hostile caller would use it: the input is read as a
// sequence of public document and canvas calls with their arguments. The
// document goes into a memory stream; whatever the calls, it is either
// aborted with a Vellix::Exception or complete, and a complete one has the
// structure of a PDF file (header, objects where the table says, trailer).

#include <cstdint>
#include <cstring>
#include <string>

#include "Vellix.h"

using namespace Vellix;

namespace {

// Reads the input from the front; past its end every value is 0.
class TReader {
public:
  TReader(const uint8_t* aData, size_t aSize) : FData(aData), FSize(aSize) {}
  bool More() const { return FAt < FSize; }
  uint8_t Byte() { return FAt < FSize ? FData[FAt++] : 0; }
  int32_t Int() {
    // Mostly page-sized values, sometimes anything at all.
    const uint8_t kind = Byte();
    int32_t v = 0;
    for (int i = 0; i < 4; ++i) v = int32_t(uint32_t(v) << 8 | Byte());
    return kind < 200 ? v % 4000 : v;
  }
  std::string Text() {
    const size_t length = Byte() % 48;
    std::string s;
    for (size_t i = 0; i < length; ++i) s += char(Byte());
    return s;
  }

private:
  const uint8_t* FData;
  size_t FSize;
  size_t FAt = 0;
};

const char* const kFamilies[] = {"Arial", "Times New Roman", "Courier New", "DejaVu Sans", "Symbol", "C059", "No Such"};
const TAlignment kAlign[] = {taLeftJustify, taRightJustify, taCenter, taJustify};
const TVertAlignment kVert[] = {vaTop, vaBottom, vaCenter};
// Few names, so that links find destinations, miss them and repeat them.
const char* const kNames[] = {"a", "b", "c (3)", ""};

void Call(TVellix& aDoc, TReader& r) {
  TPdfCanvas& c = aDoc.Canvas();
  switch (r.Byte() % 38) {
    case 0: c.MoveTo(r.Int(), r.Int()); break;
    case 1: c.LineTo(r.Int(), r.Int()); break;
    case 2: c.Rectangle(r.Int(), r.Int(), r.Int(), r.Int()); break;
    case 3: c.Ellipse(r.Int(), r.Int(), r.Int(), r.Int()); break;
    case 4: c.RoundRect(r.Int(), r.Int(), r.Int(), r.Int(), r.Int(), r.Int()); break;
    case 5: c.Arc(r.Int(), r.Int(), r.Int(), r.Int(), r.Int(), r.Int(), r.Int(), r.Int()); break;
    case 6: c.Chord(r.Int(), r.Int(), r.Int(), r.Int(), r.Int(), r.Int(), r.Int(), r.Int()); break;
    case 7: c.Pie(r.Int(), r.Int(), r.Int(), r.Int(), r.Int(), r.Int(), r.Int(), r.Int()); break;
    case 8: c.Polygon({{r.Int(), r.Int()}, {r.Int(), r.Int()}, {r.Int(), r.Int()}}); break;
    case 9: c.PolyBezier({{r.Int(), r.Int()}, {r.Int(), r.Int()}, {r.Int(), r.Int()}, {r.Int(), r.Int()}}); break;
    case 10: c.Pen().SetWidth(r.Int()); c.Pen().SetStyle(TPenStyle(r.Byte() % 7)); break;
    case 11: c.Brush().SetStyle(TBrushStyle(r.Byte() % 8)); c.Brush().SetColor(TColor(r.Int())); break;
    case 12: c.Font().SetName(kFamilies[r.Byte() % 7]); break;
    case 13: c.Font().SetHeight(r.Int()); break;
    case 14: {
      const uint8_t bits = r.Byte();
      TFontStyles style;
      for (int s = 0; s < 4; ++s)
        if (bits & (1 << s)) style.Include(TFontStyle(s));
      c.Font().SetStyle(style);
      break;
    }
    case 15: c.SetFontDegreeAngle(r.Int() % 720); break;
    case 16: c.TextOut(r.Int(), r.Int(), r.Text()); break;
    case 17: c.TextWidth(r.Text()); c.TextHeight(r.Text()); break;
    case 18: {
      std::string t = r.Text();
      c.TruncateText(t, r.Int());
      break;
    }
    case 19: c.DrawText(r.Int(), r.Int(), r.Int(), r.Int(), kAlign[r.Byte() % 4], kVert[r.Byte() % 3], r.Text()); break;
    case 20:
      c.DefineGrid("g", kAlign[r.Byte() % 4], r.Int() % 100);
      c.DefineCol("g", r.Int() % 3000, kAlign[r.Byte() % 4], kVert[r.Byte() % 3], r.Byte() & 1);
      break;
    case 21: c.DrawGrid("g", r.Int(), r.Int()); break;
    case 22: c.DrawRow("g", r.Int() % 500); c.TextToCell("g", r.Byte() % 2, r.Byte() % 3, r.Text()); break;
    case 23: {
      TBitmap bitmap(1 + r.Byte() % 16, 1 + r.Byte() % 16);
      bitmap.Canvas().SetPixel(0, 0, TColor(r.Int()));
      c.StretchDraw(Rect(r.Int(), r.Int(), r.Int(), r.Int()), &bitmap);
      break;
    }
    case 24: aDoc.NewPage(); break;
    case 25: if (r.Byte() == 0) aDoc.Abort(); break;
    case 26: c.LinkToUri(Rect(r.Int(), r.Int(), r.Int(), r.Int()), r.Text()); break;
    case 27: c.LinkToPage(Rect(r.Int(), r.Int(), r.Int(), r.Int()), r.Byte() % 6, r.Int(), TColor(r.Int())); break;
    case 28: c.LinkToDestination(Rect(r.Int(), r.Int(), r.Int(), r.Int()), kNames[r.Byte() % 4]); break;
    case 29: aDoc.AddDestination(kNames[r.Byte() % 4], r.Int(), r.Int()); break;
    case 30:
      if (r.Byte() & 1)
        aDoc.AddOutline(r.Text(), r.Byte() % 5, r.Byte() % 6, r.Int(), r.Byte() & 1);
      else
        aDoc.AddOutlineToDestination(r.Text(), r.Byte() % 5, kNames[r.Byte() % 4], r.Byte() & 1);
      break;
    case 31: c.PageCountOut(r.Int(), r.Int(), r.Int(), kAlign[r.Byte() % 4]); break;
    case 32: r.Byte() & 1 ? c.SaveState() : c.RestoreState(); break;
    case 33: c.ClipRect(Rect(r.Int(), r.Int(), r.Int(), r.Int())); break;
    case 34:
      switch (r.Byte() % 3) {
        case 0: c.Translate(r.Int(), r.Int()); break;
        case 1: c.Rotate(r.Int() % 720); break;
        default: c.Scale((r.Int() % 400) / 100.0L, (r.Int() % 400) / 100.0L); break;
      }
      break;
    case 35: c.MeasureText(r.Int(), r.Text()); c.MeasureCell("g", r.Byte() % 2, r.Text()); break;
    case 36: {
      TTableRow row({r.Text(), r.Text()});
      if (r.Byte() & 1) row.Brush = TBrush();
      row.Style.Alignment = kAlign[r.Byte() % 4];
      c.TextToCell("g", r.Byte() % 2, r.Byte() % 3, r.Text(), row.Style);
      break;
    }
    case 37: {
      TPdfTable table(aDoc, "g");
      table.SetBottom(r.Int());
      table.SetMinRowHeight(r.Int() % 300);
      table.Begin(r.Int(), r.Int());
      if (r.Byte() & 1) table.AddHeaderRow(TTableRow({r.Text()}));
      for (int rows = r.Byte() % 8; rows > 0; --rows) table.AddRow(TTableRow({r.Text(), r.Text()}));
      break;
    }
  }
}

// Every address of the cross-reference table points at its object.
void CheckStructure(const std::string& aPdf) {
  if (aPdf.rfind("%PDF-1.3\r\n", 0) != 0 || aPdf.size() < 7 || aPdf.compare(aPdf.size() - 7, 7, "%%EOF\r\n") != 0)
    __builtin_trap();
  const size_t xref = aPdf.rfind("\r\nxref\r\n0 ");
  if (xref == std::string::npos) __builtin_trap();
  const size_t count = std::stoul(aPdf.substr(xref + 10));
  size_t entry = aPdf.find("65535 f\r\n", xref) + 9;
  for (size_t n = 1; n < count; ++n, entry += 20) {
    const size_t address = std::stoul(aPdf.substr(entry, 10));
    if (aPdf.compare(address, std::to_string(n).size() + 7, std::to_string(n) + " 0 obj\r") != 0) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
  static const bool quiet = [] {
    Application::SetMessageHandler([](const std::string&) {});
    return true;
  }();
  (void)quiet;
  TReader reader(aData, aSize);
  TMemoryStream out;
  TVellix doc;
  doc.SetOutStream(&out);
  doc.SetCreationDate("20240102030405");
  try {
    doc.SetImageCompressMode(TPdfCompressMode(reader.Byte() % 3));
    const uint8_t mode = reader.Byte();
    doc.SetLengthUnit(mode & 1 ? luPoint : luTenth);
    // Unicode text: every text argument becomes (possibly invalid) UTF-8.
    doc.SetTextEncoding(mode & 2 ? teUtf8 : teAnsi);
    doc.BeginDoc();
    for (int calls = 0; reader.More() && calls < 200; ++calls) Call(doc, reader);
    doc.EndDoc();
  } catch (const Vellix::Exception&) {
    return 0;  // refused through the error rule: the document was aborted
  }
  if (!doc.Aborted()) CheckStructure(std::string(reinterpret_cast<const char*>(out.Memory()), size_t(out.Size())));
  return 0;
}
