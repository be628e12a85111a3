// The terminal around a translated MQL5 program: the journal (standard
// output, a line a Print), the environment the test sets, the binding of
// #import to the DLL with the terminal's refusals, files in the sandbox,
// time, and the events of each kind of program. As the MQL5 reference says
// of IsStopped(), a program still running 3 s after it turned true is
// stopped forcibly.
//
// What a test sets, as environment variables (MQL5's names where it has
// them): MQL_PROGRAM_TYPE (script, expert, indicator, service),
// MQL_PROGRAM_NAME, MQL_TESTER, MQL_OPTIMIZATION, MQL_DLLS_ALLOWED (1 unless
// 0), TERMINAL_DATA_PATH, TERMINAL_COMMONDATA_PATH, SF_INPUT_<name>;
// SF_KIT_DLL (the file #import "Sedgefold.dll" loads), SF_TIMER_CALLS (an
// expert's OnTimer calls, 3), SF_STOP_ON (IsStopped() turns true as that
// export is called), SF_TICKS_PER_CALL (GetTickCount() advances so many ms
// at each export call: work of a known length without waiting for it).
#include "mql5.h"  // first: <windows.h> makes macros of CP_ACP and CP_UTF8, of the same values

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <map>
#include <mutex>
#include <thread>

#include "host/Boxes.h"
#include "host/Text.h"
#include "host/Tree.h"

namespace mql5 {
using namespace rt;
namespace {

std::mutex gJournalMutex;
std::vector<string> gJournal;
int gLastError = 0, gFailures = 0;
bool gTimerSet = false;
std::atomic<bool> gStopped{false};
std::atomic<long_> gCalls{0};
std::map<string, HMODULE> gLibraries;
std::map<int, FILE*> gFiles;

long_ Number(const wchar_t* name, long_ fallback) {
  const string text = Env(name);
  return text.empty() ? fallback : std::stoll(text);
}

ENUM_PROGRAM_TYPE ProgramType() {
  const string type = Env(L"MQL_PROGRAM_TYPE"), names[] = {L"script", L"expert", L"indicator", L"service"};
  const auto found = std::find(names, names + 4, type);
  return found == names + 4 ? kProgram.type : ENUM_PROGRAM_TYPE(PROGRAM_SCRIPT + (found - names));
}

string SandboxPath(const string& name, bool common) {
  return common ? Env(L"TERMINAL_COMMONDATA_PATH") + L"\\Files\\" + name
                : Env(L"TERMINAL_DATA_PATH") + L"\\MQL5\\Files\\" + name;
}

[[noreturn]] void Terminate(const string& why, UINT code) {
  Journal(why);
  TerminateProcess(GetCurrentProcess(), code);
  for (;;) ::Sleep(INFINITE);
}

void StopRequested() {
  if (!gStopped.exchange(true))
    std::thread([] { ::Sleep(3000), Terminate(L"Stopped forcibly: running 3 s after IsStopped() turned true", 5); }).detach();
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
  if (id == MQL_PROGRAM_TYPE) return ProgramType();
  const wchar_t* names[] = {L"", L"MQL_DLLS_ALLOWED", L"MQL_TESTER", L"MQL_OPTIMIZATION"};
  return id < 1 || id > 3 ? 0 : Number(names[id], id == MQL_DLLS_ALLOWED);
}
string MQLInfoString(int id) {
  const string name = Env(L"MQL_PROGRAM_NAME");
  return id != MQL_PROGRAM_NAME ? string() : name.empty() ? kProgram.name : name;
}
string TerminalInfoString(int id) {
  return Env(id == TERMINAL_DATA_PATH ? L"TERMINAL_DATA_PATH" : L"TERMINAL_COMMONDATA_PATH");
}

bool IsStopped() { return gStopped; }
uint GetTickCount() { return uint(GetTickCount64() + ULONGLONG(gCalls * Number(L"SF_TICKS_PER_CALL", 0))); }
void Sleep(int ms) { ::Sleep(DWORD(ms)); }
bool EventSetTimer(int seconds) { return gTimerSet = seconds > 0; }
void EventKillTimer() { gTimerSet = false; }
// Seconds since 1970 of the local time, as MQL5 counts them.
datetime TimeLocal() {
  const std::time_t now = std::time(nullptr);
  return _mkgmtime(std::localtime(&now));
}
string TimeToString(datetime time, int mode) {
  const std::time_t seconds = std::time_t(time);
  wchar_t text[32];
  const wchar_t* format = mode & TIME_DATE ? (mode & TIME_SECONDS ? L"%Y.%m.%d %H:%M:%S" : mode & TIME_MINUTES ? L"%Y.%m.%d %H:%M" : L"%Y.%m.%d")
                                           : (mode & TIME_SECONDS ? L"%H:%M:%S" : L"%H:%M");
  return string(text, wcsftime(text, 32, format, std::gmtime(&seconds)));
}

void* rt::Resolve(const char* name) {
  ++gCalls;
  const string wide = Host::Wide(name), call = L"cannot call 'Sedgefold.dll::" + wide + L"'";
  if (Env(L"SF_STOP_ON") == wide) StopRequested();
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
  std::fputs((Host::Utf8(line) + "\n").c_str(), stdout);
  std::fflush(stdout);
}

string rt::Narrowed(const string& text, unsigned codepage, std::string* bytes) {
  const int n = WideCharToMultiByte(codepage, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  bytes->assign(std::size_t(n), '\0');
  WideCharToMultiByte(codepage, 0, text.data(), int(text.size()), &(*bytes)[0], n, nullptr, nullptr);
  return Widened(bytes->data(), n, codepage);
}
string rt::Widened(const char* bytes, int count, unsigned codepage) {
  string text(std::size_t(MultiByteToWideChar(codepage, 0, bytes, count, nullptr, 0)), L'\0');
  MultiByteToWideChar(codepage, 0, bytes, count, &text[0], int(text.size()));
  return text;
}
bool StringToLower(string& text) { return CharLowerBuffW(&text[0], DWORD(text.size())), true; }
bool StringToUpper(string& text) { return CharUpperBuffW(&text[0], DWORD(text.size())), true; }

// printf's specs, each given its value: flags, width and precision kept,
// the length taken from the value.
string rt::Format(const string& format, const std::vector<Value>& values) {
  string out;
  std::size_t next = 0;
  for (std::size_t at = 0; at < format.size(); at++) {
    const std::size_t end = format[at] != L'%' ? string::npos : format.find_first_of(L"diouxXcfeEgGs%", at + 1);
    if (end == string::npos) {
      out += format[at];
      continue;
    }
    string directive = format.substr(at, end - at);
    directive.erase(std::remove_if(directive.begin(), directive.end(), [](wchar_t c) { return wcschr(L"hlLqjzt", c) != nullptr; }), directive.end());
    const wchar_t kind = format[at = end];
    const Value v = kind == L'%' ? Value{true, false, L"%", 0, 0} : next < values.size() ? values[next++] : Value{true, false, L"", 0, 0};
    wchar_t text[1024];
    if (kind == L's' || v.isText)
      swprintf(text, 1024, (directive + L"ls").c_str(), (v.isText ? v.text : Format(L"%d", {v})).c_str());
    else if (wcschr(L"feEgG", kind))
      swprintf(text, 1024, (directive + kind).c_str(), v.isReal ? v.real : double(v.integer));
    else
      swprintf(text, 1024, (directive + L"ll" + kind).c_str(), v.isReal ? long_(v.real) : v.integer);
    out += kind == L'%' ? L"%" : text;
  }
  return out;
}

// Files of the sandbox, in the text mode the kit writes: UTF-16 with its mark.
int FileOpen(const string& name, int flags, ushort, uint) {
  static int last = 0;
  FILE* file = _wfopen(SandboxPath(name, flags & FILE_COMMON).c_str(), flags & FILE_WRITE ? L"wb" : L"rb");
  if (file == nullptr) return SetLastError(ERR_CANNOT_OPEN_FILE), INVALID_HANDLE;
  gFiles[++last] = file;
  if (flags & FILE_WRITE && flags & FILE_UNICODE) FileWriteString(last, L"\xFEFF");
  return last;
}
uint FileWriteString(int handle, const string& text, int length) {
  const std::size_t units = length < 0 ? text.size() : std::min(text.size(), std::size_t(length));
  return gFiles.count(handle) ? uint(2 * std::fwrite(text.data(), 2, units, gFiles[handle])) : 0;
}
void FileClose(int handle) {
  if (gFiles.count(handle)) std::fclose(gFiles[handle]);
  gFiles.erase(handle);
}
bool FileIsExist(const string& name, int common) {
  const string path = SandboxPath(name, common & FILE_COMMON);
  if (!Host::Exists(path)) return SetLastError(ERR_FILE_NOT_EXIST), false;
  return Host::IsDirectory(path) ? (SetLastError(ERR_FILE_IS_DIRECTORY), false) : true;
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
  return int(std::count_if(gJournal.begin() + std::min<std::size_t>(std::size_t(std::max(from, 0)), gJournal.size()),
                           gJournal.end(), [&](const string& line) { return line.find(needle) != string::npos; }));
}
void TestSet(const string& name, const string& value) {
  SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
}
long_ TestCalls() { return gCalls; }
bool TestWriteFile(const string& path, const string& text) {
  FILE* file = _wfopen(path.c_str(), L"wb");
  const std::string bytes = Host::Utf8(text);
  return file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fclose(file) == 0;
}
string TestReadFile(const string& path) {
  char bytes[65536];
  FILE* file = _wfopen(path.c_str(), L"rb");
  const std::size_t read = file == nullptr ? 0 : std::fread(bytes, 1, sizeof bytes, file);
  if (file != nullptr) std::fclose(file);
  return Widened(bytes, int(read), CP_UTF8);
}
bool TestExists(const string& path) { return Host::Exists(path); }

}  // namespace mql5

// The events of the program's kind, as the terminal sends them: OnStart
// alone, or OnInit, OnTimer while a timer is set, and OnDeinit. Exit status:
// 0, 1 when an expectation failed, 3 outside the jail, 4 stopped by a
// critical error, 5 stopped forcibly.
int main() {
  using namespace mql5;
  using namespace mql5::rt;
  if ((GetLogicalDrives() & (1u << ('Z' - 'A'))) || Env(L"SF_JAIL").empty())
    return std::fputs("Not in the test jail: run it through tests/kit-run.sh\n", stderr), 3;
  Host::SetBoxSink([](const Host::Box& box) { Journal(L"Message box \"" + box.caption + L"\": " + box.FirstLine()); });
  const Program& p = kProgram;
  if (p.onStart != nullptr) {
    p.onStart();
  } else {
    const int init = p.onInit == nullptr ? INIT_SUCCEEDED : p.onInit();
    if (init != INIT_SUCCEEDED) Journal(L"OnInit answered " + std::to_wstring(init));
    for (long_ i = 0; init == INIT_SUCCEEDED && gTimerSet && p.onTimer && i < Number(L"SF_TIMER_CALLS", 3); i++)
      p.onTimer();
    if (p.onDeinit != nullptr) p.onDeinit(init == INIT_SUCCEEDED ? REASON_REMOVE : REASON_INITFAILED);
  }
  return gFailures > 0 ? 1 : 0;
}
