#include "export/core/classes.h"

#include <algorithm>

#include "export/core/properties.h"

namespace morvale {

const TPropList& TPersistent::Published() const {
  static const TPropList none;
  return none;
}

TComponent::~TComponent() {
  // Copy first: an observer may remove itself while it is being told.
  auto observers = observers_;
  observers_.clear();
  for (TComponent* o : observers) {
    o->observers_.erase(std::remove(o->observers_.begin(), o->observers_.end(), this),
                        o->observers_.end());
    o->Notification(this);
  }
}

void TComponent::FreeNotification(TComponent* observer) {
  if (!observer || observer == this) return;
  if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
  // Both sides know each other, so whichever goes first tells the other.
  if (std::find(observer->observers_.begin(), observer->observers_.end(), this) ==
      observer->observers_.end())
    observer->observers_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
  if (observer)
    observer->observers_.erase(
        std::remove(observer->observers_.begin(), observer->observers_.end(), this),
        observer->observers_.end());
}

std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args) {
  std::string out;
  auto arg = args.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c == '%' && i + 1 < pattern.size()) {
      char k = pattern[i + 1];
      if (k == '%') {
        out += '%';
        ++i;
        continue;
      }
      if ((k == 's' || k == 'd') && arg != args.end()) {
        out.append(*arg++);
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

static char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
static char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string UpperCaseAscii(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = UpperAscii(c);
  return r;
}

std::string LowerCaseAscii(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = LowerAscii(c);
  return r;
}

std::string_view TrimView(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

std::string Trim(std::string_view s) {
  return std::string(TrimView(s));
}

std::string IntToStr(int64_t v) {
  return std::to_string(v);
}

int TStringList::IndexOf(std::string_view line) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (SameText(lines_[i], line)) return static_cast<int>(i);
  return -1;
}

std::string_view TStringList::NamePart(std::string_view line) {
  size_t p = line.find('=');
  return p == std::string_view::npos ? line : line.substr(0, p);
}

std::string_view TStringList::ValuePart(std::string_view line) {
  size_t p = line.find('=');
  return p == std::string_view::npos ? std::string_view() : line.substr(p + 1);
}

int TStringList::IndexOfName(std::string_view name) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::string& l = lines_[i];
    if (l.find('=') != std::string::npos && SameText(NamePart(l), name)) return static_cast<int>(i);
  }
  return -1;
}

std::string TStringList::Value(std::string_view name) const {
  int i = IndexOfName(name);
  return i < 0 ? std::string() : std::string(ValuePart(lines_[static_cast<size_t>(i)]));
}

void TStringList::SetValue(std::string_view name, std::string_view value) {
  std::string line = std::string(name) + "=" + std::string(value);
  int i = IndexOfName(name);
  if (i < 0)
    lines_.push_back(std::move(line));
  else
    lines_[static_cast<size_t>(i)] = std::move(line);
}

std::string TStringList::Text() const {
  std::string r;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i) r += '\n';
    r += lines_[i];
  }
  return r;
}

void TStringList::SetText(std::string_view text) {
  lines_.clear();
  if (text.empty()) return;
  size_t start = 0;
  while (start <= text.size()) {
    size_t p = text.find('\n', start);
    std::string_view line = text.substr(start, p == std::string_view::npos ? text.npos : p - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.emplace_back(line);
    if (p == std::string_view::npos) break;
    start = p + 1;
    if (start == text.size()) break;  // a final line break ends the last line, adds none
  }
}

}  // namespace morvale
