#include "utils/files/Utils.File.Remove.h"

#include "utils/files/Utils.File.Effects.h"
#include "utils/files/Utils.File.Facts.h"
#include "utils/files/Utils.File.Level.h"
#include "utils/files/Utils.File.Links.h"
#include "utils/text/Utils.Strings.h"

namespace Utils::Removal {
namespace {

using std::wstring;

constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_TEMPORARY;

wstring Quoted(const wstring& path) { return L"\n\"" + path + L"\""; }

DWORD Settable(const DWORD attributes) {
  const DWORD settable = attributes & kSettableAttributes;
  return settable == 0 ? FILE_ATTRIBUTE_NORMAL : settable;
}

// A read-only file made writable by its path, its other attributes kept.
void Lift(const wstring& path, const Tree::Entry& entry) {
  SetFileAttributesW(path.c_str(), Settable(entry.attributes & ~FILE_ATTRIBUTE_READONLY));
}

bool SetAttributes(const FileHandle& file, DWORD attributes) {
  FILE_BASIC_INFO basic{};  // times of 0 are left as they are
  basic.FileAttributes = Settable(attributes);
  return SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic) != FALSE;
}

bool Dispose(const FileHandle& file) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

// The name of a file with others goes; its attributes stay the file's.
Error::Outcome DisposeOfName(const Error::Site& site, const wstring& path) {
  const FileHandle file = OpenMetadata(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
  FILE_BASIC_INFO before{};
  if (!file || !GetFileInformationByHandleEx(file.get(), FileBasicInfo, &before, sizeof before))
    return Error::Failure(site, L"Файл не удалён:" + Quoted(path), true);
  Error::Outcome outcome;
  if (!SetAttributes(file, before.FileAttributes & ~FILE_ATTRIBUTE_READONLY) || !Dispose(file))
    outcome = Error::Failure(site, L"Файл не удалён:" + Quoted(path), true);
  if (!SetAttributes(file, before.FileAttributes))
    outcome &= Error::Failure(site, L"Атрибуты файла не восстановлены:" + Quoted(path), true);
  return outcome;
}

Error::Outcome DisposeOfLink(const Error::Site& site, const wstring& path) {
  const FileHandle link = Links::OpenItself(path, DELETE | FILE_READ_ATTRIBUTES);
  if (!link || !Dispose(link)) return Error::Failure(site, L"Ссылка не удалена:" + Quoted(path), true);
  return Error::Outcome();
}

}  // namespace

void RequireRemovableLinks(const Error::Site& site, const Tree::Survey& survey) {
  for (const Tree::Entry& entry : survey.entries)
    if (entry.kind == Tree::Kind::kLink) Links::RequireRemovable(site, survey.PathOf(entry));
}

Error::Outcome RemoveLinks(const Error::Site& site, const Tree::Survey& survey) {
  Error::Outcome outcome;
  for (const Tree::Entry& entry : survey.entries)
    if (entry.kind == Tree::Kind::kLink) outcome &= RemoveName(site, survey.PathOf(entry), Name::kLink);
  return outcome;
}

Error::Outcome RemoveOtherNamed(const Error::Site& site, const Tree::Survey& survey) {
  Error::Outcome outcome;
  for (const Tree::Entry& entry : survey.entries)
    if (entry.kind == Tree::Kind::kFile && entry.otherNames)
      outcome &= RemoveName(site, survey.PathOf(entry), Name::kOfFile);
  return outcome;
}

Error::Outcome RemoveName(const Error::Site& site, const wstring& path, Name name) {
  const bool link = name == Name::kLink;
  // A link's target is held while the link goes, and compared after: the
  // removal must leave the very file it led to where it was.
  const wstring targetPath = link ? FinalPathOf(path) : wstring();
  const Held target = targetPath.empty() ? Held() : Held::Of(targetPath);
  const Error::Outcome disposed = link ? DisposeOfLink(site, path) : DisposeOfName(site, path);
  if (!disposed) return disposed;
  if (IsThere(path))
    return Error::Failure(site, (link ? L"Ссылка осталась на месте:" : L"Файл остался на месте:") + Quoted(path),
                          false);
  if (target.Known() && !target.Is(Held::Of(targetPath)))
    return Error::Failure(site, L"После удаления ссылки её цели нет на месте:" + Quoted(targetPath), false);
  return disposed;
}

void LiftReadOnly(const Tree::Survey& survey) {
  for (const Tree::Entry& entry : survey.entries)
    if (entry.IsReadOnlyFile() && !entry.otherNames && entry.IsMatch()) Lift(survey.PathOf(entry), entry);
}

void KeepReadOnly(const Tree::Survey& survey, const Effects::Account& account) {
  for (const std::size_t i : account.undone) {
    const Tree::Entry& entry = survey.entries[i];
    if (!entry.IsReadOnlyFile()) continue;
    const wstring path = survey.PathOf(entry);
    const DWORD now = GetFileAttributesW(path.c_str());
    if (now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_READONLY) == 0)
      SetFileAttributesW(path.c_str(), Settable(now | FILE_ATTRIBUTE_READONLY));
  }
}

Shell::Answer RemoveEntry(const Tree::Survey& survey, const Tree::Entry& entry) {
  const wstring path = survey.PathOf(entry);
  if (entry.IsReadOnlyFile()) Lift(path, entry);
  return Shell::Run(FO_DELETE, path);
}

std::vector<char> HoldingWhatStayed(const Tree::Survey& survey) {
  std::vector<char> holding(survey.entries.size(), 0);
  Effects::ExactNames names;
  for (const Tree::Entry& entry : survey.entries) {
    if (entry.kind != Tree::Kind::kLink && !entry.otherNames) continue;
    if (names.Look(survey.PathOf(entry)) == Effects::ExactNames::Seen::kAbsent) continue;
    std::size_t match = &entry - survey.entries.data();
    while (!survey.entries[match].IsMatch()) match = survey.entries[match].parent;
    holding[match] = 1;
  }
  return holding;
}

}  // namespace Utils::Removal
