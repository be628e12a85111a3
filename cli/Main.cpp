// sedgefold.exe: every operation of Sedgefold.dll from the command line.
// It loads the library by name from its own directory, as the terminal
// does, and prints what each export answers. It runs the library quiet: a
// failure's report goes to standard error, never into a box that waits for
// a click; --boxes shows the boxes instead.
#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "host/Boxes.h"
#include "host/Library.h"

namespace {

using Cli::Arguments;

constexpr int kBoxes = 0;
constexpr int kQuiet = 1;

// What captions the library's boxes: its own file name.
std::wstring FileName(const std::wstring& path) {
  return path.substr(path.find_last_of(L"\\/") + 1);
}

// The program's arguments, without its own name.
Arguments CommandLine() {
  int count = 0;
  const Utils::Smart::Unique<wchar_t**, &LocalFree> argv(CommandLineToArgvW(GetCommandLineW(), &count));
  Arguments arguments;
  for (int i = 1; argv && i < count; ++i) arguments.emplace_back(argv.get()[i]);
  return arguments;
}

struct Invocation {
  Cli::Options options;
  bool boxes = false;
  bool closeBoxes = false;
  bool help = false;
  bool version = false;
  std::wstring command;
  Arguments arguments;
};

// Options come before the command; "--" ends them.
Invocation Parse(const Arguments& all) {
  Invocation invocation;
  std::size_t i = 0;
  for (; i < all.size() && all[i].rfind(L"-", 0) == 0; ++i) {
    const std::wstring& option = all[i];
    if (option == L"--") {
      ++i;
      break;
    }
    if (option == L"--help" || option == L"-h" || option == L"/?") invocation.help = true;
    else if (option == L"--version") invocation.version = true;
    else if (option == L"--ansi") invocation.options.ansi = true;
    else if (option == L"--records") invocation.options.records = true;
    else if (option == L"--boxes") invocation.boxes = true;
    else if (option == L"--close-boxes") invocation.closeBoxes = true;
    else throw Cli::UsageError{L"unknown option " + option};
  }
  if (i < all.size()) invocation.command = all[i++];
  invocation.arguments.assign(all.begin() + static_cast<std::ptrdiff_t>(i), all.end());
  if (invocation.command == L"help") invocation.help = true;
  return invocation;
}

// "MAJOR.MINOR.PATCH.BUILD" of a file's version resource, empty without one.
std::wstring FileVersion(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::wstring();
  std::vector<unsigned char> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::wstring();
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
      fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO))
    return std::wstring();
  return std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
         std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
         std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
         std::to_wstring(LOWORD(fixed->dwFileVersionLS));
}

void Version() {
  std::wstring text = L"sedgefold " SF_VERSION_TEXT L"\n";
  const Host::Library library;
  if (!library.Loaded()) {
    text += L"Sedgefold.dll: " + library.Problem() + L"\n";
  } else {
    const std::wstring path = library.FilePath();
    const std::wstring version = FileVersion(path);
    const auto number = reinterpret_cast<decltype(&SedgefoldVersion)>(
        reinterpret_cast<void*>(GetProcAddress(library.Handle(), "SedgefoldVersion")));
    text += L"Sedgefold.dll " + (version.empty() ? L"(no version resource)" : version) + L", SedgefoldVersion " +
            (number == nullptr ? L"missing" : std::to_wstring(number())) + L": " + path + L"\n";
  }
  Cli::Console::Out(text);
}

void Help() {
  std::wstring text =
      L"Usage: sedgefold [OPTIONS] COMMAND ARGUMENTS...\n"
      L"Runs one operation of Sedgefold.dll (loaded from this program's directory)\n"
      L"and prints the export's answer as \"Export = answer\".\n\nCommands:\n";
  for (const Cli::Command& command : Cli::Commands()) {
    std::wstring usage = std::wstring(command.name) + L" " + command.arguments;
    usage.resize(std::max<std::size_t>(usage.size() + 1, 35), L' ');
    text += L"  " + usage + command.help + L"\n";
  }
  text +=
      L"\nOptions:\n"
      L"  --ansi         call the A exports, with text in the ANSI code page\n"
      L"  --records      list into string records (PathGetListMW/MA)\n"
      L"  --boxes        show failures in the library's message boxes, as the\n"
      L"                 terminal does, instead of on standard error\n"
      L"  --close-boxes  with --boxes: copy every box to standard error and close\n"
      L"                 it at once\n"
      L"  --version      print the version\n"
      L"  --help         print this help\n"
      L"\nMAX for list: at most that many names (1024); list takes a mode number too.\n"
      L"Exit status: 0 the export answered 1 (or a path, or listed), 1 it answered 0\n"
      L"or null, or the library reported a failure (on standard error, or in a box\n"
      L"with --boxes), 2 wrong command line, 3 Sedgefold.dll or an export is missing.\n";
  Cli::Console::Out(text);
}

int RunCommand(const Invocation& invocation) {
  const Cli::Command* command = Cli::FindCommand(invocation.command);
  if (command == nullptr) throw Cli::UsageError{L"unknown command " + invocation.command};
  const std::size_t count = invocation.arguments.size();
  if (count < command->fewest || count > command->most)
    throw Cli::UsageError{L"usage: sedgefold " + std::wstring(command->name) + L" " +
                          command->arguments};

  const Host::Library library;
  if (!library.Loaded()) {
    Cli::Console::Err(L"error: " + library.Problem() + L"\n");
    return Cli::kNoLibrary;
  }
  const Host::Exports& api = library.Api();
  api.reportMode(invocation.boxes ? kBoxes : kQuiet);
  // For unattended runs: every box copied to standard error and closed at
  // once, so a failing export returns instead of waiting for a click.
  if (invocation.closeBoxes)
    Host::SetBoxSink([](const Host::Box& box) {
      Cli::Console::Err(Cli::Console::Indented(L"message box \"" + box.caption + L"\":", box.text));
    });
  std::optional<Host::BoxHook> hook;
  if (invocation.closeBoxes) hook.emplace();
  const int status = command->run(api, invocation.options, invocation.arguments);
  const std::wstring report = Host::LastReport<wchar_t>(api);
  if (report.empty()) return status;
  if (!invocation.boxes)
    Cli::Console::Err(Cli::Console::Indented(
        L"failure report \"" + FileName(library.FilePath()) + L"\":", report));
  return std::max(status, static_cast<int>(Cli::kNo));
}

int Run() {
  const Invocation invocation = Parse(CommandLine());
  if (invocation.version) {
    Version();
    return Cli::kYes;
  }
  if (invocation.help) {
    Help();
    return Cli::kYes;
  }
  if (invocation.command.empty()) {
    Help();
    return Cli::kUsage;
  }
  return RunCommand(invocation);
}

}  // namespace

int main() {
  try {
    return Run();
  } catch (const Cli::UsageError& error) {
    Cli::Console::Err(L"error: " + error.message + L"\n(sedgefold --help lists the commands)\n");
    return Cli::kUsage;
  } catch (const std::exception& error) {
    const std::string what = error.what();
    Cli::Console::Err(L"error: " + std::wstring(what.begin(), what.end()) + L"\n");
    return Cli::kUsage;
  }
}
