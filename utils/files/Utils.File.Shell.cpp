#include "utils/files/Utils.File.Shell.h"

#include "utils/files/Utils.File.Calls.h"
#include "utils/text/Utils.Strings.h"

namespace Utils::Shell {
namespace {

using std::wstring;

// One name, closed by a double null whatever its own terminator; a bare
// drive as its root.
wstring NameList(const wstring& path) {
  wstring list = String::Path::DriveAsRoot(path);
  list.append(2, L'\0');
  return list;
}

}  // namespace

bool Fits(const wstring& path) { return !path.empty() && path.size() < MAX_PATH; }

const wchar_t* NameOf(unsigned short wFunc) {
  switch (wFunc) {
    case FO_MOVE: return L"перемещение";
    case FO_COPY: return L"копирование";
    case FO_DELETE: return L"удаление";
    default: return L"переименование";
  }
}

Answer Run(unsigned short wFunc, const wstring& source, const wstring& destination) {
  const wstring from = NameList(source);
  const wstring to = NameList(destination);
  SHFILEOPSTRUCTW request{};
  request.hwnd = nullptr;
  request.wFunc = wFunc;
  request.pFrom = from.c_str();
  request.pTo = wFunc != FO_DELETE ? to.c_str() : nullptr;
  request.fFlags = kSilentFinal;
  request.fAnyOperationsAborted = TRUE;
  request.hNameMappings = nullptr;
  request.lpszProgressTitle = nullptr;
  SetLastError(0);
  Answer answer;
  answer.code = Calls().fileOperation(&request);
  answer.aborted = request.fAnyOperationsAborted != FALSE;
  return answer;
}

}  // namespace Utils::Shell
