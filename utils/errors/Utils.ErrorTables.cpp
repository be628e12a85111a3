#include "utils/errors/Utils.ErrorTables.h"

// The layout of a row, and the table of shell file-operation results. The
// WinINet and common-dialog tables, which no operation of the library
// meets, are kept apart with the other code it never reaches.
namespace Utils::Error::Tables {
namespace {

// Results of SHFileOperationW that are not system error codes.
constexpr Row kShellRows[] = {
    {0, kSuccessEnglish, kSuccessRussian},
    {0x71, L"The source and destination files are the same file.",
     L"Пути исходного и конечного файлов одинаковы."},
    {0x72,
     L"Multiple file paths were specified in the source buffer, but only one "
     L"destination file path.",
     L"Пути нескольких файлов были указаны в исходном буфере, но только один "
     L"из них путь к файлу."},
    {0x73,
     L"Rename operation was specified but the destination path is a different "
     L"directory. Use the move operation instead.",
     L"Указана операция переименования, но путь назначения является другой "
     L"каталог. Используйте операцию перемещения."},
    {0x74, L"The source is a root directory, which cannot be moved or renamed.",
     L"Источники корневые каталоги, которые не могут быть перемещены или "
     L"переименованы."},
    {0x75,
     L"The operation was canceled by the user, or silently canceled if the "
     L"appropriate flags were supplied to SHFileOperation.",
     L"Операция была отменена пользователем, или отменена по умолчанию."},
    {0x76, L"The destination is a subtree of the source.",
     L"Путь назначения поддерево пути источника."},
    {0x78, L"Security settings denied access to the source.",
     L"Настройки защиты отказывают в доступе к пути источника."},
    {0x79, L"The source or destination path exceeded or would exceed MAX_PATH.",
     L"Пути источника или назначения превысили или превысят MAX_PATH."},
    {0x7A,
     L"The operation involved multiple destination paths, which can fail in "
     L"the case of a move operation.",
     L"В операции участвовало несколько путей назначения, которые могут "
     L"потерпеть неудачу в случае операции перемещения."},
    {0x7C, L"The path in the source or destination or both was invalid.",
     L"Путь в источнике или назначения недействителен."},
    {0x7D, L"The source and destination have the same parent folder.",
     L"Пути источника и назначения имеют одинаковую родительскую папку."},
    {0x7E, L"The destination path is an existing file.",
     L"Путь назначения существующего файла."},
    {0x80, L"The destination path is an existing folder.",
     L"Путь назначения существующей папки."},
    {0x81, L"The name of the file exceeds MAX_PATH.",
     L"Имя файла превышает MAX_PATH."},
    {0x82, L"The destination is a read-only CD-ROM, possibly unformatted.",
     L"Путь назначения только для чтения CD-ROM, возможно не форматированный."},
    {0x83, L"The destination is a read-only DVD, possibly unformatted.",
     L"Путь назначения только для чтения DVD, возможно не форматированный."},
    {0x84, L"The destination is a writable CD-ROM, possibly unformatted.",
     L"Путь назначения для записи CD-ROM, возможно не форматированный."},
    {0x85,
     L"The file involved in the operation is too large for the destination "
     L"media or file system.",
     L"Файлы, участвующие в операции являются слишком большими."},
    {0x86, L"The source is a read-only CD-ROM, possibly unformatted.",
     L"Источник только для чтения CD-ROM, возможно не форматированный."},
    {0x87, L"The source is a read-only DVD, possibly unformatted.",
     L"Источник только для чтения DVD, возможно не форматированный."},
    {0x88, L"The source is a writable CD-ROM, possibly unformatted.",
     L"Источник для записи CD-ROM, возможно не форматированный."},
    {0xB7, L"MAX_PATH was exceeded during the operation.",
     L"MAX_PATH был превышен во время операции."},
    {0x402,
     L"An unknown error occurred. This is typically due to an invalid path in "
     L"the source or destination. This error does not occur on Windows Vista "
     L"and later.",
     L"Неизвестная ошибка. Это, как правило, из-за неверного пути в источнике "
     L"или назначения."},
    {0x10000, L"An unspecified error occurred on the destination.",
     L"Неизвестная ошибка по пути назначения."},
    {0x10074, L"Destination is a root directory and cannot be renamed.",
     L"Путь является корневым каталогом и не может быть переименован."},
};

constexpr Table kShell{kShellRows, sizeof kShellRows / sizeof kShellRows[0]};

}  // namespace

// Row 0 reads "0" in every table, whatever its width for other codes.
std::wstring Hex(unsigned long value, int digits) {
  if (value == 0) return L"0";
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text;
  for (; value != 0 || static_cast<int>(text.size()) < digits; value >>= 4)
    text.insert(text.begin(), kDigits[value & 0xF]);
  return L"0x" + text;
}

const Row* Table::Find(long code) const {
  for (const Row& row : *this)
    if (row.code == code) return &row;
  return nullptr;
}

const Table& Shell() { return kShell; }

std::wstring ShellRow(const Row& row) {
  return RowText(Hex(static_cast<unsigned long>(row.code), 5), row);
}

std::wstring RowText(const std::wstring& code, const Row& row) {
  return L"\r\nLast Error: " + code + L".\r\n\r\n" + row.english + L"\r\n\r\n" +
         row.russian + L"\r\n\r\n";
}

}  // namespace Utils::Error::Tables
