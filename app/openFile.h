#pragma once
// The record list: the saved records (key, title, kind) in a grid, from
// which one is opened or deleted. Created once and reused; every showing
// reads the list again.
#include <functional>

#include "platform/gui/dbgrids.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"

class Tfrm_openFile : public TForm {
  KORVANE_CLASS(Tfrm_openFile, TForm)
  explicit Tfrm_openFile(TComponent* AOwner);
  ~Tfrm_openFile() override;

  TDBGrid* dg_datasetLst = nullptr;  // on dm->ds_aq_fileList
  TPopupMenu* PopupMenu1 = nullptr;
  TMenuItem* N1 = nullptr;  // "删除"
  TButton* btn_open = nullptr;
  TButton* btn_exit = nullptr;

  // Answers true while the editing window is open (it then holds the record
  // dm->CurrentMetaId). Set by the main window; empty: no editing window.
  std::function<bool()> EditingWindowOpen;

  // The record chosen by the last OK: its key and whether it is a core record.
  String SelectedMetaId() const { return FSelectedMetaId; }
  bool SelectedIsCore() const { return FSelectedIsCore; }

  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  // The list does not close over a typed title that was not entered: it is
  // written first, and a refused one keeps the list open.
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void btn_openClick(TObject* Sender);
  void btn_exitClick(TObject* Sender);
  void dg_datasetLstDblClick(TObject* Sender);
  void N1Click(TObject* Sender);

private:
  void BuildGrid();
  // Writes a title typed in the grid and not yet entered; false (with the
  // reason shown) when it is refused.
  bool PostTypedTitle();
  // The current row's value of a list field; "" when the list is closed or empty.
  String CurrentRowValue(const String& FieldName) const;
  // Deletes the record's rows and its list entry together, or neither.
  bool DeleteListedRecord(String& ErrorText, const String& Key);

  String FSelectedMetaId;
  bool FSelectedIsCore = false;
};
