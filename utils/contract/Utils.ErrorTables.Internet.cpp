// Kept for the contract, reached by no export: the rows of WinINet error
// codes, which only the FTP search (never set up by any operation) could
// meet. Their system texts live in wininet.dll's message table, which
// FormatMessage without a module cannot reach, hence a table of our own.
#include "utils/contract/Utils.Error.Typed.h"

namespace Utils::Error::Tables {
namespace {

constexpr Row kInternetRows[] = {
    {0, kSuccessEnglish, kSuccessRussian},
    {12001, L"No more handles could be generated at this time.",
     L"Невозможно сгенерировать дополнительные дескрипторы."},
    {12002, L"The request has timed out.", L"Запрос просрочен."},
    // Answered with the server's own response text instead (ServerResponseRow).
    {kServerResponseCode,
     L"An extended error was returned from the server. This is typically a "
     L"string or buffer containing a verbose error message. Call "
     L"InternetGetLastResponseInfo to retrieve the error text.",
     L"Сервер вернул расширенную ошибку. Обычно это строка или буфер с "
     L"подробным сообщением об ошибке. Текст ошибки можно получить вызовом "
     L"InternetGetLastResponseInfo."},
    {12004, L"An internal error has occurred.", L"Произошла внутренняя ошибка."},
    {12005, L"The URL is invalid.", L"Недопустимый URL-адрес."},
    {12006, L"The URL scheme could not be recognized, or is not supported.",
     L"Схема URL-адреса не распознана или не поддерживается."},
    {12007, L"The server name could not be resolved.",
     L"Не удалось разрешить имя сервера."},
    {12008, L"The requested protocol could not be located.",
     L"Не удалось найти запрошенный протокол."},
    {12009,
     L"A request to InternetQueryOption or InternetSetOption specified an "
     L"invalid option value.",
     L"В запросе к InternetQueryOption или InternetSetOption указано "
     L"недопустимое значение параметра."},
    {12010,
     L"The length of an option supplied to InternetQueryOption or "
     L"InternetSetOption is incorrect for the type of option specified.",
     L"Длина параметра, переданного в InternetQueryOption или "
     L"InternetSetOption, не соответствует типу указанного параметра."},
    {12011, L"The request option cannot be set, only queried.",
     L"Параметр запроса нельзя установить, его можно только запросить."},
    {12012, L"The Win32 Internet function support is being shut down or unloaded.",
     L"Поддержка функций Win32 Internet завершает работу или выгружается."},
    {12013,
     L"The request to connect and log on to an FTP server could not be "
     L"completed because the supplied user name is incorrect.",
     L"Запрос на подключение и вход на FTP-сервер не может быть выполнен, так "
     L"как указано неверное имя пользователя."},
    {12014,
     L"The request to connect and log on to an FTP server could not be "
     L"completed because the supplied password is incorrect.",
     L"Запрос на подключение и вход на FTP-сервер не может быть выполнен, так "
     L"как указан неверный пароль."},
    {12015, L"The request to connect to and log on to an FTP server failed.",
     L"Не удалось подключиться и войти на FTP-сервер."},
    {12016, L"The requested operation is invalid.",
     L"Запрошенная операция недопустима."},
    {12017,
     L"The operation was canceled, usually because the handle on which the "
     L"request was operating was closed before the operation completed.",
     L"Операция отменена, как правило, потому что дескриптор, с которым "
     L"работал запрос, был закрыт до завершения операции."},
    {12018, L"The type of handle supplied is incorrect for this operation.",
     L"Тип переданного дескриптора не подходит для этой операции."},
    {12019,
     L"The requested operation cannot be carried out because the handle "
     L"supplied is not in the correct state.",
     L"Запрошенная операция не может быть выполнена, так как переданный "
     L"дескриптор находится в неподходящем состоянии."},
    {12020, L"The request cannot be made via a proxy.",
     L"Запрос не может быть выполнен через прокси-сервер."},
    {12021, L"A required registry value could not be located.",
     L"Не удалось найти требуемое значение реестра."},
    {12022,
     L"A required registry value was located but is an incorrect type or has "
     L"an invalid value.",
     L"Требуемое значение реестра найдено, но имеет неверный тип или "
     L"недопустимое значение."},
    {12023, L"Direct network access cannot be made at this time.",
     L"Прямой доступ к сети в данный момент невозможен."},
    {12024,
     L"An asynchronous request could not be made because a zero context value "
     L"was supplied.",
     L"Асинхронный запрос невозможен, так как передано нулевое значение "
     L"контекста."},
    {12025,
     L"An asynchronous request could not be made because a callback function "
     L"has not been set.",
     L"Асинхронный запрос невозможен, так как не задана функция обратного "
     L"вызова."},
    {12026,
     L"The required operation could not be completed because one or more "
     L"requests are pending.",
     L"Требуемая операция не может быть завершена, так как один или несколько "
     L"запросов ожидают выполнения."},
    {12027, L"The format of the request is invalid.",
     L"Недопустимый формат запроса."},
    {12028, L"The requested item could not be located.",
     L"Не удалось найти запрошенный элемент."},
    {12029, L"The attempt to connect to the server failed.",
     L"Не удалось подключиться к серверу."},
    {12030, L"The connection with the server has been terminated.",
     L"Соединение с сервером прервано."},
    {12031, L"The connection with the server has been reset.",
     L"Соединение с сервером сброшено."},
    {12032, L"The Win32 Internet function needs to redo the request.",
     L"Функции Win32 Internet требуется повторить запрос."},
    {12033, L"The request to the proxy was invalid.",
     L"Недопустимый запрос к прокси-серверу."},
    {12034, L"A user interface or other blocking operation has been requested.",
     L"Запрошен пользовательский интерфейс или другая блокирующая операция."},
    {12036, L"The request failed because the handle already exists.",
     L"Запрос не выполнен, так как дескриптор уже существует."},
    {12037,
     L"SSL certificate date that was received from the server is bad. The "
     L"certificate is expired.",
     L"Дата SSL-сертификата, полученного от сервера, неверна. Срок действия "
     L"сертификата истек."},
    {12038,
     L"SSL certificate common name (host name field) is incorrect\u2014for "
     L"example, if you entered www.server.com and the common name on the "
     L"certificate says www.different.com.",
     L"Общее имя SSL-сертификата (поле имени узла) неверно, например, если "
     L"введен адрес www.server.com, а в сертификате указано общее имя "
     L"www.different.com."},
    {12039,
     L"The application is moving from a non-SSL to an SSL connection because "
     L"of a redirect.",
     L"Приложение переходит от соединения без SSL к соединению SSL из-за "
     L"перенаправления."},
    {12040,
     L"The application is moving from an SSL to an non-SSL connection because "
     L"of a redirect.",
     L"Приложение переходит от соединения SSL к соединению без SSL из-за "
     L"перенаправления."},
    {12041,
     L"The content is not entirely secure. Some of the content being viewed "
     L"may have come from unsecured servers.",
     L"Содержимое защищено не полностью. Часть просматриваемого содержимого "
     L"может быть получена с незащищенных серверов."},
    {12042,
     L"The application is posting and attempting to change multiple lines of "
     L"text on a server that is not secure.",
     L"Приложение отправляет данные и пытается изменить несколько строк текста "
     L"на незащищенном сервере."},
    {12043, L"The application is posting data to a server that is not secure.",
     L"Приложение отправляет данные на незащищенный сервер."},
    {12044, L"The server is requesting client authentication.",
     L"Сервер запрашивает проверку подлинности клиента."},
    {12045,
     L"The function is unfamiliar with the Certificate Authority that "
     L"generated the server's certificate.",
     L"Функции неизвестен центр сертификации, выдавший сертификат сервера."},
    {12046, L"Client authorization is not set up on this computer.",
     L"Авторизация клиента на этом компьютере не настроена."},
    {12047, L"The application could not start an asynchronous thread.",
     L"Приложению не удалось запустить асинхронный поток."},
    {12048,
     L"The function could not handle the redirection, because the scheme "
     L"changed (for example, HTTP to FTP).",
     L"Функция не смогла обработать перенаправление, так как изменилась схема "
     L"(например, с HTTP на FTP)."},
    {12049, L"Another thread has a password dialog box in progress.",
     L"В другом потоке уже открыто диалоговое окно ввода пароля."},
    {12050, L"The dialog box should be retried.",
     L"Диалоговое окно следует показать повторно."},
    {12052,
     L"The data being submitted to an SSL connection is being redirected to a "
     L"non-SSL connection.",
     L"Данные, отправляемые через соединение SSL, перенаправляются на "
     L"соединение без SSL."},
    {12053,
     L"The request requires a CD-ROM to be inserted in the CD-ROM drive to "
     L"locate the resource requested.",
     L"Для поиска запрошенного ресурса требуется вставить компакт-диск в "
     L"дисковод CD-ROM."},
    {12054, L"The requested resource requires Fortezza authentication.",
     L"Запрошенный ресурс требует проверки подлинности Fortezza."},
    {12055, L"The SSL certificate contains errors.",
     L"SSL-сертификат содержит ошибки."},
    {12056, L"The SSL certificate was not revoked.",
     L"SSL-сертификат не был отозван."},
    {12057, L"Revocation of the SSL certificate failed.",
     L"Отзыв SSL-сертификата не удался."},
    {12110,
     L"The requested operation cannot be made on the FTP session handle "
     L"because an operation is already in progress.",
     L"Запрошенная операция не может быть выполнена с дескриптором FTP-сеанса, "
     L"так как уже выполняется другая операция."},
    {12111,
     L"The FTP operation was not completed because the session was aborted.",
     L"Операция FTP не завершена, так как сеанс был прерван."},
    {12112, L"Passive mode is not available on the server.",
     L"Пассивный режим на сервере недоступен."},
    {12130,
     L"An error was detected while parsing data returned from the Gopher "
     L"server.",
     L"Обнаружена ошибка при разборе данных, полученных от сервера Gopher."},
    {12131, L"The request must be made for a file locator.",
     L"Запрос должен выполняться для локатора файла."},
    {12132, L"An error was detected while receiving data from the Gopher server.",
     L"Обнаружена ошибка при получении данных от сервера Gopher."},
    {12133, L"The end of the data has been reached.",
     L"Достигнут конец данных."},
    {12134, L"The supplied locator is not valid.",
     L"Переданный локатор недопустим."},
    {12135, L"The type of the locator is not correct for this operation.",
     L"Тип локатора не подходит для этой операции."},
    {12136,
     L"The requested operation can be made only against a Gopher+ server, or "
     L"with a locator that specifies a Gopher+ operation.",
     L"Запрошенная операция может быть выполнена только на сервере Gopher+ "
     L"или с локатором, задающим операцию Gopher+."},
    {12137, L"The requested attribute could not be located.",
     L"Не удалось найти запрошенный атрибут."},
    {12138, L"The locator type is unknown.", L"Неизвестный тип локатора."},
    {12150, L"The requested header could not be located.",
     L"Не удалось найти запрошенный заголовок."},
    {12151, L"The server did not return any headers.",
     L"Сервер не вернул ни одного заголовка."},
    {12152, L"The server response could not be parsed.",
     L"Не удалось разобрать ответ сервера."},
    {12153, L"The supplied header is invalid.",
     L"Переданный заголовок недопустим."},
    {12154, L"The request made to HttpQueryInfo is invalid.",
     L"Недопустимый запрос к HttpQueryInfo."},
    {12155, L"The header could not be added because it already exists.",
     L"Заголовок не может быть добавлен, так как он уже существует."},
    {12156,
     L"The redirection failed because either the scheme changed (for example, "
     L"HTTP to FTP) or all attempts made to redirect failed (default is five "
     L"attempts).",
     L"Перенаправление не удалось: либо изменилась схема (например, с HTTP на "
     L"FTP), либо все попытки перенаправления завершились неудачей (по "
     L"умолчанию пять попыток)."},
    {12157,
     L"The application experienced an internal error loading the SSL "
     L"libraries.",
     L"При загрузке библиотек SSL в приложении произошла внутренняя ошибка."},
    {12158, L"The function was unable to cache the file.",
     L"Функции не удалось поместить файл в кэш."},
    {12159,
     L"The required protocol stack is not loaded and the application cannot "
     L"start WinSock.",
     L"Требуемый стек протоколов не загружен, и приложение не может запустить "
     L"WinSock."},
    {12160, L"The HTTP request was not redirected.",
     L"HTTP-запрос не был перенаправлен."},
    {12161, L"The HTTP cookie requires confirmation.",
     L"HTTP-файл cookie требует подтверждения."},
    {12162, L"The HTTP cookie was declined by the server.",
     L"HTTP-файл cookie отклонен сервером."},
    {12163, L"The Internet connection has been lost.",
     L"Подключение к Интернету потеряно."},
    {12164, L"The Web site or server indicated is unreachable.",
     L"Указанный веб-сайт или сервер недоступен."},
    {12165, L"The designated proxy server cannot be reached.",
     L"Указанный прокси-сервер недоступен."},
    {12166,
     L"There was an error in the automatic proxy configuration script.",
     L"Ошибка в сценарии автоматической настройки прокси-сервера."},
    {12167,
     L"The automatic proxy configuration script could not be downloaded. The "
     L"INTERNET_FLAG_MUST_CACHE_REQUEST flag was set.",
     L"Не удалось загрузить сценарий автоматической настройки прокси-сервера. "
     L"Был установлен флаг INTERNET_FLAG_MUST_CACHE_REQUEST."},
    {12168, L"The redirection requires user confirmation.",
     L"Перенаправление требует подтверждения пользователя."},
    {12169, L"SSL certificate is invalid.", L"SSL-сертификат недействителен."},
    {12170, L"SSL certificate was revoked.", L"SSL-сертификат был отозван."},
    {12171, L"The function failed due to a security check.",
     L"Функция не выполнена из-за проверки безопасности."},
    {12172,
     L"Initialization of the WinINet API has not occurred. Indicates that a "
     L"higher-level function, such as InternetOpen, has not been called yet.",
     L"Инициализация API WinINet не выполнена. Это означает, что функция "
     L"более высокого уровня, например InternetOpen, еще не была вызвана."},
    {12173, L"Not currently implemented.", L"В настоящее время не реализовано."},
    {12174,
     L"The MS-Logoff digest header has been returned from the Web site. This "
     L"header specifically instructs the digest package to purge credentials "
     L"for the associated realm. This error will only be returned if "
     L"INTERNET_ERROR_MASK_LOGIN_FAILURE_DISPLAY_ENTITY_BODY option has been "
     L"set; otherwise, ERROR_INTERNET_LOGIN_FAILURE is returned.",
     L"Веб-сайт вернул дайджест-заголовок MS-Logoff. Этот заголовок "
     L"предписывает пакету дайджест-проверки удалить учетные данные для "
     L"соответствующей области. Эта ошибка возвращается, только если "
     L"установлен параметр INTERNET_ERROR_MASK_LOGIN_FAILURE_DISPLAY_ENTITY_BODY; "
     L"в противном случае возвращается ERROR_INTERNET_LOGIN_FAILURE."},
    {12175,
     L"WinINet failed to perform content decoding on the response. For more "
     L"information, see the Content Encoding topic.",
     L"WinINet не удалось декодировать содержимое ответа. Дополнительные "
     L"сведения см. в разделе \"Content Encoding\"."},
};

constexpr Table kInternet{kInternetRows,
                          sizeof kInternetRows / sizeof kInternetRows[0]};

}  // namespace

const Table& Internet() { return kInternet; }

std::wstring InternetRow(const Row& row) {
  return RowText(std::to_wstring(row.code), row);
}

}  // namespace Utils::Error::Tables
