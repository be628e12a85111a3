// The library's own error-text tables: their rows, how each writes its codes,
// the exact texts that users read, the fall-back to the system text, the
// narrow twins and the server-response row of WinINet code 12003.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>
#include <functional>
#include <iomanip>
#include <sstream>
#include <string>

#include "tests/unit/WarningBoxes.h"
#include "utils/Utils.Error.h"
#include "utils/Utils.ErrorTables.h"

namespace {

namespace Error = Utils::Error;
namespace Tables = Utils::Error::Tables;

struct Kind {
  const char* name;
  const Tables::Table& table;
  int hexDigits;  // 0: decimal
  std::function<std::wstring(long)> wide;
  std::function<std::string(long)> narrow;
};

const Kind kKinds[] = {
    {"WinINet", Tables::Internet(), 0, [](long c) { return Error::InternetW(c); },
     [](long c) { return Error::InternetA(c); }},
    {"shell", Tables::Shell(), 5, [](long c) { return Error::ShellW(static_cast<int>(c)); },
     [](long c) { return Error::ShellA(static_cast<int>(c)); }},
    {"common dialog", Tables::CommonDialog(), 4,
     [](long c) { return Error::CommonDialogW(static_cast<WORD>(c)); },
     [](long c) { return Error::CommonDialogA(static_cast<WORD>(c)); }},
};

std::wstring Written(long code, int hexDigits) {
  if (code == 0) return L"0";
  std::wostringstream text;
  if (hexDigits == 0)
    text << code;
  else
    text << L"0x" << std::uppercase << std::hex << std::setw(hexDigits)
         << std::setfill(L'0') << code;
  return text.str();
}

std::wstring Prefix(long code, int hexDigits) {
  return L"\r\nLast Error: " + Written(code, hexDigits) + L".\r\n\r\n";
}

bool StartsWith(const std::wstring& text, const std::wstring& start) {
  return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() &&
         text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::size_t Count(const std::wstring& text, const std::wstring& needle) {
  std::size_t count = 0;
  for (std::size_t at = text.find(needle); at != std::wstring::npos;
       at = text.find(needle, at + needle.size()))
    ++count;
  return count;
}

// The test's own conversion; `lossy` tells whether a character had no byte.
std::string In1251(const std::wstring& text, bool* lossy = nullptr) {
  BOOL usedDefault = FALSE;
  const int size = WideCharToMultiByte(1251, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, &usedDefault);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(1251, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size,
                      nullptr, &usedDefault);
  if (lossy != nullptr) *lossy = usedDefault != FALSE;
  return bytes;
}

TEST(ErrorTables, RowCounts) {
  EXPECT_EQ(Tables::Internet().size, 94u);
  EXPECT_EQ(Tables::Shell().size, 26u);
  EXPECT_EQ(Tables::CommonDialog().size, 32u);
}

TEST(ErrorTables, CodesAscendWithoutRepeats) {
  for (const Kind& kind : kKinds) {
    long previous = -1;
    for (const Tables::Row& row : kind.table) {
      EXPECT_GT(row.code, previous) << kind.name;
      previous = row.code;
    }
  }
}

// Every WinINet code from 12001 to 12175 has a row except the gaps of the
// error list, which fall back to the system text.
TEST(ErrorTables, InternetRowsCoverTheRangeExceptItsGaps) {
  auto isGap = [](long code) {
    return code == 12035 || code == 12051 || (code >= 12058 && code <= 12109) ||
           (code >= 12113 && code <= 12129) || (code >= 12139 && code <= 12149);
  };
  EXPECT_NE(Tables::Internet().Find(0), nullptr);
  for (long code = 12001; code <= 12175; ++code)
    EXPECT_EQ(Tables::Internet().Find(code) != nullptr, !isGap(code)) << code;
}

TEST(ErrorTables, EveryRowHasTheLayoutAndItsTablesCodeFormat) {
  for (const Kind& kind : kKinds) {
    for (const Tables::Row& row : kind.table) {
      SCOPED_TRACE(std::string(kind.name) + " " + std::to_string(row.code));
      const std::wstring text = kind.wide(row.code);
      EXPECT_TRUE(StartsWith(text, Prefix(row.code, kind.hexDigits))) << text.substr(0, 40);
      if (row.code == Tables::kServerResponseCode) continue;
      EXPECT_EQ(text, Prefix(row.code, kind.hexDigits) + row.english + L"\r\n\r\n" +
                          row.russian + L"\r\n\r\n");
      // Texts are paragraphs: no blank lines, no bare line feeds, nothing
      // hanging at either end.
      for (const std::wstring& part : {std::wstring(row.english), std::wstring(row.russian)}) {
        ASSERT_FALSE(part.empty());
        EXPECT_EQ(Count(part, L"\r\n\r\n"), 0u);
        EXPECT_EQ(Count(part, L"\n"), Count(part, L"\r\n"));
        EXPECT_NE(part.front(), L' ');
        EXPECT_NE(part.back(), L' ');
        EXPECT_TRUE(part.back() == L'.' || part.back() == L')') << part;
      }
    }
  }
}

TEST(ErrorTables, CodeFormatsOfTheDocumentedExamples) {
  EXPECT_TRUE(StartsWith(Error::InternetW(12001), L"\r\nLast Error: 12001.\r\n"));
  EXPECT_TRUE(StartsWith(Error::ShellW(0x71), L"\r\nLast Error: 0x00071.\r\n"));
  EXPECT_TRUE(StartsWith(Error::ShellW(0x10074), L"\r\nLast Error: 0x10074.\r\n"));
  EXPECT_TRUE(StartsWith(Error::CommonDialogW(0x0006), L"\r\nLast Error: 0x0006.\r\n"));
  EXPECT_TRUE(StartsWith(Error::CommonDialogW(0xFFFF), L"\r\nLast Error: 0xFFFF.\r\n"));
}

TEST(ErrorTables, SharedRowZeroAndTheWinInetRowsGivenInFull) {
  const std::wstring zero =
      L"\r\nLast Error: 0.\r\n\r\nThe operation completed successfully.\r\n\r\n"
      L"Операция успешно завершена.\r\n\r\n";
  EXPECT_EQ(Error::InternetW(0), zero);
  EXPECT_EQ(Error::ShellW(0), zero);
  EXPECT_EQ(Error::CommonDialogW(0), zero);
  EXPECT_EQ(Error::InternetW(12001),
            L"\r\nLast Error: 12001.\r\n\r\nNo more handles could be generated at this "
            L"time.\r\n\r\nНевозможно сгенерировать дополнительные дескрипторы.\r\n\r\n");
  EXPECT_EQ(Error::InternetW(12002),
            L"\r\nLast Error: 12002.\r\n\r\nThe request has timed out.\r\n\r\n"
            L"Запрос просрочен.\r\n\r\n");
}

struct Russian {
  long code;
  const wchar_t* text;
};

void ExpectRussianTexts(const Kind& kind, const Russian* texts, std::size_t count) {
  EXPECT_EQ(count, kind.table.size) << "every row's text is listed below";
  for (std::size_t i = 0; i < count; ++i) {
    const std::wstring row = kind.wide(texts[i].code);
    EXPECT_TRUE(StartsWith(row, Prefix(texts[i].code, kind.hexDigits))) << texts[i].code;
    EXPECT_TRUE(EndsWith(row, std::wstring(L"\r\n\r\n") + texts[i].text + L"\r\n\r\n"))
        << kind.name << " " << texts[i].code;
  }
}

TEST(ErrorTables, ShellRussianTexts) {
  static const Russian kTexts[] = {
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
  };
  ExpectRussianTexts(kKinds[1], kTexts, sizeof kTexts / sizeof kTexts[0]);
}

TEST(ErrorTables, CommonDialogRussianTexts) {
  static const Russian kTexts[] = {
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
      {0x100C, L"Вызвана функция \"PrintDlg()\" с флагом DN_DEFAULTPRN, определенным в элементе wDefault в структуре DEVNAMES, но принтер описывается другими членами структуры, не соответствует текущей принтер по умолчанию.\r\n"
               L"Эта ошибка возникает при сохранении структуры DEVNAMES, и пользователь изменяет принтер по умолчанию, с помощью панели управления.\r\n"
               L"Для использования принтера, описанный в DEVNAMES структуры, сбросьте бит флажка DN_DEFAULTPRN и вызвать функцию \"PrintDlg()\" снова.\r\n"
               L"Чтобы использовать принтер по умолчанию, замените структуру DEVNAMES (и структуру, если таковой существует) с NULL, и вызвать функцию \"PrintDlg()\" снова."},
      {0x2001, L"Не существует шрифты."},
      {0x2002, L"Размер, указанный в элементе nSizeMax в структуре CHOOSEFONT меньше размера, указанного в элементе nSizeMin."},
      {0x3001, L"Попытка окна создать подкласс списка потерпела неудачу, из-за нехватки памяти был не доступен."},
      {0x3002, L"Недопустимое имя файла."},
      {0x3003, L"Буфер, на который указывает член lpstrFile из структуры OPENFILENAME слишком мал для имени файла, указанного пользователем.\r\n"
               L"Первые два байта буфера lpstrFile содержать целое значение, определяющее размер, требуемый для получения полного имени, в символах."},
      {0x4001, L"Член структуры FINDREPLACE указывает на недопустимый буфер."},
      {0xFFFF, L"Диалоговое окно не может быть создано. Вызов стандартного диалогового окна функции DialogBox не удалось. Эта ошибка возникает, если стандартное диалоговое окно вызывает задает неверный дескриптор окна."},
  };
  ExpectRussianTexts(kKinds[2], kTexts, sizeof kTexts / sizeof kTexts[0]);
}

// The documentation's several paragraphs stay apart, in both languages.
TEST(ErrorTables, MultiParagraphCommonDialogRows) {
  struct Case {
    WORD code;
    std::size_t breaks;
  } cases[] = {{0x100C, 3}, {0x3003, 1}};
  for (const Case& c : cases) {
    const Tables::Row* row = Tables::CommonDialog().Find(c.code);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(Count(row->english, L"\r\n"), c.breaks) << c.code;
    EXPECT_EQ(Count(row->russian, L"\r\n"), c.breaks) << c.code;
    // Layout breaks: 1 before the code, 2 after it, 2 after each language.
    EXPECT_EQ(Count(Error::CommonDialogW(c.code), L"\r\n"), 7 + 2 * c.breaks) << c.code;
  }
}

TEST(ErrorTables, CodesWithoutARowGetTheSystemText) {
  for (long code : {11999L, 12000L, 12035L, 12051L, 12100L, 12176L}) {
    const std::wstring text = Error::InternetW(code);
    EXPECT_EQ(text, Error::SystemTextW(static_cast<DWORD>(code))) << code;
    EXPECT_TRUE(StartsWith(text, L"\nLast Error: " + std::to_wstring(code) + L".\n")) << code;
    EXPECT_EQ(Error::InternetA(code), Error::SystemTextA(static_cast<DWORD>(code))) << code;
  }
  EXPECT_EQ(Error::ShellW(0x77), Error::SystemTextW(0x77));
  EXPECT_TRUE(StartsWith(Error::ShellW(0x77), L"\nLast Error: 119.\n"));
  EXPECT_EQ(Error::ShellA(0x77), Error::SystemTextA(0x77));
  EXPECT_EQ(Error::CommonDialogW(0x000D), Error::SystemTextW(0x000D));
  EXPECT_TRUE(StartsWith(Error::CommonDialogW(0x000D), L"\nLast Error: 13.\n"));
  EXPECT_EQ(Error::CommonDialogA(0x000D), Error::SystemTextA(0x000D));
}

TEST(ErrorTables, NarrowTwinsAreTheWideRowsInCodePage1251) {
  for (const Kind& kind : kKinds) {
    for (const Tables::Row& row : kind.table) {
      bool lossy = false;
      const std::string expected = In1251(kind.wide(row.code), &lossy);
      EXPECT_FALSE(lossy) << kind.name << " " << row.code << " has a character 1251 lacks";
      EXPECT_EQ(kind.narrow(row.code), expected) << kind.name << " " << row.code;
    }
  }
  // Spot check of actual bytes: "Запрос просрочен." in code page 1251.
  EXPECT_NE(Error::InternetA(12002).find("\xC7\xE0\xEF\xF0\xEE\xF1 \xEF\xF0\xEE\xF1\xF0\xEE\xF7\xE5\xED."),
            std::string::npos);
}

// --- the server-response row of 12003 -----------------------------------------

// Stand-ins for InternetGetLastResponseInfoW/A: a server text, told with or
// without its terminator in the length, or a second call that fails.
enum class Server { Says, SaysLengthWithoutTerminator, FailsToTell, Silent };
Server gServer = Server::Silent;
int gCalls = 0;
constexpr char kServerText[] = "530 Login incorrect.";

template <class C>
BOOL Tell(LPDWORD error, C* buffer, LPDWORD length) {
  ++gCalls;
  *error = 530;
  const DWORD size = static_cast<DWORD>(sizeof kServerText - 1);
  if (gServer == Server::Silent) {
    *length = 0;
    return TRUE;
  }
  const DWORD needed = gServer == Server::SaysLengthWithoutTerminator ? size : size + 1;
  if (buffer == nullptr || gServer == Server::FailsToTell || *length < size + 1) {
    *length = needed;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  for (DWORD i = 0; i <= size; ++i) buffer[i] = static_cast<C>(kServerText[i]);
  *length = size;
  return TRUE;
}

BOOL WINAPI TellW(LPDWORD error, LPWSTR buffer, LPDWORD length) { return Tell(error, buffer, length); }
BOOL WINAPI TellA(LPDWORD error, LPSTR buffer, LPDWORD length) { return Tell(error, buffer, length); }

TEST(ServerResponseRow, CarriesTheServersTextWhateverLengthItReports) {
  for (Server server : {Server::Says, Server::SaysLengthWithoutTerminator}) {
    gServer = server;
    UnitTest::WarningBoxes boxes;
    EXPECT_EQ(Tables::ServerResponseRowW(TellW),
              L"\r\nLast Error: 12003.\r\n\r\n530 Login incorrect.\r\n\r\n");
    EXPECT_EQ(Tables::ServerResponseRowA(TellA),
              "\r\nLast Error: 12003.\r\n\r\n530 Login incorrect.\r\n\r\n");
    EXPECT_TRUE(boxes.Stop().empty());
  }
}

TEST(ServerResponseRow, NoResponseGivesAnEmptyTextWithoutASecondCall) {
  gServer = Server::Silent;
  gCalls = 0;
  UnitTest::WarningBoxes boxes;
  EXPECT_EQ(Tables::ServerResponseRowW(TellW), L"\r\nLast Error: 12003.\r\n\r\n\r\n\r\n");
  EXPECT_EQ(Tables::ServerResponseRowA(TellA), "\r\nLast Error: 12003.\r\n\r\n\r\n\r\n");
  EXPECT_EQ(gCalls, 2);
  EXPECT_TRUE(boxes.Stop().empty());
}

// A failed fetch warns, and the row holds no zeros: a NUL inside a report
// would cut off everything after it in the message box.
TEST(ServerResponseRow, FailedFetchWarnsAndLeavesNoZerosInTheRow) {
  gServer = Server::FailsToTell;
  UnitTest::WarningBoxes boxes;
  const std::wstring wide = Tables::ServerResponseRowW(TellW);
  const std::string narrow = Tables::ServerResponseRowA(TellA);
  const std::vector<UnitTest::ShownBox> shown = boxes.Stop();
  EXPECT_EQ(wide, L"\r\nLast Error: 12003.\r\n\r\n\r\n\r\n");
  EXPECT_EQ(narrow, "\r\nLast Error: 12003.\r\n\r\n\r\n\r\n");
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].caption, L"Utils::Error::InternetW");
  EXPECT_TRUE(StartsWith(shown[0].text,
                         L"class std::basic_string<wchar_t,struct std::char_traits<wchar_t>,"
                         L"class std::allocator<wchar_t> > __cdecl Utils::Error::InternetW("
                         L"const long)\r\nFile: \""))
      << shown[0].text;
  EXPECT_TRUE(EndsWith(shown[0].text,
                       L"\r\n\r\nОшибка получения расширенного описания интернет-ошибки."));
  EXPECT_EQ(shown[1].caption, L"Utils::Error::InternetA");
  EXPECT_NE(shown[1].text.find(L"__cdecl Utils::Error::InternetA(const long)\r\n"),
            std::wstring::npos);
}

// Outside any Internet session the thread has no response to tell.
TEST(ServerResponseRow, LookupOfCode12003AsksTheThreadsLastResponse) {
  UnitTest::WarningBoxes boxes;
  EXPECT_EQ(Error::InternetW(12003), L"\r\nLast Error: 12003.\r\n\r\n\r\n\r\n");
  EXPECT_EQ(Error::InternetA(12003), "\r\nLast Error: 12003.\r\n\r\n\r\n\r\n");
  EXPECT_TRUE(boxes.Stop().empty());
}

}  // namespace
