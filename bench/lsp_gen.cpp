#include "bench/lsp_gen.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"

namespace nokari {

namespace {

// splitmix64: the same stream on every platform and standard library, unlike <random>'s
// distributions.
class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed) {}
  uint64_t next() {
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n-1 (0 when n <= 0).
  int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<uint64_t>(n)); }
  // lo .. hi inclusive.
  int range(int lo, int hi) { return hi <= lo ? lo : lo + below(hi - lo + 1); }
  double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
  bool chance(double p) { return unit() < p; }
  template <class T, size_t N>
  const T& pick(const T (&a)[N]) {
    return a[below(static_cast<int>(N))];
  }
  template <class T>
  const T& pick(const std::vector<T>& v) {
    return v[below(static_cast<int>(v.size()))];
  }

 private:
  uint64_t s_;
};

const char* const kWords[] = {"draw",  "box",   "line",   "circle", "layer",  "text",   "dim",
                              "area",  "point", "sel",    "block",  "attr",   "insert", "scale",
                              "move",  "copy",  "rotate", "offset", "export", "import", "calc",
                              "len",   "list",  "str",    "util",   "ent",    "grid",   "mark",
                              "label", "table", "hatch",  "xref",   "view",   "plot",   "purge"};
const char* const kVars[] = {"pt",  "pt1", "pt2",  "ent",  "ss",  "i",    "n",    "lst",
                             "str", "ang", "dist", "rad",  "obj", "doc",  "lay",  "cnt",
                             "val", "res", "idx",  "elst", "nm",  "msg",  "tmp",  "k",
                             "ht",  "wid", "ins",  "sc",   "os",  "cmde", "acad", "sp"};
const char* const kGlobals[] = {"*g-count*",   "*g-layer*", "*g-scale*",
                                "*g-last-pt*", "*g-mode*",  "*g-text-h*"};
const char* const kNumbers[] = {"0",   "1",  "2",   "10", "0.5",  "1.0",
                                "2.5", "-1", "100", "pi", "45.0", "1e-6"};
const char* const kSymbols[] = {"T", "nil", "'cons", "'acad_colordlg"};

const char* const kEnglish[] = {"Select objects",
                                "Specify first point",
                                "Specify next point",
                                "Done",
                                "Layer not found",
                                "Enter radius",
                                "Bad input, try again",
                                "Processing",
                                "Total count",
                                "Nothing selected",
                                "Block name",
                                "Text height",
                                "Export finished",
                                "Scale factor",
                                "Pick a polyline",
                                "Options [Yes/No]",
                                "Removed duplicates",
                                "Current layer is",
                                "Distance",
                                "Angle in degrees"};
// Only characters that CP932 has: the Shift-JIS writer below knows exactly these.
const std::string kJapanese[] = {"図面の線を選択してください",
                                 "基点を指定",
                                 "完了しました",
                                 "画層がありません",
                                 "半径を入力",
                                 "処理を開始します",
                                 "ファイルを保存します",
                                 "文字の高さ",
                                 "距離：",
                                 "角度（度）",
                                 "【注意】次の処理で削除します",
                                 "ブロック名を入力",
                                 "ポリラインを作成",
                                 "寸法の一覧",
                                 "ソース表示",
                                 "確認してください！",
                                 "座標の値",
                                 "新しい名前",
                                 "画層を移動して複写",
                                 "変数の設定",
                                 "関数の番号",
                                 "選択に失敗しました",
                                 "出力の前に確認",
                                 "古いテキストを削除",
                                 "コマンド終了。",
                                 "能力の予定",
                                 "「外」と「内」",
                                 "読込と書込",
                                 "円の半径を取得する",
                                 "入力値が不正です？"};
// Outside CP932 (a surrogate pair); used only when the output is Unicode.
const std::string kWideJapanese[] = {"𠮷の図面", "𩸽を選択"};

const char* const kBuiltinCalls[] = {"car",  "cdr",  "cadr",  "length", "reverse", "last",
                                     "abs",  "fix",  "float", "itoa",   "atoi",    "atof",
                                     "type", "null", "not",   "boundp", "eval",    "read"};

struct SjisEntry {
  char16_t cp;
  uint16_t code;
};

// Code point -> CP932, sorted by code point, for the characters of kJapanese.
constexpr SjisEntry kSjis[] = {
    {0x3000, 0x8140}, {0x3001, 0x8141}, {0x3002, 0x8142}, {0x300C, 0x8175}, {0x300D, 0x8176},
    {0x3010, 0x8179}, {0x3011, 0x817A}, {0x3042, 0x82A0}, {0x3044, 0x82A2}, {0x304C, 0x82AA},
    {0x304F, 0x82AD}, {0x3055, 0x82B3}, {0x3057, 0x82B5}, {0x3059, 0x82B7}, {0x305B, 0x82B9},
    {0x305F, 0x82BD}, {0x3060, 0x82BE}, {0x3066, 0x82C4}, {0x3067, 0x82C5}, {0x3068, 0x82C6},
    {0x306B, 0x82C9}, {0x306E, 0x82CC}, {0x306F, 0x82CD}, {0x307E, 0x82DC}, {0x308A, 0x82E8},
    {0x308B, 0x82E9}, {0x3092, 0x82F0}, {0x3093, 0x82F1}, {0x30A1, 0x8340}, {0x30A4, 0x8343},
    {0x30AD, 0x834C}, {0x30AF, 0x834E}, {0x30B3, 0x8352}, {0x30B9, 0x8358}, {0x30BD, 0x835C},
    {0x30C3, 0x8362}, {0x30C6, 0x8365}, {0x30C8, 0x8367}, {0x30C9, 0x8368}, {0x30D5, 0x8374},
    {0x30D6, 0x8375}, {0x30DD, 0x837C}, {0x30DE, 0x837D}, {0x30E4, 0x8384}, {0x30E9, 0x8389},
    {0x30EA, 0x838A}, {0x30EB, 0x838B}, {0x30EC, 0x838C}, {0x30ED, 0x838D}, {0x30F3, 0x8393},
    {0x30FC, 0x815B}, {0x4E00, 0x88EA}, {0x4E0D, 0x9573}, {0x4E86, 0x97B9}, {0x4E88, 0x975C},
    {0x4F5C, 0x8DEC}, {0x4FDD, 0x95DB}, {0x5024, 0x926C}, {0x5165, 0x93FC}, {0x5185, 0x93E0},
    {0x5186, 0x897E}, {0x5199, 0x8ECA}, {0x51E6, 0x8F88}, {0x51FA, 0x8F6F}, {0x524A, 0x8DED},
    {0x524D, 0x914F}, {0x529B, 0x97CD}, {0x52D5, 0x93AE}, {0x534A, 0x94BC}, {0x53D6, 0x8EE6},
    {0x53E4, 0x8CC3}, {0x53F7, 0x8D86}, {0x540D, 0x96BC}, {0x56F3, 0x907D}, {0x57FA, 0x8AEE},
    {0x5909, 0x95CF}, {0x5916, 0x8A4F}, {0x5931, 0x8EB8}, {0x59CB, 0x8E6E}, {0x5B57, 0x8E9A},
    {0x5B58, 0x91B6}, {0x5B8C, 0x8AAE}, {0x5B9A, 0x92E8}, {0x5BF8, 0x90A1}, {0x5C64, 0x9177},
    {0x5EA6, 0x9378}, {0x5EA7, 0x8DC0}, {0x5F84, 0x8C61}, {0x5F8C, 0x8CE3}, {0x5F97, 0x93BE},
    {0x610F, 0x88D3}, {0x6210, 0x90AC}, {0x629E, 0x91F0}, {0x6307, 0x8E77}, {0x6557, 0x9473},
    {0x6570, 0x9094}, {0x6587, 0x95B6}, {0x65B0, 0x9056}, {0x66F8, 0x8F91}, {0x6A19, 0x9557},
    {0x6B21, 0x8E9F}, {0x6B63, 0x90B3}, {0x6CD5, 0x9640}, {0x6CE8, 0x928D}, {0x70B9, 0x935F},
    {0x7406, 0x979D}, {0x753B, 0x89E6}, {0x756A, 0x94D4}, {0x78BA, 0x8A6D}, {0x793A, 0x8EA6},
    {0x79FB, 0x88DA}, {0x7D42, 0x8F49}, {0x7DDA, 0x90FC}, {0x80FD, 0x945C}, {0x8868, 0x955C},
    {0x8907, 0x95A1}, {0x89A7, 0x9797}, {0x89D2, 0x8A70}, {0x8A2D, 0x90DD}, {0x8A8D, 0x9446},
    {0x8AAD, 0x93C7}, {0x8DDD, 0x8B97}, {0x8FBC, 0x8D9E}, {0x9078, 0x9149}, {0x958B, 0x8A4A},
    {0x95A2, 0x8AD6}, {0x9664, 0x8F9C}, {0x96E2, 0x97A3}, {0x9762, 0x96CA}, {0x9AD8, 0x8D82},
    {0xFF01, 0x8149}, {0xFF08, 0x8169}, {0xFF09, 0x816A}, {0xFF1A, 0x8146}, {0xFF1F, 0x8148},
};

std::string toSjis(const Text& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char16_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    auto it = std::lower_bound(std::begin(kSjis), std::end(kSjis), c,
                               [](const SjisEntry& e, char16_t v) { return e.cp < v; });
    if (it != std::end(kSjis) && it->cp == c) {
      out.push_back(static_cast<char>(it->code >> 8));
      out.push_back(static_cast<char>(it->code & 0xFF));
    } else {
      out.push_back('?');
    }
  }
  return out;
}

std::string toUtf16(const Text& text, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  out.reserve(2 + text.size() * 2);
  for (char16_t c : text) {
    char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    out.push_back(bigEndian ? hi : lo);
    out.push_back(bigEndian ? lo : hi);
  }
  return out;
}

std::string capitalized(std::string w) {
  if (!w.empty() && w[0] >= 'a' && w[0] <= 'z') w[0] = static_cast<char>(w[0] - 32);
  return w;
}

std::string upper(std::string w) {
  for (char& c : w)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return w;
}

std::string joined(const std::vector<std::string>& v, const char* sep) {
  std::string out;
  for (size_t i = 0; i < v.size(); ++i) {
    if (i) out += sep;
    out += v[i];
  }
  return out;
}

struct FuncPlan {
  std::string name;
  bool command = false;
  bool holder = false;  // holds nested defuns
  int size = 1;         // lines from "(defun" to its ")"
  std::vector<std::string> params;
};

class Generator {
 public:
  explicit Generator(const GenParams& p) : p_(p), rng_(p.seed), eol_(p.crlf ? "\r\n" : "\n") {}

  GenOutput run();

 private:
  void plan();
  void gap(int n, const FuncPlan* next, bool first, bool last);
  void function(const FuncPlan& f);
  int header(const FuncPlan& f, int maxLines, GenDefun& rec);
  void nestedFunction(int size, int depth, const FuncPlan& outer, bool first, GenDefun& rec);
  void block(int n, int depth);
  void blockComment(int n, const std::string& lead);

  std::string statement(bool allowString);
  std::string expression(bool allowString, int depth);
  std::string variable();
  std::string stringLiteral();
  std::string phrase(bool forString);
  std::string commentLine();
  std::string trailingComment();
  std::string defunWord();
  std::string indent(int depth) const;
  std::string closer();
  void put(const std::string& line) {
    last_ = text_.size();
    text_ += line;
    text_ += eol_;
    ++count_;
  }
  // Takes the last line back out, to finish it differently.
  std::string unput() {
    std::string line = text_.substr(last_, text_.size() - last_ - eol_.size());
    text_.resize(last_);
    --count_;
    return line;
  }
  int here() const { return count_; }

  const GenParams& p_;
  Rng rng_;
  std::vector<FuncPlan> funcs_;
  std::vector<int> gaps_;
  const std::string eol_;
  std::string text_;  // the lines written so far, each with its line ending
  size_t last_ = 0;   // where the last line starts
  int count_ = 0;
  std::vector<std::string> scope_;  // variables of the function being written
  bool tabs_ = false;               // this function is indented with tabs
  GenOutput out_;
};

void Generator::plan() {
  const int defuns = std::max(p_.defuns, 0);
  const int total = std::max(p_.lines, defuns);
  out_.lines = total;
  funcs_.resize(static_cast<size_t>(defuns));
  const double gapShare = 0.12;
  const double avg = defuns ? total * (1.0 - gapShare) / defuns : 0.0;
  long long sum = 0;
  for (int i = 0; i < defuns; ++i) {
    FuncPlan& f = funcs_[i];
    f.command = rng_.chance(0.3);
    f.holder = rng_.chance(p_.nested);
    const std::string a = rng_.pick(kWords), b = rng_.pick(kWords), n = std::to_string(i + 1);
    if (f.command) {
      f.name =
          (rng_.chance(0.2) ? "C:" + upper(a + b) : "c:" + capitalized(a) + capitalized(b)) + n;
    } else {
      switch (rng_.below(4)) {
        case 0:
          f.name = a + "-" + b + "-" + n;
          break;
        case 1:
          f.name = a + capitalized(b) + n;
          break;
        case 2:
          f.name = "nk:" + a + "-" + b + n;
          break;
        default:
          f.name = a + "_" + b + "_" + n;
          break;
      }
      const int arity = rng_.chance(0.2) ? 0 : rng_.range(1, 3);
      for (int k = 0; k < arity; ++k) {
        std::string v = rng_.pick(kVars);
        if (std::find(f.params.begin(), f.params.end(), v) == f.params.end()) f.params.push_back(v);
      }
    }
    f.size = std::max(1, static_cast<int>(std::lround(avg * (0.3 + 1.4 * rng_.unit()))));
    if (f.holder) f.size = std::max(f.size, 3);
    sum += f.size;
  }
  // Trim until the functions fit; holders give up their nested defuns last.
  for (int minHolder = 3; sum > total; minHolder = 1) {
    bool progress = true;
    while (sum > total && progress) {
      progress = false;
      for (FuncPlan& f : funcs_) {
        if (sum <= total) break;
        if (f.size > (f.holder ? minHolder : 1)) {
          --f.size;
          --sum;
          progress = true;
        }
      }
    }
    if (minHolder == 1) break;
  }
  for (FuncPlan& f : funcs_)
    if (f.size < 3) f.holder = false;

  // The rest goes to the gaps before, between and after the functions.
  int rest = static_cast<int>(total - sum);
  gaps_.assign(static_cast<size_t>(defuns) + 1, 0);
  const int head = std::min(rest, 3);
  gaps_.front() += head;
  rest -= head;
  const int tail = std::min(rest, 1);
  gaps_.back() += tail;
  rest -= tail;
  std::vector<double> weights(gaps_.size());
  double wsum = 0;
  for (double& w : weights) wsum += (w = 0.2 + rng_.unit());
  int given = 0;
  for (size_t i = 0; i < gaps_.size(); ++i) {
    int g = static_cast<int>(rest * weights[i] / wsum);
    gaps_[i] += g;
    given += g;
  }
  for (int left = rest - given; left > 0; --left)
    ++gaps_[rng_.below(static_cast<int>(gaps_.size()))];
}

std::string Generator::indent(int depth) const {
  return tabs_ ? std::string(static_cast<size_t>(depth), '\t')
               : std::string(static_cast<size_t>(depth) * 2, ' ');
}

std::string Generator::phrase(bool forString) {
  if (rng_.chance(p_.nonAscii)) {
    // The same draws for every encoding, so only the wide phrases differ between them.
    const bool wide = forString && rng_.chance(0.03);
    const std::string& normal = rng_.pick(kJapanese);
    const std::string& other = rng_.pick(kWideJapanese);
    return wide && p_.encoding != GenEncoding::Sjis ? other : normal;
  }
  return rng_.pick(kEnglish);
}

std::string Generator::stringLiteral() {
  std::string s = "\"";
  const int shape = rng_.below(20);
  if (shape == 0) {
    // A folder path: the doubled backslash before the closing quote still closes it.
    return s + "C:\\\\temp\\\\" + rng_.pick(kWords) + "\\\\\"";
  }
  if (rng_.chance(0.3)) s += "\\n";
  s += phrase(true);
  switch (shape) {
    case 1:
      s += " \\\"" + std::string(rng_.pick(kWords)) + "\\\"";
      break;
    case 2:
      s += "; " + std::string(rng_.pick(kWords));
      break;
    case 3:
      s += " ;| not a comment |;";
      break;
    case 4:
      s += " (" + std::string(rng_.pick(kWords)) + ")";
      break;
    case 5:
      s += ": ";
      break;
    case 6:
      s += " (defun fake () 1)";
      break;
    case 7:
      s += "\\t";
      break;
    default:
      break;
  }
  return s + "\"";
}

std::string Generator::commentLine() {
  switch (rng_.below(8)) {
    case 0:
      return ";;; " + std::string(rng_.below(2) ? "----------------------------" : "====");
    case 1:
      return "; (defun old-" + std::string(rng_.pick(kWords)) + " (x) (+ x 1))";
    case 2:
      return ";; the \"" + std::string(rng_.pick(kWords)) + "\" option (see below";
    case 3:
      return ";;; " + phrase(false);
    default:
      return ";; " + phrase(false);
  }
}

std::string Generator::trailingComment() {
  return std::string(rng_.below(2) ? " " : "\t") + (rng_.below(2) ? "; " : ";; ") + phrase(false);
}

std::string Generator::defunWord() {
  switch (rng_.below(50)) {
    case 0:
      return "(DEFUN ";
    case 1:
      return "(Defun ";
    case 2:
      return "(defun\t";
    case 3:
      return "(defun  ";
    default:
      return "(defun ";
  }
}

std::string Generator::variable() {
  if (!scope_.empty() && rng_.chance(0.85)) return rng_.pick(scope_);
  if (rng_.chance(0.5)) return rng_.pick(kGlobals);
  return rng_.pick(kVars);
}

std::string Generator::expression(bool allowString, int depth) {
  const int kinds = depth > 1 ? 3 : 14;
  switch (rng_.below(kinds)) {
    case 0:
      return rng_.pick(kNumbers);
    case 1:
    case 2:
      return variable();
    case 3:
      return "(+ " + variable() + " " + rng_.pick(kNumbers) + ")";
    case 4:
      return "(" + std::string(rng_.pick(kBuiltinCalls)) + " " + expression(false, depth + 1) + ")";
    case 5: {
      if (funcs_.empty()) return variable();
      const FuncPlan& f = rng_.pick(funcs_);
      if (f.command) return "(" + f.name + ")";
      std::string call = "(" + f.name;
      for (size_t i = 0; i < f.params.size(); ++i) call += " " + expression(false, depth + 1);
      return call + ")";
    }
    case 6:
      return "(list " + variable() + " " + rng_.pick(kNumbers) + " 0.0)";
    case 7:
      return "'(" + std::string(rng_.pick(kNumbers)) + " " + rng_.pick(kNumbers) + ")";
    case 8:
      return "(polar " + variable() + " " + variable() + " " + rng_.pick(kNumbers) + ")";
    case 9:
      return "(nth " + variable() + " " + variable() + ")";
    case 10:
      if (allowString) return "(getvar \"" + upper(rng_.pick(kWords)) + "\")";
      return "(distance " + variable() + " " + variable() + ")";
    case 11:
      if (allowString) return "(strcat " + variable() + " " + stringLiteral() + ")";
      return "(rtos " + variable() + " 2 2)";
    case 12:
      if (allowString) return "(getpoint " + stringLiteral() + ")";
      return "(getpoint)";
    default:
      return rng_.pick(kSymbols);
  }
}

std::string Generator::statement(bool allowString) {
  switch (rng_.below(allowString ? 12 : 7)) {
    case 0:
    case 1:
      return "(setq " + variable() + " " + expression(allowString, 0) + ")";
    case 2:
      return "(setq " + variable() + " " + expression(false, 0) + " " + variable() + " " +
             expression(allowString, 0) + ")";
    case 3:
      return "(if (null " + variable() + ") (setq " + variable() + " " + rng_.pick(kNumbers) + "))";
    case 4:
      return "(foreach x " + variable() + " (princ x))";
    case 5:
      return expression(false, 0);
    case 6:
      return "(entmod (subst (cons 8 " + variable() + ") (assoc 8 elst) elst))";
    case 7:
      return "(command \"_.LINE\" " + variable() + " " + variable() + " \"\")";
    case 8:
      return "(princ (strcat " + stringLiteral() + " (itoa " + variable() + ")))";
    case 9:
      return "(setq ss (ssget \"_X\" '((0 . \"LINE\") (8 . " + stringLiteral() + "))))";
    case 10:
      return "(alert " + stringLiteral() + ")";
    default:
      return "(setq " + variable() + " " + stringLiteral() + ")";
  }
}

std::string Generator::closer() {
  switch (rng_.below(4)) {
    case 0:
      return "(princ)";
    case 1:
      return variable();
    case 2:
      return "(setq " + variable() + " nil)";
    default:
      return "(" + std::string(rng_.pick(kBuiltinCalls)) + " " + variable() + ")";
  }
}

void Generator::blockComment(int n, const std::string& lead) {
  // No quotes inside: a quote would flip the string state even within the comment.
  for (int i = 0; i < n; ++i) {
    std::string line = i == 0 ? lead + ";| " + phrase(false) : "   " + phrase(false);
    if (i > 0 && rng_.chance(0.3)) line = "   (setq old (foo x)) (unbalanced (";
    if (i == n - 1) line += " |;";
    put(line);
  }
}

void Generator::block(int n, int depth) {
  const std::string ind = indent(depth);
  while (n > 0) {
    const double r = rng_.unit();
    if (n >= 3 && r < 0.12) {
      const int inner = rng_.range(1, std::min(n - 2, 10));
      std::string head, tail = ")";
      switch (rng_.below(6)) {
        case 0:
          head = "(foreach item " + variable();
          break;
        case 1:
          head = "(while (< i (length " + variable() + "))";
          break;
        case 2:
          head = "(repeat " + std::string(rng_.pick(kNumbers));
          break;
        case 3:
          head = "(if (= " + variable() + " " + rng_.pick(kNumbers) + ") (progn";
          tail = "))";
          break;
        case 4:
          head = "(setq " + variable() + " (mapcar '(lambda (x)";
          tail = ") " + variable() + "))";
          break;
        default:
          head = "(progn";
          break;
      }
      put(ind + head);
      block(inner, depth + 1);
      put(ind + tail + (rng_.chance(p_.comments * 0.3) ? trailingComment() : ""));
      n -= inner + 2;
    } else if (n >= 2 && rng_.chance(p_.comments * 0.08)) {
      const int m = rng_.range(2, std::min(n, 4));
      blockComment(m, rng_.chance(0.3) ? ind + statement(false) + " " : ind);
      n -= m;
    } else if (n >= 2 && rng_.chance(p_.strings * 0.01)) {
      put(ind + "(princ \"\\n" + phrase(true));
      put(phrase(true) + " ; still the string\")");
      n -= 2;
    } else {
      const double k = rng_.unit();
      if (k < p_.comments * 0.6) {
        put(ind + commentLine());
      } else if (k < p_.comments * 0.6 + 0.04) {
        put(rng_.chance(0.5) ? "" : ind);
      } else {
        std::string s = ind + statement(rng_.chance(p_.strings));
        if (rng_.chance(p_.comments * 0.4)) s += trailingComment();
        if (p_.comments > 0 && rng_.chance(0.01)) s = ind + "(setq a ;| inline |; 1)";
        put(s);
      }
      --n;
    }
  }
}

// Writes the "(defun ..." line(s); returns how many lines it took.
int Generator::header(const FuncPlan& f, int maxLines, GenDefun& rec) {
  const std::vector<std::string>& params = f.params;
  std::vector<std::string> locals;
  const int nLocals = rng_.range(f.command ? 1 : 0, 5);
  for (int i = 0; i < nLocals; ++i) {
    std::string v = rng_.pick(kVars);
    if (std::find(params.begin(), params.end(), v) == params.end() &&
        std::find(locals.begin(), locals.end(), v) == locals.end())
      locals.push_back(v);
  }
  if (f.command && f.holder && rng_.chance(0.5)) locals.insert(locals.begin(), "*error*");
  rec.params = params;
  rec.locals = locals;
  scope_ = params;
  scope_.insert(scope_.end(), locals.begin(), locals.end());

  std::vector<std::string> tokens = params;
  if (!locals.empty()) {
    tokens.push_back("/");
    tokens.insert(tokens.end(), locals.begin(), locals.end());
  }
  const std::string lead = rng_.chance(0.02) ? "  " : "";
  rec.col = static_cast<int>(lead.size());
  const std::string open = lead + defunWord() + f.name + " (";
  if (maxLines >= 2 && !tokens.empty() && rng_.chance(0.08)) {
    // The parameter list runs over to the next line.
    const size_t cut = static_cast<size_t>(rng_.below(static_cast<int>(tokens.size())));
    std::vector<std::string> first(tokens.begin(), tokens.begin() + static_cast<long>(cut));
    std::vector<std::string> second(tokens.begin() + static_cast<long>(cut), tokens.end());
    put(open + joined(first, " "));
    put((rng_.chance(0.2) ? "" : "    ") + joined(second, " ") + ")");
    return 2;
  }
  put(open + joined(tokens, " ") + ")" + (rng_.chance(p_.comments * 0.3) ? trailingComment() : ""));
  return 1;
}

void Generator::nestedFunction(int size, int depth, const FuncPlan& outer, bool first,
                               GenDefun& rec) {
  const std::string ind = indent(depth);
  std::string name;
  if (first && outer.command && rng_.chance(0.5)) {
    name = "*error*";
  } else {
    name = std::string(rng_.below(3) ? "sub-" : "_") + rng_.pick(kWords) +
           std::to_string(rng_.below(20));
  }
  rec.nested.push_back({name, here(), static_cast<int>(ind.size())});
  const std::string arg = name == "*error*" ? "msg" : rng_.pick(kVars);
  const std::string open =
      ind + defunWord() + name + " (" + arg + (rng_.chance(0.5) ? " / tmp)" : ")");
  if (size == 1) {
    put(open + " " + closer() + ")");
    return;
  }
  put(open);
  const int body = size - 2;
  if (body >= 3 && rng_.chance(0.2)) {
    // One level deeper still: recorded under the outermost function all the same.
    const int before = rng_.below(body);
    block(before, depth + 1);
    nestedFunction(1, depth + 1, outer, false, rec);
    block(body - before - 1, depth + 1);
  } else {
    block(body, depth + 1);
  }
  put(ind + ")");
}

void Generator::function(const FuncPlan& f) {
  tabs_ = rng_.chance(0.1);
  GenDefun rec;
  rec.name = f.name;
  rec.line = here();
  if (f.size == 1) {
    header(f, 1, rec);
    // One line: the body goes after the parameter list, before any comment.
    std::string line = unput();
    const size_t semi = line.find(';');
    if (semi != std::string::npos) line.erase(semi - 1);
    line += " " + closer() + ")";
    rec.endLine = rec.line;
    rec.endCol = static_cast<int>(line.size()) - 1;
    if (rng_.chance(p_.comments * 0.3)) line += trailingComment();
    put(line);
    out_.defuns.push_back(std::move(rec));
    return;
  }
  const int h = header(f, f.size - 2, rec);
  int body = f.size - h - 1;
  if (f.holder && body >= 1) {
    const int count = rng_.range(1, std::min(3, body));
    for (int i = 0; i < count && body > 0; ++i) {
      const int left = body - (count - i - 1);  // leave a line for each one still to come
      const int size = rng_.chance(0.5) ? 1 : rng_.range(std::min(3, left), std::min(left, 8));
      const int before = rng_.below(std::max(0, left - size) / 2 + 1);
      block(before, 1);
      nestedFunction(size, 1, f, i == 0, rec);
      body -= before + size;
    }
  }
  block(body, 1);
  std::string last = rng_.chance(0.5) ? ")" : indent(1) + closer() + ")";
  rec.endLine = here();
  rec.endCol = static_cast<int>(last.size()) - 1;
  if (rng_.chance(p_.comments * 0.5)) last += rng_.chance(0.5) ? " ; " + f.name : trailingComment();
  put(last);
  out_.defuns.push_back(std::move(rec));
}

void Generator::gap(int n, const FuncPlan* next, bool first, bool last) {
  scope_.clear();
  tabs_ = false;
  const bool comments = p_.comments > 0;
  if (first && n > 0 && comments) {
    put(";;; " + phrase(false) + " -- generated sample");
    --n;
  }
  const bool closing = last && n > 0;
  if (closing) --n;
  // Heading comments sit directly above the defun.
  const int heading = next && comments ? std::min(n, rng_.below(4)) : 0;
  int rest = n - heading;
  while (rest > 0) {
    const double r = rng_.unit();
    if (rest >= 2 && r < p_.comments * 0.15) {
      const int m = rng_.range(2, std::min(rest, 5));
      blockComment(m, "");
      rest -= m;
      continue;
    }
    if (r < 0.35) {
      put("");
    } else if (r < 0.35 + p_.comments) {
      put(commentLine());
    } else {
      switch (rng_.below(6)) {
        case 0:
          put("(vl-load-com)");
          break;
        case 1:
          put("(setq " + std::string(rng_.pick(kGlobals)) + " " + rng_.pick(kNumbers) + ")");
          break;
        case 2:
          put("(defun-q " + std::string(rng_.pick(kWords)) + "-q () (princ))");
          break;
        case 3:
          put(p_.strings > 0 ? "(princ " + stringLiteral() + ")" : "(princ)");
          break;
        default:
          put(statement(rng_.chance(p_.strings)));
          break;
      }
    }
    --rest;
  }
  for (int i = 0; i < heading; ++i) {
    if (i == 0 || i == heading - 1) {
      put(";;; ------------------------------------------");
    } else {
      put(";;; " + next->name + " : " + phrase(false));
    }
  }
  if (closing) put("(princ)");
}

GenOutput Generator::run() {
  plan();
  text_.reserve(static_cast<size_t>(out_.lines) * 34);
  out_.defuns.reserve(funcs_.size());
  for (size_t i = 0; i <= funcs_.size(); ++i) {
    const FuncPlan* next = i < funcs_.size() ? &funcs_[i] : nullptr;
    gap(gaps_[i], next, i == 0, next == nullptr);
    if (next) function(*next);
  }
  switch (p_.encoding) {
    case GenEncoding::Utf8:
      out_.bytes = std::move(text_);
      break;
    case GenEncoding::Utf8Bom:
      out_.bytes = "\xEF\xBB\xBF" + text_;
      break;
    case GenEncoding::Utf16Le:
      out_.bytes = toUtf16(fromUtf8(text_), false);
      break;
    case GenEncoding::Utf16Be:
      out_.bytes = toUtf16(fromUtf8(text_), true);
      break;
    case GenEncoding::Sjis:
      out_.bytes = toSjis(fromUtf8(text_));
      break;
  }
  return std::move(out_);
}

}  // namespace

GenOutput generateLspDetailed(const GenParams& params) { return Generator(params).run(); }

std::string generateLsp(const GenParams& params) { return generateLspDetailed(params).bytes; }

}  // namespace nokari
