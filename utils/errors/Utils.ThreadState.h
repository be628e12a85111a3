#pragma once
// What the library keeps for each thread that calls it: how that thread's
// reports reach its caller, and the text of its last report. A thread's
// record is made the first time it is needed (a quiet mode set, a report
// kept), freed when the thread ends (ThreadEnds, at DLL_THREAD_DETACH) and,
// for threads still alive then, when the library unloads (FreeAll). No
// thread_local: its destructor would be left for the runtime to call in
// unmapped code once an unloaded library's threads end.
#include <cstddef>
#include <string>
#include <string_view>

namespace Utils::ThreadState {

// How the calling thread's reports reach its caller.
constexpr int kAsk = -1;    // SetMode only answers
constexpr int kBoxes = 0;   // a message box, the report kept as well
constexpr int kQuiet = 1;   // the report kept, no box

// Sets the calling thread's mode and answers the one in force before. An
// unknown mode, or a quiet one that finds no memory or TLS slot for the
// record, changes nothing and answers -1. Asking, or setting boxes on a thread that has no
// record, makes none.
int SetMode(int mode) noexcept;
bool Quiet() noexcept;

// The thread's last report: emptied as each export starts (with the note
// below), and every report of the call appended in order, one blank line
// apart.
void ClearReport() noexcept;
void KeepReport(const std::wstring& report) noexcept;
// The kept text, empty when nothing was reported; valid until the thread's
// next call that reports or clears. A report that found no memory reads as
// a fixed text saying so, never as success.
std::wstring_view LastReport() noexcept;

// The reason of a failure the call answers with a plain "no", kept by the
// export's frame; TakeNote gives it and forgets it, empty when none was
// kept.
void KeepNote(const std::wstring& reason) noexcept;
std::wstring TakeNote();

// Frees the calling thread's record.
void ThreadEnds() noexcept;
// Frees every record and the TLS slot, as the library unloads; the next use
// starts afresh.
void FreeAll() noexcept;
// Records alive now.
std::size_t Live() noexcept;

}  // namespace Utils::ThreadState
