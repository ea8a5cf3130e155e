// The driver's one deadline: every wait and every sent message ends when it is reached. Also
// the window lookups that all the driver's commands use.
#pragma once

#include <windows.h>

namespace e2e {

inline DWORD g_timeoutMs = 10000;
inline DWORD g_start = 0;

inline DWORD remainingMs() {
  DWORD spent = GetTickCount() - g_start;
  return spent >= g_timeoutMs ? 0 : g_timeoutMs - spent;
}
inline bool expired() { return remainingMs() == 0; }

// Sends with the rest of the deadline as timeout; false when the program did not answer.
inline bool send(HWND w, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result = nullptr) {
  DWORD_PTR r = 0;
  DWORD ms = remainingMs();
  if (ms == 0) ms = 1;
  if (!SendMessageTimeoutW(w, msg, wp, lp, SMTO_NORMAL, ms, &r)) return false;
  if (result) *result = static_cast<LRESULT>(r);
  return true;
}

inline DWORD processOf(HWND w) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  return pid;
}

// Any child, grandchildren included, with the control id.
inline HWND controlById(HWND parent, int id) {
  struct Ctx {
    int id;
    HWND found;
  } ctx{id, nullptr};
  EnumChildWindows(
      parent,
      [](HWND w, LPARAM lp) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(lp);
        if (GetDlgCtrlID(w) != c->id) return TRUE;
        c->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&ctx));
  return ctx.found;
}

}  // namespace e2e
