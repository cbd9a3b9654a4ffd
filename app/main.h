#pragma once
// The main window: the frame that holds the editing window, with the menu
// and toolbar from which every record command starts, the import of XML
// record files and the HTML preview; and the program's start.
//
// Every database operation is asked of the record data module (dm). A
// command that fails tells the user and leaves the record that was shown as
// it was; an edit not yet posted is written before a command replaces or
// removes the record.
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "platform/gui/buttons.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/filedialogs.h"
#include "platform/gui/forms.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/menus.h"
#include "platform/rtl/variant.h"
#include "platform/xml/xmldoc.h"

class Tfrm_meta_edit;
class Tfrm_openFile;

// The sections of a record that stay at the top of an imported record;
// every other top-level element of the file goes under the "metadata" row.
inline constexpr const char16_t* ImportSectionNames[] = {u"dataIdInfo", u"dqInfo",   u"refSysInfo",
                                                         u"contInfo",   u"distInfo", u"metadata"};
// The row that an import adds for the record's own information.
inline constexpr const char16_t* ImportRootName = u"metadata";
// How deep an imported file's elements may nest. The template is a dozen
// levels deep; a file nested far deeper is not a record, and the walk over
// it recurses once per level.
inline constexpr Integer MaxImportNesting = 64;
// How many elements an imported file may hold. A record of the template
// has a few hundred, a few thousand with many repetitions; a file far past
// that is not a record, and taking it would fill the database for minutes.
inline constexpr Integer MaxImportElements = 100000;
// The style sheets of the preview, beside the program, and the scratch
// record file it writes there.
inline constexpr const char16_t* CoreStyleSheetName = u"core.xsl";
inline constexpr const char16_t* FullStyleSheetName = u"chinese.xsl";
inline constexpr const char16_t* PreviewScratchName = u"temp.xml";
// Preview pages in the temporary folder: PreviewPagePrefix + n + PreviewPageExtension.
inline constexpr const char16_t* PreviewPagePrefix = u"qv";
inline constexpr const char16_t* PreviewPageExtension = u".htm";
// The help pages beside the program.
inline constexpr const char16_t* HelpIndexFile = u"help/index.html";

class Tfrm_main : public TForm {
  KORVANE_CLASS(Tfrm_main, TForm)
  explicit Tfrm_main(TComponent* AOwner);
  ~Tfrm_main() override;

  // ---- Menu ----
  TMainMenu* MainMenu1 = nullptr;
  TMenuItem* F1 = nullptr;   // 文件
  TMenuItem* N1 = nullptr;   // new record
  TMenuItem* N2 = nullptr;   // open record
  TMenuItem* N21 = nullptr;  // import an XML file
  TMenuItem* N3 = nullptr;   // output XML
  TMenuItem* N4 = nullptr;   // save as
  TMenuItem* N5 = nullptr;
  TMenuItem* N9 = nullptr;   // exit
  TMenuItem* T1 = nullptr;   // 工具
  TMenuItem* N12 = nullptr;  // structure check
  TMenuItem* N11 = nullptr;
  TMenuItem* N10 = nullptr;  // preview
  TMenuItem* N14 = nullptr;
  TMenuItem* N7 = nullptr;   // log
  TMenuItem* N8 = nullptr;
  TMenuItem* N15 = nullptr;  // clear the database
  TMenuItem* N6 = nullptr;   // compact the database
  TMenuItem* H1 = nullptr;   // 帮助
  TMenuItem* N19 = nullptr;  // help
  TMenuItem* N20 = nullptr;  // About
  TImageList* ImageList1 = nullptr;

  // ---- Toolbar ----
  TCoolBar* CoolBar1 = nullptr;
  TSpeedButton* spb_new = nullptr;
  TSpeedButton* spb_opendata = nullptr;
  TSpeedButton* spb_openfile = nullptr;
  TSpeedButton* spb_save = nullptr;
  TSpeedButton* spb_check = nullptr;
  TSpeedButton* spb_preview = nullptr;
  TSpeedButton* spb_help = nullptr;

  TSaveDialog* SaveDlg = nullptr;
  TOpenDialog* file_dlg = nullptr;
  TXMLDocument* XMLDocument1 = nullptr;  // the file being imported

  // The seven commands that need a loaded record.
  void DisableRecordCommands() { SetRecordCommands(false); }
  void EnableRecordCommands() { SetRecordCommands(true); }
  bool RecordCommandsEnabled() const;

  // ---- Handlers ----
  void FormCreate(TObject* Sender);
  // Posts a pending edit first; a refused one keeps the program open.
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);
  // Writes "未知错误:" and the message to the log; nothing is shown.
  void LogUnhandledException(TObject* Sender, Exception* E);
  void N1Click(TObject* Sender);
  void N2Click(TObject* Sender);
  void N21Click(TObject* Sender);
  void N3Click(TObject* Sender);
  void N4Click(TObject* Sender);
  void N9Click(TObject* Sender);
  void N12Click(TObject* Sender);
  void N10Click(TObject* Sender);
  void N7Click(TObject* Sender);
  void N15Click(TObject* Sender);
  void N6Click(TObject* Sender);
  void N19Click(TObject* Sender);
  void N20Click(TObject* Sender);
  void spb_newClick(TObject* Sender);
  void spb_opendataClick(TObject* Sender);
  void spb_openfileClick(TObject* Sender);
  void spb_saveClick(TObject* Sender);
  void spb_checkClick(TObject* Sender);
  void spb_previewClick(TObject* Sender);
  void spb_helpClick(TObject* Sender);

  // ---- Commands ----
  void NewRecord();
  void OpenRecord();
  void OpenXmlFile();
  void OutputXml();

  // ---- Import ----
  // Reads the XML record file into rows of the record ImportMetaId (which
  // must not exist yet): one row per element below the document element,
  // ids 1, 2, 3 ... in document order, then the "metadata" row, under which
  // every top-level element other than the sections moves. The file is
  // read without network, DTD or entities; a file with a document type
  // declaration, an entity reference, elements nested deeper than
  // MaxImportNesting or more than MaxImportElements elements is refused.
  // Raises on any failure; run it inside a transaction. Answers true.
  bool ImportXmlFile(const String& AFileName);
  // Adds the rows of the children of Element, and of their children.
  // CodeCarrier is the child whose value attribute gave Element's content.
  void ImportXmlElement(TXMLNode* Element, TXMLNode* CodeCarrier = nullptr);
  // Imports the file as a new record of the kind in one transaction: its
  // rows, their match to the template (names as the template spells them),
  // dates in ISO 8601's basic form turned into the stored form, the removal
  // of the elements the template does not know (LeftOut tells how many) and
  // the record's entry in the record list. A file of which no element
  // matches the template is refused. On failure nothing is written and
  // ErrorText says why. ImportLosses then lists what was left out.
  bool ImportRecord(String& ErrorText, const String& AFileName, bool Core, Integer& LeftOut);
  // The key of the record being imported.
  String ImportMetaId;
  // Every part of the last imported file that the record does not hold, one
  // line each, by its path in the file ("/metadata/Esri/CreaDate",
  // "[2]" for the second of several siblings of one name): elements the
  // template does not know, attributes, text beside child elements and
  // what a code element holds besides its code.
  std::vector<String> ImportLosses;

  // ---- Preview ----
  // Transforms the record file ScratchFile with the style sheet into a new
  // page in the temporary folder, "qv" + n + ".htm" with the smallest free
  // n, created exclusively, and opens it with the desktop's default program.
  // Answers the page's name; raises when the transformation or the page
  // fails (no page is left then).
  String ShowPreviewPage(const String& ScratchFile, const String& StyleSheet);

private:
  void BuildMenu();
  void BuildToolbar();
  void LoadImages();
  TMenuItem* AddItem(TMenuItem* Parent, const String& Caption, Integer ImageIndex, TNotifyEvent OnClick);
  TSpeedButton* AddButton(const String& Hint, Integer ImageIndex, Integer Left, TNotifyEvent OnClick);
  void SetRecordCommands(bool Enabled);

  // Asks the record kind; false when the dialog was not closed with OK.
  bool AskRecordKind(bool& Core);
  // Takes what is being edited in the editing window into the record
  // (its FinishEditing); true when there is no window. Every command that
  // leaves, reloads or walks the record runs it first and stops on false.
  bool PostPendingEdit();
  // Runs Load, which puts a record into dm->aq_metadata; on success shows it
  // in the editing window (created when needed) with the kind and file
  // name. On failure shows ErrorPrefix + the reason and puts back the record
  // shown before (a window made for the command closes again).
  void ShowRecord(bool Core, const String& AFileName, const String& ErrorPrefix,
                  const std::function<bool(String& ErrorText)>& Load);
  void RestoreRecord(Tfrm_meta_edit* Window, const String& PreviousKey, bool HadRecord, bool MadeWindow);
  // Removes the rows of the imported record that the template match left
  // without a code.
  bool DropUnknownElements(String& ErrorText);
  // Runs a command that may raise: the error is logged and shown.
  void RunCommand(const std::function<void()>& Command);
  void SaveXmlAs(bool RefreshAfter);
  void Preview();

  struct TImportRow {
    Integer Id = 0;
    Integer ParentId = 0;
    String Name;
    Variant Content = Variant::MakeNull();
    String Path;                  // the element's path in the file
    String Text;                  // text beside child elements
    String Value;                 // its "value" attribute
    bool CodeCarrier = false;     // its value is its parent's content
    std::vector<String> Losses;   // its other attributes
  };
  void AddImportRow(TXMLNode* Element, Integer ParentId, const String& Path, bool CodeCarrier);
  // Refuses a file of which nothing but the added "metadata" row matched.
  bool CheckSomethingMatched(String& ErrorText);
  // Settles each row by what the template made of it: a leaf takes its
  // text beside child elements and the code of its inner element (whose row
  // goes), a branch keeps no content, dates of the basic form take the
  // stored form; fills ImportLosses, and LeftOut with the elements left out.
  bool SettleImportedRows(String& ErrorText, Integer& LeftOut);
  std::vector<TImportRow> FImportRows;
  std::vector<Integer> FImportIds;  // the ids of the elements being walked, innermost last
  Integer ImportCount = 0;
};

// The program's windows and modules, filled once at start-up.
extern Tfrm_main* frm_main;
extern Tfrm_openFile* frm_openFile;

// The program's start after the application object is initialised: the
// title, the record data module (a database file that is missing or cannot
// be read is reported, naming the file and the reason, and nothing is
// created), the main window, the record list and the code-list module,
// then the message loop; the windows and modules are freed when it ends.
// Answers the exit code (non-zero when the database could not be opened).
int RunProgram();
// Frees what RunProgram made, the newest first: the editing window, the
// record list, the main window, then the data modules they read. Each
// global is left null.
void FreeProgramWindows();
// Registers the units of the component libraries (painters, look-and-feel,
// editor kinds, default editors) that a static link would otherwise leave
// out; the program and the tests of its windows call it once at start.
void RegisterLibraryUnits();
// Finalises those units in reverse order once the windows are freed (the
// program's end). Safe to call twice, and before RegisterLibraryUnits;
// RegisterLibraryUnits may follow it.
void UnregisterLibraryUnits();
// Adds to List one Side x Side image per name, read from the images folder
// beside the program ("name.png"); "" or a missing file leaves a blank place.
void AddImageFiles(TImageList* List, std::span<const char16_t* const> Names, Integer Side);
// Creates dm over the database beside the program; false (the user told
// which file and why) when it cannot be opened.
bool OpenRecordDatabase();
