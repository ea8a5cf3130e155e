// A CAD application's automation objects, as far as Nokari uses them: an application object
// whose interface (IDispatch first, then its own operations) has the main window's handle at
// one position and the active document at another, and a document object taking a command
// text at one position. Every other own operation answers E_NOTIMPL. The method tables are
// built by position, as a CAD's dual interfaces lay them out.
#pragma once

// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
// clang-format on

#include <string>
#include <vector>

namespace fake_cad {

using Slot = void (*)();
constexpr int kFirstOwnOperation = 7;

// AutoCAD's application interface and the positions Nokari calls on it and its document.
constexpr IID kAppIid = {
    0x52EE1CD2, 0xA793, 0x4DEC, {0x9D, 0xF9, 0x71, 0xCE, 0x75, 0x88, 0x1F, 0x05}};
constexpr int kHwndPosition = 53, kActiveDocumentPosition = 12, kSendCommandPosition = 89;
// The document's interface: this stand-in's own.
constexpr IID kDocumentIid = {
    0x6B0E5D21, 0x3C4A, 0x4F6E, {0x9A, 0x1D, 0x52, 0x7C, 0x0E, 0x8B, 0x44, 0x13}};

struct Object;
using TextSink = void (*)(const std::wstring& text);

// One object: the method table pointer first, as COM lays an interface out.
struct Object {
  const Slot* table;
  LONG refs = 0;
  const IID* iid;
  HWND window = nullptr;           // the application: its main window
  Object* document = nullptr;      // the application: the active document
  TextSink commandSink = nullptr;  // the document: where command texts go
};

inline HRESULT STDMETHODCALLTYPE queryInterface(Object* self, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
      IsEqualIID(iid, *self->iid)) {
    *out = self;
    InterlockedIncrement(&self->refs);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}
inline ULONG STDMETHODCALLTYPE addRef(Object* self) { return InterlockedIncrement(&self->refs); }
// The objects live as long as the program; the count is only watched.
inline ULONG STDMETHODCALLTYPE release(Object* self) { return InterlockedDecrement(&self->refs); }
inline HRESULT STDMETHODCALLTYPE typeInfoCount(Object*, UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
inline HRESULT STDMETHODCALLTYPE notImplemented(Object*) { return E_NOTIMPL; }

inline HRESULT STDMETHODCALLTYPE getHwnd(Object* self, LONG_PTR* value) {
  if (!value) return E_POINTER;
  *value = reinterpret_cast<LONG_PTR>(self->window);
  return S_OK;
}
inline HRESULT STDMETHODCALLTYPE getActiveDocument(Object* self, IDispatch** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  if (!self->document) return E_FAIL;
  InterlockedIncrement(&self->document->refs);
  *value = reinterpret_cast<IDispatch*>(self->document);
  return S_OK;
}
inline HRESULT STDMETHODCALLTYPE sendCommand(Object* self, BSTR text) {
  if (self->commandSink) self->commandSink(std::wstring(text, SysStringLen(text)));
  return S_OK;
}

template <typename F>
Slot slot(F f) {
  return reinterpret_cast<Slot>(f);
}

// A method table of `size` positions: IUnknown and IDispatch, then E_NOTIMPL everywhere.
inline std::vector<Slot> baseTable(int size) {
  std::vector<Slot> t(size, slot(&notImplemented));
  t[0] = slot(&queryInterface);
  t[1] = slot(&addRef);
  t[2] = slot(&release);
  t[3] = slot(&typeInfoCount);
  return t;
}

inline const std::vector<Slot>& appTable() {
  static const std::vector<Slot> t = [] {
    std::vector<Slot> t = baseTable(kHwndPosition + 1);
    t[kActiveDocumentPosition] = slot(&getActiveDocument);
    t[kHwndPosition] = slot(&getHwnd);
    return t;
  }();
  return t;
}
inline const std::vector<Slot>& documentTable() {
  static const std::vector<Slot> t = [] {
    std::vector<Slot> t = baseTable(kSendCommandPosition + 1);
    t[kSendCommandPosition] = slot(&sendCommand);
    return t;
  }();
  return t;
}

inline IUnknown* asUnknown(Object& o) { return reinterpret_cast<IUnknown*>(&o); }

}  // namespace fake_cad
