// The file system and code pages on POSIX systems.
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/code_page.h"
#include "platform/files.h"

namespace nokari {

namespace {

std::string native(const Text& path) { return toUtf8(path); }

Text errnoText(int err) { return fromUtf8(std::strerror(err)); }

class PosixFiles : public Files {
 public:
  bool exists(const Text& path) const override {
    struct stat st;
    return ::stat(native(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
  }

  ReadResult readAll(const Text& path) const override {
    ReadResult r;
    int fd = ::open(native(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      r.error = errnoText(errno);
      return r;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      r.error = S_ISDIR(st.st_mode) ? fromAscii("is a directory") : errnoText(errno);
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

class IconvCodePage : public CodePage {
 public:
  explicit IconvCodePage(std::string name) : name_(std::move(name)) {}

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
        // An invalid or cut-off sequence: one replacement character for the byte, then go on.
        out.push_back(0xFFFD);
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
    size_t r = iconv(cd, &ip, &inLeft, &op, &outLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
  }

 private:
  static void appendUtf16le(Text& out, const char* p, size_t n) {
    for (size_t i = 0; i + 1 < n; i += 2)
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[i]) |
                                          (static_cast<unsigned char>(p[i + 1]) << 8)));
  }
  std::string name_;
};

}  // namespace

std::unique_ptr<Files> makeSystemFiles() { return std::make_unique<PosixFiles>(); }

std::unique_ptr<CodePage> makeCodePage(unsigned codePage) {
  if (codePage == 0) codePage = 932;
  if (codePage == 65001) return std::make_unique<IconvCodePage>("UTF-8");
  char name[32];
  std::snprintf(name, sizeof name, "CP%u", codePage);
  return std::make_unique<IconvCodePage>(name);
}

Text programFolder() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return fromAscii(".");
  std::string p(buf, static_cast<size_t>(n));
  size_t slash = p.rfind('/');
  return fromUtf8(slash == std::string::npos ? std::string(".") : p.substr(0, slash));
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
