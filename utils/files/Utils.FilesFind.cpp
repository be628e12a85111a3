#include "utils/files/Utils.FilesFind.h"

#include <algorithm>
#include <cstring>
#include <deque>

#include "utils/errors/Utils.Error.h"
#include "utils/text/Utils.Strings.h"

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
static_assert(kLongestPath == kNameCapacity - 1, "a record holds the longest path");

wchar_t SeparatorOf(unsigned short method) {
  return method == FilesFind::kFtp ? L'/' : L'\\';
}

using FtpSearchHandle = Smart::Unique<HINTERNET, &InternetCloseHandle>;

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
        local_.reset(FindFirstFileW(argument.c_str(), &first));
        break;
      case FilesFind::kFtp:
        ftp_.reset(FtpFindFirstFileW(place.connection, argument.c_str(), &first,
                                     place.flags, place.context));
        break;
      default:
        Error::Raise(SF_SITE(signature, Error::kMethod), kNotInitialised, false);
    }
  }

  bool Found() const { return local_ || ftp_; }

  bool Next(WIN32_FIND_DATAW& record) {
    if (local_) return FindNextFileW(local_.get(), &record) != FALSE;
    if (ftp_) return InternetFindNextFileW(ftp_.get(), &record) != FALSE;
    return false;
  }

  // A handle the system refuses to close is a report, with its last error.
  void Close(const char* signature) {
    if (local_ && !local_.Close())
      Error::Raise(SF_SITE(signature, Error::kMethod), kLocalNotClosed, true);
    if (ftp_ && !ftp_.Close())
      Error::Raise(SF_SITE(signature, Error::kMethod), kFtpNotClosed, true);
  }

 private:
  FindHandle local_;
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
      Error::Raise(SF_SITE(kGetListSignature, Error::kMethod), kBadSearch, false);
  }
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

u64 PastLastSeparator(const std::wstring& pattern, wchar_t separator) {
  const std::size_t at = pattern.rfind(separator);
  return at == std::wstring::npos ? 0 : at + 1;
}

// The walk of GetListFull, depth first without recursion: each directory
// being walked is a frame holding its listed level and the position in it,
// so the order is the recursive one and the caller's stack stays flat. The
// cut is settled once at the top; 0 here means paths keep every character.
class Walk {
 public:
  Walk(FilesFind& find, FindDataList& list, bool fullPath, u64 cut, wchar_t separator)
      : find_(find), list_(list), fullPath_(fullPath), cut_(cut), separator_(separator) {}

  u64 From(const std::wstring& pattern) {
    Open(pattern);
    while (!frames_.empty()) {
      Frame& frame = frames_.back();
      if (frame.next == frame.level.size()) {
        frames_.pop_back();
        continue;
      }
      Visit(frame.directory, frame.level[frame.next++]);
    }
    return unlisted_;
  }

 private:
  struct Frame {
    std::wstring directory;  // with its separator
    FindDataList level;
    std::size_t next = 0;
    bool identified = false;  // identity looked up, on the first link met
    bool known = false;       // and found
    Identity identity;
  };

  // A level that cannot be listed is written out and passed over, so that
  // the walk goes on with its siblings.
  void Open(const std::wstring& pattern) {
    if (find_.Status(pattern) == FilesFind::kNothing) return;
    Frame frame;
    frame.directory = DirectoryOf(pattern, separator_);
    try {
      find_.GetList(pattern, FilesFind::kAll, frame.level);
    } catch (const Error::Failure& report) {
      Error::Echo(report.Text());
      ++unlisted_;
    }
    frames_.push_back(std::move(frame));
  }

  void Visit(const std::wstring& directory, WIN32_FIND_DATAW record) {
    // A link named like the directory holding it usually leads back into
    // that directory; following it would walk the same tree again.
    if (IsDirectoryLink(record) && LastNameOf(directory) == record.cFileName) return;
    const std::wstring full = directory + record.cFileName;
    // A device name is left to the listing of its level, which refuses it.
    if (!String::Path::IsExactName(record.cFileName) && !String::Path::IsDeviceName(record.cFileName))
      Error::Raise(SF_SITE(kGetListFullSignature, Error::kMethod), String::Path::InexactNameMessage(full),
                   false);
    if (IsDirectoryLink(record) && LeadsBack(full)) return;
    if (full.size() > kLongestPath)
      Error::Raise(SF_SITE(kGetListFullSignature, Error::kMethod), TooLongMessage(false, full, full.size()),
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
  // links the walk would not end in any useful time. Identities are looked
  // up once per frame, and only when a link is met.
  bool LeadsBack(const std::wstring& link) {
    Identity target;
    if (!IdentityOf(link, target)) return false;
    for (Frame& frame : frames_) {
      if (!frame.identified) {
        frame.identified = true;
        frame.known = !frame.directory.empty() && IdentityOf(frame.directory, frame.identity);
      }
      if (frame.known && frame.identity == target) return true;
    }
    return false;
  }

  void Enter(const std::wstring& full) {
    const std::wstring pattern = full + separator_ + L'*';
    if (pattern.size() > kLongestPath)
      Error::Raise(SF_SITE(kGetListFullSignature, Error::kMethod),
                   TooLongMessage(true, full, pattern.size()), false);
    Open(pattern);
  }

  FilesFind& find_;
  FindDataList& list_;
  const bool fullPath_;
  const u64 cut_;
  const wchar_t separator_;
  std::deque<Frame> frames_;  // the directories the walk is inside of; a new frame
                              // leaves the references to the others valid
  u64 unlisted_ = 0;
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

// The search puts the reparse tag into dwReserved0.
bool IsLink(const WIN32_FIND_DATAW& record) {
  const DWORD tag = record.dwReserved0;
  return (record.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         (tag == 0 || IsReparseTagNameSurrogate(tag));
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
    Error::Raise(SF_SITE(kGetListSignature, Error::kMethod), NoHandleMessage(pattern), true);
  bool more = true;
  do {
    if (Keeps(record, wSearch)) more = take(record);
  } while (more && search.Next(record));
  search.Close(kGetListSignature);
}

unsigned long long FilesFind::GetListFull(const std::wstring& pattern, FindDataList& list,
                                          const bool fullPath, unsigned long long cut,
                                          unsigned long long* unlisted) {
  const wchar_t separator = SeparatorOf(method_);
  if (cut == 0) cut = PastLastSeparator(pattern, separator);
  const u64 failed = Walk(*this, list, fullPath, cut, separator).From(pattern);
  if (unlisted != nullptr) *unlisted = failed;
  return list.size();
}

unsigned short StatusOf(const std::wstring& path) {
  FilesFind find;
  return find.Status(path);
}

void EachOf(const std::wstring& pattern, const unsigned short wSearch, const FilesFind::Take& take) {
  FilesFind find;
  find.ForEach(pattern, wSearch, take);
}

unsigned long long ListFilesBelow(const std::wstring& pattern, FindDataList& list,
                                  unsigned long long* unlisted) {
  FilesFind find;
  return find.GetListFull(pattern, list, true, 0, unlisted);
}

std::wstring TooLongMessage(bool directory, const std::wstring& path, u64 length) {
  return std::wstring(L"Слишком длинный путь у ") + (directory ? L"каталога" : L"файла") +
         L":\r\n\"" + path + L"\"\r\nДлина пути составляет " + std::to_wstring(length) +
         L" символов.Длина пути не может превышать " + std::to_wstring(kNameCapacity) +
         L" символов.";
}

std::wstring NoHandleMessage(const std::wstring& pattern) {
  return L"Не получен системный дескриптор поиска для пути:\n\"" + pattern + L"\"";
}

bool IdentityOf(const std::wstring& path, Identity& identity) {
  // No access rights asked: only the file's information is read.
  const FileHandle file(CreateFileW(path.c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION information;
  if (!file || !GetFileInformationByHandle(file.get(), &information)) return false;
  identity.volume = information.dwVolumeSerialNumber;
  identity.high = information.nFileIndexHigh;
  identity.low = information.nFileIndexLow;
  return true;
}

std::wstring FinalPathOf(const std::wstring& path) {
  const FileHandle file(CreateFileW(path.c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) return std::wstring();
  std::wstring final(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(file.get(), &final[0],
                                                   static_cast<DWORD>(final.size()), 0);
    if (length == 0) return std::wstring();
    if (length < final.size()) {
      final.resize(length);
      return final;
    }
    final.resize(length + 1);
  }
}

bool ListsFileLinksAsFiles() {
  static const bool wine =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

}  // namespace Utils
