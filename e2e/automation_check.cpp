// Nokari's Win32 Automation against a fake CAD application object running in this process:
// what attachRunning finds and refuses, what each operation gives for answers and failures,
// and that every reference taken is given back. Prints one "ok NAME" or "FAIL NAME" line per
// check; ends with status 1 when any failed.
#include <cstdio>
#include <stdexcept>

#include "automation_fake_cad.h"
#include "platform/win32/system_services.h"

namespace {

using namespace fake_cad;
using nokari::Text;

constexpr wchar_t kProgId[] = L"Nokari.AutomationCheck.1";
constexpr char16_t kProgId16[] = u"Nokari.AutomationCheck.1";
constexpr CLSID kClsid = {
    0x1D7B3E42, 0x90C5, 0x4A21, {0xA8, 0x3E, 0x6F, 0x14, 0xC2, 0x9D, 0x05, 0xB7}};
constexpr char16_t kAppIidText[] = u"{52EE1CD2-A793-4DEC-9DF9-71CE75881F05}";
const HWND kWindow = reinterpret_cast<HWND>(0x7FFF12345678);

// Positions beyond a CAD's own: a handle written only in its low 32 bits, an object property
// that succeeds with none, and an operation that throws.
constexpr int kLowHalfPosition = 54, kNoObjectPosition = 55, kThrowingPosition = 56;
constexpr LONG kLowHalf = 0x1234ABCD;
constexpr int kUnused = 20;

int g_failed = 0;
std::wstring g_received;

void check(bool good, const char* name) {
  std::printf("%s %s\n", good ? "ok" : "FAIL", name);
  if (!good) ++g_failed;
}
// What the checks stand on: reported only when it fails.
bool setUp(bool good, const char* name) {
  if (!good) check(false, name);
  return good;
}

HRESULT STDMETHODCALLTYPE lowHalf(Object*, LONG* value) {
  *value = kLowHalf;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE noObject(Object*, IDispatch** value) {
  *value = nullptr;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE throwing(Object*, BSTR) { throw std::runtime_error("rejected"); }

void receive(const std::wstring& text) { g_received = text; }

const std::vector<Slot>& checkAppTable() {
  static const std::vector<Slot> t = [] {
    std::vector<Slot> t = appTable();
    t.resize(kThrowingPosition + 1, slot(&notImplemented));
    t[kLowHalfPosition] = slot(&lowHalf);
    t[kNoObjectPosition] = slot(&noObject);
    t[kThrowingPosition] = slot(&throwing);
    return t;
  }();
  return t;
}

// A message filter that only has to be there: it must be in place again after every call.
class KeptFilter final : public IMessageFilter {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMessageFilter)) {
      *out = this;
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    return SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return DWORD(-1); }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
    return PENDINGMSG_WAITDEFPROCESS;
  }
  ULONG refs = 0;
};

bool registerProgId() {
  wchar_t clsid[40] = {};
  StringFromGUID2(kClsid, clsid, 40);
  HKEY k = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, (std::wstring(kProgId) + L"\\CLSID").c_str(), 0, nullptr,
                      0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG r = RegSetValueExW(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid),
                                static_cast<DWORD>((wcslen(clsid) + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
  return r == ERROR_SUCCESS;
}

}  // namespace

int main() {
  if (FAILED(OleInitialize(nullptr))) {
    std::puts("FAIL OleInitialize");
    return 1;
  }
  const auto automation = nokari::win::makeSystemAutomation();
  Object document{documentTable().data(), 0, &kDocumentIid, nullptr, nullptr, &receive};
  Object app{checkAppTable().data(), 0, &kAppIid, kWindow, &document};

  check(!automation->attachRunning(u"Nokari.NotRegistered.1", kAppIidText),
        "an unregistered ProgID finds nothing");
  if (!setUp(registerProgId(), "the check's ProgID is registered")) return 1;
  check(!automation->attachRunning(kProgId16, kAppIidText),
        "a registered ProgID with nothing running finds nothing");

  KeptFilter kept;
  CoRegisterMessageFilter(&kept, nullptr);
  DWORD cookie = 0;
  HRESULT hr = E_FAIL;
  for (int tries = 0; tries < 50; ++tries) {  // Wine's rpcss may still be starting
    hr = RegisterActiveObject(asUnknown(app), kClsid, ACTIVEOBJECT_STRONG, &cookie);
    if (hr != HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE)) break;
    Sleep(200);
  }
  if (!setUp(SUCCEEDED(hr), "the fake application object runs")) return 1;
  const LONG appRefs = app.refs, documentRefs = document.refs;

  check(!automation->attachRunning(kProgId16, u"52EE1CD2-A793-4DEC-9DF9-71CE75881F05"),
        "an IID without braces is refused");
  check(!automation->attachRunning(kProgId16, u"{52EE1CD2-A793-4DEC-9DF9-71CE75881F0}"),
        "a short IID is refused");
  check(!automation->attachRunning(kProgId16, u"{D48F17B7-773E-4238-A6C6-B2BBEBAA9A1E}"),
        "an interface the object lacks is refused");

  if (auto attached = automation->attachRunning(kProgId16, kAppIidText)) {
    check(true, "the running object is attached through its interface");
    const auto handle = attached->readHandle(kHwndPosition);
    check(handle && *handle == reinterpret_cast<std::uintptr_t>(kWindow),
          "the handle property gives the whole 64-bit handle");
    const auto low = attached->readHandle(kLowHalfPosition);
    check(low && *low == static_cast<std::uintptr_t>(kLowHalf),
          "a handle written in 32 bits has nothing above them");
    check(!attached->readHandle(kUnused), "a failing property gives no handle");
    check(!attached->readHandle(2), "no handle from IUnknown's positions");
    check(!attached->readObject(kUnused), "a failing property gives no object");
    check(!attached->readObject(kNoObjectPosition), "a property that gives none gives no object");
    check(!attached->callWithText(kThrowingPosition, u"x"), "an operation that throws fails");
    if (auto doc = attached->readObject(kActiveDocumentPosition)) {
      const Text text = u"\x1b(load \"C:\\\\データ\\\\a.lsp\")(princ)\r";
      check(doc->callWithText(kSendCommandPosition, text) &&
                g_received == std::wstring(text.begin(), text.end()),
            "the document's operation gets the whole text");
      check(!doc->callWithText(kUnused, u"x"), "a failing operation fails");
    } else {
      check(false, "the document property gives the document");
    }
  } else {
    check(false, "the running object is attached through its interface");
  }
  check(app.refs == appRefs && document.refs == documentRefs,
        "every reference taken is given back");
  IMessageFilter* current = nullptr;
  CoRegisterMessageFilter(nullptr, &current);
  check(current == &kept, "the message filter in place before is back after every call");
  if (current) current->Release();

  RevokeActiveObject(cookie, nullptr);
  OleUninitialize();
  return g_failed ? 1 : 0;
}
