#include "platform/rtl/streams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"

namespace {

String TempPath(const char* name) { return UTF8ToString(::testing::TempDir() + name); }

std::string Bytes(TMemoryStream& s) {
  return s.Size() ? std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size())) : std::string();
}

// A stream that accepts only a few bytes, like a full disk.
class TFullStream : public TStream {
public:
  Integer Room = 3;
  Integer Read(void*, Integer) override { return 0; }
  Integer Write(const void*, Integer Count) override {
    Integer n = std::min(Count, Room);
    Room -= n;
    return n;
  }
  Int64 Seek(Int64, TSeekOrigin) override { return 0; }
};

}  // namespace

// Every kind of stream behaves the same for reading, writing and seeking.
class StreamKinds : public ::testing::TestWithParam<const char*> {
protected:
  std::unique_ptr<TStream> Make() {
    std::string kind = GetParam();
    if (kind == "memory") return std::make_unique<TMemoryStream>();
    if (kind == "string") return std::make_unique<TStringStream>();
    FPath = TempPath("korvane_streams_kind.bin");
    return std::make_unique<TFileStream>(FPath, fmCreate);
  }
  void TearDown() override {
    if (!FPath.empty()) std::remove(StringToUTF8(FPath).c_str());
  }
  String FPath;
};

TEST_P(StreamKinds, ReadWriteSeekAndSize) {
  auto s = Make();
  s->WriteBuffer("hello world", 11);
  EXPECT_EQ(s->Size(), 11);
  EXPECT_EQ(s->Position(), 11);
  EXPECT_EQ(s->Seek(-5, soFromEnd), 6);
  char buf[16] = {};
  EXPECT_EQ(s->Read(buf, 16), 5) << "a read stops at the end";
  EXPECT_EQ(std::string(buf, 5), "world");
  EXPECT_EQ(s->Read(buf, 4), 0);

  s->SetPosition(0);
  s->WriteBuffer("J", 1);  // overwrites in place, keeps the rest
  EXPECT_EQ(s->Seek(2, soFromCurrent), 3);
  s->SetPosition(0);
  s->ReadBuffer(buf, 11);
  EXPECT_EQ(std::string(buf, 11), "Jello world");

  // A short read raises and leaves the position after what could be read.
  s->SetPosition(8);
  try {
    s->ReadBuffer(buf, 4);
    FAIL() << "no exception";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message, u"Stream read error");
  }
  EXPECT_EQ(s->Position(), 11);

  EXPECT_THROW(s->Seek(-1, soFromBeginning), EStreamError);
  EXPECT_THROW(s->Seek(-12, soFromEnd), EStreamError);

  s->SetSize(5);
  EXPECT_EQ(s->Size(), 5);
  // Writing past the end fills the gap with zeros.
  s->SetPosition(7);
  s->WriteBuffer("!", 1);
  s->SetPosition(0);
  s->ReadBuffer(buf, 8);
  EXPECT_EQ(std::string(buf, 8), std::string("Jello\0\0!", 8));
  s->ReadBuffer(buf, 0);  // nothing asked: no error
}

INSTANTIATE_TEST_SUITE_P(All, StreamKinds, ::testing::Values("memory", "string", "file"));

// Positions and sizes past the limit of a memory or string stream raise the
// stream error; nothing is written out of bounds and no huge block is asked for.
TEST(Stream, MemoryAndStringStreamsRefusePositionsPastTheirLimit) {
  const Int64 Max = std::numeric_limits<Int64>::max();
  const struct {
    const char* Name;
    std::function<void(TStream&)> Step;
  } cases[] = {
      {"Seek(INT64_MAX) then Write", [&](TStream& s) { s.Seek(Max, soBeginning); s.WriteBuffer("x", 1); }},
      {"Seek(2^40) then Write", [](TStream& s) { s.Seek(Int64(1) << 40, soBeginning); s.WriteBuffer("x", 1); }},
      {"Seek from the current position past the limit",
       [](TStream& s) { s.Seek(MaxMemoryStreamSize, soBeginning); s.Seek(1, soCurrent); }},
      {"Write across the limit", [](TStream& s) { s.Seek(MaxMemoryStreamSize - 1, soBeginning); s.WriteBuffer("xy", 2); }},
      {"SetSize(2^40)", [](TStream& s) { s.SetSize(Int64(1) << 40); }},
  };
  for (const auto& c : cases) {
    for (int kind = 0; kind < 2; ++kind) {
      SCOPED_TRACE(std::string(c.Name) + (kind ? " (string)" : " (memory)"));
      std::unique_ptr<TStream> s;
      if (kind) s = std::make_unique<TStringStream>("abc");
      else s = std::make_unique<TMemoryStream>();
      EXPECT_THROW(c.Step(*s), EStreamError);
      EXPECT_LE(s->Size(), 3);
    }
  }
  // The limit itself is a position one may stand on and read nothing from.
  TMemoryStream m;
  EXPECT_EQ(m.Seek(MaxMemoryStreamSize, soBeginning), MaxMemoryStreamSize);
  char c;
  EXPECT_EQ(m.Read(&c, 1), 0);
}

TEST(Stream, WriteBufferRaisesWhenTheStreamRefuses) {
  TFullStream full;
  full.WriteBuffer("abc", 3);
  try {
    full.WriteBuffer("d", 1);
    FAIL() << "no exception";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message, u"Stream write error");
  }
}

TEST(Stream, CopyFrom) {
  TStringStream source("0123456789");
  TMemoryStream dest;
  source.SetPosition(3);
  EXPECT_EQ(dest.CopyFrom(&source, 4), 4);
  EXPECT_EQ(Bytes(dest), "3456");
  EXPECT_EQ(dest.CopyFrom(&source, 0), 10) << "0 copies the whole source";
  EXPECT_EQ(Bytes(dest), "345601234567" "89");
  source.SetPosition(8);
  EXPECT_THROW(dest.CopyFrom(&source, 5), EReadError);

  // Larger than one copy chunk.
  std::string big(200000, 'x');
  big[123456] = 'y';
  TStringStream bigSource(big);
  TStringStream bigDest;
  bigDest.CopyFrom(&bigSource, 0);
  EXPECT_EQ(bigDest.DataString(), big);
}

TEST(MemoryStream, FilesAndClear) {
  String path = TempPath("korvane_memory_stream.bin");
  TMemoryStream out;
  std::string data("a\0b\xFF", 4);
  out.WriteBuffer(data.data(), 4);
  out.SaveToFile(path);

  TMemoryStream in;
  in.WriteBuffer("old", 3);
  in.LoadFromFile(path);
  EXPECT_EQ(Bytes(in), data);
  EXPECT_EQ(in.Position(), 0);
  in.Clear();
  EXPECT_EQ(in.Size(), 0);
  EXPECT_EQ(in.Memory(), nullptr);
  std::remove(StringToUTF8(path).c_str());

  // A failed load leaves the stream as it was.
  TMemoryStream keep;
  keep.WriteBuffer("kept", 4);
  EXPECT_THROW(keep.LoadFromFile(TempPath("korvane_no_such_file.bin")), EFOpenError);
  EXPECT_EQ(Bytes(keep), "kept");
}

TEST(FileStream, OpenModesAndErrors) {
  String path = TempPath("korvane_file_stream.bin");
  {
    TFileStream create(path, fmCreate | fmShareExclusive);
    create.WriteBuffer("abcdef", 6);
  }
  {
    TFileStream read(path, fmOpenRead | fmShareDenyNone);
    EXPECT_EQ(read.Size(), 6);
    EXPECT_EQ(read.Write("z", 1), 0) << "a read-only file takes nothing";
    EXPECT_THROW(read.WriteBuffer("z", 1), EWriteError);
  }
  {
    TFileStream write(path, fmOpenWrite);
    write.WriteBuffer("XY", 2);  // no truncation on open
  }
  {
    TFileStream both(path, fmOpenReadWrite);
    char buf[6];
    both.ReadBuffer(buf, 6);
    EXPECT_EQ(std::string(buf, 6), "XYcdef");
    EXPECT_EQ(both.FileName(), path);
  }
  {
    TFileStream again(path, fmCreate);  // create truncates
    EXPECT_EQ(again.Size(), 0);
  }
  std::remove(StringToUTF8(path).c_str());

  struct Case {
    String Name;
    Word Mode;
    std::function<bool(const Exception&)> IsRightKind;
    const char16_t* Begins;
  } cases[] = {
      {TempPath("korvane_missing.bin"), fmOpenRead,
       [](const Exception& e) { return dynamic_cast<const EFOpenError*>(&e) != nullptr; }, u"Cannot open file \""},
      {u"/nonexistent-dir/x.bin", fmCreate,
       [](const Exception& e) { return dynamic_cast<const EFCreateError*>(&e) != nullptr; }, u"Cannot create file \""},
      {UTF8ToString(::testing::TempDir()), fmOpenRead,
       [](const Exception& e) { return dynamic_cast<const EFOpenError*>(&e) != nullptr; }, u"Cannot open file \""},
      {u"", fmOpenRead,
       [](const Exception& e) { return dynamic_cast<const EFOpenError*>(&e) != nullptr; }, u"Cannot open file \""},
  };
  for (const Case& c : cases) {
    try {
      TFileStream f(c.Name, c.Mode);
      ADD_FAILURE() << StringToUTF8(c.Name) << ": opened";
    } catch (const EFileStreamError& e) {
      EXPECT_TRUE(c.IsRightKind(e)) << StringToUTF8(e.Message);
      EXPECT_EQ(e.Message.rfind(c.Begins, 0), 0u) << StringToUTF8(e.Message);
      EXPECT_NE(e.Message.find(c.Name + u"\". "), String::npos) << "names the file and gives a reason";
    }
  }
}

TEST(StringStream, DataStringAndStrings) {
  TStringStream s("abc");
  EXPECT_EQ(s.ReadString(2), "ab");
  EXPECT_EQ(s.ReadString(10), "c");
  EXPECT_EQ(s.ReadString(-1), "");
  s.WriteString("de");
  EXPECT_EQ(s.DataString(), "abcde");
  s.SetPosition(1);
  s.WriteString("X");
  EXPECT_EQ(s.DataString(), "aXcde") << "writing in the middle keeps the tail";
}

TEST(BinaryStreams, RoundTripOfEveryWidthIsLittleEndian) {
  TMemoryStream s;
  TBinaryWriter w(&s);
  w.WriteBoolean(true);
  w.WriteByte(0xAB);
  w.WriteShortInt(-2);
  w.WriteSmallInt(-300);
  w.WriteWord(0xBEEF);
  w.WriteInteger(-123456789);
  w.WriteCardinal(0xDEADBEEF);
  w.WriteInt64(std::numeric_limits<Int64>::min());
  w.WriteSingle(1.5f);
  w.WriteDouble(-0.1);
  w.WriteAnsiString(std::string("a\0b", 3));
  w.WriteWideString(u"名x");
  w.WriteAnsiString("");
  w.WriteDouble(std::numeric_limits<double>::quiet_NaN());

  s.SetPosition(0);
  TBinaryReader r(&s);
  EXPECT_TRUE(r.ReadBoolean());
  EXPECT_EQ(r.ReadByte(), 0xAB);
  EXPECT_EQ(r.ReadShortInt(), -2);
  EXPECT_EQ(r.ReadSmallInt(), -300);
  EXPECT_EQ(r.ReadWord(), 0xBEEF);
  EXPECT_EQ(r.ReadInteger(), -123456789);
  EXPECT_EQ(r.ReadCardinal(), 0xDEADBEEFu);
  EXPECT_EQ(r.ReadInt64(), std::numeric_limits<Int64>::min());
  EXPECT_EQ(r.ReadSingle(), 1.5f);
  EXPECT_EQ(r.ReadDouble(), -0.1);
  EXPECT_EQ(r.ReadAnsiString(), std::string("a\0b", 3));
  EXPECT_EQ(r.ReadWideString(), u"名x");
  EXPECT_EQ(r.ReadAnsiString(), "");
  EXPECT_TRUE(std::isnan(r.ReadDouble()));
  EXPECT_EQ(s.Position(), s.Size());

  // The byte layout is fixed.
  TMemoryStream fixed;
  TBinaryWriter fw(&fixed);
  fw.WriteInteger(0x01020304);
  fw.WriteSmallInt(-2);
  fw.WriteWideString(u"A");
  fw.WriteDouble(1.0);
  EXPECT_EQ(Bytes(fixed), std::string("\x04\x03\x02\x01\xFE\xFF\x01\0\0\0A\0\0\0\0\0\0\0\xF0\x3F", 20));
}

TEST(BinaryStreams, ShortOrCorruptInputRaisesReadError) {
  struct Case {
    const char* What;
    std::string Bytes;
    std::function<void(TBinaryReader&)> Read;
  } cases[] = {
      {"integer from 3 bytes", std::string("\1\2\3", 3), [](TBinaryReader& r) { r.ReadInteger(); }},
      {"double from nothing", "", [](TBinaryReader& r) { r.ReadDouble(); }},
      {"negative string length", std::string("\xFF\xFF\xFF\xFF", 4), [](TBinaryReader& r) { r.ReadAnsiString(); }},
      {"string longer than the stream", std::string("\x10\0\0\0abc", 7), [](TBinaryReader& r) { r.ReadAnsiString(); }},
      {"huge wide string", std::string("\xFF\xFF\xFF\x7F", 4), [](TBinaryReader& r) { r.ReadWideString(); }},
      {"wide string of odd bytes", std::string("\2\0\0\0abc", 7), [](TBinaryReader& r) { r.ReadWideString(); }},
  };
  for (const Case& c : cases) {
    TStringStream s(c.Bytes);
    TBinaryReader r(&s);
    try {
      c.Read(r);
      ADD_FAILURE() << c.What << ": no exception";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message, u"Stream read error") << c.What;
    }
  }
}

namespace {

// A read-only view of a byte string, without copying it.
class TBytesView : public TCustomMemoryStream {
public:
  explicit TBytesView(const RawByteString& Bytes) { SetPointer(const_cast<char*>(Bytes.data()), Bytes.size()); }
};

}  // namespace

TEST(CustomMemoryStream, ViewsMemoryAndRefusesWrites) {
  RawByteString text = "picture";
  TBytesView view(text);
  EXPECT_EQ(view.Memory(), text.data());
  EXPECT_EQ(view.Size(), 7);
  EXPECT_EQ(view.Write("x", 1), 0);
  EXPECT_THROW(view.WriteBuffer("x", 1), EWriteError);
  view.SetPosition(3);
  TStringStream copy;
  copy.CopyFrom(&view, 4);
  EXPECT_EQ(copy.DataString(), "ture");
  EXPECT_EQ(text, "picture");

  RawByteString empty;
  TBytesView none(empty);
  EXPECT_EQ(none.Memory(), nullptr);
  char c;
  EXPECT_EQ(none.Read(&c, 1), 0);
}

TEST(Filers, ReaderAndWriterPassRawBytesAndKeepThePosition) {
  TMemoryStream s;
  {
    TWriter writer(&s);
    Integer values[] = {7, -1};
    writer.Write(values, sizeof values);
    EXPECT_EQ(writer.Position(), 8);
  }
  s.SetPosition(0);
  TReader reader(&s);
  Integer first = 0;
  reader.Read(&first, 4);
  EXPECT_EQ(first, 7);
  EXPECT_EQ(s.Position(), 4) << "nothing is read ahead";
  Integer rest[2];
  EXPECT_THROW(reader.Read(rest, 8), EReadError);
}
