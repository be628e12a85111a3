// Every export fed what a careless or broken host might pass: empty, huge,
// malformed and oddly encoded strings (null pointers: Unattended.cpp). Each
// call must give its failure value or an answer the file system bears out,
// at most one box, nothing written outside the buffers it was given, and
// nothing changed outside its sandbox.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>

#include "Robust.h"

namespace {

using Host::ApiOf;
using Host::Record;
using Robust::Guarded;
using Robust::Observe;
using Robust::Outcome;


// A path of exactly `length` characters: prefix, then short components.
std::wstring Huge(const std::wstring& prefix, std::size_t length) {
  std::wstring path = prefix;
  while (path.size() < length) path += path.size() % 9 == 0 ? L'\\' : L'n';
  path.resize(length);
  return path;
}

template <class C> class Hostile : public Robust::Sandbox {
 protected:
  using String = std::basic_string<C>;

  const Host::Forms<C>& Api() const { return ApiOf<C>(); }
  String In(const std::wstring& relative) const { return Robust::As<C>(sandbox_ + L"\\" + relative); }

  // Strings no host should pass, each anchored in the sandbox or relative
  // to it: no rule may let them act elsewhere.
  std::vector<std::wstring> HostileTexts() const {
    const std::wstring s = sandbox_ + L"\\";
    std::vector<std::wstring> texts = {
        L"", L"*", L"?", L"..*", L".", L":", L"\\", L"\\\\", L"\\\\?\\", L"\\\\.\\", L"relative\\x",
        Huge(s, 32767), Huge(L"\\\\?\\" + s, 32767), s + std::wstring(300, L'n'),
        s + L"data\\*", s + L"data\\..*", s + L"data\\..\\data", s + L"dots...", s + L"blank ",
        s + L"CON", s + L"nul.txt", s + L"ctl\x01\x1f\x7f", s + L"tab\tcr\rlf\n",
        s + L"\xFFFF\xFFFE"};
    if (sizeof(C) == 2) {
      texts.push_back(s + L"lone\xD800");
      texts.push_back(s + L"\xDC00lone");
      texts.push_back(s + L"pair\xD83D\xDE00");
    }
    return texts;
  }
  // Narrow data also gets bytes that code page 1251 maps oddly or not at
  // all (0x98 has no character there).
  std::vector<String> Texts() const {
    std::vector<String> texts;
    for (const std::wstring& text : HostileTexts()) texts.push_back(Robust::As<C>(text));
    if (sizeof(C) == 1)
      for (const char* odd : {"\x98\x88\xAD\xA0", "\xFF\xC0\xE0", "\x81\x83\x8A\x9A"})
        texts.push_back(Robust::As<C>(sandbox_ + L"\\") + String(odd, odd + std::strlen(odd)));
    return texts;
  }

  // Runs a call that takes `text` from a guarded copy: the copy must come
  // back unchanged and intact.
  template <class Call> Outcome WithText(const String& text, Call&& call, const std::string& label) {
    Guarded<C> input = Guarded<C>::Holding(text);
    const std::vector<C> before = input.Contents();
    const Outcome outcome = Observe(hook_, [&] { return call(input.data()); });
    EXPECT_TRUE(input.GuardsIntact() && input.Contents() == before) << label << ": input touched";
    Robust::ExpectSound(outcome, label);
    return outcome;
  }

};

using Widths = ::testing::Types<char, wchar_t>;
TYPED_TEST_SUITE(Hostile, Widths);

TYPED_TEST(Hostile, MalformedStringsInEveryPositionActOnlyAsTheFileSystemBearsOut) {
  const auto& api = this->Api();
  using C = TypeParam;
  const auto target = this->In(L"target");
  const auto existing = this->In(L"data\\a.txt");
  int index = 0;
  for (const auto& text : this->Texts()) {
    const std::wstring wide = Robust::WideOf(text);
    const std::string at = "text #" + std::to_string(index++) + " ";
    const std::pair<const char*, int(__cdecl*)(const C*)> onePath[] = {
        {"check", api.check},   {"isEmpty", api.isEmpty},     {"create", api.create},
        {"remove", api.remove}, {"deleteEmpty", api.deleteEmpty},
        {"clearContents", api.clearContents}, {"clearFromFiles", api.clearFromFiles}};
    for (const auto& op : onePath) {
      const Outcome outcome = this->WithText(text, op.second, at + op.first);
      Robust::ExpectBorneOut(op.first, wide, outcome, this->sandbox_);
    }
    const std::pair<const char*, int(__cdecl*)(const C*, const C*)> twoPath[] = {
        {"copy", api.copy}, {"move", api.move}, {"link", api.link}};
    for (const auto& op : twoPath) {
      this->WithText(text, [&](const C* p) { return op.second(p, target.c_str()); }, at + op.first + " from");
      this->WithText(text, [&](const C* p) { return op.second(existing.c_str(), p); }, at + op.first + " to");
    }
    Guarded<Record<C>> records(4, Record<C>{0, nullptr});
    Guarded<C> names(4 * 260);
    for (std::size_t i = 0; i < 4; ++i) records.data()[i] = {260, names.data() + i * 260};
    this->WithText(text, [&](const C* p) { return api.getListM(p, 3, records.data(), 4); }, at + "getListM");
    this->WithText(text, [&](const C* p) { return api.getList(p, 3, names.data(), 4, 260 * sizeof(C)); },
                   at + "getList");
    EXPECT_TRUE(records.GuardsIntact() && names.GuardsIntact()) << at << "listing wrote outside";
    // Restore what a move may have carried off, so later texts meet the same tree.
    if (!Robust::Exists(Robust::WideOf(existing))) Robust::PlantTree(this->sandbox_ + L"\\data");
  }
}

TYPED_TEST(Hostile, TrimNameCutsInPlaceOrLeavesTheBufferAlone) {
  using C = TypeParam;
  for (const auto& text : this->Texts()) {
    Guarded<C> buffer = Guarded<C>::Holding(text);
    const std::vector<C> before = buffer.Contents();
    const Outcome outcome = Observe(this->hook_, [&] {
      C* returned = this->Api().trimName(buffer.data());
      EXPECT_TRUE(returned == nullptr || returned == buffer.data());
      return returned == nullptr ? 0 : 1;
    });
    const std::string label = "trim of " + Host::Ansi(Robust::WideOf(text).substr(0, 60));
    Robust::ExpectSound(outcome, label);
    EXPECT_TRUE(buffer.GuardsIntact()) << label;
    const std::vector<C> after = buffer.Contents();
    if (outcome.result == 0) {
      EXPECT_EQ(after, before) << label;
      continue;
    }
    // A cut writes one terminator after a backslash of the old text, or nothing.
    const std::size_t end = std::find(after.begin(), after.end(), C(0)) - after.begin();
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + end, before.begin())) << label;
    EXPECT_TRUE(end == text.size() || (end > 0 && after[end - 1] == C('\\'))) << label;
    for (std::size_t i = end + 1; i < after.size(); ++i) ASSERT_EQ(after[i], before[i]) << label;
  }
}

}  // namespace
