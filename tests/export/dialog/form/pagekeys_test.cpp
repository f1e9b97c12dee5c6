// Every setting a page declares (export/dialog/pagekeys.h), driven through the dialog: set on its
// widget, saved to an options file, loaded into a fresh dialog and shown on the widget again.
#include <QAction>
#include <QComboBox>
#include <QFontComboBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "app/engine/connect.h"
#include "export/dialog/pagekeys.h"
#include "tests/export/dialog/form/formdriver.h"
#include "tests/support/demo.h"

namespace morvale::test {
namespace {

class PageKeys : public FormTest {
 protected:
  PageKeys()
      : ds(OpenQuery("sqlite:" + DemoDatabase(), "SELECT * FROM orders", DefaultFormatSettings())),
        folder(FreshFolder("pagekeys")) {
    dialog.SetDataSet(ds.get());
    dialog.SaveLoadButtons = true;
    dialog.FileName = folder + "orders.html";
  }
  void Execute(const std::function<void(form::TExportDialogF&, TFormDriver&)>& drive) {
    dialog.Execute([&](TExportDialogModel& model) {
      form::TExportDialogF f(model);
      f.show();
      TFormDriver d(f);
      drive(f, d);
    });
  }
  // Sets every setting of a page's list through its widget on the page of the type, saves the
  // options through the menu, loads them into a fresh dialog, checks each setting and its widget
  // there, and returns how many settings the list declares.
  template <class List>
  int RoundTrip(const QString& type, List list);

  std::unique_ptr<TDataSet> ds;
  std::string folder;
  TExportDialog dialog;
};

std::vector<QRadioButton*> Buttons(TFormDriver& d, const char* widgets) {
  std::vector<QRadioButton*> buttons;
  for (const QString& name : QString::fromUtf8(widgets).split(QLatin1Char(' ')))
    buttons.push_back(d.W<QRadioButton>(name.toUtf8().constData()));
  return buttons;
}

bool IsSpin(TFormDriver& d, const char* w) {
  return qobject_cast<QSpinBox*>(d.W<QWidget>(w)) != nullptr;
}

// A number typed over what a spin box's field shows.
void TypeInSpin(QLineEdit* field, int v) {
  field->setFocus();
  field->selectAll();
  TFormDriver::Keys(field, QString::number(v));
}

// The check box of a limit's switch, or its "on" button.
QAbstractButton* SwitchOn(TFormDriver& d, const char* widgets) {
  if (pages::ChoiceCount(widgets) == 1) return d.W<QAbstractButton>(widgets);
  return Buttons(d, widgets).back();
}

// Gives every setting a value other than its default through its widget, as a person would.
struct TEditKeys {
  TFormDriver& d;
  TScriptedPrompts& prompts;
  TDialogSettings& s;
  const TDialogSettings defaults;
  int n = 0;

  template <class K, class A>
  void Changed(K, const char* key, A setting) {
    EXPECT_FALSE(setting.Of(s) == setting.Of(defaults)) << key << " did not reach the settings";
    ++n;
  }
  void operator()(pages::key::Text k, const char* key, const char* w, auto setting, auto) {
    const QString typed = QStringLiteral("«%1» — значение %2").arg(key).arg(n);
    d.Type(w, typed);
    EXPECT_EQ(setting.Of(s), typed.toStdString()) << key;
    Changed(k, key, setting);
  }
  void operator()(pages::key::Line k, const char* key, const char* w, auto setting, auto) {
    d.Type(w, QStringLiteral("class=\"x%1\" title='т'").arg(n));
    EXPECT_EQ(setting.Of(s).Text(), "class=\"x" + std::to_string(n) + "\" title='т'") << key;
    Changed(k, key, setting);
  }
  void operator()(pages::key::Count k, const char* key, const char* w, auto setting, auto) {
    if (auto* box = d.W<QWidget>(w)->template findChild<QLineEdit*>(); box && IsSpin(d, w))
      TypeInSpin(box, 20 + n);
    else
      d.Type(w, QString::number(20 + n));
    EXPECT_EQ(setting.Of(s), 20 + n) << key;
    Changed(k, key, setting);
  }
  void operator()(pages::key::Bool k, const char* key, const char* w, auto setting, auto) {
    d.Click(w);
    Changed(k, key, setting);
  }
  void operator()(pages::key::Choice k, const char* key, const char* w, auto setting, auto) {
    d.Click(Buttons(d, w).back());
    EXPECT_EQ(static_cast<int>(setting.Of(s)), pages::ChoiceCount(w) - 1) << key;
    Changed(k, key, setting);
  }
  void operator()(pages::key::Color k, const char* key, const char* w, auto setting, auto) {
    prompts.SetNextText(QColor(0x10 + n, 0x20, 0x30 + n).name());
    d.Click(w);
    EXPECT_EQ(setting.Of(s), TColor(0x300000 + 0x10000 * n + 0x2000 + 0x10 + n)) << key;
    Changed(k, key, setting);
  }
  void operator()(pages::key::Pick k, const char* key, const char* w, auto setting, auto) {
    auto* box = d.W<QComboBox>(w);
    box->lineEdit()->selectAll();
    TFormDriver::Keys(box->lineEdit(), QStringLiteral("KOI8-U"));
    EXPECT_EQ(setting.Of(s), "KOI8-U") << key;
    Changed(k, key, setting);
  }
  // Characters no default has, the tab among them as its file form shows it.
  void operator()(pages::key::Char k, const char* key, const char* w, auto setting, auto) {
    const char c = "|\t~^"[n % 4];
    d.Type(w, c == '\t' ? QStringLiteral("#9") : QString(QChar(c)));
    EXPECT_EQ(setting.Of(s), c) << key;
    Changed(k, key, setting);
  }
  void operator()(pages::key::Format, const char* key, const char* w, auto setting, auto) {
    const QString typed = QStringLiteral("«%1» %2").arg(key).arg(n);
    d.Type(w, typed);
    EXPECT_EQ(setting.Of(std::as_const(s)), typed.toStdString()) << key;
    EXPECT_NE(setting.Of(std::as_const(s)), setting.Of(defaults)) << key;
    ++n;
  }
  void operator()(pages::key::Spacing k, const char* key, const char* w, auto setting, auto) {
    d.Type(w, QStringLiteral("%1.5").arg(4 + n));
    EXPECT_EQ(setting.Of(s), 4.5 + n) << key;
    Changed(k, key, setting);
  }
  // The last item, chosen from the keyboard.
  void operator()(pages::key::Listed k, const char* key, const char* w, auto setting, auto) {
    auto* box = d.W<QComboBox>(w);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_End);
    EXPECT_EQ(static_cast<int>(setting.Of(s)), box->count() - 1) << key;
    Changed(k, key, setting);
  }
  void operator()(pages::key::Points k, const char* key, const char* w, auto setting, auto) {
    d.Type(w, QString::number(100 + n));
    EXPECT_EQ(static_cast<int>(setting.Of(s)), 100 + n) << key;
    Changed(k, key, setting);
  }
  void operator()(pages::key::Rows k, const char* key, const char* w, auto setting, auto) {
    d.Type(w, QString::number(100000 + n));
    EXPECT_EQ(setting.Of(s), 100000 + n) << key;
    Changed(k, key, setting);
  }
  void operator()(pages::key::Bytes k, const char* key, const char* w, auto setting, auto) {
    d.Type(w, QStringLiteral("%1M").arg(2 + n));
    EXPECT_EQ(setting.Of(s), int64_t{2 + n} << 20) << key;
    Changed(k, key, setting);
  }
  void operator()(pages::key::Compression k, const char* key, const char* w, auto setting, auto) {
    auto* box = d.W<QComboBox>(w);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_End);
    EXPECT_EQ(setting.Of(s), cmpZstd) << key;
    Changed(k, key, setting);
  }
  void operator()(pages::key::Term k, const char* key, const char* w, auto setting, auto) {
    d.Type(w, QStringLiteral("/"));
    EXPECT_EQ(setting.Of(s), '/') << key;
    Changed(k, key, setting);
  }
  void operator()(pages::key::Font k, const char* key, const char* w, auto setting, auto) {
    auto* box = d.W<QFontComboBox>(w);
    for (int i = 0; i < box->count() && setting.Of(s) == setting.Of(defaults); ++i)
      box->setCurrentIndex(i);
    Changed(k, key, setting);
  }
  void Limit(const char* key, const char* countWidget, const char* switchWidgets, auto count,
             auto on, auto) {
    d.Click(SwitchOn(d, switchWidgets));
    d.Type(countWidget, QStringLiteral("25"));
    EXPECT_TRUE(on.Of(s)) << key;
    EXPECT_EQ(count.Of(s), 25) << key;
    ++n;
  }
};

// After loading: every setting as it was saved, and its widget showing it.
struct TCheckKeys {
  TFormDriver& d;
  const TDialogSettings& s;
  const TDialogSettings& saved;
  const std::string& file;
  int n = 0;

  void Same(const char* key, auto setting) {
    EXPECT_TRUE(setting.Of(s) == setting.Of(saved)) << key << " was not loaded back";
    EXPECT_NE(file.find(std::string("\n") + key + "="), std::string::npos) << key;
    ++n;
  }
  void operator()(pages::key::Text, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_EQ(d.W<QLineEdit>(w)->text().toStdString(), setting.Of(s)) << key;
  }
  void operator()(pages::key::Line, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_EQ(d.W<QLineEdit>(w)->text().toStdString(), setting.Of(s).Text()) << key;
  }
  void operator()(pages::key::Count, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    const int shown = IsSpin(d, w) ? d.W<QSpinBox>(w)->value() : d.W<QLineEdit>(w)->text().toInt();
    EXPECT_EQ(shown, setting.Of(s)) << key;
  }
  void operator()(pages::key::Bool, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_EQ(d.W<QAbstractButton>(w)->isChecked(), setting.Of(s)) << key;
  }
  void operator()(pages::key::Choice, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_TRUE(Buttons(d, w)[static_cast<size_t>(setting.Of(s))]->isChecked()) << key;
  }
  void operator()(pages::key::Color, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_NE(d.W<QToolButton>(w), nullptr) << key;
  }
  void operator()(pages::key::Font, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_EQ(d.W<QFontComboBox>(w)->currentText().toStdString(), setting.Of(s)) << key;
  }
  void operator()(pages::key::Pick, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_EQ(d.W<QComboBox>(w)->currentText().toStdString(), setting.Of(s)) << key;
  }
  void operator()(pages::key::Char, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_EQ(d.W<QLineEdit>(w)->text().toStdString(), CharText(setting.Of(s))) << key;
  }
  void operator()(pages::key::Format, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_EQ(d.W<QLineEdit>(w)->text().toStdString(), setting.Of(s)) << key;
  }
  void operator()(pages::key::Spacing, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_EQ(d.W<QLineEdit>(w)->text().toDouble(), setting.Of(s)) << key;
  }
  void operator()(pages::key::Listed, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_EQ(d.W<QComboBox>(w)->currentIndex(), static_cast<int>(setting.Of(s))) << key;
  }
  void operator()(pages::key::Points, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_EQ(d.W<QLineEdit>(w)->text().toInt(), setting.Of(s)) << key;
  }
  void operator()(pages::key::Rows, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_EQ(d.W<QLineEdit>(w)->text().toLongLong(), setting.Of(s)) << key;
  }
  void operator()(pages::key::Bytes, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_EQ(d.W<QLineEdit>(w)->text().toStdString(), ByteSizeText(setting.Of(s))) << key;
  }
  void operator()(pages::key::Compression, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_EQ(d.W<QComboBox>(w)->currentIndex(), static_cast<int>(setting.Of(s))) << key;
  }
  void operator()(pages::key::Term, const char* key, const char* w, auto setting, auto) {
    Same(key, setting);
    EXPECT_EQ(d.W<QLineEdit>(w)->text().toStdString(), std::string(1, setting.Of(s))) << key;
  }
  void Limit(const char* key, const char* countWidget, const char* switchWidgets, auto count,
             auto on, auto) {
    Same(key, count);
    EXPECT_TRUE(on.Of(s)) << key;
    EXPECT_TRUE(SwitchOn(d, switchWidgets)->isChecked()) << key;
    EXPECT_EQ(d.W<QLineEdit>(countWidget)->text().toInt(), count.Of(s)) << key;
  }
};

template <class List>
int PageKeys::RoundTrip(const QString& type, List list) {
  const std::string cfg = folder + type.toStdString() + ".cfg";
  TDialogSettings saved;
  int declared = 0;
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.ClickItem("lbExportType", type);
    TEditKeys edit{d, prompts, f.Model().Settings(), f.Model().Settings()};
    list(edit);
    declared = edit.n;
    saved = f.Model().Settings();
    prompts.SetNextText(QString::fromStdString(cfg));
    f.findChild<QAction*>("miSaveOptions")->trigger();
  });
  const std::string file = ReadFile(cfg);
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.ClickItem("lbExportType", type);
    prompts.SetNextText(QString::fromStdString(cfg));
    f.findChild<QAction*>("miLoadOptions")->trigger();
    TCheckKeys check{d, f.Model().Settings(), saved, file};
    list(check);
    EXPECT_EQ(check.n, declared);
  });
  return declared;
}

TEST_F(PageKeys, EveryHTMLSettingGoesFromItsWidgetToTheFileAndBack) {
  EXPECT_EQ(RoundTrip("HTML", [](auto& v) { pages::HTMLSettings(v); }), 32);
}

TEST_F(PageKeys, EveryXMLSettingGoesFromItsWidgetToTheFileAndBack) {
  EXPECT_EQ(RoundTrip("XML", [](auto& v) { pages::XMLSettings(v); }), 2);
}

TEST_F(PageKeys, EverySQLSettingGoesFromItsWidgetToTheFileAndBack) {
  EXPECT_EQ(RoundTrip("SQL", [](auto& v) { pages::SQLSettings(v); }), 6);
}

TEST_F(PageKeys, EveryTextAndCSVSettingGoesFromItsWidgetToTheFileAndBack) {
  EXPECT_EQ(RoundTrip("Text File", [](auto& v) { pages::TXTSettings(v); }), 2);
  EXPECT_EQ(RoundTrip("CSV File", [](auto& v) { pages::CSVSettings(v); }), 3);
}

TEST_F(PageKeys, TheJSONAndDBFSwitchesGoFromTheirBoxesToTheFileAndBack) {
  EXPECT_EQ(RoundTrip("JSON", [](auto& v) { pages::JSONSettings(v); }), 1);
  EXPECT_EQ(RoundTrip("DBF", [](auto& v) { pages::DBFSettings(v); }), 1);
}

TEST_F(PageKeys, EveryRTFSettingGoesFromItsWidgetToTheFileAndBack) {
  EXPECT_EQ(RoundTrip("RTF", [](auto& v) { pages::RTFSettings(v); }), 2);
}

TEST_F(PageKeys, EverySpreadsheetSettingGoesFromItsWidgetToTheFileAndBack) {
  EXPECT_EQ(RoundTrip("MS Excel", [](auto& v) { pages::XLSSettings(v); }), 7);
}

// The paper too: a user format turned to landscape, its size and margins typed in points while
// the page shows dots.
TEST_F(PageKeys, ThePDFSpacingsGridAndPaperGoFromTheirFieldsToTheFileAndBack) {
  EXPECT_EQ(RoundTrip("PDF", [](auto& v) { pages::PDFSettings(v); }), 12);
}

// A setting of a value in the working copy (a PDF font, an RTF style), as the visitors of the
// working copy take it.
template <class In, class A>
struct TInside {
  In in;
  A setting;
  decltype(auto) Of(TDialogSettings& s) const { return setting.Of(in(s)); }
  decltype(auto) Of(const TDialogSettings& s) const { return setting.Of(in(s)); }
};

// Each value is chosen in its list, then its settings go through the editor, which edits the one
// chosen.
template <class V, class List>
void EachChosen(V& v, const char* listWidget, int count, auto in, List list) {
  for (int i = 0; i < count; ++i) {
    v.d.template W<QListWidget>(listWidget)->setCurrentRow(i);
    auto inside = [&v, i, in](auto kind, const char* key, const char* w, auto setting, auto p) {
      auto at = [ i, in ](auto& s) -> auto& {
        return in(s, i);
      };
      v(kind, key, w, TInside<decltype(at), decltype(setting)>{at, setting}, p);
    };
    list(inside);
  }
}

template <class V>
void EachPDFFont(V& v) {
  EachChosen(
      v, "lstPDFFonts", static_cast<int>(std::size(pages::kPDFFonts)),
      [](auto& s, int i) -> auto& { return s.PDF.*pages::kPDFFonts[i].Font; },
      [](auto& font) { pages::PDFFontSettings(font); });
}

TEST_F(PageKeys, EveryPDFFontSettingGoesFromTheFontEditorToTheFileAndBack) {
  EXPECT_EQ(RoundTrip("PDF", [](auto& v) { EachPDFFont(v); }), 16);
}

// The four base styles, each chosen in its list, through the style editor.
TEST_F(PageKeys, EveryRTFStyleSettingGoesFromTheStyleEditorToTheFileAndBack) {
  EXPECT_EQ(RoundTrip("RTF",
                      [](auto& v) {
                        EachChosen(
                            v, "lstRTFBaseStyles", 4,
                            [](auto& s, int i) -> auto& { return s.RTF.BaseStyles[i].Style; },
                            [](auto& style) { pages::RTFStyleSettings(style); });
                      }),
            48);
}

// The editor edits the chosen font alone; a size left empty, or 0, is a new font's.
TEST_F(PageKeys, TheFontEditorEditsTheChosenFont) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.ClickItem("lbExportType", "PDF");
    const TExportPDFOptions& o = f.Model().Settings().PDF;
    const TPDFFont data = o.DataFont;
    d.W<QListWidget>("lstPDFFonts")->setCurrentRow(0);
    d.Type("edPDFFontSize", QStringLiteral("14"));
    EXPECT_EQ(o.HeaderFont.FontSize, 14);
    d.Type("edPDFFontSize", QStringLiteral("0"));
    EXPECT_EQ(o.HeaderFont.FontSize, 10);
    d.Type("edPDFFontSize", QStringLiteral("17"));
    d.Type("edPDFFontSize", QString());
    EXPECT_EQ(o.HeaderFont.FontSize, 10);
    EXPECT_TRUE(o.DataFont == data);
    d.W<QListWidget>("lstPDFFonts")->setCurrentRow(2);
    EXPECT_EQ(d.W<QLineEdit>("edPDFFontSize")->text().toInt(), data.FontSize);
  });
}

// The style editor shows the style chosen, and its sample follows an edit.
TEST_F(PageKeys, TheStyleEditorShowsAndEditsTheChosenStyle) {
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.ClickItem("lbExportType", "RTF");
    d.ClickItem("lstRTFBaseStyles", "CAPTION");
    EXPECT_TRUE(d.W<QAbstractButton>("cbRTFBold")->isChecked());
    EXPECT_EQ(d.W<QComboBox>("cbxRTFAlignment")->currentIndex(), 1);  // centred
    EXPECT_FALSE(d.W<QLabel>("laRTFSample")->font().italic());
    d.Click("cbRTFItalic");
    const TRTFPage& p = f.Model().Settings().RTF;
    EXPECT_EQ(p.BaseStyles[1].Style.Font.Style, fsBold | fsItalic);
    EXPECT_EQ(p.BaseStyles[0].Style.Font.Style, 0);
    EXPECT_TRUE(d.W<QLabel>("laRTFSample")->font().italic());
    d.ClickItem("lstRTFBaseStyles", "DATA");
    EXPECT_FALSE(d.W<QAbstractButton>("cbRTFItalic")->isChecked());
    EXPECT_FALSE(d.W<QLabel>("laRTFSample")->font().italic());
  });
}

TEST_F(PageKeys, EveryDisplayFormatGoesFromItsFieldToTheFileAndBack) {
  EXPECT_EQ(RoundTrip("CSV File", [](auto& v) { pages::FormatSettings(v); }), 9);
}

TEST_F(PageKeys, EveryRecordSettingOfTheOptionsPageGoesFromItsWidgetToTheFileAndBack) {
  EXPECT_EQ(RoundTrip("CSV File", [](auto& v) { pages::RunSettings(v); }), 5);
}

// The file's switches above the pages, and the captions' switch and row (shown for a grid
// source only, and typed all the same).
TEST_F(PageKeys, TheFileAndCaptionSwitchesGoFromTheirWidgetsToTheFileAndBack) {
  EXPECT_EQ(RoundTrip("CSV File",
                      [](auto& v) {
                        pages::FileSettings(v);
                        pages::CaptionSettings(v);
                      }),
            4);
}

TEST_F(PageKeys, EveryPartsSettingGoesFromItsWidgetToTheFileAndBack) {
  EXPECT_EQ(RoundTrip("CSV File", [](auto& v) { pages::PartsSettings(v); }), 4);
}

// "Параллельное чтение", declared in its list too: off where the host reads no ranges (the page
// says why), and where it does, the box and the count go to the options file and come back.
TEST_F(PageKeys, ParallelReadingGoesToTheFileAndBack) {
  const std::string cfg = folder + "parallel.cfg";
  Execute([&](form::TExportDialogF&, TFormDriver& d) {
    EXPECT_FALSE(d.W<QAbstractButton>("cbParallelReading")->isEnabled());
    EXPECT_EQ(d.W<QLabel>("laParallelWhy")->text().toStdString(),
              "Источник читается только одним соединением.");
  });
  dialog.RangeReads.Why = [](TAllowedExport type) {
    return type == aeTXT ? std::string("не делится") : std::string();
  };
  dialog.RangeReads.Run = [](const TRangeRun&) { return true; };
  TParallelReading saved;
  Execute([&](form::TExportDialogF& f, TFormDriver& d) {
    d.ClickItem("lbExportType", "CSV File");
    ASSERT_TRUE(d.Tab("pcExportType", "tsTypeOptions"));
    EXPECT_TRUE(d.W<QLabel>("laParallelWhy")->isHidden());
    EXPECT_FALSE(d.W<QSpinBox>("seParallelConnections")->isEnabled());
    d.Click("cbParallelReading");
    d.W<QSpinBox>("seParallelConnections")->setValue(7);
    saved = f.Model().Settings().Parallel;
    // The number of records to skip reads the source in one order.
    d.Type("edSkipRecCount", QStringLiteral("3"));
    EXPECT_FALSE(d.W<QAbstractButton>("cbParallelReading")->isEnabled());
    EXPECT_FALSE(f.Model().RangeReadsOn());
    d.Type("edSkipRecCount", QStringLiteral("0"));
    EXPECT_TRUE(f.Model().RangeReadsOn());
    d.ClickItem("lbExportType", "Text File");
    EXPECT_EQ(d.W<QLabel>("laParallelWhy")->text().toStdString(), "не делится");
    d.ClickItem("lbExportType", "CSV File");
    prompts.SetNextText(QString::fromStdString(cfg));
    f.findChild<QAction*>("miSaveOptions")->trigger();
  });
  EXPECT_EQ(saved, (TParallelReading{true, 7}));
  std::string file = ReadFile(cfg);
  EXPECT_NE(file.find("[PARALLEL_READING]\nEnabled=1\nConnections=7\n"), std::string::npos);
  auto load = [&](const std::string& text) {
    WriteFile(cfg, text);
    TParallelReading loaded;
    int shown = 0;
    Execute([&](form::TExportDialogF& f, TFormDriver& d) {
      prompts.SetNextText(QString::fromStdString(cfg));
      f.findChild<QAction*>("miLoadOptions")->trigger();
      loaded = f.Model().Settings().Parallel;
      shown = d.W<QSpinBox>("seParallelConnections")->value();
      EXPECT_EQ(d.W<QAbstractButton>("cbParallelReading")->isChecked(), loaded.On);
    });
    EXPECT_EQ(shown, loaded.Connections);
    return loaded;
  };
  EXPECT_EQ(load(file), saved);
  // A count no spin box offers reads as the default; a file without the section, as off.
  const size_t at = file.find("Connections=7");
  EXPECT_EQ(load(file.replace(at, 13, "Connections=999")), (TParallelReading{true, 4}));
  EXPECT_EQ(load("[GENERAL]\nExportType=" + std::to_string(aeCSV) + "\n"), TParallelReading{});
}

}  // namespace
}  // namespace morvale::test
