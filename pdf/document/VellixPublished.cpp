#include "document/VellixPublished.h"

#include <vellix/Document.h>

namespace Vellix {

namespace {

bool IsCustomName(const std::string& aName) { return TPublishedTable::SameName(aName, "Custom"); }

using V = TVellix;

// A read-only list property: a form fills the existing list.
void AddNonEmbeddedFonts(TPublishedTable& t) {
  t.AddStrings<V>(
      "NonEmbeddedFonts",
      [](const V& v) {
        // The list has only a mutable accessor; reading does not change it.
        const auto& list = const_cast<V&>(v).NonEmbeddedFonts();
        std::vector<std::string> items;
        for (int32_t i = 0; i < list.Count(); ++i) items.push_back(list[i]);
        return items;
      },
      [](V& v, const std::vector<std::string>& items) {
        // The property is read-only: the stored entries go into the existing list.
        auto& list = v.NonEmbeddedFonts();
        list.Clear();
        for (const auto& s : items) list.Add(s);
      });
}

// Restored by a rule of its own (the size stored before it may be custom).
void AddPaperSizeName(TPublishedTable& t) {
  TPublishedProperty& paper =
      t.AddString<V>("PaperSizeName", [](const V& v) { return v.PaperSizeName(); },
                     [](V& v, const std::string& s) { v.SetPaperSizeName(s); });
  // A component with a custom size reports "Custom", which its setter
  // refuses; its form must still load. The stored size was restored just
  // before, so re-assigning the width keeps it and marks the paper custom
  // (through a setter, so a document being written still refuses it).
  paper.Restore = [](TComponent& c, const TPropertyValue& value) {
    auto& v = static_cast<V&>(c);
    const auto& name = std::get<std::string>(value);
    if (IsCustomName(name))
      v.SetPageWidth(v.PageWidth());
    else
      v.SetPaperSizeName(name);
  };
}

void AddEvents(TPublishedTable& t) {
  t.AddEvent<V>("OnAbort", [](const V& v) { return v.OnAbort(); },
                [](V& v, TNotifyEvent e) { v.SetOnAbort(std::move(e)); });
  t.AddEvent<V>("OnEnd", [](const V& v) { return v.OnEnd(); },
                [](V& v, TNotifyEvent e) { v.SetOnEnd(std::move(e)); });
  t.AddEvent<V>("OnNewPage", [](const V& v) { return v.OnNewPage(); },
                [](V& v, TNotifyEvent e) { v.SetOnNewPage(std::move(e)); });
  t.AddEvent<V>("OnStart", [](const V& v) { return v.OnStart(); },
                [](V& v, TNotifyEvent e) { v.SetOnStart(std::move(e)); });
}

TPublishedTable BuildTable() {
  TPublishedTable t("TVellix", [] { return std::make_unique<TVellix>(); });
  t.AddString<V>("About", [](const V& v) { return v.About(); },
                 [](V& v, const std::string& s) { v.SetAbout(s); });
  t.AddString<V>("Author", [](const V& v) { return v.Author(); },
                 [](V& v, const std::string& s) { v.SetAuthor(s); });
  t.AddBoolean<V>("EmbedFonts", [](const V& v) { return v.EmbedFonts(); },
                  [](V& v, bool b) { v.SetEmbedFonts(b); });
  t.AddString<V>("FileName", [](const V& v) { return v.FileName(); },
                 [](V& v, const std::string& s) { v.SetFileName(s); });
  t.AddEnumeration<V>(
      "ImageCompressMode", "TPdfCompressMode", {"cpNone", "cpZlib", "cpJpeg"},
      [](const V& v) { return static_cast<int32_t>(v.ImageCompressMode()); },
      [](V& v, int32_t o) { v.SetImageCompressMode(static_cast<TPdfCompressMode>(o)); });
  t.AddString<V>("Keywords", [](const V& v) { return v.Keywords(); },
                 [](V& v, const std::string& s) { v.SetKeywords(s); });
  t.AddEnumeration<V>(
      "LengthUnit", "TLengthUnit", {"luTenth", "luPoint"},
      [](const V& v) { return static_cast<int32_t>(v.LengthUnit()); },
      [](V& v, int32_t o) { v.SetLengthUnit(static_cast<TLengthUnit>(o)); });
  AddNonEmbeddedFonts(t);
  t.AddEnumeration<V>(
      "Orientation", "TPrinterOrientation", {"poPortrait", "poLandscape"},
      [](const V& v) { return static_cast<int32_t>(v.Orientation()); },
      [](V& v, int32_t o) { v.SetOrientation(static_cast<TPrinterOrientation>(o)); });
  t.AddInteger<V>("PageHeight", [](const V& v) { return v.PageHeight(); },
                  [](V& v, int32_t n) { v.SetPageHeight(n); });
  t.AddInteger<V>("PageWidth", [](const V& v) { return v.PageWidth(); },
                  [](V& v, int32_t n) { v.SetPageWidth(n); });
  AddPaperSizeName(t);
  t.AddString<V>("Subject", [](const V& v) { return v.Subject(); },
                 [](V& v, const std::string& s) { v.SetSubject(s); });
  t.AddString<V>("Title", [](const V& v) { return v.Title(); },
                 [](V& v, const std::string& s) { v.SetTitle(s); });
  t.AddBoolean<V>("WantShow", [](const V& v) { return v.WantShow(); },
                  [](V& v, bool b) { v.SetWantShow(b); });
  // The compact output, after the classic properties, and stored only when on:
  // the forms of components that leave them off stay as they were.
  t.AddBoolean<V>("CompressContent", [](const V& v) { return v.CompressContent(); },
                  [](V& v, bool b) { v.SetCompressContent(b); })
      .Stored = [](const TComponent& c) { return static_cast<const V&>(c).CompressContent(); };
  t.AddBoolean<V>("ShareImages", [](const V& v) { return v.ShareImages(); },
                  [](V& v, bool b) { v.SetShareImages(b); })
      .Stored = [](const TComponent& c) { return static_cast<const V&>(c).ShareImages(); };
  t.AddBoolean<V>("KeepTransparency", [](const V& v) { return v.KeepTransparency(); },
                  [](V& v, bool b) { v.SetKeepTransparency(b); })
      .Stored = [](const TComponent& c) { return static_cast<const V&>(c).KeepTransparency(); };
  t.AddEnumeration<V>(
       "TextEncoding", "TTextEncoding", {"teAnsi", "teUtf8"},
       [](const V& v) { return static_cast<int32_t>(v.TextEncoding()); },
       [](V& v, int32_t o) { v.SetTextEncoding(static_cast<TTextEncoding>(o)); })
      .Stored = [](const TComponent& c) { return static_cast<const V&>(c).TextEncoding() != teAnsi; };
  AddEvents(t);
  return t;
}

}  // namespace

const TPublishedTable& VellixPublishedProperties() {
  static const TPublishedTable table = BuildTable();
  return table;
}

const TPublishedTable& TVellix::PublishedProperties() const { return VellixPublishedProperties(); }

}  // namespace Vellix
