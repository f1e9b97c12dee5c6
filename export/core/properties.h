// Published properties: each class that has settings lists them once, by name, with a way to read
// them as text and to set them from text. The column builder asks whether a class publishes a
// setting (that is what makes a setting apply to one format and not to another), and the
// command-line exporter's --set and --list-properties go through the same table, dotted names
// reaching into nested option objects.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "export/core/classes.h"

namespace morvale {

// Raised when a property name is unknown or a text cannot be converted to the property's type.
class EPropertyError : public Exception {
 public:
  using Exception::Exception;
};

struct TPropInfo {
  std::string Name;
  std::string TypeName;                // shown by --list-properties: "Boolean", "Integer", ...
  std::vector<std::string> EnumNames;  // enumeration values in order, for enumerated types
  std::function<std::string(const TPersistent&)> Get;
  std::function<void(TPersistent&, std::string_view)> Set;  // empty: read-only
  // Nested object (options records, fonts, string lists) reached by "Name.Sub".
  std::function<TPersistent*(TPersistent&)> Object;
  // Assigns "Name.Key=value" for properties that hold keyed lines (a string list's NAME=value).
  std::function<void(TPersistent&, std::string_view key, std::string_view value)> SetKeyed;
};

class TPropList {
 public:
  explicit TPropList(const TPropList* parent = nullptr) : parent_(parent) {}

  // Own entries are searched before the parent's; names compare without regard to case.
  const TPropInfo* Find(std::string_view name) const;
  bool Publishes(std::string_view name) const { return Find(name) != nullptr; }
  // Every published property, the parent's first, in declaration order.
  std::vector<const TPropInfo*> All() const;
  TPropInfo& Add(TPropInfo info);

 private:
  const TPropList* parent_;
  std::vector<TPropInfo> own_;
};

bool Publishes(const TPersistent& obj, std::string_view name);

// Sets a possibly dotted property from text ("CSVComma", "Options.Font.Size", "Captions.NAME").
void SetPropertyText(TPersistent& obj, std::string_view path, std::string_view value);
std::string GetPropertyText(TPersistent& obj, std::string_view path);
// "Name=value" lines of every published property, nested objects flattened with dotted names;
// line breaks inside values are shown as \n. settableOnly leaves out what text cannot set.
std::vector<std::string> ListProperties(TPersistent& obj, bool settableOnly = false);

// Text forms of the simple types, shared by the property table and the option files.
std::string BoolToText(bool v);
bool TextToBool(std::string_view text, std::string_view propName);
int TextToInt(std::string_view text, std::string_view propName);
double TextToDouble(std::string_view text, std::string_view propName);
// A character property from text: one byte, or #n for a character code ("#0" no character).
char TextToChar(std::string_view text, std::string_view propName);
std::string CharToText(char c);
int TextToEnum(std::string_view text, const std::vector<std::string>& names,
               std::string_view propName);

// Builds a class's table with member pointers: PropBuilder<TExportASCII>(list).Char("CSVComma",
// &TExportASCII::CSVComma). Custom getters and setters cover properties with side effects.
template <class C>
class PropBuilder {
 public:
  explicit PropBuilder(TPropList& list) : list_(list) {}

  PropBuilder& Bool(const std::string& name, bool C::*m) {
    list_.Add({name,
               "Boolean",
               {},
               [m](const TPersistent& o) { return BoolToText(Self(o).*m); },
               [m, name](TPersistent& o, std::string_view v) { Self(o).*m = TextToBool(v, name); },
               {},
               {}});
    return *this;
  }
  PropBuilder& Int(const std::string& name, int C::*m) {
    list_.Add({name,
               "Integer",
               {},
               [m](const TPersistent& o) { return std::to_string(Self(o).*m); },
               [m, name](TPersistent& o, std::string_view v) { Self(o).*m = TextToInt(v, name); },
               {},
               {}});
    return *this;
  }
  PropBuilder& Double(const std::string& name, double C::*m) {
    list_.Add(
        {name,
         "Double",
         {},
         [m](const TPersistent& o) { return DoubleText(Self(o).*m); },
         [m, name](TPersistent& o, std::string_view v) { Self(o).*m = TextToDouble(v, name); },
         {},
         {}});
    return *this;
  }
  PropBuilder& Str(const std::string& name, std::string C::*m) {
    list_.Add({name,
               "String",
               {},
               [m](const TPersistent& o) { return Self(o).*m; },
               [m](TPersistent& o, std::string_view v) { Self(o).*m = std::string(v); },
               {},
               {}});
    return *this;
  }
  PropBuilder& Char(const std::string& name, char C::*m) {
    list_.Add({name,
               "Char",
               {},
               [m](const TPersistent& o) { return CharToText(Self(o).*m); },
               [m, name](TPersistent& o, std::string_view v) { Self(o).*m = TextToChar(v, name); },
               {},
               {}});
    return *this;
  }
  template <class E>
  PropBuilder& Enum(const std::string& name, const std::string& typeName, E C::*m,
                    std::vector<std::string> names) {
    list_.Add({name,
               typeName,
               names,
               [m, names](const TPersistent& o) {
                 auto i = static_cast<size_t>(Self(o).*m);
                 return i < names.size() ? names[i] : std::to_string(i);
               },
               [m, names, name](TPersistent& o, std::string_view v) {
                 Self(o).*m = static_cast<E>(TextToEnum(v, names, name));
               },
               {},
               {}});
    return *this;
  }
  // A string list: set as a whole from LF-separated lines, or one "NAME=value" line by "List.NAME".
  PropBuilder& Strings(const std::string& name, TStringList C::*m) {
    list_.Add({name,
               "TStrings",
               {},
               [m](const TPersistent& o) { return (Self(o).*m).Text(); },
               [m](TPersistent& o, std::string_view v) { (Self(o).*m).SetText(v); },
               {},
               [m](TPersistent& o, std::string_view key, std::string_view v) {
                 (Self(o).*m).SetValue(key, v);
               }});
    return *this;
  }
  // A nested object with its own table, reached by dotted names.
  template <class T, class B>
  PropBuilder& Object(const std::string& name, const std::string& typeName, T B::*member) {
    static_assert(std::is_base_of_v<B, C> && std::is_base_of_v<TPersistent, T>);
    T C::*m = member;
    list_.Add({name,
               typeName,
               {},
               {},
               {},
               [m](TPersistent& o) -> TPersistent* { return &(Self(o).*m); },
               {}});
    return *this;
  }
  // Declared for the column builder's "is it published" test; not settable from text.
  PropBuilder& Event(const std::string& name) {
    list_.Add({name, "Event", {}, {}, {}, {}, {}});
    return *this;
  }
  PropBuilder& Custom(const std::string& name, const std::string& typeName,
                      std::function<std::string(const C&)> get,
                      std::function<void(C&, std::string_view)> set,
                      std::vector<std::string> enumNames = {}) {
    TPropInfo info{name, typeName, std::move(enumNames), {}, {}, {}, {}};
    if (get) info.Get = [get](const TPersistent& o) { return get(Self(o)); };
    if (set) info.Set = [set](TPersistent& o, std::string_view v) { set(Self(o), v); };
    list_.Add(std::move(info));
    return *this;
  }

 private:
  static C& Self(TPersistent& o) { return static_cast<C&>(o); }
  static const C& Self(const TPersistent& o) { return static_cast<const C&>(o); }
  static std::string DoubleText(double v);
  TPropList& list_;
};

std::string PropDoubleText(double v);
template <class C>
std::string PropBuilder<C>::DoubleText(double v) {
  return PropDoubleText(v);
}

}  // namespace morvale
