// The file system and code pages on POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>

#include "platform/code_page.h"
#include "platform/files.h"

namespace nokari {

namespace {

// Paths arrive with the bytes of a non-UTF-8 name kept as escapes (see commandLineArgs); the
// system gets those bytes back.
std::string native(const Text& path) { return toUtf8Escaped(path); }

Text errnoText(int err) { return fromUtf8(std::strerror(err)); }

Text notRegularText(const struct stat& st) {
  return fromAscii(S_ISDIR(st.st_mode) ? "is a directory" : "not a regular file");
}

class PosixFiles : public Files {
 public:
  bool exists(const Text& path) const override {
    struct stat st;
    return ::stat(native(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
  }

  ReadResult readAll(const Text& path) const override {
    ReadResult r;
    const std::string name = native(path);
    // Only regular files: a FIFO or a device would block or never end. Looked at before the
    // open, so that no device is opened at all, and again after it, on what was opened.
    struct stat st;
    if (::stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
      r.error = notRegularText(st);
      return r;
    }
    // O_NONBLOCK: should a FIFO take the file's place in between, the open still returns.
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
      r.error = errnoText(errno);
      return r;
    }
    if (::fstat(fd, &st) != 0) {
      r.error = errnoText(errno);
      ::close(fd);
      return r;
    }
    if (!S_ISREG(st.st_mode)) {
      r.error = notRegularText(st);
      ::close(fd);
      return r;
    }
    if (static_cast<unsigned long long>(st.st_size) > kMaxSourceBytes) {
      r.error = fromAscii("file too large");
      ::close(fd);
      return r;
    }
    r.bytes.reserve(static_cast<size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
      ssize_t got = ::read(fd, buf, sizeof buf);
      if (got < 0) {
        if (errno == EINTR) continue;
        r.error = errnoText(errno);
        r.bytes.clear();
        ::close(fd);
        return r;
      }
      if (got == 0) break;
      r.bytes.append(buf, static_cast<size_t>(got));
      if (r.bytes.size() > kMaxSourceBytes) {
        r.error = fromAscii("file too large");
        r.bytes.clear();
        ::close(fd);
        return r;
      }
    }
    ::close(fd);
    r.ok = true;
    return r;
  }

  bool canOpenExclusive(const Text& path) const override {
    int fd = ::open(native(path).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    // POSIX has no share modes; an advisory lock held by someone else counts as in use.
    bool free = ::lockf(fd, F_TLOCK, 0) == 0;
    ::close(fd);
    return free;
  }

  std::vector<FileEntry> filesIn(const Text& folder) const override {
    std::vector<FileEntry> out;
    DIR* dir = ::opendir(native(folder).c_str());
    if (!dir) return out;
    const int fd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
      struct stat st;
      if (::fstatat(fd, e->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
      out.push_back({fromUtf8Escaped(e->d_name), static_cast<unsigned long long>(st.st_size)});
    }
    ::closedir(dir);
    return out;
  }

  WriteResult writeReplace(const Text& path, const std::string& bytes) const override {
    WriteResult w;
    // Through a symbolic link: its target gets the new content, the link stays.
    std::string target = native(path);
    if (char* real = ::realpath(target.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
    mode_t mode = 0666 & ~currentUmask();
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) {
      if (!S_ISREG(st.st_mode)) return failed(w, EISDIR);
      // No write bit for anyone: marked read-only (which root would otherwise write through).
      if ((st.st_mode & 0222) == 0) {
        w.readOnly = true;
        w.error = errnoText(EACCES);
        return w;
      }
      mode = st.st_mode & 07777;
    }
    std::string temp = target + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return failed(w, errno);
    int err = 0;
    if (::fchmod(fd, mode) != 0) err = errno;
    for (size_t done = 0; !err && done < bytes.size();) {
      const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        err = put < 0 ? errno : EIO;
        break;
      }
      done += static_cast<size_t>(put);
    }
    if (!err && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err) {
      ::unlink(temp.c_str());
      return failed(w, err);
    }
    w.ok = true;
    return w;
  }

 private:
  static WriteResult failed(WriteResult& w, int err) {
    w.error = errnoText(err);
    return w;
  }
  static mode_t currentUmask() {
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
  }
};

// A single byte that iconv's table of a code page rejects but Windows maps to a character.
struct ExtraByte {
  unsigned char byte;
  char16_t unit;
};

// CP932 as MultiByteToWideChar reads it: 0x80 passes through, and 0xA0 and 0xFD..0xFF go to
// the private use area; glibc's table has none of them.
constexpr ExtraByte kCp932Extras[] = {
    {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3}};

class IconvCodePage : public CodePage {
 public:
  IconvCodePage(unsigned number, std::string name, std::span<const ExtraByte> extras = {})
      : number_(number), name_(std::move(name)), extras_(extras) {}

  unsigned number() const override { return number_; }

  Text decode(std::string_view bytes) const override {
    Text out;
    iconv_t cd = iconv_open("UTF-16LE", name_.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
      // An unknown code page: keep the bytes as Latin-1 rather than lose them.
      for (unsigned char c : bytes) out.push_back(c);
      return out;
    }
    out.reserve(bytes.size());
    std::string buf(bytes.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
      char* o = buf.data();
      size_t oLeft = buf.size();
      size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
      appendUtf16le(out, buf.data(), static_cast<size_t>(o - buf.data()));
      if (r == static_cast<size_t>(-1)) {
        if (errno == E2BIG) continue;
        // iconv stops at the first byte it cannot convert: one of the code page's extra bytes,
        // or else an invalid or cut-off sequence, which gives one replacement character.
        out.push_back(unitOf(static_cast<unsigned char>(*in)));
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
      }
    }
    iconv_close(cd);
    return out;
  }

  std::optional<std::string> encode(std::u16string_view text) const override {
    iconv_t cd = iconv_open(name_.c_str(), "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) return CodePage::encode(text);
    std::string in;
    in.reserve(text.size() * 2);
    for (char16_t c : text) {
      in.push_back(static_cast<char>(c & 0xFF));
      in.push_back(static_cast<char>(c >> 8));
    }
    std::string out(in.size() * 2 + 16, '\0');
    char* ip = in.data();
    size_t inLeft = in.size();
    char* op = out.data();
    size_t outLeft = out.size();
    bool ok = true;
    while (inLeft > 0 && iconv(cd, &ip, &inLeft, &op, &outLeft) == static_cast<size_t>(-1)) {
      // A character the table lacks may still be one of the code page's extra bytes.
      const int err = errno;
      const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(ip[0]) |
                                                  (static_cast<unsigned char>(ip[1]) << 8));
      const std::optional<unsigned char> byte = err == EILSEQ ? byteOf(unit) : std::nullopt;
      if (!byte || outLeft == 0) {
        ok = false;
        break;
      }
      *op++ = static_cast<char>(*byte);
      --outLeft;
      ip += 2;
      inLeft -= 2;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    if (!ok || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
  }

 private:
  static void appendUtf16le(Text& out, const char* p, size_t n) {
    for (size_t i = 0; i + 1 < n; i += 2)
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[i]) |
                                          (static_cast<unsigned char>(p[i + 1]) << 8)));
  }

  char16_t unitOf(unsigned char byte) const {
    for (const ExtraByte& e : extras_)
      if (e.byte == byte) return e.unit;
    return 0xFFFD;
  }

  std::optional<unsigned char> byteOf(char16_t unit) const {
    for (const ExtraByte& e : extras_)
      if (e.unit == unit) return e.byte;
    return std::nullopt;
  }

  unsigned number_;
  std::string name_;
  std::span<const ExtraByte> extras_;
};

}  // namespace

std::unique_ptr<Files> makeSystemFiles() { return std::make_unique<PosixFiles>(); }

std::unique_ptr<CodePage> makeCodePage(unsigned codePage) {
  if (codePage == 0) codePage = 932;
  if (codePage == 932) return std::make_unique<IconvCodePage>(932, "CP932", kCp932Extras);
  if (codePage == 65001) return std::make_unique<IconvCodePage>(65001, "UTF-8");
  char name[32];
  std::snprintf(name, sizeof name, "CP%u", codePage);
  return std::make_unique<IconvCodePage>(codePage, name);
}

Text programFolder() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return fromAscii(".");
  std::string p(buf, static_cast<size_t>(n));
  size_t slash = p.rfind('/');
  return fromUtf8Escaped(slash == std::string::npos ? std::string(".") : p.substr(0, slash));
}

Text joinPath(const Text& folder, const Text& name) {
  if (folder.empty() || folder.back() == u'/') return folder + name;
  return folder + u"/" + name;
}

Text fileNamePart(const Text& path) {
  size_t cut = path.find_last_of(u'/');
  return cut == Text::npos ? path : path.substr(cut + 1);
}

}  // namespace nokari
