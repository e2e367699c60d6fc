#pragma once
// The design-time registration of the library: puts TVellix on the palette
// page "Merovant" and attaches property editors to its About, FileName and
// PaperSizeName properties. Only the designer calls Register; applications
// that use the library never do.

#include <string>

#include "DesignDialogs.h"
#include "PropertyEditor.h"

namespace Vellix::Design {

// Resource texts; a localised build may replace them before Register.
extern std::string SPdfFileNameTitle;   // "PDF File Name"
extern std::string SPdfFileNameFilter;  // "PDF Files|*.pdf|All Files|*.*"

// The maker's web address as the about box shows it.
extern const char* const MerovantWebAddress;

// About: an ellipsis button that opens the about box. Clicking its link
// opens the maker's web page through the first selected component's
// ConnectToMerovant with an empty page reference; a failure to find a
// browser is shown as an error while the box stays open.
class TAboutProperty : public TStringProperty {
public:
  using TStringProperty::TStringProperty;
  std::string ClassName() const override { return "TAboutProperty"; }
  TPropertyAttributes GetAttributes() const override { return paDialog; }
  void Edit() override;
};

// FileName: an ellipsis button that opens a save-file dialog titled
// SPdfFileNameTitle with the filter SPdfFileNameFilter, proposing the first
// selected component's FileName. A confirmed name is assigned through that
// component's setter and the designer is told; a cancelled dialog changes
// nothing.
class TFileNameProperty : public TStringProperty {
public:
  using TStringProperty::TStringProperty;
  std::string ClassName() const override { return "TFileNameProperty"; }
  TPropertyAttributes GetAttributes() const override { return paDialog; }
  void Edit() override;
  void SetValue(const std::string& aValue) override { SetFirstPropValue(aValue); }
};

// PaperSizeName: a drop-down of the 42 paper names in table order (not
// sorted; "B4" and "B5" each appear twice). A choice is assigned through the
// first selected component's SetPaperSizeName, which refuses "Custom".
class TPaperSizeNameProperty : public TStringProperty {
public:
  using TStringProperty::TStringProperty;
  std::string ClassName() const override { return "TPaperSizeNameProperty"; }
  TPropertyAttributes GetAttributes() const override { return paValueList; }
  void GetValues(const std::function<void(const std::string&)>& aProc) const override;
  void SetValue(const std::string& aValue) override { SetFirstPropValue(aValue); }
};

// The about box's content: caption, geometry, fonts, texts and colours.
TAboutBoxContent VellixAboutBoxContent();

// Registers TVellix on ComponentPalette() page "Merovant" and the three
// editors on PropertyEditors(). Registering again replaces the earlier
// registration.
void Register();

}  // namespace Vellix::Design
