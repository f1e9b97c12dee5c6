#include "app/main/exportlaunch.h"

namespace morvale {
namespace {

// A font "height" of -13 or -11 pixels at 96 dots per inch is 10 or 8 points.
void ArialStyle(TrtfStyle& style, bool bold, TrtfTextAlignment alignment) {
  style.Font.Name = "Arial";
  style.Font.Size = 10;
  style.Font.Color = clBlack;
  style.Font.Style = bold ? fsBold : 0;
  style.Alignment = alignment;
}

}  // namespace

void InitExportDialog1(TExportDialog& dialog, TDataSet* dataSet, TDBGrid* grid,
                       const std::string& rememberFile) {
  dialog.SetDataSet(dataSet);
  dialog.SetDBGrid(grid);
  dialog.ShowFile = false;
  dialog.Formats.SetIntegerFormat("0");
  dialog.Formats.SetNullString("null");
  // What a Boolean field writes (its own text), so the formats page does not promise other words.
  dialog.Formats.SetBooleanTrue("True");
  dialog.Formats.SetBooleanFalse("False");
  // The options files are the user's to keep, and the command line runs them.
  dialog.SaveLoadButtons = true;
  dialog.RememberFileName = rememberFile;
  dialog.CSVOptions.Comma = ';';
  ArialStyle(dialog.RTFOptions.CaptionStyle, true, talCenter);
  ArialStyle(dialog.RTFOptions.DataStyle, false, talLeft);
  ArialStyle(dialog.RTFOptions.FooterStyle, false, talLeft);
  ArialStyle(dialog.RTFOptions.HeaderStyle, false, talLeft);
  dialog.HTMLPageOptions.TextFont.Name = "Arial";
  dialog.HTMLPageOptions.TextFont.Size = 8;
  dialog.HTMLPageOptions.TextFont.Color = clWhite;
  TExportPDFPageOptions& page = dialog.PDFOptions.PageOptions;
  page.SetMarginLeft(1.17);
  page.SetMarginRight(0.57);
  page.SetMarginTop(0.78);
  page.SetMarginBottom(0.78);
  TExportXLSOptions& xls = dialog.XLSOptions;
  xls.PageFooter = "Page &P of &N";
  xls.SheetTitle = "Sheet 1";
  xls.CaptionFormat.Font.Style = xlsStyle(xfsBold);
  xls.HyperlinkFormat.Font.Color = clrBlue;
  xls.HyperlinkFormat.Font.Underline = fulSingle;
  xls.NoteFormat.Alignment.Horizontal = halLeft;
  xls.NoteFormat.Alignment.Vertical = valTop;
  xls.NoteFormat.Font.Name = "Tahoma";
  xls.NoteFormat.Font.Size = 8;
  xls.NoteFormat.Font.Style = xlsStyle(xfsBold);
}

}  // namespace morvale
