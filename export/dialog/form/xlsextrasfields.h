// What the editors of the spreadsheet page's extras share: small builders of labelled fields and
// the fields bound to the selected item's properties. Only the extras page's sources include it.
#pragma once

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "export/dialog/form/binder.h"
#include "export/dialog/form/xlsextraspage.h"

namespace morvale::form::extras {

inline QLabel* Label(const QString& text, QWidget* buddy) {
  auto* l = new QLabel(text);
  l->setBuddy(buddy);
  return l;
}

template <class W>
W* Named(W* w, const char* name) {
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

inline QComboBox* Choice(const char* name, const QStringList& items) {
  auto* c = Named(new QComboBox, name);
  c->addItems(items);
  return c;
}

// Toggle buttons of the note font, captioned and hinted as in the cell format editor.
inline QToolButton* Toggle(const char* name, const QString& text, const QString& hint) {
  auto* b = Named(new QToolButton, name);
  b->setText(text);
  b->setToolTip(hint);
  b->setCheckable(true);
  return b;
}

inline QRadioButton* Radio(const char* name, const QString& text) {
  return Named(new QRadioButton(text), name);
}

inline QWidget* Page(QLayout* layout) {
  auto* w = new QWidget;
  w->setLayout(layout);
  return w;
}

// A form of label and field rows with room below.
inline QFormLayout* Form() {
  auto* f = new QFormLayout;
  f->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  return f;
}

inline QWidget* Stretched(QFormLayout* form) {
  auto* v = new QVBoxLayout;
  v->addLayout(form);
  v->addStretch();
  return Page(v);
}

// Two choices each with its own fields; the fields of the choice not taken are disabled.
inline void EnableByChoice(QRadioButton* first, const std::vector<QWidget*>& firstFields,
                           const std::vector<QWidget*>& secondFields) {
  for (QWidget* w : firstFields) w->setEnabled(first->isChecked());
  for (QWidget* w : secondFields) w->setEnabled(!first->isChecked());
}

}  // namespace morvale::form::extras

namespace morvale::form {

using namespace extras;

template <typename T>
QLineEdit* TxlsExtrasPage::IntField(const char* name, int bits, std::function<int&(T&)> field,
                                    bool onEnter) {
  auto* edit = Named(new QLineEdit, name);
  edit->setMaximumWidth(90);
  auto read = [this, edit, bits, field] {
    T* item = Item<T>();
    if (!item || showing_) return;
    const TxlsIntField v = xlsIntField(S(edit->text()), bits);
    field(*item) = v.Value;
    if (edit->text() != Q(v.Shown)) edit->setText(Q(v.Shown));
    UpdateNodeText(*tree_.Selected());
  };
  edit->installEventFilter(this);
  focusOut_[edit] = read;
  if (onEnter) connect(edit, &QLineEdit::returnPressed, this, read);
  OnShow([this, edit, field] {
    if (T* item = Item<T>()) edit->setText(QString::number(field(*item)));
  });
  return edit;
}

template <typename T>
QLineEdit* TxlsExtrasPage::TextField(const char* name,
                                     std::function<void(T&, const std::string&)> set) {
  auto* edit = Named(new QLineEdit, name);
  connect(edit, &QLineEdit::textEdited, this, [this, set](const QString& text) {
    if (T* item = Item<T>(); item && !showing_) set(*item, S(text));
  });
  return edit;
}

template <typename T>
QComboBox* TxlsExtrasPage::ColumnField(const char* name, std::function<std::string&(T&)> field) {
  QComboBox* box = Choice(name, columns_);
  connect(box, &QComboBox::activated, this, [this, box, field](int i) {
    if (T* item = Item<T>(); item && !showing_ && i >= 0) field(*item) = S(box->itemText(i));
  });
  // A column the export no longer has shows as no choice.
  OnShow([this, box, field] {
    if (T* item = Item<T>()) box->setCurrentIndex(box->findText(Q(field(*item))));
  });
  return box;
}

template <typename T>
QComboBox* TxlsExtrasPage::IndexField(const char* name, const QStringList& items,
                                      std::function<int(T&)> get,
                                      std::function<void(T&, int)> set) {
  QComboBox* box = Choice(name, items);
  connect(box, &QComboBox::activated, this, [this, set](int i) {
    if (T* item = Item<T>(); item && !showing_ && i >= 0) set(*item, i);
  });
  OnShow([this, box, get] {
    if (T* item = Item<T>()) box->setCurrentIndex(get(*item));
  });
  return box;
}

template <typename T>
void TxlsExtrasPage::RangeField(QFormLayout* f, const std::string& name,
                                std::function<TxlsRangeType&(T&)> type,
                                std::function<std::string&(T&)> column,
                                std::function<TxlsDataRange&(T&)> range) {
  QRadioButton* byColumn = Radio(("rb" + name + "Column").c_str(), tr("Колонка"));
  QRadioButton* custom = Radio(("rb" + name + "Custom").c_str(), tr("Вручную"));
  QComboBox* box = ColumnField<T>(("cbx" + name + "Column").c_str(), column);
  f->addRow(byColumn, box);
  f->addRow(custom);
  // Columns fit in 8 bits, rows in 16, as the workbook's chart references keep them.
  const struct {
    const char* key;
    const char* label;
    int bits;
    int TxlsDataRange::*corner;
  } corners[] = {{"Col1", QT_TR_NOOP("Кол. 1"), 8, &TxlsDataRange::Col1},
                 {"Row1", QT_TR_NOOP("Стр. 1"), 16, &TxlsDataRange::Row1},
                 {"Col2", QT_TR_NOOP("Кол. 2"), 8, &TxlsDataRange::Col2},
                 {"Row2", QT_TR_NOOP("Стр. 2"), 16, &TxlsDataRange::Row2}};
  std::vector<QWidget*> fields;
  for (const auto& c : corners) {
    const auto corner = c.corner;
    QLineEdit* e = IntField<T>(("ed" + name + c.key).c_str(), c.bits,
                               [range, corner](T& t) -> int& { return range(t).*corner; });
    fields.push_back(e);
    f->addRow(Label(tr(c.label), e), e);
  }
  auto enable = [byColumn, box, fields] { EnableByChoice(byColumn, {box}, fields); };
  for (QRadioButton* r : {byColumn, custom})
    connect(r, &QRadioButton::clicked, this, [this, byColumn, type, enable] {
      if (T* item = Item<T>(); item && !showing_)
        type(*item) = byColumn->isChecked() ? rtColumn : rtCustom;
      enable();
    });
  OnShow([this, byColumn, custom, type, enable] {
    (type(*Item<T>()) == rtColumn ? byColumn : custom)->setChecked(true);
    enable();
  });
}

}  // namespace morvale::form
