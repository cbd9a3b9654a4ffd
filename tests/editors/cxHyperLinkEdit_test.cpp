// The hyperlink editor: the prefix, the guard that lets only addresses of
// known schemes reach the desktop, and how the link starts.
#include "editors/cxHyperLinkEdit.h"

#include <gtest/gtest.h>

#include <vector>

#include "../platform/gui/guitestutil.h"
#include "editors/cxEditRepository.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/rtl/encoding.h"
#include "platform/shell/shell.h"

namespace {

// Records what would be opened and opens nothing.
class TRecordingShell : public TShellService {
public:
  TRecordingShell() { FPrevious = SetShellService(this); }
  ~TRecordingShell() override { SetShellService(FPrevious); }
  bool OpenDocument(const String& Path) override {
    Documents.push_back(Path);
    return true;
  }
  bool OpenURL(const String& URL) override {
    URLs.push_back(URL);
    return true;
  }
  std::vector<String> URLs;
  std::vector<String> Documents;

private:
  TShellService* FPrevious;
};

struct THyperLinkFixture : TTestForm {
  THyperLinkFixture() : TTestForm(360, 200) {
    Edit = Place<TcxHyperLinkEdit>(20, 20, 220, 24);
    ShowForm(Edit);
  }
  ~THyperLinkFixture() { FreeForm(); }
  TcxHyperLinkEditProperties* Props() { return static_cast<TcxHyperLinkEditProperties*>(Edit->Properties()); }
  TRecordingShell Shell;
  TcxHyperLinkEdit* Edit;

};

std::string U8(const String& S) { return StringToUTF8(S); }

}  // namespace

TEST(cxHyperLinkEdit, DefaultsAndCopy) {
  TcxHyperLinkEditProperties p(nullptr);
  EXPECT_TRUE(p.AutoComplete());
  EXPECT_EQ(p.LinkColor(), clBlue);
  EXPECT_EQ(p.Prefix(), u"http://");
  EXPECT_FALSE(p.IsPrefixStored());
  EXPECT_FALSE(p.SingleClick());
  EXPECT_EQ(p.StartKey(), 16397);
  EXPECT_FALSE(p.AutoSelect());
  EXPECT_FALSE(p.ValidateOnEnter());

  p.SetAutoComplete(false);
  p.SetLinkColor(clRed);
  p.SetPrefix(u"https://");
  p.SetSingleClick(true);
  p.SetStartKey(0);
  Integer started = 0;
  p.OnStartClick = TNotifyEvent(&started, [&started](TObject*) { ++started; });
  TcxHyperLinkEditProperties copy(nullptr);
  copy.Assign(&p);
  EXPECT_FALSE(copy.AutoComplete());
  EXPECT_EQ(copy.LinkColor(), clRed);
  EXPECT_EQ(copy.Prefix(), u"https://");
  EXPECT_TRUE(copy.IsPrefixStored());
  EXPECT_TRUE(copy.SingleClick());
  EXPECT_EQ(copy.StartKey(), 0);
  copy.OnStartClick(nullptr);
  EXPECT_EQ(started, 1);
}

TEST(cxHyperLinkEdit, ThePrefixIsAddedToBareAddressesOnly) {
  struct TCase {
    const char16_t* Prefix;
    const char16_t* Text;
    const char16_t* Result;
  };
  const TCase cases[] = {
      {u"http://", u"  www.cgs.gov.cn ", u"http://www.cgs.gov.cn"},
      {u"http://", u"http://www.cgs.gov.cn", u"http://www.cgs.gov.cn"},
      {u"http://", u"https://data.cgs.cn/a", u"https://data.cgs.cn/a"},
      {u"http://", u"HTTP://A.CN", u"HTTP://A.CN"},           // a known scheme in any case
      {u"http://", u"mailto:geo@cgs.cn", u"mailto:geo@cgs.cn"},  // not http://mailto:...
      {u"http://", u"localhost:8080", u"http://localhost:8080"},
      // A text that gets no prefix stays as typed, blanks and all.
      {u"http://", u"  http://x ", u"  http://x "},
      {u"http://", u" mailto:geo@cgs.cn", u" mailto:geo@cgs.cn"},
      {u"http://", u"   ", u"   "},
      {u"", u" www.cgs.gov.cn ", u" www.cgs.gov.cn "},
      {u"", u"", u""},
      {u"ftp://", u"ftp.cgs.cn", u"ftp://ftp.cgs.cn"},
  };
  TcxHyperLinkEditProperties p(nullptr);
  for (const TCase& c : cases) {
    p.SetPrefix(c.Prefix);
    EXPECT_EQ(p.AddPrefixTo(c.Text), c.Result) << U8(c.Prefix) << " + " << U8(c.Text);
  }
}

TEST(cxHyperLinkEdit, OnlyAddressesWithAKnownSchemeAreOpenable) {
  struct TCase {
    const char16_t* URL;
    bool Openable;
  };
  const TCase cases[] = {
      {u"http://www.cgs.gov.cn", true},
      {u"https://data.cgs.cn:8443/meta?id=1#top", true},
      {u"HTTPS://Example.com/$(x);y", true},  // a path goes to the browser as it is
      {u"ftp://user:pw@ftp.cgs.cn/pub", true},
      {u"http://[2001:db8::1]:80/", true},
      {u"http://地质.中国/元数据", true},
      {u"mailto:geo@cgs.cn", true},
      {u"file:///home/geo/record.xml", true},
      // Hostile or malformed texts.
      {u";rm -rf ~", false},
      {u"$(reboot)", false},
      {u"`id`", false},
      {u"javascript:alert(1)", false},
      {u"JavaScript:alert(1)", false},
      {u"data:text/html,<script>", false},
      {u"vbscript:msgbox", false},
      {u"http://;rm -rf ~", false},
      {u"http://$(reboot)", false},
      {u"http://a.cn/ && rm -rf ~", false},
      {u"http://a.cn/\nrm", false},
      {u"http://a.cn|sh", false},
      {u"http://-oProxyCommand=x", false},
      {u"http:", false},
      {u"http:/a.cn", false},
      {u"http://", false},
      {u"http://a.cn:", false},
      {u"http://a.cn:80x", false},
      {u"mailto:", false},
      {u"file:relative/path", false},
      {u"www.cgs.gov.cn", false},
      {u"/usr/bin/xterm", false},
      {u"", false},
  };
  for (const TCase& c : cases) EXPECT_EQ(cxHyperLinkIsOpenableURL(c.URL), c.Openable) << U8(c.URL);
}

TEST(cxHyperLinkEdit, StartingTheLinkOpensOnlyGuardedAddresses) {
  struct TCase {
    const char16_t* Prefix;
    const char16_t* Text;
    const char16_t* Opened;  // nullptr: nothing
  };
  const TCase cases[] = {
      {u"http://", u"www.cgs.gov.cn", u"http://www.cgs.gov.cn"},
      {u"http://", u"  ", nullptr},  // blanks only
      {u"http://", u";rm -rf ~", nullptr},
      {u"http://", u"$(reboot)", nullptr},
      {u"http://", u"javascript:alert(1)", nullptr},  // prefixed, it names no host
      {u"", u"javascript:alert(1)", nullptr},
      {u"", u"www.cgs.gov.cn", nullptr},  // no prefix, no scheme
      {u"", u"https://www.cgs.gov.cn", u"https://www.cgs.gov.cn"},
      {u"http://", u"mailto:geo@cgs.cn", u"mailto:geo@cgs.cn"},
  };
  THyperLinkFixture f;
  for (const TCase& c : cases) {
    SCOPED_TRACE(U8(c.Text));
    f.Shell.URLs.clear();
    f.Props()->SetPrefix(c.Prefix);
    f.Edit->SetEditValue(String(c.Text));
    const bool opened = f.Edit->StartLink();
    EXPECT_EQ(opened, c.Opened != nullptr);
    if (c.Opened) {
      ASSERT_EQ(f.Shell.URLs.size(), 1u);
      EXPECT_EQ(f.Shell.URLs[0], c.Opened);
    } else {
      EXPECT_TRUE(f.Shell.URLs.empty());
    }
    EXPECT_EQ(f.Edit->Text(), String(c.Text));  // a refusal changes nothing
  }
  EXPECT_TRUE(f.Shell.Documents.empty());
}

TEST(cxHyperLinkEdit, StartKeyClicksAndTheStartEvent) {
  THyperLinkFixture f;
  f.Edit->SetEditValue(String(u"www.cgs.gov.cn"));
  // Ctrl+Enter.
  TestKey(VK_RETURN, u"", tkCtrl);
  Application->ProcessMessages();
  ASSERT_EQ(f.Shell.URLs.size(), 1u);
  // A single click does not open while SingleClick is off; a double click does.
  const HWND inner = f.Edit->InnerEdit()->Handle();
  TestMousePress(inner, TPoint{10, 5});
  TestMouseRelease(inner, TPoint{10, 5});
  Application->ProcessMessages();
  EXPECT_EQ(f.Shell.URLs.size(), 1u);
  TestMouseDoublePress(inner, TPoint{10, 5});
  TestMouseRelease(inner, TPoint{10, 5});
  Application->ProcessMessages();
  EXPECT_EQ(f.Shell.URLs.size(), 2u);
  // With SingleClick a click opens and the editor shows the hand.
  f.Props()->SetSingleClick(true);
  EXPECT_EQ(f.Edit->Cursor(), crHandPoint);
  EXPECT_EQ(f.Edit->InnerEdit()->Cursor(), crHandPoint);
  f.Edit->SetSelection(0, 0);
  TestMousePress(inner, TPoint{10, 5});
  TestMouseRelease(inner, TPoint{10, 5});
  Application->ProcessMessages();
  EXPECT_EQ(f.Shell.URLs.size(), 3u);
  f.Props()->SetSingleClick(false);
  EXPECT_EQ(f.Edit->Cursor(), crDefault);

  // OnStartClick replaces the opening, on the own properties and on the
  // repository item's.
  Integer started = 0;
  f.Props()->OnStartClick = TNotifyEvent(&started, [&started](TObject*) { ++started; });
  EXPECT_FALSE(f.Edit->StartLink());
  EXPECT_EQ(started, 1);
  f.Props()->OnStartClick = nullptr;
  TcxEditRepositoryHyperLinkItem item(nullptr);
  auto* itemProps = static_cast<TcxHyperLinkEditProperties*>(item.Properties());
  itemProps->OnStartClick = TNotifyEvent(&started, [&started](TObject*) { ++started; });
  f.Edit->SetRepositoryItem(&item);
  EXPECT_FALSE(f.Edit->StartLink());
  EXPECT_EQ(started, 2);
  f.Edit->SetRepositoryItem(nullptr);
  EXPECT_EQ(f.Shell.URLs.size(), 3u);
}

TEST(cxHyperLinkEdit, AnInplaceSingleClickEditorOpensOnTheActivatingClick) {
  THyperLinkFixture f;
  TcxHyperLinkEditProperties properties(nullptr);
  properties.SetSingleClick(true);
  properties.SetAutoSelect(true);
  std::unique_ptr<TcxCustomEdit> edit(CreateInplaceEditor(TcxHyperLinkEdit::StaticClass(), &properties));
  auto* link = dynamic_cast<TcxHyperLinkEdit*>(edit.get());
  ASSERT_NE(link, nullptr);
  link->Properties()->Assign(&properties);
  link->SetBounds(20, 60, 200, 22);
  link->SetParent(f.Form);
  link->SetEditValue(String(u"www.cgs.gov.cn"));
  EXPECT_EQ(link->Cursor(), crHandPoint);
  TcxCustomEditData* data = nullptr;
  link->ActivateByMouse(TShiftState(), 40, 70, data);  // the release of the click
  Application->ProcessMessages();
  EXPECT_EQ(link->SelLength(), 0);
  ASSERT_EQ(f.Shell.URLs.size(), 1u);
  EXPECT_EQ(f.Shell.URLs[0], u"http://www.cgs.gov.cn");
  link->SetParent(nullptr);
}

TEST(cxHyperLinkEdit, AutoCompleteAddsThePrefixOnValidation) {
  THyperLinkFixture f;
  TestTypeText(u"  www.cgs.gov.cn");
  Application->ProcessMessages();
  EXPECT_TRUE(f.Edit->ValidateEdit(true));
  EXPECT_EQ(VarToStr(f.Edit->EditValue()), u"http://www.cgs.gov.cn");
  f.Props()->SetAutoComplete(false);
  f.Edit->SelectWholeText();
  TestTypeText(u"ftp.cgs.cn");
  Application->ProcessMessages();
  EXPECT_TRUE(f.Edit->ValidateEdit(true));
  EXPECT_EQ(VarToStr(f.Edit->EditValue()), u"ftp.cgs.cn");
}

TEST(cxHyperLinkEdit, TheTextIsAnUnderlinedLink) {
  THyperLinkFixture f;
  TFont* font = f.Edit->InnerEdit()->Font();
  EXPECT_TRUE(font->Style() & fsUnderline);
  EXPECT_EQ(font->Color(), clBlue);
  f.Props()->SetLinkColor(clGreen);
  EXPECT_EQ(f.Edit->InnerEdit()->Font()->Color(), clGreen);
  // The style's own text colour wins.
  f.Edit->Style()->SetTextColor(clMaroon);
  f.Edit->SyncInnerControl();
  EXPECT_EQ(f.Edit->InnerEdit()->Font()->Color(), clMaroon);
  EXPECT_TRUE(f.Edit->InnerEdit()->Font()->Style() & fsUnderline);
}

TEST(cxHyperLinkEdit, TheKindRegisters) {
  cxHyperLinkEditInitialize();
  cxHyperLinkEditInitialize();
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  auto cls = static_cast<TcxCustomEditPropertiesClass>(registry->FindByClassName(u"TcxHyperLinkEditProperties"));
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(registry->Descriptions(registry->IndexOfClass(cls)),
            u"HyperLink|Represents a text editor with hyperlink functionality");
  EXPECT_EQ(cls->GetEditorClass(), TcxHyperLinkEdit::StaticClass());
  cxHyperLinkEditFinalize();
  EXPECT_EQ(registry->FindByClassName(u"TcxHyperLinkEditProperties"), nullptr);
}
