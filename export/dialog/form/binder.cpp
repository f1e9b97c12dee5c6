#include "export/dialog/form/binder.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QToolButton>

#include "export/dialog/form/prompts.h"
#include "export/dialog/model.h"

namespace morvale::form {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
std::string S(const QString& s) {
  return s.toStdString();
}

QColor ToQColor(TColor c) {
  if ((c & 0xFF000000u) != 0) {
    // System colours: the window's own look is the nearest people will recognise.
    switch (c & 0xFF) {
      case 5:
        return Qt::white;  // clWindow
      case 8:
        return Qt::black;  // clWindowText
      case 15:
        return QColor(0xF0, 0xF0, 0xF0);  // clBtnFace
      default:
        return Qt::gray;
    }
  }
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TColor FromQColor(const QColor& c) {
  return static_cast<TColor>(c.red() | c.green() << 8 | c.blue() << 16);
}

void ShowColor(QToolButton* button, TColor color) {
  QPixmap swatch(32, 14);
  swatch.fill(ToQColor(color));
  QPainter(&swatch).drawRect(0, 0, 31, 13);
  button->setIcon(swatch);
  button->setIconSize(swatch.size());
}

void DigitsOnly(QLineEdit* edit) {
  static const QRegularExpression digits(QStringLiteral("[0-9]*"));
  edit->setValidator(new QRegularExpressionValidator(digits, edit));
}

void TBinder::Text(QLineEdit* edit, std::string* value) {
  QObject::connect(edit, &QLineEdit::textEdited, [this, value](const QString& t) {
    *value = S(t);
    Edited();
  });
  refreshers_.push_back([edit, value] {
    QString t = Q(*value);
    if (edit->text() != t) edit->setText(t);
  });
}

void TBinder::Text(QLineEdit* edit, std::function<std::string()> get,
                   std::function<void(const std::string&)> set) {
  QObject::connect(edit, &QLineEdit::textEdited, [this, set](const QString& t) {
    set(S(t));
    Edited();
  });
  refreshers_.push_back([edit, get] {
    QString t = Q(get());
    if (edit->text() != t && !edit->hasFocus()) edit->setText(t);
  });
}

void TBinder::Int(QLineEdit* edit, std::function<int()> get, std::function<void(int)> set) {
  DigitsOnly(edit);
  QObject::connect(edit, &QLineEdit::textEdited, [this, set](const QString& t) {
    bool ok = false;
    int v = t.toInt(&ok);
    if (!ok) return;  // not a number: the previous value stays
    set(v);
    Edited();
  });
  refreshers_.push_back([edit, get] {
    QString t = QString::number(get());
    if (edit->text() != t && !(edit->hasFocus() && edit->text().isEmpty())) edit->setText(t);
  });
}

void TBinder::Int(QLineEdit* edit, int* value) {
  Int(
      edit, [value] { return *value; }, [value](int v) { *value = v; });
}

void TBinder::Int(QSpinBox* box, int* value) {
  QObject::connect(box, &QSpinBox::valueChanged, [this, value](int v) {
    if (Refreshing()) return;
    *value = v;
    Edited();
  });
  refreshers_.push_back([box, value] {
    if (box->value() != *value) box->setValue(*value);
  });
}

void TBinder::Real(QLineEdit* edit, double* value, std::function<double(std::string_view)> parse) {
  static const QRegularExpression real(QStringLiteral("[0-9]*([.][0-9]*)?"));
  edit->setValidator(new QRegularExpressionValidator(real, edit));
  QObject::connect(edit, &QLineEdit::textEdited, [this, value, parse](const QString& t) {
    *value = parse(S(t));
    Edited();
  });
  refreshers_.push_back([edit, value] {
    bool ok = false;
    double shown = edit->text().toDouble(&ok);  // reads '.' whatever the locale
    if ((!ok || shown != *value) && !edit->hasFocus())
      edit->setText(QString::number(*value, 'f', 1));
  });
}

void TBinder::Char(QLineEdit* edit, char* value) {
  QObject::connect(edit, &QLineEdit::textEdited, [this, value](const QString& t) {
    *value = CharFromText(S(t));
    Edited();
  });
  refreshers_.push_back([edit, value] {
    QString t = *value ? Q(CharText(*value)) : QString();
    if (CharFromText(S(edit->text())) != *value) edit->setText(t);
  });
}

void TBinder::Bool(QAbstractButton* box, bool* value) {
  QObject::connect(box, &QAbstractButton::toggled, [this, value](bool on) {
    if (Refreshing()) return;
    *value = on;
    Edited();
  });
  refreshers_.push_back([box, value] {
    if (box->isChecked() != *value) box->setChecked(*value);
  });
}

void TBinder::Lines(QPlainTextEdit* edit, TStringList* lines) {
  QObject::connect(edit, &QPlainTextEdit::textChanged, [this, edit, lines] {
    if (Refreshing()) return;
    lines->SetText(S(edit->toPlainText()));
    Edited();
  });
  refreshers_.push_back([edit, lines] {
    QString t = Q(lines->Text());
    if (edit->toPlainText() != t) edit->setPlainText(t);
  });
}

void TBinder::Choice(std::vector<QRadioButton*> buttons, std::function<int()> get,
                     std::function<void(int)> set) {
  for (size_t i = 0; i < buttons.size(); ++i) {
    QObject::connect(buttons[i], &QRadioButton::toggled, [this, i, set](bool on) {
      if (!on || Refreshing()) return;
      set(static_cast<int>(i));
      Edited();
    });
  }
  refreshers_.push_back([buttons, get] {
    int v = get();
    if (v >= 0 && v < static_cast<int>(buttons.size()) && !buttons[v]->isChecked())
      buttons[v]->setChecked(true);
  });
}

void TBinder::Index(QComboBox* box, std::function<int()> get, std::function<void(int)> set) {
  QObject::connect(box, &QComboBox::activated, [this, set](int i) {
    set(i);
    Edited();
  });
  refreshers_.push_back([box, get] {
    if (box->currentIndex() != get()) box->setCurrentIndex(get());
  });
}

void TBinder::Color(QToolButton* button, TColor* value, std::function<void()> picked) {
  QObject::connect(button, &QToolButton::clicked, [this, button, value, picked] {
    QColor c = ToQColor(*value);
    if (!Prompts().ChooseColor(button->window(), c)) return;
    *value = FromQColor(c);
    if (picked) picked();
    Edited();
    Refresh();
  });
  refreshers_.push_back([button, value] { ShowColor(button, *value); });
}

void TBinder::Refresh() {
  ++refreshing_;
  for (auto& r : refreshers_) r();
  --refreshing_;
}

}  // namespace morvale::form
