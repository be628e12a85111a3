#pragma once
// What the file system says of a path: whether something is there, what it
// is, where it leads, whether two paths lead to one file, and how many
// names a file has.
#include <windows.h>

#include <string>

#include "utils/runtime/Utils.Handle.h"

namespace Utils {

bool IsThere(const std::wstring& path);
bool IsExistingDirectory(const std::wstring& path);
// The system's answer was "no such file or folder" (not "no access", say).
bool IsNotFound(DWORD error);

// The one open that reads a file's metadata: attributes only, every kind
// of sharing allowed, directories too; links are followed unless flags ask
// for FILE_FLAG_OPEN_REPARSE_POINT. Not held: the last error says why.
FileHandle OpenMetadata(const std::wstring& path, DWORD access = FILE_READ_ATTRIBUTES, DWORD flags = 0);

// Which file a handle holds: the 128-bit file ID with the volume serial
// where the volume answers (FILE_ID_INFO), the 64-bit index otherwise.
struct Identity {
  ULONGLONG volume = 0;
  FILE_ID_128 id{};
  bool wide = false;
  bool operator==(const Identity& other) const;
  bool SameVolume(const Identity& other) const;
};

// A file held open for as long as its identity may be compared: an ID is
// unique only among files that exist, and a held file keeps its own.
class Held {
 public:
  Held() = default;
  static Held Of(const std::wstring& path);
  bool Known() const { return known_; }
  // Both known, and one file.
  bool Is(const Held& other) const { return known_ && other.known_ && identity_ == other.identity_; }
  // Both known, and on one volume.
  bool OnVolumeOf(const Held& other) const {
    return known_ && other.known_ && identity_.SameVolume(other.identity_);
  }

 private:
  FileHandle file_;
  Identity identity_;
  bool known_ = false;
};

// The path the system resolves path to, links followed ("\\?\C:\...");
// empty, with the last error set, when it cannot be opened.
std::wstring FinalPathOf(const std::wstring& path);
std::wstring FinalPathOf(const FileHandle& file);

// The names a file has (hard links); 0 when the handle cannot tell.
DWORD NamesOf(const FileHandle& file);

// Under Wine a Unix symlink to a file is listed as a plain file, and every
// Win32 call on it acts on its target.
bool ListsFileLinksAsFiles();

// Whether the entry at path is stored under the name Windows shows for it.
// Under Wine a Unix name that is not UTF-8 is shown with U+FFFD in place of
// its stray bytes; the entry still opens by that name, but whatever a copy
// makes of it gets the name as shown, which is another one.
bool CarriesItsName(const std::wstring& path);

}  // namespace Utils
