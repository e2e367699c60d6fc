#include <vellix/FormFile.h>

#include <algorithm>
#include <cstdio>
#include <limits>

#include <vellix/Stream.h>

namespace Vellix {

namespace {

// Form files are small; anything this large is not one and is refused before
// it is read into memory.
constexpr int64_t kMaxFormSize = 16 * 1024 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsIdentStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads one line's tokens; every failure names the line.
class TLineScanner {
public:
  TLineScanner(const std::string& aSource, int aLine, std::string_view aText)
      : FSource(aSource), FLine(aLine), FText(aText) {}

  [[noreturn]] void Fail(const std::string& aWhat) const { throw EFormError(FSource, FLine, aWhat); }

  void SkipBlanks() {
    while (FPos < FText.size() && IsBlank(FText[FPos])) ++FPos;
  }
  bool AtEnd() {
    SkipBlanks();
    return FPos >= FText.size();
  }
  char Peek() {
    SkipBlanks();
    return FPos < FText.size() ? FText[FPos] : '\0';
  }
  bool Accept(char c) {
    if (Peek() != c) return false;
    ++FPos;
    return true;
  }
  void Expect(char c, const char* aWhat) {
    if (!Accept(c)) Fail(std::string("expected ") + aWhat + Found());
  }
  void ExpectEnd() {
    if (!AtEnd()) Fail("unexpected text after the value" + Found());
  }
  std::string Identifier(const char* aWhat) {
    SkipBlanks();
    size_t start = FPos;
    if (FPos < FText.size() && IsIdentStart(FText[FPos]))
      while (FPos < FText.size() && IsIdentChar(FText[FPos])) ++FPos;
    if (FPos == start) Fail(std::string("expected ") + aWhat + Found());
    return std::string(FText.substr(start, FPos - start));
  }

  // A quoted string with #nnn pieces, as FormatFormString writes it.
  std::string String() {
    SkipBlanks();
    std::string out;
    bool any = false;
    while (FPos < FText.size()) {
      char c = FText[FPos];
      if (c == '\'') {
        ++FPos;
        for (;;) {
          if (FPos >= FText.size()) Fail("unterminated string");
          char d = FText[FPos++];
          if (d == '\'') {
            if (FPos < FText.size() && FText[FPos] == '\'') {
              out += '\'';
              ++FPos;
              continue;
            }
            break;
          }
          out += d;
        }
      } else if (c == '#') {
        ++FPos;
        size_t start = FPos;
        int code = 0;
        while (FPos < FText.size() && IsDigit(FText[FPos]) && FPos - start < 4)
          code = code * 10 + (FText[FPos++] - '0');
        if (FPos == start || code > 255) Fail("invalid character code after \"#\"");
        out += static_cast<char>(code);
      } else {
        break;
      }
      any = true;
    }
    if (!any) Fail("expected a string" + Found());
    return out;
  }

  TFormLiteral Value() {
    TFormLiteral v;
    char c = Peek();
    if (c == '\'' || c == '#') {
      v.Type = TFormLiteral::ltString;
      v.Text = String();
    } else if (c == '-' || IsDigit(c)) {
      v.Type = TFormLiteral::ltInteger;
      bool negative = Accept('-');
      size_t start = FPos;
      uint64_t n = 0;
      while (FPos < FText.size() && IsDigit(FText[FPos])) {
        n = n * 10 + static_cast<uint64_t>(FText[FPos++] - '0');
        if (n > (uint64_t{1} << 40)) Fail("integer out of range");
      }
      if (FPos == start) Fail("expected digits after \"-\"");
      if (FPos < FText.size() && IsIdentChar(FText[FPos])) Fail("invalid integer" + Found());
      v.Integer = negative ? -static_cast<int64_t>(n) : static_cast<int64_t>(n);
    } else if (IsIdentStart(c)) {
      v.Type = TFormLiteral::ltIdentifier;
      v.Text = Identifier("a value");
    } else if (c == '(') {
      ++FPos;
      v.Type = TFormLiteral::ltList;
      if (!Accept(')')) {
        do v.Items.push_back(String());
        while (Accept(','));
        Expect(')', "\",\" or \")\" in the list");
      }
    } else {
      Fail("expected a value" + Found());
    }
    ExpectEnd();
    return v;
  }

private:
  std::string Found() {
    SkipBlanks();
    if (FPos >= FText.size()) return " at the end of the line";
    unsigned char c = static_cast<unsigned char>(FText[FPos]);
    if (c < 32 || c >= 127) return " but found character #" + std::to_string(c);
    return " but found \"" + std::string(FText.substr(FPos, 12)) + "\"";
  }

  const std::string& FSource;
  int FLine;
  std::string_view FText;
  size_t FPos = 0;
};

// Checks a literal against the property it is meant for and converts it.
TPropertyValue ToValue(const TPublishedProperty& aProp, const TFormLiteral& aLit,
                       const THandlerTable& aHandlers, THandlerBinding aBinding,
                       const std::function<void(const std::string&)>& aFail) {
  auto expect = [&](TFormLiteral::TType aType, const char* aWhat) {
    if (aLit.Type != aType) aFail(aProp.Name + " expects " + aWhat);
  };
  switch (aProp.Kind) {
    case pkString:
      expect(TFormLiteral::ltString, "a string");
      return aLit.Text;
    case pkInteger:
      expect(TFormLiteral::ltInteger, "an integer");
      if (aLit.Integer < std::numeric_limits<int32_t>::min() ||
          aLit.Integer > std::numeric_limits<int32_t>::max())
        aFail("value of " + aProp.Name + " out of range");
      return static_cast<int32_t>(aLit.Integer);
    case pkBoolean:
    case pkEnumeration: {
      std::string names;
      for (const auto& n : aProp.EnumNames) names += (names.empty() ? "" : ", ") + n;
      int32_t ordinal = aLit.Type == TFormLiteral::ltIdentifier ? aProp.EnumOrdinal(aLit.Text) : -1;
      if (ordinal < 0) aFail(aProp.Name + " expects one of " + names);
      if (aProp.Kind == pkBoolean) return ordinal == 1;
      return ordinal;
    }
    case pkStrings:
      expect(TFormLiteral::ltList, "a list of strings");
      return aLit.Items;
    case pkEvent: {
      expect(TFormLiteral::ltIdentifier, "the name of an event handler");
      TEventValue e{aLit.Text, nullptr};
      if (aBinding == hbBind) {
        for (const auto& [name, handler] : aHandlers)
          if (TPublishedTable::SameName(name, aLit.Text)) {
            e.Handler = handler;
            break;
          }
        if (!e.Handler) aFail("no event handler named " + aLit.Text + " for " + aProp.Name);
      }
      return e;
    }
  }
  aFail("unsupported property kind");
  return {};
}

struct TCheckedEntry {
  int Line;
  const TPublishedProperty* Property;
  TPropertyValue Value;
};

// Applies the checked entries in order; a failing setter becomes an EFormError
// naming its line.
void ApplyEntries(TComponent& aComponent, const std::string& aName,
                  const std::vector<TCheckedEntry>& aEntries, const std::string& aSource) {
  aComponent.SetName(aName);
  for (const auto& e : aEntries) {
    try {
      e.Property->Load(aComponent, e.Value);
    } catch (const std::exception& ex) {
      throw EFormError(aSource, e.Line, ex.what());
    }
  }
}

std::string ReadWholeFile(const std::string& aFileName) {
  TFileStream in(aFileName, fmOpenRead);
  int64_t size = in.Size();
  if (size > kMaxFormSize) throw EReadError("Form file too large: " + aFileName);
  std::string text(static_cast<size_t>(size), '\0');
  if (size > 0) in.ReadBuffer(text.data(), size);
  return text;
}

}  // namespace

EFormError::EFormError(const std::string& aSource, int aLine, const std::string& aWhat)
    : Exception(aSource + ", line " + std::to_string(aLine) + ": " + aWhat),
      FLine(aLine),
      FWhat(aWhat) {}

TFormData ParseForm(const std::string& aText, const std::string& aSource) {
  TFormData form;
  form.Source = aSource;
  enum { kHeader, kBody, kDone } state = kHeader;
  int line = 0;
  size_t pos = 0;
  while (pos < aText.size()) {
    size_t eol = aText.find('\n', pos);
    if (eol == std::string::npos) eol = aText.size();
    std::string_view text(aText.data() + pos, eol - pos);
    pos = eol + 1;
    ++line;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    TLineScanner scan(aSource, line, text);
    if (scan.AtEnd()) continue;
    switch (state) {
      case kHeader: {
        if (!TPublishedTable::SameName(scan.Identifier("\"object\""), "object"))
          scan.Fail("expected \"object <name>: <class>\"");
        if (scan.Peek() != ':') form.Name = scan.Identifier("the component's name");
        scan.Expect(':', "\":\" after the component's name");
        form.ClassName = scan.Identifier("the component's class");
        form.ClassLine = line;
        if (!scan.AtEnd()) scan.Fail("unexpected text after the class name");
        state = kBody;
        break;
      }
      case kBody: {
        TFormData::TEntry entry;
        entry.Line = line;
        entry.Name = scan.Identifier("a property name or \"end\"");
        if (TPublishedTable::SameName(entry.Name, "end") && scan.AtEnd()) {
          state = kDone;
          break;
        }
        if (TPublishedTable::SameName(entry.Name, "object"))
          scan.Fail("a form holds one object; nested objects are not supported");
        scan.Expect('=', "\"=\" after the property name");
        entry.Value = scan.Value();
        form.Entries.push_back(std::move(entry));
        break;
      }
      case kDone:
        scan.Fail("unexpected text after \"end\"");
    }
  }
  if (state == kHeader) throw EFormError(aSource, line, "empty form: expected \"object <name>: <class>\"");
  if (state == kBody) throw EFormError(aSource, line, "missing \"end\" at the end of the form");
  return form;
}

void ApplyForm(TComponent& aComponent, const TFormData& aForm, const THandlerTable& aHandlers,
               THandlerBinding aBinding) {
  const TPublishedTable& table = aComponent.PublishedProperties();
  if (!TPublishedTable::SameName(aForm.ClassName, aComponent.ClassName()))
    throw EFormError(aForm.Source, aForm.ClassLine,
                     "the form holds a " + aForm.ClassName + ", not a " + aComponent.ClassName());

  // Check everything before anything is assigned.
  std::vector<TCheckedEntry> entries;
  std::vector<int> seenAt(table.Properties().size(), 0);
  for (const auto& e : aForm.Entries) {
    auto fail = [&](const std::string& aWhat) { throw EFormError(aForm.Source, e.Line, aWhat); };
    int index = table.IndexOf(e.Name);
    if (index < 0) fail("unknown property " + e.Name + " of " + aComponent.ClassName());
    if (seenAt[static_cast<size_t>(index)] != 0)
      fail(e.Name + " given twice (first on line " +
           std::to_string(seenAt[static_cast<size_t>(index)]) + ")");
    seenAt[static_cast<size_t>(index)] = e.Line;
    const TPublishedProperty& prop = table.Properties()[static_cast<size_t>(index)];
    entries.push_back({e.Line, &prop, ToValue(prop, e.Value, aHandlers, aBinding, fail)});
  }
  // Declaration order, not file order: a paper name must come after the size.
  std::stable_sort(entries.begin(), entries.end(), [&](const auto& a, const auto& b) {
    return table.IndexOf(a.Property->Name) < table.IndexOf(b.Property->Name);
  });

  // A setter refusing a value is found on a scratch component first.
  if (auto scratch = table.Create()) ApplyEntries(*scratch, aForm.Name, entries, aForm.Source);

  // What the setters may still refuse on the real component (its state
  // differs: a document being written) is rolled back.
  std::string oldName = aComponent.Name();
  std::vector<TPropertyValue> snapshot;
  for (const auto& p : table.Properties()) snapshot.push_back(p.Read(aComponent));
  try {
    ApplyEntries(aComponent, aForm.Name, entries, aForm.Source);
  } catch (...) {
    aComponent.SetName(oldName);
    for (size_t i = 0; i < snapshot.size(); ++i) {
      try {
        table.Properties()[i].Load(aComponent, snapshot[i]);
      } catch (...) {
        // Best effort: the error that started the roll-back is the one reported.
      }
    }
    throw;
  }
}

void ReadForm(TComponent& aComponent, const std::string& aText, const THandlerTable& aHandlers,
              THandlerBinding aBinding, const std::string& aSource) {
  ApplyForm(aComponent, ParseForm(aText, aSource), aHandlers, aBinding);
}

std::string FormatFormString(const std::string& aValue) {
  std::string out;
  bool quoted = false;
  for (char ch : aValue) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 32 && c < 127) {
      if (!quoted) out += '\'';
      quoted = true;
      out += ch;
      if (ch == '\'') out += '\'';
    } else {
      if (quoted) out += '\'';
      quoted = false;
      out += '#';
      out += std::to_string(c);
    }
  }
  if (quoted) out += '\'';
  return out.empty() ? "''" : out;
}

std::string WriteForm(const TComponent& aComponent) {
  const TPublishedTable& table = aComponent.PublishedProperties();
  std::string out = "object " + aComponent.Name() + ": " + aComponent.ClassName() + "\n";
  for (const auto& p : table.Properties()) {
    if (p.Stored && !p.Stored(aComponent)) continue;
    TPropertyValue v = p.Read(aComponent);
    std::string text;
    switch (p.Kind) {
      case pkString:
        text = FormatFormString(std::get<std::string>(v));
        break;
      case pkInteger:
        text = std::to_string(std::get<int32_t>(v));
        break;
      case pkBoolean:
        text = std::get<bool>(v) ? "True" : "False";
        break;
      case pkEnumeration: {
        int32_t o = std::get<int32_t>(v);
        if (o < 0 || static_cast<size_t>(o) >= p.EnumNames.size())
          throw Exception("Invalid property value: " + p.Name);
        text = p.EnumNames[static_cast<size_t>(o)];
        break;
      }
      case pkStrings: {
        text = "(";
        const auto& items = std::get<std::vector<std::string>>(v);
        for (size_t i = 0; i < items.size(); ++i)
          text += (i ? ", " : "") + FormatFormString(items[i]);
        text += ")";
        break;
      }
      case pkEvent:
        text = std::get<TEventValue>(v).HandlerName;
        if (text.empty()) continue;  // an unnamed handler is not stored
        break;
    }
    out += "  " + p.Name + " = " + text + "\n";
  }
  out += "end\n";
  return out;
}

TFormData ParseFormFile(const std::string& aFileName) {
  return ParseForm(ReadWholeFile(aFileName), aFileName);
}

void LoadFormFile(TComponent& aComponent, const std::string& aFileName,
                  const THandlerTable& aHandlers, THandlerBinding aBinding) {
  ApplyForm(aComponent, ParseFormFile(aFileName), aHandlers, aBinding);
}

void SaveFormFile(const TComponent& aComponent, const std::string& aFileName) {
  std::string text = WriteForm(aComponent);
  std::string temp = aFileName + ".tmp";
  try {
    TFileStream out(temp, fmCreate);
    out.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    out.Flush();
  } catch (...) {
    std::remove(temp.c_str());
    throw;
  }
  if (std::rename(temp.c_str(), aFileName.c_str()) != 0) {
    std::remove(temp.c_str());
    throw EFCreateError("Cannot create file \"" + aFileName + "\"");
  }
}

}  // namespace Vellix
