#include "platform/rtl/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"

namespace {

constexpr Integer CopyChunk = 64 * 1024;

[[noreturn]] void InvalidPosition() { throw EStreamError(u"Invalid stream position"); }

[[noreturn]] void TooLarge() { throw EStreamError(u"Stream too large"); }

// The position Seek arrives at in a memory or string stream, checked
// against the start and the size limit. Current and Size are within the
// limit, so the sum cannot overflow once Offset is.
Int64 SeekTarget(Int64 Offset, TSeekOrigin Origin, Int64 Current, Int64 Size) {
  Int64 base = Origin == soBeginning ? 0 : (Origin == soCurrent ? Current : Size);
  if (Offset > MaxMemoryStreamSize || Offset < -MaxMemoryStreamSize) InvalidPosition();
  Int64 target = base + Offset;
  if (target < 0 || target > MaxMemoryStreamSize) InvalidPosition();
  return target;
}

// The end of a write of Count bytes at Position, within the limit.
Int64 WriteEnd(Int64 Position, Integer Count) {
  if (Count > MaxMemoryStreamSize - Position) TooLarge();
  return Position + Count;
}

void CheckSize(Int64 Size) {
  if (Size < 0) throw EStreamError(u"Invalid stream size");
  if (Size > MaxMemoryStreamSize) TooLarge();
}

// Reads up to Count bytes of Data from Position on (a memory block or string).
template <class Bytes>
Integer ReadFrom(const Bytes& Data, Int64& Position, void* Buffer, Integer Count) {
  Int64 size = static_cast<Int64>(Data.size());
  if (Count <= 0 || Position >= size) return 0;
  Integer n = static_cast<Integer>(std::min<Int64>(Count, size - Position));
  std::memcpy(Buffer, Data.data() + Position, n);
  Position += n;
  return n;
}

// Writes Count bytes into Data at Position, growing it as needed.
template <class Bytes>
Integer WriteTo(Bytes& Data, Int64& Position, const void* Buffer, Integer Count) {
  if (Count <= 0) return 0;
  Int64 end = WriteEnd(Position, Count);
  if (end > static_cast<Int64>(Data.size())) Data.resize(static_cast<size_t>(end));
  std::memcpy(Data.data() + Position, Buffer, Count);
  Position = end;
  return Count;
}

String SystemReason(int error) { return UTF8ToString(std::strerror(error)); }

}  // namespace

// ---- TStream --------------------------------------------------------------------------

void TStream::ReadBuffer(void* Buffer, Integer Count) {
  auto* p = static_cast<unsigned char*>(Buffer);
  while (Count > 0) {
    Integer n = Read(p, Count);
    if (n <= 0) throw EReadError(u"Stream read error");
    p += n;
    Count -= n;
  }
}

void TStream::WriteBuffer(const void* Buffer, Integer Count) {
  auto* p = static_cast<const unsigned char*>(Buffer);
  while (Count > 0) {
    Integer n = Write(p, Count);
    if (n <= 0) throw EWriteError(u"Stream write error");
    p += n;
    Count -= n;
  }
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count) {
  if (Count <= 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  std::vector<unsigned char> buffer(static_cast<size_t>(std::min<Int64>(Count, CopyChunk)));
  for (Int64 left = Count; left > 0;) {
    Integer n = static_cast<Integer>(std::min<Int64>(left, CopyChunk));
    Source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return Count;
}

Int64 TStream::Position() { return Seek(0, soCurrent); }

void TStream::SetPosition(Int64 Value) { Seek(Value, soBeginning); }

Int64 TStream::Size() {
  Int64 position = Seek(0, soCurrent);
  Int64 size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

void TStream::SetSize(Int64) { throw EStreamError(u"Stream size cannot be changed"); }

// ---- TCustomMemoryStream -------------------------------------------------------------

Integer TCustomMemoryStream::Read(void* Buffer, Integer Count) {
  if (Count <= 0 || FPosition >= FSize) return 0;
  Integer n = static_cast<Integer>(std::min<Int64>(Count, FSize - FPosition));
  std::memcpy(Buffer, static_cast<const Byte*>(FMemory) + FPosition, n);
  FPosition += n;
  return n;
}

Integer TCustomMemoryStream::Write(const void*, Integer) { return 0; }

Int64 TCustomMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  FPosition = SeekTarget(Offset, Origin, FPosition, FSize);
  return FPosition;
}

void TCustomMemoryStream::SetPointer(void* Ptr, Int64 Size) {
  FMemory = Size > 0 ? Ptr : nullptr;
  FSize = Size > 0 ? Size : 0;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
  const Byte* data = static_cast<const Byte*>(FMemory);
  for (Int64 done = 0; done < FSize;) {
    Integer n = static_cast<Integer>(std::min<Int64>(FSize - done, CopyChunk));
    Stream->WriteBuffer(data + done, n);
    done += n;
  }
}

void TCustomMemoryStream::SaveToFile(const String& FileName) {
  TFileStream file(FileName, fmCreate);
  SaveToStream(&file);
}

// ---- TMemoryStream --------------------------------------------------------------------

TMemoryStream::~TMemoryStream() = default;

void TMemoryStream::Adopt(std::vector<Byte>&& Data) {
  FData = std::move(Data);
  SetPointer(FData.data(), static_cast<Int64>(FData.size()));
}

Integer TMemoryStream::Write(const void* Buffer, Integer Count) {
  if (Count <= 0) return 0;
  Int64 end = WriteEnd(FPosition, Count);
  if (end > Size()) {
    FData.resize(static_cast<size_t>(end));
    SetPointer(FData.data(), end);
  }
  std::memcpy(FData.data() + FPosition, Buffer, Count);
  FPosition = end;
  return Count;
}

void TMemoryStream::SetSize(Int64 NewSize) {
  CheckSize(NewSize);
  FData.resize(static_cast<size_t>(NewSize));
  SetPointer(FData.data(), NewSize);
  FPosition = std::min(FPosition, NewSize);
}

void TMemoryStream::Clear() {
  Adopt(std::vector<Byte>());
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  Stream->SetPosition(0);
  Int64 size = Stream->Size();
  CheckSize(size);
  std::vector<Byte> data(static_cast<size_t>(size));
  for (Int64 done = 0; done < size;) {
    Integer n = static_cast<Integer>(std::min<Int64>(size - done, CopyChunk));
    Stream->ReadBuffer(data.data() + done, n);
    done += n;
  }
  Adopt(std::move(data));  // nothing is replaced when the read fails
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const String& FileName) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

// ---- TFileStream ----------------------------------------------------------------------

TFileStream::TFileStream(const String& AFileName, Word Mode) : FFileName(AFileName) {
  std::string path = StringToUTF8(AFileName);
  bool create = (Mode & fmCreate) == fmCreate;
  int flags = O_CLOEXEC;
  if (create)
    flags |= O_RDWR | O_CREAT | O_TRUNC;
  else
    switch (Mode & 0x3) {
      case fmOpenWrite: flags |= O_WRONLY; break;
      case fmOpenReadWrite: flags |= O_RDWR; break;
      default: flags |= O_RDONLY; break;
    }
  int error = 0;
  if (path.empty() || path.find('\0') != std::string::npos) {
    error = ENOENT;
  } else {
    do FHandle = ::open(path.c_str(), flags, 0666);
    while (FHandle < 0 && errno == EINTR);
    if (FHandle < 0) error = errno;
  }
  struct stat info;
  if (FHandle >= 0 && ::fstat(FHandle, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(FHandle);
    FHandle = -1;
    error = EISDIR;
  }
  if (FHandle < 0) {
    String text = u"\"" + AFileName + u"\". " + SystemReason(error);
    if (create) throw EFCreateError(u"Cannot create file " + text);
    throw EFOpenError(u"Cannot open file " + text);
  }
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

Integer TFileStream::Read(void* Buffer, Integer Count) {
  if (Count <= 0) return 0;
  ssize_t n;
  do n = ::read(FHandle, Buffer, static_cast<size_t>(Count));
  while (n < 0 && errno == EINTR);
  return n < 0 ? 0 : static_cast<Integer>(n);
}

Integer TFileStream::Write(const void* Buffer, Integer Count) {
  if (Count <= 0) return 0;
  ssize_t n;
  do n = ::write(FHandle, Buffer, static_cast<size_t>(Count));
  while (n < 0 && errno == EINTR);
  return n < 0 ? 0 : static_cast<Integer>(n);
}

Int64 TFileStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  int whence = Origin == soBeginning ? SEEK_SET : (Origin == soCurrent ? SEEK_CUR : SEEK_END);
  off_t result = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
  if (result < 0) InvalidPosition();
  return static_cast<Int64>(result);
}

void TFileStream::SetSize(Int64 NewSize) {
  if (NewSize < 0 || ::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
    throw EStreamError(u"Cannot change the size of file \"" + FFileName + u"\"");
  if (Position() > NewSize) SetPosition(NewSize);
}

// ---- TStringStream --------------------------------------------------------------------

Integer TStringStream::Read(void* Buffer, Integer Count) {
  return ReadFrom(FDataString, FPosition, Buffer, Count);
}

Integer TStringStream::Write(const void* Buffer, Integer Count) {
  return WriteTo(FDataString, FPosition, Buffer, Count);
}

Int64 TStringStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  FPosition = SeekTarget(Offset, Origin, FPosition, Size());
  return FPosition;
}

void TStringStream::SetSize(Int64 NewSize) {
  CheckSize(NewSize);
  FDataString.resize(static_cast<size_t>(NewSize));
  FPosition = std::min(FPosition, NewSize);
}

RawByteString TStringStream::ReadString(Integer Count) {
  Int64 left = std::max<Int64>(0, Size() - FPosition);
  RawByteString result(static_cast<size_t>(std::clamp<Int64>(Count, 0, left)), '\0');
  Read(result.data(), static_cast<Integer>(result.size()));
  return result;
}

void TStringStream::WriteString(const RawByteString& AString) {
  WriteBuffer(AString.data(), static_cast<Integer>(AString.size()));
}

// ---- Typed values ---------------------------------------------------------------------

namespace {

template <class T>
void PutLE(TStream* Stream, T Value) {
  static_assert(std::is_integral_v<T>);
  using U = std::make_unsigned_t<T>;
  U u = static_cast<U>(Value);
  unsigned char bytes[sizeof(T)];
  for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<unsigned char>(u >> (8 * i));
  Stream->WriteBuffer(bytes, sizeof(T));
}

template <class T>
T GetLE(TStream* Stream) {
  static_assert(std::is_integral_v<T>);
  using U = std::make_unsigned_t<T>;
  unsigned char bytes[sizeof(T)];
  Stream->ReadBuffer(bytes, sizeof(T));
  U u = 0;
  for (size_t i = 0; i < sizeof(T); ++i) u |= static_cast<U>(static_cast<U>(bytes[i]) << (8 * i));
  return static_cast<T>(u);
}

}  // namespace

void TBinaryWriter::WriteBoolean(bool Value) { PutLE<Byte>(FStream, Value ? 1 : 0); }
void TBinaryWriter::WriteByte(Byte Value) { PutLE(FStream, Value); }
void TBinaryWriter::WriteShortInt(ShortInt Value) { PutLE(FStream, Value); }
void TBinaryWriter::WriteSmallInt(SmallInt Value) { PutLE(FStream, Value); }
void TBinaryWriter::WriteWord(Word Value) { PutLE(FStream, Value); }
void TBinaryWriter::WriteInteger(Integer Value) { PutLE(FStream, Value); }
void TBinaryWriter::WriteCardinal(Cardinal Value) { PutLE(FStream, Value); }
void TBinaryWriter::WriteInt64(Int64 Value) { PutLE(FStream, Value); }

void TBinaryWriter::WriteSingle(float Value) {
  std::uint32_t bits;
  std::memcpy(&bits, &Value, sizeof bits);
  PutLE(FStream, bits);
}

void TBinaryWriter::WriteDouble(double Value) {
  std::uint64_t bits;
  std::memcpy(&bits, &Value, sizeof bits);
  PutLE(FStream, bits);
}

void TBinaryWriter::WriteAnsiString(const RawByteString& Value) {
  if (Value.size() > static_cast<size_t>(std::numeric_limits<Integer>::max()))
    throw EWriteError(u"Stream write error");
  WriteInteger(static_cast<Integer>(Value.size()));
  FStream->WriteBuffer(Value.data(), static_cast<Integer>(Value.size()));
}

void TBinaryWriter::WriteWideString(const String& Value) {
  if (Value.size() > static_cast<size_t>(std::numeric_limits<Integer>::max() / 2))
    throw EWriteError(u"Stream write error");
  WriteInteger(static_cast<Integer>(Value.size()));
  std::string bytes(Value.size() * 2, '\0');
  for (size_t i = 0; i < Value.size(); ++i) {
    bytes[2 * i] = static_cast<char>(Value[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(Value[i] >> 8);
  }
  FStream->WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
}

void TBinaryWriter::WriteBytes(const void* Buffer, Integer Count) { FStream->WriteBuffer(Buffer, Count); }

bool TBinaryReader::ReadBoolean() { return GetLE<Byte>(FStream) != 0; }
Byte TBinaryReader::ReadByte() { return GetLE<Byte>(FStream); }
ShortInt TBinaryReader::ReadShortInt() { return GetLE<ShortInt>(FStream); }
SmallInt TBinaryReader::ReadSmallInt() { return GetLE<SmallInt>(FStream); }
Word TBinaryReader::ReadWord() { return GetLE<Word>(FStream); }
Integer TBinaryReader::ReadInteger() { return GetLE<Integer>(FStream); }
Cardinal TBinaryReader::ReadCardinal() { return GetLE<Cardinal>(FStream); }
Int64 TBinaryReader::ReadInt64() { return GetLE<Int64>(FStream); }

float TBinaryReader::ReadSingle() {
  std::uint32_t bits = GetLE<std::uint32_t>(FStream);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

double TBinaryReader::ReadDouble() {
  std::uint64_t bits = GetLE<std::uint64_t>(FStream);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void TBinaryReader::CheckLength(Integer Length, Integer UnitSize) {
  if (Length < 0) throw EReadError(u"Stream read error");
  Int64 left = FStream->Size() - FStream->Position();
  if (static_cast<Int64>(Length) * UnitSize > left) throw EReadError(u"Stream read error");
}

RawByteString TBinaryReader::ReadAnsiString() {
  Integer length = ReadInteger();
  CheckLength(length, 1);
  RawByteString result(static_cast<size_t>(length), '\0');
  FStream->ReadBuffer(result.data(), length);
  return result;
}

String TBinaryReader::ReadWideString() {
  Integer count = ReadInteger();
  CheckLength(count, 2);
  std::string bytes(static_cast<size_t>(count) * 2, '\0');
  FStream->ReadBuffer(bytes.data(), count * 2);
  String result(static_cast<size_t>(count), u'\0');
  for (size_t i = 0; i < result.size(); ++i)
    result[i] = static_cast<Char>(static_cast<unsigned char>(bytes[2 * i]) |
                                  (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  return result;
}

void TBinaryReader::ReadBytes(void* Buffer, Integer Count) { FStream->ReadBuffer(Buffer, Count); }
