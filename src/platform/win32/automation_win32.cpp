// Running automation objects through COM: found in the running object table by ProgID, then
// called by the positions of their operations in an interface's method table.
//
// A call into another program blocks this (the user interface) thread until that program
// answers. Every call, including the releases, runs under a message filter that cancels it
// after kCallLimitMs, and a program that rejects a call (busy) simply fails it.
// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
// clang-format on

#include <string>

#include "platform/win32/system_services.h"
#include "platform/win32/wide.h"

namespace nokari::win {

namespace {

// The three IUnknown and four IDispatch operations come first in a dual interface.
constexpr int kFirstOwnOperation = 7;
// How long one call may wait for the other program before it is cancelled. A CAD loading a
// large file may well take a few seconds to answer; one that takes this long is taken for hung.
constexpr DWORD kCallLimitMs = 10000;
// How often the waiting thread is woken to look at the time while the other program is silent.
constexpr UINT kWakeEveryMs = 250;

// Owns one reference to an interface.
template <typename I>
class ComRef {
 public:
  ComRef() = default;
  explicit ComRef(I* p) : p_(p) {}
  ~ComRef() { reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;

  I* get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // The slot for a call that hands out a reference; drops the one held first.
  I** put() {
    reset();
    return &p_;
  }
  void** putVoid() { return reinterpret_cast<void**>(put()); }
  // Hands the reference over to the caller.
  I* detach() {
    I* p = p_;
    p_ = nullptr;
    return p;
  }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }

 private:
  I* p_ = nullptr;
};

// Owns one BSTR.
class OwnedBstr {
 public:
  explicit OwnedBstr(BSTR s) : s_(s) {}
  ~OwnedBstr() { SysFreeString(s_); }
  OwnedBstr(const OwnedBstr&) = delete;
  OwnedBstr& operator=(const OwnedBstr&) = delete;
  BSTR get() const { return s_; }

 private:
  BSTR s_;
};

// Cancels this thread's outgoing calls once the limit has passed since the call was made, and
// gives up a call the other program rejects (busy) at once. Incoming calls go to the filter in
// place before, if any.
class CallLimitFilter final : public IMessageFilter {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMessageFilter)) {
      *out = static_cast<IMessageFilter*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
  }

  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                             LPINTERFACEINFO info) override {
    return previous_ ? previous_->HandleInComingCall(callType, caller, tickCount, info)
                     : DWORD{SERVERCALL_ISHANDLED};
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override {
    return static_cast<DWORD>(-1);
  }
  // The tick count COM passes is not the time since the call everywhere (Wine passes the
  // time before its latest wait), so the filter keeps its own.
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
    return GetTickCount() - start_ >= kCallLimitMs ? PENDINGMSG_CANCELCALL
                                                   : PENDINGMSG_WAITDEFPROCESS;
  }

  void setPrevious(IMessageFilter* previous) {
    if (previous) previous->AddRef();
    if (previous_) previous_->Release();
    previous_ = previous;
  }
  void restart() { start_ = GetTickCount(); }

 private:
  ~CallLimitFilter() { setPrevious(nullptr); }

  LONG refs_ = 1;
  IMessageFilter* previous_ = nullptr;
  DWORD start_ = GetTickCount();
};

// The filter in place for one operation. COM consults a filter only when a message arrives
// while it waits for the answer, so a small thread posts an empty message to this thread now
// and then for as long as the operation lasts. The filter in place before comes back at the
// end. Outside a single-threaded apartment there is no filter to set (and COM does not wait
// in a message loop there): nothing is done.
class CallLimit {
 public:
  CallLimit() : filter_(new CallLimitFilter) {
    if (FAILED(CoRegisterMessageFilter(filter_, &previous_))) {
      previous_ = nullptr;
      filter_->Release();
      filter_ = nullptr;
      return;
    }
    filter_->setPrevious(previous_);
    done_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (done_) waker_ = CreateThread(nullptr, 0, &wake, this, 0, nullptr);
  }
  ~CallLimit() {
    if (!filter_) return;
    if (waker_) {
      SetEvent(done_);
      WaitForSingleObject(waker_, INFINITE);
      CloseHandle(waker_);
    }
    if (done_) CloseHandle(done_);
    IMessageFilter* ours = nullptr;
    if (SUCCEEDED(CoRegisterMessageFilter(previous_, &ours)) && ours) ours->Release();
    if (previous_) previous_->Release();
    filter_->Release();
  }
  CallLimit(const CallLimit&) = delete;
  CallLimit& operator=(const CallLimit&) = delete;

  // Each call of an operation gets the whole limit.
  void nextCall() {
    if (filter_) filter_->restart();
  }

 private:
  static DWORD WINAPI wake(void* self) {
    const CallLimit& limit = *static_cast<const CallLimit*>(self);
    while (WaitForSingleObject(limit.done_, kWakeEveryMs) == WAIT_TIMEOUT)
      PostThreadMessageW(limit.thread_, WM_NULL, 0, 0);
    return 0;
  }

  CallLimitFilter* filter_;
  IMessageFilter* previous_ = nullptr;  // owned
  const DWORD thread_ = GetCurrentThreadId();
  HANDLE done_ = nullptr;
  HANDLE waker_ = nullptr;
};

// The operation at a position of the interface's method table, called as
// HRESULT __stdcall operation(This, args...).
template <typename... Args>
HRESULT callAt(IUnknown* iface, int position, Args... args) {
  using Slot = void (*)();
  using Operation = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, Args...);
  const Slot* table = *reinterpret_cast<Slot* const*>(iface);
  return reinterpret_cast<Operation>(table[position])(iface, args...);
}

// Text that COM takes as a NUL-terminated string: nullopt when it holds a NUL of its own.
std::optional<std::wstring> comString(const Text& text) {
  if (text.find(u'\0') != Text::npos) return std::nullopt;
  return toWide(text);
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in hexadecimal digits, nothing else.
bool isBracedGuid(std::wstring_view s) {
  if (s.size() != 38 || s.front() != L'{' || s.back() != L'}') return false;
  for (size_t i = 1; i < 37; ++i) {
    const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
    const wchar_t c = s[i];
    const bool hex =
        (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
    if (dash ? c != L'-' : !hex) return false;
  }
  return true;
}

class ComObject final : public AutomationObject {
 public:
  explicit ComObject(IUnknown* iface) : iface_(iface) {}
  ~ComObject() override {
    // The release is a call into the other program too.
    try {
      CallLimit limit;
      iface_.reset();
    } catch (...) {
      iface_.reset();
    }
  }

  std::optional<std::uintptr_t> readHandle(int position) override {
    if (position < kFirstOwnOperation) return std::nullopt;
    try {
      CallLimit limit;
      // A callee that writes only 32 bits still leaves the right handle.
      LONG_PTR value = 0;
      if (FAILED(callAt(iface_.get(), position, &value))) return std::nullopt;
      return static_cast<std::uintptr_t>(value);
    } catch (...) {
      return std::nullopt;
    }
  }

  std::unique_ptr<AutomationObject> readObject(int position) override {
    if (position < kFirstOwnOperation) return nullptr;
    try {
      CallLimit limit;
      IDispatch* raw = nullptr;
      // On failure the callee hands out nothing (COM's rule); whatever it left is not ours.
      if (FAILED(callAt(iface_.get(), position, &raw)) || !raw) return nullptr;
      ComRef<IUnknown> object(raw);
      auto held = std::make_unique<ComObject>(object.get());
      object.detach();  // the holder owns the reference now
      return held;
    } catch (...) {
      return nullptr;
    }
  }

  bool callWithText(int position, const Text& text) override {
    if (position < kFirstOwnOperation) return false;
    try {
      const std::wstring wide = toWide(text);
      if (wide.size() > 0x7FFFFFFF / sizeof(wchar_t)) return false;
      const OwnedBstr arg(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
      if (!arg.get()) return false;
      CallLimit limit;
      return SUCCEEDED(callAt(iface_.get(), position, arg.get()));
    } catch (...) {
      return false;
    }
  }

 private:
  ComRef<IUnknown> iface_;
};

class SystemAutomation final : public Automation {
 public:
  std::unique_ptr<AutomationObject> attachRunning(const Text& progId,
                                                  const Text& iidText) override {
    try {
      const std::optional<std::wstring> prog = comString(progId), iidWide = comString(iidText);
      if (!prog || !iidWide || !isBracedGuid(*iidWide)) return nullptr;
      IID iid{};
      if (FAILED(IIDFromString(iidWide->c_str(), &iid))) return nullptr;
      CLSID clsid{};
      if (FAILED(CLSIDFromProgID(prog->c_str(), &clsid))) return nullptr;

      CallLimit limit;
      ComRef<IUnknown> running;
      if (FAILED(GetActiveObject(clsid, nullptr, running.put())) || !running) return nullptr;
      limit.nextCall();
      ComRef<IDispatch> dispatch;
      if (FAILED(running->QueryInterface(IID_IDispatch, dispatch.putVoid())) || !dispatch)
        return nullptr;
      limit.nextCall();
      ComRef<IUnknown> iface;
      if (FAILED(dispatch->QueryInterface(iid, iface.putVoid())) || !iface) return nullptr;
      auto held = std::make_unique<ComObject>(iface.get());
      iface.detach();  // the holder owns the reference now
      return held;
    } catch (...) {
      return nullptr;
    }
  }
};

}  // namespace

std::unique_ptr<Automation> makeSystemAutomation() { return std::make_unique<SystemAutomation>(); }

}  // namespace nokari::win
