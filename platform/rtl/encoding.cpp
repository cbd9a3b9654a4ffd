#include "platform/rtl/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUTF16(String& out, char32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<Char>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<Char>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<Char>(cp));
  }
}

void AppendUTF8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at `i`; advances `i` past it (or past one bad byte).
char32_t DecodeUTF8(std::string_view s, size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  int len = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if (b0 < 0x80) {
    ++i;
    return b0;
  } else if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    ++i;
    return kReplacement;
  }
  if (i + len > s.size()) {
    ++i;
    return kReplacement;
  }
  for (int k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  i += len;
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
  return cp;
}

class Iconv {
public:
  Iconv(const char* to, const char* from) : FHandle(iconv_open(to, from)) {
    if (FHandle == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  }
  ~Iconv() { iconv_close(FHandle); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // Converts one unit of input; answers false when the input cannot be converted.
  bool Convert(const char* in, size_t inLen, std::string& out) {
    iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
    char buf[16];
    char* inp = const_cast<char*>(in);
    char* outp = buf;
    size_t outLeft = sizeof buf;
    if (iconv(FHandle, &inp, &inLen, &outp, &outLeft) == static_cast<size_t>(-1)) return false;
    if (iconv(FHandle, nullptr, nullptr, &outp, &outLeft) == static_cast<size_t>(-1)) return false;
    out.append(buf, outp);
    return true;
  }

private:
  iconv_t FHandle;
};

}  // namespace

String UTF8ToString(std::string_view utf8) {
  String out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) AppendUTF16(out, DecodeUTF8(utf8, i));
  return out;
}

std::string StringToUTF8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUTF8(out, c);
  }
  return out;
}

String GB2312ToString(std::string_view bytes) {
  Iconv conv("UTF-8", "GB2312");
  String out;
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    std::string utf8;
    if (i + 1 < bytes.size() && conv.Convert(bytes.data() + i, 2, utf8)) {
      out += UTF8ToString(utf8);
      i += 2;
    } else {
      out.push_back(static_cast<Char>(kReplacement));
      ++i;
    }
  }
  return out;
}

std::string StringToGB2312(std::u16string_view text, bool* lossless) {
  Iconv conv("GB2312", "UTF-8");
  std::string out;
  bool kept = true;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] < 0x80) {
      out.push_back(static_cast<char>(text[i]));
      continue;
    }
    size_t n = (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size()) ? 2 : 1;
    const std::string utf8 = StringToUTF8(text.substr(i, n));
    if (!conv.Convert(utf8.data(), utf8.size(), out)) {
      out.push_back('?');
      kept = false;
    }
    i += n - 1;
  }
  if (lossless) *lossless = kept;
  return out;
}

String Latin1ToString(std::string_view bytes) {
  String out;
  out.reserve(bytes.size());
  for (unsigned char b : bytes) out.push_back(b);
  return out;
}
