#include "tests/app/main/shown_texts.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTreeWidget>

namespace morvale::test {
namespace {

std::string Name(const QObject* o) {
  return o->objectName().isEmpty() ? o->metaObject()->className() : o->objectName().toStdString();
}

// Names a Russian interface writes in Latin letters, as they are written: formats, products, SQL
// words, the values True/False/Null, file patterns and the words of a standard login.
const QSet<QString>& Names() {
  static const QSet<QString> names = [] {
    QSet<QString> s;
    for (const char* n :
         {"SQL",         "PDF",       "HTML",    "CSV",     "XML",        "DBF",     "DB",
          "LaTeX",       "SYLK",      "DIF",     "Excel",   "Word",       "PHP",     "JSON",
          "Lines",       "RTF",       "TXT",     "SDF",     "MS",         "OLE",     "CSS",
          "URL",         "UTF",       "BOM",     "KOI",     "ISO",        "Windows", "Microsoft",
          "MEMO",        "Memo",      "ID",      "IB",      "BDE",        "OK",      "Morvale",
          "True",        "False",     "Null",    "INSERT",  "SELECT",     "SHOW",    "DESC",
          "DESCRIBE",    "CREATE",    "TABLE",   "fields",  "index",      "USER",    "SYSDBA",
          "password",    "brickmoss", "GIF",     "JPEG",    "CompuServe", "Letter",  "Legal",
          "US",          "Std",       "Fanfold", "JIS",     "body",       "table",   "php",
          "txt",         "dbf",       "sql",     "html",    "htm",        "xml",     "csv",
          "xls",         "xlsx",      "doc",     "rtf",     "pdf",        "tex",     "slk",
          "dif",         "json",      "ini",     "cfg",     "rst",        "xst",     "jpg",
          "jpeg",        "png",       "gif",     "bmp",     "db",         "dBASE",   "SQLite",
          "LibreOffice", "Calc",      "Aa",      "insert",  "gzip",       "gz",      "zstd",
          "zst",         "SHA",       "Parquet", "parquet", "Markdown",   "md"})
      s.insert(QString::fromUtf8(n));
    return s;
  }();
  return names;
}

}  // namespace

void TShownTexts::Add(const std::string& where, const QString& text) {
  if (!text.trimmed().isEmpty()) texts_.push_back({where, text});
}

void TShownTexts::Menu(QMenu* menu, const std::string& where) {
  Add(where + " / title", menu->title());
  for (QAction* a : menu->actions()) {
    std::string at = where + " / " + Name(a);
    if (a->menu()) {
      Menu(a->menu(), at);
      continue;
    }
    Add(at, a->text());
    if (a->toolTip() != a->text().remove(QLatin1Char('&'))) Add(at + " / hint", a->toolTip());
    Add(at + " / status", a->statusTip());
    Add(at + " / what's this", a->whatsThis());
  }
}

void TShownTexts::Window(QWidget* window, const std::string& name) {
  Add(name + " / title", window->windowTitle());
  Widget(window, name);
}

void TShownTexts::Widget(QWidget* w, const std::string& window) {
  const std::string where = window + " / " + Name(w);
  const bool data = DataWidgets.contains(w->objectName());
  Add(where + " / hint", w->toolTip());
  Add(where + " / status", w->statusTip());
  Add(where + " / what's this", w->whatsThis());
  if (auto* l = qobject_cast<QLabel*>(w); l && !data) Add(where, l->text());
  if (auto* b = qobject_cast<QAbstractButton*>(w); b && !data) Add(where, b->text());
  if (auto* g = qobject_cast<QGroupBox*>(w)) Add(where, g->title());
  if (auto* e = qobject_cast<QLineEdit*>(w)) Add(where + " / placeholder", e->placeholderText());
  if (auto* c = qobject_cast<QComboBox*>(w); c && !data && !c->isEditable())
    for (int i = 0; i < c->count(); ++i) Add(where + " / item", c->itemText(i));
  if (auto* t = qobject_cast<QTabWidget*>(w))
    for (int i = 0; i < t->count(); ++i) {
      Add(where + " / tab", t->tabText(i));
      Add(where + " / tab hint", t->tabToolTip(i));
    }
  if (auto* l = qobject_cast<QListWidget*>(w); l && !data)
    for (int i = 0; i < l->count(); ++i) Add(where + " / item", l->item(i)->text());
  // Column headings (Qt's own views' too, such as the file chooser's); a data view's are names.
  if (auto* h = qobject_cast<QHeaderView*>(w);
      h && h->orientation() == Qt::Horizontal && h->model() &&
      !DataWidgets.contains(h->parentWidget()->objectName()))
    for (int i = 0; i < h->count(); ++i)
      Add(where + " / column", h->model()->headerData(i, Qt::Horizontal).toString());
  if (auto* t = qobject_cast<QTreeWidget*>(w)) {
    // The fixed nodes; the items under them carry their own names (data).
    for (int i = 0; i < t->topLevelItemCount(); ++i)
      Add(where + " / node", t->topLevelItem(i)->text(0));
  }
  for (QAction* a : w->actions()) {
    if (a->menu())
      Menu(a->menu(), where);
    else
      Add(where + " / " + Name(a), a->text());
  }
  for (QObject* child : w->children())
    if (auto* cw = qobject_cast<QWidget*>(child); cw && !cw->isWindow()) Widget(cw, window);
}

QStringList ForeignWords(const QString& text, const std::string& language,
                         const QSet<QString>& dataValues) {
  QStringList foreign;
  if (language == "en") {
    static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]+"));
    for (auto m = cyrillic.globalMatch(text); m.hasNext();) foreign << m.next().captured();
    return foreign;
  }
  // Identifiers, paths, patterns and shortcuts are names whatever letters they hold.
  QString words = text;
  static const QRegularExpression names(
      QStringLiteral("\\S*[_/\\\\*$#<>=@]\\S*|\\b[A-Za-z]*\\d[\\w.-]*|&(?=[A-Za-z])"));
  words.replace(names, QStringLiteral(" "));
  static const QRegularExpression latin(QStringLiteral("[A-Za-z]{2,}"));
  for (auto m = latin.globalMatch(words); m.hasNext();) {
    QString word = m.next().captured();
    if (!Names().contains(word) && !dataValues.contains(word)) foreign << word;
  }
  return foreign;
}

}  // namespace morvale::test
