#include "export/dialog/form/prompts.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include "export/dialog/form/binder.h"
#include "export/dialog/form/xlscolorchooser.h"

namespace morvale::form {

namespace {

IPrompts* installed = nullptr;

}  // namespace

IPrompts& Prompts() {
  static TQtPrompts qt;
  return installed ? *installed : qt;
}

void SetPrompts(IPrompts* prompts) {
  installed = prompts;
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
    // The description's own parenthesis is for people and may be loose ("(*pdf)", commas);
    // Qt reads the patterns from it, so it is rebuilt from the patterns after the bar.
    qsizetype open = description.lastIndexOf(QLatin1Char('('));
    if (open > 0 && description.endsWith(QLatin1Char(')')))
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

// ---- Qt ---------------------------------------------------------------------------------------

void TQtPrompts::Information(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::information(parent, title, text);
}

void TQtPrompts::Error(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::critical(parent, title, text);
}

bool TQtPrompts::Question(QWidget* parent, const QString& title, const QString& text,
                          bool defaultYes) {
  return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                               defaultYes ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes;
}

bool TQtPrompts::InputText(QWidget* parent, const QString& title, const QString& prompt,
                           QString& value) {
  bool ok = false;
  QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, value, &ok);
  if (ok) value = text;
  return ok;
}

bool TQtPrompts::SaveFileName(QWidget* parent, const TFileFilter& filter, QString& fileName) {
  QFileDialog d(parent, QString(), fileName);
  d.setAcceptMode(QFileDialog::AcceptSave);
  d.setNameFilters(QtNameFilters(filter.filter));
  d.setDefaultSuffix(filter.defaultExt);
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return false;
  fileName = d.selectedFiles().first();
  return true;
}

bool TQtPrompts::OpenFileName(QWidget* parent, const TFileFilter& filter, QString& fileName) {
  QFileDialog d(parent, QString(), fileName);
  d.setAcceptMode(QFileDialog::AcceptOpen);
  d.setFileMode(QFileDialog::ExistingFile);
  d.setNameFilters(QtNameFilters(filter.filter));
  d.setDefaultSuffix(filter.defaultExt);
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return false;
  fileName = d.selectedFiles().first();
  return true;
}

bool TQtPrompts::ChooseColor(QWidget* parent, QColor& color) {
  QColor c = QColorDialog::getColor(color, parent);
  if (!c.isValid()) return false;
  color = c;
  return true;
}

bool TQtPrompts::ChoosePaletteColor(QWidget* parent, QColor& color) {
  TxlsColorChooser chooser(ScreenToxlsColor(FromQColor(color)), parent);
  if (chooser.exec() != QDialog::Accepted) return false;
  color = ToQColor(xlsColorToScreen(chooser.Color()));
  return true;
}

// ---- scripted ---------------------------------------------------------------------------------

QString TScriptedPrompts::Next() {
  if (answers_.empty()) return QString();
  QString a = answers_.front();
  answers_.pop_front();
  return a;
}

void TScriptedPrompts::Information(QWidget*, const QString& title, const QString& text) {
  asked_.push_back({TAsked::Information, title, text});
}

void TScriptedPrompts::Error(QWidget*, const QString& title, const QString& text) {
  asked_.push_back({TAsked::Error, title, text});
}

bool TScriptedPrompts::Question(QWidget*, const QString& title, const QString& text, bool) {
  asked_.push_back({TAsked::Question, title, text});
  return !Next().isEmpty();
}

bool TScriptedPrompts::InputText(QWidget*, const QString& title, const QString& prompt,
                                 QString& value) {
  asked_.push_back({TAsked::Input, title, prompt});
  QString a = Next();
  if (a.isEmpty()) return false;
  value = a;
  return true;
}

bool TScriptedPrompts::Choose(TAsked::Kind kind, const TFileFilter& filter, QString& fileName) {
  asked_.push_back({kind, filter.filter, fileName});
  QString a = Next();
  if (a.isEmpty()) return false;
  fileName = WithDefaultExt(a, filter.defaultExt);
  return true;
}

bool TScriptedPrompts::SaveFileName(QWidget*, const TFileFilter& filter, QString& fileName) {
  return Choose(TAsked::Save, filter, fileName);
}

bool TScriptedPrompts::OpenFileName(QWidget*, const TFileFilter& filter, QString& fileName) {
  return Choose(TAsked::Open, filter, fileName);
}

bool TScriptedPrompts::ChooseColor(QWidget*, QColor& color) {
  asked_.push_back({TAsked::Color, QString(), color.name()});
  QString a = Next();
  if (a.isEmpty()) return false;
  color = QColor(a);
  return true;
}

bool TScriptedPrompts::ChoosePaletteColor(QWidget*, QColor& color) {
  asked_.push_back({TAsked::Color, QStringLiteral("palette"), color.name()});
  QString a = Next();
  if (a.isEmpty()) return false;
  color = QColor(a);
  return true;
}

}  // namespace morvale::form
