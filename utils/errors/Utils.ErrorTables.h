#pragma once
// The library's own error-text tables, seen from inside the library and its
// unit tests. Users of the texts call the lookups of Utils.Error.h instead.
#include <windows.h>

#include <cstddef>
#include <string>

namespace Utils::Error::Tables {

// One described code: the documentation's English text and our Russian one.
// Either may hold single "\r\n" breaks between paragraphs, never a blank line.
struct Row {
  long code;
  const wchar_t* english;
  const wchar_t* russian;
};

struct Table {
  const Row* rows;
  std::size_t size;

  const Row* begin() const { return rows; }
  const Row* end() const { return rows + size; }
  // The row of the code, or nullptr.
  const Row* Find(long code) const;
};

// The row for code 0, the same in every table.
constexpr wchar_t kSuccessEnglish[] = L"The operation completed successfully.";
constexpr wchar_t kSuccessRussian[] = L"Операция успешно завершена.";

const Table& Shell();

// A row's text, "\r\nLast Error: <code>.\r\n\r\n<english>\r\n\r\n<russian>
// \r\n\r\n", with the code written as its table writes codes: shell results
// as "0x" and five hex digits; code 0 is "0" in every table.
std::wstring ShellRow(const Row& row);

// The layout every table shares, around a code already written; "0x" and
// `digits` upper-case hex digits for a code, "0" for code 0.
std::wstring RowText(const std::wstring& code, const Row& row);
std::wstring Hex(unsigned long value, int digits);

}  // namespace Utils::Error::Tables
