#include "foundation/cxStyles.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"

namespace {

std::string Utf8(const String& s) { return StringToUTF8(s); }

// ---- Fixtures ---------------------------------------------------------------------------------

// A control's table: records every change notice, answers fixed defaults.
class TTestStyles : public TcxStyles {
  KORVANE_CLASS(TTestStyles, TcxStyles)

  explicit TTestStyles(TPersistent* AOwner) : TcxStyles(AOwner) {
    DefaultFont.SetName(u"Tahoma");
  }

  void GetDefaultStyleParams(Integer AIndex, void* AData, TcxStyleParams& AParams) override {
    TcxStyles::GetDefaultStyleParams(AIndex, AData, AParams);
    ++DefaultCalls;
    LastData = AData;
    AParams.Color = clWindow;
    AParams.TextColor = clWindowText;
    AParams.Font = AIndex == 5 ? &OtherFont : &DefaultFont;
    AParams.Bitmap = DefaultBitmap;
  }
  void AllowBitmaps(bool Value) { SetUseBitmap(Value); }

  std::vector<Integer> Changes;
  std::vector<std::string>* Log = nullptr;  // shared order of notices
  std::string LogName;
  // Runs inside a notice (as a control may react to it).
  std::function<void(Integer)> OnItemChanged;

  TFont DefaultFont;
  TFont OtherFont;
  TBitmap* DefaultBitmap = nullptr;
  int DefaultCalls = 0;
  void* LastData = nullptr;

protected:
  void ItemChanged(Integer AIndex) override {
    Changes.push_back(AIndex);
    if (Log) Log->push_back(LogName + ":" + std::to_string(AIndex));
    if (OnItemChanged) OnItemChanged(AIndex);
  }
};

// A sheet whose own table has the control's table class.
class TTestStyleSheet : public TcxCustomStyleSheet {
  KORVANE_CLASS(TTestStyleSheet, TcxCustomStyleSheet)
  using TcxCustomStyleSheet::TcxCustomStyleSheet;
  TcxCustomStylesClass StylesClassOf() const override { return TTestStyles::StaticClass(); }
  TTestStyles* Table() { return static_cast<TTestStyles*>(GetStyles()); }
};

// A component whose state tests may set (csWriting).
class TTestOwner : public TComponent {
  KORVANE_CLASS(TTestOwner, TComponent)
  using TComponent::TComponent;
  void SetWriting(bool Value) { Value ? IncludeState(csWriting) : ExcludeState(csWriting); }
};

class cxStylesTest : public ::testing::Test {
protected:
  TcxStyle* NewStyle(TColor AColor = clDefault) {
    auto* Style = static_cast<TcxStyle*>(Repository->NewStyle(TcxStyle::StaticClass()));
    Style->SetColor(AColor);
    return Style;
  }
  TTestStyleSheet* NewSheet() {
    return static_cast<TTestStyleSheet*>(Repository->NewStyleSheet(TTestStyleSheet::StaticClass()));
  }

  std::unique_ptr<TTestOwner> Form = std::make_unique<TTestOwner>(nullptr);
  TcxStyleRepository* Repository = new TcxStyleRepository(Form.get());
  std::unique_ptr<TTestStyles> Styles = std::make_unique<TTestStyles>(Form.get());
};

// ---- TcxStyle values --------------------------------------------------------------------------

TEST_F(cxStylesTest, ColourSettersAssignAndUnassign) {
  struct Case {
    void (TcxStyle::*Set)(TColor);
    TColor (TcxStyle::*Get)() const;
    bool (TcxStyle::*Stored)() const;
    TcxStyleValue Bit;
  };
  const Case Cases[] = {
      {&TcxStyle::SetColor, &TcxStyle::Color, &TcxStyle::IsColorStored, svColor},
      {&TcxStyle::SetTextColor, &TcxStyle::TextColor, &TcxStyle::IsTextColorStored, svTextColor},
  };
  for (const Case& C : Cases) {
    TcxStyle* Style = NewStyle();
    Styles->SetIndexedStyle(0, Style);
    Styles->Changes.clear();
    EXPECT_EQ((Style->*C.Get)(), clDefault);
    EXPECT_FALSE((Style->*C.Stored)());

    (Style->*C.Set)(clRed);
    EXPECT_EQ(Style->AssignedValues(), static_cast<TcxStyleValues>(C.Bit));
    EXPECT_TRUE((Style->*C.Stored)());
    (Style->*C.Set)(clRed);  // unchanged: no notice
    EXPECT_EQ(Styles->Changes, std::vector<Integer>{0});

    (Style->*C.Set)(clDefault);  // back to the default: unassigned, not written
    EXPECT_EQ(Style->AssignedValues(), 0u);
    EXPECT_FALSE((Style->*C.Stored)());
    EXPECT_EQ(Styles->Changes.size(), 2u);
  }
}

TEST_F(cxStylesTest, BitmapAndFontChangesTrackAssignedValues) {
  TcxStyle* Style = NewStyle();
  Styles->SetIndexedStyle(0, Style);
  Styles->Changes.clear();

  TBitmap Picture(4, 3);
  Style->SetBitmap(&Picture);
  EXPECT_EQ(Style->AssignedValues(), static_cast<TcxStyleValues>(svBitmap));
  EXPECT_EQ(Style->Bitmap()->Width(), 4);
  EXPECT_NE(Style->Bitmap(), &Picture);  // copied into the owned bitmap
  EXPECT_TRUE(Style->IsBitmapStored());

  Style->Bitmap()->SetSize(0, 0);  // emptied directly: no longer assigned
  EXPECT_EQ(Style->AssignedValues(), 0u);
  Style->SetBitmap(&Picture);
  Style->SetBitmap(nullptr);  // nullptr empties it
  EXPECT_TRUE(Style->Bitmap()->Empty());
  EXPECT_FALSE(Style->IsBitmapStored());

  Style->Font()->SetSize(14);  // any change of the font assigns it
  EXPECT_TRUE(Style->IsFontStored());
  TFont Other;
  Other.SetName(u"Arial");
  Style->SetFont(&Other);
  EXPECT_EQ(Utf8(Style->Font()->Name()), "Arial");
  Style->SetFont(nullptr);  // ignored
  EXPECT_EQ(Utf8(Style->Font()->Name()), "Arial");

  Style->SetAssignedValues(svColor | 0xF0);  // only the known bits are kept
  EXPECT_EQ(Style->AssignedValues(), static_cast<TcxStyleValues>(svColor));
  EXPECT_EQ(Styles->Changes.size(), 7u);  // one notice per change
}

TEST_F(cxStylesTest, RestoreDefaultsKeepsFontValuesAndNotifiesOnce) {
  TcxStyle* Style = NewStyle(clRed);
  TBitmap Picture(2, 2);
  Style->SetBitmap(&Picture);
  Style->SetTextColor(clBlue);
  Style->Font()->SetName(u"Arial");
  Styles->SetIndexedStyle(0, Style);
  Styles->Changes.clear();

  Style->RestoreDefaults();
  EXPECT_EQ(Style->AssignedValues(), 0u);
  EXPECT_EQ(Style->Color(), clDefault);
  EXPECT_EQ(Style->TextColor(), clDefault);
  EXPECT_TRUE(Style->Bitmap()->Empty());
  EXPECT_EQ(Utf8(Style->Font()->Name()), "Arial");
  EXPECT_EQ(Styles->Changes, std::vector<Integer>{0});
}

TEST_F(cxStylesTest, AssignMakesAnExactCopy) {
  TcxStyle* Source = NewStyle(clRed);
  TBitmap Picture(2, 5);
  Source->SetBitmap(&Picture);
  Source->Font()->SetName(u"Arial");
  Source->SetAssignedValues(svColor | svBitmap);  // the font's values travel, unassigned
  TcxStyle* Target = NewStyle();
  Target->SetTextColor(clBlue);

  Target->Assign(Source);
  EXPECT_EQ(Target->AssignedValues(), static_cast<TcxStyleValues>(svColor | svBitmap));
  EXPECT_EQ(Target->Color(), clRed);
  EXPECT_EQ(Target->TextColor(), clDefault);
  EXPECT_EQ(Target->Bitmap()->Height(), 5);
  EXPECT_EQ(Utf8(Target->Font()->Name()), "Arial");

  TFont NotAStyle;
  EXPECT_THROW(Target->Assign(&NotAStyle), EConvertError);
}

// ---- Styles tables ----------------------------------------------------------------------------

TEST_F(cxStylesTest, StoreStyleKeepsSortedPairsAndNotifiesChanges) {
  TcxStyle* A = NewStyle(clRed);
  TcxStyle* B = NewStyle(clBlue);
  Styles->StoreStyle(7, A);
  Styles->StoreStyle(2, B);
  Styles->StoreStyle(4, A);
  ASSERT_EQ(Styles->Count(), 3);
  EXPECT_EQ(Styles->IndexAt(0), 2);
  EXPECT_EQ(Styles->IndexAt(1), 4);
  EXPECT_EQ(Styles->IndexAt(2), 7);
  Integer Position = -1;
  EXPECT_FALSE(Styles->FindIndex(5, Position));
  EXPECT_EQ(Position, 2);  // where 5 would go
  EXPECT_TRUE(Styles->FindIndex(4, Position));
  EXPECT_EQ(Position, 1);

  Styles->StoreStyle(4, A);        // already the style there: nothing
  Styles->StoreStyle(3, nullptr);  // nothing to remove: nothing
  EXPECT_EQ(Styles->Changes, (std::vector<Integer>{7, 2, 4}));

  Styles->StoreStyle(4, B);  // replaced
  EXPECT_EQ(Styles->GetIndexedStyle(4), B);
  Styles->StoreStyle(2, nullptr);  // removed
  EXPECT_EQ(Styles->ResolveStyle(2), nullptr);
  EXPECT_EQ(Styles->Changes, (std::vector<Integer>{7, 2, 4, 4, 2}));

  Styles->Changes.clear();
  A->SetColor(clGreen);  // A holds index 7 only now
  B->SetColor(clGreen);  // B holds index 4
  EXPECT_EQ(Styles->Changes, (std::vector<Integer>{7, 4}));
  EXPECT_THROW(Styles->DeleteItem(2), EListError);
}

// A style held at two indexes stays listened to until the last pair goes:
// dropping one pair must neither silence the other nor leave it dangling
// when the style is freed.
TEST_F(cxStylesTest, StyleHeldTwiceKeepsItsListenerUntilTheLastPairGoes) {
  TcxStyle* Shared = NewStyle(clRed);
  TcxStyle* Other = NewStyle(clBlue);
  Styles->StoreStyle(0, Shared);
  Styles->StoreStyle(1, Shared);
  Styles->StoreStyle(0, Other);  // replaces one of the two pairs
  EXPECT_TRUE(Shared->HasListener(Styles.get()));
  Styles->Changes.clear();
  Shared->SetColor(clGreen);
  EXPECT_EQ(Styles->Changes, std::vector<Integer>{1});

  Styles->StoreStyle(2, Shared);
  Styles->DeleteItem(2);  // the pair at index 1 still holds it
  EXPECT_TRUE(Shared->HasListener(Styles.get()));

  Styles->Changes.clear();
  Shared->Free();  // the table drops index 1 and hears of it
  EXPECT_EQ(Styles->ResolveStyle(1), nullptr);
  EXPECT_EQ(Styles->Changes, std::vector<Integer>{1});
  Styles->StoreStyle(1, Other);
  Styles->StoreStyle(0, nullptr);
  Styles->StoreStyle(1, nullptr);
  EXPECT_FALSE(Other->HasListener(Styles.get()));
}

TEST_F(cxStylesTest, FreeingAStyleClearsItFromEveryTable) {
  TcxStyle* Style = NewStyle(clRed);
  TTestStyles Second(nullptr);
  Styles->StoreStyle(3, Style);
  Styles->StoreStyle(8, Style);
  Second.StoreStyle(1, Style);
  Styles->Changes.clear();

  delete Style;  // also without Free
  EXPECT_EQ(Styles->Count(), 0);
  EXPECT_EQ(Second.Count(), 0);
  EXPECT_EQ(Styles->Changes, (std::vector<Integer>{8, 3}));  // last to first
  EXPECT_EQ(Second.Changes.back(), 1);
  EXPECT_EQ(Repository->Count(), 0);
}

// While a style is being freed, the tables that still hold it may read it
// (a control resolves its looks as each index is dropped).
TEST_F(cxStylesTest, StyleIsWholeWhileTablesDropIt) {
  TcxStyle* Style = NewStyle(clRed);
  Style->Font()->SetName(u"Arial");
  Styles->StoreStyle(0, Style);
  Styles->StoreStyle(1, Style);
  std::vector<std::string> Seen;
  Styles->OnItemChanged = [&](Integer AIndex) {
    TcxStyleParams P;
    Styles->ResolveStyleParams(1 - AIndex, nullptr, P);
    Seen.push_back(Utf8(P.Font->Name()));
  };
  delete Style;  // index 1 goes first, while index 0 still holds the style
  EXPECT_EQ(Seen, (std::vector<std::string>{"Arial", "Tahoma"}));
}

// Style listeners hear a change last to first, a sheet's users first to
// last; one that leaves during its notice makes no other one be skipped.
TEST_F(cxStylesTest, ListenersMayLeaveDuringANotice) {
  TcxStyle* Style = NewStyle(clRed);
  TTestStyleSheet* Sheet = NewSheet();
  Sheet->Table()->StoreStyle(0, Style);
  std::vector<std::string> Log;
  TTestStyles T1(nullptr), T2(nullptr), T3(nullptr);
  int Number = 1;
  for (TTestStyles* T : {&T1, &T2, &T3}) {
    T->Log = &Log;
    T->LogName = "T" + std::to_string(Number++);
  }

  // Listeners of a style: T2 drops the style while it hears of the change,
  // T3 frees T0, which has not heard it yet.
  auto* T0 = new TTestStyles(nullptr);
  T0->Log = &Log;
  T0->LogName = "T0";
  for (TTestStyles* T : {T0, &T1, &T2, &T3}) T->StoreStyle(1, Style);
  bool Dropped = false;
  T2.OnItemChanged = [&](Integer) {
    if (!std::exchange(Dropped, true)) T2.StoreStyle(1, nullptr);
  };
  T3.OnItemChanged = [&](Integer) { FreeAndNil(T0); };
  Log.clear();
  Style->SetColor(clBlue);
  EXPECT_EQ(Log, (std::vector<std::string>{"T3:1", "T2:1", "T2:1", "T1:1"}));
  T3.OnItemChanged = nullptr;
  EXPECT_FALSE(Style->HasListener(&T2));
  for (TTestStyles* T : {&T1, &T3}) T->StoreStyle(1, nullptr);

  // Users of a sheet: T1 drops the sheet while it hears of a change.
  for (TTestStyles* T : {&T1, &T2, &T3}) T->SetStyleSheet(Sheet);
  Dropped = false;
  T2.OnItemChanged = nullptr;
  T1.OnItemChanged = [&](Integer) {
    if (!std::exchange(Dropped, true)) T1.SetStyleSheet(nullptr);
  };
  Log.clear();
  Style->SetColor(clGreen);
  EXPECT_EQ(Log, (std::vector<std::string>{"T1:0", "T1:0", "T2:0", "T3:0"}));
  EXPECT_EQ(Sheet->UserCount(), 2);
}

TEST_F(cxStylesTest, FreedTableLeavesItsStylesAndSheet) {
  TTestStyleSheet* Sheet = NewSheet();
  TcxStyle* Style = NewStyle(clRed);
  auto* Table = new TTestStyles(nullptr);
  Table->StoreStyle(0, Style);
  Table->StoreStyle(1, Style);
  Table->SetStyleSheet(Sheet);

  Table->Free();
  EXPECT_EQ(Style->ListenerCount(), 0);
  EXPECT_EQ(Sheet->UserCount(), 0);
  Style->SetColor(clBlue);  // reaches no freed table
}

// ---- Style sheets -----------------------------------------------------------------------------

TEST_F(cxStylesTest, SheetSuppliesWhatTheTableDoesNotHold) {
  TTestStyleSheet* Sheet = NewSheet();
  TcxStyle* SheetStyle = NewStyle(clRed);
  TcxStyle* OwnStyle = NewStyle(clBlue);
  Sheet->Table()->StoreStyle(0, SheetStyle);
  Sheet->Table()->StoreStyle(1, SheetStyle);
  Styles->SetStyleSheet(Sheet);
  Styles->StoreStyle(1, OwnStyle);

  EXPECT_EQ(Styles->GetIndexedStyle(0), SheetStyle);
  EXPECT_EQ(Styles->GetIndexedStyle(1), OwnStyle);  // own before the sheet's
  EXPECT_EQ(Styles->GetIndexedStyle(2), nullptr);

  // A style equal to the sheet's is not stored; the index keeps following.
  Styles->Changes.clear();
  Styles->StoreStyle(0, SheetStyle);
  EXPECT_EQ(Styles->Count(), 1);
  EXPECT_TRUE(Styles->Changes.empty());
  Sheet->Table()->StoreStyle(0, OwnStyle);
  EXPECT_EQ(Styles->GetIndexedStyle(0), OwnStyle);
  // nil where only the sheet supplies a style does nothing.
  Styles->Changes.clear();
  Styles->StoreStyle(0, nullptr);
  EXPECT_EQ(Styles->GetIndexedStyle(0), OwnStyle);
  EXPECT_TRUE(Styles->Changes.empty());
  // Removing the own style uncovers the sheet's again.
  Styles->StoreStyle(1, nullptr);
  EXPECT_EQ(Styles->GetIndexedStyle(1), SheetStyle);
}

TEST_F(cxStylesTest, ChangesTravelThroughSheetChainsToEveryUser) {
  TTestStyleSheet* Base = NewSheet();
  TTestStyleSheet* Derived = NewSheet();
  TcxStyle* Style = NewStyle(clRed);
  Base->Table()->StoreStyle(4, Style);
  Derived->Table()->SetStyleSheet(Base);
  std::vector<std::string> Log;
  TTestStyles Other(nullptr);
  for (TTestStyles* T : {Styles.get(), &Other}) T->Log = &Log;
  Styles->LogName = "first";
  Other.LogName = "second";
  Styles->SetStyleSheet(Derived);
  Other.SetStyleSheet(Derived);
  EXPECT_EQ(Styles->GetIndexedStyle(4), Style);  // two sheets away
  Log.clear();

  Style->SetTextColor(clBlue);
  EXPECT_EQ(Log, (std::vector<std::string>{"first:4", "second:4"}));  // users first to last
  EXPECT_EQ(Derived->Table()->Changes.back(), 4);
}

TEST_F(cxStylesTest, ReplacingASheetNotifiesEachIndexOfEitherChainOnce) {
  TTestStyleSheet* Old = NewSheet();
  TTestStyleSheet* OldParent = NewSheet();
  TTestStyleSheet* New = NewSheet();
  TcxStyle* Style = NewStyle(clRed);
  Old->Table()->StoreStyle(1, Style);
  Old->Table()->StoreStyle(3, Style);
  OldParent->Table()->StoreStyle(3, Style);
  OldParent->Table()->StoreStyle(6, Style);
  Old->Table()->SetStyleSheet(OldParent);
  New->Table()->StoreStyle(6, Style);
  New->Table()->StoreStyle(2, Style);
  Styles->SetStyleSheet(Old);
  Styles->Changes.clear();

  Styles->SetStyleSheet(New);
  EXPECT_EQ(Styles->Changes, (std::vector<Integer>{1, 3, 6, 2}));
  EXPECT_EQ(Old->UserCount(), 0);
  EXPECT_EQ(New->UserCount(), 1);
  Styles->Changes.clear();
  Styles->SetStyleSheet(New);  // unchanged
  EXPECT_TRUE(Styles->Changes.empty());
}

TEST_F(cxStylesTest, RefusesSheetsOfAnotherClassItsOwnAndCycles) {
  TTestStyleSheet* A = NewSheet();
  TTestStyleSheet* B = NewSheet();
  TTestStyleSheet* C = NewSheet();
  auto* Plain = Repository->NewStyleSheet(TcxCustomStyleSheet::StaticClass());
  B->Table()->SetStyleSheet(C);  // B -> C
  A->Table()->SetStyleSheet(B);  // A -> B -> C

  struct Case {
    const char* What;
    TcxCustomStyles* Table;
    TcxCustomStyleSheet* Sheet;
    bool Accepted;
  };
  const Case Cases[] = {
      {"nil", C->Table(), nullptr, true},
      {"a sheet of the control's class", Styles.get(), A, true},
      {"a sheet whose table has another class", Styles.get(), Plain, false},
      {"the table's own sheet", A->Table(), A, false},
      {"a sheet two steps back", C->Table(), A, false},
      {"a sheet one step back", B->Table(), A, false},
      {"a sheet that leads elsewhere", C->Table(), NewSheet(), true},
  };
  for (const Case& K : Cases) EXPECT_EQ(K.Table->AcceptsStyleSheet(K.Sheet), K.Accepted) << K.What;

  C->Table()->SetStyleSheet(A);  // refused silently
  EXPECT_EQ(C->Table()->StyleSheet(), nullptr);
  Styles->SetStyleSheet(Plain);
  EXPECT_EQ(Styles->StyleSheet(), nullptr);
  EXPECT_EQ(Styles->ResolveStyle(0), nullptr);  // resolution ends
}

TEST_F(cxStylesTest, FreeingASheetDetachesItsUsersWithNotices) {
  TTestStyleSheet* Base = NewSheet();
  TTestStyleSheet* Sheet = NewSheet();
  TcxStyle* Style = NewStyle(clRed);
  Sheet->Table()->StoreStyle(2, Style);
  Base->Table()->StoreStyle(5, Style);
  Sheet->Table()->SetStyleSheet(Base);
  TTestStyles Other(nullptr);
  Styles->SetStyleSheet(Sheet);
  Other.SetStyleSheet(Base);
  Styles->Changes.clear();
  Other.Changes.clear();

  delete Sheet;
  EXPECT_EQ(Styles->StyleSheet(), nullptr);
  EXPECT_EQ(Styles->Changes, (std::vector<Integer>{2, 5}));
  EXPECT_EQ(Base->UserCount(), 1);  // the freed sheet's table left it
  EXPECT_EQ(Repository->StyleSheetCount(), 1);
  EXPECT_EQ(Style->ListenerCount(), 1);  // Base's table only

  Other.Changes.clear();
  Base->Free();
  EXPECT_EQ(Other.StyleSheet(), nullptr);
  EXPECT_EQ(Other.Changes, std::vector<Integer>{5});
  EXPECT_EQ(Style->ListenerCount(), 0);
}

// A module that owns a sheet and its styles is freed while a table of
// another module uses the sheet: that table hears of every index it loses,
// whichever of the module's components goes first.
TEST_F(cxStylesTest, UsersElsewhereHearWhenTheSheetsModuleIsFreed) {
  auto* DataModule = new TTestOwner(nullptr);
  auto* ModuleRepository = new TcxStyleRepository(DataModule);
  auto* Sheet = static_cast<TTestStyleSheet*>(
      ModuleRepository->NewStyleSheetEx(TTestStyleSheet::StaticClass(), DataModule));
  auto* Style = ModuleRepository->NewStyleEx(TcxStyle::StaticClass(), DataModule);  // freed first
  Sheet->Table()->StoreStyle(3, Style);
  Styles->SetStyleSheet(Sheet);
  Styles->Changes.clear();

  delete DataModule;
  EXPECT_EQ(Styles->Changes, std::vector<Integer>{3});
  EXPECT_EQ(Styles->StyleSheet(), nullptr);
  EXPECT_EQ(Styles->ResolveStyle(3), nullptr);
}

TEST_F(cxStylesTest, WritingOwnerResolvesOnlyOwnStyles) {
  TTestStyleSheet* Sheet = NewSheet();
  TcxStyle* SheetStyle = NewStyle(clRed);
  TcxStyle* OwnStyle = NewStyle(clBlue);
  Sheet->Table()->StoreStyle(0, SheetStyle);
  Styles->StoreStyle(1, OwnStyle);
  Styles->SetStyleSheet(Sheet);

  Form->SetWriting(true);
  EXPECT_EQ(Styles->ResolveStyle(0), nullptr);
  EXPECT_EQ(Styles->ResolveStyle(1), OwnStyle);
  Form->SetWriting(false);
  EXPECT_EQ(Styles->ResolveStyle(0), SheetStyle);
}

TEST_F(cxStylesTest, CaptionFollowsNameUntilSet) {
  TTestStyleSheet* Sheet = NewSheet();
  Sheet->SetName(u"Classic");
  struct Step {
    const char16_t* Set;
    const char* Caption;
    bool Stored;
  };
  const Step Steps[] = {
      {u"Classic", "Classic", false},   // the current caption: nothing
      {u"Velvet", "Velvet", true},
      {u"CLASSIC", "Classic", false},   // the name, case ignored: cleared
      {u"经典", "经典", true},
      {u"", "Classic", false},
  };
  for (const Step& S : Steps) {
    Sheet->SetCaption(S.Set);
    EXPECT_EQ(Utf8(Sheet->GetCaption()), S.Caption);
    EXPECT_EQ(Sheet->IsCaptionStored(), S.Stored);
  }
  Sheet->SetCaption(u"Velvet");
  Sheet->SetName(u"Renamed");
  EXPECT_EQ(Utf8(Sheet->GetCaption()), "Velvet");
}

TEST_F(cxStylesTest, AssignCopiesTheSheetOnly) {
  TTestStyleSheet* Parent = NewSheet();
  TTestStyleSheet* Source = NewSheet();
  TTestStyleSheet* Target = NewSheet();
  Source->SetCaption(u"Source caption");
  Source->Table()->SetStyleSheet(Parent);
  Source->Table()->StoreStyle(0, NewStyle(clRed));

  Target->Assign(Source);
  EXPECT_EQ(Utf8(Target->GetCaption()), "Source caption");
  EXPECT_EQ(Target->Table()->StyleSheet(), Parent);
  EXPECT_EQ(Target->Table()->Count(), 0);  // own styles are the descendants' to copy

  TTestStyles Copy(nullptr);
  Copy.Assign(Source->Table());
  EXPECT_EQ(Copy.StyleSheet(), Parent);
  EXPECT_THROW(Copy.Assign(NewStyle()), EConvertError);
  EXPECT_THROW(Target->Assign(NewStyle()), EConvertError);
}

TEST_F(cxStylesTest, DesignTimeSheetIsBuiltInAndLinksOtherModules) {
  TTestOwner DesignForm(nullptr);
  TTestOwner DataModule(nullptr);
  DesignForm.SetDesigning(true);
  auto* Sheet = new TTestStyleSheet(&DesignForm);
  EXPECT_TRUE(Sheet->BuiltIn());
  EXPECT_FALSE(TTestStyleSheet(nullptr).BuiltIn());

  TcxStyle Local(&DesignForm), Remote(&DataModule), NoOwner(nullptr);
  Sheet->Table()->StoreStyle(0, &Local);
  Sheet->Table()->StoreStyle(1, &Remote);
  Sheet->Table()->StoreStyle(2, &NoOwner);
  Sheet->Table()->StoreStyle(3, &Remote);  // each owner once
  EXPECT_EQ(Sheet->FakeComponentLink1(), &DataModule);
  EXPECT_EQ(Sheet->FakeComponentLink2(), nullptr);
  Sheet->Table()->ClearItems();
}

// ---- Repository -------------------------------------------------------------------------------

TEST_F(cxStylesTest, RepositoryCreatesAttachesAndFreesItsStylesAndSheets) {
  TcxStyle* Owned = NewStyle(clRed);
  auto* FormOwned = static_cast<TcxStyle*>(Repository->NewStyleEx(TcxStyle::StaticClass(), Form.get()));
  TTestStyleSheet* Sheet = NewSheet();
  EXPECT_EQ(Owned->Owner(), Repository);
  EXPECT_EQ(FormOwned->Owner(), Form.get());
  EXPECT_EQ(FormOwned->GetParentComponent(), Repository);
  EXPECT_EQ(Repository->Count(), 2);
  EXPECT_EQ(Repository->StyleSheets(0), Sheet);
  EXPECT_THROW(Repository->Items(2), EListError);
  EXPECT_EQ(Repository->NewStyle(nullptr), nullptr);

  // Moving a style to another repository.
  TcxStyleRepository Other(nullptr);
  FormOwned->SetParentComponent(&Other);
  FormOwned->SetParentComponent(&Other);  // no duplicate
  EXPECT_EQ(Repository->IndexOfStyle(FormOwned), -1);
  EXPECT_EQ(Other.Count(), 1);
  FormOwned->SetParentComponent(Repository);

  Sheet->Table()->StoreStyle(0, Owned);
  Styles->StoreStyle(0, FormOwned);
  Styles->SetStyleSheet(Sheet);
  Styles->StoreStyle(1, Owned);

  Styles->Changes.clear();
  delete Repository;  // frees all it holds, whoever owns them
  EXPECT_EQ(Form->ComponentCount(), 0);
  EXPECT_EQ(Styles->Count(), 0);
  EXPECT_EQ(Styles->StyleSheet(), nullptr);
  EXPECT_FALSE(Styles->Changes.empty());
  EXPECT_EQ(Other.Count(), 0);
}

TEST_F(cxStylesTest, ChildrenAreStylesThenSheetsOfTheRoot) {
  TcxStyle* First = NewStyle();
  TTestStyleSheet* Sheet = NewSheet();
  Repository->NewStyleEx(TcxStyle::StaticClass(), Form.get());  // another root
  TcxStyle* Second = NewStyle();
  std::vector<TComponent*> Children;
  Repository->GetChildren(TGetChildProc(&Children, [&](TComponent* C) { Children.push_back(C); }), Repository);
  EXPECT_EQ(Children, (std::vector<TComponent*>{First, Second, Sheet}));
}

TEST(cxStylesUnit, StyleClassIsRegisteredForStreaming) {
  EXPECT_EQ(GetClass(u"TcxStyle"), TcxStyle::StaticClass());
  std::unique_ptr<TcxCustomStyle> Style(TcxStyle::StaticClass()->Create(nullptr));
  EXPECT_TRUE(Style->InheritsFrom<TcxStyle>());
}

// ---- Resolving the look of one element --------------------------------------------------------

TEST_F(cxStylesTest, ResolveStyleParamsTakesEachValueFromTheFirstThatAssignsIt) {
  TTestStyleSheet* Sheet = NewSheet();
  TcxStyle* SheetStyle = NewStyle(clRed);
  SheetStyle->SetTextColor(clMaroon);
  TBitmap Picture(2, 2);
  SheetStyle->SetBitmap(&Picture);
  Sheet->Table()->StoreStyle(0, SheetStyle);
  Styles->SetStyleSheet(Sheet);
  TcxStyle* Override = NewStyle();
  Override->SetTextColor(clBlue);
  int Data = 0;

  TcxStyleParams P;
  Styles->ResolveStyleParams(0, &Data, P, Override);
  EXPECT_EQ(P.Color, clRed);                  // the index's (sheet) style
  EXPECT_EQ(P.TextColor, clBlue);             // the override wins
  EXPECT_EQ(P.Bitmap, SheetStyle->Bitmap());
  EXPECT_EQ(P.Font, &Styles->DefaultFont);    // nobody assigns a font: default
  EXPECT_EQ(Styles->LastData, &Data);

  Styles->ResolveStyleParams(9, nullptr, P);  // nothing at all: defaults
  EXPECT_EQ(P.Color, clWindow);
  EXPECT_EQ(P.TextColor, clWindowText);
  EXPECT_EQ(P.Bitmap, nullptr);
  EXPECT_EQ(Styles->MaxDefaultIndex(), 9);

  // Everything assigned: the defaults are not asked.
  SheetStyle->Font()->SetName(u"Arial");
  Styles->DefaultCalls = 0;
  Styles->ResolveStyleParams(0, nullptr, P);
  EXPECT_EQ(P.Font, SheetStyle->Font());
  EXPECT_EQ(Styles->DefaultCalls, 0);
}

TEST_F(cxStylesTest, TableWithoutBitmapsIgnoresStyleBitmaps) {
  TcxStyle* Style = NewStyle(clRed);
  Style->SetTextColor(clBlue);
  Style->Font()->SetName(u"Arial");
  TBitmap Picture(2, 2);
  Style->SetBitmap(&Picture);
  Styles->StoreStyle(0, Style);
  Styles->AllowBitmaps(false);

  TcxStyleParams P;
  Styles->ResolveStyleParams(0, nullptr, P);
  EXPECT_EQ(P.Bitmap, nullptr);
  EXPECT_EQ(Styles->DefaultCalls, 0);  // the missing bitmap does not count

  Styles->AllowBitmaps(true);
  TBitmap Fallback(1, 1);
  Styles->DefaultBitmap = &Fallback;
  Style->SetBitmap(nullptr);
  Styles->ResolveStyleParams(0, nullptr, P);
  EXPECT_EQ(P.Bitmap, &Fallback);  // asked for the bitmap only
  EXPECT_EQ(P.Color, clRed);
  EXPECT_EQ(Styles->DefaultCalls, 1);
}

TEST_F(cxStylesTest, DefaultFontChangeReachesIndexesThatUseIt) {
  TcxStyle* WithFont = NewStyle();
  WithFont->Font()->SetName(u"Arial");
  Styles->StoreStyle(1, WithFont);
  TcxStyleParams P;
  for (Integer Index : {0, 1, 2, 5}) Styles->ResolveStyleParams(Index, nullptr, P);
  EXPECT_FALSE(Styles->NeedsDefaultFont(1));
  EXPECT_TRUE(Styles->NeedsDefaultFont(3));
  Styles->Changes.clear();

  Styles->NotifyDefaultFontChanged(&Styles->DefaultFont);
  // 1 has its own font, 5 another default font, 6 was never asked.
  EXPECT_EQ(Styles->Changes, (std::vector<Integer>{0, 2, 3, 4}));
}

}  // namespace
