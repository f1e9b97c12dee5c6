// The binding of a page's list of settings (export/dialog/pagekeys.h) to the widgets it names,
// for the form's pages.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <charconv>
#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "export/core/compress.h"
#include "export/core/parts.h"
#include "export/dialog/form/binder.h"
#include "export/dialog/form/prompts.h"
#include "export/dialog/model.h"
#include "export/dialog/pagekeys.h"

namespace morvale::form {

// Binds each setting of a page's list (export/dialog/pagekeys.h) to the widget it names.
struct TBindKeys {
  QWidget& dialog;
  TBinder& bind;
  TDialogSettings& s;
  std::function<void()> colorPicked;
  std::function<void(QFontComboBox*, std::string*)> font;
  // The component's values, which some fields take when they are left empty.
  const TDialogSettings* defaults = nullptr;

  template <class W>
  W* Widget(const char* name) const {
    W* w = dialog.findChild<W*>(QString::fromUtf8(name));
    if (!w) throw Exception(std::string("the page has no widget ") + name);
    return w;
  }
  void operator()(pages::key::Text, const char*, const char* w, auto setting, auto) {
    bind.Text(Widget<QLineEdit>(w), &setting.Of(s));
  }
  void operator()(pages::key::Bool, const char*, const char* w, auto setting, auto) {
    bind.Bool(Widget<QAbstractButton>(w), &setting.Of(s));
  }
  // In a line edit, or in a spin box, which keeps the count within its range.
  void operator()(pages::key::Count, const char*, const char* w, auto setting, auto) {
    if (auto* box = qobject_cast<QSpinBox*>(Widget<QWidget>(w)))
      bind.Int(box, &setting.Of(s));
    else
      bind.Int(Widget<QLineEdit>(w), &setting.Of(s));
  }
  void operator()(pages::key::Spacing, const char*, const char* w, auto setting, auto) {
    const double def = setting.Of(*defaults);
    bind.Real(Widget<QLineEdit>(w), &setting.Of(s),
              [def](std::string_view t) { return PDFSpacingFromText(t, def); });
  }
  // Digits only; what is no number (an empty field) takes the component's value.
  void operator()(pages::key::Measure m, const char*, const char* w, auto setting, auto) {
    QLineEdit* edit = Widget<QLineEdit>(w);
    int* value = &setting.Of(s);
    const int def = setting.Of(*defaults);
    DigitsOnly(edit);
    QObject::connect(edit, &QLineEdit::textEdited, &dialog, [value, def, m](const QString& t) {
      const int v = CountFromText(S(t), def);
      *value = v < m.Min ? def : v;
    });
    bind.Show([edit, value] {
      if (!edit->hasFocus()) edit->setText(QString::number(*value));
    });
  }
  void operator()(pages::key::Format, const char*, const char* w, auto setting, auto) {
    TDialogSettings* settings = &s;
    bind.Text(
        Widget<QLineEdit>(w), [settings, setting] { return setting.Of(std::as_const(*settings)); },
        [settings, setting](const std::string& v) { setting.Of(*settings) = v; });
  }
  void operator()(pages::key::Char, const char*, const char* w, auto setting, auto) {
    bind.Char(Widget<QLineEdit>(w), &setting.Of(s));
  }
  void operator()(pages::key::Term, const char*, const char* w, auto setting, auto) {
    bind.Char(Widget<QLineEdit>(w), &setting.Of(s));
  }
  // The text follows the box as it is typed or chosen; it is shown again only when it differs.
  void operator()(pages::key::Pick, const char*, const char* w, auto setting, auto) {
    QComboBox* box = Widget<QComboBox>(w);
    std::string* text = &setting.Of(s);
    QObject::connect(box, &QComboBox::currentTextChanged, &dialog,
                     [binder = &bind, text](const QString& t) {
                       if (!binder->Refreshing()) *text = S(t);
                     });
    bind.Show([box, text] {
      if (box->currentText() != Q(*text)) box->setCurrentText(Q(*text));
    });
  }
  void operator()(pages::key::Color, const char*, const char* w, auto setting, auto) {
    bind.Color(Widget<QToolButton>(w), &setting.Of(s), colorPicked);
  }
  void operator()(pages::key::Line, const char*, const char* w, auto setting, auto) {
    TStringList* lines = &setting.Of(s);
    bind.Text(
        Widget<QLineEdit>(w), [lines] { return lines->Text(); },
        [lines](const std::string& v) { lines->SetText(v); });
  }
  std::vector<QRadioButton*> Buttons(const char* widgets) const {
    std::vector<QRadioButton*> buttons;
    for (const QString& name : QString::fromUtf8(widgets).split(QLatin1Char(' ')))
      buttons.push_back(Widget<QRadioButton>(name.toUtf8().constData()));
    return buttons;
  }
  // A value that may stand behind accessors: what reads it, and what sets it from an int.
  auto Getter(auto setting) const {
    return
        [settings = &s, setting] { return static_cast<int>(setting.Of(std::as_const(*settings))); };
  }
  // A choice may turn other values (the PDF paper's size and margins): they show at once.
  auto ChoiceSetter(auto setting) const {
    using E = std::remove_cvref_t<decltype(setting.Of(std::as_const(s)))>;
    return [settings = &s, binder = &bind, setting](int v) {
      setting.Of(*settings) = static_cast<E>(v);
      binder->Refresh();
    };
  }
  void operator()(pages::key::Choice, const char*, const char* widgets, auto setting, auto) {
    bind.Choice(Buttons(widgets), Getter(setting), ChoiceSetter(setting));
  }
  void operator()(pages::key::Listed, const char*, const char* w, auto setting, auto) {
    bind.Index(Widget<QComboBox>(w), Getter(setting), ChoiceSetter(setting));
  }
  void operator()(pages::key::Rows, const char*, const char* w, auto setting, auto) {
    QLineEdit* edit = Widget<QLineEdit>(w);
    DigitsOnly(edit);
    int64_t* rows = &setting.Of(s);
    bind.Text(
        edit, [rows] { return *rows > 0 ? std::to_string(*rows) : ""; },
        [rows](const std::string& v) {
          int64_t n = 0;
          auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
          *rows = ec == std::errc() && end == v.data() + v.size() && n > 0 ? n : 0;
        });
  }
  // A size is kept once it reads ("100M"); an empty field is none.
  void operator()(pages::key::Bytes, const char*, const char* w, auto setting, auto) {
    int64_t* size = &setting.Of(s);
    bind.Text(
        Widget<QLineEdit>(w), [size] { return *size > 0 ? ByteSizeText(*size) : ""; },
        [size](const std::string& v) {
          int64_t n = 0;
          if (Trim(v).empty())
            *size = 0;
          else if (ParseByteSize(v, n))
            *size = n;
        });
  }
  void operator()(pages::key::Compression, const char*, const char* w, auto setting, auto) {
    TCompression* c = &setting.Of(s);
    bind.Index(
        Widget<QComboBox>(w), [c] { return static_cast<int>(*c); },
        [c](int v) {
          if (v >= cmpNone && v <= cmpZstd) *c = static_cast<TCompression>(v);
        });
  }
  void operator()(pages::key::Points, const char*, const char* w, auto setting, auto) {
    bind.Int(Widget<QLineEdit>(w), Getter(setting),
             [settings = &s, setting](int v) { setting.Of(*settings) = v; });
  }
  void operator()(pages::key::Font, const char*, const char* w, auto setting, auto) {
    font(Widget<QFontComboBox>(w), &setting.Of(s));
  }
  void Limit(const char*, const char* countWidget, const char* switchWidgets, auto count, auto on,
             auto) {
    bool* value = &on.Of(s);
    if (pages::ChoiceCount(switchWidgets) == 1)
      bind.Bool(Widget<QAbstractButton>(switchWidgets), value);
    else
      bind.Choice(
          Buttons(switchWidgets), [value] { return *value ? 1 : 0; },
          [value](int v) { *value = v == 1; });
    bind.Int(Widget<QLineEdit>(countWidget), &count.Of(s));
  }
};

// Binds the settings of a value the page edits one at a time (a PDF font, an RTF style, chosen in
// a list): each widget edits the value `chosen` gives at the time, and is left as it is while it
// gives none.
template <class R>
struct TBindChosenKeys {
  TBindKeys& keys;
  std::function<R*()> chosen;
  // What a field that is no number takes.
  const R& defaults;
  // Runs after each edit, so that what shows the value whole follows (the RTF page's sample).
  std::function<void()> edited = {};

  // What gives the chosen value a setting, outside a refresh of the widgets.
  auto Setter(auto setting) const {
    return [c = chosen, e = edited, binder = &keys.bind, setting](auto v) {
      R* r = c();
      if (!r || binder->Refreshing()) return;
      setting.Of(*r) = v;
      if (e) e();
    };
  }
  // How a widget shows the chosen value's setting.
  void Show(auto show) const {
    keys.bind.Show([c = chosen, show] {
      if (const R* r = c()) show(*r);
    });
  }

  void operator()(pages::key::Listed, const char*, const char* w, auto setting, auto) {
    using E = std::remove_cvref_t<decltype(setting.Of(defaults))>;
    QComboBox* box = keys.Widget<QComboBox>(w);
    keys.bind.Index(
        box,
        [box, c = chosen, setting] {
          const R* r = c();
          return r ? static_cast<int>(setting.Of(*r)) : box->currentIndex();
        },
        [set = Setter(setting)](int i) { set(static_cast<E>(i)); });
  }
  void operator()(pages::key::Bool, const char*, const char* w, auto setting, auto) {
    QAbstractButton* box = keys.Widget<QAbstractButton>(w);
    QObject::connect(box, &QAbstractButton::toggled, &keys.dialog,
                     [set = Setter(setting)](bool on) { set(on); });
    Show([box, setting](const R& r) { box->setChecked(setting.Of(r)); });
  }
  // A spin box keeps the count within its range.
  void operator()(pages::key::Count, const char*, const char* w, auto setting, auto) {
    QSpinBox* box = keys.Widget<QSpinBox>(w);
    QObject::connect(box, &QSpinBox::valueChanged, &keys.dialog,
                     [set = Setter(setting)](int v) { set(v); });
    Show([box, setting](const R& r) { box->setValue(setting.Of(r)); });
  }
  void operator()(pages::key::Measure m, const char*, const char* w, auto setting, auto) {
    QLineEdit* edit = keys.Widget<QLineEdit>(w);
    DigitsOnly(edit);
    const int def = setting.Of(defaults);
    QObject::connect(edit, &QLineEdit::textEdited, &keys.dialog,
                     [set = Setter(setting), def, m](const QString& t) {
                       const int v = CountFromText(S(t), def);
                       set(v < m.Min ? def : v);
                     });
    Show([edit, setting](const R& r) {
      if (!edit->hasFocus()) edit->setText(QString::number(setting.Of(r)));
    });
  }
  // A font this machine lacks ("Arial" on many Linux desktops) still shows by its own name: the
  // document names it, and the reader's machine may have it.
  void operator()(pages::key::Font, const char*, const char* w, auto setting, auto) {
    QFontComboBox* box = keys.Widget<QFontComboBox>(w);
    QObject::connect(box, &QFontComboBox::currentFontChanged, &keys.dialog,
                     [set = Setter(setting)](const QFont& f) { set(S(f.family())); });
    Show([box, setting](const R& r) {
      box->setCurrentFont(QFont(Q(setting.Of(r))));
      box->setEditText(Q(setting.Of(r)));
    });
  }
  void operator()(pages::key::Color, const char*, const char* w, auto setting, auto) {
    QToolButton* button = keys.Widget<QToolButton>(w);
    QObject::connect(button, &QToolButton::clicked, &keys.dialog,
                     [button, c = chosen, setting, set = Setter(setting), binder = &keys.bind] {
                       const R* r = c();
                       if (!r) return;
                       QColor q = ToQColor(setting.Of(*r));
                       if (!Prompts().ChooseColor(button->window(), q)) return;
                       set(FromQColor(q));
                       binder->Refresh();
                     });
    Show([button, setting](const R& r) { ShowColor(button, setting.Of(r)); });
  }
};

}  // namespace morvale::form
