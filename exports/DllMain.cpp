#include <windows.h>

#include "exports/Project.h"
#include "utils/errors/Utils.ThreadState.h"

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    Project::Attach(module);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // Only on a real unload: when the process is ending, other threads are
    // already gone, possibly holding our locks, and waiting for them could
    // hang the host's exit.
    Project::Detach();
  } else if (reason == DLL_THREAD_DETACH) {
    // A thread's record lives no longer than the thread.
    Utils::ThreadState::ThreadEnds();
  }
  return TRUE;
}
