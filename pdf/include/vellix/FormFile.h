#pragma once
// Form files: a component's published properties as readable text, written by
// the designer and loaded by an application at run time.
//
//   object Vellix1: TVellix
//     Author = 'Jane O''Hara'
//     EmbedFonts = False
//     NonEmbeddedFonts = ('Arial', 'Courier New')
//     PageHeight = 2970
//     OnStart = StartReport
//   end
//
// One object per file; one property per line, in declaration order. Strings
// are quoted with "'" (doubled inside) and bytes outside printable ASCII are
// written as #nnn (decimal) between quoted pieces: 'Line'#13#10'Next'. Integers
// are decimal, Booleans and enumerations identifiers, string lists a
// parenthesised, comma-separated list of strings, events the handler's name.
// Names and identifiers match case-insensitively; lines end in LF or CR LF.
//
// Loading is all or nothing: the whole text is parsed and checked against the
// component's published table first, then tried on a scratch component of the
// same class, and only then applied; a setter that still fails on the real
// component rolls the applied values back. Every failure is an EFormError that
// names the line. Properties are applied in declaration order whatever their
// order in the file; properties the file does not mention keep their values.

#include <vellix/Export.h>
#include <map>
#include <string>
#include <vector>

#include <vellix/Exception.h>
#include <vellix/Published.h>

namespace Vellix {

// A malformed or unacceptable form: Message() is "<source>, line <n>: <what>".
class VELLIX_API EFormError : public Exception {
public:
  EFormError(const std::string& aSource, int aLine, const std::string& aWhat);
  int Line() const { return FLine; }
  const std::string& What() const { return FWhat; }

private:
  int FLine;
  std::string FWhat;
};

// A literal as it stands in a form, before it is checked against a property.
struct VELLIX_API TFormLiteral {
  enum TType { ltString, ltInteger, ltIdentifier, ltList } Type = ltString;
  std::string Text;                // ltString: the bytes; ltIdentifier: the name
  int64_t Integer = 0;             // ltInteger
  std::vector<std::string> Items;  // ltList
};

// A parsed form: the object's name and class and its property lines.
struct VELLIX_API TFormData {
  struct TEntry {
    int Line = 0;
    std::string Name;
    TFormLiteral Value;
  };
  std::string Source;  // file name or description, used in messages
  std::string Name;    // the component's name (may be empty)
  std::string ClassName;
  int ClassLine = 0;
  std::vector<TEntry> Entries;  // in file order
};

// Event handlers an application offers to a form, by name (matched
// case-insensitively when the form is applied).
using THandlerTable = std::map<std::string, TNotifyEvent>;

// hbBind: every handler a form names must be in the table (an application
// loading its form). hbNamesOnly: handler names are kept on the component
// and nothing is bound (a designer editing the form).
enum THandlerBinding { hbBind, hbNamesOnly };

// Parses form text; throws EFormError on a syntax error. aSource names the
// text in messages (a file name).
VELLIX_API TFormData ParseForm(const std::string& aText, const std::string& aSource = "form");

// Checks aForm against aComponent's class and applies it (see above).
// aComponent takes the form's name. Throws EFormError; on failure
// aComponent's published values and name are those it had before.
VELLIX_API void ApplyForm(TComponent& aComponent, const TFormData& aForm,
               const THandlerTable& aHandlers = {}, THandlerBinding aBinding = hbBind);

// ParseForm then ApplyForm.
VELLIX_API void ReadForm(TComponent& aComponent, const std::string& aText,
              const THandlerTable& aHandlers = {}, THandlerBinding aBinding = hbBind,
              const std::string& aSource = "form");

// The form text of aComponent: every published property in declaration
// order (events only when a handler is named). Lines end in LF.
VELLIX_API std::string WriteForm(const TComponent& aComponent);

// Reads a form file into aComponent. Throws EFOpenError or EReadError when the
// file cannot be read, EFormError when its content is refused.
VELLIX_API void LoadFormFile(TComponent& aComponent, const std::string& aFileName,
                  const THandlerTable& aHandlers = {}, THandlerBinding aBinding = hbBind);
// Reads and parses a form file without applying it (the designer looks at
// the class before it creates the component).
VELLIX_API TFormData ParseFormFile(const std::string& aFileName);

// Writes aComponent's form to aFileName. The text goes to a temporary file
// beside it that replaces the old file only once completely written, so a
// failed save leaves the previous form intact. Throws EStreamError.
VELLIX_API void SaveFormFile(const TComponent& aComponent, const std::string& aFileName);

// A string as a form literal: 'It''s'#13#10'ok'.
VELLIX_API std::string FormatFormString(const std::string& aValue);

}  // namespace Vellix
