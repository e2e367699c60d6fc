#pragma once
// The document's page count drawn on its pages: each place shows a form
// XObject, and the form, one per font, size and alignment, is written at the
// end of the document, when the count is known. Nothing of the pages waits.
//
// A form draws the count with its baseline origin at the form's origin and
// aligned there: starting at it (left), ending at it (right), or centred on
// it. Its colour is the one the page sets before showing it.

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <vellix/Alignment.h>
#include <vellix/Font.h>

namespace Vellix {

class TPdfFont;
class TPdfResources;
class TPdfWriter;

class TPageCountForms {
public:
  // The resource name ("/Fm<n>") of the form for aFont (whose resource is
  // aPdfFont) and aAlignment, its object number reserved on first use.
  std::string FormFor(TPdfWriter& aWriter, TPdfResources& aResources, const TPdfFont& aPdfFont, const TFont& aFont,
                      TAlignment aAlignment);
  // Writes every form, showing aPageCount.
  void WriteForms(TPdfWriter& aWriter, int32_t aPageCount) const;
  void Clear() { FForms.clear(); }

private:
  struct TForm {
    int32_t ObjectNo = 0;
    std::string Name;
    const TPdfFont* PdfFont = nullptr;
    TFont Font;
    TAlignment Alignment = taLeftJustify;
  };
  void WriteForm(TPdfWriter& aWriter, const TForm& aForm, const std::string& aCount) const;

  // By font resource, size, underline and alignment.
  std::map<std::tuple<std::string, int32_t, bool, int>, TForm> FForms;
};

}  // namespace Vellix
