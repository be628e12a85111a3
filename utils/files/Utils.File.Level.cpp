#include "utils/files/Utils.File.Level.h"

#include <cstring>

#include "utils/errors/Utils.Error.h"
#include "utils/files/Utils.File.Calls.h"
#include "utils/runtime/Utils.Handle.h"
#include "utils/text/Utils.Strings.h"

namespace Utils {
namespace {

constexpr wchar_t kNotClosed[] = L"Системный дескриптор поиска локальных файлов не закрыт.";
constexpr wchar_t kBadKind[] = L"Неверно выбран параметр поиска каталогов и/или файлов \"wSearch\".";

// cFileName holds 260 characters with its terminator.
constexpr std::size_t kNameCapacity = sizeof(WIN32_FIND_DATAW::cFileName) / sizeof(wchar_t);
static_assert(kLongestPath == kNameCapacity - 1, "a record holds the longest path");

// The search of pattern, its first record in first; not found when the
// system gave no handle (the last error says why).
FindHandle OpenSearch(const std::wstring& pattern, WIN32_FIND_DATAW& first, bool shortNames) {
  const std::wstring argument = String::Path::WithoutTrailingBackslash(pattern);
  SetLastError(0);
  return FindHandle(Calls().findFirst(argument.c_str(), shortNames ? FindExInfoStandard : FindExInfoBasic, &first,
                                      FindExSearchNameMatch, nullptr, 0));
}

// A handle the system refuses to close is a report, with its last error.
void Close(FindHandle& search, const char* signature) {
  if (!search.Close()) Error::Raise(SF_SITE(signature, Error::kMethod), kNotClosed, true);
}

}  // namespace

bool IsDotEntry(const WIN32_FIND_DATAW& record) {
  return std::wcscmp(record.cFileName, L".") == 0 || std::wcscmp(record.cFileName, L"..") == 0;
}

bool IsDirectory(const WIN32_FIND_DATAW& record) { return (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

bool IsDirectoryLink(const WIN32_FIND_DATAW& record) {
  return IsDirectory(record) && (record.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The search puts the reparse tag into dwReserved0.
bool IsLink(const WIN32_FIND_DATAW& record) {
  const DWORD tag = record.dwReserved0;
  return (record.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && (tag == 0 || IsReparseTagNameSurrogate(tag));
}

unsigned long long SizeOf(const WIN32_FIND_DATAW& record) {
  return (static_cast<unsigned long long>(record.nFileSizeHigh) << 32) | record.nFileSizeLow;
}

std::wstring TooLongMessage(bool directory, const std::wstring& path, unsigned long long length) {
  return std::wstring(L"Слишком длинный путь у ") + (directory ? L"каталога" : L"файла") + L":\r\n\"" + path +
         L"\"\r\nДлина пути составляет " + std::to_wstring(length) + L" символов.Длина пути не может превышать " +
         std::to_wstring(kNameCapacity) + L" символов.";
}

std::wstring NoHandleMessage(const std::wstring& pattern) {
  return L"Не получен системный дескриптор поиска для пути:\n\"" + pattern + L"\"";
}

std::wstring CutShortMessage(const std::wstring& pattern) {
  return L"Система прервала перечисление каталога, не дойдя до конца; непросмотренное дерево не трогается:\n\"" +
         pattern + L"\"";
}

namespace Level {

const char kStatusSignature[] =
    "unsigned short __cdecl Utils::FilesFind::Status(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &)";
const char kListSignature[] =
    "unsigned __int64 __cdecl Utils::FilesFind::GetList(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,const unsigned short,class std::vector<struct "
    "_WIN32_FIND_DATAW,class std::allocator<struct _WIN32_FIND_DATAW> > &)";

bool Keeps(const WIN32_FIND_DATAW& record, const unsigned short kind) {
  switch (kind) {
    case kDirectories:
      return IsDirectory(record);
    case kFiles:
      return !IsDirectory(record);
    case kAll:
      return true;
    default:
      Error::Raise(SF_SITE(kListSignature, Error::kMethod), kBadKind, false);
  }
}

Ended Scan(const std::wstring& pattern, const Options& options, const Visit& visit) {
  if (options.validate) String::Path::Has(String::Path::TrimNameFileCW(pattern, 1, L'\\'), false);
  WIN32_FIND_DATAW record{};
  FindHandle search = OpenSearch(pattern, record, options.shortNames);
  if (!search) return Ended{End::kNotOpened, GetLastError()};
  bool more = true;
  do {
    if (!IsDotEntry(record)) more = visit(record);
  } while (more && Calls().findNext(search.get(), &record));
  const DWORD error = more ? GetLastError() : ERROR_NO_MORE_FILES;
  Close(search, Level::kListSignature);
  return error == ERROR_NO_MORE_FILES ? Ended{End::kComplete, 0} : Ended{End::kCutShort, error};
}

void List(const std::wstring& pattern, const unsigned short kind, const Visit& visit) {
  const Ended ended = Scan(pattern, Options{true, false}, [&](const WIN32_FIND_DATAW& record) {
    return !Keeps(record, kind) || visit(record);
  });
  if (ended.end == End::kNotOpened) {
    SetLastError(ended.error);
    Error::Raise(SF_SITE(Level::kListSignature, Error::kMethod), NoHandleMessage(pattern), true);
  }
}

Status StatusOf(const std::wstring& path) {
  WIN32_FIND_DATAW first{};
  FindHandle search = OpenSearch(path, first, false);
  if (!search) return Status::kNothing;
  Close(search, Level::kStatusSignature);
  return IsDirectory(first) ? Status::kDirectory : Status::kOther;
}

}  // namespace Level
}  // namespace Utils
