// Composing a failure's report from its data: the title from the raiser's
// kind, the header with its closing mark, the message and the description
// of its code; and the layouts of a conversion's and a range check's own.
#include <cstring>
#include <sstream>

#include "utils/errors/Utils.Error.h"
#include "utils/text/Utils.CodingStr.h"

namespace Utils::Error {
namespace {

struct Kind {
  bool hasParens;
  bool isFunction;
  bool isDetected;
  bool isWarning;
};

// Parentheses make a signature look like a call, and "()" marks a function
// whatever the tags say.
Kind Classify(const Site& site) {
  const std::string signature = site.signature;
  Kind kind{};
  kind.hasParens = signature.find('(') != std::string::npos && signature.find(')') != std::string::npos;
  kind.isFunction = signature.find("()") != std::string::npos || (site.tags & kFunction) != 0;
  kind.isDetected = (site.tags & kDetected) != 0;
  kind.isWarning = (site.tags & kWarning) != 0;
  return kind;
}

std::wstring Title(const Kind& k) {
  if (k.isFunction) {
    if (k.isDetected) return L"Обнаружена ошибка функцией \"";
    if (k.isWarning) return L"Предупреждение функции \"";
    return L"Ошибка в функции \"";
  }
  if (k.isDetected) return L"Обнаружена ошибка методом \"";
  if (k.isWarning) return L"Предупреждение метода \"";
  return L"Ошибка в методе \"";
}

std::string Location(const Site& site) {
  std::ostringstream location;
  location << "\r\nFile: \"" << site.file << "\"\r\nLine: " << site.line << "\r\n";
  return location.str();
}

// Title, signature with its closing mark, location, then the description
// and the message, each tail line ended by a line feed.
std::wstring Compose(const Site& site, const std::wstring& message, const std::wstring& description) {
  const Kind kind = Classify(site);
  std::wstring report = Title(kind) +
                        CodingStr::AnsiToUnicode(site.signature, CodingStr::kAnsiCodePage) +
                        (kind.hasParens ? L"\"!" : L"()\"!") +
                        CodingStr::AnsiToUnicode(Location(site), CodingStr::kAnsiCodePage);
  report += description;
  if (!message.empty()) {
    if (description.empty()) report += L'\n';
    report += message;
    report += L'\n';
  }
  return report;
}

// Plain ASCII widened byte by byte: a refused conversion's report must not
// run through the conversion again.
std::wstring WidenAscii(const char* text) {
  std::wstring wide;
  for (; *text; ++text) wide.push_back(static_cast<unsigned char>(*text));
  return wide;
}

std::wstring ConversionReport(const Site& site, const std::wstring& message, DWORD code) {
  const char* name = std::strstr(site.signature, "__cdecl ");
  name = name == nullptr ? site.signature : name + std::strlen("__cdecl ");
  // The system's text of the code, without the line feed it opens with.
  return L"Ошибка в методе:\r\n\"" + WidenAscii(name) + L"\".\r\nFile: \"" + WidenAscii(site.file) +
         L"\".\r\n\r\n" + message + L"\r\n\r\n" + SystemTextW(code).substr(1);
}

}  // namespace

std::wstring HeaderW(const Site& site) {
  return CodingStr::AnsiToUnicode(site.signature + Location(site), CodingStr::kAnsiCodePage);
}

std::wstring Failure::Text() const {
  switch (layout_) {
    case Layout::kComposed:
      return message_;
    case Layout::kConversion:
      return ConversionReport(site_, message_, code_);
    case Layout::kRange:
    case Layout::kRangeAfterLine:
      return (layout_ == Layout::kRangeAfterLine ? L"\n" : L"") + Compose(site_, L"\r\n", L"") + L"В методе" +
             HeaderW(caller_) + message_;
    case Layout::kReport:
      break;
  }
  // A last error that says success is no reason: a failure's report never
  // says "completed successfully".
  return Compose(site_, message_, described_ && code_ != 0 ? CodeW(code_) : std::wstring());
}

}  // namespace Utils::Error
