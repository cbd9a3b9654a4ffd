#include "app/meta_edit.h"

#include <cmath>
#include <functional>
#include <utility>

#include "app/main.h"
#include "editors/cxBlobEdit.h"
#include "editors/cxDBLookupComboBox.h"
#include "editors/cxDateEdit.h"
#include "editors/cxDropDownEdit.h"
#include "editors/cxEditRepositoryItems.h"
#include "editors/cxLookupGrid.h"
#include "editors/cxMaskEdit.h"
#include "platform/gui/forms.h"
#include "platform/rtl/datetime.h"
#include "treelist/cxTLViewInfo.h"
#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "store/dmlist.h"
#include "store/dmunit.h"
#include "store/pubfunc.h"

Tfrm_meta_edit* frm_meta_edit = nullptr;

namespace {

// The drop-down of a code-list element. A code that its list lacks (a file
// of another tool may hold "zho" where the list has "chi") shows as itself,
// in the cell and in the drop-down's text, rather than as nothing.
class TCodeListComboBoxProperties;

// The in-place editor of such an element, so that its own copy of the
// settings shows the code too.
class TCodeListComboBox : public TcxLookupComboBox {
  KORVANE_CLASS(TCodeListComboBox, TcxLookupComboBox)
  using TcxLookupComboBox::TcxLookupComboBox;
  static TcxCustomEditPropertiesClass GetPropertiesClass();
};

class TCodeListComboBoxProperties : public TcxLookupComboBoxProperties {
  KORVANE_CLASS(TCodeListComboBoxProperties, TcxLookupComboBoxProperties)
  using TcxLookupComboBoxProperties::TcxLookupComboBoxProperties;
  static TcxCustomEditClass GetEditorClass() { return TCodeListComboBox::StaticClass(); }
  String GetDisplayTextByKey(const Variant& AKey) override {
    String Text = TcxLookupComboBoxProperties::GetDisplayTextByKey(AKey);
    if (Text.empty() && !VarIsNull(AKey) && !VarIsEmpty(AKey)) Text = VarToStr(AKey);
    return Text;
  }
};

TcxCustomEditPropertiesClass TCodeListComboBox::GetPropertiesClass() { return TCodeListComboBoxProperties::StaticClass(); }

class TCodeListComboBoxItem : public TcxEditRepositoryLookupComboBoxItem {
  KORVANE_CLASS(TCodeListComboBoxItem, TcxEditRepositoryLookupComboBoxItem)
  using TcxEditRepositoryLookupComboBoxItem::TcxEditRepositoryLookupComboBoxItem;
  TcxCustomEditPropertiesClass GetPropertiesClass() const override {
    return TCodeListComboBoxProperties::StaticClass();
  }
};

constexpr Integer DescriptionHeight = 64;
constexpr Integer DescriptionBorder = 4;
constexpr Integer FontHeight = -12;
constexpr Integer TreeFontHeight = -14;
constexpr Integer TreeIndicatorWidth = 20;
// Every row of the tree has this height, whatever its editor or images.
constexpr Integer TreeRowHeight = 20;
// Design widths of the shown columns; the content column is fitted to the
// screen when the window shows.
constexpr Integer NameColumnWidth = 214;
constexpr Integer ContentColumnWidth = 559;
constexpr Integer ChoiceColumnWidth = 117;
// The record's top rows have this parent.
constexpr Integer RootParentId = -1;

struct TColumnDesign {
  TcxDBTreeListColumn* Tfrm_meta_edit::*Member;
  const char16_t* Component;
  const char16_t* Field;
  const char16_t* Caption;  // nullptr: hidden
  bool Editing;
  Integer Width;
};

// In creation order: the order gives each column its item index.
const TColumnDesign ColumnDesigns[] = {
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn1, u"cxDBTreeList1cxDBTreeListColumn1", u"id", nullptr, false, 0},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn2, u"cxDBTreeList1cxDBTreeListColumn2", u"cname", u"名称", false,
     NameColumnWidth},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn6, u"cxDBTreeList1cxDBTreeListColumn6", u"content", u"内容", true,
     ContentColumnWidth},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn3, u"cxDBTreeList1cxDBTreeListColumn3", u"code", nullptr, true, 0},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn4, u"cxDBTreeList1cxDBTreeListColumn4", u"max_times", nullptr, true,
     0},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn5, u"cxDBTreeList1cxDBTreeListColumn5", u"parent_id", nullptr, true,
     0},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn7, u"cxDBTreeList1cxDBTreeListColumn7", u"ename", nullptr, true, 0},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn8, u"cxDBTreeList1cxDBTreeListColumn8", u"tag", nullptr, true, 0},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn9, u"cxDBTreeList1cxDBTreeListColumn9", u"choice_state", nullptr,
     true, 0},
    {&Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn10, u"cxDBTreeList1cxDBTreeListColumn10", u"choice_name",
     u"相对可选性", false, ChoiceColumnWidth},
};

// The item index of the "tag" column (its place in the design order).
constexpr Integer TagItemIndex = 7;
// The content column leaves this margin at the screen's right edge.
constexpr Integer ContentColumnMargin = 50;
// The tag of date-and-time elements.
constexpr Integer DateTimeTag = 8;
// Code-list elements: tag N edits through code list N.
constexpr Integer FirstCodeListTag = 10;
constexpr Integer LastCodeListTag = 30;
constexpr Integer CodeListCount = LastCodeListTag - FirstCodeListTag + 1;
constexpr Integer ComboBoxItemHeight = 20;
// The code-list drop-down opens below its cell at the cell's left edge, as
// wide as the cell: its columns together stay narrower than the room right
// of the content column in an 800-pixel window. The codes have at most three
// characters; the names column takes the rest of the width.
constexpr Integer CodeListCodeWidth = 48;
constexpr Integer CodeListNameWidth = 300;

// Colours of the tree (blue in the high byte).
constexpr TColor BranchContentColor = TColor(15784893);
constexpr TColor LeafContentColor = TColor(16247513);
constexpr TColor BackgroundColor = TColor(15451300);
constexpr TColor BandHeaderColor = TColor(12937777);
constexpr TColor ColumnHeaderColor = TColor(15252642);
constexpr TColor ColumnHeaderTextColor = TColor(11032875);
constexpr TColor FooterColor = TColor(14811135);
constexpr TColor IncSearchColor = TColor(4707838);
constexpr TColor SelectionColor = clCream;
constexpr const char16_t* StyleFontName = u"MS Sans Serif";
constexpr Integer StyleFontHeight = -11;

// Node images: a branch and a leaf.
constexpr Integer BranchImageIndex = 6;
constexpr Integer LeafImageIndex = 5;

// Two to four decimal digits of a date or time part at APos; false when
// a character is no digit.
bool ReadNumber(const String& AText, size_t APos, size_t ALength, Word& AValue) {
  AValue = 0;
  for (size_t I = APos; I < APos + ALength; ++I) {
    if (AText[I] < u'0' || AText[I] > u'9') return false;
    AValue = Word(AValue * 10 + (AText[I] - u'0'));
  }
  return true;
}

String Padded(Word AValue, Integer AWidth) {
  String Text = IntToStr(Integer(AValue));
  while (Integer(Text.size()) < AWidth) Text.insert(Text.begin(), u'0');
  return Text;
}

// The code column keeps its width; the names column grows to fill the
// drop-down.
void FitCodeListColumns(TcxLookupGridColumns* AColumns) {
  if (AColumns->Count() < 2) return;
  AColumns->Items(0)->SetWidth(CodeListCodeWidth);
  AColumns->Items(0)->SetFixed(true);
  AColumns->Items(1)->SetWidth(CodeListNameWidth);
}

// The content column: a date-and-time element's ISO text is shown and
// edited as a date, and an edited date is stored as ISO text again. Other
// elements pass through unchanged.
class TcxContentColumn : public TcxDBTreeListColumn {
  KORVANE_CLASS(TcxContentColumn, TcxDBTreeListColumn)
  using TcxDBTreeListColumn::TcxDBTreeListColumn;
  // Whether the record is of a date-and-time element.
  std::function<bool(Integer ARecordIndex)> IsDateRecord;

  Variant GetCellValue(TcxCustomEditProperties* AProperties, Integer ARecordIndex) override {
    Variant Value = TcxDBTreeListColumn::GetCellValue(AProperties, ARecordIndex);
    return IsDate(ARecordIndex) ? AsDate(Value) : Value;
  }
  Variant ReadEditValue() override {
    Variant Value = TcxDBTreeListColumn::ReadEditValue();
    return IsDate(FocusedRecord()) ? AsDate(Value) : Value;
  }
  bool WriteEditValue(const Variant& AValue) override {
    if (!IsDate(FocusedRecord()) || AValue.Type() != varDate) return TcxDBTreeListColumn::WriteEditValue(AValue);
    return TcxDBTreeListColumn::WriteEditValue(Variant(DateTimeToIsoText(VarToDateTime(AValue))));
  }

private:
  Integer FocusedRecord() const {
    TcxControlDataController* Data = EditingControl() ? EditingControl()->GetControlDataController() : nullptr;
    return Data ? Data->GetFocusedRecordIndex() : -1;
  }
  bool IsDate(Integer ARecordIndex) const { return ARecordIndex >= 0 && IsDateRecord && IsDateRecord(ARecordIndex); }
  // ISO text as a date; anything else (an empty value, text that is no
  // ISO date) as it is.
  static Variant AsDate(const Variant& AValue) {
    TDateTime Date;
    if (VarIsStr(AValue) && IsoTextToDateTime(VarToStr(AValue), Date)) return VarFromDateTime(Date);
    return AValue;
  }
};

// The tree of elements: its content column is a TcxContentColumn.
class TcxElementTreeList : public TcxDBTreeList {
  KORVANE_CLASS(TcxElementTreeList, TcxDBTreeList)
  using TcxDBTreeList::TcxDBTreeList;
  TcxContentColumn* CreateContentColumn(const String& AFieldName) {
    FContentNext = true;
    TcxDBTreeListColumn* Column = CreateDBColumn(AFieldName);
    FContentNext = false;
    return static_cast<TcxContentColumn*>(Column);
  }

protected:
  std::unique_ptr<TcxTreeListColumn> NewColumn() override {
    if (FContentNext) return std::make_unique<TcxContentColumn>(this);
    return TcxDBTreeList::NewColumn();
  }

private:
  bool FContentNext = false;
};

}  // namespace

bool IsoTextToDateTime(const String& AText, TDateTime& ADate) {
  // yyyy-mm-dd, then optionally Thh:nn:ss.
  constexpr size_t DateLength = 10;
  constexpr size_t DateTimeLength = 19;
  if (AText.size() != DateLength && AText.size() != DateTimeLength) return false;
  if (AText[4] != u'-' || AText[7] != u'-') return false;
  Word Year, Month, Day, Hour = 0, Minute = 0, Second = 0;
  if (!ReadNumber(AText, 0, 4, Year) || !ReadNumber(AText, 5, 2, Month) || !ReadNumber(AText, 8, 2, Day)) return false;
  if (AText.size() == DateTimeLength) {
    if (AText[10] != u'T' || AText[13] != u':' || AText[16] != u':') return false;
    if (!ReadNumber(AText, 11, 2, Hour) || !ReadNumber(AText, 14, 2, Minute) || !ReadNumber(AText, 17, 2, Second))
      return false;
  }
  return TryEncodeDateTime(Year, Month, Day, Hour, Minute, Second, 0, ADate);
}

String DateTimeToIsoText(TDateTime ADate) {
  Word Year, Month, Day, Hour, Minute, Second, MSec;
  DecodeDateTime(ADate, Year, Month, Day, Hour, Minute, Second, MSec);
  String Text = Padded(Year, 4) + u"-" + Padded(Month, 2) + u"-" + Padded(Day, 2);
  if (Hour == 0 && Minute == 0 && Second == 0) return Text;
  return Text + u"T" + Padded(Hour, 2) + u":" + Padded(Minute, 2) + u":" + Padded(Second, 2);
}

bool IsoBasicTextToIsoText(const String& AText, String& AStored) {
  constexpr size_t DateLength = 8;
  const size_t Length = AText.size();
  if (Length != DateLength && Length != DateLength + 5 && Length != DateLength + 7) return false;
  Word Year, Month, Day, Hour = 0, Minute = 0, Second = 0;
  if (!ReadNumber(AText, 0, 4, Year) || !ReadNumber(AText, 4, 2, Month) || !ReadNumber(AText, 6, 2, Day)) return false;
  if (Length > DateLength) {
    if (AText[DateLength] != u'T' || !ReadNumber(AText, 9, 2, Hour) || !ReadNumber(AText, 11, 2, Minute)) return false;
    if (Length == DateLength + 7 && !ReadNumber(AText, 13, 2, Second)) return false;
  }
  TDateTime Date;
  if (!TryEncodeDateTime(Year, Month, Day, Hour, Minute, Second, 0, Date)) return false;
  AStored = DateTimeToIsoText(Date);
  return true;
}

Tfrm_meta_edit::Tfrm_meta_edit(TComponent* AOwner) : TForm(AOwner) {
  SetName(u"frm_meta_edit");
  SetFormStyle(fsMDIChild);
  SetWindowState(wsMaximized);
  SetPosition(poDesktopCenter);
  Font()->SetName(u"宋体");
  Font()->SetHeight(FontHeight);
  Font()->SetCharset(GB2312_CHARSET);
  OnClose = TCloseEvent(this, &Tfrm_meta_edit::FormClose);
  OnCloseQuery = TCloseQueryEvent(this, &Tfrm_meta_edit::FormCloseQuery);
  OnShow = TNotifyEvent(this, &Tfrm_meta_edit::FormShow);
  BuildPanels();
  frm_meta_edit = this;
  FormCreate(this);
  if (frm_meta_edit == this) Show();  // created visible, unless it could not start
}

Tfrm_meta_edit::~Tfrm_meta_edit() {
  if (dm && dm->aq_metadata->AfterScroll == TDataSetNotifyEvent(this, &Tfrm_meta_edit::ShowNodeDescription))
    dm->aq_metadata->AfterScroll = nullptr;
  if (dm) dm->SetDescriptionRefresh = nullptr;
  if (frm_meta_edit == this) frm_meta_edit = nullptr;
  // The tree asks this window about its nodes (editors, styles, focus) while
  // it takes itself apart: it goes while the window is still whole.
  delete cxDBTreeList1;
  cxDBTreeList1 = nullptr;
}

void Tfrm_meta_edit::BuildPanels() {
  Panel2 = new TPanel(this);
  Panel2->SetParent(this);
  Panel2->SetAlign(alClient);
  Panel2->SetBevelOuter(bvNone);

  Panel3 = new TPanel(this);
  Panel3->SetParent(Panel2);
  Panel3->SetHeight(DescriptionHeight);
  Panel3->SetAlign(alBottom);
  Panel3->SetBevelOuter(bvNone);
  Panel3->SetBorderWidth(DescriptionBorder);

  m_descr = new TMemo(this);
  m_descr->SetParent(Panel3);
  m_descr->SetAlign(alClient);
  m_descr->SetReadOnly(true);
  m_descr->SetBorderStyle(bsNone);
  m_descr->SetColor(clInfoBk);
  m_descr->SetWordWrap(true);

  BuildTree();
}

namespace {

constexpr Integer ImageSide = 16;

// Image files (without ".png") by image index; "" leaves a blank place.
const char16_t* const MenuImageFiles[] = {u"insert", u"", u"", u"", u"expand", u"", u"collapse", u"", u"delete",
                                          u"",       u"", u"", u"", u"", u"",       u"", u"node_leaf", u"node_branch"};
const char16_t* const NodeImageFiles[] = {u"", u"", u"", u"", u"", u"node_leaf", u"node_branch"};

template <size_t N>
TImageList* LoadImageList(TComponent* AOwner, const char16_t* const (&AFiles)[N]) {
  auto* List = new TImageList(AOwner);
  List->SetWidth(ImageSide);
  List->SetHeight(ImageSide);
  AddImageFiles(List, AFiles, ImageSide);
  return List;
}

}  // namespace

void Tfrm_meta_edit::BuildImages() {
  ImageList2 = LoadImageList(this, MenuImageFiles);
  ImageList2->SetName(u"ImageList2");
  ImageList3 = LoadImageList(this, NodeImageFiles);
  ImageList3->SetName(u"ImageList3");
}

void Tfrm_meta_edit::BuildTree() {
  auto* Tree = new TcxElementTreeList(this);
  cxDBTreeList1 = Tree;
  cxDBTreeList1->SetName(u"cxDBTreeList1");
  cxDBTreeList1->SetParent(Panel2);
  cxDBTreeList1->SetAlign(alClient);
  cxDBTreeList1->Font()->SetName(u"宋体");
  cxDBTreeList1->Font()->SetHeight(TreeFontHeight);
  cxDBTreeList1->Font()->SetCharset(GB2312_CHARSET);
  cxDBTreeList1->SetBufferedPaint(false);
  cxDBTreeList1->SetDefaultRowHeight(TreeRowHeight);
  BuildImages();
  cxDBTreeList1->SetImages(ImageList3);
  cxDBTreeList1->LookAndFeel()->SetNativeStyle(false);
  TcxTreeListOptionsView* View = cxDBTreeList1->OptionsView();
  View->SetShowEditButtons(ecsbFocused);
  View->SetFixedSeparatorColor(clBlack);
  View->SetGridLineColor(clWindow);
  View->SetGridLines(tlglBoth);
  View->SetIndicator(true);
  View->SetIndicatorWidth(TreeIndicatorWidth);
  View->SetTreeLineColor(clGray);
  View->SetTreeLineStyle(tllsSolid);
  for (const TColumnDesign& D : ColumnDesigns) {
    const bool Content = D.Member == &Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn6;
    TcxDBTreeListColumn* Column = Content ? Tree->CreateContentColumn(D.Field) : Tree->CreateDBColumn(D.Field);
    Column->SetName(D.Component);
    Column->SetVisible(D.Caption != nullptr);
    if (D.Caption) {
      Column->SetCaption(D.Caption);
      Column->CaptionSettings()->SetAlignHorz(taCenter);
      Column->SetWidth(D.Width);
    }
    Column->Options()->SetEditing(D.Editing);
    this->*D.Member = Column;
  }
  // The shown columns stand first in the band's row: name, content, choice.
  cxDBTreeList1cxDBTreeListColumn2->SetColIndex(0);
  cxDBTreeList1cxDBTreeListColumn6->SetColIndex(1);
  cxDBTreeList1cxDBTreeListColumn10->SetColIndex(2);
  cxDBTreeList1cxDBTreeListColumn10->Options()->Focusing = false;
  cxDBTreeList1cxDBTreeListColumn10->Options()->SetShowEditButtons(eisbNever);
  cxDBTreeList1->DBDataController()->SetKeyField(u"id");
  cxDBTreeList1->DBDataController()->SetParentField(u"parent_id");
  cxDBTreeList1->SetRootValue(Variant(RootParentId));
  cxDBTreeList1->OnFocusedNodeChanged =
      TcxTreeListFocusedChangedEvent(this, &Tfrm_meta_edit::cxDBTreeList1FocusedNodeChanged);
  cxDBTreeList1->OnGetNodeImageIndex =
      TcxTreeListGetNodeImageIndexEvent(this, &Tfrm_meta_edit::cxDBTreeList1GetNodeImageIndex);
  static_cast<TcxContentColumn*>(cxDBTreeList1cxDBTreeListColumn6)->IsDateRecord = [this](Integer ARecordIndex) {
    const Variant Tag = RecordTag(ARecordIndex);
    return !VarIsNull(Tag) && !VarIsEmpty(Tag) && VarSameValue(Tag, Variant(DateTimeTag));
  };
  cxDBTreeList1cxDBTreeListColumn6->OnGetEditProperties =
      TcxGetEditPropertiesEvent(this, &Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn6GetEditProperties);
  BuildEditors();
  BuildStyles();
  BuildMenu();
}

void Tfrm_meta_edit::BuildEditors() {
  cxEditRepository1 = new TcxEditRepository(this);
  cxEditRepository1->SetName(u"cxEditRepository1");
  auto Add = [&](TcxEditRepositoryItemClass AClass, const String& AName, Integer ATag) {
    TcxEditRepositoryItem* Item = cxEditRepository1->CreateItem(AClass);
    Item->SetName(AName);
    Item->SetTag(ATag);
    return Item;
  };
  auto* Text1 = static_cast<TcxEditRepositoryTextItem*>(
      Add(TcxEditRepositoryTextItem::StaticClass(), u"cxEditRepository1TextItem1", 1));
  Text1->Properties()->SetAutoSelect(false);
  Text1->Properties()->SetReadOnly(true);
  Add(TcxEditRepositoryTextItem::StaticClass(), u"cxEditRepository1TextItem2", 2);
  Add(TcxEditRepositoryMaskItem::StaticClass(), u"cxEditRepository1MaskItem1", 3);
  auto* Whole = static_cast<TcxEditRepositoryMaskItem*>(
      Add(TcxEditRepositoryMaskItem::StaticClass(), u"cxEditRepository1MaskItem2", 4));
  Whole->Properties()->SetMaskKind(emkRegExpr);
  Whole->Properties()->SetEditMask(u"\\d+");
  Whole->Properties()->SetIgnoreMaskBlank(true);
  Add(TcxEditRepositoryMaskItem::StaticClass(), u"cxEditRepository1MaskItem3", 5);
  auto* Decimal = static_cast<TcxEditRepositoryMaskItem*>(
      Add(TcxEditRepositoryMaskItem::StaticClass(), u"cxEditRepository1MaskItem4", 6));
  Decimal->Properties()->SetMaskKind(emkRegExprEx);
  Decimal->Properties()->SetEditMask(u"\\d+([.])?(\\d)?(\\d)?(\\d)?(\\d)?");
  auto* DateTime = static_cast<TcxEditRepositoryDateItem*>(
      Add(TcxEditRepositoryDateItem::StaticClass(), u"cxEditRepository1DateItem2", DateTimeTag));
  DateTime->DateProperties()->SetKind(ckDateTime);
  auto* Blob = static_cast<TcxEditRepositoryBlobItem*>(
      Add(TcxEditRepositoryBlobItem::StaticClass(), u"cxEditRepository1BlobItem1", 9));
  Blob->Properties()->SetBlobEditKind(bekMemo);
  for (Integer N = 1; N <= CodeListCount; ++N) {
    auto* Combo = static_cast<TcxEditRepositoryComboBoxItem*>(
        Add(TcxEditRepositoryComboBoxItem::StaticClass(), u"cxEditRepository1ComboBoxItem" + IntToStr(N), 0));
    Combo->Properties()->SetItemHeight(ComboBoxItemHeight);
  }
  for (Integer N = 1; N <= CodeListCount; ++N) {
    const Integer Tag = FirstCodeListTag + N - 1;
    TcxEditRepositoryItem* Item = Add(TCodeListComboBoxItem::StaticClass(),
                                      u"cxEditRepository1LookupComboBoxItem" + IntToStr(N), Tag);
    auto* Lookup = static_cast<TcxLookupComboBoxProperties*>(Item->Properties());
    Lookup->BeginUpdate();
    Lookup->SetListSource(dm_list ? dm_list->ds_list(Tag) : nullptr);
    Lookup->SetKeyFieldNames(u"code");
    Lookup->SetListFieldNames(u"code;cname");
    Lookup->SetListFieldIndex(1);
    FitCodeListColumns(Lookup->ListColumns());
    Lookup->EndUpdate();
  }
  auto* Date = static_cast<TcxEditRepositoryDateItem*>(
      Add(TcxEditRepositoryDateItem::StaticClass(), u"cxEditRepository1DateItem1", 0));
  Date->DateProperties()->SetDateOnError(deToday);
  Date->DateProperties()->SetInputKind(ikStandard);
  Date->DateProperties()->SetSaveTime(false);
  Date->DateProperties()->SetShowTime(false);
  Date->DateProperties()->OnValidate =
      TcxEditValidateEvent(this, &Tfrm_meta_edit::cxEditRepository1DateItem1PropertiesValidate);
  Add(TcxEditRepositoryTextItem::StaticClass(), u"cxEditRepository1TextItem3", 7);
}

void Tfrm_meta_edit::BuildStyles() {
  StyleRepository = new TcxStyleRepository(this);
  StyleRepository->SetName(u"StyleRepository");
  auto Style = [&](const String& AName, TColor AColor, TColor AText, bool AFont, bool ABold) {
    auto* S = static_cast<TcxStyle*>(StyleRepository->NewStyle(TcxStyle::StaticClass()));
    S->SetName(AName);
    S->SetColor(AColor);
    if (AText != clDefault) S->SetTextColor(AText);
    if (AFont) {
      S->Font()->SetName(StyleFontName);
      S->Font()->SetHeight(StyleFontHeight);
      if (ABold) S->Font()->SetStyle(TFontStyles{fsBold});
    }
    return S;
  };
  TcxStyle* Background = Style(u"cxStyle5", BackgroundColor, clDefault, false, false);
  TcxStyle* BandBackground = Style(u"cxStyle6", BackgroundColor, clDefault, false, false);
  TcxStyle* BandHeader = Style(u"cxStyle7", BandHeaderColor, clWhite, true, true);
  TcxStyle* ColumnHeader = Style(u"cxStyle8", ColumnHeaderColor, ColumnHeaderTextColor, true, true);
  TcxStyle* Content = Style(u"cxStyle9", LeafContentColor, clBlack, true, false);
  cxStyle10 = Style(u"cxStyle10", BranchContentColor, clBlack, true, false);
  cxStyle11 = Style(u"cxStyle11", LeafContentColor, clBlack, true, false);
  TcxStyle* Footer = Style(u"cxStyle12", FooterColor, clNavy, true, true);
  TcxStyle* Inactive = Style(u"cxStyle13", BackgroundColor, clDefault, false, false);
  TcxStyle* IncSearch = Style(u"cxStyle14", IncSearchColor, clBlack, false, false);
  TcxStyle* Indicator = Style(u"cxStyle15", BackgroundColor, clBlack, false, false);
  TcxStyle* Preview = Style(u"cxStyle16", FooterColor, clNavy, true, true);
  Preview->Font()->SetColor(clNavy);
  TcxStyle* Selection = Style(u"cxStyle17", SelectionColor, clBlack, false, false);

  TreeListStyleSheetVelmora =
      static_cast<TcxTreeListStyleSheet*>(StyleRepository->NewStyleSheet(TcxTreeListStyleSheet::StaticClass()));
  TreeListStyleSheetVelmora->SetName(u"TreeListStyleSheetVelmora");
  TreeListStyleSheetVelmora->SetCaption(u"Velmora");
  TcxTreeListStyles* Sheet = TreeListStyleSheetVelmora->Styles();
  Sheet->SetBackground(Background);
  Sheet->SetContent(Content);
  Sheet->SetInactive(Inactive);
  Sheet->SetSelection(Selection);
  Sheet->SetBandBackground(BandBackground);
  Sheet->SetBandHeader(BandHeader);
  Sheet->SetColumnHeader(ColumnHeader);
  Sheet->SetContentEven(cxStyle11);
  Sheet->SetContentOdd(cxStyle10);
  Sheet->SetFooter(Footer);
  Sheet->SetIncSearch(IncSearch);
  Sheet->SetIndicator(Indicator);
  Sheet->SetPreview(Preview);
  cxDBTreeList1->Styles()->SetStyleSheet(TreeListStyleSheetVelmora);
  cxDBTreeList1->Styles()->OnGetContentStyle =
      TcxtlOnGetContentStyleEvent(this, &Tfrm_meta_edit::cxDBTreeList1StylesGetContentStyle);
}

Variant Tfrm_meta_edit::RecordTag(Integer ARecordIndex) const {
  // Columns leave one by one while the tree goes; it asks nothing then.
  if (ARecordIndex < 0 || cxDBTreeList1->IsDestroying() || cxDBTreeList1->ItemCount() <= TagItemIndex) return Null();
  return cxDBTreeList1->DataController()->GetValue(ARecordIndex, TagItemIndex);
}

TcxEditRepositoryItem* Tfrm_meta_edit::ElementEditor(const Variant& ATag) const {
  if (VarIsNull(ATag) || VarIsEmpty(ATag)) return nullptr;
  for (Integer I = 0; I < cxEditRepository1->Count(); ++I) {
    TcxEditRepositoryItem* Item = cxEditRepository1->Items(I);
    if (VarSameValue(Variant(Integer(Item->Tag())), ATag)) return Item;
  }
  return nullptr;
}

void Tfrm_meta_edit::cxDBTreeList1cxDBTreeListColumn6GetEditProperties(TcxCustomInplaceEditContainer*,
                                                                       Integer ARecordIndex,
                                                                       TcxCustomEditProperties*& AProperties) {
  if (TcxEditRepositoryItem* Item = ElementEditor(RecordTag(ARecordIndex))) AProperties = Item->Properties();
}

void Tfrm_meta_edit::cxDBTreeList1StylesGetContentStyle(TcxCustomTreeListControl*, TObject*, TcxTreeListNode* ANode,
                                                        TcxStyle*& AStyle) {
  if (ANode) AStyle = ANode->HasChildren() ? cxStyle10 : cxStyle11;
}

void Tfrm_meta_edit::cxDBTreeList1GetNodeImageIndex(TcxCustomTreeListControl*, TcxTreeListNode* ANode,
                                                    TcxTreeListImageIndexType, Integer& AIndex) {
  AIndex = ANode && ANode->HasChildren() ? BranchImageIndex : LeafImageIndex;
}

void Tfrm_meta_edit::cxEditRepository1DateItem1PropertiesValidate(TObject*, Variant&, TCaption&, bool& Error) {
  Error = false;
}

void Tfrm_meta_edit::FitContentColumn() {
  cxDBTreeList1cxDBTreeListColumn6->SetWidth(Screen->Width() - cxDBTreeList1cxDBTreeListColumn2->Width() -
                                             cxDBTreeList1cxDBTreeListColumn10->Width() - ContentColumnMargin);
}

void Tfrm_meta_edit::FormShow(TObject*) { FitContentColumn(); }

TDataSource* Tfrm_meta_edit::TreeDataSource() const { return cxDBTreeList1->DBDataController()->DataSource(); }

void Tfrm_meta_edit::SetTreeDataSource(TDataSource* Source) {
  cxDBTreeList1->DBDataController()->SetDataSource(Source);
  FocusRecordNode();
}

void Tfrm_meta_edit::ExpandAll() { cxDBTreeList1->ExpandAllNodes(); }

void Tfrm_meta_edit::cxDBTreeList1FocusedNodeChanged(TcxCustomTreeListControl*, TcxTreeListNode*,
                                                     TcxTreeListNode* AFocusedNode) {
  auto* Node = dynamic_cast<TcxTreeListDataNode*>(AFocusedNode);
  TDataSet* Record = cxDBTreeList1->DBDataController()->DataSet();
  if (FSyncing || !Node || !Record || cxDBTreeList1->IsDataLoading() || Record->ControlsDisabled()) return;
  if (Record->State() == dsEdit || Record->State() == dsInsert) {
    if (!PostPendingEdit()) return;
  }
  FSyncing = true;
  try {
    cxDBTreeList1->LocateNodeRecord(Node);
  } catch (...) {
    FSyncing = false;
    throw;
  }
  FSyncing = false;
}

void Tfrm_meta_edit::FocusRecordNode() {
  if (!cxDBTreeList1) return;
  TDataSet* Record = cxDBTreeList1->DBDataController()->DataSet();
  if (FSyncing || !Record || !Record->Active() || Record->IsEmpty() || Record->ControlsDisabled() ||
      cxDBTreeList1->IsDataLoading())
    return;
  TcxTreeListDataNode* Node = cxDBTreeList1->FindNodeByKeyValue(Record->FieldByName(u"id")->Value());
  if (!Node || Node->Focused()) return;
  FSyncing = true;
  Node->MakeVisible();
  cxDBTreeList1->SetFocusedNode(Node);
  FSyncing = false;
}

void Tfrm_meta_edit::FormCreate(TObject*) {
  dm->aq_metadata->AfterScroll = TDataSetNotifyEvent(this, &Tfrm_meta_edit::ShowNodeDescription);
  dm->SetDescriptionRefresh = [this](bool Value) { FPostIdle = Value; };
  FRecordReady = false;
  FEditIdle = true;
  try {
    SetFileName(u"");
    dm_list->OpenCodeLists();
  } catch (Exception&) {
    Application->MessageBox(u"初始化错误", Application->Title(), MB_OK | MB_ICONWARNING);
    Close();
  }
}

void Tfrm_meta_edit::FormCloseQuery(TObject*, bool& CanClose) { CanClose = FinishEditing(); }

void Tfrm_meta_edit::FormClose(TObject*, TCloseAction& Action) {
  if (dm->aq_metadata->AfterScroll == TDataSetNotifyEvent(this, &Tfrm_meta_edit::ShowNodeDescription))
    dm->aq_metadata->AfterScroll = nullptr;
  dm->SetDescriptionRefresh = nullptr;
  Action = caFree;
  frm_meta_edit = nullptr;
  if (frm_main) frm_main->DisableRecordCommands();
}

void Tfrm_meta_edit::SetFileName(const String& AName) {
  FFileName = AName;
  FFileNameImported = false;
  SetCaption(AName.empty() ? String(UnnamedRecordCaption) : AName);
}

void Tfrm_meta_edit::ShowNodeDescription(TDataSet*) {
  FocusRecordNode();
  if (!FRecordReady || !FEditIdle || !FPostIdle) return;
  TDataSet* templateRow = dm->aq_moreINfo;
  m_descr->Clear();
  if (!templateRow->Active() || templateRow->IsEmpty()) return;
  m_descr->Lines()->Add(u"节点定义：" + templateRow->FieldByName(u"descr")->AsString());
  m_descr->Lines()->Add(u"节点可选性（当父节点不空时）：" + templateRow->FieldByName(u"choice_desc")->AsString());
}

void Tfrm_meta_edit::RefreshDescription() { ShowNodeDescription(dm->aq_metadata); }

bool Tfrm_meta_edit::FinishEditing() {
  TcxEditingController* Editing = cxDBTreeList1->EditingController();
  if (Editing->IsEditing()) {
    try {
      if (!Editing->EndCellEdit(true)) return false;  // the editor has shown why
    } catch (Exception&) {
      cxShowEditError();  // an invalid value: the editor stays open on it
      return false;
    }
  }
  return PostPendingEdit();
}

bool Tfrm_meta_edit::PostPendingEdit() {
  TDataSet* record = dm->aq_metadata;
  if (!record->Active() || (record->State() != dsEdit && record->State() != dsInsert)) return true;
  try {
    record->Post();
    return true;
  } catch (Exception&) {
    // The data module's post-error handler has told the user why; the edit
    // stays in the row for the user to mend.
    return false;
  }
}

// ---- The tree's context menu ----

namespace {

// Images of the insert items: a leaf and a branch.
constexpr Integer InsertLeafImage = 16;
constexpr Integer InsertBranchImage = 17;
constexpr Integer InsertImage = 0;
constexpr Integer DeleteImage = 8;
constexpr Integer ExpandImage = 4;
constexpr Integer CollapseImage = 6;
constexpr Integer MoveUpTag = 1;
constexpr Integer MoveDownTag = -1;
// Item indexes of the design columns that the menu reads.
constexpr Integer IdItemIndex = 0;
constexpr Integer NameItemIndex = 1;
constexpr Integer CodeItemIndex = 3;
constexpr Integer MaxTimesItemIndex = 4;
constexpr Integer ParentIdItemIndex = 5;

// Halves go to the even neighbour.
Integer RoundHalfEven(double AValue) { return Integer(std::nearbyint(AValue)); }

TcxTreeListNode* SameCodeSibling(TcxTreeListNode* ANode, bool AForward, Integer ACodeItem) {
  TcxTreeListNode* Sibling = AForward ? ANode->GetNextSibling() : ANode->GetPrevSibling();
  if (!Sibling || VarToStr(Sibling->Values(ACodeItem)) != VarToStr(ANode->Values(ACodeItem))) return nullptr;
  return Sibling;
}

// Clears a flag for the time of a command and sets it again on every path.
class TFlagCleared {
public:
  explicit TFlagCleared(bool& AFlag) : FFlag(AFlag) { FFlag = false; }
  ~TFlagCleared() { FFlag = true; }
  TFlagCleared(const TFlagCleared&) = delete;
  TFlagCleared& operator=(const TFlagCleared&) = delete;

private:
  bool& FFlag;
};

}  // namespace

void Tfrm_meta_edit::BuildMenu() {
  pm_oper = new TPopupMenu(this);
  pm_oper->SetName(u"pm_oper");
  pm_oper->SetAutoPopup(false);
  pm_oper->SetOwnerDraw(true);
  pm_oper->SetImages(ImageList2);
  pm_oper->OnPopup = TNotifyEvent(this, &Tfrm_meta_edit::pm_operPopup);
  auto Item = [&](const String& AName, const String& ACaption, Integer AImage, void (Tfrm_meta_edit::*AClick)(TObject*)) {
    auto* I = new TMenuItem(this);
    I->SetName(AName);
    I->SetCaption(ACaption);
    I->SetImageIndex(AImage);
    if (AClick) I->OnClick = TNotifyEvent(this, AClick);
    pm_oper->Items()->Add(I);
    return I;
  };
  N1 = Item(u"N1", u"插入", InsertImage, nullptr);
  N2 = Item(u"N2", u"删除", DeleteImage, &Tfrm_meta_edit::N2Click);
  Item(u"N5", u"-", -1, nullptr);
  N3 = Item(u"N3", u"展开", ExpandImage, &Tfrm_meta_edit::N3Click);
  N4 = Item(u"N4", u"折叠", CollapseImage, &Tfrm_meta_edit::N4Click);
  N6 = Item(u"N6", u"全部展开", ExpandImage, &Tfrm_meta_edit::N6Click);
  N7 = Item(u"N7", u"全部折叠", CollapseImage, &Tfrm_meta_edit::N7Click);
  Item(u"N8", u"-", -1, nullptr);
  N9 = Item(u"N9", u"上移", -1, &Tfrm_meta_edit::N9Click);
  N9->SetTag(MoveUpTag);
  N10 = Item(u"N10", u"下移", -1, &Tfrm_meta_edit::N9Click);
  N10->SetTag(MoveDownTag);
  cxDBTreeList1->SetPopupMenu(pm_oper);
  cxDBTreeList1->OnKeyDown = TKeyEvent(this, &Tfrm_meta_edit::cxDBTreeList1KeyDown);
  cxDBTreeList1->OnFocusedColumnChanged =
      TcxTreeListFocusedColumnChanged(this, &Tfrm_meta_edit::cxDBTreeList1FocusedColumnChanged);
}

String Tfrm_meta_edit::NodeCode(const TcxTreeListNode* ANode) const { return VarToStr(ANode->Values(CodeItemIndex)); }

Integer Tfrm_meta_edit::NodeId(const TcxTreeListNode* ANode) const {
  const Variant Id = ANode->Values(IdItemIndex);
  return VarIsNull(Id) || VarIsEmpty(Id) ? 0 : Id.AsInteger();
}

void Tfrm_meta_edit::cxDBTreeList1FocusedColumnChanged(TcxCustomTreeListControl*, TcxTreeListColumn*,
                                                       TcxTreeListColumn* AFocusedColumn) {
  pm_oper->SetAutoPopup(AFocusedColumn == cxDBTreeList1cxDBTreeListColumn2);
}

void Tfrm_meta_edit::AddInsertItem(const String& ACaption, const String& ACode, Integer AImageIndex,
                                   Integer AParentId) {
  auto* Item = new TMyMenuItem(nullptr);
  Item->SetCaption(ACaption);
  Item->Code = ACode;
  Item->SetImageIndex(AImageIndex);
  Item->ParentId = AParentId;
  Item->OnClick = TNotifyEvent(this, &Tfrm_meta_edit::InsertItemClick);
  N1->Add(Item);
}

namespace {

// The template makes the element of that code a branch.
bool IsTemplateBranch(const String& ACode) {
  String ErrorText;
  if (ACode.empty() ||
      !dm->OpenSql(ErrorText, u" select isEnd from templet where code = :code", dm->aq_public, {{u"code", Variant(ACode)}}))
    return false;
  const bool Branch = !dm->aq_public->Eof() && dm->aq_public->FieldByName(u"isEnd")->AsInteger() == 0;
  dm->aq_public->Close();
  return Branch;
}

}  // namespace

void Tfrm_meta_edit::pm_operPopup(TObject*) {
  N1->Clear();
  TcxTreeListNode* F = cxDBTreeList1->FocusedNode();
  N9->SetEnabled(F && SameCodeSibling(F, false, CodeItemIndex));
  N10->SetEnabled(F && SameCodeSibling(F, true, CodeItemIndex));
  N2->SetEnabled(F != nullptr);
  if (!F) {
    N1->SetEnabled(false);
    return;
  }
  // The target: the node itself when it has children or the template
  // makes it a branch (one left empty, so that its children can be added),
  // else its parent; a top-level leaf has the record's invisible root above
  // it, whose children are the template's top elements (no parent code).
  TcxTreeListNode* Root = cxDBTreeList1->Nodes()->Root();
  TcxTreeListNode* T = F->Count() > 0 || IsTemplateBranch(NodeCode(F)) ? F : (F->Parent() != Root ? F->Parent() : nullptr);
  String TargetCode;
  Integer TargetId = 0;
  if (T) {
    TargetCode = NodeCode(T);
    TargetId = NodeId(T);
    const Variant MaxTimes = T->Values(MaxTimesItemIndex);
    if (!VarIsNull(MaxTimes) && !VarIsEmpty(MaxTimes) && MaxTimes.AsInteger() > 1)
      AddInsertItem(VarToStr(T->Values(NameItemIndex)), TargetCode, InsertBranchImage,
                    T->Values(ParentIdItemIndex).AsInteger());
  } else {
    TargetId = F->Values(ParentIdItemIndex).AsInteger();
  }
  String ErrorText;
  if (dm->OpenInsertableChildren(ErrorText, TargetCode, TargetId)) {
    TDataSet* Rows = dm->aq_public;
    for (Rows->First(); !Rows->Eof(); Rows->Next())
      AddInsertItem(Rows->FieldByName(u"cName")->AsString(), Rows->FieldByName(u"code")->AsString(),
                    Rows->FieldByName(u"isEnd")->AsInteger() != 0 ? InsertLeafImage : InsertBranchImage, TargetId);
    Rows->Close();
  } else {
    Application->MessageBox(u"读取可插入结点信息错误,错误信息：" + ErrorText, Application->Title(),
                            MB_OK | MB_ICONWARNING);
  }
  N1->SetEnabled(N1->Count() > 0);
}

void Tfrm_meta_edit::ShowFocusedFrom(Integer ATop) {
  TcxTreeListNode* Focused = cxDBTreeList1->FocusedNode();
  const Integer Page = cxDBTreeList1->TreeListViewInfo()->FullRowCount();
  if (!Focused || Page <= 0) return;
  const Integer Index = Focused->VisibleIndex();
  if (Index < ATop || Index > ATop + Page)
    cxDBTreeList1->SetTopVisibleIndex(std::max(0, RoundHalfEven(Index - Page / 2.0)));
  else
    cxDBTreeList1->SetTopVisibleIndex(ATop);
}

void Tfrm_meta_edit::InsertItemClick(TObject* Sender) {
  auto* Item = dynamic_cast<TMyMenuItem*>(Sender);
  if (!Item) return;
  // The item goes with the submenu at the next popup: keep what it says.
  const String Code = Item->Code;
  const Integer ParentId = Item->ParentId;
  String ErrorText;
  bool Inserted;
  {
    TFlagCleared Busy(FEditIdle);
    const Integer Top = cxDBTreeList1->TopVisibleIndex();
    Inserted = dm->InsertTemplateBranch(ErrorText, Code, IntToStr(ParentId));
    if (Inserted) {
      FocusRecordNode();
      ShowFocusedFrom(Top);
    }
  }
  if (!Inserted) Application->MessageBox(ErrorText, Application->Title(), MB_OK | MB_ICONWARNING);
  RefreshDescription();
}

void Tfrm_meta_edit::N2Click(TObject*) {
  TcxTreeListNode* Root = cxDBTreeList1->Nodes()->Root();
  TcxTreeListNode* F = cxDBTreeList1->FocusedNode();
  if (!F) return;
  {
    TFlagCleared Busy(FEditIdle);
    const Integer Top = cxDBTreeList1->TopVisibleIndex();
    TcxTreeListNode* Gone = F;
    while (Gone->Parent() != Root && Gone->Parent()->Count() == 1) Gone = Gone->Parent();
    TcxTreeListNode* Next = Gone->GetNextSibling() ? Gone->GetNextSibling() : F->GetNext();
    const Variant NextId = Next ? Next->Values(IdItemIndex) : Variant();
    String Refused;
    try {
      cxDBTreeList1->DeleteNodes({Gone});
    } catch (const Exception& E) {
      // Nothing was deleted and the tree was read again (the nodes above
      // are gone); the user is told why, as for the other commands.
      Refused = E.Message.empty() ? String(u"数据库拒绝删除") : E.Message;
    }
    if (!Refused.empty()) {
      Application->MessageBox(u"删除失败,错误信息：" + Refused, Application->Title(), MB_OK | MB_ICONWARNING);
    } else if (!VarIsEmpty(NextId)) {
      dm->aq_metadata->Locate(u"id", NextId, TLocateOptions{});
      FocusRecordNode();
      cxDBTreeList1->SetTopVisibleIndex(Top);
    } else if (Root->Count() > 0) {
      cxDBTreeList1->SetTopVisibleIndex(Top);
    }
  }
  RefreshDescription();
}

void Tfrm_meta_edit::cxDBTreeList1KeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (Key != VK_DELETE || Shift != ssCtrl) return;
  Key = 0;  // the tree's own deletion does not run
  if (!cxDBTreeList1->FocusedNode()) return;
  if (Application->MessageBox(DeleteKeyConfirmation, DeleteKeyConfirmationCaption, MB_YESNO | MB_ICONQUESTION) !=
      IDYES)
    return;
  // An editor open on the element goes with it, unstored.
  cxDBTreeList1->EditingController()->EndCellEdit(false);
  N2Click(N2);
}

void Tfrm_meta_edit::N3Click(TObject*) {
  if (TcxTreeListNode* F = cxDBTreeList1->FocusedNode(); F && F->CanExpand()) F->Expand(true);
}

void Tfrm_meta_edit::N4Click(TObject*) {
  if (TcxTreeListNode* F = cxDBTreeList1->FocusedNode(); F && F->Count() > 0) F->Collapse(true);
}

void Tfrm_meta_edit::N6Click(TObject*) { cxDBTreeList1->ExpandAllNodes(); }

void Tfrm_meta_edit::N7Click(TObject*) { cxDBTreeList1->CollapseAllNodes(); }

void Tfrm_meta_edit::N9Click(TObject* Sender) {
  auto* Item = dynamic_cast<TMenuItem*>(Sender);
  TcxTreeListNode* F = cxDBTreeList1->FocusedNode();
  if (!Item || !F) return;
  const bool Up = Item->Tag() == MoveUpTag;
  TcxTreeListNode* Sibling = SameCodeSibling(F, !Up, CodeItemIndex);
  if (!Sibling) return;
  TcxTreeListNode* Upper = Up ? Sibling : F;
  TcxTreeListNode* Lower = Up ? F : Sibling;
  const Variant FocusId = Sibling->Values(IdItemIndex);
  const Variant OwnId = F->Values(IdItemIndex);
  String Text;
  bool Swapped;
  {
    TFlagCleared Busy(FEditIdle);
    const Integer Top = cxDBTreeList1->TopVisibleIndex();
    Swapped = SwapSiblings(Text, Upper, Lower);
    // The focus follows the moved element; a refused move keeps it.
    dm->aq_metadata->Locate(u"id", Swapped ? FocusId : OwnId, TLocateOptions{});
    FocusRecordNode();
    ShowFocusedFrom(Top);
  }
  if (!Swapped) Application->MessageBox(Text, u"移动位置", MB_OK);
  RefreshDescription();
}

bool Tfrm_meta_edit::SwapSiblings(String& AText, TcxTreeListNode* AUpper, TcxTreeListNode* ALower) {
  const bool UpperBranch = AUpper->Count() > 0;
  const bool LowerBranch = ALower->Count() > 0;
  if (UpperBranch != LowerBranch) {
    AText = BranchLeafSwapRefusal;
    return false;
  }
  if (UpperBranch) return dm->SwapChildren(AText, NodeId(AUpper), NodeId(ALower));
  return SwapLeafContents(AText, NodeId(AUpper), NodeId(ALower));
}

bool Tfrm_meta_edit::SwapLeafContents(String& AText, Integer AUpperId, Integer ALowerId) {
  TDataSet* Record = dm->aq_metadata;
  if (!PostPendingEdit()) {
    AText = u"内容未能保存";
    return false;
  }
  auto Content = [&](Integer AId) {
    if (!Record->Locate(u"id", Variant(AId), TLocateOptions{})) throw Exception(u"找不到要移动的节点");
    return Record->FieldByName(u"content")->Value();
  };
  auto Write = [&](Integer AId, const Variant& AValue) {
    Content(AId);
    Record->Edit();
    Record->FieldByName(u"content")->SetValue(AValue);
    Record->Post();
  };
  // A refused write fails the whole move, which says so itself.
  std::function<void(const String&)> PostErrors = std::exchange(dm->ShowPostError, nullptr);
  const bool Done = dm->RunInTransaction(AText, [&] {
    const Variant UpperContent = Content(AUpperId);
    const Variant LowerContent = Content(ALowerId);
    Write(AUpperId, LowerContent);
    Write(ALowerId, UpperContent);
    return true;
  });
  dm->ShowPostError = std::move(PostErrors);
  if (!Done) {
    // The rows read again show what the rollback left: the record as it was.
    if (Record->State() == dsEdit || Record->State() == dsInsert) Record->Cancel();
    String ReloadError;
    if (!dm->LoadRecord(ReloadError, dm->CurrentMetaId)) AText += u"\n" + ReloadError;
  }
  return Done;
}
