// Composing a report: its title from the raiser's kind, the header with its
// closing mark, the message and the description of an error code.
#include <sstream>

#include "utils/errors/Utils.ErrorTables.h"
#include "utils/errors/Utils.Error.h"
#include "utils/text/Utils.CodingStr.h"

namespace Utils::Error {
namespace {

// The narrow reports carry their Russian titles as code page 1251 bytes.
template <class C> struct Literal;
template <> struct Literal<wchar_t> {
  static std::wstring Of(const wchar_t* text) { return text; }
};
template <> struct Literal<char> {
  static std::string Of(const wchar_t* text) { return Tables::To1251(text); }
};

template <class C> bool Contains(const std::basic_string<C>& text, const char* ascii) {
  return text.find(std::basic_string<C>(ascii, ascii + std::char_traits<char>::length(ascii))) !=
         std::basic_string<C>::npos;
}

struct Kind {
  bool hasParens;
  bool isFunction;
  bool isDetected;
  bool isWarning;
  bool isOperator;
};

// What a signature says by itself: parentheses make it look like a call,
// "()" marks a function and "(o)" an operator.
template <class C> Kind OfSignature(const std::basic_string<C>& s) {
  Kind kind{};
  kind.hasParens = Contains(s, "(") && Contains(s, ")");
  kind.isFunction = Contains(s, "()");
  kind.isOperator = Contains(s, "(o)") || Contains(s, "(O)");
  return kind;
}

// A header given as text: the tags are read from it.
template <class C> Kind Classify(const std::basic_string<C>& h) {
  Kind kind = OfSignature(h);
  kind.isFunction = kind.isFunction || Contains(h, "[f]") || Contains(h, "[F]");
  kind.isDetected = Contains(h, "[d]") || Contains(h, "[D]");
  kind.isWarning = Contains(h, "[w]") || Contains(h, "[W]");
  kind.isOperator = kind.isOperator || Contains(h, "[o]") || Contains(h, "[O]");
  return kind;
}

// A site: the tags are data.
Kind Classify(const Site& site) {
  Kind kind = OfSignature(std::string(site.signature));
  kind.isFunction = kind.isFunction || (site.tags & kFunction) != 0;
  kind.isDetected = (site.tags & kDetected) != 0;
  kind.isWarning = (site.tags & kWarning) != 0;
  kind.isOperator = kind.isOperator || (site.tags & kOperator) != 0;
  return kind;
}

// Removes the bracket group of tags; brackets written "[]" in a signature
// (array parameters) and everything before them stay.
template <class C> void RemoveTags(std::basic_string<C>& h) {
  using S = std::basic_string<C>;
  const C emptyPair[] = {C('['), C(']'), C(0)};
  const std::size_t pair = h.rfind(emptyPair);
  const std::size_t from = pair == S::npos ? 0 : pair + 2;
  const std::size_t open = h.find(C('['), from);
  if (open == S::npos) return;
  const std::size_t close = h.rfind(C(']'));
  if (close == S::npos || close < open) return;
  h.erase(open, close - open + 1);
}

template <class C> void InsertClosingMark(std::basic_string<C>& h, bool hasParens) {
  using S = std::basic_string<C>;
  const S mark = Literal<C>::Of(hasParens ? L"\"!" : L"()\"!");
  const std::size_t file = h.rfind(Literal<C>::Of(L"File: \""));
  if (file == S::npos) {
    h += mark;
    return;
  }
  h.insert(file >= 2 ? file - 2 : 0, mark);
}

template <class C> std::basic_string<C> Title(const Kind& k) {
  if (k.isFunction) {
    if (k.isDetected) return Literal<C>::Of(L"Обнаружена ошибка функцией \"");
    if (k.isWarning) return Literal<C>::Of(L"Предупреждение функции \"");
    return Literal<C>::Of(L"Ошибка в функции \"");
  }
  const wchar_t* kind = k.isOperator ? L"оператор" : L"метод";
  std::wstring title;
  if (k.isDetected)
    title = std::wstring(L"Обнаружена ошибка ") + kind + L"ом \"";
  else if (k.isWarning)
    title = std::wstring(L"Предупреждение ") + kind + L"а \"";
  else
    title = std::wstring(L"Ошибка в ") + kind + L"е \"";
  return Literal<C>::Of(title.c_str());
}

// Title, header (tags already gone) with its closing mark, then the
// description and the message, each tail line ended by a line feed.
template <class C>
std::basic_string<C> Compose(const Kind& kind, std::basic_string<C> h, const std::basic_string<C>& message,
                             const std::basic_string<C>& description) {
  InsertClosingMark(h, kind.hasParens);
  std::basic_string<C> report = Title<C>(kind) + h;
  report += description;
  if (!message.empty()) {
    if (description.empty()) report += C('\n');
    report += message;
    report += C('\n');
  }
  return report;
}

std::string Location(const Site& site) {
  std::ostringstream location;
  location << "\r\nFile: \"" << site.file << "\"\r\nLine: " << site.line << "\r\n";
  return location.str();
}

std::string TagsOf(unsigned tags) {
  std::string text;
  if (tags & kFunction) text += "[f]";
  if (tags & kDetected) text += "[d]";
  if (tags & kWarning) text += "[w]";
  if (tags & kOperator) text += "[o]";
  return text;
}

}  // namespace

std::string HeaderA(const Site& site) { return site.signature + TagsOf(site.tags) + Location(site); }

std::wstring HeaderW(const Site& site) {
  return CodingStr::AnsiToUnicode(HeaderA(site), CodingStr::kAnsiCodePage);
}

std::wstring ReportW(std::wstring header, const std::wstring& message, const bool withLastError) {
  const std::wstring description = DescriptionW<bool>(withLastError);
  const Kind kind = Classify(header);
  RemoveTags(header);
  return Compose(kind, std::move(header), message, description);
}

std::string ReportA(std::string header, const std::string& message) {
  const Kind kind = Classify(header);
  RemoveTags(header);
  return Compose(kind, std::move(header), message, std::string());
}

// A failure whose last error says success describes none: its report would
// say "completed successfully" of what failed.
Failure::Failure(const Site& site, std::wstring message, bool describeLastError)
    : site_(site), message_(std::move(message)), code_(describeLastError ? GetLastError() : 0) {
  described_ = code_ != 0;
}

Failure Failure::Composed(const Site& site, std::wstring text) {
  Failure failure;
  failure.site_ = site;
  failure.message_ = std::move(text);
  failure.composed_ = true;
  return failure;
}

std::wstring Failure::Text() const {
  if (composed_) return message_;
  const std::wstring header =
      CodingStr::AnsiToUnicode(site_.signature + Location(site_), CodingStr::kAnsiCodePage);
  return Compose(Classify(site_), header, message_, described_ ? CodeW(code_) : std::wstring());
}

}  // namespace Utils::Error
