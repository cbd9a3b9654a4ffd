#include "platform/gui/dbgrids.h"

#include <algorithm>

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

// ---- Columns -----------------------------------------------------------------------------

TColumnTitle::TColumnTitle() : FFont(std::make_unique<TFont>()) {}
TColumnTitle::~TColumnTitle() = default;

TColumn::TColumn(TCollection* ACollection) : TCollectionItem(ACollection), FTitle(std::make_unique<TColumnTitle>()) {}
TColumn::~TColumn() = default;

TDBGrid* TColumn::Grid() const {
  auto* c = dynamic_cast<TDBGridColumns*>(Collection());
  return c ? c->Grid() : nullptr;
}

void TColumn::SetFieldName(const String& Value) {
  FFieldName = Value;
  Changed(false);
}

TField* TColumn::Field() const {
  TDBGrid* g = Grid();
  TDataSet* ds = g && g->DataSource() ? g->DataSource()->DataSet() : nullptr;
  return ds && ds->Active() ? ds->FindField(FFieldName) : nullptr;
}

TAlignment TColumn::Alignment() const {
  if (FAlignmentSet) return FAlignment;
  TField* f = Field();
  return f ? f->Alignment() : taLeftJustify;
}

void TColumn::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  FAlignmentSet = true;
  Changed(false);
}

void TColumn::SetWidth(Integer Value) {
  FWidth = std::max(0, Value);
  Changed(false);
}

TDBGridColumns::TDBGridColumns(TDBGrid* AGrid) : TCollection(TColumn::StaticClass()), FGrid(AGrid) {}

TPersistent* TDBGridColumns::GetOwner() const { return FGrid; }

void TDBGridColumns::Update(TCollectionItem*) {
  if (FGrid) FGrid->Invalidate();
}

// ---- The data link and the editor --------------------------------------------------------

class TGridDataLink : public TDataLink {
public:
  explicit TGridDataLink(TDBGrid* AGrid) : FGrid(AGrid) { SetVisualControl(true); }

protected:
  void ActiveChanged() override { FGrid->DataChanged(); }
  void DataSetChanged() override { FGrid->DataChanged(); }
  void DataSetScrolled(Integer) override { FGrid->DataChanged(); }
  void RecordChanged(TField*) override { FGrid->DataChanged(); }
  void EditingChanged() override { FGrid->DataChanged(); }

private:
  TDBGrid* FGrid;
};

// The in-place editor keeps Enter, Esc, Tab and the arrows for the grid,
// and has the grid write its text when the focus leaves it.
class TInplaceEdit : public TEdit {
public:
  explicit TInplaceEdit(TDBGrid* AGrid) : TEdit(AGrid), FGrid(AGrid) {}

protected:
  void DoExit() override {
    if (FGrid->CommitOnExit()) TEdit::DoExit();
  }
  void Dispatch(TMessage& M) override {
    if (M.Msg == WM_GETDLGCODE) {
      TEdit::Dispatch(M);
      M.Result |= DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTARROWS;
      return;
    }
    TEdit::Dispatch(M);
  }

private:
  TDBGrid* FGrid;
};

// ---- TDBGrid -----------------------------------------------------------------------------

namespace {
constexpr Integer CellPadding = 2;  // text inset from the cell's left and right
}

TDBGrid::TDBGrid(TComponent* AOwner)
    : TCustomControl(AOwner), FDataLink(std::make_unique<TGridDataLink>(this)),
      FColumns(std::make_unique<TDBGridColumns>(this)) {
  FControlStyle |= csOpaque | csDoubleClicks | csClickEvents | csCaptureMouse;
  SetBounds(0, 0, 320, 120);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  UpdateBufferCount();
}

TDBGrid::~TDBGrid() {
  FDataLink->SetDataSource(nullptr);
}

TDataSource* TDBGrid::DataSource() const { return FDataLink->DataSource(); }

void TDBGrid::SetDataSource(TDataSource* Value) {
  if (DataSource()) DataSource()->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  UpdateBufferCount();
  Invalidate();
}

void TDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == DataSource()) FDataLink->SetDataSource(nullptr);
  if (Operation == opRemove && AComponent == FEditor) FEditor = nullptr;
}

void TDBGrid::SetOptions(TDBGridOptions Value) {
  FOptions = Value;
  UpdateBufferCount();
  Invalidate();
}

void TDBGrid::SetDefaultRowHeight(Integer Value) {
  FRowHeight = std::max(1, Value);
  UpdateBufferCount();
  Invalidate();
}

Integer TDBGrid::TitleHeight() const { return (FOptions & dgTitles) ? FRowHeight + 2 : 0; }

Integer TDBGrid::VisibleRowCount() const { return std::max(1, (ClientHeight() - TitleHeight()) / FRowHeight); }

void TDBGrid::UpdateBufferCount() { FDataLink->SetBufferCount(VisibleRowCount()); }

void TDBGrid::Resize() {
  TCustomControl::Resize();
  UpdateBufferCount();
}

void TDBGrid::DataChanged() {
  if (FEditor && FEditor->Visible()) {
    TRect r = CellRect(FCol, FDataLink->ActiveRecord());
    FEditor->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
  }
  Invalidate();
}

std::vector<TDBGrid::TShownColumn> TDBGrid::ShownColumns() const {
  std::vector<TShownColumn> r;
  for (Integer i = 0; i < FColumns->Count(); ++i) r.push_back({FColumns->Items(i)->FieldName(), FColumns->Items(i)});
  if (!r.empty()) return r;
  TDataSet* ds = FDataLink->DataSet();
  if (ds && ds->Active())
    for (Integer i = 0; i < ds->FieldCount(); ++i) r.push_back({ds->Fields()->Fields(i)->FieldName(), nullptr});
  return r;
}

TField* TDBGrid::FieldOf(const TShownColumn& C) const {
  TDataSet* ds = FDataLink->DataSet();
  return ds && ds->Active() ? ds->FindField(C.FieldName) : nullptr;
}

TField* TDBGrid::SelectedField() const {
  auto cols = ShownColumns();
  return FCol >= 0 && FCol < static_cast<Integer>(cols.size()) ? FieldOf(cols[static_cast<size_t>(FCol)]) : nullptr;
}

void TDBGrid::SetSelectedIndex(Integer Value) {
  auto cols = ShownColumns();
  Integer col = std::clamp(Value, 0, std::max(0, static_cast<Integer>(cols.size()) - 1));
  if (col == FCol) return;
  if (EditorMode() && !CommitEditor()) return;
  FCol = col;
  Invalidate();
}

TRect TDBGrid::CellRect(Integer Column, Integer Row) const {
  auto cols = ShownColumns();
  Integer x = 0;
  for (Integer i = 0; i < static_cast<Integer>(cols.size()); ++i) {
    Integer w = cols[static_cast<size_t>(i)].Column ? cols[static_cast<size_t>(i)].Column->Width() : 64;
    if (i == Column) {
      Integer y = TitleHeight() + Row * FRowHeight;
      return TRect{x, y, x + w, y + FRowHeight};
    }
    x += w;
  }
  return {};
}

bool TDBGrid::CanEditCell() const {
  if (FReadOnly || !(FOptions & dgEditing) || !FDataLink->Active() || FDataLink->ReadOnly()) return false;
  // Without AutoEdit only a record someone put into edit state is edited.
  const TDataSource* source = FDataLink->DataSource();
  if (!FDataLink->Editing() && !(source && source->AutoEdit())) return false;
  auto cols = ShownColumns();
  if (FCol < 0 || FCol >= static_cast<Integer>(cols.size())) return false;
  const TShownColumn& c = cols[static_cast<size_t>(FCol)];
  TField* f = FieldOf(c);
  return f && !(c.Column && c.Column->ReadOnly()) && f->CanModify();
}

bool TDBGrid::EditorMode() const { return FEditor && FEditor->Visible(); }

String TDBGrid::EditorText() const { return EditorMode() ? FEditor->Text() : String(); }

void TDBGrid::SetEditorMode(bool Value) {
  if (Value == EditorMode()) return;
  if (Value) ShowEditor(nullptr);
  else HideEditor();
}

void TDBGrid::ShowEditor(const String* Typed) {
  if (!CanEditCell()) return;
  TField* f = SelectedField();
  if (!FEditor) {
    FEditor = new TInplaceEdit(this);
    FEditor->FreeNotification(this);
    FEditor->SetBorderStyle(bsNone);
    FEditor->SetVisible(false);
    FEditor->SetParent(this);
    FEditor->OnKeyDown = MakeEvent(this, &TDBGrid::EditorKey);
  }
  TRect r = CellRect(FCol, FDataLink->ActiveRecord());
  FEditor->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
  FEditor->SetMaxLength(0);
  FEditor->SetText(Typed ? *Typed : f->Text());
  FEditor->SetVisible(true);
  if (Focused() || (FEditor->CanFocus() && GetParentForm() && GetParentForm()->Active())) FEditor->SetFocus();
  if (Typed) FEditor->SetSelStart(static_cast<Integer>(Typed->size()));
  else FEditor->SelectAll();
}

void TDBGrid::HideEditor() {
  if (!EditorMode()) return;
  bool hadFocus = FEditor->Focused();
  FEditor->SetVisible(false);
  if (hadFocus && CanFocus()) SetFocus();
  Invalidate();
}

bool TDBGrid::CommitEditor() {
  if (!EditorMode()) return true;
  TField* f = SelectedField();
  TDataSet* ds = FDataLink->DataSet();
  if (!f || !ds) {
    HideEditor();
    return true;
  }
  String text = FEditor->Text();
  if (text != f->Text() || ds->State() == dsEdit || ds->State() == dsInsert) {
    // A record that cannot be edited (its source does not start editing)
    // refuses the text like a field would, with the reason.
    if (!FDataLink->Edit()) DatabaseError(dbconsts::SNotEditing, ds);
    f->SetText(text);  // a refused text raises here, the editor stays open
    ds->Post();
  }
  HideEditor();
  return true;
}

void TDBGrid::EditorKey(TObject*, Word& Key, TShiftState Shift) {
  switch (Key) {
    case VK_RETURN: Key = 0; CommitEditor(); return;
    case VK_ESCAPE: {
      Key = 0;
      HideEditor();
      TDataSet* ds = FDataLink->DataSet();
      if (ds && (ds->State() == dsEdit || ds->State() == dsInsert)) ds->Cancel();
      return;
    }
    case VK_UP: case VK_DOWN: {
      Integer delta = Key == VK_UP ? -1 : 1;
      Key = 0;
      if (CommitEditor()) MoveRows(delta);
      return;
    }
    case VK_TAB:
      Key = 0;
      if (CommitEditor()) SetSelectedIndex(FCol + ((Shift & ssShift) ? -1 : 1));
      return;
    default: return;
  }
}

void TDBGrid::DoExit() {
  if (CommitOnExit()) TCustomControl::DoExit();
}

bool TDBGrid::CommitOnExit() {
  if (!EditorMode()) return true;
  try {
    if (CommitEditor()) return true;
  } catch (...) {
    // The exit is part of a focus change, not a call that could take the
    // error: it is shown here, once.
    Application->HandleException(this);
  }
  // Taking the focus back ends the focus change that was under way.
  if (EditorMode() && FEditor->CanFocus()) FEditor->SetFocus();
  return false;
}

void TDBGrid::MoveRows(Integer Delta) {
  TDataSet* ds = FDataLink->DataSet();
  if (ds && ds->Active()) ds->MoveBy(Delta);
}

void TDBGrid::Dispatch(TMessage& M) {
  if (M.Msg == WM_GETDLGCODE) {
    M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    return;
  }
  TCustomControl::Dispatch(M);
}

void TDBGrid::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (!Key) return;
  TDataSet* ds = FDataLink->DataSet();
  bool ctrl = (Shift & ssCtrl) != 0;
  Integer cols = static_cast<Integer>(ShownColumns().size());
  switch (Key) {
    case VK_UP: MoveRows(-1); break;
    case VK_DOWN: MoveRows(1); break;
    case VK_PRIOR: MoveRows(-VisibleRowCount()); break;
    case VK_NEXT: MoveRows(VisibleRowCount()); break;
    case VK_LEFT: SetSelectedIndex(FCol - 1); break;
    case VK_RIGHT: SetSelectedIndex(FCol + 1); break;
    case VK_HOME: if (ctrl && ds) ds->First(); else SetSelectedIndex(0); break;
    case VK_END: if (ctrl && ds) ds->Last(); else SetSelectedIndex(cols - 1); break;
    case VK_F2: case VK_RETURN: ShowEditor(nullptr); break;
    default: return;
  }
  Key = 0;
}

void TDBGrid::KeyPress(Char& Key) {
  TCustomControl::KeyPress(Key);
  if (Key >= 32 && EditorMode()) {
    // Characters queued for the grid before the editor took the focus
    // (the rest of an input-method commit) belong to the editor.
    FEditor->Perform(WM_CHAR, Key, 1);
    Key = 0;
    return;
  }
  if (Key < 32 || !CanEditCell()) return;
  String typed(1, Key);
  Key = 0;
  ShowEditor(&typed);
}

void TDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (CanFocus() && !Focused() && !EditorMode()) SetFocus();
  if (Button == mbLeft && Y >= TitleHeight()) {
    Integer row = (Y - TitleHeight()) / FRowHeight;
    auto cols = ShownColumns();
    for (Integer c = 0; c < static_cast<Integer>(cols.size()); ++c) {
      TRect r = CellRect(c, row);
      if (X < r.Left || X >= r.Right) continue;
      if (row < FDataLink->RecordCount()) {
        if (EditorMode() && !CommitEditor()) break;
        MoveRows(row - FDataLink->ActiveRecord());
        SetSelectedIndex(c);
      }
      break;
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TDBGrid::Paint() {
  TCanvas* c = Canvas();
  TRect client = ClientRect();
  c->Brush()->SetColor(Color());
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(client);
  auto cols = ShownColumns();
  auto textIn = [&](TRect R, const String& Text, TAlignment Align) {
    R.Left += CellPadding;
    R.Right -= CellPadding;
    Cardinal f = Align == taRightJustify ? DT_RIGHT : Align == taCenter ? DT_CENTER : DT_LEFT;
    c->Brush()->SetStyle(bsClear);
    c->Realize();  // the text calls through the handle use the context's colours
    ::DrawText(c->Handle(), Text, R, f | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    c->Brush()->SetStyle(bsSolid);
  };
  if (FOptions & dgTitles) {
    for (Integer i = 0; i < static_cast<Integer>(cols.size()); ++i) {
      TRect r = CellRect(i, 0);
      r.Top = 0;
      r.Bottom = TitleHeight();
      TColumn* col = cols[static_cast<size_t>(i)].Column;
      TField* f = FieldOf(cols[static_cast<size_t>(i)]);
      c->Brush()->SetColor(col ? col->Title()->Color() : clBtnFace);
      c->FillRect(r);
      TRect edge = r;
      DrawEdge(c->Handle(), edge, BDR_RAISEDINNER, BF_RECT);
      c->Font()->Assign(col ? col->Title()->Font() : Font());
      String caption = col && !col->Title()->Caption().empty() ? col->Title()->Caption()
                       : f ? f->DisplayLabel() : cols[static_cast<size_t>(i)].FieldName;
      textIn(r, caption, col ? col->Title()->Alignment() : taLeftJustify);
    }
  }
  if (!FDataLink->Active()) return;
  Integer active = FDataLink->ActiveRecord();
  bool showSelection = Focused() || EditorMode() || (FOptions & dgAlwaysShowSelection);
  for (Integer row = 0; row < FDataLink->RecordCount(); ++row) {
    FDataLink->SetActiveRecord(row);
    for (Integer i = 0; i < static_cast<Integer>(cols.size()); ++i) {
      TRect r = CellRect(i, row);
      bool selected = row == active && ((FOptions & dgRowSelect) || i == FCol) && showSelection;
      c->Brush()->SetColor(selected ? clHighlight : Color());
      c->FillRect(r);
      c->Font()->Assign(Font());
      if (selected) c->Font()->SetColor(clHighlightText);
      TField* f = FieldOf(cols[static_cast<size_t>(i)]);
      TColumn* col = cols[static_cast<size_t>(i)].Column;
      if (f) textIn(r, f->DisplayText(), col ? col->Alignment() : f->Alignment());
      c->Pen()->SetColor(clBtnFace);
      if (FOptions & dgColLines) { c->MoveTo(r.Right - 1, r.Top); c->LineTo(r.Right - 1, r.Bottom); }
      if (FOptions & dgRowLines) { c->MoveTo(r.Left, r.Bottom - 1); c->LineTo(r.Right, r.Bottom - 1); }
    }
  }
  FDataLink->SetActiveRecord(active);
}
