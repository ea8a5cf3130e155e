// The generator against the readers: every defun it writes must come back from the scanner and
// the index exactly where it was written.
#include "bench/lsp_gen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "platform/collate.h"
#include "platform/files.h"
#include "source/decode.h"
#include "source/func_index.h"
#include "source/scanner.h"
#include "test_util.h"

namespace nokari {
namespace {

using test::utf8;

GenParams params(int lines, int defuns, double nested, uint64_t seed) {
  GenParams p;
  p.lines = lines;
  p.defuns = defuns;
  p.nested = nested;
  p.seed = seed;
  return p;
}

const CodePage& cp932() {
  static std::unique_ptr<CodePage> cp = makeCodePage(932);
  return *cp;
}

struct Shape {
  const char* what;
  GenParams p;
};

std::vector<Shape> shapes() {
  std::vector<Shape> out = {
      {"empty", params(0, 0, 0.1, 1)},
      {"filler only", params(40, 0, 0.1, 2)},
      {"one line per defun", params(50, 50, 0.5, 3)},
      {"fewer lines than defuns", params(5, 12, 0.1, 4)},
      {"tight with holders", params(90, 30, 1.0, 5)},
      {"every defun nested", params(3000, 100, 1.0, 6)},
      {"typical", params(4000, 200, 0.1, 7)},
      {"long functions", params(5000, 20, 0.3, 8)},
  };
  GenParams lf = params(2000, 100, 0.2, 9);
  lf.crlf = false;
  out.push_back({"LF", lf});
  GenParams dense = params(2000, 100, 0.2, 10);
  dense.comments = 0.6;
  dense.strings = 0.9;
  dense.nonAscii = 0.5;
  out.push_back({"dense comments and strings", dense});
  GenParams plain = params(2000, 100, 0.2, 11);
  plain.comments = 0;
  plain.strings = 0;
  plain.nonAscii = 0;
  out.push_back({"no comments, strings or Japanese", plain});
  for (uint64_t seed = 100; seed < 120; ++seed)
    out.push_back({"seeded", params(1500, 75, 0.1, seed)});
  return out;
}

TEST(LspGen, WritesExactlyTheLinesAsked) {
  for (const Shape& s : shapes()) {
    GenOutput out = generateLspDetailed(s.p);
    DecodedSource d = decodeSource(out.bytes, cp932());
    EXPECT_EQ(out.lines, std::max(s.p.lines, s.p.defuns)) << s.what;
    EXPECT_EQ(static_cast<int>(d.lines.size()), out.lines) << s.what;
    EXPECT_EQ(static_cast<int>(out.defuns.size()), s.p.defuns) << s.what;
    EXPECT_EQ(d.encoding, Encoding::Utf8) << s.what;
    const size_t crlf = static_cast<size_t>(std::count(out.bytes.begin(), out.bytes.end(), '\r'));
    EXPECT_EQ(crlf, s.p.crlf ? d.lines.size() : 0u) << s.what;
  }
}

TEST(LspGen, IndexFindsEveryDefunWhereItWasWritten) {
  for (const Shape& s : shapes()) {
    GenOutput out = generateLspDetailed(s.p);
    Lines code;
    FuncIndex index;
    stripComments(decodeSource(out.bytes, cp932()).lines, code, nullptr, 30);
    makeFuncIndex(code, index, 70, nullptr, false);

    size_t r = 0;
    for (const GenDefun& f : out.defuns) {
      ASSERT_LT(r, index.size()) << s.what << ": " << f.name << " missing";
      const FuncRecord& top = index[r++];
      ASSERT_EQ(top.kind, FuncKind::TopLevel) << s.what << ": " << utf8(top.text);
      EXPECT_EQ(utf8(top.name()), f.name) << s.what;
      EXPECT_EQ(std::make_tuple(top.startLine, top.startCol, top.endLine, top.endCol),
                std::make_tuple(f.line, f.col, f.endLine, f.endCol))
          << s.what << ": " << f.name;

      std::string params;
      for (const std::string& a : f.params) params += a + "\r\n";
      EXPECT_EQ(utf8(getDefunParams(code, f.line, f.col)), params) << s.what << ": " << f.name;

      // Its nested records follow, sorted as text; compare them as a set with what was written.
      std::multiset<std::tuple<std::string, int, int>> want, got;
      for (const GenNested& n : f.nested) want.insert({n.name, n.line, n.col});
      const size_t first = r;
      while (r < index.size() && index[r].kind == FuncKind::Nested) {
        const FuncRecord& rec = index[r++];
        EXPECT_EQ(rec.enclosing(), fromUtf8(f.name)) << s.what;
        got.insert({utf8(rec.name()), rec.startLine, rec.startCol});
      }
      EXPECT_EQ(got, want) << s.what << ": " << f.name;
      for (size_t k = first + 1; k < r; ++k)
        EXPECT_LE(compareTextIgnoreCase(index[k - 1].text, index[k].text), 0) << s.what;
    }
    EXPECT_EQ(r, index.size()) << s.what;
  }
}

TEST(LspGen, SameSeedSameBytes) {
  const GenParams p = params(3000, 150, 0.1, 77);
  EXPECT_EQ(generateLsp(p), generateLsp(p));
  GenParams other = p;
  other.seed = 78;
  EXPECT_NE(generateLsp(p), generateLsp(other));
}

TEST(LspGen, EveryEncodingDecodesToTheSameLines) {
  GenParams p = params(3000, 150, 0.2, 5);
  p.nonAscii = 0.8;
  p.encoding = GenEncoding::Utf8;
  const Lines reference = decodeSource(generateLsp(p), cp932()).lines;
  struct Case {
    GenEncoding encoding;
    Encoding label;
    const char* bom;
  };
  const Case cases[] = {
      {GenEncoding::Utf8Bom, Encoding::Utf8, "\xEF\xBB\xBF"},
      {GenEncoding::Utf16Le, Encoding::Utf8, "\xFF\xFE"},
      {GenEncoding::Utf16Be, Encoding::Utf8, "\xFE\xFF"},
      {GenEncoding::Sjis, Encoding::Ansi, ""},
  };
  for (const Case& c : cases) {
    p.encoding = c.encoding;
    const std::string bytes = generateLsp(p);
    EXPECT_EQ(bytes.substr(0, std::string(c.bom).size()), c.bom);
    DecodedSource d = decodeSource(bytes, cp932());
    EXPECT_EQ(d.encoding, c.label) << c.bom;
    if (c.encoding == GenEncoding::Sjis) {
      // Shift-JIS lacks the characters outside the BMP: only lines that hold one may differ.
      ASSERT_EQ(d.lines.size(), reference.size());
      int wide = 0;
      for (size_t i = 0; i < reference.size(); ++i) {
        const bool surrogate = std::any_of(reference[i].begin(), reference[i].end(),
                                           [](char16_t u) { return u >= 0xD800 && u <= 0xDFFF; });
        wide += surrogate;
        if (!surrogate) {
          EXPECT_EQ(utf8(d.lines[i]), utf8(reference[i])) << "line " << i + 1;
        }
      }
      EXPECT_GT(wide, 0);
    } else {
      EXPECT_EQ(utf8(d.lines), utf8(reference)) << static_cast<int>(c.encoding);
    }
  }
}

TEST(LspGen, SharesShapeTheText) {
  GenParams plain = params(3000, 150, 0.1, 12);
  plain.comments = 0;
  plain.strings = 0;
  plain.nonAscii = 0;
  const std::string bytes = generateLsp(plain);
  EXPECT_EQ(bytes.find(';'), std::string::npos);
  EXPECT_EQ(bytes.find('"'), std::string::npos);
  EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(),
                          [](char c) { return static_cast<unsigned char>(c) < 0x80; }));

  struct Case {
    double nested;
    double low, high;  // expected share of defuns holding nested ones
  };
  const Case cases[] = {{0.0, 0.0, 0.0}, {0.1, 0.07, 0.13}, {0.5, 0.45, 0.55}, {1.0, 1.0, 1.0}};
  for (const Case& c : cases) {
    GenOutput out = generateLspDetailed(params(40000, 2000, c.nested, 13));
    const double holders = static_cast<double>(std::count_if(
        out.defuns.begin(), out.defuns.end(), [](const GenDefun& f) { return !f.nested.empty(); }));
    EXPECT_GE(holders / 2000, c.low) << c.nested;
    EXPECT_LE(holders / 2000, c.high) << c.nested;
  }
}

}  // namespace
}  // namespace nokari
