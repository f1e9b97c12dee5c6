#include "export/core/properties.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "export/core/propertyerror.h"
#include "export/core/translate.h"

namespace morvale {

const TPropInfo* TPropList::Find(std::string_view name) const {
  for (const TPropInfo& p : own_)
    if (SameText(p.Name, name)) return &p;
  return parent_ ? parent_->Find(name) : nullptr;
}

std::vector<const TPropInfo*> TPropList::All() const {
  std::vector<const TPropInfo*> all;
  if (parent_) all = parent_->All();
  for (const TPropInfo& p : own_) {
    // A class that publishes a name again replaces the parent's entry in place.
    bool replaced = false;
    for (auto& q : all)
      if (SameText(q->Name, p.Name)) {
        q = &p;
        replaced = true;
      }
    if (!replaced) all.push_back(&p);
  }
  return all;
}

TPropInfo& TPropList::Add(TPropInfo info) {
  own_.push_back(std::move(info));
  return own_.back();
}

bool Publishes(const TPersistent& obj, std::string_view name) {
  return obj.Published().Publishes(name);
}

namespace {

// Walks a dotted path to the object that holds its last component.
TPersistent& Resolve(TPersistent& obj, std::string_view path, std::string_view& last,
                     const TPropInfo*& info) {
  TPersistent* cur = &obj;
  for (;;) {
    size_t dot = path.find('.');
    std::string_view head = path.substr(0, dot);
    const TPropInfo* p = cur->Published().Find(head);
    if (!p) throw EPropertyError(Format(TranslateText("Engine", "Unknown property '%s'"), {head}));
    if (dot == std::string_view::npos || !p->Object) {
      last = dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
      info = p;
      return *cur;
    }
    cur = p->Object(*cur);
    path = path.substr(dot + 1);
  }
}

}  // namespace

void SetPropertyText(TPersistent& obj, std::string_view path, std::string_view value) {
  std::string_view key;
  const TPropInfo* info = nullptr;
  TPersistent& owner = Resolve(obj, path, key, info);
  if (!key.empty()) {
    if (!info->SetKeyed)
      throw EPropertyError(
          Format(TranslateText("Engine", "Property '%s' has no part '%s'"), {info->Name, key}));
    info->SetKeyed(owner, key, value);
    return;
  }
  if (!info->Set)
    throw EPropertyError(
        Format(TranslateText("Engine", "Property '%s' cannot be set from text"), {info->Name}));
  info->Set(owner, value);
}

std::string GetPropertyText(TPersistent& obj, std::string_view path) {
  std::string_view key;
  const TPropInfo* info = nullptr;
  TPersistent& owner = Resolve(obj, path, key, info);
  if (!info->Get)
    throw EPropertyError(
        Format(TranslateText("Engine", "Property '%s' has no text form"), {info->Name}));
  return info->Get(owner);
}

static void ListInto(TPersistent& obj, const std::string& prefix, bool settableOnly,
                     std::vector<std::string>& out) {
  for (const TPropInfo* p : obj.Published().All()) {
    if (p->Object) {
      ListInto(*p->Object(obj), prefix + p->Name + ".", settableOnly, out);
    } else if (p->Get && (p->Set || !settableOnly)) {
      std::string v = p->Get(obj);
      // Multi-line values (string lists) are shown on one line with escaped breaks.
      std::string shown;
      for (char c : v) shown += c == '\n' ? std::string("\\n") : std::string(1, c);
      out.push_back(prefix + p->Name + "=" + shown);
    }
  }
}

std::vector<std::string> ListProperties(TPersistent& obj, bool settableOnly) {
  std::vector<std::string> out;
  ListInto(obj, "", settableOnly, out);
  return out;
}

EPropertyError InvalidPropertyValue(std::string_view text, std::string_view prop,
                                    const std::string& expected) {
  return EPropertyError(Format(TranslateText("Engine", "Invalid value '%s' for property '%s': %s"),
                               {text, prop, expected}));
}

std::string BoolToText(bool v) {
  return v ? "True" : "False";
}

bool TextToBool(std::string_view text, std::string_view prop) {
  std::string_view t = TrimView(text);
  for (const char* s : {"true", "yes", "1", "on"})
    if (SameText(t, s)) return true;
  for (const char* s : {"false", "no", "0", "off"})
    if (SameText(t, s)) return false;
  throw InvalidPropertyValue(text, prop, TranslateText("Engine", "expected True or False"));
}

int TextToInt(std::string_view text, std::string_view prop) {
  std::string_view t = TrimView(text);
  if (!t.empty() && t[0] == '+') t.remove_prefix(1);
  int v = 0;
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || ec != std::errc() || p != t.data() + t.size())
    throw InvalidPropertyValue(text, prop, TranslateText("Engine", "expected an integer"));
  return v;
}

double TextToDouble(std::string_view text, std::string_view prop) {
  std::string t(TrimView(text));
  for (char& c : t)
    if (c == ',') c = '.';
  double v = 0;
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || ec != std::errc() || p != t.data() + t.size() || !std::isfinite(v))
    throw InvalidPropertyValue(text, prop, TranslateText("Engine", "expected a number"));
  return v;
}

std::string PropDoubleText(double v) {
  char buf[32];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, p);
}

char TextToChar(std::string_view text, std::string_view prop) {
  if (text.size() == 1) return text[0];
  if (text.size() > 1 && text[0] == '#') {
    int code = TextToInt(text.substr(1), prop);
    if (code < 0 || code > 255)
      throw InvalidPropertyValue(text, prop,
                                 TranslateText("Engine", "character code out of range"));
    return static_cast<char>(code);
  }
  if (SameText(text, "tab") || text == "\\t") return '\t';
  throw InvalidPropertyValue(text, prop,
                             TranslateText("Engine", "expected one character or #code"));
}

std::string CharToText(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if (u < 32 || u > 126) return "#" + std::to_string(u);
  return std::string(1, c);
}

int TextToEnum(std::string_view text, const std::vector<std::string>& names,
               std::string_view prop) {
  std::string_view t = TrimView(text);
  for (size_t i = 0; i < names.size(); ++i)
    if (SameText(names[i], t)) return static_cast<int>(i);
  std::string all;
  for (const auto& n : names) all += (all.empty() ? "" : ", ") + n;
  throw InvalidPropertyValue(text, prop,
                             Format(TranslateText("Engine", "expected one of %s"), {all}));
}

}  // namespace morvale
