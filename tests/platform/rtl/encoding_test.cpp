#include "platform/rtl/encoding.h"

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"

TEST(Encoding, UTF8RoundTrip) {
  const char* cases[] = {"", "abc", "数据集编码:", "mixed 中文 text", "\xF0\x9F\x98\x80 emoji"};
  for (const char* c : cases) EXPECT_EQ(StringToUTF8(UTF8ToString(c)), c) << c;
  EXPECT_EQ(UTF8ToString("中").size(), 1u);
  EXPECT_EQ(UTF8ToString("\xF0\x9F\x98\x80").size(), 2u);
}

TEST(Encoding, MalformedUTF8BecomesReplacement) {
  EXPECT_EQ(UTF8ToString("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(UTF8ToString("\xE4\xB8"), u"\uFFFD\uFFFD");  // truncated sequence
  EXPECT_EQ(UTF8ToString("\xC0\x80"), u"\uFFFD");        // overlong
  EXPECT_EQ(StringToUTF8(u"\xD800x"), "\xEF\xBF\xBDx");   // lone surrogate
}

TEST(Encoding, GB2312) {
  const String text = u"元数据 metadata";
  bool lossless = false;
  const std::string bytes = StringToGB2312(text, &lossless);
  EXPECT_TRUE(lossless);
  EXPECT_EQ(bytes.substr(0, 2), "\xD4\xAA");  // 元
  EXPECT_EQ(GB2312ToString(bytes), text);
  StringToGB2312(u"a\u20AC", &lossless);  // euro sign is not in GB2312
  EXPECT_FALSE(lossless);
  EXPECT_EQ(GB2312ToString("\xD4"), u"\uFFFD");  // truncated double byte
}

TEST(Exceptions, MessageAndWhat) {
  try {
    throw EConvertError(u"'abc' 不是整数");
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message, u"'abc' 不是整数");
    EXPECT_STREQ(e.what(), "'abc' 不是整数");
  }
  EXPECT_THROW(Abort(), EAbort);
}
