#include "utils/files/Utils.File.Reason.h"

#include <cstdio>

#include "utils/files/Utils.File.Facts.h"
#include "utils/text/Utils.Strings.h"

namespace Utils::Reason {
namespace {

using std::wstring;
using Effects::Account;
using Miss = Effects::Account::Miss;
using Tree::Entry;
using Tree::Kind;

// How many entries an account names, and how many undone ones are looked
// at for a cause: enough to tell, bounded however large the tree.
constexpr std::size_t kNamed = 3;
constexpr std::size_t kExamined = 64;

struct Cause {
  wstring text;  // empty: none found
  DWORD code = 0;
};

wstring Quoted(const wstring& path) { return L"\n\"" + path + L"\""; }

bool Copies(Work work) { return work == Work::kCopy || work == Work::kMoveCopy; }
bool Removes(Work work) { return work == Work::kDelete || work == Work::kClear || work == Work::kMoveDelete; }

unsigned short RequestOf(Work work) {
  if (Copies(work)) return FO_COPY;
  return work == Work::kMove ? FO_MOVE : FO_DELETE;
}

// Where an entry was looked for: where it stays, or where it did not arrive.
wstring PlaceOf(const Findings& f, const Entry& entry, Miss miss) {
  return miss == Miss::kStays ? f.survey.PathOf(entry) : f.survey.DestinationOf(entry, f.nested);
}

// The system's error for an open of path with access, every kind of sharing
// allowed: only another program's open that shares nothing refuses it.
DWORD OpenError(const wstring& path, DWORD access) {
  const FileHandle file(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file ? ERROR_SUCCESS : GetLastError();
}

Cause HeldOrDenied(DWORD error, const Entry& entry, const wstring& path, const wchar_t* where) {
  const wchar_t* what = entry.kind == Kind::kDirectory ? L"каталог " : L"файл ";
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
    return Cause{what + wstring(where) + L" открыт другой программой без права совместного доступа:" + Quoted(path),
                 error};
  if (error == ERROR_ACCESS_DENIED)
    return Cause{wstring(L"нет доступа к элементу ") + where + L":" + Quoted(path), error};
  return Cause{};
}

bool ReadOnly(const wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// The nearest directory that exists at or above path.
wstring ExistingAbove(wstring path) {
  while (!path.empty() && !IsExistingDirectory(String::Path::DriveAsRoot(path))) {
    const std::size_t slash = path.rfind(L'\\');
    if (slash == wstring::npos) return wstring();
    path.erase(slash);
  }
  return String::Path::DriveAsRoot(path);
}

// A copy that needs more room than its drive has left.
Cause NoRoom(const Findings& f) {
  unsigned long long needed = 0;
  for (const std::size_t i : f.account.undone)
    if (f.survey.entries[i].kind == Kind::kFile) needed += f.survey.entries[i].size;
  const wstring drive = ExistingAbove(f.survey.destination.path);
  ULARGE_INTEGER free{};
  if (needed == 0 || drive.empty() || !GetDiskFreeSpaceExW(drive.c_str(), &free, nullptr, nullptr) ||
      free.QuadPart >= needed)
    return Cause{};
  return Cause{L"на диске назначения не хватает места: свободно " + std::to_wstring(free.QuadPart) +
                   L" байт, а скопировать оставалось " + std::to_wstring(needed) + L" байт:" + Quoted(drive),
               ERROR_DISK_FULL};
}

// What keeps a copy of one entry from arriving: its source held or kept
// from us, or what stands where it goes held, read-only or kept from us.
Cause KeepingCopy(const Findings& f, const Entry& entry) {
  const wstring source = f.survey.PathOf(entry);
  if (entry.kind == Kind::kFile)
    if (Cause cause = HeldOrDenied(OpenError(source, GENERIC_READ), entry, source, L"источника"); !cause.text.empty())
      return cause;
  if (!entry.landed) return Cause{};
  const wstring target = f.survey.DestinationOf(entry, f.nested);
  if (entry.kind == Kind::kFile && ReadOnly(target))
    return Cause{L"файл в месте назначения только для чтения:" + Quoted(target), ERROR_ACCESS_DENIED};
  return HeldOrDenied(OpenError(target, entry.kind == Kind::kFile ? GENERIC_WRITE : FILE_READ_ATTRIBUTES), entry,
                      target, L"в месте назначения");
}

// What keeps one entry where it is: held by another program, kept from us,
// or read-only to a shell that deletes no such file.
Cause KeepingInPlace(const Findings& f, const Entry& entry) {
  const wstring source = f.survey.PathOf(entry);
  if (Cause cause = HeldOrDenied(OpenError(source, DELETE), entry, source, L"источника"); !cause.text.empty())
    return cause;
  if (Removes(f.work) && entry.IsReadOnlyFile())
    return Cause{L"файл только для чтения:" + Quoted(source), ERROR_ACCESS_DENIED};
  return Cause{};
}

Cause Find(const Findings& f) {
  if (Copies(f.work))
    if (Cause cause = NoRoom(f); !cause.text.empty()) return cause;
  // Files first: a directory that stays usually stays for what it holds.
  for (const bool files : {true, false}) {
    std::size_t examined = 0;
    for (const std::size_t i : f.account.undone) {
      const Entry& entry = f.survey.entries[i];
      if ((entry.kind == Kind::kFile) != files || ++examined > kExamined) continue;
      const Cause cause = Copies(f.work) ? KeepingCopy(f, entry) : KeepingInPlace(f, entry);
      if (!cause.text.empty()) return cause;
    }
  }
  return Cause{};
}

wstring Hex(int code) {
  wchar_t text[16];
  std::swprintf(text, 16, L"0x%X", static_cast<unsigned>(code));
  return text;
}

// The shell's code as the shell's: its meaning in Windows only where the
// cause found is what it says.
wstring ShellLine(const Findings& f, const Cause& cause) {
  if (f.answer.aborted && f.answer.code == 0) return L"Оболочка сообщила, что операция прервана.";
  wstring line = L"Ответ оболочки: " + std::to_wstring(f.answer.code) + L" (" + Hex(f.answer.code) + L")";
  if (cause.text.empty()) return line + L"; по тому, что видно на диске, причина не найдена.";
  if (static_cast<DWORD>(f.answer.code) == cause.code) return line + L", он же найденная причина.";
  return line + L"; его значение в Windows к найденной причине не относится.";
}

// The undone entry to name first: a file that stays tells more than the
// folders holding it, which stay because of it.
std::size_t FirstUndone(const Findings& f) {
  for (std::size_t n = 0; n < f.account.undone.size(); ++n)
    if (f.survey.entries[f.account.undone[n]].kind != Kind::kDirectory) return n;
  return 0;
}

wstring MissText(Miss miss, bool claimed) {
  const wchar_t* prefix = claimed ? L"Оболочка ответила успехом, но элемент" : L"Элемент";
  switch (miss) {
    case Miss::kUnlike: return prefix + wstring(L" в месте назначения не такой, как источник:");
    case Miss::kStays: return prefix + wstring(L" остался на месте:");
    default:
      return claimed ? L"Оболочка ответила успехом, но элемента нет в месте назначения под его именем:"
                     : L"Элемента нет в месте назначения под его именем:";
  }
}

wstring Headline(const Findings& f) {
  const std::size_t n = FirstUndone(f);
  const Miss miss = f.account.misses[n];
  const wstring missing = MissText(miss, f.answer.Claimed()) +
                          Quoted(PlaceOf(f, f.survey.entries[f.account.undone[n]], miss));
  if (f.answer.Claimed()) return missing;
  return L"Оболочка Windows не выполнила " + wstring(Shell::NameOf(RequestOf(f.work))) + L":" + Quoted(f.source) +
         L"\n" + missing;
}

wstring Examples(const Findings& f, const std::vector<std::size_t>& entries, bool destination) {
  wstring text;
  for (std::size_t n = 0; n < entries.size() && n < kNamed; ++n) {
    const Entry& entry = f.survey.entries[entries[n]];
    text += Quoted(destination ? f.survey.DestinationOf(entry, f.nested) : f.survey.PathOf(entry));
  }
  return text;
}

wstring Of(std::size_t part, std::size_t all) { return std::to_wstring(part) + L" из " + std::to_wstring(all); }

// A move: of the matches that left the source, those at the destination
// and those nowhere to be seen under their names.
wstring MoveProgress(const Findings& f) {
  const Account& left = *f.departed;
  std::vector<char> arrived(f.survey.entries.size(), 0);
  for (const std::size_t i : f.arrived->done) arrived[i] = 1;
  std::vector<std::size_t> moved, astray;
  for (const std::size_t i : left.done) (arrived[i] ? moved : astray).push_back(i);
  const std::size_t all = left.done.size() + left.undone.size();
  wstring text = moved.empty() ? wstring(L"Ничего не перемещено.")
                               : L"Уже перемещено элементов: " + Of(moved.size(), all) +
                                     L"; они теперь в месте назначения, например:" + Examples(f, moved, true);
  if (!astray.empty())
    text += L"\nУшли из источника, но в месте назначения под своими именами не найдены: " + Of(astray.size(), all) +
            L", например:" + Examples(f, astray, true);
  return text;
}

// How far the work got, and where what it did is now.
wstring Progress(const Findings& f) {
  const std::size_t done = f.account.done.size(), all = done + f.account.undone.size();
  switch (f.work) {
    case Work::kCopy:
      return L"Скопировано элементов: " + Of(done, all) + L".";
    case Work::kMoveCopy:
      return L"Копирование не дошло до конца, источник не тронут. Скопировано элементов: " + Of(done, all) + L".";
    case Work::kMove:
      if (f.arrived != nullptr && f.departed != nullptr) return MoveProgress(f);
      return L"Перемещено элементов: " + Of(done, all) + L".";
    case Work::kMoveDelete:
      return L"Всё скопировано в место назначения, но из источника удалено элементов только " + Of(done, all) +
             L"; остальные есть и в источнике, и в месте назначения, например:" +
             Examples(f, f.account.undone, false);
    default:
      return done == 0 ? L"Ничего не удалено."
                       : L"Уже удалено элементов: " + Of(done, all) + L" (удалены окончательно), например:" +
                             Examples(f, f.account.done, false);
  }
}

}  // namespace

Error::Failure Of(const Error::Site& site, const Findings& f) {
  const Cause cause = f.account.Whole() ? Cause{} : Find(f);
  wstring message;
  if (f.account.Whole())
    message = L"Оболочка Windows не выполнила " + wstring(Shell::NameOf(RequestOf(f.work))) + L":" + Quoted(f.source) +
              L"\nОднако всё, о чём её просили, на диске видно сделанным.";
  else
    message = Headline(f);
  if (!f.answer.Claimed()) message += L"\n" + ShellLine(f, cause);
  if (!cause.text.empty()) message += L"\nПричина: " + cause.text;
  if (!f.account.Whole()) message += L"\n" + Progress(f);
  SetLastError(cause.code);
  return Error::Failure(site, message, cause.code != 0);
}

}  // namespace Utils::Reason
