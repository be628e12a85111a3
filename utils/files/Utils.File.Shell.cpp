#include "utils/files/Utils.File.Shell.h"

#include "utils/files/Utils.File.Calls.h"
#include "utils/files/Utils.File.Facts.h"

namespace Utils::Shell {
namespace {

using std::wstring;

// One name, closed by a double null whatever its own terminator.
wstring NameList(const wstring& path) {
  wstring list = path;
  list.append(2, L'\0');
  return list;
}

const wchar_t* OperationName(unsigned short wFunc) {
  switch (wFunc) {
    case FO_MOVE: return L"перемещение";
    case FO_COPY: return L"копирование";
    case FO_DELETE: return L"удаление";
    default: return L"переименование";
  }
}

// The shell's answer in the words of its table, and the last error it left.
void NoteRefusal(const Error::Site& site, unsigned short wFunc, const wstring& source, int answer, bool aborted) {
  const DWORD code = GetLastError();
  wstring message = L"Оболочка Windows не выполнила " + wstring(OperationName(wFunc)) + L":\n\"" + source + L"\"\n";
  message += aborted && answer == 0 ? L"Операция прервана." : L"Ответ оболочки:" + Error::ShellW(answer);
  SetLastError(code);
  Error::Note(Error::Failure(site, message, true));
}

}  // namespace

bool Fits(const wstring& path) { return !path.empty() && path.size() < MAX_PATH; }

bool Run(const Error::Site& site, unsigned short wFunc, const wstring& source, const wstring& destination) {
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
  const int answer = Calls().fileOperation(&request);
  if (answer == 0 && !request.fAnyOperationsAborted) return true;
  NoteRefusal(site, wFunc, source, answer, request.fAnyOperationsAborted != FALSE);
  return false;
}

bool Delete(const Error::Site& site, const wstring& path) {
  if (!Run(site, FO_DELETE, path, wstring())) return false;
  if (!IsThere(path)) return true;
  Error::Note(Error::Failure(site, L"Оболочка ответила успехом, но элемент остался на месте:\n\"" + path + L"\"", false));
  return false;
}

}  // namespace Utils::Shell
