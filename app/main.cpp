#include "app/main.h"

#include <filesystem>
#include <fstream>
#include <unordered_map>
#include <string>
#include <system_error>
#include <utility>

#include "app/about.h"
#include "app/kind.h"
#include "app/meta_edit.h"
#include "app/openFile.h"
#include "editors/cxEditPaintUtils.h"
#include "editors/cxEditStyles.h"
#include "editors/cxEditorsStartup.h"
#include "foundation/cxContainerPopup.h"
#include "foundation/cxControls.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/cxNativePainter.h"
#include "foundation/cxPainterImages.h"
#include "foundation/cxStandardPainters.h"
#include "foundation/cxUltraFlatPainters.h"
#include "foundation/qzThemeManager.h"
#include "foundation/qzUxTheme.h"
#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "platform/shell/shell.h"
#include "store/dmlist.h"
#include "store/dmunit.h"
#include "store/pubfunc.h"

Tfrm_main* frm_main = nullptr;
Tfrm_openFile* frm_openFile = nullptr;

namespace {

namespace fs = std::filesystem;

constexpr Integer DesignWidth = 654;
constexpr Integer DesignHeight = 585;
constexpr Integer FontHeight = -12;
constexpr Integer ToolbarHeight = 30;
constexpr Integer ToolButtonSide = 25;
constexpr Integer ToolButtonTop = 2;
constexpr Integer MenuImageSide = 16;

// The menu images by index; "" leaves a blank image at that place.
const char16_t* const kMenuImages[] = {u"check", u"", u"new", u"", u"import", u"", u"help",
                                       u"",      u"open", u"saveas", u"save", u"", u"preview"};

fs::path PathOf(const String& Name) { return fs::path(StringToUTF8(Name)); }

bool FileExists(const String& Name) {
  std::error_code ec;
  return fs::is_regular_file(PathOf(Name), ec);
}

String ImageFile(const String& Name) { return ProgramFolder() + u"images/" + Name + u".png"; }

Integer Ask(const String& Text, const String& Caption, Cardinal Flags) {
  return Application->MessageBox(Text, Caption, Flags);
}
void Warn(const String& Text) { Ask(Text, Application->Title(), MB_OK | MB_ICONWARNING); }
void Inform(const String& Text) { Ask(Text, Application->Title(), MB_OK | MB_ICONINFORMATION); }
bool Confirm(const String& Text, const String& Caption, Cardinal Flags = MB_YESNO | MB_ICONQUESTION) {
  return Ask(Text, Caption, Flags) == IDYES;
}

// Clears the editing window's RecordReady for a command and sets it again
// however the command ends, unless the window went away meanwhile.
class TRecordReadyPause {
public:
  explicit TRecordReadyPause(Tfrm_meta_edit* Window) : FWindow(Window) { FWindow->SetRecordReady(false); }
  ~TRecordReadyPause() {
    if (frm_meta_edit == FWindow) FWindow->SetRecordReady(true);
  }
  TRecordReadyPause(const TRecordReadyPause&) = delete;
  TRecordReadyPause& operator=(const TRecordReadyPause&) = delete;

private:
  Tfrm_meta_edit* FWindow;
};

// Puts the editing window's file name back when the command ends.
class TFileNameKeeper {
public:
  explicit TFileNameKeeper(Tfrm_meta_edit* Window)
      : FWindow(Window), FName(Window->FileName()), FImported(Window->FileNameImported()) {}
  ~TFileNameKeeper() {
    if (frm_meta_edit != FWindow) return;
    FWindow->SetFileName(FName);
    FWindow->SetFileNameImported(FImported);
  }
  TFileNameKeeper(const TFileNameKeeper&) = delete;
  TFileNameKeeper& operator=(const TFileNameKeeper&) = delete;

private:
  Tfrm_meta_edit* FWindow;
  String FName;
  bool FImported;
};

// True when the file can be written (it is created, empty, when missing).
bool CanWriteFile(const String& Name) {
  std::ofstream file(PathOf(Name), std::ios::binary | std::ios::app);
  return bool(file);
}

// Removes a scratch file of the temporary folder when the command ends.
class TScratchRemover {
public:
  explicit TScratchRemover(const String& Name) : FName(Name) {}
  ~TScratchRemover() {
    std::error_code ec;
    if (!FName.empty()) fs::remove(PathOf(FName), ec);
  }
  TScratchRemover(const TScratchRemover&) = delete;
  TScratchRemover& operator=(const TScratchRemover&) = delete;

private:
  String FName;
};

// What the user is told when an output ends.
String OutputMessage(Tfrm_meta_edit::TXmlOutputResult Result) {
  switch (Result) {
    case Tfrm_meta_edit::xoWritten: return u"XML文件输出完毕!";
    case Tfrm_meta_edit::xoWrittenUnchecked:
      return u"XML文件输出完毕!\n元数据没有通过结构检查，文件中只有已填写内容的元素。";
    case Tfrm_meta_edit::xoNothingToWrite: return u"元数据中没有已填写内容的元素，XML文件没有输出";
    case Tfrm_meta_edit::xoDeclined: break;
  }
  return u"XML文件输出中断";
}

// Significant children of an element: indentation, comments and processing
// instructions do not count.
bool IsSignificant(TXMLNode* Node) {
  switch (Node->NodeType()) {
    case ntElement: return true;
    case ntText:
    case ntCData: return !Trim(Node->Text()).empty();
    default: return false;
  }
}

TXMLNode* FirstSignificantChild(TXMLNode* Element) {
  for (TXMLNode* child = Element->ChildNodes()->First(); child; child = child->NextSibling())
    if (IsSignificant(child)) return child;
  return nullptr;
}

// An element child other than Except.
bool HasElementChild(TXMLNode* Element, TXMLNode* Except = nullptr) {
  for (TXMLNode* child = Element->ChildNodes()->First(); child; child = child->NextSibling())
    if (child->NodeType() == ntElement && child != Except) return true;
  return false;
}

// The text of the element's own text and CDATA children, blank ones left out.
String OwnText(TXMLNode* Element) {
  String text;
  for (TXMLNode* child = Element->ChildNodes()->First(); child; child = child->NextSibling())
    if ((child->NodeType() == ntText || child->NodeType() == ntCData) && IsSignificant(child)) text += child->Text();
  return text;
}

// An element holding one empty element with a "value" attribute: a code
// of a code list.
bool IsCodeListForm(TXMLNode* FirstChild) {
  return FirstChild && FirstChild->NodeType() == ntElement && FirstChild->HasAttribute(u"value");
}

// Refuses what a record file never holds and what could make a small file
// stand for much more: a document type declaration, and with it every
// entity (a reference to an undeclared one does not parse).
void CheckPlainDocument(TXMLDocument* Document) {
  for (TXMLNode* node = Document->ChildNodes()->First(); node; node = node->NextSibling())
    if (node->NodeType() == ntDocType)
      throw Exception(u"XML文件含有文档类型声明（DTD），不是元数据文件");
  if (!Document->DocumentElement()) throw Exception(u"XML文件没有根元素");
}

// Names are the template's as it spells them: "distinfo" is not "distInfo".
bool IsSectionName(const String& Name) {
  for (const char16_t* section : ImportSectionNames)
    if (Name == section) return true;
  return false;
}

// The tag of the date-and-time elements, whose content is stored as
// "yyyy-mm-dd" or "yyyy-mm-ddThh:nn:ss".
constexpr Integer DateTimeTag = 8;
// How much of a lost text or attribute value a log line quotes.
constexpr size_t LossQuoteLength = 80;

// The path of the N-th child named Name of the element at Path; the index
// stands only where siblings share the name.
String ChildPath(const String& Path, const String& Name, Integer N, Integer Total) {
  return Path + u"/" + Name + (Total > 1 ? u"[" + IntToStr(N) + u"]" : String());
}

// The text on one line and cut short, for a log line.
String Quoted(const String& Text) {
  String line = Trim(Text);
  for (Char& c : line)
    if (c == u'\r' || c == u'\n' || c == u'\t') c = u' ';
  if (line.size() > LossQuoteLength) line = line.substr(0, LossQuoteLength) + u"…";
  return line;
}

String TextLoss(const String& Path, const String& Text) { return u"未导入的文字：" + Path + u"：" + Quoted(Text); }
String AttributeLoss(const String& Path, const String& Name, const String& Value) {
  return u"未导入的属性：" + Path + u"/@" + Name + u"=\"" + Quoted(Value) + u"\"";
}

// The element's attributes as losses, but its "value" (a code, told apart)
// and the schema location the program writes on its own document element.
void AddAttributeLosses(TXMLNode* Element, const String& Path, std::vector<String>& Losses) {
  for (TXMLNode* attribute = Element->AttributeNodes()->First(); attribute; attribute = attribute->NextSibling()) {
    const String name = attribute->NodeName();
    if (name == u"value" || attribute->NamespaceURI() == u"http://www.w3.org/2001/XMLSchema-instance") continue;
    Losses.push_back(AttributeLoss(Path, name, attribute->Text()));
  }
}

}  // namespace

// ---- The window ----------------------------------------------------------------

Tfrm_main::Tfrm_main(TComponent* AOwner) : TForm(AOwner) {
  SetName(u"frm_main");
  SetCaption(u"Editor — Korvane");
  SetFormStyle(fsMDIForm);
  SetBounds(0, 0, DesignWidth, DesignHeight);
  SetWindowState(wsMaximized);
  Font()->SetName(u"宋体");
  Font()->SetHeight(FontHeight);
  Font()->SetCharset(GB2312_CHARSET);
  OnCloseQuery = TCloseQueryEvent(this, &Tfrm_main::FormCloseQuery);
  OnClose = TCloseEvent(this, &Tfrm_main::FormClose);

  ImageList1 = new TImageList(this);
  ImageList1->SetWidth(MenuImageSide);
  ImageList1->SetHeight(MenuImageSide);
  LoadImages();
  BuildMenu();
  BuildToolbar();

  SaveDlg = new TSaveDialog(this);
  SaveDlg->SetFilter(u"*.xml|*.xml");
  file_dlg = new TOpenDialog(this);
  file_dlg->SetFilter(u"*.xml|*.xml");
  file_dlg->SetOptions(file_dlg->Options() | ofFileMustExist);
  XMLDocument1 = new TXMLDocument(this);
  XMLDocument1->SetOptions({doNodeAutoCreate, doNodeAutoIndent, doAttrNull, doAutoPrefix, doNamespaceDecl});
  FormCreate(this);
}

Tfrm_main::~Tfrm_main() {
  if (Application->OnException == TExceptionEvent(this, &Tfrm_main::LogUnhandledException))
    Application->OnException = nullptr;
  if (dm) dm->ShowPostError = nullptr;
  if (frm_main == this) frm_main = nullptr;
}

void Tfrm_main::LoadImages() { AddImageFiles(ImageList1, kMenuImages, MenuImageSide); }

void AddImageFiles(TImageList* List, std::span<const char16_t* const> Names, Integer Side) {
  for (const char16_t* name : Names) {
    TBitmap image(Side, Side);
    image.Canvas()->Brush()->SetColor(clFuchsia);
    image.Canvas()->FillRect({0, 0, Side, Side});
    if (*name) {
      try {
        image.LoadFromFile(ImageFile(name));
      } catch (Exception&) {
        // A missing image leaves its place blank.
      }
    }
    List->AddMasked(&image, clDefault);
  }
}

TMenuItem* Tfrm_main::AddItem(TMenuItem* Parent, const String& Caption, Integer ImageIndex, TNotifyEvent OnClick) {
  auto* item = new TMenuItem(this);
  item->SetCaption(Caption);
  item->SetImageIndex(ImageIndex);
  item->OnClick = OnClick;
  Parent->Add(item);
  return item;
}

void Tfrm_main::BuildMenu() {
  MainMenu1 = new TMainMenu(this);
  MainMenu1->SetImages(ImageList1);
  TMenuItem* root = MainMenu1->Items();
  auto on = [this](void (Tfrm_main::*Handler)(TObject*)) { return TNotifyEvent(this, Handler); };
  F1 = AddItem(root, u"文件(&F)", -1, nullptr);
  N1 = AddItem(F1, u"新建(&N)...", 2, on(&Tfrm_main::N1Click));
  N2 = AddItem(F1, u"打开编辑文件(&O)...", 8, on(&Tfrm_main::N2Click));
  N21 = AddItem(F1, u"打开XML文件(&M)...", 4, on(&Tfrm_main::N21Click));
  N3 = AddItem(F1, u"输出XML文件(&S)", 10, on(&Tfrm_main::N3Click));
  N4 = AddItem(F1, u"另存为(&A)...", 9, on(&Tfrm_main::N4Click));
  N5 = AddItem(F1, u"-", -1, nullptr);
  N9 = AddItem(F1, u"退出(&X)", -1, on(&Tfrm_main::N9Click));
  T1 = AddItem(root, u"工具(&T)", -1, nullptr);
  N12 = AddItem(T1, u"检查结构(&K)", 0, on(&Tfrm_main::N12Click));
  N11 = AddItem(T1, u"-", -1, nullptr);
  N10 = AddItem(T1, u"预览(&V)", 12, on(&Tfrm_main::N10Click));
  N14 = AddItem(T1, u"-", -1, nullptr);
  N7 = AddItem(T1, u"查看日志(&S)", -1, on(&Tfrm_main::N7Click));
  N8 = AddItem(T1, u"-", -1, nullptr);
  N15 = AddItem(T1, u"清理数据库(&C)", -1, on(&Tfrm_main::N15Click));
  N6 = AddItem(T1, u"压缩数据库(&U)", -1, on(&Tfrm_main::N6Click));
  H1 = AddItem(root, u"帮助(&H)", -1, nullptr);
  N19 = AddItem(H1, u"帮助主题(&H)", 6, on(&Tfrm_main::N19Click));
  N20 = AddItem(H1, u"关于(&A)", -1, on(&Tfrm_main::N20Click));
  SetMenu(MainMenu1);
}

TSpeedButton* Tfrm_main::AddButton(const String& Hint, Integer ImageIndex, Integer Left, TNotifyEvent OnClick) {
  auto* button = new TSpeedButton(this);
  button->SetParent(CoolBar1);
  button->SetFlat(true);
  button->SetBounds(Left, ToolButtonTop, ToolButtonSide, ToolButtonSide);
  button->SetHint(Hint);
  button->SetShowHint(true);
  // From the menu's images, which a disabled button draws greyed.
  button->SetImages(ImageList1);
  button->SetImageIndex(ImageIndex);
  button->OnClick = OnClick;
  return button;
}

void Tfrm_main::BuildToolbar() {
  CoolBar1 = new TCoolBar(this);
  CoolBar1->SetParent(this);
  CoolBar1->SetAlign(alTop);
  CoolBar1->SetHeight(ToolbarHeight);
  auto on = [this](void (Tfrm_main::*Handler)(TObject*)) { return TNotifyEvent(this, Handler); };
  spb_new = AddButton(u"新建", 2, 2, on(&Tfrm_main::spb_newClick));
  spb_opendata = AddButton(u"打开", 8, 36, on(&Tfrm_main::spb_opendataClick));
  spb_openfile = AddButton(u"打开XML", 4, 71, on(&Tfrm_main::spb_openfileClick));
  spb_save = AddButton(u"输出XML", 10, 106, on(&Tfrm_main::spb_saveClick));
  spb_check = AddButton(u"检查结构", 0, 141, on(&Tfrm_main::spb_checkClick));
  spb_preview = AddButton(u"预览", 12, 176, on(&Tfrm_main::spb_previewClick));
  spb_help = AddButton(u"帮助", 6, 211, on(&Tfrm_main::spb_helpClick));
}

void Tfrm_main::SetRecordCommands(bool Enabled) {
  for (TMenuItem* item : {N3, N4, N10, N12}) item->SetEnabled(Enabled);
  for (TSpeedButton* button : {spb_save, spb_preview, spb_check}) button->SetEnabled(Enabled);
}

bool Tfrm_main::RecordCommandsEnabled() const { return N3->Enabled(); }

void Tfrm_main::FormCreate(TObject*) {
  DisableRecordCommands();
  Application->OnException = TExceptionEvent(this, &Tfrm_main::LogUnhandledException);
  if (dm) dm->ShowPostError = [](const String& Text) { Warn(Text); };
}

void Tfrm_main::LogUnhandledException(TObject*, Exception* E) { WriteLogLine(u"未知错误:" + E->Message); }

void Tfrm_main::FormCloseQuery(TObject*, bool& CanClose) { CanClose = PostPendingEdit(); }

void Tfrm_main::FormClose(TObject*, TCloseAction&) {
  if (dm) dm->ADOConnection1->Close();
}

// ---- Small helpers -------------------------------------------------------------

bool Tfrm_main::PostPendingEdit() { return !frm_meta_edit || frm_meta_edit->FinishEditing(); }

bool Tfrm_main::AskRecordKind(bool& Core) {
  std::unique_ptr<Tfrm_kind> kind(new Tfrm_kind(Application));
  if (kind->ShowModal() != mrOk) return false;
  Core = kind->IsCore();
  return true;
}

void Tfrm_main::RunCommand(const std::function<void()>& Command) {
  try {
    Command();
  } catch (Exception& E) {
    WriteLogLine(u"未知错误:" + E.Message);
    Warn(E.Message);
  }
}

void Tfrm_main::ShowRecord(bool Core, const String& AFileName, const String& ErrorPrefix,
                           const std::function<bool(String& ErrorText)>& Load) {
  const bool madeWindow = frm_meta_edit == nullptr;
  Tfrm_meta_edit* window = madeWindow ? new Tfrm_meta_edit(Application) : frm_meta_edit;
  if (frm_meta_edit != window) return;  // the window could not start (it said why)
  const bool hadRecord = !madeWindow && window->TreeDataSource() != nullptr;
  const String previousKey = dm->CurrentMetaId;
  window->SetRecordReady(false);
  window->SetTreeDataSource(nullptr);
  String error;
  if (!Load(error)) {
    Warn(ErrorPrefix + error);
    RestoreRecord(window, previousKey, hadRecord, madeWindow);
    return;
  }
  window->SetIsCore(Core);
  window->SetTreeDataSource(dm->ds_metadata);
  window->ExpandAll();
  window->SetFileName(AFileName);
  window->SetRecordReady(true);
  EnableRecordCommands();
  window->RefreshDescription();
}

void Tfrm_main::RestoreRecord(Tfrm_meta_edit* Window, const String& PreviousKey, bool HadRecord, bool MadeWindow) {
  if (MadeWindow) {
    dm->CurrentMetaId = PreviousKey;
    Window->Close();
    return;
  }
  String error;
  if (!HadRecord || !dm->LoadRecord(error, PreviousKey)) {
    if (HadRecord) Warn(u"打开数据出错,错误信息:" + error);
    dm->CurrentMetaId = HadRecord ? String() : PreviousKey;
    DisableRecordCommands();
    return;
  }
  Window->SetTreeDataSource(dm->ds_metadata);
  Window->ExpandAll();
  Window->SetRecordReady(true);
  Window->RefreshDescription();
}

// ---- Commands ------------------------------------------------------------------

void Tfrm_main::NewRecord() {
  bool core = false;
  if (!PostPendingEdit() || !AskRecordKind(core)) return;
  ShowRecord(core, u"", u"", [core](String& ErrorText) { return dm->CreateRecord(ErrorText, core); });
}

void Tfrm_main::OpenRecord() {
  if (!PostPendingEdit()) return;
  frm_openFile->EditingWindowOpen = [] { return frm_meta_edit != nullptr; };
  if (frm_openFile->ShowModal() != mrOk) return;
  const String key = frm_openFile->SelectedMetaId();
  ShowRecord(frm_openFile->SelectedIsCore(), u"", u"打开数据出错,错误信息:",
             [key](String& ErrorText) { return dm->LoadRecord(ErrorText, key); });
}

void Tfrm_main::OpenXmlFile() {
  if (!PostPendingEdit() || !file_dlg->Execute()) return;
  bool core = false;
  if (!AskRecordKind(core)) return;
  const String fileName = file_dlg->FileName();
  String error;
  Integer leftOut = 0;
  if (!ImportRecord(error, fileName, core, leftOut)) {
    WriteLogLine(u"导入XML文件失败:" + error);
    Warn(u"导入XML文件失败,错误信息:" + error);
    return;
  }
  const String key = ImportMetaId;
  const std::vector<String> losses = std::move(ImportLosses);
  ShowRecord(core, fileName, u"打开数据出错,错误信息:",
             [key](String& ErrorText) { return dm->LoadRecord(ErrorText, key); });
  if (frm_meta_edit && dm->CurrentMetaId == key) frm_meta_edit->SetFileNameImported(true);
  if (losses.empty()) return;
  // Told in the record's own log, every part by its path.
  String text = leftOut > 0 ? u"XML文件中有" + IntToStr(leftOut) + u"个元素不属于元数据模板，未导入"
                            : String(u"XML文件中有属性或文字不能保存在元数据中，未导入");
  WriteLogLine(text);
  WriteLogLines(losses);
  Inform(text + u"\n未导入的内容已逐项记入日志（查看日志）");
}

void Tfrm_main::OutputXml() {
  Tfrm_meta_edit* window = frm_meta_edit;
  if (!window || !PostPendingEdit()) return;
  // The file a record was imported from is the user's: it is replaced
  // only when chosen in the dialog, which proposes it.
  const bool imported = window->FileNameImported();
  String target = imported ? String() : window->FileName();
  if (target.empty()) {
    SaveDlg->SetFileName(window->FileName());
    if (!SaveDlg->Execute()) return;
    target = ForceFileExtension(SaveDlg->FileName(), u".xml");
    if (FileExists(target) &&
        !Confirm(u"XML文件已存在，是否覆盖？", u"确认", imported ? Cardinal(MB_YESNO) : MB_YESNO | MB_ICONQUESTION))
      return;
  }
  RunCommand([&] {
    TRecordReadyPause pause(window);
    Inform(OutputMessage(window->WriteXmlFile(target)));
  });
}

void Tfrm_main::SaveXmlAs(bool RefreshAfter) {
  Tfrm_meta_edit* window = frm_meta_edit;
  if (!window || !PostPendingEdit() || !SaveDlg->Execute()) return;
  const String target = ForceFileExtension(SaveDlg->FileName(), u".xml");
  if (FileExists(target) && !Confirm(u"XML文件已存在，是否覆盖？", u"确认", MB_YESNO)) return;
  RunCommand([&] {
    TRecordReadyPause pause(window);
    const Tfrm_meta_edit::TXmlOutputResult result = window->WriteXmlFile(target);
    if (result == Tfrm_meta_edit::xoWrittenUnchecked || result == Tfrm_meta_edit::xoNothingToWrite)
      Inform(OutputMessage(result));
  });
  if (RefreshAfter && frm_meta_edit == window) window->RefreshDescription();
}

void Tfrm_main::Preview() {
  Tfrm_meta_edit* window = frm_meta_edit;
  if (!window || !PostPendingEdit()) return;
  RunCommand([&] {
    TRecordReadyPause pause(window);
    const String folder = ProgramFolder();
    const String styleSheet = folder + (window->IsCore() ? CoreStyleSheetName : FullStyleSheetName);
    if (!FileExists(styleSheet)) {
      Warn(u"样式单文件：\n\r" + styleSheet + u"\n\r没有找到，请将样式单文件放到系统文件的同级目录下：\n\r" + folder);
      return;
    }
    // A program folder the user may not write to leaves the scratch file
    // to the temporary folder, in a file of its own that goes afterwards.
    const bool inFolder = CanWriteFile(folder + PreviewScratchName);
    const String scratch = inFolder ? ForceFileExtension(folder + PreviewScratchName, u".xml")
                                    : CreateNumberedTempFile(u"temp", u".xml", GetTempDirectory());
    TScratchRemover remover(inFolder ? String() : scratch);
    Tfrm_meta_edit::TXmlOutputResult result;
    {
      TFileNameKeeper keep(window);  // the scratch file never becomes the record's file
      result = window->WriteXmlFile(scratch);
    }
    if (result == Tfrm_meta_edit::xoDeclined) {
      Inform(u"预览中断");
      return;
    }
    if (result == Tfrm_meta_edit::xoNothingToWrite) {
      Inform(OutputMessage(result));
      return;
    }
    ShowPreviewPage(scratch, styleSheet);
  });
}

String Tfrm_main::ShowPreviewPage(const String& ScratchFile, const String& StyleSheet) {
  auto record = std::make_unique<TXMLDocument>(nullptr);
  record->LoadFromFile(ScratchFile);
  auto sheet = std::make_unique<TXMLDocument>(nullptr);
  sheet->LoadFromFile(StyleSheet);
  const String page = CreateNumberedTempFile(PreviewPagePrefix, PreviewPageExtension, GetTempDirectory());
  try {
    record->Node()->TransformNodeToFile(sheet->Node(), page);
  } catch (...) {
    std::error_code ec;
    fs::remove(PathOf(page), ec);  // the empty page of a failed transformation goes
    throw;
  }
  if (!ShellOpenDocument(page)) throw Exception(u"无法打开预览页面：" + page);
  return page;
}

// ---- Import --------------------------------------------------------------------

bool Tfrm_main::ImportRecord(String& ErrorText, const String& AFileName, bool Core, Integer& LeftOut) {
  LeftOut = 0;
  ImportLosses.clear();
  if (!dm->NewRecordKey(ErrorText, ImportMetaId)) return false;
  const bool imported = dm->RunInTransaction(ErrorText, [&] {
    return ImportXmlFile(AFileName) && dm->MatchImportToTemplate(ErrorText, ImportMetaId) &&
           CheckSomethingMatched(ErrorText) && SettleImportedRows(ErrorText, LeftOut) &&
           DropUnknownElements(ErrorText) && dm->RegisterImportedRecord(ErrorText, ImportMetaId, Core);
  });
  FImportRows.clear();
  if (!imported) ImportLosses.clear();
  return imported;
}

bool Tfrm_main::ImportXmlFile(const String& AFileName) {
  FImportRows.clear();
  FImportIds.clear();
  ImportCount = 0;
  try {
    XMLDocument1->LoadFromFile(AFileName);
    CheckPlainDocument(XMLDocument1);
    ImportXmlElement(XMLDocument1->DocumentElement());
  } catch (...) {
    XMLDocument1->SetActive(false);
    throw;
  }
  XMLDocument1->SetActive(false);

  const Integer rootId = ++ImportCount;
  for (TImportRow& row : FImportRows)
    if (row.ParentId == 0 && !IsSectionName(row.Name)) row.ParentId = rootId;
  TImportRow root;
  root.Id = rootId;
  root.Name = ImportRootName;
  FImportRows.push_back(std::move(root));

  std::vector<std::vector<Variant>> rows;
  rows.reserve(FImportRows.size());
  for (const TImportRow& row : FImportRows)
    rows.push_back({Variant(ImportMetaId), Variant(row.Id), Variant(row.ParentId), Variant(row.Name), row.Content});
  String error;
  if (!dm->InsertRows(error, u"t_metadata", {u"meta_id", u"id", u"parent_id", u"ename", u"content"}, rows))
    throw Exception(error);
  return true;
}

void Tfrm_main::ImportXmlElement(TXMLNode* Element, TXMLNode* CodeCarrier) {
  if (Integer(FImportIds.size()) >= MaxImportNesting)
    throw Exception(u"XML文件的元素嵌套超过" + IntToStr(MaxImportNesting) + u"层，不是元数据文件");
  const bool top = FImportIds.empty();
  // A descended element's row was added just before.
  const String path = top ? u"/" + Element->NodeName() : FImportRows.back().Path;
  if (top) {
    // The document element has no row: what it carries itself is lost.
    AddAttributeLosses(Element, path, ImportLosses);
    if (const String text = OwnText(Element); !Trim(text).empty()) ImportLosses.push_back(TextLoss(path, text));
  }
  FImportIds.push_back(top ? 0 : ImportCount);
  std::unordered_map<String, Integer> total, seen;
  for (TXMLNode* child = Element->ChildNodes()->First(); child; child = child->NextSibling())
    if (child->NodeType() == ntElement) ++total[child->NodeName()];
  for (TXMLNode* child = Element->ChildNodes()->First(); child; child = child->NextSibling()) {
    if (child->NodeType() != ntElement) continue;
    const String name = child->NodeName();
    const Integer n = ++seen[name];
    AddImportRow(child, FImportIds.back(), ChildPath(path, name, n, total[name]), child == CodeCarrier);
  }
  FImportIds.pop_back();
}

void Tfrm_main::AddImportRow(TXMLNode* Element, Integer ParentId, const String& Path, bool CodeCarrier) {
  if (ImportCount >= MaxImportElements)
    throw Exception(u"XML文件的元素超过" + IntToStr(MaxImportElements) + u"个，不是元数据文件");
  TImportRow row;
  row.Id = ++ImportCount;
  row.ParentId = ParentId;
  row.Name = Element->NodeName();
  row.Path = Path;
  row.CodeCarrier = CodeCarrier;
  if (Element->HasAttribute(u"value")) row.Value = Element->Attributes(u"value").AsString();
  AddAttributeLosses(Element, Path, row.Losses);
  TXMLNode* first = FirstSignificantChild(Element);
  // The code form: the content is the value of the first child, whose
  // row goes when the template makes this element a leaf.
  TXMLNode* carrier = IsCodeListForm(first) ? first : nullptr;
  const bool descend = HasElementChild(Element);
  if (carrier) {
    row.Content = Variant(carrier->Attributes(u"value").AsString());
    row.Text = OwnText(Element);
  } else if (descend) {
    row.Content = Variant(String());
    row.Text = OwnText(Element);
  } else if (first) {
    row.Content = Variant(OwnText(Element));
  }
  FImportRows.push_back(std::move(row));
  // Right after its own row, so ImportCount is still this element's id.
  if (descend) ImportXmlElement(Element, carrier);
}

bool Tfrm_main::CheckSomethingMatched(String& ErrorText) {
  const Integer rootId = FImportRows.empty() ? 0 : FImportRows.back().Id;
  if (!dm->OpenSql(ErrorText,
                   u" select count(*) as n from t_metadata where meta_id = :key and code <> '' and id <> :root",
                   dm->aq_public, {{u"key", Variant(ImportMetaId)}, {u"root", Variant(rootId)}}))
    return false;
  const Integer matched = dm->aq_public->FieldByName(u"n")->AsInteger();
  dm->aq_public->Close();
  if (matched == 0) ErrorText = u"XML文件中没有一个元素属于元数据模板，不是本系统的元数据文件";
  return matched > 0;
}

bool Tfrm_main::SettleImportedRows(String& ErrorText, Integer& LeftOut) {
  struct TMatch {
    bool Leaf;
    Integer Tag;
  };
  std::unordered_map<Integer, TMatch> matched;  // by row id
  if (!dm->OpenSql(ErrorText,
                   u" select a.id, a.tag, t.isEnd from t_metadata a join templet t on t.code = a.code"
                   u" where a.meta_id = :key and a.code <> ''",
                   dm->aq_public, {{u"key", Variant(ImportMetaId)}}))
    return false;
  for (TDataSet* rows = dm->aq_public; !rows->Eof(); rows->Next())
    matched[rows->FieldByName(u"id")->AsInteger()] = {rows->FieldByName(u"isEnd")->AsInteger() != 0,
                                                      rows->FieldByName(u"tag")->AsInteger()};
  dm->aq_public->Close();
  auto leaf = [&](Integer Id) {
    auto match = matched.find(Id);
    return match != matched.end() && match->second.Leaf;
  };
  auto setContent = [&](Integer Id, const Variant& Content) {
    return dm->ExecSql(ErrorText, u" update t_metadata set content = :content where meta_id = :key and id = :id",
                       dm->aq_exec, {{u"content", Content}, {u"key", Variant(ImportMetaId)}, {u"id", Variant(Id)}});
  };
  LeftOut = 0;
  for (const TImportRow& row : FImportRows) {
    auto match = matched.find(row.Id);
    // The inner element of a code that its leaf took: only what it holds
    // besides the code is lost.
    if (row.CodeCarrier && leaf(row.ParentId)) {
      ImportLosses.insert(ImportLosses.end(), row.Losses.begin(), row.Losses.end());
      if (!VarIsNull(row.Content) && !Trim(VarToStr(row.Content)).empty())
        ImportLosses.push_back(TextLoss(row.Path, VarToStr(row.Content)));
      continue;
    }
    if (match == matched.end()) {
      ImportLosses.push_back(u"未导入的元素：" + row.Path);
      ++LeftOut;
      continue;
    }
    ImportLosses.insert(ImportLosses.end(), row.Losses.begin(), row.Losses.end());
    if (!row.Value.empty()) ImportLosses.push_back(AttributeLoss(row.Path, u"value", row.Value));
    Variant content = row.Content;
    bool changed = false;
    // A branch keeps no code of an inner element that is itself its child.
    if (!match->second.Leaf && !VarIsNull(content) && !VarToStr(content).empty()) {
      content = Variant(String());
      changed = true;
    }
    if (!Trim(row.Text).empty()) {
      // A leaf holds the text it has beside elements the template lacks.
      if (match->second.Leaf && VarToStr(content).empty()) content = Variant(row.Text), changed = true;
      else ImportLosses.push_back(TextLoss(row.Path, row.Text));
    }
    String stored;
    if (match->second.Tag == DateTimeTag && IsoBasicTextToIsoText(VarToStr(content), stored))
      content = Variant(stored), changed = true;
    if (changed && !setContent(row.Id, content)) return false;
  }
  return true;
}

bool Tfrm_main::DropUnknownElements(String& ErrorText) {
  return dm->ExecSql(ErrorText, u" delete from t_metadata where meta_id = :key and (code is null or code = '')",
                     dm->aq_exec, {{u"key", Variant(ImportMetaId)}});
}

// ---- Handlers ------------------------------------------------------------------

void Tfrm_main::N1Click(TObject*) { NewRecord(); }
void Tfrm_main::spb_newClick(TObject*) { NewRecord(); }
void Tfrm_main::N2Click(TObject*) { OpenRecord(); }
void Tfrm_main::spb_opendataClick(TObject*) { OpenRecord(); }
void Tfrm_main::N21Click(TObject*) { OpenXmlFile(); }
void Tfrm_main::spb_openfileClick(TObject*) { OpenXmlFile(); }
void Tfrm_main::spb_saveClick(TObject*) { OutputXml(); }
void Tfrm_main::N4Click(TObject*) { SaveXmlAs(true); }
void Tfrm_main::N9Click(TObject*) { Close(); }
void Tfrm_main::N12Click(TObject*) { spb_check->Click(); }
void Tfrm_main::N10Click(TObject*) { spb_preview->Click(); }
void Tfrm_main::spb_previewClick(TObject*) { Preview(); }

void Tfrm_main::N3Click(TObject*) {
  OutputXml();
  if (frm_meta_edit) frm_meta_edit->RefreshDescription();
}

void Tfrm_main::spb_checkClick(TObject*) {
  Tfrm_meta_edit* window = frm_meta_edit;
  if (!window || !PostPendingEdit()) return;
  RunCommand([&] {
    TRecordReadyPause pause(window);
    String text;
    if (window->CheckStructure(text)) {
      Ask(u"结构正确", Application->Title(), MB_OK);
      return;
    }
    // A failed check always says something.
    if (Trim(text).empty()) text = u"结构检查未通过";
    WriteLogLine(text);
    Warn(text);
  });
  if (frm_meta_edit == window) window->RefreshDescription();
}

void Tfrm_main::N7Click(TObject*) {
  String message;
  ShowLogFile(message);
  if (!message.empty()) Warn(message);
}

void Tfrm_main::N15Click(TObject*) {
  if (!PostPendingEdit()) return;
  if (!Confirm(u"清理数据库将删除你所有正在编辑及已经编辑的元数据内容，确定要清理数据库吗?", u"清理数据库确认"))
    return;
  if (frm_meta_edit) frm_meta_edit->Close();
  String error;
  if (dm->ClearDatabase(error)) Inform(u"数据库清理完毕");
  else Warn(u"删除失败,错误信息：" + error);
}

void Tfrm_main::N6Click(TObject*) {
  if (frm_meta_edit) {
    if (!PostPendingEdit()) return;
    if (!Confirm(u"压缩数据库将关闭你正在编辑的元数据文件，确定要压缩数据库吗?", u"压缩数据库确认")) return;
    frm_meta_edit->Close();
  }
  String error;
  if (dm->CompactDatabase(u"", &error)) Inform(u"数据库压缩完毕");
  else Warn(u"压缩数据库失败,错误信息:" + error);
}

void Tfrm_main::N19Click(TObject*) {
  const String help = ProgramFolder() + HelpIndexFile;
  if (!ShowHelpFile(help)) Warn(u"无法打开帮助文件：" + help);
}

void Tfrm_main::spb_helpClick(TObject* Sender) { N19Click(Sender); }

void Tfrm_main::N20Click(TObject*) {
  std::unique_ptr<Tfrm_about> about(new Tfrm_about(this));
  about->ShowModal();
}

// ---- The program's start --------------------------------------------------------

// The units of the component libraries that register themselves at start.
void RegisterLibraryUnits() {
  cxLookAndFeelsInitialize();
  cxControlsInitialize();
  cxContainerPopupInitialize();
  qzUxThemeInitialize();
  qzThemeManagerInitialize();
  cxStandardPaintersRegister();
  cxUltraFlatPaintersRegister();
  cxNativePainterRegister();
  cxEditPaintUtilsInitialize();
  cxEditorsInitialize();
}

// The same units finalised in reverse order, with the shared state some of
// them make on first use (the default edit style controller, the painters'
// images).
void UnregisterLibraryUnits() {
  cxEditStylesFinalize();
  cxEditorsFinalize();
  cxEditPaintUtilsFinalize();
  UnregisterLookAndFeelPainter(cxWinXPLookAndFeelPainter());
  UnregisterLookAndFeelPainter(cxOffice11LookAndFeelPainter());
  UnregisterLookAndFeelPainter(cxUltraFlatLookAndFeelPainter());
  UnregisterLookAndFeelPainter(cxFlatLookAndFeelPainter());
  UnregisterLookAndFeelPainter(cxStandardLookAndFeelPainter());
  cxPainterImagesFinalize();
  qzThemeManagerFinalize();
  qzUxThemeFinalize();
  cxContainerPopupFinalize();
  cxControlsFinalize();
  cxLookAndFeelsFinalize();
}

bool OpenRecordDatabase() {
  const String file = ProgramFolder() + DatabaseFileName;
  auto refuse = [&](const String& Reason) {
    Application->MessageBox(u"无法打开数据库文件\"" + file + u"\"：" + Reason + u"\n程序将退出。", Application->Title(),
                            MB_OK | MB_ICONERROR);
    return false;
  };
  if (!FileExists(file)) return refuse(u"文件不存在");
  try {
    dm = new Tdm(nullptr);  // lives as long as the program
    return true;
  } catch (Exception& E) {
    return refuse(E.Message);
  }
}

int RunProgram() {
  Application->SetTitle(u"Korvane");
  if (!OpenRecordDatabase()) return 1;
  frm_main = Application->CreateForm<Tfrm_main>();
  frm_openFile = Application->CreateForm<Tfrm_openFile>();
  dm_list = new Tdm_list(nullptr);
  Application->Run();
  FreeProgramWindows();
  return 0;
}

void FreeProgramWindows() {
  if (frm_meta_edit) frm_meta_edit->Free();
  delete std::exchange(frm_openFile, nullptr);
  delete frm_main;
  delete dm_list;
  delete dm;
}
