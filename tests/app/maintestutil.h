#pragma once
// The main window over a program folder of its own: the record data
// module, the code lists, the record list and the main window as the
// application's frame; message boxes and file dialogs answered from a
// script; modal windows driven from the application's idle time, as the
// user's part; the desktop's openers replaced by recorders.
#include <deque>
#include <fstream>
#include <string>

#include "app/about.h"
#include "app/kind.h"
#include "app/main.h"
#include "app/meta_edit.h"
#include "app/openFile.h"
#include "platform/gui/testinput.h"
#include "platform/shell/shell.h"
#include "store/dmlist.h"
#include "tests/app/apptestutil.h"

namespace app_test {

struct TBox {
  String Text;
  String Caption;
  Cardinal Flags;
};

// Message boxes are recorded and answered from Answers (IDOK for a box with
// only OK, else the next answer, IDNO when none is left); file dialogs give
// the next name of OpenNames / SaveNames, or a cancel.
class TScriptedDialogs : public TDialogService {
public:
  std::vector<TBox> Boxes;
  std::deque<Integer> Answers;
  std::deque<String> OpenNames, SaveNames;
  Integer OpenAsked = 0, SaveAsked = 0;

  Integer MessageBox(HWND, const String& Text, const String& Caption, Cardinal Flags) override {
    Boxes.push_back({Text, Caption, Flags});
    if ((Flags & 0xF) == MB_OK) return IDOK;
    if (Answers.empty()) return IDNO;
    Integer answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  TFileDialogResult OpenFile(HWND, const TFileDialogRequest&) override { return Next(OpenNames, OpenAsked); }
  TFileDialogResult SaveFile(HWND, const TFileDialogRequest& Request) override {
    SaveProposed = Request.FileName;
    return Next(SaveNames, SaveAsked);
  }
  String SaveProposed;  // the name the last save dialog proposed
  std::vector<String> Texts() const {
    std::vector<String> texts;
    for (const TBox& box : Boxes) texts.push_back(box.Text);
    return texts;
  }

private:
  static TFileDialogResult Next(std::deque<String>& Names, Integer& Asked) {
    ++Asked;
    TFileDialogResult result;
    if (Names.empty()) return result;
    result.Accepted = true;
    result.FileNames.push_back(Names.front());
    Names.pop_front();
    return result;
  }
};

class TRecordingShell : public TShellService {
public:
  std::vector<String> Opened;
  bool OpenDocument(const String& Path) override {
    Opened.push_back(Path);
    return true;
  }
  bool OpenURL(const String& URL) override {
    Opened.push_back(URL);
    return true;
  }
};

// The modal form of class T that is showing now (nullptr: none).
template <class T>
T* ShowingModal() {
  for (Integer i = 0; i < Screen->FormCount(); ++i)
    if (auto* form = dynamic_cast<T*>(Screen->Forms(i)); form && form->Visible() && (form->FormState() & fsModal))
      return form;
  return nullptr;
}

// Steps that run, one each, when the application runs out of messages:
// a step answers whether it has acted (it is then dropped).
struct TUserScript {
  std::deque<std::function<bool()>> Steps;
  Integer Acted = 0;
  TUserScript() {
    Application->OnIdle = TIdleEvent(Application, [this](TObject*, bool&) {
      if (!Steps.empty() && Steps.front()()) {
        Steps.pop_front();
        ++Acted;
      }
    });
  }
  ~TUserScript() { Application->OnIdle = nullptr; }
  // Answers the record-kind dialog: the kind chosen with a click, then OK
  // (Cancel when Ok is false).
  void Kind(bool Core, bool Ok = true) {
    Steps.push_back([Core, Ok] {
      Tfrm_kind* kind = ShowingModal<Tfrm_kind>();
      if (!kind) return false;
      TRadioButton* choice = Core ? kind->rb_core : kind->rb_notCore;
      TestClick(choice->Handle(), Middle(choice));
      TButton* button = Ok ? kind->btn_ok : kind->btn_cancel;
      TestClick(button->Handle(), Middle(button));
      return true;
    });
  }
  // Opens the record Key from the record list (leaves it when Key is "").
  void OpenFromList(const std::string& Key) {
    Steps.push_back([Key] {
      Tfrm_openFile* list = ShowingModal<Tfrm_openFile>();
      if (!list) return false;
      TButton* button = list->btn_exit;
      if (!Key.empty() && dm->aq_fileList->Locate(u"meta_id", Variant(U16(Key)), {})) button = list->btn_open;
      TestClick(button->Handle(), Middle(button));
      return true;
    });
  }
};

// Clicks a toolbar button where the user would.
inline void ClickToolButton(Tfrm_main* Main, TSpeedButton* Button) {
  TestClick(Main->CoolBar1->Handle(), TPoint{Button->Left() + Button->Width() / 2, Button->Top() + Button->Height() / 2});
  Application->ProcessMessages();
}

// The commands that leave, reload or walk the record, as the main window
// offers them (CloseWindow: the editing window's own close).
enum class TRecordCommand { Exit, CloseWindow, New, Open, Import, Clear, Compact, Output, SaveAs, Preview, Check };

struct TMainFixture : TProgramFixture {
  TMainFixture() : TProgramFixture(true) {
    for (const char* sheet : {"core.xsl", "chinese.xsl"}) fs::copy_file(BuiltProgramFolder() / sheet, Folder / sheet);
    SetDialogService(&Script);
    OldShell = SetShellService(&Shell);
    SetOpenDocumentProc([this](const String& Path) {
      Opened.push_back(Path);
      return true;
    });
    dm_list = new Tdm_list(nullptr);
    frm_openFile = new Tfrm_openFile(nullptr);
    OldMain = Application->MainForm();
    Main = new Tfrm_main(nullptr);
    frm_main = Main;
    Application->SetMainForm(Main);
    Main->SetWindowState(wsNormal);
    Main->SetBounds(0, 0, 800, 560);
    Main->Show();
    Application->ProcessMessages();
  }
  ~TMainFixture() {
    if (frm_meta_edit) frm_meta_edit->Free();
    Application->ProcessMessages();
    Main->Free();
    frm_openFile->Free();
    frm_openFile = nullptr;
    delete dm_list;
    dm_list = nullptr;
    Application->SetMainForm(OldMain);
    SetOpenDocumentProc(nullptr);
    SetShellService(OldShell);
  }
  // Runs a command and lets the windows settle (closing windows go).
  void Run(const std::function<void()>& Command) {
    Command();
    Application->ProcessMessages();
  }
  // Starts the command as the user does; the dialogs it asks are answered by
  // the steps queued before. False when it was refused before it began: the
  // closing commands ask whether their window may close, and only they
  // answer so.
  bool RunRecordCommand(TRecordCommand Command) {
    using enum TRecordCommand;
    bool canClose = false;
    switch (Command) {
      case Exit: Main->FormCloseQuery(Main, canClose); return canClose;
      case CloseWindow: frm_meta_edit->FormCloseQuery(frm_meta_edit, canClose); return canClose;
      case New: Run([&] { Main->N1->Click(); }); break;
      case Open: Run([&] { Main->N2->Click(); }); break;
      case Import: Run([&] { Main->N21->Click(); }); break;
      case Clear: Run([&] { Main->N15->Click(); }); break;
      case Compact: Run([&] { Main->N6->Click(); }); break;
      case Output: Run([&] { Main->N3->Click(); }); break;
      case SaveAs: Run([&] { Main->N4->Click(); }); break;
      case Preview: Run([&] { Main->N10->Click(); }); break;
      case Check: Run([&] { Main->N12->Click(); }); break;
    }
    return true;
  }
  // Creates a record of the kind through the toolbar's new button.
  void NewThroughToolbar(bool Core) {
    TUserScript user;
    user.Kind(Core);
    Run([&] { ClickToolButton(Main, Main->spb_new); });
    ASSERT_EQ(user.Acted, 1);
  }
  std::string Count(const std::string& Table, const std::string& Where = "1") const {
    return One("select count(*) from " + Table + " where " + Where);
  }
  std::string Key() const { return U8(dm->CurrentMetaId); }
  // A file of the program folder with the text (UTF-8 bytes as given).
  std::string WriteFile(const std::string& Name, const std::string& Bytes) const {
    std::string path = (Folder / Name).string();
    std::ofstream(path, std::ios::binary) << Bytes;
    return path;
  }

  TScriptedDialogs Script;
  TRecordingShell Shell;
  TShellService* OldShell = nullptr;
  std::vector<String> Opened;  // files opened with the desktop's program
  TCustomForm* OldMain = nullptr;
  Tfrm_main* Main = nullptr;
};

}  // namespace app_test
