#pragma once
// Shared pieces of the program's window tests: a program folder with a
// fresh copy of the shipped database (and, when asked, the window images),
// the record data module over it, message boxes answered by a recorder,
// modal dialogs driven from their showing, and pictures of whole windows.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/forms.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "store/dmunit.h"
#include "store/pubfunc.h"
#include "tests/platform/gui/recordingdialogs.h"

namespace app_test {

namespace fs = std::filesystem;

inline std::string U8(const String& S) { return StringToUTF8(S); }
inline String U16(const std::string& S) { return UTF8ToString(S); }

using ::TRecordingDialogs;

// The folder the build copies the program's files into.
inline fs::path BuiltProgramFolder() { return fs::path(KORVANE_BINARY_DIR) / "app"; }

inline void ExecSql(const std::string& DatabasePath, const std::string& Sql) {
  sqlite3* db = nullptr;
  if (sqlite3_open(DatabasePath.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot open " + DatabasePath);
  char* error = nullptr;
  int rc = sqlite3_exec(db, Sql.c_str(), nullptr, nullptr, &error);
  std::string message = error ? error : "";
  sqlite3_free(error);
  sqlite3_close(db);
  if (rc != SQLITE_OK) throw std::runtime_error("SQL failed: " + message + "\n" + Sql);
}

// The first value of a select as text ("<none>" without a row).
inline std::string SelectOne(const std::string& DatabasePath, const std::string& Sql) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(DatabasePath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* stmt = nullptr;
  std::string value = "<none>";
  if (sqlite3_prepare_v2(db, Sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    std::string message = sqlite3_errmsg(db);
    sqlite3_close(db);
    throw std::runtime_error("select failed: " + message + "\n" + Sql);
  }
  if (sqlite3_step(stmt) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(stmt, 0);
    value = text ? reinterpret_cast<const char*>(text) : "<null>";
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return value;
}

inline TDateTime FixedTime() { return EncodeDateTime(2024, 3, 5, 7, 8, 9, 500); }

// A program folder of its own with the record data module open on it.
struct TProgramFixture {
  explicit TProgramFixture(bool WithImages = false) {
    EnsureGuiRuntime();
    Application->ResetTerminated();
    OldDialogs = SetDialogService(&Dialogs);
    std::string pattern = (fs::temp_directory_path() / "korvane-app-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    Folder = pattern;
    DbPath = (Folder / "DataIdentification.mdb").string();
    fs::copy_file(BuiltProgramFolder() / "DataIdentification.mdb", DbPath);
    if (WithImages) fs::copy(BuiltProgramFolder() / "images", Folder / "images", fs::copy_options::recursive);
    SetProgramFolder(U16(Folder.string()));
    SetClockForTesting(FixedTime);
    Module = std::make_unique<Tdm>(nullptr);
    dm = Module.get();
  }
  ~TProgramFixture() {
    dm = nullptr;
    Module.reset();
    ResetClockForTesting();
    SetProgramFolder(u"");
    SetDialogService(OldDialogs);
    Application->ProcessMessages();
    Application->ResetTerminated();
    fs::remove_all(Folder);
  }
  // Creates a record of the kind with the title; answers its key.
  std::string AddRecord(bool Core, const std::string& Title) {
    String error;
    if (!dm->CreateRecord(error, Core)) throw std::runtime_error(U8(error));
    std::string key = U8(dm->CurrentMetaId);
    ExecSql(DbPath, "update t_metakind set meta_name = '" + Title + "' where meta_id = '" + key + "'");
    return key;
  }
  std::string One(const std::string& Sql) const { return SelectOne(DbPath, Sql); }

  TRecordingDialogs Dialogs;
  TDialogService* OldDialogs = nullptr;
  fs::path Folder;
  std::string DbPath;
  std::unique_ptr<Tdm> Module;
};

// Shows the form modally; Act runs once the form's own showing handler has
// run, as the user's part. Answers the modal result.
inline TModalResult RunModal(TCustomForm* Form, const std::function<void()>& Act) {
  TNotifyEvent own = Form->OnShow;
  Form->OnShow = TNotifyEvent(Form, [&](TObject* Sender) {
    if (own) own(Sender);
    Application->ProcessMessages();
    Act();
  });
  TModalResult result = Form->ShowModal();
  Form->OnShow = own;
  return result;
}

// The centre of a control, in its own client coordinates.
inline TPoint Middle(TControl* Control) { return TPoint{Control->Width() / 2, Control->Height() / 2}; }

// The form drawn into a picture, saved under /tmp for looking at.
inline std::unique_ptr<TBitmap> Picture(TCustomForm* Form, const std::string& Name) {
  auto picture = std::make_unique<TBitmap>(Form->ClientWidth(), Form->ClientHeight(), pf24bit);
  Form->PaintTo(picture->Canvas(), 0, 0);
  picture->SaveToFile(U16("/tmp/korvane_" + Name + ".png"));
  return picture;
}

// Pixels of the rectangle with a colour other than Background.
inline Integer CountNot(TBitmap& Picture, const TRect& R, TColor Background) {
  Background = ColorToRGB(Background);
  Integer n = 0;
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x)
      if (Picture.PixelColor(x, y) != Background) ++n;
  return n;
}

inline Integer CountOf(TBitmap& Picture, const TRect& R, TColor Colour) {
  Colour = ColorToRGB(Colour);
  Integer n = 0;
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x)
      if (Picture.PixelColor(x, y) == Colour) ++n;
  return n;
}

// Pixels clearly more blue than red and green (smoothed blue text).
inline Integer CountBluish(TBitmap& Picture, const TRect& R) {
  Integer n = 0;
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x) {
      TColor c = Picture.PixelColor(x, y);
      Integer red = c & 0xFF, green = (c >> 8) & 0xFF, blue = (c >> 16) & 0xFF;
      if (blue > red + 80 && blue > green + 40) ++n;
    }
  return n;
}

}  // namespace app_test
