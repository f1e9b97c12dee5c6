// The export dialog's form: the export type and file, the fields, formats, header and footer,
// captions and the page of each format, over the dialog model's working copy. The form only
// shows and edits; the model decides (pages, moves, Start, options files).
#pragma once

#include <QDialog>
#include <memory>

#include "export/dialog/form/binder.h"
#include "export/dialog/model.h"

class QCheckBox;
class QListWidget;
class QMenu;
class QWidget;

namespace Ui {
class TExportDialogF;
class TXLSPage;
class TRTFPage;
class THTMLPage;
class TXMLPage;
class TSQLPage;
class TASCIIPage;
class TPDFPage;
}  // namespace Ui

namespace morvale::form {

class TxlsExtrasPage;
class TXLSFormatsPage;

class TExportDialogF : public QDialog {
  Q_OBJECT

 public:
  TExportDialogF(TExportDialogModel& model, QWidget* parent = nullptr);
  ~TExportDialogF() override;

  TExportDialogModel& Model() { return model_; }
  // Shows every value of the working copy again.
  void RefreshAll();
  // The start button: the exporter of the chosen type runs under the progress window. A failed
  // run shows its message; the form stays open either way.
  void bStartClick();

  // The options files of the tools menu and the style files of the RTF page.
  void miSaveOptionsClick();
  void miLoadOptionsClick();
  // "Сбросить": every setting back to the component's values, once the user agrees.
  void bResetClick();

 protected:
  void done(int result) override;

 private:
  void BindCommon();
  // What the group "Параллельное чтение" enables, and why not.
  void ShowParallel();
  void BindFields();
  void BindUserFormats();
  void BindCaptions();
  void BindXLSPage();
  void BindRTFPage();
  void BindHTMLPage();
  void BindSmallPages();
  void BindPDFPage();

  void RefreshPages();
  void RefreshFields();
  void RefreshUserFormats();
  void RefreshCaptions();
  void RefreshRTFLists();
  void RefreshRTFEditor();
  void RefreshPDFFont();
  void Edited();

  void lbExportTypeClick();
  void bBrowseClick();
  void ExportedListDropped();
  void cbxUserFormatFieldChange();
  // The RTF style the editor shows (a base or a strip style), or nullptr.
  TrtfStyle* SelectedRTFStyle();
  TPDFFont* SelectedPDFFont();
  // The tools menu's options file, saved or loaded.
  void OptionsFile(bool save);
  void ChooseFile(QWidget* edit, const char* filter, const char* ext, std::string* value);

  TExportDialogModel& model_;
  std::unique_ptr<Ui::TExportDialogF> ui_;
  std::unique_ptr<Ui::TXLSPage> xls_;
  std::unique_ptr<Ui::TRTFPage> rtf_;
  std::unique_ptr<Ui::THTMLPage> html_;
  std::unique_ptr<Ui::TXMLPage> xml_;
  std::unique_ptr<Ui::TSQLPage> sql_;
  std::unique_ptr<Ui::TASCIIPage> ascii_;
  std::unique_ptr<Ui::TPDFPage> pdf_;
  TxlsExtrasPage* xlsExtras_ = nullptr;
  TXLSFormatsPage* xlsFormats_ = nullptr;
  QWidget* noOptions_ = nullptr;
  QWidget* jsonOptions_ = nullptr;
  QWidget* dbfOptions_ = nullptr;
  QCheckBox* dbfDateTimeAsText_ = nullptr;
  QMenu* tools_ = nullptr;
  TBinder bind_;
  // The RTF page's style editor, shown again for each style chosen.
  TBinder rtfStyle_;
  int refreshing_ = 0;
};

// Makes TExportDialog::Execute show this form (modal, above `parent`).
void InstallExportDialogForm(QWidget* parent = nullptr);

}  // namespace morvale::form
