#pragma once
// Styles: named looks (a colour, a background bitmap, a font and a text
// colour) kept as components in a style repository, shared between controls
// and collected into style sheets.
//
// A control's styles table (TcxCustomStyles and descendants) is a sparse map
// from a style index (content, header, selection ...) to a style. What the
// table does not hold comes from its style sheet (and that sheet's sheet ...),
// and last from defaults the control computes (TcxStyles::
// GetDefaultStyleParams). A change of a style reaches every table that uses
// it; a table tells its control (ItemChanged) and, when it is a sheet's own
// table, every table that uses the sheet.
//
// Listener lists are called in a fixed order; a listener that leaves the list
// during a notice does not make another one be skipped; notices are muted
// while the notifier is being destroyed.
//
// There is no form-file streaming on this platform: what is "written only
// when assigned" is answered by the Is...Stored functions, and ResolveStyle
// ignores the style sheet while the table's owner is in the csWriting state.
#include <memory>
#include <type_traits>
#include <vector>

#include "foundation/cxClasses.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/graphics.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/component.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

class TcxCustomStyle;
class TcxStyle;
class TcxCustomStyleSheet;
class TcxStyleRepository;
class TcxCustomStyles;
class TcxStyles;

// ---------------------------------------------------------------------------
// Style values: a set of bits.

enum TcxStyleValue : Cardinal { svBitmap = 0x1, svColor = 0x2, svFont = 0x4, svTextColor = 0x8 };
using TcxStyleValues = Cardinal;
inline constexpr TcxStyleValues cxAllStyleValues = svBitmap | svColor | svFont | svTextColor;

// The resolved look of one element. Unset values: nullptr / clDefault.
struct TcxStyleParams {
  TBitmap* Bitmap = nullptr;
  TColor Color = clDefault;
  TFont* Font = nullptr;
  TColor TextColor = clDefault;
};

// ---------------------------------------------------------------------------
// Class references. Each virtual constructor answers its own kind.

class TcxCustomStyleMetaClass : public TComponentMetaClass {
public:
  template <class Self>
  TcxCustomStyleMetaClass(std::type_identity<Self> ASelf, const char16_t* AClassName, TClass AClassParent)
      : TComponentMetaClass(ASelf, AClassName, AClassParent) {}
  using TMetaClass::Create;
  // Raises EInvalidOperation when the class is abstract.
  TcxCustomStyle* Create(TComponent* AOwner) const;
};
using TcxCustomStyleClass = const TcxCustomStyleMetaClass*;

class TcxCustomStyleSheetMetaClass : public TComponentMetaClass {
public:
  template <class Self>
  TcxCustomStyleSheetMetaClass(std::type_identity<Self> ASelf, const char16_t* AClassName, TClass AClassParent)
      : TComponentMetaClass(ASelf, AClassName, AClassParent) {}
  using TMetaClass::Create;
  // Raises EInvalidOperation when the class is abstract.
  TcxCustomStyleSheet* Create(TComponent* AOwner) const;
};
using TcxCustomStyleSheetClass = const TcxCustomStyleSheetMetaClass*;

class TcxCustomStylesMetaClass : public TcxInterfacedPersistentMetaClass {
public:
  template <class Self>
  TcxCustomStylesMetaClass(std::type_identity<Self> ASelf, const char16_t* AClassName, TClass AClassParent)
      : TcxInterfacedPersistentMetaClass(ASelf, AClassName, AClassParent) {}
  using TMetaClass::Create;
  // Raises EInvalidOperation when the class is abstract.
  TcxCustomStyles* Create(TPersistent* AOwner) const;
};
using TcxCustomStylesClass = const TcxCustomStylesMetaClass*;

// ---------------------------------------------------------------------------
// TcxCustomStyle: a style component that knows the tables using it.

class TcxCustomStyle : public TComponent {
public:
  using MetaClass = TcxCustomStyleMetaClass;
  KORVANE_CLASS(TcxCustomStyle, TComponent)

  explicit TcxCustomStyle(TComponent* AOwner) : TComponent(AOwner) {}
  // Every table using the style drops it (each with a change notice); the
  // style leaves its repository.
  ~TcxCustomStyle() override;
  void BeforeDestruction() override;

  // Tells every listening table, the last one first; muted once the style's
  // own destruction has begun.
  virtual void Changed();
  // Adds a table once / removes it.
  virtual void AddListener(TcxCustomStyles* AStyles);
  virtual void RemoveListener(TcxCustomStyles* AStyles);
  // Forgets every assigned value; empty here.
  virtual void RestoreDefaults() {}

  Integer ListenerCount() const { return static_cast<Integer>(FListeners.size()); }
  bool HasListener(const TcxCustomStyles* AStyles) const;

  // The repository the style lives in (its parent component), or nullptr.
  TcxStyleRepository* StyleRepository() const { return FRepository; }
  // Leaves the old repository's list and joins the new one (nullptr: none).
  void AttachToRepository(TcxStyleRepository* ARepository);

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  // Attaches to AParent when it is a style repository (else to none).
  void SetParentComponent(TComponent* AParent) override;

protected:
  // Drops the style from every table and from its repository, once; called
  // while the style is still whole (BeforeDestruction and the destructors).
  void DetachAll();

private:
  friend class TcxStyleRepository;
  std::vector<TcxCustomStyles*> FListeners;
  TcxStyleRepository* FRepository = nullptr;
  bool FDetached = false;
};

// ---------------------------------------------------------------------------
// TcxStyle: colour, bitmap, font and text colour, each counting only when
// its bit is in AssignedValues.

class TcxStyle : public TcxCustomStyle {
  KORVANE_CLASS(TcxStyle, TcxCustomStyle)

  explicit TcxStyle(TComponent* AOwner);
  ~TcxStyle() override;

  // From another TcxStyle: bitmap, colour, font and text colour, then the
  // assigned set (an exact copy). Other sources: inherited.
  void Assign(TPersistent* Source) override;
  // Clears AssignedValues, empties the bitmap, colours back to clDefault
  // (the font keeps its values); one change notice.
  void RestoreDefaults() override;

  TcxStyleValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxStyleValues Value);
  // clDefault unassigns the colour, any other value assigns it.
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TColor TextColor() const { return FTextColor; }
  void SetTextColor(TColor Value);
  // The owned bitmap: a non-empty bitmap is assigned, an empty one is not.
  TBitmap* Bitmap() const { return FBitmap.get(); }
  // Copies Value into the owned bitmap; nullptr empties it.
  void SetBitmap(TBitmap* Value);
  // The owned font: any change of it assigns the font.
  TFont* Font() const { return FFont.get(); }
  // Copies Value into the owned font; nullptr is ignored.
  void SetFont(TFont* Value);

  // Whether a value would be written with the style (it is assigned).
  bool IsBitmapStored() const { return (FAssignedValues & svBitmap) != 0; }
  bool IsColorStored() const { return (FAssignedValues & svColor) != 0; }
  bool IsFontStored() const { return (FAssignedValues & svFont) != 0; }
  bool IsTextColorStored() const { return (FAssignedValues & svTextColor) != 0; }

private:
  void BitmapChanged(TObject* Sender);
  void FontChanged(TObject* Sender);
  void SetColorValue(TColor& AField, TcxStyleValue AValue, TColor ANewColor);

  TcxStyleValues FAssignedValues = 0;
  TColor FColor = clDefault;
  TColor FTextColor = clDefault;
  std::unique_ptr<TBitmap> FBitmap;
  std::unique_ptr<TFont> FFont;
};

// ---------------------------------------------------------------------------
// TcxCustomStyleSheet: a named styles table that other tables fall back to.

class TcxCustomStyleSheet : public TcxComponent {
public:
  using MetaClass = TcxCustomStyleSheetMetaClass;
  KORVANE_CLASS(TcxCustomStyleSheet, TcxComponent)

  // BuiltIn is true when the sheet is created at design time.
  explicit TcxCustomStyleSheet(TComponent* AOwner);
  // Every user drops the sheet (each with change notices for the indexes the
  // sheet supplied), the sheet leaves its repository, its table is freed.
  ~TcxCustomStyleSheet() override;
  void BeforeDestruction() override;

  // From another sheet: Caption and Styles. Other sources: inherited.
  void Assign(TPersistent* Source) override;

  // The class of the sheet's own table; a descendant names its own.
  virtual TcxCustomStylesClass StylesClassOf() const;

  // Name when no caption is set. Setting the current caption does nothing;
  // a value equal to Name (case ignored) clears the caption.
  String GetCaption() const;
  void SetCaption(const String& Value);
  bool IsCaptionStored() const { return !FCaption.empty(); }
  bool BuiltIn() const { return FBuiltIn; }
  void SetBuiltIn(bool Value) { FBuiltIn = Value; }

  // The sheet's own table (of StylesClassOf), owned by the sheet.
  TcxCustomStyles* GetStyles();
  // Assigns into the own table (which copies only Value's style sheet in the
  // base table class).
  void SetStyles(TcxCustomStyles* Value);

  // Tables that use this sheet, in the order they joined.
  void AddUser(TcxCustomStyles* AStyles);
  void RemoveUser(TcxCustomStyles* AStyles);
  Integer UserCount() const { return static_cast<Integer>(FUsers.size()); }
  TcxCustomStyles* Users(Integer AIndex) const;
  // Every user, first to last, hears that Index changed; then the link
  // properties are refreshed. Muted once the sheet's own destruction has
  // begun (not merely while its owner is being destroyed: users elsewhere
  // must still hear that the sheet's styles go).
  void NotifyUsers(Integer AIndex);

  TcxStyleRepository* StyleRepository() const { return FRepository; }
  void AttachToRepository(TcxStyleRepository* ARepository);
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* AParent) override;

  // The owners of the sheet's styles that differ from the sheet's own owner
  // (each once).
  void CollectLinkedComponents(TList* AList) override;

protected:
  void DetachAll();

private:
  friend class TcxStyleRepository;
  friend class TcxCustomStyles;
  String FCaption;
  bool FBuiltIn = false;
  TcxCustomStyles* FStyles = nullptr;  // owned; created on first use
  std::vector<TcxCustomStyles*> FUsers;
  TcxStyleRepository* FRepository = nullptr;
  bool FDetached = false;
};

// ---------------------------------------------------------------------------
// TcxStyleRepository: owns styles and style sheets.

class TcxStyleRepository : public TComponent {
  KORVANE_CLASS(TcxStyleRepository, TComponent)

  explicit TcxStyleRepository(TComponent* AOwner) : TComponent(AOwner) {}
  // Frees its styles, then its style sheets, the last one first.
  ~TcxStyleRepository() override;

  // A new style owned by the repository and attached to it.
  virtual TcxCustomStyle* NewStyle(TcxCustomStyleClass AStyleClass);
  // A new style owned by AOwner and attached to the repository.
  virtual TcxCustomStyle* NewStyleEx(TcxCustomStyleClass AStyleClass, TComponent* AOwner);
  virtual TcxCustomStyleSheet* NewStyleSheet(TcxCustomStyleSheetClass ASheetClass);
  virtual TcxCustomStyleSheet* NewStyleSheetEx(TcxCustomStyleSheetClass ASheetClass, TComponent* AOwner);

  Integer Count() const { return static_cast<Integer>(FStyles.size()); }
  // Raises EListError when AIndex is out of range.
  TcxCustomStyle* Items(Integer AIndex) const;
  Integer StyleSheetCount() const { return static_cast<Integer>(FStyleSheets.size()); }
  TcxCustomStyleSheet* StyleSheets(Integer AIndex) const;
  Integer IndexOfStyle(const TcxCustomStyle* AStyle) const;
  Integer IndexOfStyleSheet(const TcxCustomStyleSheet* ASheet) const;

  // Every style owned by Root, then every style sheet owned by Root.
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

private:
  friend class TcxCustomStyle;
  friend class TcxCustomStyleSheet;
  std::vector<TcxCustomStyle*> FStyles;
  std::vector<TcxCustomStyleSheet*> FStyleSheets;
};

// ---------------------------------------------------------------------------
// TcxCustomStyles: a sparse table index -> style with a style sheet.

class TcxCustomStyles : public TcxInterfacedPersistent {
public:
  using MetaClass = TcxCustomStylesMetaClass;
  KORVANE_CLASS(TcxCustomStyles, TcxInterfacedPersistent)

  explicit TcxCustomStyles(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner) {}
  // Muted from here on: drops every pair and the style sheet.
  ~TcxCustomStyles() override;
  void BeforeDestruction() override;

  // From another table: only its style sheet. Other sources: inherited.
  void Assign(TPersistent* Source) override;

  // Binary search of the sorted pairs: true with the pair's position, or
  // false with the position where Index would be inserted.
  bool FindIndex(Integer AIndex, Integer& APosition) const;
  // The own style at Index, else the style sheet chain's; only own styles
  // while the owner component is being written (csWriting).
  TcxCustomStyle* ResolveStyle(Integer AIndex) const;
  // Stores AStyle as own style of Index (nullptr removes the own one);
  // nothing when AStyle already is the resolved style.
  void StoreStyle(Integer AIndex, TcxCustomStyle* AStyle);
  // The own pairs, in index order.
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  Integer IndexAt(Integer APosition) const;
  TcxCustomStyle* StyleAt(Integer APosition) const;
  void DeleteItem(Integer APosition);
  void ClearItems();

  // Notices from a style this table listens to.
  void StyleChanged(TcxCustomStyle* AStyle);
  void StyleRemoved(TcxCustomStyle* AStyle);

  // Unless the table is destroyed: ItemChanged, then (for a sheet's own
  // table) the sheet's users.
  virtual void NotifyItemChanged(Integer AIndex);

  // nullptr, or a sheet of exactly this table's class that is not this
  // table's own sheet and would not close a cycle of sheets.
  bool AcceptsStyleSheet(TcxCustomStyleSheet* ASheet) const;
  TcxCustomStyleSheet* StyleSheet() const { return FStyleSheet; }
  // Ignores a sheet that is not accepted. Tells every index that the old or
  // the new sheet chain defines, once each.
  void SetStyleSheet(TcxCustomStyleSheet* Value);
  // The sheet this table belongs to (nullptr for a control's table).
  TcxCustomStyleSheet* OwnerStyleSheet() const { return FOwnerStyleSheet; }
  bool IsDestroying() const { return FDestroying; }

protected:
  // Told of every change of Index; empty here (a control's table tells its
  // control).
  virtual void ItemChanged(Integer AIndex);

private:
  friend class TcxCustomStyleSheet;
  struct TItem {
    Integer Index;
    TcxCustomStyle* Style;
  };
  bool HoldsStyle(const TcxCustomStyle* AStyle) const;
  void ReleaseStyle(TcxCustomStyle* AStyle);
  // The next sheet of a chain: the style sheet of ASheet's own table.
  static TcxCustomStyleSheet* NextSheet(const TcxCustomStyleSheet* ASheet);
  void CollectChainIndexes(TcxCustomStyleSheet* ASheet, std::vector<Integer>& AIndexes) const;

  std::vector<TItem> FItems;
  TcxCustomStyleSheet* FStyleSheet = nullptr;
  TcxCustomStyleSheet* FOwnerStyleSheet = nullptr;
  bool FDestroying = false;
};

// ---------------------------------------------------------------------------
// TcxStyles: a styles table that resolves the look of one element.

class TcxStyles : public TcxCustomStyles {
  KORVANE_CLASS(TcxStyles, TcxCustomStyles)

  explicit TcxStyles(TPersistent* AOwner) : TcxCustomStyles(AOwner) {}

  // The shared getter and setter of descendants' indexed style properties.
  TcxStyle* GetIndexedStyle(Integer AIndex) const;
  void SetIndexedStyle(Integer AIndex, TcxStyle* Value);

  // Each value from AOverrideStyle when it assigns it, else from the
  // resolved style of Index when it assigns it; values still unset come from
  // GetDefaultStyleParams. The bitmap counts only when the table carries
  // bitmaps (else it stays nullptr).
  void ResolveStyleParams(Integer AIndex, void* AData, TcxStyleParams& AParams,
                          TcxStyle* AOverrideStyle = nullptr);
  // The base answers no bitmap and records Index as asked for defaults;
  // descendants fill colour, font and text colour (and call the base).
  virtual void GetDefaultStyleParams(Integer AIndex, void* AData, TcxStyleParams& AParams);
  // True when the resolved style of Index does not assign a font.
  virtual bool NeedsDefaultFont(Integer AIndex) const;
  // Tells every index asked for defaults so far whose default font is AFont
  // and that needs the default font. Controls call it when their font changes.
  void NotifyDefaultFontChanged(TFont* AFont);

  // The highest index asked for defaults (-1: none yet).
  Integer MaxDefaultIndex() const { return FMaxDefaultIndex; }
  // Whether resolved parameters carry a style's bitmap (true unless a
  // descendant says otherwise).
  bool UseBitmap() const { return FUseBitmap; }

protected:
  void SetUseBitmap(bool Value) { FUseBitmap = Value; }

private:
  Integer FMaxDefaultIndex = -1;
  bool FUseBitmap = true;
};
