// Folder listings through the C runtime: dirent on POSIX, _wfindfirst on Windows, whose
// attributes also tell a reparse point (a link or a junction) from a plain folder.
#include "platform/folders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined(_WIN32)
#include <direct.h>
#include <io.h>
#include <sys/stat.h>

#include <filesystem>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace nokari {

namespace {

FolderListing failed(int err) {
  FolderListing l;
  l.status = FolderListing::Failed;
  l.error = fromUtf8(std::strerror(err));
  return l;
}

}  // namespace

#if defined(_WIN32)

namespace {

// FILE_ATTRIBUTE_REPARSE_POINT: _wfindfirst passes the system's attributes on whole.
constexpr unsigned kReparsePoint = 0x400;

std::wstring wide(const Text& t) { return std::wstring(t.begin(), t.end()); }

// The CRT's stat refuses a folder with a trailing separator ("lisp\"); a root keeps it.
std::wstring withoutTrailingSeparator(std::wstring w) {
  while (w.size() > 1 && (w.back() == L'\\' || w.back() == L'/') && w[w.size() - 2] != L':')
    w.pop_back();
  return w;
}

}  // namespace

FolderListing listFolder(const Text& path) {
  const std::wstring w = withoutTrailingSeparator(wide(path));
  struct _stat64 st;
  if (w.empty() || _wstat64(w.c_str(), &st) != 0 || (st.st_mode & _S_IFDIR) == 0) return {};
  std::wstring pattern = w;
  if (pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  _wfinddata64_t found;
  const intptr_t h = _wfindfirst64(pattern.c_str(), &found);
  if (h == -1) return failed(errno);
  FolderListing l;
  l.status = FolderListing::Listed;
  do {
    const std::wstring name = found.name;
    if (name == L"." || name == L"..") continue;
    const bool folder = (found.attrib & _A_SUBDIR) != 0;
    if (folder && (found.attrib & kReparsePoint) != 0) continue;
    l.entries.push_back({Text(name.begin(), name.end()), folder});
  } while (_wfindnext64(h, &found) == 0);
  const int err = errno;
  _findclose(h);
  if (err != ENOENT) return failed(err);
  return l;
}

bool sameFolder(const Text& a, const Text& b) {
  std::error_code ec;
  return std::filesystem::equivalent(std::filesystem::path(wide(a)), std::filesystem::path(wide(b)),
                                     ec) &&
         !ec;
}

Text realPath(const Text& path) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::canonical(std::filesystem::path(wide(path)), ec);
  if (ec) return {};
  std::wstring w = p.wstring();
  // The system's own long forms: "\\?\C:\..." and "\\?\UNC\server\...".
  if (w.rfind(L"\\\\?\\UNC\\", 0) == 0) {
    w = L"\\\\" + w.substr(8);
  } else if (w.rfind(L"\\\\?\\", 0) == 0) {
    w = w.substr(4);
  }
  return Text(w.begin(), w.end());
}

Text currentFolder() {
  wchar_t* cwd = _wgetcwd(nullptr, 0);
  if (!cwd) return {};
  const std::wstring w = cwd;
  std::free(cwd);
  return Text(w.begin(), w.end());
}

#else

FolderListing listFolder(const Text& path) {
  const std::string name = toUtf8Escaped(path);
  struct stat st;
  if (::stat(name.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
  DIR* dir = ::opendir(name.c_str());
  if (!dir) return failed(errno);
  FolderListing l;
  l.status = FolderListing::Listed;
  const int fd = ::dirfd(dir);
  for (;;) {
    errno = 0;
    const dirent* e = ::readdir(dir);
    if (!e) break;
    const std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    bool folder = e->d_type == DT_DIR;
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat own, target;
      // An entry that vanished or cannot be looked at counts as a file: reading it says why.
      const bool known = ::fstatat(fd, e->d_name, &own, AT_SYMLINK_NOFOLLOW) == 0;
      folder = known && S_ISDIR(own.st_mode);
      if (known && S_ISLNK(own.st_mode) && ::fstatat(fd, e->d_name, &target, 0) == 0 &&
          S_ISDIR(target.st_mode))
        continue;
    }
    l.entries.push_back({fromUtf8Escaped(n), folder});
  }
  const int err = errno;
  ::closedir(dir);
  if (err != 0) return failed(err);
  return l;
}

bool sameFolder(const Text& a, const Text& b) {
  struct stat x, y;
  return ::stat(toUtf8Escaped(a).c_str(), &x) == 0 && ::stat(toUtf8Escaped(b).c_str(), &y) == 0 &&
         x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

Text realPath(const Text& path) {
  char* real = ::realpath(toUtf8Escaped(path).c_str(), nullptr);
  if (!real) return {};
  const Text out = fromUtf8Escaped(real);
  std::free(real);
  return out;
}

Text currentFolder() {
  std::string buf(4096, '\0');
  while (!::getcwd(buf.data(), buf.size())) {
    if (errno != ERANGE || buf.size() > (1u << 20)) return {};
    buf.resize(buf.size() * 2);
  }
  return fromUtf8Escaped(buf.c_str());
}

#endif

}  // namespace nokari
