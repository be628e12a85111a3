#include "exports/Project.h"

#include <memory>

#include "exports/Clauses.h"
#include "utils/errors/Utils.ThreadState.h"
#include "utils/runtime/Utils.Module.h"
#include "utils/text/Utils.Strings.h"

namespace Project {
namespace {

constexpr char kUnit[] = "Project";
constexpr char kInitSignature[] = "bool __cdecl Project::Init(const unsigned long)";
constexpr wchar_t kFallbackName[] = L"Sedgefold.dll";

std::wstring g_moduleName;
int g_started = 0;  // guarded by the start-up lock

// Lives until the process ends, so no static destructor runs after unload
// has taken the master lock down.
Utils::Smart::Pointer<g_CInitCS>& StartupLockSlot() {
  static auto* slot = new Utils::Smart::Pointer<g_CInitCS>();
  return *slot;
}

// Enters the start-up lock for the life of the object; the copy of the
// smart pointer is dropped at once, the static one keeps the lock alive.
class StartupScope {
 public:
  StartupScope() : lock_(StartupLock()), entered_(*lock_.Get()) { lock_.Reset(); }

 private:
  Utils::Smart::Pointer<g_CInitCS> lock_;
  Utils::Sync::ScopedLock entered_;
};

}  // namespace

bool Init(const unsigned long) {
  return Sedgefold::RunReported(SF_SITE_IN(kUnit, kInitSignature, Utils::Error::kFunction), [] {
    StartupScope scope;
    if (g_started == 0) g_started = 1;
  });
}

Utils::Smart::Pointer<g_CInitCS> StartupLock() {
  Utils::Sync::ScopedLock master(Utils::Sync::Master());
  Utils::Smart::Pointer<g_CInitCS>& slot = StartupLockSlot();
  if (!slot) {
    auto fresh = std::make_unique<g_CInitCS>();
    slot.Assign(fresh.release());
  }
  return slot;
}

const std::wstring& ModuleName() { return g_moduleName; }

std::wstring ModuleNameOf(const std::wstring& fullPath, bool* pin) {
  const std::wstring path = Utils::String::Path::WithoutTrailingBackslash(fullPath);
  const std::size_t slash = path.rfind(L'\\');
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  *pin = name.find(L".exe") == std::wstring::npos;
  if (!*pin)
    Utils::String::ReplaceW(name, 0, name.size(), L".exe", L".dll", true);
  return name;
}

void Attach(HINSTANCE module) noexcept {
  try {
    bool pin = false;
    g_moduleName = ModuleNameOf(Utils::Module::FullPath(module), &pin);
    if (pin) Utils::Module::Increment(g_moduleName);
  } catch (...) {
    // No box may be shown under the loader lock, and refusing the load would
    // only give the host an unexplained import failure: the library stays
    // loaded, unpinned.
    try {
      if (g_moduleName.empty()) g_moduleName = kFallbackName;
    } catch (...) {
    }
  }
}

void Detach() noexcept {
  try {
    StartupScope scope;
    if (g_started != 0) g_started = 0;
  } catch (...) {
  }
  try {
    Utils::Smart::ShutdownClassIds();
  } catch (...) {
  }
  // Threads that outlive the library never reach DLL_THREAD_DETACH here.
  Utils::ThreadState::FreeAll();
  Utils::Sync::DestroyMaster();
}

}  // namespace Project
