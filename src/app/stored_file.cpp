#include "app/stored_file.h"

namespace nokari {

namespace {

std::optional<Text> notWritableReason(const StoredRead& read) {
  switch (read.status) {
    case StoredRead::Unreadable:
      return u"読み込めなかったため, 書き換えていません.\n(" + read.error + u")";
    case StoredRead::Inexact:
      return Text(u"文字コードを正確に読み取れなかったため, 書き換えていません.");
    default:
      return std::nullopt;
  }
}

}  // namespace

LoadedStoredFile loadStoredFile(const Text& path, const Files& files, const CodePage& ansi) {
  LoadedStoredFile f;
  if (!files.exists(path)) return f;
  ReadResult r = files.readAll(path);
  if (!r.ok) {
    f.read = {StoredRead::Unreadable, r.error};
    return f;
  }
  StoredText text = StoredText::decode(r.bytes, ansi);
  if (!text.exact()) {
    f.read.status = StoredRead::Inexact;
    return f;
  }
  f.read.status = StoredRead::Read;
  f.text = std::move(text);
  return f;
}

std::optional<Text> saveStoredFile(const Text& path, const StoredRead& atStart,
                                   const std::function<void(StoredText&)>& change,
                                   const Files& files, const CodePage& ansi) {
  if (auto why = notWritableReason(atStart)) return why;
  // Read again: another program may have changed the file meanwhile.
  LoadedStoredFile now = loadStoredFile(path, files, ansi);
  if (auto why = notWritableReason(now.read)) return why;
  change(now.text);
  const WriteResult w = files.writeReplace(path, now.text.encode(ansi));
  if (w.ok) return std::nullopt;
  if (w.readOnly) return Text(u"読み取り専用のため, 書き換えていません.");
  return u"書き込めませんでした.\n(" + w.error + u")";
}

Text notSavedMessage(const TextList& pathsWithReasons) {
  Text text = u"次のファイルを保存しませんでした.";
  for (const Text& item : pathsWithReasons) text += u"\n\n" + item;
  return text;
}

}  // namespace nokari
