// What an operation finds on disk after the shell: some shells answer
// success for work they did not do, so an answer of 1 is what is seen.
#include "utils/files/Utils.File.Tree.h"

namespace Utils::Tree {
namespace {

using std::wstring;

void NoteMissing(const Error::Site& site, const wstring& path, const wchar_t* what) {
  Error::Note(Error::Failure(site, what + (L":\n\"" + path + L"\""), false));
}

}  // namespace

ExactNames::Seen ExactNames::Look(const wstring& path, Found* found) {
  const std::size_t slash = path.rfind(L'\\');
  const wstring pattern = path.substr(0, slash + 1) + L'*', name = path.substr(slash + 1);
  auto level = levels_.find(pattern);
  if (level == levels_.end()) {
    level = levels_.emplace(pattern, Level()).first;
    FilesFind find;
    const FilesFind::Ended ended = find.ScanLevel(pattern, FilesFind::Scan{false, false},
                                                  [&](const WIN32_FIND_DATAW& record) {
                                                    level->second.names.emplace(
                                                        record.cFileName,
                                                        Found{record.dwFileAttributes, SizeOf(record)});
                                                    return true;
                                                  });
    level->second.complete = ended.end == FilesFind::End::kComplete ||
                             (ended.end == FilesFind::End::kNotOpened && IsNotFound(ended.error));
  }
  const auto entry = level->second.names.find(name);
  if (entry != level->second.names.end()) {
    if (found != nullptr) *found = entry->second;
    return Seen::kThere;
  }
  return level->second.complete ? Seen::kAbsent : Seen::kUnknown;
}

bool Arrived(const Error::Site& site, const Survey& survey, const wstring& destination, bool nested) {
  ExactNames names;
  for (const Entry& entry : survey.entries) {
    if (entry.kind == Kind::kGone) continue;
    const wstring at = survey.DestinationOf(entry, destination, nested);
    ExactNames::Found found{};
    if (names.Look(at, &found) != ExactNames::Seen::kThere) {
      NoteMissing(site, at, L"Оболочка ответила успехом, но элемента нет в месте назначения под его именем");
      return false;
    }
    const bool directory = (found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // A link arrives as what it led to, whatever that was.
    if ((entry.kind == Kind::kDirectory && !directory) ||
        (entry.kind == Kind::kFile && (directory || found.size != entry.size))) {
      NoteMissing(site, at, L"Оболочка ответила успехом, но элемент в месте назначения не такой, как источник");
      return false;
    }
  }
  return true;
}

bool Gone(const Error::Site& site, const Survey& survey) {
  ExactNames names;
  for (const Entry& entry : survey.entries) {
    if (!entry.IsMatch() || entry.kind == Kind::kGone) continue;
    const wstring path = survey.PathOf(entry);
    if (names.Look(path) != ExactNames::Seen::kAbsent) {
      NoteMissing(site, path, L"Оболочка ответила успехом, но элемент остался на месте");
      return false;
    }
  }
  return true;
}

}  // namespace Utils::Tree
