// The terminal around a translated MQL5 program: the journal (standard
// output, a line a Print), the environment the test sets, the binding of
// #import to the DLL with the terminal's refusals, files in the sandbox,
// time, and the events of each kind of program, with the terminal's limits:
// a program is stopped forcibly 3 s after IsStopped() turns true, OnDeinit
// after 2.5 s (the MQL5 reference).
//
// What a test sets, as environment variables (names of MQL5's own where
// they exist): MQL_PROGRAM_TYPE (script, expert, indicator, service),
// MQL_PROGRAM_NAME, MQL_TESTER, MQL_OPTIMIZATION, MQL_DLLS_ALLOWED (1
// unless 0), TERMINAL_DATA_PATH, TERMINAL_COMMONDATA_PATH, SF_INPUT_<name>;
// SF_KIT_DLL (the file #import "Sedgefold.dll" loads), SF_TIMER_CALLS (an
// expert's OnTimer calls, 3), SF_STOP_ON (IsStopped() turns true as that
// export is called), SF_TICKS_PER_CALL (GetTickCount() advances so many ms
// at each export call: work of a known length without waiting for it),
// SF_HANDLER_MS (the longest an expert's handler may run, 60000).
#include "mql5.h"  // first: <windows.h> makes macros of CP_ACP and CP_UTF8, of the same values

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <thread>

#include "host/Boxes.h"
#include "host/Text.h"

namespace mql5 {
using namespace rt;
namespace {

std::mutex gJournalMutex;
std::vector<string> gJournal;
int gLastError = 0, gFailures = 0;
bool gTimerSet = false;
std::atomic<long_> gCalls{0};
std::atomic<ULONGLONG> gStoppedAt{0}, gHandlerSince{0}, gHandlerLimit{0};
std::map<string, HMODULE> gLibraries;
std::map<int, HANDLE> gFiles;

long_ EnvNumber(const wchar_t* name, long_ fallback) {
  const string text = Env(name);
  return text.empty() ? fallback : std::stoll(text);
}

ENUM_PROGRAM_TYPE ProgramType() {
  const string type = Env(L"MQL_PROGRAM_TYPE");
  const wchar_t* names[] = {L"script", L"expert", L"indicator", L"service"};
  for (int i = 0; i < 4; i++)
    if (type == names[i]) return ENUM_PROGRAM_TYPE(PROGRAM_SCRIPT + i);
  return kProgram.type;
}

// <data folder>\MQL5\Files\name, or <common folder>\Files\name.
string SandboxPath(const string& name, bool common) {
  return common ? Env(L"TERMINAL_COMMONDATA_PATH") + L"\\Files\\" + name
                : Env(L"TERMINAL_DATA_PATH") + L"\\MQL5\\Files\\" + name;
}

// A handler runs; the watchdog ends it after limitMs.
template <class F> auto Handle(F handler, ULONGLONG limitMs) {
  gHandlerLimit = limitMs;
  gHandlerSince = GetTickCount64();
  struct Done { ~Done() { gHandlerSince = 0; } } done;
  return handler();
}

[[noreturn]] void Terminate(const string& why, UINT code) {
  Journal(why);
  TerminateProcess(GetCurrentProcess(), code);
  for (;;) Sleep(INFINITE);
}

void Watch() {
  for (;; ::Sleep(20)) {
    const ULONGLONG now = GetTickCount64(), stopped = gStoppedAt, since = gHandlerSince;
    if (stopped != 0 && now - stopped > ULONGLONG(EnvNumber(L"SF_FORCED_STOP_MS", 3000)))
      Terminate(L"Stopped forcibly: still running 3 s after IsStopped() turned true", 5);
    if (since != 0 && now - since > gHandlerLimit)
      Terminate(L"Stopped forcibly: a handler ran past " + std::to_wstring(gHandlerLimit) + L" ms", 5);
  }
}

bool InJail() {
  return !(GetLogicalDrives() & (1u << ('Z' - 'A'))) && !Env(L"SF_JAIL").empty();
}

}  // namespace

[[noreturn]] void rt::Stop(const string& why) { Terminate(L"Critical error: " + why + L"; the program is stopped", 4); }
int GetLastError() { return gLastError; }
void ResetLastError() { gLastError = 0; }
void SetLastError(int code) { gLastError = code; }

string rt::Env(const string& name) {
  string value(32767, L'\0');
  value.resize(GetEnvironmentVariableW(name.c_str(), &value[0], DWORD(value.size())));
  return value;
}

long_ MQLInfoInteger(int id) {
  switch (id) {
    case MQL_PROGRAM_TYPE: return ProgramType();
    case MQL_DLLS_ALLOWED: return EnvNumber(L"MQL_DLLS_ALLOWED", 1);
    case MQL_TESTER: return EnvNumber(L"MQL_TESTER", 0);
    case MQL_OPTIMIZATION: return EnvNumber(L"MQL_OPTIMIZATION", 0);
  }
  return 0;
}
string MQLInfoString(int id) {
  const string name = Env(L"MQL_PROGRAM_NAME");
  return id != MQL_PROGRAM_NAME ? string() : name.empty() ? kProgram.name : name;
}
string TerminalInfoString(int id) {
  return Env(id == TERMINAL_DATA_PATH ? L"TERMINAL_DATA_PATH" : L"TERMINAL_COMMONDATA_PATH");
}

bool IsStopped() { return gStoppedAt != 0; }
uint GetTickCount() { return uint(GetTickCount64() + ULONGLONG(gCalls * EnvNumber(L"SF_TICKS_PER_CALL", 0))); }
void Sleep(int ms) { ::Sleep(DWORD(ms)); }
bool EventSetTimer(int seconds) { return gTimerSet = seconds > 0; }
void EventKillTimer() { gTimerSet = false; }

void* rt::Resolve(const char* name) {
  ++gCalls;
  const string wide = Host::Wide(name), call = L"cannot call 'Sedgefold.dll::" + wide + L"'";
  if (Env(L"SF_STOP_ON") == wide && gStoppedAt == 0) gStoppedAt = GetTickCount64();
  if (MQLInfoInteger(MQL_DLLS_ALLOWED) == 0) Stop(call + L": DLL imports are not allowed");
  const string file = Env(L"SF_KIT_DLL").empty() ? L"Sedgefold.dll" : Env(L"SF_KIT_DLL");
  HMODULE& library = gLibraries[file];
  if (library == nullptr && (library = LoadLibraryW(file.c_str())) == nullptr)
    Stop(L"cannot load '" + file + L"' [" + std::to_wstring(::GetLastError()) + L"]");
  void* found = reinterpret_cast<void*>(GetProcAddress(library, name));
  return found != nullptr ? found : (Stop(call + L": " + file + L" has no such export"), nullptr);
}

void rt::Journal(const string& line) {
  const std::lock_guard<std::mutex> lock(gJournalMutex);
  gJournal.push_back(line);
  const std::string bytes = Host::Utf8(line) + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

string rt::Narrowed(const string& text, unsigned codepage, std::string* bytes) {
  BOOL lost = FALSE;
  const int n = WideCharToMultiByte(codepage, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  bytes->assign(std::size_t(n), '\0');
  WideCharToMultiByte(codepage, 0, text.data(), int(text.size()), &(*bytes)[0], n, nullptr,
                      codepage == CP_UTF8 ? nullptr : &lost);
  return Widened(bytes->data(), n, codepage);
}
string rt::Widened(const char* bytes, int count, unsigned codepage) {
  string text(std::size_t(MultiByteToWideChar(codepage, 0, bytes, count, nullptr, 0)), L'\0');
  MultiByteToWideChar(codepage, 0, bytes, count, &text[0], int(text.size()));
  return text;
}
bool StringToLower(string& text) { return CharLowerBuffW(&text[0], DWORD(text.size())), true; }
bool StringToUpper(string& text) { return CharUpperBuffW(&text[0], DWORD(text.size())), true; }

string rt::Format(const string& format, const std::vector<Value>& values) {
  string out;
  std::size_t next = 0;
  for (std::size_t at = 0; at < format.size(); at++) {
    if (format[at] != L'%' || at + 1 == format.size()) { out += format[at]; continue; }
    const std::size_t end = format.find_first_of(L"diouxXcfeEgGs%", at + 1);
    string spec = format.substr(at, end - at);  // flags, width, precision; no length modifier
    spec.erase(std::remove_if(spec.begin(), spec.end(), [](wchar_t c) { return wcschr(L"hlLqjzt", c) != nullptr; }),
               spec.end());
    const wchar_t kind = end == string::npos ? L's' : format[end];
    at = end == string::npos ? format.size() : end;
    if (kind == L'%') { out += L'%'; continue; }
    const Value v = next < values.size() ? values[next++] : Value{true, false, L"", 0, 0};
    wchar_t text[512];
    if (kind == L's' || v.isText)
      swprintf(text, 512, (spec + L"ls").c_str(), (v.isText ? v.text : Format(L"%d", {v})).c_str());
    else if (wcschr(L"feEgG", kind))
      swprintf(text, 512, (spec + kind).c_str(), v.isReal ? v.real : double(v.integer));
    else
      swprintf(text, 512, (spec + L"ll" + kind).c_str(), v.isReal ? long_(v.real) : v.integer);
    out += text;
  }
  return out;
}

datetime TimeLocal() {
  SYSTEMTIME local;
  FILETIME time;
  GetLocalTime(&local);
  SystemTimeToFileTime(&local, &time);
  return datetime((ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart / 10000000) - 11644473600LL);
}
string TimeToString(datetime seconds, int mode) {
  const ULONGLONG ticks = ULONGLONG(seconds + 11644473600LL) * 10000000;
  const FILETIME time{DWORD(ticks), DWORD(ticks >> 32)};
  SYSTEMTIME t;
  FileTimeToSystemTime(&time, &t);
  string text = mode & TIME_DATE ? Format(L"%04d.%02d.%02d", {ValueOf(t.wYear), ValueOf(t.wMonth), ValueOf(t.wDay)}) : L"";
  if (mode & (TIME_MINUTES | TIME_SECONDS))
    text += (text.empty() ? L"" : L" ") + Format(L"%02d:%02d", {ValueOf(t.wHour), ValueOf(t.wMinute)}) +
            (mode & TIME_SECONDS ? Format(L":%02d", {ValueOf(t.wSecond)}) : L"");
  return text;
}

// Files of the sandbox: the text modes the kit writes, UTF-16 with its mark.
int FileOpen(const string& name, int flags, ushort, uint) {
  const HANDLE file = CreateFileW(SandboxPath(name, flags & FILE_COMMON).c_str(),
                                  (flags & FILE_WRITE ? GENERIC_WRITE : 0) | (flags & FILE_READ ? GENERIC_READ : 0),
                                  FILE_SHARE_READ, nullptr, flags & FILE_WRITE ? CREATE_ALWAYS : OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return SetLastError(ERR_CANNOT_OPEN_FILE), INVALID_HANDLE;
  static int last = 0;
  const int handle = ++last;
  gFiles[handle] = file;
  if (flags & FILE_WRITE && flags & FILE_UNICODE) FileWriteString(handle, L"\xFEFF");
  return handle;
}
uint FileWriteString(int handle, const string& text, int length) {
  const std::string bytes(reinterpret_cast<const char*>(text.data()),
                          2 * (length < 0 ? text.size() : std::min(text.size(), std::size_t(length))));
  DWORD written = 0;
  return gFiles.count(handle) && WriteFile(gFiles[handle], bytes.data(), DWORD(bytes.size()), &written, nullptr) ? written : 0;
}
void FileClose(int handle) {
  if (gFiles.count(handle)) CloseHandle(gFiles[handle]);
  gFiles.erase(handle);
}
bool FileIsExist(const string& name, int common) {
  const DWORD attributes = GetFileAttributesW(SandboxPath(name, common & FILE_COMMON).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return SetLastError(ERR_FILE_NOT_EXIST), false;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? (SetLastError(ERR_FILE_IS_DIRECTORY), false) : true;
}

void Expect(bool ok, const string& what) {
  if (!ok) Journal(L"FAILED: " + what), gFailures++;
}
int JournalLines() {
  const std::lock_guard<std::mutex> lock(gJournalMutex);
  return int(gJournal.size());
}
int JournalFind(const string& needle, int from) {
  const std::lock_guard<std::mutex> lock(gJournalMutex);
  int found = 0;
  for (std::size_t i = std::size_t(std::max(from, 0)); i < gJournal.size(); i++) found += gJournal[i].find(needle) != string::npos;
  return found;
}
void TestSet(const string& name, const string& value) {
  SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
}
bool TestWriteFile(const string& path, const string& text) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  const std::string bytes = Host::Utf8(text);
  const bool ok = file != INVALID_HANDLE_VALUE && WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  return CloseHandle(file), ok;
}
long_ TestCalls() { return gCalls; }
string TestReadFile(const string& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  std::string bytes(65536, '\0');
  DWORD read = 0;
  if (file != INVALID_HANDLE_VALUE) ReadFile(file, &bytes[0], DWORD(bytes.size()), &read, nullptr), CloseHandle(file);
  return Widened(bytes.data(), int(read), CP_UTF8);
}
bool TestExists(const string& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace mql5

// The events of the program's kind, as the terminal sends them: OnStart
// alone, or OnInit, OnTimer while a timer is set, and OnDeinit. Exit status:
// 0, 1 when an expectation failed, 3 outside the jail, 4 stopped by a
// critical error, 5 stopped forcibly.
int main() {
  using namespace mql5;
  using namespace mql5::rt;
  if (!InJail()) return std::fputs("Not in the test jail: run it through tests/kit-run.sh\n", stderr), 3;
  Host::SetBoxSink([](const Host::Box& box) { Journal(L"Message box \"" + box.caption + L"\": " + box.FirstLine()); });
  std::thread(Watch).detach();
  const Program& p = kProgram;
  const ULONGLONG limit = ULONGLONG(EnvNumber(L"SF_HANDLER_MS", 60000));
  if (p.onStart != nullptr) {
    Handle([&] { return p.onStart(), 0; }, ULONGLONG(-1));
  } else {
    const int init = p.onInit == nullptr ? INIT_SUCCEEDED : Handle(p.onInit, limit);
    if (init != INIT_SUCCEEDED) Journal(L"OnInit answered " + std::to_wstring(init));
    for (long_ i = 0; init == INIT_SUCCEEDED && gTimerSet && p.onTimer && i < EnvNumber(L"SF_TIMER_CALLS", 3); i++)
      Handle([&] { return p.onTimer(), 0; }, limit);
    if (p.onDeinit != nullptr)
      Handle([&] { return p.onDeinit(init == INIT_SUCCEEDED ? REASON_REMOVE : REASON_INITFAILED), 0; }, 2500);
  }
  return gFailures > 0 ? 1 : 0;
}
