// The library's own error-text tables: their rows and code formats, the exact
// texts that users read, the fall-back to the system text, the narrow twins
// and the server-response row of WinINet code 12003.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <initializer_list>
#include <string>
#include <utility>

#include "tests/unit/WarningBoxes.h"
#include "utils/Utils.Error.h"
#include "utils/Utils.ErrorTables.h"

namespace {

namespace Error = Utils::Error;
namespace Tables = Utils::Error::Tables;

struct Kind {
  const char* name;
  const Tables::Table& table;
  std::size_t rows;
  const wchar_t* codeFormat;  // for every code but 0, which reads "0" everywhere
  std::wstring (*wide)(long);
  std::string (*narrow)(long);
};

const Kind kInternet{"WinINet", Tables::Internet(), 94, L"%ld", Error::InternetW, Error::InternetA};
const Kind kShell{"shell", Tables::Shell(), 26, L"0x%05lX",
                  [](long c) { return Error::ShellW(static_cast<int>(c)); },
                  [](long c) { return Error::ShellA(static_cast<int>(c)); }};
const Kind kCommonDialog{"common dialog", Tables::CommonDialog(), 32, L"0x%04lX",
                         [](long c) { return Error::CommonDialogW(static_cast<WORD>(c)); },
                         [](long c) { return Error::CommonDialogA(static_cast<WORD>(c)); }};

// One pass over every row of every table: its code written as its table
// writes codes, the layout around the two texts, and its narrow twin.
TEST(ErrorTables, EveryRowHasItsTablesCodeFormatLayoutAndNarrowTwin) {
  for (const Kind* kind : {&kInternet, &kShell, &kCommonDialog}) {
    EXPECT_EQ(kind->table.size, kind->rows) << kind->name;
    for (const Tables::Row& row : kind->table) {
      SCOPED_TRACE(std::string(kind->name) + " " + std::to_string(row.code));
      const std::wstring wide = kind->wide(row.code);
      // Narrow rows are the wide ones in code page 1251, whatever the
      // system's is: one byte a character, decoding back to the wide text.
      const std::string narrow = kind->narrow(row.code);
      std::wstring decoded(narrow.size(), L'\0');
      MultiByteToWideChar(1251, 0, narrow.data(), static_cast<int>(narrow.size()), &decoded[0],
                          static_cast<int>(decoded.size()));
      EXPECT_EQ(decoded, wide);
      if (row.code == Tables::kServerResponseCode) {
        // Outside any Internet session the thread has no server response.
        EXPECT_EQ(wide, L"\r\nLast Error: 12003.\r\n\r\n\r\n\r\n");
        continue;
      }
      wchar_t code[16] = L"0";
      if (row.code != 0) std::swprintf(code, 16, kind->codeFormat, row.code);
      EXPECT_EQ(wide, L"\r\nLast Error: " + std::wstring(code) + L".\r\n\r\n" + row.english +
                          L"\r\n\r\n" + row.russian + L"\r\n\r\n");
      // A blank line inside a text would break the report's paragraphs.
      for (const std::wstring text : {row.english, row.russian})
        EXPECT_EQ(text.find(L"\r\n\r\n"), std::wstring::npos) << text;
    }
  }
  for (const Kind* kind : {&kInternet, &kShell, &kCommonDialog})
    EXPECT_EQ(kind->wide(0), L"\r\nLast Error: 0.\r\n\r\nThe operation completed successfully."
                             L"\r\n\r\nОперация успешно завершена.\r\n\r\n")
        << kind->name;
  EXPECT_EQ(Error::InternetW(12001),
            L"\r\nLast Error: 12001.\r\n\r\nNo more handles could be generated at this "
            L"time.\r\n\r\nНевозможно сгенерировать дополнительные дескрипторы.\r\n\r\n");
  EXPECT_EQ(Error::InternetW(12002),
            L"\r\nLast Error: 12002.\r\n\r\nThe request has timed out.\r\n\r\n"
            L"Запрос просрочен.\r\n\r\n");
}

void ExpectRussianTexts(const Kind& kind,
                        std::initializer_list<std::pair<long, const wchar_t*>> texts) {
  EXPECT_EQ(texts.size(), kind.table.size) << "every row's text is listed";
  // The loop over every row ties each row's Russian text to what users read.
  for (const auto& [code, text] : texts) {
    const Tables::Row* row = kind.table.Find(code);
    EXPECT_TRUE(row != nullptr && std::wstring(row->russian) == text) << kind.name << " " << code;
  }
}

// Every row of these two tables, as users read it.
TEST(ErrorTables, ShellAndCommonDialogRussianTexts) {
  ExpectRussianTexts(kShell, {
      {0, L"Операция успешно завершена."},
      {0x71, L"Пути исходного и конечного файлов одинаковы."},
      {0x72, L"Пути нескольких файлов были указаны в исходном буфере, но только один из них путь к файлу."},
      {0x73, L"Указана операция переименования, но путь назначения является другой каталог. Используйте операцию перемещения."},
      {0x74, L"Источники корневые каталоги, которые не могут быть перемещены или переименованы."},
      {0x75, L"Операция была отменена пользователем, или отменена по умолчанию."},
      {0x76, L"Путь назначения поддерево пути источника."},
      {0x78, L"Настройки защиты отказывают в доступе к пути источника."},
      {0x79, L"Пути источника или назначения превысили или превысят MAX_PATH."},
      {0x7A, L"В операции участвовало несколько путей назначения, которые могут потерпеть неудачу в случае операции перемещения."},
      {0x7C, L"Путь в источнике или назначения недействителен."},
      {0x7D, L"Пути источника и назначения имеют одинаковую родительскую папку."},
      {0x7E, L"Путь назначения существующего файла."},
      {0x80, L"Путь назначения существующей папки."},
      {0x81, L"Имя файла превышает MAX_PATH."},
      {0x82, L"Путь назначения только для чтения CD-ROM, возможно не форматированный."},
      {0x83, L"Путь назначения только для чтения DVD, возможно не форматированный."},
      {0x84, L"Путь назначения для записи CD-ROM, возможно не форматированный."},
      {0x85, L"Файлы, участвующие в операции являются слишком большими."},
      {0x86, L"Источник только для чтения CD-ROM, возможно не форматированный."},
      {0x87, L"Источник только для чтения DVD, возможно не форматированный."},
      {0x88, L"Источник для записи CD-ROM, возможно не форматированный."},
      {0xB7, L"MAX_PATH был превышен во время операции."},
      {0x402, L"Неизвестная ошибка. Это, как правило, из-за неверного пути в источнике или назначения."},
      {0x10000, L"Неизвестная ошибка по пути назначения."},
      {0x10074, L"Путь является корневым каталогом и не может быть переименован."},
  });
  ExpectRussianTexts(kCommonDialog, {
      {0, L"Операция успешно завершена."},
      {0x0001, L"Член \"lStructSize\" из структуры инициализации для соответствующего стандартного диалогового окна недопустим."},
      {0x0002, L"Функция стандартного диалогового окна потерпела неудачу в ходе инициализации. Эта ошибка часто происходит, если памяти не достаточно."},
      {0x0003, L"Флаг ENABLETEMPLATE был установлен в Flags члена структуры инициализации для соответствующего стандартного диалогового окна, но вы не сумели предоставить соответствующий шаблон."},
      {0x0004, L"Флаг ENABLETEMPLATE был установлен в Flags члена структуры инициализации для соответствующего стандартного диалогового окна, но вы не сумели предоставить соответствующий дескриптор экземпляра."},
      {0x0005, L"Функция стандартного диалогового окна не удалось загрузить указанную строку."},
      {0x0006, L"Функция стандартного диалогового окна не удалось найти указанный ресурс."},
      {0x0007, L"Функция стандартного диалогового окна не удалось загрузить указанный ресурс."},
      {0x0008, L"Функция стандартного диалогового окна не в состоянии заблокировать указанный ресурс."},
      {0x0009, L"Функция стандартного диалогового окна не смогла выделить память для внутренних структур."},
      {0x000A, L"Функция стандартного диалогового окна не смогла закрепить память, связанную с дескриптором."},
      {0x000B, L"Флаг ENABLEHOOK был установлен в Flags члена структуры инициализации для соответствующего стандартного диалогового окна, но вы не сумели предоставить указатель на соответствующей HOOK-процедуры."},
      {0x000C, L"Функция \"RegisterWindowMessage()\" вернула код ошибки, когда она вызывалась функцией стандартного диалогового окна."},
      {0x1001, L"Функции \"PrintDlg\" не удалось загрузить необходимые ресурсы."},
      {0x1002, L"Функции \"PrintDlg\" не удалось разобрать строки в раздел файла WIN.INI [устройства]."},
      {0x1003, L"Флаг PD_RETURNDEFAULT был определен во флагах члена PRINTDLG структуры, но член hDevMode или hDevNames не NULL."},
      {0x1004, L"Функции \"PrintDlg\" не удалось загрузить драйвер устройства для указанного принтера."},
      {0x1005, L"Драйвер принтера не удалось инициализировать структуру DEVMODE."},
      {0x1006, L"Вызов функции \"PrintDlg\" не удался во время инициализации, и нет более конкретной расширенного кода ошибки, описывающий ошибку. Это базовый код ошибки по умолчанию для функции."},
      {0x1007, L"Не было обнаружено никаких драйверов принтера."},
      {0x1008, L"Принтер по умолчанию не существует."},
      {0x1009, L"Данные в структурах DEVMODE и DEVNAMES описывают два различных принтеров."},
      {0x100A, L"Функция \"PrintDlg\" потерпела неудачу, когда попыталась создать информационный контекст."},
      {0x100B, L"Раздел файле WIN.INI [устройства] не содержит записи для запрашиваемого принтера."},
      {0x100C, L"Вызвана функция \"PrintDlg()\" с флагом DN_DEFAULTPRN, определенным в элементе wDefault в структуре DEVNAMES, но принтер описывается другими членами структуры, не соответствует текущей принтер по умолчанию.\r\n" L"Эта ошибка возникает при сохранении структуры DEVNAMES, и пользователь изменяет принтер по умолчанию, с помощью панели управления.\r\n" L"Для использования принтера, описанный в DEVNAMES структуры, сбросьте бит флажка DN_DEFAULTPRN и вызвать функцию \"PrintDlg()\" снова.\r\n" L"Чтобы использовать принтер по умолчанию, замените структуру DEVNAMES (и структуру, если таковой существует) с NULL, и вызвать функцию \"PrintDlg()\" снова."},
      {0x2001, L"Не существует шрифты."},
      {0x2002, L"Размер, указанный в элементе nSizeMax в структуре CHOOSEFONT меньше размера, указанного в элементе nSizeMin."},
      {0x3001, L"Попытка окна создать подкласс списка потерпела неудачу, из-за нехватки памяти был не доступен."},
      {0x3002, L"Недопустимое имя файла."},
      {0x3003, L"Буфер, на который указывает член lpstrFile из структуры OPENFILENAME слишком мал для имени файла, указанного пользователем.\r\n" L"Первые два байта буфера lpstrFile содержать целое значение, определяющее размер, требуемый для получения полного имени, в символах."},
      {0x4001, L"Член структуры FINDREPLACE указывает на недопустимый буфер."},
      {0xFFFF, L"Диалоговое окно не может быть создано. Вызов стандартного диалогового окна функции DialogBox не удалось. Эта ошибка возникает, если стандартное диалоговое окно вызывает задает неверный дескриптор окна."},
  });
}

// WinINet codes 12001 to 12175 all have rows but for the gaps of the error
// list; those, the codes around the range and the other tables' unknown codes
// get the system text.
TEST(ErrorTables, CodesWithoutARowGetTheSystemText) {
  auto hasRow = [](long code) {
    return code >= 12001 && code <= 12175 && code != 12035 && code != 12051 &&
           !(code >= 12058 && code <= 12109) && !(code >= 12113 && code <= 12129) &&
           !(code >= 12139 && code <= 12149);
  };
  for (long code = 11999; code <= 12176; ++code) {
    EXPECT_EQ(Tables::Internet().Find(code) != nullptr, hasRow(code)) << code;
    if (hasRow(code)) continue;
    EXPECT_EQ(Error::InternetW(code), Error::SystemTextW(static_cast<DWORD>(code))) << code;
    EXPECT_EQ(Error::InternetA(code), Error::SystemTextA(static_cast<DWORD>(code))) << code;
  }
  EXPECT_EQ(Error::ShellW(0x77), Error::SystemTextW(0x77));
  EXPECT_EQ(Error::ShellA(0x77), Error::SystemTextA(0x77));
  EXPECT_EQ(Error::CommonDialogW(0x000D), Error::SystemTextW(0x000D));
  EXPECT_EQ(Error::CommonDialogA(0x000D), Error::SystemTextA(0x000D));
}

// Stand-in for InternetGetLastResponseInfoW/A: a first call without a buffer
// learns the length (told with or without the terminator, or 0 when there is
// no response); the second copies the text or fails.
enum class Server { Says, SaysLengthWithoutTerminator, Silent, FailsToTell };
Server gServer = Server::Silent;
constexpr char kServerText[] = "530 Login incorrect.";

template <class C> BOOL WINAPI Tell(LPDWORD error, C* buffer, LPDWORD length) {
  *error = 530;
  const DWORD size = gServer == Server::Silent ? 0 : sizeof kServerText - 1;
  // A buffer without room for the terminator is refused, not overrun.
  if (buffer == nullptr || gServer == Server::FailsToTell || *length <= size) {
    *length = gServer == Server::SaysLengthWithoutTerminator ? size : size + (size != 0);
    return size == 0;
  }
  std::copy(kServerText, kServerText + size + 1, buffer);
  *length = size;
  return TRUE;
}

// A failed fetch warns once per form and leaves no zeros in the row (a NUL
// would cut the message box short).
TEST(ServerResponseRow, CarriesTheServersTextOrNothing) {
  for (const Server server : {Server::Says, Server::SaysLengthWithoutTerminator, Server::Silent,
                              Server::FailsToTell}) {
    SCOPED_TRACE(static_cast<int>(server));
    gServer = server;
    const bool says = server == Server::Says || server == Server::SaysLengthWithoutTerminator;
    UnitTest::WarningBoxes boxes;
    const std::string row = std::string("\r\nLast Error: 12003.\r\n\r\n") + (says ? kServerText : "") + "\r\n\r\n";
    EXPECT_EQ(Tables::ServerResponseRowW(Tell<wchar_t>), std::wstring(row.begin(), row.end()));
    EXPECT_EQ(Tables::ServerResponseRowA(Tell<char>), row);
    const auto shown = boxes.Stop();
    ASSERT_EQ(shown.size(), server == Server::FailsToTell ? 2u : 0u);
    for (std::size_t i = 0; i < shown.size(); ++i) {
      EXPECT_EQ(shown[i].caption, i == 0 ? L"Utils::Error::InternetW" : L"Utils::Error::InternetA");
      EXPECT_TRUE(shown[i].EndsWith(L"\r\n\r\nОшибка получения расширенного описания интернет-ошибки."))
          << shown[i].text;
    }
  }
}

}  // namespace
