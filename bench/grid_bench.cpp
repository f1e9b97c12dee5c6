// The main window's grid on a large table: how long opening takes until the first rows are
// painted, and how long jumps to the last row, back to the first and to the middle take until
// the grid has painted them; and the process's peak memory. Usage: grid_bench DATABASE TABLE
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/engine/aliases.h"
#include "app/helpers/prompts.h"
#include "app/main/wiring.h"

namespace {

long PeakKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace morvale;
  if (argc < 4) {
    std::fprintf(stderr, "usage: grid_bench DATABASE TABLE WORKFOLDER\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::string work = std::string(argv[3]) + "/";
  {
    std::ofstream ini(work + "engine.ini");
    ini << "[BENCH]\nDRIVER=SQLITE\nPATH=" << argv[1] << "\n";
  }
  TAliasConfig::Instance().Load(work + "user.ini", work + "engine.ini");
  TScriptedPrompts prompts;
  SetPrompts(&prompts);
  TProgramWindows windows(work);
  TForm1& form = *windows.Form1;
  form.resize(1180, 760);
  form.show();
  QApplication::processEvents();
  long before = PeakKilobytes();

  form.CB_AliasBDE5->setCurrentText(QStringLiteral("BENCH"));
  form.SpeedButton2->click();
  auto items = form.List_Tables->findItems(QString::fromUtf8(argv[2]), Qt::MatchExactly);
  if (items.isEmpty()) {
    std::fprintf(stderr, "no table %s\n", argv[2]);
    return 1;
  }
  form.List_Tables->setCurrentItem(items[0]);
  QTableView& grid = *form.DBGrid1;
  auto paint = [&] {
    grid.viewport()->repaint();
    QApplication::processEvents();
  };
  auto ms = [](QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; };

  QElapsedTimer t;
  t.start();
  form.List_TablesDblClick();
  paint();
  double open = ms(t);
  int rows = form.GridModel().rowCount();
  bool ok = rows > 0 && !prompts.Shown.size();

  auto jump = [&](int row) {
    QElapsedTimer j;
    j.start();
    grid.setCurrentIndex(form.GridModel().index(row, 0));
    grid.scrollTo(form.GridModel().index(row, 0));
    paint();
    double took = ms(j);
    ok = ok && form.GridModel().index(row, 0).data().toString() == QString::number(row + 1);
    return took;
  };
  double last = jump(rows - 1);
  double first = jump(0);
  double middle = jump(rows / 2);
  double lastAgain = jump(rows - 1);
  double middleFromLast = jump(rows / 2);
  // Scrolling up a page at a time from the middle: the slowest step.
  double worstPageUp = 0;
  for (int i = 1; i <= 40; ++i) {
    QElapsedTimer s;
    s.start();
    grid.verticalScrollBar()->setValue(rows / 2 - i * 30);
    paint();
    worstPageUp = std::max(worstPageUp, ms(s));
  }
  long peak = PeakKilobytes();
  std::printf("rows                 %d\n", rows);
  std::printf("open to first rows   %8.1f ms   (goal < 1000)\n", open);
  std::printf("jump to last row     %8.1f ms   (goal < 500)\n", last);
  std::printf("back to first row    %8.1f ms   (goal < 500)\n", first);
  std::printf("to the middle        %8.1f ms   (goal < 500)\n", middle);
  std::printf("last again           %8.1f ms\n", lastAgain);
  std::printf("middle from last     %8.1f ms\n", middleFromLast);
  std::printf("worst page up        %8.1f ms\n", worstPageUp);
  std::printf("peak memory          %8.1f MB   (goal < 150; %.1f MB before opening)\n",
              peak / 1024.0, before / 1024.0);
  std::printf("rows read right      %s\n", ok ? "yes" : "NO");
  SetPrompts(nullptr);
  bool fast = open < 1000 && last < 500 && first < 500 && middle < 500 && peak < 150 * 1024;
  return ok && fast ? 0 : 1;
}
