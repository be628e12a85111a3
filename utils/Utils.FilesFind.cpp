#include "utils/Utils.FilesFind.h"

#include <algorithm>
#include <cstring>

#include "utils/Utils.Error.h"
#include "utils/Utils.Strings.h"

namespace Utils {
namespace {

using u64 = unsigned long long;

constexpr char kStatusSignature[] =
    "unsigned short __cdecl Utils::FilesFind::Status(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &)";
constexpr char kGetListSignature[] =
    "unsigned __int64 __cdecl Utils::FilesFind::GetList(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,const unsigned short,class std::vector<struct "
    "_WIN32_FIND_DATAW,class std::allocator<struct _WIN32_FIND_DATAW> > &)";
constexpr char kGetListFullSignature[] =
    "unsigned __int64 __cdecl Utils::FilesFind::GetListFull(const class "
    "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class "
    "std::allocator<wchar_t> > &,class std::vector<struct _WIN32_FIND_DATAW,class "
    "std::allocator<struct _WIN32_FIND_DATAW> > &,const bool,unsigned __int64)";

constexpr wchar_t kNotInitialised[] =
    L"Класс не инициализирован для поиска файлов.\nНе определено где искать файлы.";
constexpr wchar_t kLocalNotClosed[] =
    L"Системный дескриптор поиска локальных файлов не закрыт.";
constexpr wchar_t kFtpNotClosed[] =
    L"Системный дескриптор поиска файлов в интернете не закрыт.";
constexpr wchar_t kBadSearch[] =
    L"Неверно выбран параметр поиска каталогов и/или файлов \"wSearch\".";

// cFileName holds 260 characters with its terminator.
constexpr std::size_t kNameCapacity = sizeof(WIN32_FIND_DATAW::cFileName) / sizeof(wchar_t);
constexpr std::size_t kLongestPath = kNameCapacity - 1;

wchar_t SeparatorOf(unsigned short method) {
  return method == FilesFind::kFtp ? L'/' : L'\\';
}

struct FtpCloser {
  static bool Close(HINTERNET handle) { return InternetCloseHandle(handle) != FALSE; }
};
struct FileCloser {
  static bool Close(HANDLE handle) { return CloseHandle(handle) != FALSE; }
};
using FtpSearchHandle = ScopedHandle<FtpCloser>;
using FileHandle = ScopedHandle<FileCloser>;

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
  OpenSearch(const Place& place, const std::wstring& path, WIN32_FIND_DATAW& first,
             const char* signature) {
    const std::wstring argument = SearchArgument(path);
    SetLastError(0);
    switch (place.method) {
      case FilesFind::kLocal:
        local_.Adopt(FindFirstFileW(argument.c_str(), &first));
        break;
      case FilesFind::kFtp:
        ftp_.Adopt(FtpFindFirstFileW(place.connection, argument.c_str(), &first,
                                     place.flags, place.context));
        break;
      default:
        Error::Raise(SF_SITE(signature, ""), kNotInitialised, false);
    }
  }

  bool Found() const { return local_.Valid() || ftp_.Valid(); }

  bool Next(WIN32_FIND_DATAW& record) {
    if (local_.Valid()) return FindNextFileW(local_.Get(), &record) != FALSE;
    if (ftp_.Valid()) return InternetFindNextFileW(ftp_.Get(), &record) != FALSE;
    return false;
  }

  // A handle the system refuses to close is a report, with its last error.
  void Close(const char* signature) {
    if (local_.Valid() && !local_.Close())
      Error::Raise(SF_SITE(signature, ""), kLocalNotClosed, true);
    if (ftp_.Valid() && !ftp_.Close())
      Error::Raise(SF_SITE(signature, ""), kFtpNotClosed, true);
  }

 private:
  LocalSearchHandle local_;
  FtpSearchHandle ftp_;
};

bool Keeps(const WIN32_FIND_DATAW& record, const unsigned short wSearch) {
  if (IsDotEntry(record)) return false;
  switch (wSearch) {
    case FilesFind::kDirectories:
      return IsDirectory(record);
    case FilesFind::kFiles:
      return !IsDirectory(record);
    case FilesFind::kAll:
      return true;
    default:
      Error::Raise(SF_SITE(kGetListSignature, ""), kBadSearch, false);
  }
}

std::wstring TooLong(const wchar_t* what, const std::wstring& path, u64 length) {
  return std::wstring(L"Слишком длинный путь у ") + what + L":\r\n\"" + path +
         L"\"\r\nДлина пути составляет " + std::to_wstring(length) +
         L" символов.Длина пути не может превышать " +
         std::to_wstring(kNameCapacity) + L" символов.";
}

// Callers have checked the length against kLongestPath.
void StoreName(WIN32_FIND_DATAW& record, const std::wstring& text) {
  std::memcpy(record.cFileName, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// The directory part, separator included. A pattern with no separator lies
// in the current directory, so its entries are named by themselves.
std::wstring DirectoryOf(const std::wstring& pattern, wchar_t separator) {
  std::wstring directory = String::Path::TrimNameFileCW(pattern, 1, separator);
  if (directory.empty() || directory.back() != separator) directory.clear();
  return directory;
}

// The last name of a directory part: Sub for C:\Data\Sub\.
std::wstring LastNameOf(std::wstring directory) {
  if (!directory.empty() && directory.back() == L'\\') directory.pop_back();
  const std::size_t slash = directory.rfind(L'\\');
  return slash == std::wstring::npos ? directory : directory.substr(slash + 1);
}

// What a path leads to, links resolved: its volume and file index.
struct Identity {
  DWORD volume = 0;
  DWORD high = 0;
  DWORD low = 0;
  bool operator==(const Identity& other) const {
    return volume == other.volume && high == other.high && low == other.low;
  }
};

bool IdentityOf(const std::wstring& path, Identity& identity) {
  // No access rights asked: only the file's information is read.
  FileHandle file(CreateFileW(path.c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION information;
  if (!file.Valid() || !GetFileInformationByHandle(file.Get(), &information)) return false;
  identity.volume = information.dwVolumeSerialNumber;
  identity.high = information.nFileIndexHigh;
  identity.low = information.nFileIndexLow;
  return true;
}

u64 PastLastSeparator(const std::wstring& pattern, wchar_t separator) {
  const std::size_t at = pattern.rfind(separator);
  return at == std::wstring::npos ? 0 : at + 1;
}

// The recursive walk of GetListFull. The cut is settled once at the top, so
// a cut of 0 here means that paths keep every character.
class Walk {
 public:
  Walk(FilesFind& find, FindDataList& list, bool fullPath, u64 cut, wchar_t separator)
      : find_(find), list_(list), fullPath_(fullPath), cut_(cut), separator_(separator) {}

  void Below(const std::wstring& pattern) {
    const std::wstring directory = DirectoryOf(pattern, separator_);
    if (find_.Status(pattern) == FilesFind::kNothing) return;
    FindDataList level = Level(pattern);
    ancestors_.push_back(directory);
    for (WIN32_FIND_DATAW& record : level) Visit(directory, record);
    ancestors_.pop_back();
  }

 private:
  // A level that cannot be listed is written out and passed over, so that
  // the walk goes on with its siblings.
  FindDataList Level(const std::wstring& pattern) {
    FindDataList level;
    try {
      find_.GetList(pattern, FilesFind::kAll, level);
    } catch (const std::wstring& report) {
      Error::Echo(report);
    }
    return level;
  }

  void Visit(const std::wstring& directory, WIN32_FIND_DATAW& record) {
    // A link named like the directory holding it usually leads back into
    // that directory; following it would walk the same tree again.
    if (IsDirectoryLink(record) && LastNameOf(directory) == record.cFileName) return;
    const std::wstring full = directory + record.cFileName;
    if (IsDirectoryLink(record) && LeadsBack(full)) return;
    if (full.size() > kLongestPath)
      Error::Raise(SF_SITE(kGetListFullSignature, ""), TooLong(L"файла", full, full.size()),
                   false);
    StoreName(record, full);
    if (IsDirectory(record)) {
      Enter(full);
      return;
    }
    if (!fullPath_ && cut_ > 0)
      StoreName(record, full.substr(std::min<std::size_t>(cut_, full.size())));
    list_.push_back(record);
  }

  // A link to a directory that the walk is inside of would have it list the
  // same tree again and again, until the paths grow too long; with two such
  // links the walk would not end in any useful time.
  bool LeadsBack(const std::wstring& link) const {
    Identity target;
    if (!IdentityOf(link, target)) return false;
    for (const std::wstring& ancestor : ancestors_) {
      Identity identity;
      if (!ancestor.empty() && IdentityOf(ancestor, identity) && identity == target) return true;
    }
    return false;
  }

  void Enter(const std::wstring& full) {
    const std::wstring pattern = full + separator_ + L'*';
    if (pattern.size() > kLongestPath)
      Error::Raise(SF_SITE(kGetListFullSignature, ""),
                   TooLong(L"каталога", full, pattern.size()), false);
    Below(pattern);
  }

  FilesFind& find_;
  FindDataList& list_;
  const bool fullPath_;
  const u64 cut_;
  const wchar_t separator_;
  std::vector<std::wstring> ancestors_;  // directories the walk is inside of
};

}  // namespace

bool IsDotEntry(const WIN32_FIND_DATAW& record) {
  return std::wcscmp(record.cFileName, L".") == 0 || std::wcscmp(record.cFileName, L"..") == 0;
}

bool IsDirectory(const WIN32_FIND_DATAW& record) {
  return (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsDirectoryLink(const WIN32_FIND_DATAW& record) {
  return IsDirectory(record) && (record.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::wstring SearchArgument(const std::wstring& path) {
  if (!path.empty() && path.back() == L'\\') return path.substr(0, path.size() - 1);
  return path;
}

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

unsigned short FilesFind::Status(const std::wstring& path) {
  WIN32_FIND_DATAW first{};
  OpenSearch search(Place{method_, connection_, flags_, context_}, path, first,
                    kStatusSignature);
  if (!search.Found()) return kNothing;
  search.Close(kStatusSignature);
  return IsDirectory(first) ? kDirectory : kOther;
}

unsigned long long FilesFind::GetList(const std::wstring& pattern,
                                      const unsigned short wSearch, FindDataList& list) {
  list.clear();
  ForEach(pattern, wSearch, [&list](const WIN32_FIND_DATAW& record) {
    list.push_back(record);
    return true;
  });
  return list.size();
}

void FilesFind::ForEach(const std::wstring& pattern, const unsigned short wSearch,
                        const Take& take) {
  String::Path::Has(String::Path::TrimNameFileCW(pattern, 1, SeparatorOf(method_)),
                    method_ == kFtp);
  WIN32_FIND_DATAW record{};
  OpenSearch search(Place{method_, connection_, flags_, context_}, pattern, record,
                    kGetListSignature);
  if (!search.Found())
    Error::Raise(SF_SITE(kGetListSignature, ""),
                 L"Не получен системный дескриптор поиска для пути:\n\"" + pattern + L"\"",
                 true);
  bool more = true;
  do {
    if (Keeps(record, wSearch)) more = take(record);
  } while (more && search.Next(record));
  search.Close(kGetListSignature);
}

unsigned long long FilesFind::GetListFull(const std::wstring& pattern, FindDataList& list,
                                          const bool fullPath, unsigned long long cut) {
  const wchar_t separator = SeparatorOf(method_);
  if (cut == 0) cut = PastLastSeparator(pattern, separator);
  Walk(*this, list, fullPath, cut, separator).Below(pattern);
  return list.size();
}

unsigned short StatusOf(const std::wstring& path) {
  FilesFind find;
  return find.Status(path);
}

unsigned long long ListOf(const std::wstring& pattern, const unsigned short wSearch,
                          FindDataList& list) {
  FilesFind find;
  return find.GetList(pattern, wSearch, list);
}

void EachOf(const std::wstring& pattern, const unsigned short wSearch, const FilesFind::Take& take) {
  FilesFind find;
  find.ForEach(pattern, wSearch, take);
}

unsigned long long ListFilesBelow(const std::wstring& pattern, FindDataList& list) {
  FilesFind find;
  return find.GetListFull(pattern, list, true, 0);
}

}  // namespace Utils
