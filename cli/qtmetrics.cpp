#include "cli/qtmetrics.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "export/core/codepage.h"

namespace morvale::cli {

void EnsureGuiApplication() {
  if (QCoreApplication::instance()) return;
  // Fonts need a platform; the offscreen one needs no display, which scripts often lack.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Qt's own notes (no runtime folder, no session bus) are no business of an export script's
  // standard error; real failures reach the user as the exporter's errors.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
    if (type == QtCriticalMsg || type == QtFatalMsg) fprintf(stderr, "%s\n", qPrintable(msg));
  });
  static int argc = 1;
  static char name[] = "morvale-export";
  static char* argv[] = {name, nullptr};
  // Never destroyed: the offscreen platform's font database, on its way out, loads the whole
  // font configuration (dozens of files parsed) only to free it, which is a tenth of a short
  // export's time. The process ends right after; the system takes back what it held.
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

namespace {

QFont ToQFont(const TFont& f) {
  QFont q(QString::fromUtf8(
      SystemCodePageIsUtf8() ? f.Name : ConvertText(f.Name, SystemCodePage(), "UTF-8")));
  q.setPointSize(f.Size > 0 ? f.Size : 10);
  q.setBold(f.Style & fsBold);
  q.setItalic(f.Style & fsItalic);
  q.setUnderline(f.Style & fsUnderline);
  q.setStrikeOut(f.Style & fsStrikeOut);
  return q;
}

QString ToQString(const std::string& text) {
  if (SystemCodePageIsUtf8())
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  std::string utf8 = ConvertText(text, SystemCodePage(), "UTF-8");
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

int TQtTextMetrics::TextWidth(const TFont& font, const std::string& text) {
  EnsureGuiApplication();
  return QFontMetrics(ToQFont(font)).horizontalAdvance(ToQString(text));
}

int TQtTextMetrics::TextHeight(const TFont& font, const std::string&) {
  EnsureGuiApplication();
  return QFontMetrics(ToQFont(font)).height();
}

}  // namespace morvale::cli
