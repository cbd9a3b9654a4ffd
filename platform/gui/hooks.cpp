// Thread hooks: chains of functions per kind, the last installed first.
#include "platform/gui/hooks.h"

#include <algorithm>
#include <vector>

namespace {

struct THook {
  HHOOK Handle;
  Integer Kind;
  THookProc Proc;
  bool Removed;
};

std::vector<THook> GHooks;  // in installation order
HHOOK GNextHook = 1;
Integer GRunning = 0;  // chains being run; removal waits for them

bool KnownKind(Integer Kind) { return Kind == WH_GETMESSAGE || Kind == WH_CALLWNDPROC || Kind == WH_MOUSE; }

// The index of the next live hook of Kind before Index (newer hooks come last).
Integer NextBefore(Integer Index, Integer Kind) {
  for (Integer i = Index - 1; i >= 0; --i)
    if (GHooks[static_cast<size_t>(i)].Kind == Kind && !GHooks[static_cast<size_t>(i)].Removed) return i;
  return -1;
}

void Compact() {
  if (GRunning > 0) return;
  GHooks.erase(std::remove_if(GHooks.begin(), GHooks.end(), [](const THook& h) { return h.Removed; }), GHooks.end());
}

LRESULT RunFrom(Integer Index, Integer Code, WPARAM WParam, LPARAM LParam) {
  if (Index < 0) return 0;
  THookProc proc = GHooks[static_cast<size_t>(Index)].Proc;
  ++GRunning;
  struct TLeave {
    ~TLeave() {
      --GRunning;
      Compact();
    }
  } leave;
  return proc(Code, WParam, LParam);
}

}  // namespace

HHOOK SetWindowsHookEx(Integer IdHook, THookProc Proc) {
  if (!KnownKind(IdHook) || !Proc) return 0;
  HHOOK h = GNextHook++;
  GHooks.push_back(THook{h, IdHook, Proc, false});
  return h;
}

bool UnhookWindowsHookEx(HHOOK Hook) {
  for (THook& h : GHooks)
    if (h.Handle == Hook && !h.Removed) {
      h.Removed = true;
      Compact();
      return true;
    }
  return false;
}

LRESULT CallNextHookEx(HHOOK Hook, Integer Code, WPARAM WParam, LPARAM LParam) {
  for (size_t i = 0; i < GHooks.size(); ++i)
    if (GHooks[i].Handle == Hook)
      return RunFrom(NextBefore(static_cast<Integer>(i), GHooks[i].Kind), Code, WParam, LParam);
  return 0;
}

LRESULT CallHookChain(Integer IdHook, Integer Code, WPARAM WParam, LPARAM LParam) {
  return RunFrom(NextBefore(static_cast<Integer>(GHooks.size()), IdHook), Code, WParam, LParam);
}

bool HasHooks(Integer IdHook) {
  return std::any_of(GHooks.begin(), GHooks.end(), [&](const THook& h) { return h.Kind == IdHook && !h.Removed; });
}
