#include "export/dialog/form/prompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "export/dialog/form/binder.h"
#include "export/dialog/form/xlscolorchooser.h"

namespace morvale {

namespace {

bool ChooseFile(QWidget* parent, const QString& title, const TFileFilter& filter,
                QFileDialog::AcceptMode mode, QString& fileName) {
  QFileDialog d(parent, title, fileName);
  d.setAcceptMode(mode);
  if (mode == QFileDialog::AcceptOpen) d.setFileMode(QFileDialog::ExistingFile);
  d.setNameFilters(QtNameFilters(filter.filter));
  d.setDefaultSuffix(filter.defaultExt);
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return false;
  fileName = d.selectedFiles().first();
  return true;
}

class TQtPrompts : public IPrompts {
 public:
  void Information(QWidget* parent, const QString& title, const QString& text) override {
    QMessageBox::information(parent, title, text);
  }
  void Error(QWidget* parent, const QString& title, const QString& text) override {
    QMessageBox::critical(parent, title, text);
  }
  bool Question(QWidget* parent, const QString& title, const QString& text, TButtons buttons,
                bool defaultYes) override {
    QMessageBox::StandardButton yes =
        buttons == TButtons::YesNo ? QMessageBox::Yes : QMessageBox::Ok;
    QMessageBox::StandardButton no =
        buttons == TButtons::YesNo ? QMessageBox::No : QMessageBox::Cancel;
    return QMessageBox::question(parent, title, text, yes | no, defaultYes ? yes : no) == yes;
  }
  bool InputText(QWidget* parent, const QString& title, const QString& prompt,
                 QString& value) override {
    bool ok = false;
    QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, value, &ok);
    if (ok) value = text;
    return ok;
  }
  bool Login(QWidget* parent, const QString& database, QString& user, QString& password) override;
  bool ChooseFolder(QWidget* parent, QString& folder) override {
    QString dir = QFileDialog::getExistingDirectory(
        parent, QApplication::translate("Choosers", "Выбор папки"), folder);
    if (dir.isEmpty()) return false;
    folder = dir;
    return true;
  }
  bool SaveFileName(QWidget* parent, const TFileFilter& filter, const QString& title,
                    QString& fileName) override {
    return ChooseFile(parent, title, filter, QFileDialog::AcceptSave, fileName);
  }
  bool OpenFileName(QWidget* parent, const TFileFilter& filter, QString& fileName) override {
    return ChooseFile(parent, QString(), filter, QFileDialog::AcceptOpen, fileName);
  }
  bool ChooseColor(QWidget* parent, QColor& color) override {
    QColor c = QColorDialog::getColor(color, parent);
    if (!c.isValid()) return false;
    color = c;
    return true;
  }
  bool ChoosePaletteColor(QWidget* parent, QColor& color) override {
    form::TxlsColorChooser chooser(ScreenToxlsColor(form::FromQColor(color)), parent);
    if (chooser.exec() != QDialog::Accepted) return false;
    color = form::ToQColor(xlsColorToScreen(chooser.Color()));
    return true;
  }
};

bool TQtPrompts::Login(QWidget* parent, const QString& database, QString& user, QString& password) {
  QDialog box(parent);
  box.setWindowTitle(QApplication::translate("Login", "Вход в базу данных"));
  auto* form = new QFormLayout(&box);
  auto* databaseEdit = new QLineEdit(database, &box);
  auto* userEdit = new QLineEdit(user, &box);
  auto* passwordEdit = new QLineEdit(&box);
  databaseEdit->setEnabled(false);
  passwordEdit->setEchoMode(QLineEdit::Password);
  form->addRow(QApplication::translate("Login", "База данных:"), databaseEdit);
  form->addRow(QApplication::translate("Login", "Пользователь:"), userEdit);
  form->addRow(QApplication::translate("Login", "Пароль:"), passwordEdit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
  (user.isEmpty() ? userEdit : passwordEdit)->setFocus();
  if (box.exec() != QDialog::Accepted) return false;
  user = userEdit->text();
  password = passwordEdit->text();
  return true;
}

IPrompts* installed = nullptr;

}  // namespace

IPrompts& Prompts() {
  static TQtPrompts qt;
  return installed ? *installed : qt;
}

void SetPrompts(IPrompts* prompts) {
  installed = prompts;
}

TPromptsGuard::TPromptsGuard(IPrompts& p) : previous_(installed) {
  installed = &p;
}

TPromptsGuard::~TPromptsGuard() {
  installed = previous_;
}

bool RunShowingErrors(QWidget* parent, const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const std::exception& e) {
    Prompts().Error(parent, QCoreApplication::translate("TExportDialogF", "Ошибка"),
                    QString::fromUtf8(e.what()));
    return false;
  }
}

QStringList QtNameFilters(const QString& filter) {
  QStringList out;
  // The filters are written once, in English, where they are declared (QT_TRANSLATE_NOOP and
  // MVL_TEXT_NOOP with the context "Filters"); the chooser shows them in the interface's language.
  const QByteArray source = filter.toUtf8();
  const QStringList parts =
      QCoreApplication::translate("Filters", source.constData()).split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    // A parenthesis listing patterns is for people and may be loose ("(*pdf)", commas); Qt reads
    // the patterns from it, so it is rebuilt from the patterns after the bar. One that names no
    // pattern belongs to the description ("SQL(insert)").
    qsizetype open = description.lastIndexOf(QLatin1Char('('));
    if (open > 0 && description.endsWith(QLatin1Char(')')) &&
        description.indexOf(QLatin1Char('*'), open) > 0)
      description = description.left(open).trimmed();
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    out << QStringLiteral("%1 (%2)").arg(description, patterns.trimmed());
  }
  return out;
}

QString WithDefaultExt(const QString& fileName, const QString& ext) {
  if (fileName.isEmpty() || ext.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
    return fileName;
  return fileName + QLatin1Char('.') + ext;
}

}  // namespace morvale
