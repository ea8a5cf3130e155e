// The file system and the ANSI code page on Windows.
#include <windows.h>

#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/win32/wide.h"

namespace nokari {

namespace {

// Owns a file handle.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() {
    if (valid()) CloseHandle(h_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

Text lastErrorText() {
  DWORD err = GetLastError();
  wchar_t* msg = nullptr;
  DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, err, 0, reinterpret_cast<wchar_t*>(&msg), 0, nullptr);
  Text out;
  if (n && msg) out = trim(fromWide(std::wstring_view(msg, n)));
  if (msg) LocalFree(msg);
  if (out.empty()) out = fromAscii("error ") + fromAscii(std::to_string(err));
  return out;
}

class Win32Files : public Files {
 public:
  bool exists(const Text& path) const override {
    DWORD a = GetFileAttributesW(toWide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
  }

  ReadResult readAll(const Text& path) const override {
    ReadResult r;
    const std::wstring name = toWide(path);
    // CreateFileW refuses a folder with "access denied"; say what it is instead.
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      r.error = fromAscii("is a directory");
      return r;
    }
    FileHandle f(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.valid()) {
      r.error = lastErrorText();
      return r;
    }
    // Only files on a disk: a pipe, the console or another device would block or never end.
    if (GetFileType(f.get()) != FILE_TYPE_DISK) {
      r.error = fromAscii("not a regular file");
      return r;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(f.get(), &size)) {
      r.error = lastErrorText();
      return r;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > kMaxSourceBytes) {
      r.error = fromAscii("file too large");
      return r;
    }
    r.bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < r.bytes.size()) {
      DWORD got = 0;
      if (!ReadFile(f.get(), r.bytes.data() + done, static_cast<DWORD>(r.bytes.size() - done), &got,
                    nullptr)) {
        r.error = lastErrorText();
        r.bytes.clear();
        return r;
      }
      if (got == 0) break;
      done += got;
    }
    r.bytes.resize(done);
    r.ok = true;
    return r;
  }

  bool canOpenExclusive(const Text& path) const override {
    FileHandle f(CreateFileW(toWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return f.valid();
  }

  std::vector<FileEntry> filesIn(const Text& folder) const override {
    std::vector<FileEntry> out;
    std::wstring pattern = toWide(folder);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found;
    const HANDLE h = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                      FindExSearchNameMatch, nullptr, 0);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      out.push_back(
          {fromWide(found.cFileName),
           (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow});
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return out;
  }

  WriteResult writeReplace(const Text& path, const std::string& bytes) const override {
    WriteResult w;
    // Through a symbolic link: its target gets the new content, the link stays.
    const std::wstring target = finalPath(toWide(path));
    const DWORD attrs = GetFileAttributesW(target.c_str());
    const bool existed = attrs != INVALID_FILE_ATTRIBUTES;
    if (existed && (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
      w.readOnly = (attrs & FILE_ATTRIBUTE_READONLY) != 0;
      return failed(w, ERROR_ACCESS_DENIED);
    }
    std::wstring temp;
    if (!writeTempBeside(target, bytes, &temp)) return failed(w, GetLastError());
    // ReplaceFileW keeps the old file's attributes and security; it needs an existing file.
    BOOL done = existed ? ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                                       REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                        : MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!done) {
      const DWORD err = GetLastError();
      DeleteFileW(temp.c_str());
      return failed(w, err);
    }
    w.ok = true;
    return w;
  }

 private:
  static WriteResult failed(WriteResult& w, DWORD err) {
    SetLastError(err);
    w.error = lastErrorText();
    return w;
  }

  // The path with every symbolic link resolved; the path itself when it cannot be opened.
  static std::wstring finalPath(const std::wstring& path) {
    FileHandle f(CreateFileW(path.c_str(), 0,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!f.valid()) return path;
    std::wstring out(MAX_PATH, L'\0');
    for (;;) {
      const DWORD n = GetFinalPathNameByHandleW(f.get(), out.data(), static_cast<DWORD>(out.size()),
                                                FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
      if (n == 0) return path;
      if (n < out.size()) {
        out.resize(n);
        break;
      }
      out.resize(n + 1);
    }
    // "\\?\C:\..." -> "C:\...", "\\?\UNC\server\..." -> "\\server\..."
    if (out.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\" + out.substr(7);
    if (out.rfind(L"\\\\?\\", 0) == 0) return out.substr(4);
    return out;
  }

  // Writes bytes to a new file with a unique name in target's folder.
  static bool writeTempBeside(const std::wstring& target, const std::string& bytes,
                              std::wstring* temp) {
    const size_t sep = target.find_last_of(L"\\/");
    const std::wstring folder = sep == std::wstring::npos ? L"." : target.substr(0, sep + 1);
    wchar_t name[MAX_PATH + 16] = {};
    if (folder.size() > MAX_PATH - 14 || !GetTempFileNameW(folder.c_str(), L"nki", 0, name))
      return false;
    *temp = name;
    FileHandle f(CreateFileW(name, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD put = 0;
    const bool ok = f.valid() &&
                    (bytes.empty() || (WriteFile(f.get(), bytes.data(),
                                                 static_cast<DWORD>(bytes.size()), &put, nullptr) &&
                                       put == bytes.size())) &&
                    FlushFileBuffers(f.get());
    if (!ok) {
      const DWORD err = GetLastError();
      DeleteFileW(name);
      SetLastError(err);
    }
    return ok;
  }
};

class Win32CodePage : public CodePage {
 public:
  explicit Win32CodePage(UINT cp) : cp_(cp) {}
  unsigned number() const override { return cp_; }
  Text decode(std::string_view bytes) const override {
    Text out;
    // Converted in slices so that sizes stay within int; slices end on line breaks, which
    // never sit inside a double-byte character.
    size_t pos = 0;
    while (pos < bytes.size()) {
      size_t len = bytes.size() - pos;
      if (len > (1u << 24)) {
        len = 1u << 24;
        size_t nl = bytes.rfind('\n', pos + len - 1);
        if (nl != std::string_view::npos && nl >= pos) len = nl - pos + 1;
      }
      int n = MultiByteToWideChar(cp_, 0, bytes.data() + pos, static_cast<int>(len), nullptr, 0);
      if (n <= 0) {
        for (size_t i = 0; i < len; ++i) out.push_back(static_cast<unsigned char>(bytes[pos + i]));
      } else {
        std::wstring w(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(cp_, 0, bytes.data() + pos, static_cast<int>(len), w.data(), n);
        out += fromWide(w);
      }
      pos += len;
    }
    return out;
  }

  std::optional<std::string> encode(std::u16string_view text) const override {
    if (text.empty()) return std::string();
    const std::wstring w = toWide(text);
    BOOL lossy = FALSE;
    const bool utf = cp_ == CP_UTF8 || cp_ == CP_UTF7;
    int n = WideCharToMultiByte(cp_, utf ? 0 : WC_NO_BEST_FIT_CHARS, w.data(),
                                static_cast<int>(w.size()), nullptr, 0, nullptr,
                                utf ? nullptr : &lossy);
    if (n <= 0 || lossy) return std::nullopt;
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(cp_, utf ? 0 : WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()),
                        out.data(), n, nullptr, utf ? nullptr : &lossy);
    if (lossy) return std::nullopt;
    return out;
  }

 private:
  UINT cp_;
};

}  // namespace

std::unique_ptr<Files> makeSystemFiles() { return std::make_unique<Win32Files>(); }

std::unique_ptr<CodePage> makeCodePage(unsigned codePage) {
  return std::make_unique<Win32CodePage>(codePage == 0 ? GetACP() : codePage);
}

Text programFolder() {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return fromAscii(".");
    if (n < buf.size()) {
      buf.resize(n);
      break;
    }
    buf.resize(buf.size() * 2);
  }
  size_t cut = buf.find_last_of(L"\\/");
  return cut == std::wstring::npos ? fromAscii(".") : fromWide(buf.substr(0, cut));
}

Text joinPath(const Text& folder, const Text& name) {
  if (folder.empty() || folder.back() == u'\\' || folder.back() == u'/') return folder + name;
  return folder + u"\\" + name;
}

Text fileNamePart(const Text& path) {
  size_t cut = path.find_last_of(u"\\/:");
  return cut == Text::npos ? path : path.substr(cut + 1);
}

}  // namespace nokari
