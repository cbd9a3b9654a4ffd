// The program's end: its windows and data modules go first, then the units
// of the component libraries are finalised; finalising twice, or before
// they were started, does no harm, and they can be started again.
#include <gtest/gtest.h>

#include "editors/cxEditDataRegisteredRepositoryItems.h"
#include "editors/cxEditProperties.h"
#include "editors/cxMemo.h"
#include "foundation/cxLookAndFeels.h"
#include "tests/app/maintestutil.h"

namespace {

using namespace app_test;

// What the program finds registered: the memo editor kind, a repository
// item class by name, the default editor of a value type and a painter.
struct TRegistered {
  bool MemoKind, ItemClass, DefaultEditor, Painter;
  static TRegistered Now() {
    return {GetEditPropertiesRegistry()->IndexOfClass(TcxMemoProperties::StaticClass()) >= 0,
            GetClass(u"TcxEditRepositoryMemoItem") != nullptr,
            GetEditDataRegisteredRepositoryItems()->GetItemByValueType(nullptr) != nullptr,
            LookAndFeelPainterOfKind(lfUltraFlat) != nullptr};
  }
  bool operator==(const TRegistered&) const = default;
};
constexpr TRegistered All{true, true, true, true};
constexpr TRegistered None{false, false, false, false};

void PrintTo(const TRegistered& R, std::ostream* Out) {
  *Out << "{memo kind " << R.MemoKind << ", item class " << R.ItemClass << ", default editor " << R.DefaultEditor
       << ", painter " << R.Painter << "}";
}

// The program's windows and modules, made as RunProgram makes them, with a
// record open in the editing window, are freed; then the units are
// finalised (twice) and started again, and a record opens again.
TEST(ProgramEnd, WindowsGoFirstThenTheUnitsFinaliseTwiceAndStartAgain) {
  {
    TProgramFixture f(true);
    TCustomForm* oldMain = Application->MainForm();
    Application->SetMainForm(nullptr);
    dm_list = new Tdm_list(nullptr);
    frm_main = Application->CreateForm<Tfrm_main>();
    frm_openFile = Application->CreateForm<Tfrm_openFile>();
    frm_main->Show();
    Application->ProcessMessages();
    TUserScript user;
    user.Kind(false);
    ClickToolButton(frm_main, frm_main->spb_new);
    ASSERT_EQ(user.Acted, 1);
    ASSERT_NE(frm_meta_edit, nullptr);
    f.Module.release();  // the program's end frees the record module itself
    FreeProgramWindows();
    EXPECT_EQ(frm_meta_edit, nullptr);
    EXPECT_EQ(frm_main, nullptr);
    EXPECT_EQ(frm_openFile, nullptr);
    EXPECT_EQ(dm_list, nullptr);
    EXPECT_EQ(dm, nullptr);
    EXPECT_EQ(Application->MainForm(), nullptr);
    Application->SetMainForm(oldMain);
  }
  EXPECT_EQ(TRegistered::Now(), All);
  UnregisterLibraryUnits();
  EXPECT_EQ(TRegistered::Now(), None);
  UnregisterLibraryUnits();
  EXPECT_EQ(TRegistered::Now(), None);
  RegisterLibraryUnits();
  EXPECT_EQ(TRegistered::Now(), All);

  TMainFixture f;
  f.NewThroughToolbar(false);
  ASSERT_NE(frm_meta_edit, nullptr);
  EXPECT_NE(frm_meta_edit->cxDBTreeList1->Nodes()->Root()->GetFirstChild(), nullptr) << "the record shows its elements";
}

}  // namespace
