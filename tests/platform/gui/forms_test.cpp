// Forms, nested loops, the application and the dialog service.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/overlay.h"
#include "platform/gui/testinput.h"
#include "platform/gui/timers.h"
#include "platform/gui/windowing.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

class TFakeDialogs : public TDialogService {
public:
  std::vector<String> Texts;
  Integer Answer = IDOK;
  TFileDialogResult File;
  TFileDialogRequest Asked;
  Integer MessageBox(HWND, const String& Text, const String&, Cardinal) override {
    Texts.push_back(Text);
    return Answer;
  }
  TFileDialogResult OpenFile(HWND, const TFileDialogRequest& R) override {
    Asked = R;
    return File;
  }
  TFileDialogResult SaveFile(HWND, const TFileDialogRequest& R) override {
    Asked = R;
    return File;
  }
};

struct TFakeDialogsScope {
  TFakeDialogs Fake;
  TDialogService* Old;
  TFakeDialogsScope() : Old(SetDialogService(&Fake)) {}
  ~TFakeDialogsScope() { SetDialogService(Old); }
};

// A caught error the user must read reaches a message box even when the
// application's error hook would only log it; the hook is not called, and
// EAbort stays silent.
TEST(Application, ShowCaughtExceptionShowsWhateverTheHookDoes) {
  TFakeDialogsScope dialogs;
  std::vector<String> hooked;
  Application->OnException = TExceptionEvent(nullptr, [&](TObject*, Exception* E) { hooked.push_back(E->Message); });
  const std::function<void()> throws[] = {
      [] { throw EConvertError(u"no such day"); },
      [] { throw std::runtime_error("out of range"); },
      [] { Abort(); },
  };
  for (const auto& raise : throws) {
    try {
      raise();
    } catch (...) {
      Application->ShowCaughtException();
    }
  }
  Application->OnException = nullptr;
  EXPECT_EQ(dialogs.Fake.Texts, (std::vector<String>{u"no such day.", u"out of range."}));
  EXPECT_TRUE(hooked.empty());
}

TEST(Forms, ShowModalRunsUntilModalResultAndRestoresTheOwner) {
  TFormFixture f;
  TForm* dlg = new TForm(nullptr);
  dlg->OnShow = TNotifyEvent(&f, [&](TObject*) { PostMessage(dlg->Handle(), WM_USER + 1, 0, 0); });
  auto* btn = new TRecorder(dlg);
  btn->SetParent(dlg);
  btn->OnMessage = [&](TMessage& m) {
    if (m.Msg == WM_USER + 2) dlg->SetModalResult(mrOk);
  };
  dlg->WindowProc = TWndMethod(&f, [&](TMessage& m) {
    if (m.Msg == WM_USER + 1) PostMessage(btn->Handle(), WM_USER + 2, 0, 0);
    dlg->WndProc(m);
  });
  bool ownerDisabledMeanwhile = false;
  btn->OnMessage = [&](TMessage& m) {
    if (m.Msg == WM_USER + 2) {
      ownerDisabledMeanwhile = !IsWindowEnabled(f.Form->Handle());
      dlg->SetModalResult(mrOk);
    }
  };
  EXPECT_EQ(dlg->ShowModal(), mrOk);
  EXPECT_TRUE(ownerDisabledMeanwhile);
  EXPECT_FALSE(dlg->Visible());
  EXPECT_TRUE(IsWindowEnabled(f.Form->Handle()));
  EXPECT_EQ(GetActiveWindow(), f.Form->Handle());
  EXPECT_THROW((dlg->Show(), dlg->ShowModal()), EInvalidOperation);
  dlg->Free();
}

TEST(Forms, ModalCloseQueryCanRefuseAndCloseGivesCancel) {
  TFormFixture f;
  TForm* dlg = new TForm(nullptr);
  Integer asked = 0;
  dlg->OnCloseQuery = TCloseQueryEvent(&f, [&](TObject*, bool& can) { can = ++asked > 1; });
  dlg->OnShow = TNotifyEvent(&f, [&](TObject*) {
    dlg->SetModalResult(mrOk);  // refused the first time: the loop goes on
    PostMessage(dlg->Handle(), WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(dlg->ShowModal(), mrCancel);
  EXPECT_EQ(asked, 2);
  dlg->Free();
}

TEST(Forms, NestedLoopRepostsQuitForTheOuterLoop) {
  TFormFixture f;
  PostQuitMessage(3);
  bool flag = false;
  EXPECT_FALSE(Application->RunLoopUntil([&] { return flag; }));
  EXPECT_FALSE(Application->Terminated());
  Application->ProcessMessages();  // the outer loop sees the quit
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(Application->ExitCode(), 3);
  Application->ResetTerminated();
  PostMessage(f.First->Handle(), WM_USER + 9, 0, 0);
  f.First->OnMessage = [&](TMessage& m) { flag = flag || m.Msg == WM_USER + 9; };
  EXPECT_TRUE(Application->RunLoopUntil([&] { return flag; }));
}

TEST(Forms, GetMessageLoopSeesInputWithoutDispatching) {
  TFormFixture f;
  HWND h = f.First->Handle();
  f.First->Log.clear();
  TMsg m;
  {
    TQueueInputScope hold;
    TestClick(h, {4, 4});
  }
  ASSERT_TRUE(GetMessage(m, 0, WM_LBUTTONDOWN, WM_LBUTTONDOWN));
  EXPECT_EQ(m.hwnd, h);
  EXPECT_TRUE(f.First->Only({WM_LBUTTONDOWN}).empty());
  DispatchMessage(m);
  EXPECT_EQ(f.First->Only({WM_LBUTTONDOWN}).size(), 1u);
  Application->ProcessMessages();
  EXPECT_EQ(f.First->Only({WM_LBUTTONUP}).size(), 1u);
  PostQuitMessage(0);
  EXPECT_FALSE(GetMessage(m, 0, 0, 0));
}

TEST(Forms, ClosingHidesFreesOrTerminates) {
  TFormFixture f;
  TForm* other = new TForm(nullptr);
  other->Show();
  other->Close();
  EXPECT_FALSE(other->Visible());
  bool destroyed = false;
  other->OnDestroy = TNotifyEvent(&f, [&](TObject*) { destroyed = true; });
  other->OnClose = TCloseEvent(&f, [](TObject*, TCloseAction& a) { a = caFree; });
  other->Show();
  other->Close();
  EXPECT_FALSE(destroyed);  // freed once the queued messages have been handled
  Application->ProcessMessages();
  EXPECT_TRUE(destroyed);

  TCustomForm* main = Application->MainForm();
  Application->SetMainForm(f.Form);
  f.Form->Close();
  Application->ProcessMessages();
  EXPECT_TRUE(Application->Terminated());
  Application->SetMainForm(main);
}

TEST(Forms, ExceptionWithoutHandlerIsShownInAMessageBox) {
  TFormFixture f;
  TFakeDialogsScope dialogs;
  f.First->OnMouseDown = TMouseEvent(&f, [](TObject*, TMouseButton, TShiftState, Integer, Integer) {
    throw Exception(u"无法保存");
  });
  TestClick(f.First->Handle(), {3, 3});
  ASSERT_EQ(dialogs.Fake.Texts.size(), 1u);
  EXPECT_EQ(dialogs.Fake.Texts[0], u"无法保存.");  // a period is added as for every error text
}

TEST(Forms, DialogServiceAnswersAndFiltersParse) {
  TFakeDialogsScope dialogs;
  dialogs.Fake.Answer = IDYES;
  EXPECT_EQ(Application->MessageBox(u"Delete?", u"", MB_YESNO), IDYES);
  dialogs.Fake.File.Accepted = true;
  dialogs.Fake.File.FileNames = {u"/tmp/a.xml"};
  TFileDialogRequest r;
  r.Filter = u"XML files|*.xml|All|*.*";
  auto res = DialogService().OpenFile(0, r);
  EXPECT_TRUE(res.Accepted);
  EXPECT_EQ(dialogs.Fake.Asked.Filter, r.Filter);
  auto parsed = ParseDialogFilter(u"XML files|*.xml;*.XML|All|*.*");
  ASSERT_EQ(parsed.size(), 2u);
  EXPECT_EQ(parsed[0], (std::pair<String, String>{u"XML files", u"*.xml;*.XML"}));
  EXPECT_TRUE(ParseDialogFilter(u"").empty());
}

TEST(Forms, ScreenCursorsByNumber) {
  EnsureGuiRuntime();
  EXPECT_EQ(CursorId(Screen->Cursors(crIBeam)), IDC_IBEAM);
  EXPECT_EQ(CursorId(Screen->Cursors(12345)), IDC_ARROW);  // unknown: the default
  TBitmap img(8, 8);
  img.Canvas()->Brush()->SetColor(clBlack);
  img.Canvas()->FillRect(TRect{0, 0, 8, 8});
  HCURSOR own = CreateCursorFromBitmap(&img, nullptr, 1, 1);
  ASSERT_NE(own, 0u);
  Screen->SetCursors(2100, own);
  EXPECT_EQ(Screen->Cursors(2100), own);
  Screen->SetCursor(2100);
  EXPECT_EQ(GetCursor(), own);
  Screen->SetCursor(crDefault);
  Screen->SetCursors(2100, 0);
  EXPECT_TRUE(DestroyCursor(own));
}

TEST(Forms, ControlCursorIsSetOverIt) {
  TFormFixture f;
  f.First->SetCursor(crHandPoint);
  TestMouseMove(f.First->Handle(), {5, 5});
  EXPECT_EQ(CursorId(GetCursor()), IDC_HAND);
  TestMouseMove(f.Second->Handle(), {5, 5});
  EXPECT_EQ(CursorId(GetCursor()), IDC_ARROW);
}

TEST(Forms, MouseEnterAndLeaveFollowTheMouse) {
  TFormFixture f;
  std::vector<String> seen;
  f.First->OnMouseEnter = TNotifyEvent(&f, [&](TObject*) { seen.push_back(u"enter 1"); });
  f.First->OnMouseLeave = TNotifyEvent(&f, [&](TObject*) { seen.push_back(u"leave 1"); });
  f.Second->OnMouseEnter = TNotifyEvent(&f, [&](TObject*) { seen.push_back(u"enter 2"); });
  f.Second->OnMouseLeave = TNotifyEvent(&f, [&](TObject*) { seen.push_back(u"leave 2"); });
  TestMouseMove(f.First->Handle(), {5, 5});
  TestMouseMove(f.First->Handle(), {6, 5});
  TestMouseMove(f.Second->Handle(), {5, 5});
  TestMouseLeave(f.Second->Handle());
  EXPECT_EQ(seen, (std::vector<String>{u"enter 1", u"leave 1", u"enter 2", u"leave 2"}));
}

TEST(Forms, DragAndDropBetweenControls) {
  TFormFixture f;
  f.First->SetDragMode(dmAutomatic);
  std::vector<String> seen;
  f.Second->OnDragOver = TDragOverEvent(&f, [&](TObject*, TObject* src, Integer, Integer, TDragState, bool& accept) {
    accept = src == f.First;
  });
  f.Second->OnDragDrop = TDragDropEvent(&f, [&](TObject*, TObject* src, Integer x, Integer y) {
    seen.push_back(src == f.First ? u"dropped" : u"?");
    EXPECT_EQ((TPoint{x, y}), (TPoint{20, 30}));
  });
  f.First->OnEndDrag = TEndDragEvent(&f, [&](TObject*, TObject* target, Integer, Integer) {
    seen.push_back(target == f.Second ? u"ended on second" : u"ended nowhere");
  });
  HWND a = f.First->Handle(), b = f.Second->Handle();
  TestMousePress(a, {5, 5});
  EXPECT_TRUE(f.First->Dragging());
  TestMouseMove(a, {30, 30});          // leaves the threshold: the drag starts
  TestMouseMove(b, {20, 30});          // over the second control
  TestMouseRelease(b, {20, 30});
  EXPECT_FALSE(f.First->Dragging());
  EXPECT_EQ(seen, (std::vector<String>{u"dropped", u"ended on second"}));
  // Esc cancels a running drag.
  seen.clear();
  f.First->SetFocus();
  TestMousePress(a, {5, 5});
  TestMouseMove(a, {40, 40});
  TestKey(VK_ESCAPE);
  EXPECT_FALSE(f.First->Dragging());
  EXPECT_EQ(seen, std::vector<String>{u"ended nowhere"});
  TestMouseRelease(a, {40, 40});
}

TEST(Overlay, TranslucentPictureWithTransparentColour) {
  EnsureGuiRuntime();
  TOverlayWindow o;
  o.SetBounds(TRect{10, 10, 14, 12});
  TBitmap pic(4, 2);
  pic.Canvas()->Brush()->SetColor(clRed);
  pic.Canvas()->FillRect(TRect{0, 0, 4, 2});
  pic.Canvas()->SetPixels(0, 0, clFuchsia);
  o.SetTransparentColor(clFuchsia);
  o.SetImage(&pic);
  o.SetAlpha(128);
  o.Show();
  EXPECT_TRUE(o.Visible());
  EXPECT_EQ(o.PixelAt(0, 0) >> 24, 0u);
  EXPECT_EQ(o.PixelAt(1, 0), 0x80FF0000u);
  EXPECT_EQ(o.BoundsRect(), (TRect{10, 10, 14, 12}));
  o.Hide();
  EXPECT_FALSE(o.Visible());
}

}  // namespace

namespace {

TEST(Forms, RunEndsWhenTheMainFormCloses) {
  TFormFixture f;
  TCustomForm* main = Application->MainForm();
  Application->SetMainForm(f.Form);
  PostMessage(f.Form->Handle(), WM_CLOSE, 0, 0);
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  Application->SetMainForm(main);
}

TEST(Forms, KeyPreviewLetsTheFormSeeKeysFirst) {
  TFormFixture f;
  f.Form->SetKeyPreview(true);
  f.First->SetFocus();
  String formSaw, controlSaw;
  f.Form->OnKeyPress = TKeyPressEvent(&f, [&](TObject*, Char& c) {
    formSaw += c;
    if (c == u'x') c = 0;  // eaten by the form
  });
  f.First->OnKeyPress = TKeyPressEvent(&f, [&](TObject*, Char& c) { controlSaw += c; });
  TestTypeText(u"axb");
  EXPECT_EQ(formSaw, u"axb");
  EXPECT_EQ(controlSaw, u"ab");
}

TEST(Forms, FreeingAFocusedChildLeavesTheFormConsistent) {
  TFormFixture f;
  f.First->SetTabStop(true);
  f.Second->SetTabStop(true);
  f.Second->SetFocus();
  f.Second->Free();
  f.Second = nullptr;
  EXPECT_EQ(f.Form->ActiveControl(), nullptr);
  EXPECT_EQ(Screen->ActiveControl(), nullptr);
  f.Form->SelectNext(nullptr, true, true);
  EXPECT_TRUE(f.First->Focused());
}

}  // namespace

namespace {

TEST(Forms, MultipleDocumentFrameHostsItsChildMaximised) {
  EnsureGuiRuntime();
  TCustomForm* oldMain = Application->MainForm();
  TForm* frame = new TForm(nullptr);
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(50, 50, 400, 300);
  Application->SetMainForm(frame);
  frame->Show();
  ASSERT_NE(frame->ClientHandle(), 0u);
  TForm* child = new TForm(nullptr);
  child->SetFormStyle(fsMDIChild);
  auto* edit = new TRecorder(child);
  edit->SetTabStop(true);
  edit->SetBounds(5, 5, 50, 20);
  edit->SetParent(child);
  child->Show();
  EXPECT_EQ(frame->MDIChildCount(), 1);
  EXPECT_EQ(frame->ActiveMDIChild(), child);
  EXPECT_EQ(GetParent(child->Handle()), frame->ClientHandle());
  EXPECT_EQ(child->ClientRect(), frame->ClientRect());
  EXPECT_EQ(GetAncestorRoot(edit->Handle()), frame->Handle());
  edit->SetFocus();
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(GetActiveWindow(), frame->Handle());
  frame->SetBounds(50, 50, 500, 350);
  EXPECT_EQ(child->Width(), frame->ClientWidth());
  child->Free();
  EXPECT_EQ(frame->MDIChildCount(), 0);

  Application->SetMainForm(nullptr);
  TForm* orphan = new TForm(nullptr);
  orphan->SetFormStyle(fsMDIChild);
  EXPECT_THROW(orphan->Show(), EInvalidOperation);
  orphan->Free();
  frame->Free();
  Application->SetMainForm(oldMain);
}

}  // namespace

namespace {

// A tool bar made before the frame's window keeps its room: the client
// window, and a child in it, start below it.
TEST(Forms, AFrameWithAToolBarMadeBeforeItsWindowPutsChildrenBelowIt) {
  EnsureGuiRuntime();
  TCustomForm* oldMain = Application->MainForm();
  TForm* frame = new TForm(nullptr);
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(50, 50, 400, 300);
  auto* bar = new TPanel(frame);
  bar->SetParent(frame);
  bar->SetAlign(alTop);
  bar->SetHeight(30);
  Application->SetMainForm(frame);
  frame->Show();
  TForm* child = new TForm(nullptr);
  child->SetFormStyle(fsMDIChild);
  child->Show();
  TPoint childOrigin = child->ClientToScreen(TPoint{0, 0});
  TPoint frameOrigin = frame->ClientToScreen(TPoint{0, 0});
  EXPECT_EQ(childOrigin.Y - frameOrigin.Y, 30);
  EXPECT_EQ(child->Height(), frame->ClientHeight() - 30);
  child->Free();
  Application->SetMainForm(oldMain);
  frame->Free();
}

}  // namespace
