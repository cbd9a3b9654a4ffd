#pragma once
// Open and save dialogs as components: the program sets the filter
// ("XML files|*.xml"), default extension, proposed file name and options,
// then Execute asks the dialog service (dialogs.h) and answers whether the
// user chose a file. After a cancel, FileName is the name proposed before
// Execute and Files is empty: an earlier choice is never handed back.
#include <memory>

#include "platform/gui/dialogs.h"
#include "platform/rtl/component.h"
#include "platform/rtl/stringlist.h"

using TOpenOptions = Cardinal;
enum : Cardinal {
  ofReadOnly = 0x1, ofOverwritePrompt = 0x2, ofHideReadOnly = 0x4, ofNoChangeDir = 0x8,
  ofAllowMultiSelect = 0x200, ofExtensionDifferent = 0x400, ofPathMustExist = 0x800,
  ofFileMustExist = 0x1000, ofEnableSizing = 0x800000,
};

class TOpenDialog : public TComponent {
  KORVANE_CLASS(TOpenDialog, TComponent)
  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;

  String FileName() const { return FFileName; }
  void SetFileName(const String& Value) { FFileName = Value; }
  // Every chosen file (several with ofAllowMultiSelect); empty after a cancel.
  TStrings* Files() const { return FFiles.get(); }
  String Filter() const { return FFilter; }
  void SetFilter(const String& Value) { FFilter = Value; }
  Integer FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(Integer Value) { FFilterIndex = Value; }
  // Added (with a dot) to a chosen name that has no extension.
  String DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const String& Value);
  String InitialDir() const { return FInitialDir; }
  void SetInitialDir(const String& Value) { FInitialDir = Value; }
  String Title() const { return FTitle; }
  void SetTitle(const String& Value) { FTitle = Value; }
  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions Value) { FOptions = Value; }

  // Shows the dialog (owned by the active form's window); true when a file was chosen.
  virtual bool Execute();

protected:
  virtual bool IsSave() const { return false; }

private:
  String WithDefaultExt(const String& Name) const;
  String FFileName;
  std::unique_ptr<TStringList> FFiles;
  String FFilter;
  Integer FFilterIndex = 1;
  String FDefaultExt;
  String FInitialDir;
  String FTitle;
  TOpenOptions FOptions = ofHideReadOnly | ofEnableSizing;
};

class TSaveDialog : public TOpenDialog {
  KORVANE_CLASS(TSaveDialog, TOpenDialog)
  using TOpenDialog::TOpenDialog;

protected:
  bool IsSave() const override { return true; }
};
