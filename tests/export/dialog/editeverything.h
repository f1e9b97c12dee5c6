// Edits shared by the options-file tests.
#pragma once

#include <string>

#include "tests/export/dialog/dialogsupport.h"

namespace morvale::test {

// Changes everything the type's file keeps, so that a value that is not saved or not read back
// shows as a difference.
inline void EditEverythingSaved(TExportDialogModel& m, TAllowedExport type,
                                const std::string& folder) {
  m.SetExportType(type);
  TDialogSettings& s = m.Settings();
  s.FileName = folder + "out." + std::string(ExportTypeInfo(type).Extension);
  s.ShowFile = true;
  s.PrintFile = true;
  s.GoToFirstRecord = false;
  s.ExportEmpty = false;
  s.CurrentRecordOnly = true;
  s.ExportRecCount = 7;
  s.ExportLimited = true;
  s.SkipRecCount = 2;
  s.AllowCaptions = false;
  s.CaptionRow = 1;
  m.MoveToExported("PRICE");
  m.MoveToExported("NOTE");
  m.MoveToExported("ID");
  if (m.PageVisible(dpFormats)) {
    s.Formats.SetFloatFormat("0.0");
    s.Formats.SetNullString("-");
    m.AddUserFormat("BORN", "yyyy");
  }
  if (m.PageVisible(dpColons)) {
    s.Header = {"Top line", "Вторая"};
    s.Footer = {"Bottom"};
  }
  if (m.PageVisible(dpCaptions)) {
    s.Captions[1].Caption = "Имя";
    if (m.TypeInfo().HasWidthColumn()) s.Captions[2].Width = 17;
    if (m.TypeInfo().HasAlignColumn()) s.Captions[0].Align = ecaCenter;
  }
  if (TextEncodingSection(type)) s.EncodingOf(type) = type == aeCSV ? encUTF8BOM : encUTF16LE;
  switch (type) {
    case aeXLS:
    case aeXLSX:
      s.XLS.PageHeader = "&A";
      s.XLS.SheetTitle = "Лист";
      s.XLS.StripType = ssCol;
      s.XLS.AutoCalcColWidth = true;
      s.XLS.BaseFormats[0].Format.Font.Size = 16;
      s.XLS.FieldFormats[2].Aggregate = aggMax;
      s.XLS.FieldFormats[2].Font.Color = clrRed;
      m.AddXLSStripStyle();
      s.XLS.StripStyles.back().Format.Fill.Pattern = ptSolid;
      s.XLS.PageBackground = "/srv/paper.jpg";
      {
        TxlsExtras& x = s.XLS.Extras;
        TxlsNote& note = x.Notes.Add();
        note.Col = 2, note.Row = 3, note.Lines = {"Проверено", "twice"};
        note.Format.Font.Size = 11;
        TxlsHyperlink& link = x.Hyperlinks.Add();
        link.Col = 9, link.Row = 1, link.Title = "Site", link.Target = "http://example.com/";
        TxlsMergedCells& merged = x.MergedCells.Add();
        merged.FirstCol = 9, merged.FirstRow = 3, merged.LastCol = 10, merged.LastRow = 4;
        TxlsChart& chart = x.Charts.Add();
        chart.Title = "Prices";
        chart.Series.Add().DataColumn = "PRICE";
        TxlsCell& cell = x.Cells.Add();
        cell.Col = 8, cell.Row = 6, cell.StringValue = "fixed";
        s.XLS.Pictures.Add().FileName = "/srv/logo.png";
        x.Images.Add().PictureName = "Picture_0";
      }
      break;
    case aeWord:
    case aeRTF:
      s.RTF.PageOrientation = poLandscape;
      s.RTF.StripType = stCol;
      s.RTF.BaseStyles[2].Style.Font.Size = 13;
      m.AddRTFStripStyle();
      m.AddRTFStripStyle();
      s.RTF.StripStyles[1].Style.BackgroundColor = clYellow;
      break;
    case aeHTML:
      m.SetHTMLTemplate(htGray);
      s.HTMLTemplate = htCustom;  // a file remembers colours, not the template's name
      s.HTMLPage.Title = "T";
      s.HTMLPage.UsingCSS = usExternal;
      s.HTMLMultiFileOn = true;
      s.HTMLMultiFile.FileRecCount = 2;
      s.HTMLMultiFile.NextLinkTitle = "Дальше";
      s.HTMLTable.BorderWidth = 0;
      s.HTMLPage.AdvancedAttributes = {"bgproperties=fixed"};
      s.HTMLTable.OddRowBgColor = static_cast<TColor>(0x8000000F);
      break;
    case aeXML:
      s.XML.Standalone = false;
      s.XML.Encoding = "UTF-8";
      break;
    case aePDF:
      m.SetPDFUnits(unMillimeter);
      m.SetPDFPageFormat(pfA5);
      m.SetPDFOrientation(poLandscape);
      s.PDF.RowSpacing = 1.5;
      s.PDF.ColSpacing = 4.0;
      s.PDF.GridLineWidth = 0;
      s.PDF.DataFont.BaseFont = poCourier;
      s.PDF.HeaderFont.FontColor = 0x123456;
      break;
    case aeTXT:
      s.TXT.AutoCalcColWidth = false;
      s.TXT.ColSpacing = 4;
      break;
    case aeCSV:
      s.CSV.Comma = '\t';
      s.CSV.Quote = '\0';
      s.CSV.QuoteStrings = false;
      break;
    case aeSQL:
      s.SQL.TableName = "T1";
      s.SQL.CreateTable = true;
      s.SQL.CommitRecCount = 10;
      s.SQL.CommitStatement = "COMMIT";
      s.SQL.StatementTerm = '\0';
      break;
    default:
      break;
  }
  m.Changed();
}

}  // namespace morvale::test
