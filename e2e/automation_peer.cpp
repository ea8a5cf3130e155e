// A stand-in for a running AutoCAD, reached by Nokari through automation from another process.
//
//   nokari-automation-peer RECORD_FILE   registers "Autocad.Application.24" and a type library
//                                        that lets COM carry calls of the application and
//                                        document interfaces between processes, shows a main
//                                        window, puts the application object in the running
//                                        object table and appends every command text the
//                                        document receives to RECORD_FILE (UTF-8, one "\n"
//                                        after each). Ends when its window is closed.
//   nokari-automation-peer --foreground  prints the class of the window in front.
//
// The type library is written at start into the temporary folder and registered there.
#include <cstdio>
#include <string>

#include "automation_fake_cad.h"

namespace {

using namespace fake_cad;

constexpr wchar_t kProgId[] = L"Autocad.Application.24";
constexpr wchar_t kWindowClass[] = L"NokariAutomationPeer";
constexpr CLSID kAppClsid = {
    0x3F2A9C51, 0x7D0B, 0x4E8A, {0xB4, 0x6C, 0x1E, 0x90, 0x5D, 0x27, 0xA3, 0x6F}};
constexpr GUID kLibId = {
    0x8C4D2E73, 0x51A6, 0x4B19, {0x8E, 0x3F, 0x60, 0xD7, 0x2B, 0x95, 0xC1, 0x48}};

std::wstring g_record;
Object g_document{documentTable().data(), 0, &kDocumentIid};
Object g_app{appTable().data(), 0, &kAppIid};

void fail(const char* what, HRESULT hr) { std::fprintf(stderr, "%s: 0x%08lx\n", what, hr); }

void recordCommand(const std::wstring& text) {
  std::string bytes;
  if (const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
      n > 0) {
    bytes.resize(n);
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n,
                        nullptr, nullptr);
  }
  bytes += '\n';
  HANDLE f = CreateFileW(g_record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                         0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
}

template <typename I>
struct Ref {
  I* p = nullptr;
  Ref() = default;
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() {
    if (p) p->Release();
  }
  I* operator->() const { return p; }
};

// One own operation at `position`: no parameters, or the given ones. Named after its position
// unless a name is given.
HRESULT addOperation(ICreateTypeInfo* info, int position, INVOKEKIND kind, const wchar_t* name,
                     ELEMDESC* params, short paramCount) {
  FUNCDESC f{};
  f.memid = 0x60020000 + position;
  f.funckind = FUNC_PUREVIRTUAL;
  f.invkind = kind;
  f.callconv = CC_STDCALL;
  f.cParams = paramCount;
  f.lprgelemdescParam = params;
  f.elemdescFunc.tdesc.vt = VT_HRESULT;
  const UINT index = position - kFirstOwnOperation;
  HRESULT hr = info->AddFuncDesc(index, &f);
  if (FAILED(hr)) return hr;
  std::wstring own = name ? name : L"Unused" + std::to_wstring(position);
  LPOLESTR names[2] = {own.data(), const_cast<LPOLESTR>(L"Text")};
  // A property's value (retval) has no name of its own.
  return info->SetFuncAndParamNames(index, names, kind == INVOKE_PROPERTYGET ? 1 : 1 + paramCount);
}

// A dual interface derived from IDispatch, its own operations still to be added.
HRESULT startInterface(ICreateTypeLib2* lib, const wchar_t* name, const IID& iid,
                       ITypeInfo* dispatch, ICreateTypeInfo** out) {
  HRESULT hr = lib->CreateTypeInfo(const_cast<LPOLESTR>(name), TKIND_INTERFACE, out);
  if (FAILED(hr)) return hr;
  ICreateTypeInfo* info = *out;
  HREFTYPE base = 0;
  if (FAILED(hr = info->SetGuid(iid)) ||
      FAILED(hr = info->SetTypeFlags(TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION)) ||
      FAILED(hr = info->AddRefTypeInfo(dispatch, &base)) || FAILED(hr = info->AddImplType(0, base)))
    return hr;
  return S_OK;
}

HRESULT writeTypeLibrary(const std::wstring& path) {
  Ref<ICreateTypeLib2> lib;
  HRESULT hr = CreateTypeLib2(SYS_WIN64, path.c_str(), &lib.p);
  if (FAILED(hr)) return hr;
  lib->SetGuid(kLibId);
  lib->SetName(const_cast<LPOLESTR>(L"NokariAutomationPeer"));
  lib->SetVersion(1, 0);
  lib->SetLcid(LOCALE_NEUTRAL);

  Ref<ITypeLib> stdole;
  if (FAILED(hr = LoadTypeLib(L"stdole2.tlb", &stdole.p))) return hr;
  Ref<ITypeInfo> dispatch;
  if (FAILED(hr = stdole->GetTypeInfoOfGuid(IID_IDispatch, &dispatch.p))) return hr;

  Ref<ICreateTypeInfo> document;
  if (FAILED(hr =
                 startInterface(lib.p, L"IStandInDocument", kDocumentIid, dispatch.p, &document.p)))
    return hr;
  for (int pos = kFirstOwnOperation; pos <= kSendCommandPosition; ++pos) {
    if (pos == kSendCommandPosition) {
      ELEMDESC text{};
      text.tdesc.vt = VT_BSTR;
      text.paramdesc.wParamFlags = PARAMFLAG_FIN;
      hr = addOperation(document.p, pos, INVOKE_FUNC, L"SendCommand", &text, 1);
    } else {
      hr = addOperation(document.p, pos, INVOKE_FUNC, nullptr, nullptr, 0);
    }
    if (FAILED(hr)) return hr;
  }
  if (FAILED(hr = document->LayOut())) return hr;
  Ref<ITypeInfo> documentInfo;
  if (FAILED(
          hr = document->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(&documentInfo.p))))
    return hr;

  Ref<ICreateTypeInfo> app;
  if (FAILED(hr = startInterface(lib.p, L"IStandInApplication", kAppIid, dispatch.p, &app.p)))
    return hr;
  HREFTYPE documentRef = 0;
  if (FAILED(hr = app->AddRefTypeInfo(documentInfo.p, &documentRef))) return hr;
  for (int pos = kFirstOwnOperation; pos <= kHwndPosition; ++pos) {
    // [out, retval] IStandInDocument** and [out, retval] LONG_PTR*.
    TYPEDESC userDefined{}, toDocument{}, value{};
    userDefined.vt = VT_USERDEFINED;
    userDefined.hreftype = documentRef;
    toDocument.vt = VT_PTR;
    toDocument.lptdesc = &userDefined;
    value.vt = VT_I8;
    ELEMDESC out{};
    out.paramdesc.wParamFlags = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;
    out.tdesc.vt = VT_PTR;
    if (pos == kActiveDocumentPosition) {
      out.tdesc.lptdesc = &toDocument;
      hr = addOperation(app.p, pos, INVOKE_PROPERTYGET, L"ActiveDocument", &out, 1);
    } else if (pos == kHwndPosition) {
      out.tdesc.lptdesc = &value;
      hr = addOperation(app.p, pos, INVOKE_PROPERTYGET, L"HWND", &out, 1);
    } else {
      hr = addOperation(app.p, pos, INVOKE_FUNC, nullptr, nullptr, 0);
    }
    if (FAILED(hr)) return hr;
  }
  if (FAILED(hr = app->LayOut())) return hr;
  return lib->SaveAllChanges();
}

bool setClassesValue(const std::wstring& key, const std::wstring& value) {
  HKEY k = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const LONG r = RegSetValueExW(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
  return r == ERROR_SUCCESS;
}

std::wstring guidText(const GUID& g) {
  wchar_t buf[40] = {};
  StringFromGUID2(g, buf, 40);
  return buf;
}

bool registerAll() {
  wchar_t temp[MAX_PATH] = {};
  if (!GetTempPathW(MAX_PATH, temp)) return false;
  const std::wstring path = std::wstring(temp) + L"nokari-automation-peer.tlb";
  HRESULT hr = writeTypeLibrary(path);
  if (FAILED(hr)) return fail("writing the type library", hr), false;
  Ref<ITypeLib> lib;
  if (FAILED(hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &lib.p)))
    return fail("loading the type library", hr), false;
  if (FAILED(hr = RegisterTypeLib(lib.p, const_cast<LPOLESTR>(path.c_str()), nullptr)))
    return fail("registering the type library", hr), false;
  return setClassesValue(std::wstring(kProgId) + L"\\CLSID", guidText(kAppClsid)) ||
         (fail("registering the ProgID", E_FAIL), false);
}

LRESULT CALLBACK windowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

int printForeground() {
  wchar_t cls[256] = {};
  if (HWND w = GetForegroundWindow()) GetClassNameW(w, cls, 256);
  std::printf("%ls\n", cls);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"--foreground") return printForeground();
  if (argc != 2) {
    std::fputs("usage: nokari-automation-peer RECORD_FILE | --foreground\n", stderr);
    return 2;
  }
  g_record = argv[1];
  if (FAILED(OleInitialize(nullptr))) return fail("OleInitialize", E_FAIL), 1;
  if (!registerAll()) return 1;

  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kWindowClass;
  RegisterClassW(&wc);
  HWND wnd = CreateWindowExW(0, kWindowClass, L"AutoCAD stand-in", WS_OVERLAPPEDWINDOW, 600, 100,
                             500, 400, nullptr, nullptr, inst, nullptr);
  if (!wnd) return fail("CreateWindowEx", HRESULT_FROM_WIN32(GetLastError())), 1;
  g_app.window = wnd;
  g_app.document = &g_document;
  g_document.commandSink = &recordCommand;

  // Wine starts its running object table (rpcss) on first use; until it listens, the
  // registration finds nobody to talk to.
  DWORD cookie = 0;
  HRESULT hr = E_FAIL;
  for (int tries = 0; tries < 50; ++tries) {
    hr = RegisterActiveObject(asUnknown(g_app), kAppClsid, ACTIVEOBJECT_STRONG, &cookie);
    if (hr != HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE)) break;
    Sleep(200);
  }
  if (FAILED(hr)) return fail("RegisterActiveObject", hr), 1;
  ShowWindow(wnd, SW_SHOWNORMAL);
  std::printf("running\n");
  std::fflush(stdout);

  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  RevokeActiveObject(cookie, nullptr);
  CoDisconnectObject(asUnknown(g_app), 0);
  CoDisconnectObject(asUnknown(g_document), 0);
  OleUninitialize();
  return 0;
}
