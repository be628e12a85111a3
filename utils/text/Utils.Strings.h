#pragma once
// Path strings: cutting, reverse search, upper-casing, replacing, validation.
#include <string>

#include "utils/text/Utils.Checking.h"

namespace Utils::String {

bool StartsWith(const std::wstring& text, const wchar_t* prefix);

// The text upper-cased as the file system compares names: without regard
// to the user's language.
std::wstring UpperInvariant(const std::wstring& text);

// Index of the number-th occurrence of sub counted back from start (All:
// from the end); overlapping occurrences count separately. Number 0 gives
// start itself. When there are fewer occurrences, number receives how many
// there were and All is returned. An empty text or sub raises a report.
unsigned long long PosByReverseNumberSubStringsA(
    const std::string& text, const std::string& sub, unsigned long long& number,
    unsigned long long start = Checking::All<unsigned long long>,
    const unsigned long long count = Checking::All<unsigned long long>);
unsigned long long PosByReverseNumberSubStringsW(
    const std::wstring& text, const std::wstring& sub, unsigned long long& number,
    unsigned long long start = Checking::All<unsigned long long>,
    const unsigned long long count = Checking::All<unsigned long long>);

// Upper-cases count characters from start in place, in the user's locale.
std::wstring& UpperW(std::wstring& text, const unsigned long start,
                     const unsigned long count);
// An upper-cased copy; an empty text gives an empty copy.
std::wstring UpperCopyW(const std::wstring& text);

// Replaces exact occurrences of what by with inside [start, start + count);
// after a replacement the search resumes one character past the inserted
// text. With all false only the first occurrence is replaced.
std::wstring& ReplaceW(std::wstring& text, const unsigned long long start,
                       unsigned long long count, const std::wstring& what,
                       const std::wstring& with, const bool all);

namespace Path {

// Cut, in the caller's buffer, everything after the number-th separator
// from the end, ignoring one trailing backslash: C:\dir\file.txt and
// C:\dir\sub\ both leave C:\dir\. Without such a separator, or with number
// 0, the buffer is left alone. An empty path (or a lone backslash, or a
// null buffer) raises "Отсутствует путь." and leaves the buffer untouched.
char* TrimNameFileA(char* path, unsigned long long number, const char separator);
wchar_t* TrimNameFileW(wchar_t* path, unsigned long long number,
                       const wchar_t separator);
// The same cut as a new string; without a separator the path comes back whole.
std::wstring TrimNameFileCW(const std::wstring& path, unsigned long long number,
                            const wchar_t separator);

// The path with one trailing backslash dropped: "C:\Data\" names what
// "C:\Data" names, and a search for the former would find nothing.
std::string WithoutTrailingBackslash(std::string path);
std::wstring WithoutTrailingBackslash(std::wstring path);
// Every trailing backslash dropped: what is left of a root is empty.
std::wstring WithoutTrailingBackslashes(std::wstring path);
// A bare drive ("C:") as its root ("C:\"): alone it names the folder
// current on that drive. Any other path comes back as it is.
std::wstring DriveAsRoot(std::wstring path);

// True when the path breaks no rule, false for the empty path; any broken
// rule raises a report naming the rule and the path (also written to the
// standard wide output). ftp: slash-separated FTP path.
bool Has(const std::wstring& path, const bool ftp);

// Names that the shell cannot address exactly: made only of dots, ending in
// a dot or a blank (the system drops those), holding a character a Windows
// name cannot hold (Wine lists Unix names such as "..\\x" as they are), or a
// device name (con, nul, com1.txt, ... in any case). Such a name in a tree
// makes the shell act on some other entry: "..." is read as the parent.
bool IsExactName(const std::wstring& name);
// con, nul, com1.txt, conin$, com¹ ...: a name the system maps to a
// device, in any case.
bool IsDeviceName(const std::wstring& name);
// "The entry cannot be named exactly", with the entry's path.
std::wstring InexactNameMessage(const std::wstring& path);

// Whether name matches the wildcard pattern (one name: "*", "?") as a
// directory search matches it, by the rules the system keeps for "*."
// and ".*": "*.htm" matches a.htm, not a.html.
bool Matches(const std::wstring& pattern, const std::wstring& name);

// The first component of a full path that the system and the shell read
// differently: made only of dots (other than "." and "..") or ending in a
// dot or a blank. Empty when there is none. A long prefix, the drive and
// the share are not components.
std::wstring AmbiguousComponent(const std::wstring& path);

}  // namespace Path
}  // namespace Utils::String
