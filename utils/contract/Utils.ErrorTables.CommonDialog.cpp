// Kept for the contract, reached by no export: the rows of common-dialog
// error codes (CommDlgExtendedError), which no operation of the library
// can meet.
#include "utils/contract/Utils.Error.Typed.h"

namespace Utils::Error::Tables {
namespace {

// Codes of CommDlgExtendedError.
constexpr Row kCommonDialogRows[] = {
    {0, kSuccessEnglish, kSuccessRussian},
    {0x0001,
     L"The lStructSize member of the initialization structure for the "
     L"corresponding common dialog box is invalid.",
     L"Член \"lStructSize\" из структуры инициализации для соответствующего "
     L"стандартного диалогового окна недопустим."},
    {0x0002,
     L"The common dialog box function failed during initialization. This "
     L"error often occurs when sufficient memory is not available.",
     L"Функция стандартного диалогового окна потерпела неудачу в ходе "
     L"инициализации. Эта ошибка часто происходит, если памяти не "
     L"достаточно."},
    {0x0003,
     L"The ENABLETEMPLATE flag was set in the Flags member of the "
     L"initialization structure for the corresponding common dialog box, but "
     L"you failed to provide a corresponding template.",
     L"Флаг ENABLETEMPLATE был установлен в Flags члена структуры "
     L"инициализации для соответствующего стандартного диалогового окна, но "
     L"вы не сумели предоставить соответствующий шаблон."},
    {0x0004,
     L"The ENABLETEMPLATE flag was set in the Flags member of the "
     L"initialization structure for the corresponding common dialog box, but "
     L"you failed to provide a corresponding instance handle.",
     L"Флаг ENABLETEMPLATE был установлен в Flags члена структуры "
     L"инициализации для соответствующего стандартного диалогового окна, но "
     L"вы не сумели предоставить соответствующий дескриптор экземпляра."},
    {0x0005,
     L"The common dialog box function failed to load a specified string.",
     L"Функция стандартного диалогового окна не удалось загрузить указанную "
     L"строку."},
    {0x0006,
     L"The common dialog box function failed to find a specified resource.",
     L"Функция стандартного диалогового окна не удалось найти указанный "
     L"ресурс."},
    {0x0007,
     L"The common dialog box function failed to load a specified resource.",
     L"Функция стандартного диалогового окна не удалось загрузить указанный "
     L"ресурс."},
    {0x0008,
     L"The common dialog box function failed to lock a specified resource.",
     L"Функция стандартного диалогового окна не в состоянии заблокировать "
     L"указанный ресурс."},
    {0x0009,
     L"The common dialog box function was unable to allocate memory for "
     L"internal structures.",
     L"Функция стандартного диалогового окна не смогла выделить память для "
     L"внутренних структур."},
    {0x000A,
     L"The common dialog box function was unable to lock the memory "
     L"associated with a handle.",
     L"Функция стандартного диалогового окна не смогла закрепить память, "
     L"связанную с дескриптором."},
    {0x000B,
     L"The ENABLEHOOK flag was set in the Flags member of the initialization "
     L"structure for the corresponding common dialog box, but you failed to "
     L"provide a pointer to a corresponding hook procedure.",
     L"Флаг ENABLEHOOK был установлен в Flags члена структуры инициализации "
     L"для соответствующего стандартного диалогового окна, но вы не сумели "
     L"предоставить указатель на соответствующей HOOK-процедуры."},
    {0x000C,
     L"The RegisterWindowMessage function returned an error code when it was "
     L"called by the common dialog box function.",
     L"Функция \"RegisterWindowMessage()\" вернула код ошибки, когда она "
     L"вызывалась функцией стандартного диалогового окна."},
    {0x1001, L"The PrintDlg function failed to load the required resources.",
     L"Функции \"PrintDlg\" не удалось загрузить необходимые ресурсы."},
    {0x1002,
     L"The PrintDlg function failed to parse the strings in the [devices] "
     L"section of the WIN.INI file.",
     L"Функции \"PrintDlg\" не удалось разобрать строки в раздел файла WIN.INI "
     L"[устройства]."},
    {0x1003,
     L"The PD_RETURNDEFAULT flag was specified in the Flags member of the "
     L"PRINTDLG structure, but the hDevMode or hDevNames member was not NULL.",
     L"Флаг PD_RETURNDEFAULT был определен во флагах члена PRINTDLG "
     L"структуры, но член hDevMode или hDevNames не NULL."},
    {0x1004,
     L"The PrintDlg function failed to load the device driver for the "
     L"specified printer.",
     L"Функции \"PrintDlg\" не удалось загрузить драйвер устройства для "
     L"указанного принтера."},
    {0x1005, L"The printer driver failed to initialize a DEVMODE structure.",
     L"Драйвер принтера не удалось инициализировать структуру DEVMODE."},
    {0x1006,
     L"The PrintDlg function failed during initialization, and there is no "
     L"more specific extended error code to describe the failure. This is the "
     L"generic default error code for the function.",
     L"Вызов функции \"PrintDlg\" не удался во время инициализации, и нет "
     L"более конкретной расширенного кода ошибки, описывающий ошибку. Это "
     L"базовый код ошибки по умолчанию для функции."},
    {0x1007, L"No printer drivers were found.",
     L"Не было обнаружено никаких драйверов принтера."},
    {0x1008, L"A default printer does not exist.",
     L"Принтер по умолчанию не существует."},
    {0x1009,
     L"The data in the DEVMODE and DEVNAMES structures describes two "
     L"different printers.",
     L"Данные в структурах DEVMODE и DEVNAMES описывают два различных "
     L"принтеров."},
    {0x100A,
     L"The PrintDlg function failed when it attempted to create an "
     L"information context.",
     L"Функция \"PrintDlg\" потерпела неудачу, когда попыталась создать "
     L"информационный контекст."},
    {0x100B,
     L"The [devices] section of the WIN.INI file did not contain an entry for "
     L"the requested printer.",
     L"Раздел файле WIN.INI [устройства] не содержит записи для запрашиваемого "
     L"принтера."},
    {0x100C,
     L"You called the PrintDlg function with the DN_DEFAULTPRN flag specified "
     L"in the wDefault member of the DEVNAMES structure, but the printer "
     L"described by the other structure members did not match the current "
     L"default printer.\r\n"
     L"This error occurs when you store the DEVNAMES structure, and the user "
     L"changes the default printer by using the Control Panel.\r\n"
     L"To use the printer described by the DEVNAMES structure, clear the "
     L"DN_DEFAULTPRN flag and call PrintDlg again.\r\n"
     L"To use the default printer, replace the DEVNAMES structure (and the "
     L"DEVMODE structure, if one exists) with NULL; and call PrintDlg again.",
     L"Вызвана функция \"PrintDlg()\" с флагом DN_DEFAULTPRN, определенным в "
     L"элементе wDefault в структуре DEVNAMES, но принтер описывается другими "
     L"членами структуры, не соответствует текущей принтер по умолчанию.\r\n"
     L"Эта ошибка возникает при сохранении структуры DEVNAMES, и пользователь "
     L"изменяет принтер по умолчанию, с помощью панели управления.\r\n"
     L"Для использования принтера, описанный в DEVNAMES структуры, сбросьте "
     L"бит флажка DN_DEFAULTPRN и вызвать функцию \"PrintDlg()\" снова.\r\n"
     L"Чтобы использовать принтер по умолчанию, замените структуру DEVNAMES "
     L"(и структуру, если таковой существует) с NULL, и вызвать функцию "
     L"\"PrintDlg()\" снова."},
    {0x2001, L"No fonts exist.", L"Не существует шрифты."},
    {0x2002,
     L"The size specified in the nSizeMax member of the CHOOSEFONT structure "
     L"is less than the size specified in the nSizeMin member.",
     L"Размер, указанный в элементе nSizeMax в структуре CHOOSEFONT меньше "
     L"размера, указанного в элементе nSizeMin."},
    {0x3001,
     L"An attempt to subclass a list box failed because sufficient memory was "
     L"not available.",
     L"Попытка окна создать подкласс списка потерпела неудачу, из-за нехватки "
     L"памяти был не доступен."},
    {0x3002, L"A file name is invalid.", L"Недопустимое имя файла."},
    {0x3003,
     L"The buffer pointed to by the lpstrFile member of the OPENFILENAME "
     L"structure is too small for the file name specified by the user.\r\n"
     L"The first two bytes of the lpstrFile buffer contain an integer value "
     L"specifying the size required to receive the full name, in characters.",
     L"Буфер, на который указывает член lpstrFile из структуры OPENFILENAME "
     L"слишком мал для имени файла, указанного пользователем.\r\n"
     L"Первые два байта буфера lpstrFile содержать целое значение, "
     L"определяющее размер, требуемый для получения полного имени, в "
     L"символах."},
    {0x4001,
     L"A member of the FINDREPLACE structure points to an invalid buffer.",
     L"Член структуры FINDREPLACE указывает на недопустимый буфер."},
    {0xFFFF,
     L"The dialog box could not be created. The common dialog box function's "
     L"call to the DialogBox function failed. For example, this error occurs "
     L"if the common dialog box call specifies an invalid window handle.",
     L"Диалоговое окно не может быть создано. Вызов стандартного диалогового "
     L"окна функции DialogBox не удалось. Эта ошибка возникает, если "
     L"стандартное диалоговое окно вызывает задает неверный дескриптор "
     L"окна."},
};

constexpr Table kCommonDialog{kCommonDialogRows, sizeof kCommonDialogRows / sizeof kCommonDialogRows[0]};

}  // namespace

const Table& CommonDialog() { return kCommonDialog; }

std::wstring CommonDialogRow(const Row& row) { return RowText(Hex(static_cast<unsigned long>(row.code), 4), row); }

}  // namespace Utils::Error::Tables
