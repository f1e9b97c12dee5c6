// Root classes of the engine: the object base, the error type and the string list that every
// per-column setting ("NAME=value" lines) is kept in.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace morvale {

class TObject {
 public:
  virtual ~TObject() = default;
};

class TPropList;

// An object with published properties (see properties.h).
class TPersistent : public TObject {
 public:
  // The class's table; a class without one publishes nothing.
  virtual const TPropList& Published() const;
};

// An owned part of the program that others may reference weakly: whoever holds a reference asks
// for a free notification and is told, through Notification, when the component goes away.
class TComponent : public TPersistent {
 public:
  TComponent() = default;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  ~TComponent() override;

  std::string Name;

  void FreeNotification(TComponent* observer);
  void RemoveFreeNotification(TComponent* observer);

 protected:
  // Called on every observer while `component` is being destroyed.
  virtual void Notification(TComponent* /*component*/) {}

 private:
  std::vector<TComponent*> observers_;
};

// Every failure the engine reports is an Exception whose message is shown to the user unchanged.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A conversion error ("'%s' is not a valid floating point value" and its kin).
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Printf-style message building for the engine's "%s"/"%d" message templates.
std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args);

bool SameText(std::string_view a, std::string_view b);  // ASCII case-insensitive
std::string UpperCaseAscii(std::string_view s);
std::string LowerCaseAscii(std::string_view s);
// Removes leading and trailing blanks and control characters (bytes <= 32).
std::string_view TrimView(std::string_view s);
std::string Trim(std::string_view s);
std::string IntToStr(int64_t v);

// An ordered list of text lines; "NAME=value" lines are looked up by name without regard to case.
class TStringList : public TObject {
 public:
  TStringList() = default;
  TStringList(std::initializer_list<std::string> lines) : lines_(lines) {}

  int Count() const { return static_cast<int>(lines_.size()); }
  bool Empty() const { return lines_.empty(); }
  const std::string& operator[](int i) const { return lines_[static_cast<size_t>(i)]; }
  std::string& operator[](int i) { return lines_[static_cast<size_t>(i)]; }
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  void Insert(int i, std::string line) { lines_.insert(lines_.begin() + i, std::move(line)); }
  void Delete(int i) { lines_.erase(lines_.begin() + i); }
  void Clear() { lines_.clear(); }
  int IndexOf(std::string_view line) const;  // case-insensitive, -1 when absent

  // Index of the first line whose name part (before '=') equals name case-insensitively.
  int IndexOfName(std::string_view name) const;
  // The value part of the first line with that name, or the empty text.
  std::string Value(std::string_view name) const;
  bool HasName(std::string_view name) const { return IndexOfName(name) >= 0; }
  // Replaces the first line with that name, or appends one.
  void SetValue(std::string_view name, std::string_view value);
  static std::string_view NamePart(std::string_view line);
  static std::string_view ValuePart(std::string_view line);

  // All lines joined by LF (no trailing one); assigning splits on LF and drops CR.
  std::string Text() const;
  void SetText(std::string_view text);

  const std::vector<std::string>& Lines() const { return lines_; }
  auto begin() const { return lines_.begin(); }
  auto end() const { return lines_.end(); }
  bool operator==(const TStringList& other) const { return lines_ == other.lines_; }

 private:
  std::vector<std::string> lines_;
};

}  // namespace morvale
