// Kept for the contract, reached by no export: the search object of the
// library's first form. Its local searches are the library's own level
// search; its FTP searches are WinINet's.
#include "utils/contract/Utils.FilesFind.h"

#include "utils/contract/Utils.FilesFind.Ftp.h"
#include "utils/errors/Utils.Error.h"
#include "utils/text/Utils.Strings.h"

namespace Utils {
namespace {

constexpr wchar_t kNotInitialised[] =
    L"Класс не инициализирован для поиска файлов.\nНе определено где искать файлы.";
constexpr wchar_t kFtpNotClosed[] = L"Системный дескриптор поиска файлов в интернете не закрыт.";

[[noreturn]] void RaiseNotInitialised(const char* signature) {
  Error::Raise(SF_SITE(signature, Error::kMethod), kNotInitialised, false);
}

// One FTP level, as the local search hands its records over; false when no
// search opened.
bool ScanFtp(void* connection, DWORD flags, DWORD_PTR context, const std::wstring& pattern,
             const Level::Visit& visit) {
  String::Path::Has(String::Path::TrimNameFileCW(pattern, 1, L'/'), true);
  WIN32_FIND_DATAW record{};
  SetLastError(0);
  Ftp::SearchHandle search =
      Ftp::FindFirst(static_cast<HINTERNET>(connection), String::Path::WithoutTrailingBackslash(pattern), record,
                     flags, context);
  if (!search) return false;
  bool more = true;
  do {
    if (!IsDotEntry(record)) more = visit(record);
  } while (more && Ftp::FindNext(search, record));
  if (!search.Close()) Error::Raise(SF_SITE(Level::kListSignature, Error::kMethod), kFtpNotClosed, true);
  return true;
}

}  // namespace

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

void FilesFind::UseFtp(void* connection, DWORD flags, DWORD_PTR context) {
  Sync::ScopedLock hold(lock_);
  connection_ = connection;
  flags_ = flags;
  context_ = context;
  method_ = kFtp;
}

wchar_t FilesFind::Separator() const { return method_ == kFtp ? L'/' : L'\\'; }

unsigned short FilesFind::Status(const std::wstring& path) {
  if (method_ == kLocal) {
    const Level::Status status = Level::StatusOf(path);
    return status == Level::Status::kNothing ? kNothing : status == Level::Status::kDirectory ? kDirectory : kOther;
  }
  if (method_ != kFtp) RaiseNotInitialised(Level::kStatusSignature);
  unsigned short status = kNothing;
  ScanFtp(connection_, flags_, context_, path, [&](const WIN32_FIND_DATAW& record) {
    status = IsDirectory(record) ? kDirectory : kOther;
    return false;
  });
  return status;
}

unsigned long long FilesFind::GetList(const std::wstring& pattern, const unsigned short wSearch, FindDataList& list) {
  list.clear();
  ForEach(pattern, wSearch, [&list](const WIN32_FIND_DATAW& record) {
    list.push_back(record);
    return true;
  });
  return list.size();
}

void FilesFind::ForEach(const std::wstring& pattern, const unsigned short wSearch, const Level::Visit& visit) {
  if (method_ == kLocal) return Level::List(pattern, wSearch, visit);
  if (method_ != kFtp) RaiseNotInitialised(Level::kListSignature);
  const bool opened = ScanFtp(connection_, flags_, context_, pattern, [&](const WIN32_FIND_DATAW& record) {
    return !Level::Keeps(record, wSearch) || visit(record);
  });
  if (!opened) Error::Raise(SF_SITE(Level::kListSignature, Error::kMethod), NoHandleMessage(pattern), true);
}

}  // namespace Utils
