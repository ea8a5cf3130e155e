#include "app/stored_file.h"

#include <gtest/gtest.h>

#include "app/file_history.h"
#include "app/settings.h"
#include "fakes/fake_files.h"
#include "source/decode.h"

namespace nokari {
namespace {

// Bytes of text in one of the stored encodings.
std::string bytesOf(const Text& text, StoredEncoding e, const CodePage& cp932) {
  std::string out;
  switch (e) {
    case StoredEncoding::Ansi:
      return *cp932.encode(text);
    case StoredEncoding::Utf8:
      return toUtf8(text);
    case StoredEncoding::Utf8Bom:
      return "\xEF\xBB\xBF" + toUtf8(text);
    case StoredEncoding::Utf16Le:
      out = "\xFF\xFE";
      appendUtf16(out, text, false);
      return out;
    case StoredEncoding::Utf16Be:
      out = "\xFE\xFF";
      appendUtf16(out, text, true);
      return out;
  }
  return out;
}

// An INI with a foreign section in Japanese; only LspFullName differs between two of them.
Text iniText(const Text& lspFullName, const Text& eol) {
  return u"; 設定" + eol + u"[データ]" + eol + u"名前=テスト" + eol + u"[Nokari]" + eol +
         u"TargetEditor=2" + eol + u"JumpCheak=1" + eol + u"ReloadCheak=0" + eol + u"LspFullName=" +
         lspFullName + eol + u"[後]" + eol + u"x = 値";
}

TEST(StoredFile, SettingsRoundTripChangesOnlyTheChangedKey) {
  const auto cp932 = makeCodePage(932);
  struct Case {
    StoredEncoding encoding;
    const char16_t* eol;
  };
  const Case cases[] = {
      {StoredEncoding::Ansi, u"\r\n"},    {StoredEncoding::Utf8, u"\r\n"},
      {StoredEncoding::Utf8, u"\n"},      {StoredEncoding::Utf8Bom, u"\r\n"},
      {StoredEncoding::Utf16Le, u"\r\n"}, {StoredEncoding::Utf16Be, u"\n"},
      {StoredEncoding::Ansi, u"\r"},
  };
  Settings changed;
  changed.targetEditor = 2;
  changed.lspFullName = u"C:\\データ\\テスト.lsp";
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.encoding) * 10 + c.eol[0]);
    test::FakeFiles files;
    files.put(u"/p/Nokari.ini", bytesOf(iniText(u"C:\\a.lsp", c.eol), c.encoding, *cp932));
    const SettingsRead read = readSettings(u"/p/Nokari.ini", files, *cp932);
    ASSERT_EQ(read.read.status, StoredRead::Read);
    EXPECT_EQ(read.values.lspFullName, u"C:\\a.lsp");
    EXPECT_EQ(writeSettings(u"/p/Nokari.ini", changed, read.read, files, *cp932), std::nullopt);
    EXPECT_EQ(files.content[u"/p/Nokari.ini"],
              bytesOf(iniText(changed.lspFullName, c.eol), c.encoding, *cp932));
  }
}

TEST(StoredFile, HistoryKeepsItsEncoding) {
  const auto cp932 = makeCodePage(932);
  for (StoredEncoding e : {StoredEncoding::Ansi, StoredEncoding::Utf8, StoredEncoding::Utf8Bom,
                           StoredEncoding::Utf16Le, StoredEncoding::Utf16Be}) {
    test::FakeFiles files;
    files.put(u"/p/h.txt", bytesOf(u"C:\\データ\\テスト.lsp\r\nC:\\b.lsp\r\n", e, *cp932));
    FileHistory h = loadFileHistory(u"/p/h.txt", files, *cp932);
    EXPECT_EQ(h.entries, (TextList{u"C:\\データ\\テスト.lsp", u"C:\\b.lsp"}));
    addToFileHistory(h.entries, u"C:\\b.lsp");
    EXPECT_EQ(writeFileHistory(u"/p/h.txt", h, files, *cp932), std::nullopt);
    EXPECT_EQ(files.content[u"/p/h.txt"],
              bytesOf(u"C:\\b.lsp\r\nC:\\データ\\テスト.lsp\r\n", e, *cp932));
  }
}

TEST(StoredFile, WhatIsNotReadExactlyIsNeverWritten) {
  const auto cp932 = makeCodePage(932);
  struct Case {
    const char* name;
    std::string bytes;
    StoredRead::Status status;
  };
  const Case cases[] = {
      {"UTF-16 without a mark", std::string("[\0N\0]\0\r\0\n\0", 10), StoredRead::Inexact},
      {"NUL in ANSI text", std::string("a=1\0\r\n", 6), StoredRead::Inexact},
      {"a lead byte cut off", "[Nokari]\r\nx=\x83", StoredRead::Inexact},
      {"UTF-16 with an odd byte", "\xFF\xFE[\0N", StoredRead::Inexact},
      {"no line break at the end", "[Nokari]\r\nx=1", StoredRead::Read},
      {"empty", "", StoredRead::Read},
  };
  for (const Case& c : cases) {
    test::FakeFiles files;
    files.put(u"/p/x.ini", c.bytes);
    const SettingsRead read = readSettings(u"/p/x.ini", files, *cp932);
    EXPECT_EQ(read.read.status, c.status) << c.name;
    const auto why = writeSettings(u"/p/x.ini", Settings{}, read.read, files, *cp932);
    EXPECT_EQ(why.has_value(), c.status != StoredRead::Read) << c.name;
    if (why) {
      EXPECT_EQ(files.content[u"/p/x.ini"], c.bytes) << c.name;
      EXPECT_EQ(files.writes, 0) << c.name;
    }
  }
}

}  // namespace
}  // namespace nokari
