#pragma once
// Published properties: the part of a component's state that a form file
// stores and a designer edits. Each class describes its published properties
// once, in declaration order, in a TPublishedTable. Readers and writers go
// through the component's own accessors, so a restored or edited value meets
// the same checks (and raises the same errors) as one assigned in code.
//
// A table is built once per class, typically as a function-local static
// returned by the class's PublishedProperties() override:
//
//   TPublishedTable& t = ...;
//   t.AddString<TMyComponent>("Title",
//       [](const TMyComponent& c) { return c.Title(); },
//       [](TMyComponent& c, const std::string& v) { c.SetTitle(v); });

#include <vellix/Export.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <vellix/Component.h>

namespace Vellix {

// How a property's value is represented, stored and edited.
enum TPropertyKind {
  pkString,       // 8-bit text
  pkInteger,      // 32-bit signed integer
  pkBoolean,      // False / True
  pkEnumeration,  // one of a fixed list of identifiers, held as its ordinal
  pkStrings,      // a string list (its entries; the list object stays the component's)
  pkEvent,        // a TNotifyEvent, stored in a form by the name of its handler
};

// An event property's value: the handler's name as a form file and the
// designer show it, and the function bound to it (empty when unbound).
struct VELLIX_API TEventValue {
  std::string HandlerName;
  TNotifyEvent Handler;
};

// One published value: std::string for pkString, int32_t for pkInteger and
// pkEnumeration (the ordinal), bool for pkBoolean, the entries for pkStrings,
// TEventValue for pkEvent.
using TPropertyValue =
    std::variant<std::string, int32_t, bool, std::vector<std::string>, TEventValue>;

// The description of one published property.
struct VELLIX_API TPublishedProperty {
  std::string Name;                    // "PaperSizeName"
  std::string TypeName;                // "string", "Integer", "Boolean", "TLengthUnit", "TStrings", "TNotifyEvent"
  TPropertyKind Kind = pkString;
  std::vector<std::string> EnumNames;  // pkEnumeration: the identifiers in ordinal order
  std::function<TPropertyValue(const TComponent&)> Read;
  // Assigns through the component's setter; throws what the setter throws.
  std::function<void(TComponent&, const TPropertyValue&)> Write;
  // Optional: how a value stored in a form is restored when that differs from
  // assigning it (a value the component reports but its setter refuses).
  std::function<void(TComponent&, const TPropertyValue&)> Restore;
  // Optional: whether WriteForm writes the property (always when not given).
  // A property added after forms were in use is written only when it is not
  // at its default, so the form of a component that leaves it alone stays as
  // it was and loads in a library that does not know it.
  std::function<bool(const TComponent&)> Stored;

  // Restores a stored value: Restore when given, Write otherwise.
  void Load(TComponent& aComponent, const TPropertyValue& aValue) const;
  // The ordinal of enumeration identifier aName (case-insensitive), or -1.
  int32_t EnumOrdinal(std::string_view aName) const;
};

// The published properties of one component class, in declaration order,
// with a factory for a fresh instance (used to try a form on a scratch
// component before touching the real one; may be empty).
class VELLIX_API TPublishedTable {
public:
  using TFactory = std::function<std::unique_ptr<TComponent>()>;

  explicit TPublishedTable(std::string aClassName, TFactory aCreate = nullptr);

  const std::string& ClassName() const { return FClassName; }
  // A new component of this class with its defaults, or null without a factory.
  std::unique_ptr<TComponent> Create() const;
  const std::vector<TPublishedProperty>& Properties() const { return FProperties; }
  // The property named aName (case-insensitive, as form files match), or null.
  const TPublishedProperty* Find(std::string_view aName) const;
  // Its position in declaration order, or -1.
  int IndexOf(std::string_view aName) const;

  // Appends a property; throws Exception when the name is already there.
  TPublishedProperty& Add(TPublishedProperty aProperty);

  // Typed helpers: C is the component class, the accessors its own.
  template <class C>
  TPublishedProperty& AddString(const std::string& aName,
                                std::function<std::string(const C&)> aRead,
                                std::function<void(C&, const std::string&)> aWrite);
  template <class C>
  TPublishedProperty& AddInteger(const std::string& aName, std::function<int32_t(const C&)> aRead,
                                 std::function<void(C&, int32_t)> aWrite);
  template <class C>
  TPublishedProperty& AddBoolean(const std::string& aName, std::function<bool(const C&)> aRead,
                                 std::function<void(C&, bool)> aWrite);
  // aNames are the identifiers of the enumeration aTypeName in ordinal order.
  template <class C>
  TPublishedProperty& AddEnumeration(const std::string& aName, const std::string& aTypeName,
                                     std::vector<std::string> aNames,
                                     std::function<int32_t(const C&)> aRead,
                                     std::function<void(C&, int32_t)> aWrite);
  // aWrite receives the stored entries and puts them into the component's list.
  template <class C>
  TPublishedProperty& AddStrings(const std::string& aName,
                                 std::function<std::vector<std::string>(const C&)> aRead,
                                 std::function<void(C&, const std::vector<std::string>&)> aWrite);
  // The handler's name is kept on the component (TComponent::EventHandlerName).
  template <class C>
  TPublishedProperty& AddEvent(const std::string& aName, std::function<TNotifyEvent(const C&)> aRead,
                               std::function<void(C&, TNotifyEvent)> aWrite);

  // ASCII case-insensitive comparison of identifiers, as form files use.
  static bool SameName(std::string_view aA, std::string_view aB);
  // True for a letter or "_" followed by letters, digits and "_".
  static bool IsIdentifier(std::string_view aText);

private:
  std::string FClassName;
  TFactory FCreate;
  std::vector<TPublishedProperty> FProperties;
};

// ---- template definitions ----

template <class C>
TPublishedProperty& TPublishedTable::AddString(const std::string& aName,
                                               std::function<std::string(const C&)> aRead,
                                               std::function<void(C&, const std::string&)> aWrite) {
  TPublishedProperty p;
  p.Name = aName;
  p.TypeName = "string";
  p.Kind = pkString;
  p.Read = [aRead](const TComponent& c) -> TPropertyValue { return aRead(static_cast<const C&>(c)); };
  p.Write = [aWrite](TComponent& c, const TPropertyValue& v) {
    aWrite(static_cast<C&>(c), std::get<std::string>(v));
  };
  return Add(std::move(p));
}

template <class C>
TPublishedProperty& TPublishedTable::AddInteger(const std::string& aName,
                                                std::function<int32_t(const C&)> aRead,
                                                std::function<void(C&, int32_t)> aWrite) {
  TPublishedProperty p;
  p.Name = aName;
  p.TypeName = "Integer";
  p.Kind = pkInteger;
  p.Read = [aRead](const TComponent& c) -> TPropertyValue { return aRead(static_cast<const C&>(c)); };
  p.Write = [aWrite](TComponent& c, const TPropertyValue& v) {
    aWrite(static_cast<C&>(c), std::get<int32_t>(v));
  };
  return Add(std::move(p));
}

template <class C>
TPublishedProperty& TPublishedTable::AddBoolean(const std::string& aName,
                                                std::function<bool(const C&)> aRead,
                                                std::function<void(C&, bool)> aWrite) {
  TPublishedProperty p;
  p.Name = aName;
  p.TypeName = "Boolean";
  p.Kind = pkBoolean;
  p.EnumNames = {"False", "True"};
  p.Read = [aRead](const TComponent& c) -> TPropertyValue { return aRead(static_cast<const C&>(c)); };
  p.Write = [aWrite](TComponent& c, const TPropertyValue& v) {
    aWrite(static_cast<C&>(c), std::get<bool>(v));
  };
  return Add(std::move(p));
}

template <class C>
TPublishedProperty& TPublishedTable::AddEnumeration(const std::string& aName,
                                                    const std::string& aTypeName,
                                                    std::vector<std::string> aNames,
                                                    std::function<int32_t(const C&)> aRead,
                                                    std::function<void(C&, int32_t)> aWrite) {
  TPublishedProperty p;
  p.Name = aName;
  p.TypeName = aTypeName;
  p.Kind = pkEnumeration;
  p.EnumNames = std::move(aNames);
  p.Read = [aRead](const TComponent& c) -> TPropertyValue { return aRead(static_cast<const C&>(c)); };
  p.Write = [aWrite](TComponent& c, const TPropertyValue& v) {
    aWrite(static_cast<C&>(c), std::get<int32_t>(v));
  };
  return Add(std::move(p));
}

template <class C>
TPublishedProperty& TPublishedTable::AddStrings(
    const std::string& aName, std::function<std::vector<std::string>(const C&)> aRead,
    std::function<void(C&, const std::vector<std::string>&)> aWrite) {
  TPublishedProperty p;
  p.Name = aName;
  p.TypeName = "TStrings";
  p.Kind = pkStrings;
  p.Read = [aRead](const TComponent& c) -> TPropertyValue { return aRead(static_cast<const C&>(c)); };
  p.Write = [aWrite](TComponent& c, const TPropertyValue& v) {
    aWrite(static_cast<C&>(c), std::get<std::vector<std::string>>(v));
  };
  return Add(std::move(p));
}

template <class C>
TPublishedProperty& TPublishedTable::AddEvent(const std::string& aName,
                                              std::function<TNotifyEvent(const C&)> aRead,
                                              std::function<void(C&, TNotifyEvent)> aWrite) {
  TPublishedProperty p;
  p.Name = aName;
  p.TypeName = "TNotifyEvent";
  p.Kind = pkEvent;
  p.Read = [aRead, aName](const TComponent& c) -> TPropertyValue {
    return TEventValue{c.EventHandlerName(aName), aRead(static_cast<const C&>(c))};
  };
  p.Write = [aWrite, aName](TComponent& c, const TPropertyValue& v) {
    const auto& e = std::get<TEventValue>(v);
    aWrite(static_cast<C&>(c), e.Handler);
    c.SetEventHandlerName(aName, e.HandlerName);
  };
  return Add(std::move(p));
}

}  // namespace Vellix
