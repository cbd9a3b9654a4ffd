#include "platform/db/storeddate.h"

#include "platform/rtl/datetime.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Up to MaxCount digits at I; -1 when there is none.
Integer ReadDigits(std::string_view s, size_t& i, size_t MaxCount) {
  Integer value = 0;
  size_t start = i;
  while (i < s.size() && i - start < MaxCount && IsDigit(s[i])) value = value * 10 + (s[i++] - '0');
  return i == start ? -1 : value;
}

// The blanks Trim takes away: every unit up to the space.
std::string_view Trimmed(std::string_view s) {
  size_t begin = 0, end = s.size();
  while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
  return s.substr(begin, end - begin);
}

bool ReadTime(std::string_view s, size_t& i, Integer& h, Integer& n, Integer& sec, Integer& ms) {
  if (s[i] != ' ' && s[i] != 'T') return false;
  ++i;
  h = ReadDigits(s, i, 2);
  if (h < 0 || i >= s.size() || s[i++] != ':') return false;
  n = ReadDigits(s, i, 2);
  if (n < 0) return false;
  if (i < s.size() && s[i] == ':') {
    ++i;
    sec = ReadDigits(s, i, 2);
    if (sec < 0) return false;
    if (i < s.size() && s[i] == '.') {
      ++i;
      size_t start = i;
      ms = ReadDigits(s, i, 3);
      if (ms < 0) return false;
      for (size_t k = i - start; k < 3; ++k) ms *= 10;
      while (i < s.size() && IsDigit(s[i])) ++i;
    }
  }
  return i == s.size();
}

}  // namespace

bool TryReadStoredDate(std::string_view Bytes, TDateTime& Value) {
  for (char c : Bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;  // not the stored form
  std::string_view s = Trimmed(Bytes);
  size_t i = 0;
  Integer y = ReadDigits(s, i, 4);
  if (y < 0 || i != 4 || i >= s.size() || s[i++] != '-') return false;
  Integer m = ReadDigits(s, i, 2);
  if (m < 0 || i >= s.size() || s[i++] != '-') return false;
  Integer d = ReadDigits(s, i, 2);
  TDateTime date;
  if (d < 0 || !TryEncodeDate(Word(y), Word(m), Word(d), date)) return false;
  Integer h = 0, n = 0, sec = 0, ms = 0;
  if (i < s.size() && !ReadTime(s, i, h, n, sec, ms)) return false;
  TDateTime time;
  if (!TryEncodeTime(Word(h), Word(n), Word(sec), Word(ms), time)) return false;
  Value = date >= 0 ? date + time : date - time;
  return true;
}
