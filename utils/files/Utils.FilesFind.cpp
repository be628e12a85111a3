#include "utils/files/Utils.FilesFind.h"

#include <cstring>

#include "utils/contract/Utils.FilesFind.Ftp.h"
#include "utils/errors/Utils.Error.h"
#include "utils/files/Utils.File.Calls.h"
#include "utils/text/Utils.Strings.h"

namespace Utils {
namespace {

constexpr char kStatusSignature[] =
    "unsigned short __cdecl Utils::FilesFind::Status(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &)";
constexpr char kGetListSignature[] =
    "unsigned __int64 __cdecl Utils::FilesFind::GetList(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,const unsigned short,class std::vector<struct "
    "_WIN32_FIND_DATAW,class std::allocator<struct _WIN32_FIND_DATAW> > &)";

constexpr wchar_t kNotInitialised[] =
    L"Класс не инициализирован для поиска файлов.\nНе определено где искать файлы.";
constexpr wchar_t kLocalNotClosed[] = L"Системный дескриптор поиска локальных файлов не закрыт.";
constexpr wchar_t kFtpNotClosed[] = L"Системный дескриптор поиска файлов в интернете не закрыт.";
constexpr wchar_t kBadSearch[] = L"Неверно выбран параметр поиска каталогов и/или файлов \"wSearch\".";

// cFileName holds 260 characters with its terminator.
constexpr std::size_t kNameCapacity = sizeof(WIN32_FIND_DATAW::cFileName) / sizeof(wchar_t);
static_assert(kLongestPath == kNameCapacity - 1, "a record holds the longest path");

// What a FilesFind searches in, copied for one search.
struct Place {
  unsigned short method;
  HINTERNET connection;
  DWORD flags;
  DWORD_PTR context;
};

// One open search by the object's method; the first record lands in `first`.
class OpenSearch {
 public:
  OpenSearch(const Place& place, const std::wstring& path, WIN32_FIND_DATAW& first, const char* signature,
             bool shortNames) {
    const std::wstring argument = SearchArgument(path);
    SetLastError(0);
    switch (place.method) {
      case FilesFind::kLocal:
        local_.reset(Calls().findFirst(argument.c_str(), shortNames ? FindExInfoStandard : FindExInfoBasic, &first,
                                       FindExSearchNameMatch, nullptr, 0));
        break;
      case FilesFind::kFtp:
        ftp_ = Ftp::FindFirst(place.connection, argument, first, place.flags, place.context);
        break;
      default:
        Error::Raise(SF_SITE(signature, Error::kMethod), kNotInitialised, false);
    }
  }

  bool Found() const { return local_ || ftp_; }

  bool Next(WIN32_FIND_DATAW& record) {
    if (local_) return Calls().findNext(local_.get(), &record) != FALSE;
    if (ftp_) return Ftp::FindNext(ftp_, record);
    return false;
  }

  // A handle the system refuses to close is a report, with its last error.
  void Close(const char* signature) {
    if (local_ && !local_.Close()) Error::Raise(SF_SITE(signature, Error::kMethod), kLocalNotClosed, true);
    if (ftp_ && !ftp_.Close()) Error::Raise(SF_SITE(signature, Error::kMethod), kFtpNotClosed, true);
  }

 private:
  FindHandle local_;
  Ftp::SearchHandle ftp_;
};

bool Keeps(const WIN32_FIND_DATAW& record, const unsigned short wSearch) {
  switch (wSearch) {
    case FilesFind::kDirectories:
      return IsDirectory(record);
    case FilesFind::kFiles:
      return !IsDirectory(record);
    case FilesFind::kAll:
      return true;
    default:
      Error::Raise(SF_SITE(kGetListSignature, Error::kMethod), kBadSearch, false);
  }
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

std::wstring SearchArgument(const std::wstring& path) { return String::Path::WithoutTrailingBackslash(path); }

FilesFind::FilesFind() {
  Sync::ScopedLock hold(lock_);
  Reset();
  method_ = kLocal;
}

FilesFind::~FilesFind() { Reset(); }

void FilesFind::Reset() {
  Sync::ScopedLock hold(lock_);
  flags_ = 0;
  context_ = 0;
  connection_ = nullptr;
  method_ = kNotSet;
}

void FilesFind::UseFtp(HINTERNET connection, DWORD flags, DWORD_PTR context) {
  Sync::ScopedLock hold(lock_);
  connection_ = connection;
  flags_ = flags;
  context_ = context;
  method_ = kFtp;
}

wchar_t FilesFind::Separator() const { return method_ == kFtp ? L'/' : L'\\'; }

unsigned short FilesFind::Status(const std::wstring& path) {
  WIN32_FIND_DATAW first{};
  OpenSearch search(Place{method_, connection_, flags_, context_}, path, first, kStatusSignature, false);
  if (!search.Found()) return kNothing;
  search.Close(kStatusSignature);
  return IsDirectory(first) ? kDirectory : kOther;
}

unsigned long long FilesFind::GetList(const std::wstring& pattern, const unsigned short wSearch, FindDataList& list) {
  list.clear();
  ForEach(pattern, wSearch, [&list](const WIN32_FIND_DATAW& record) {
    list.push_back(record);
    return true;
  });
  return list.size();
}

void FilesFind::ForEach(const std::wstring& pattern, const unsigned short wSearch, const Take& take) {
  const Ended ended = ScanLevel(pattern, Scan{true, false}, [&](const WIN32_FIND_DATAW& record) {
    return !Keeps(record, wSearch) || take(record);
  });
  if (ended.end == End::kNotOpened) {
    SetLastError(ended.error);
    Error::Raise(SF_SITE(kGetListSignature, Error::kMethod), NoHandleMessage(pattern), true);
  }
}

FilesFind::Ended FilesFind::ScanLevel(const std::wstring& pattern, const Scan& scan, const Take& take) {
  if (scan.validate) String::Path::Has(String::Path::TrimNameFileCW(pattern, 1, Separator()), method_ == kFtp);
  WIN32_FIND_DATAW record{};
  OpenSearch search(Place{method_, connection_, flags_, context_}, pattern, record, kGetListSignature,
                    scan.shortNames);
  if (!search.Found()) return Ended{End::kNotOpened, GetLastError()};
  bool more = true;
  do {
    if (!IsDotEntry(record)) more = take(record);
  } while (more && search.Next(record));
  const DWORD error = more ? GetLastError() : ERROR_NO_MORE_FILES;
  search.Close(kGetListSignature);
  return error == ERROR_NO_MORE_FILES ? Ended{End::kComplete, 0} : Ended{End::kCutShort, error};
}

unsigned short StatusOf(const std::wstring& path) {
  FilesFind find;
  return find.Status(path);
}

void EachOf(const std::wstring& pattern, const unsigned short wSearch, const FilesFind::Take& take) {
  FilesFind find;
  find.ForEach(pattern, wSearch, take);
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

}  // namespace Utils
