// What a person reads in a window: every caption, label, item, tab, menu entry, hint and title
// of a widget tree, gathered with where it was found, and the check that none of it is in the
// other interface language.
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class QMenu;
class QWidget;

namespace morvale::test {

struct TShownText {
  std::string Where;  // "window / objectName / what"
  QString Text;
};

class TShownTexts {
 public:
  // Widgets whose items or texts are data (table names, field names, fonts, paths, SQL): their
  // own hints are still read.
  QSet<QString> DataWidgets;
  // Data values that texts quote (a table's name in a status).
  QSet<QString> DataValues;

  void Window(QWidget* window, const std::string& name);
  void Menu(QMenu* menu, const std::string& where);
  void Add(const std::string& where, const QString& text);

  const std::vector<TShownText>& Texts() const { return texts_; }

 private:
  void Widget(QWidget* w, const std::string& where);
  std::vector<TShownText> texts_;
};

// The words of `text` that are not of `language` ("ru": Latin words outside the names a Russian
// interface writes as they are; "en": any Cyrillic word).
QStringList ForeignWords(const QString& text, const std::string& language,
                         const QSet<QString>& dataValues = {});

}  // namespace morvale::test
