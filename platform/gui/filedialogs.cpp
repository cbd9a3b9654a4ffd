#include "platform/gui/filedialogs.h"

#include "platform/gui/forms.h"

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner), FFiles(std::make_unique<TStringList>()) {}
TOpenDialog::~TOpenDialog() = default;

void TOpenDialog::SetDefaultExt(const String& Value) {
  FDefaultExt = !Value.empty() && Value[0] == u'.' ? Value.substr(1) : Value;
}

String TOpenDialog::WithDefaultExt(const String& Name) const {
  if (FDefaultExt.empty()) return Name;
  size_t slash = Name.find_last_of(u'/');
  size_t dot = Name.find_last_of(u'.');
  bool hasExt = dot != String::npos && (slash == String::npos || dot > slash + 1);
  return hasExt ? Name : Name + u"." + FDefaultExt;
}

bool TOpenDialog::Execute() {
  TFileDialogRequest request;
  request.Title = FTitle;
  request.InitialDir = FInitialDir;
  request.FileName = FFileName;
  request.Filter = FFilter;
  request.FilterIndex = FFilterIndex;
  request.DefaultExt = FDefaultExt;
  request.AllowMultiSelect = (FOptions & ofAllowMultiSelect) != 0;
  request.OverwritePrompt = (FOptions & ofOverwritePrompt) != 0;
  request.FileMustExist = (FOptions & ofFileMustExist) != 0;
  HWND owner = Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated() ? Screen->ActiveForm()->Handle() : 0;
  TFileDialogResult result =
      IsSave() ? DialogService().SaveFile(owner, request) : DialogService().OpenFile(owner, request);
  FFiles->Clear();
  if (!result.Accepted || result.FileNames.empty()) return false;
  for (const String& name : result.FileNames) FFiles->Add(WithDefaultExt(name));
  FFileName = FFiles->Strings(0);
  FFilterIndex = result.FilterIndex;
  return true;
}
