#pragma once
// Streams: TStream and its memory, file and string forms, and typed readers
// and writers of little-endian values on any stream.
#include <vector>

#include "platform/rtl/object.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// The largest position and size of a memory or string stream. Counts of a
// single read or write are Integer, and so are the offsets callers take into
// Memory(); a larger block is a damaged length or hostile input, and asking
// for it would overflow the size arithmetic or exhaust memory.
inline constexpr Int64 MaxMemoryStreamSize = 0x7FFFFFFF;
// The older names of the origins.
inline constexpr TSeekOrigin soFromBeginning = soBeginning;
inline constexpr TSeekOrigin soFromCurrent = soCurrent;
inline constexpr TSeekOrigin soFromEnd = soEnd;

class TStream : public TObject {
  KORVANE_CLASS(TStream, TObject)

  // Up to Count bytes; answers how many were read (0 at the end).
  virtual Integer Read(void* Buffer, Integer Count) = 0;
  // Up to Count bytes; answers how many were written.
  virtual Integer Write(const void* Buffer, Integer Count) = 0;
  // Moves the position; answers the new position. A position before the
  // start raises EStreamError.
  virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;

  // Exactly Count bytes, or EReadError "Stream read error" (the position
  // then stands after the bytes that could be read).
  void ReadBuffer(void* Buffer, Integer Count);
  // Exactly Count bytes, or EWriteError "Stream write error".
  void WriteBuffer(const void* Buffer, Integer Count);
  // Copies Count bytes from Source's position; Count 0 copies the whole of
  // Source from its start. Answers the bytes copied; a short source raises
  // EReadError.
  Int64 CopyFrom(TStream* Source, Int64 Count);

  Int64 Position();
  void SetPosition(Int64 Value);
  virtual Int64 Size();
  // Raises EStreamError when the stream cannot change its size.
  virtual void SetSize(Int64 NewSize);
};

// A stream over a block of memory it does not manage: descendants say where
// the block is (SetPointer). Writing is refused (answers 0) unless a
// descendant allows it.
class TCustomMemoryStream : public TStream {
  KORVANE_CLASS(TCustomMemoryStream, TStream)

  Integer Read(void* Buffer, Integer Count) override;
  Integer Write(const void* Buffer, Integer Count) override;
  // Any position from the start to MaxMemoryStreamSize (EStreamError
  // outside); reading past the end gives nothing.
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  Int64 Size() override { return FSize; }

  // The bytes (valid until the size changes); nullptr when empty.
  void* Memory() const { return FMemory; }
  void SaveToStream(TStream* Stream);
  void SaveToFile(const String& FileName);

protected:
  void SetPointer(void* Ptr, Int64 Size);
  Int64 FPosition = 0;

private:
  void* FMemory = nullptr;
  Int64 FSize = 0;
};

// A memory stream that owns its block and grows as it is written.
class TMemoryStream : public TCustomMemoryStream {
  KORVANE_CLASS(TMemoryStream, TCustomMemoryStream)

  TMemoryStream() = default;
  ~TMemoryStream() override;

  // Raises EStreamError when the stream would grow past
  // MaxMemoryStreamSize.
  Integer Write(const void* Buffer, Integer Count) override;
  // New bytes are zero; the position is kept, but not past the new end.
  // Raises EStreamError for a size below 0 or past MaxMemoryStreamSize.
  void SetSize(Int64 NewSize) override;

  void Clear();
  // Replaces the contents with the whole of Stream (read from its start);
  // the position goes to 0. On failure (EStreamError for a source larger
  // than MaxMemoryStreamSize) the contents stay as they were.
  void LoadFromStream(TStream* Stream);
  void LoadFromFile(const String& FileName);

private:
  void Adopt(std::vector<Byte>&& Data);
  std::vector<Byte> FData;
};

// File open modes: one access mode (or fmCreate) combined with a share mode.
// Share modes are accepted and have no effect.
inline constexpr Word fmCreate = 0xFF00;  // create or truncate, read and write
inline constexpr Word fmOpenRead = 0x0000;
inline constexpr Word fmOpenWrite = 0x0001;
inline constexpr Word fmOpenReadWrite = 0x0002;
inline constexpr Word fmShareCompat = 0x0000;
inline constexpr Word fmShareExclusive = 0x0010;
inline constexpr Word fmShareDenyWrite = 0x0020;
inline constexpr Word fmShareDenyRead = 0x0030;
inline constexpr Word fmShareDenyNone = 0x0040;

class TFileStream : public TStream {
  KORVANE_CLASS(TFileStream, TStream)

  // Raises EFCreateError "Cannot create file "<name>". <reason>" or
  // EFOpenError "Cannot open file "<name>". <reason>".
  TFileStream(const String& AFileName, Word Mode);
  ~TFileStream() override;

  Integer Read(void* Buffer, Integer Count) override;
  Integer Write(const void* Buffer, Integer Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  void SetSize(Int64 NewSize) override;

  const String& FileName() const { return FFileName; }
  int Handle() const { return FHandle; }

private:
  String FFileName;
  int FHandle = -1;
};

// A stream over a byte string; positions and sizes are limited as in a
// memory stream (MaxMemoryStreamSize).
class TStringStream : public TStream {
  KORVANE_CLASS(TStringStream, TStream)

  TStringStream() = default;
  explicit TStringStream(const RawByteString& AString) : FDataString(AString) {}

  Integer Read(void* Buffer, Integer Count) override;
  Integer Write(const void* Buffer, Integer Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  Int64 Size() override { return static_cast<Int64>(FDataString.size()); }
  void SetSize(Int64 NewSize) override;

  const RawByteString& DataString() const { return FDataString; }
  // Up to Count bytes from the position.
  RawByteString ReadString(Integer Count);
  void WriteString(const RawByteString& AString);

private:
  RawByteString FDataString;
  Int64 FPosition = 0;
};

// ---- Typed values on a stream ---------------------------------------------------------
// Little-endian, fixed widths. Every read or write goes through ReadBuffer or
// WriteBuffer, so a short stream raises EReadError and a refusing one
// EWriteError.

class TBinaryWriter {
public:
  explicit TBinaryWriter(TStream* AStream) : FStream(AStream) {}
  TStream* Stream() const { return FStream; }

  void WriteBoolean(bool Value);     // 1 byte, 0 or 1
  void WriteByte(Byte Value);        // 1 byte
  void WriteShortInt(ShortInt Value);
  void WriteSmallInt(SmallInt Value);  // 2 bytes
  void WriteWord(Word Value);          // 2 bytes
  void WriteInteger(Integer Value);    // 4 bytes
  void WriteCardinal(Cardinal Value);  // 4 bytes
  void WriteInt64(Int64 Value);        // 8 bytes
  void WriteSingle(float Value);       // 4 bytes IEEE
  void WriteDouble(double Value);      // 8 bytes IEEE
  // 4-byte length n, then n bytes.
  void WriteAnsiString(const RawByteString& Value);
  // 4-byte count n of UTF-16 units, then 2n bytes.
  void WriteWideString(const String& Value);
  void WriteBytes(const void* Buffer, Integer Count);

private:
  TStream* FStream;
};

class TBinaryReader {
public:
  explicit TBinaryReader(TStream* AStream) : FStream(AStream) {}
  TStream* Stream() const { return FStream; }

  bool ReadBoolean();  // any non-zero byte is true
  Byte ReadByte();
  ShortInt ReadShortInt();
  SmallInt ReadSmallInt();
  Word ReadWord();
  Integer ReadInteger();
  Cardinal ReadCardinal();
  Int64 ReadInt64();
  float ReadSingle();
  double ReadDouble();
  // A negative length, or one longer than what is left in the stream,
  // raises EReadError before anything is allocated.
  RawByteString ReadAnsiString();
  String ReadWideString();
  void ReadBytes(void* Buffer, Integer Count);

private:
  void CheckLength(Integer Length, Integer UnitSize);
  TStream* FStream;
};

// ---- Filers ------------------------------------------------------------------------------
// A reader or writer of raw bytes on a stream, for the objects that read and
// write their own binary form through a filer. Each call goes straight to
// the stream (no buffering), so the stream's position is always current.

class TFiler : public TObject {
  KORVANE_CLASS(TFiler, TObject)
  explicit TFiler(TStream* AStream) : FStream(AStream) {}
  TStream* Stream() const { return FStream; }
  Int64 Position() const { return FStream->Position(); }
  void SetPosition(Int64 Value) { FStream->SetPosition(Value); }

private:
  TStream* FStream;
};

class TReader : public TFiler {
  KORVANE_CLASS(TReader, TFiler)
  using TFiler::TFiler;
  // Exactly Count bytes, or EReadError.
  void Read(void* Buffer, Integer Count) { Stream()->ReadBuffer(Buffer, Count); }
};

class TWriter : public TFiler {
  KORVANE_CLASS(TWriter, TFiler)
  using TFiler::TFiler;
  // Exactly Count bytes, or EWriteError.
  void Write(const void* Buffer, Integer Count) { Stream()->WriteBuffer(Buffer, Count); }
};
