// PathGetList*/PathCheck* as the terminal calls them: what lands in the host's
// buffers and records, which calls fail with which box, and that a failing
// call never writes outside what the host handed over.
#include "Host.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <set>

namespace {

using Host::BoxWatcher;
using Host::Export;

// The terminal's string records: capacity at 0, pointer at 4, 12 bytes each.
#pragma pack(push, 4)
template <class C> struct Record { int32_t capacity; C* text; };
#pragma pack(pop)
using RecordA = Record<char>;
using RecordW = Record<wchar_t>;
static_assert(sizeof(RecordA) == 12 && sizeof(RecordW) == 12, "terminal layout");

using GetListA = uint64_t(__cdecl*)(const char*, int, char*, uint64_t, uint64_t);
using GetListW = uint64_t(__cdecl*)(const wchar_t*, int, wchar_t*, uint64_t, uint64_t);
using GetListMA = uint64_t(__cdecl*)(const char*, int, RecordA*, uint64_t);
using GetListMW = uint64_t(__cdecl*)(const wchar_t*, int, RecordW*, uint64_t);
using CheckA = int(__cdecl*)(const char*);
using CheckW = int(__cdecl*)(const wchar_t*);

const std::wstring kFile = L"файл.txt", kDirectory = L"Каталог";

enum class Form { MW, MA, W, A };
using Names = std::vector<std::wstring>;
std::set<std::wstring> AsSet(const Names& names) { return {names.begin(), names.end()}; }

bool Says(const std::wstring& text, const std::wstring& fragment) {
  return text.find(fragment) != std::wstring::npos;
}

class Listing : public Host::Scratch {
 protected:
  void SetUp() override {
    Host::Scratch::SetUp();
    MakeFile(L"Data\\a.txt", "x");
    MakeFile(L"Data\\" + kFile, "x");
    MakeDir(L"Data\\Sub");
    MakeDir(L"Data\\" + kDirectory);
    MakeFile(L"One\\a.txt", "x");
  }

  std::wstring All(const std::wstring& directory) { return Path(directory) + L"\\*"; }

  // The names one call of a form puts in 8 slots or records of 260 characters,
  // all '#' at first; no box and no write past a name's terminator expected.
  Names List(Form form, const std::wstring& pattern, int mode, uint64_t count = 8) {
    constexpr std::size_t kSlots = 8, kSlot = 260;
    std::vector<wchar_t> wide(kSlots * kSlot, L'#');
    std::vector<char> narrow(kSlots * kSlot, '#');
    std::vector<RecordW> recordsW;
    std::vector<RecordA> recordsA;
    for (std::size_t i = 0; i < kSlots; ++i) {
      recordsW.push_back({kSlot, &wide[i * kSlot]});
      recordsA.push_back({kSlot, &narrow[i * kSlot]});
    }
    const std::string ansi = Host::Ansi(pattern);
    BoxWatcher boxes;
    const uint64_t returned =
        form == Form::MW ? Export<GetListMW>("PathGetListMW")(pattern.c_str(), mode, recordsW.data(), count)
        : form == Form::MA ? Export<GetListMA>("PathGetListMA")(ansi.c_str(), mode, recordsA.data(), count)
        : form == Form::W ? Export<GetListW>("PathGetListW")(pattern.c_str(), mode, wide.data(), count, 2 * kSlot)
        : Export<GetListA>("PathGetListA")(ansi.c_str(), mode, narrow.data(), count, kSlot);
    Host::ExpectNoBox(boxes);
    const bool isWide = form == Form::MW || form == Form::W;
    Names names;
    for (std::size_t i = 0; i < kSlots; ++i) {
      std::size_t at = i * kSlot;  // the first place that must still be '#'
      if (i < returned) {
        names.push_back(isWide ? std::wstring(&wide[at]) : Host::Wide(&narrow[at]));
        at += names.back().size() + 1;  // 1251 has one byte per character
      }
      EXPECT_TRUE(isWide ? wide[at] == L'#' : narrow[at] == '#') << "slot " << i << " written past";
    }
    return names;
  }
};

TEST_F(Listing, EveryFormListsByModeAlikeNeverDotEntries) {
  using Set = std::set<std::wstring>;
  MakeDir(L"Empty\\OnlyDir");
  const Names all = List(Form::MW, All(L"Data"), 3);
  EXPECT_EQ(AsSet(all), (Set{L"Sub", kDirectory, L"a.txt", kFile}));
  for (Form form : {Form::MW, Form::MA, Form::W, Form::A}) {
    SCOPED_TRACE(static_cast<int>(form));
    EXPECT_EQ(AsSet(List(form, All(L"Data"), 1)), (Set{L"Sub", kDirectory}));
    EXPECT_EQ(AsSet(List(form, All(L"Data"), 2)), (Set{L"a.txt", kFile}));
    EXPECT_EQ(List(form, All(L"Data"), 3), all);
    EXPECT_TRUE(List(form, All(L"Empty\\OnlyDir"), 3).empty());  // "." and ".." only
    EXPECT_TRUE(List(form, All(L"Empty"), 2).empty());
  }
  // Fewer records than entries: the first ones are filled, no others.
  for (uint64_t count : {0u, 2u})
    EXPECT_EQ(List(Form::MW, All(L"Data"), 3, count), Names(all.begin(), all.begin() + count));
}

// In the terminal's code page, 1251 here; a character it lacks becomes '?'.
TEST_F(Listing, AFormsConvertNamesToTheAnsiCodePage) {
  MakeFile(L"Odd\\\u03B1\u4E2D.txt", "x");  // Greek alpha, CJK: not in 1251
  MakeFile(L"Odd\\" + kFile, "x");
  std::set<std::string> bytes;
  for (const std::wstring& name : List(Form::MA, All(L"Odd"), 2)) bytes.insert(Host::Ansi(name));
  EXPECT_EQ(bytes, (std::set<std::string>{"??.txt", "\xF4\xE0\xE9\xEB.txt"}));
}

TEST_F(Listing, BadModesAndFailedSearchesGiveOneBox) {
  const std::wstring missing = All(L"missing");
  const std::wstring badMode = L"\nНеверно выбран метод поиска.\n";
  const struct { std::wstring pattern; int mode; uint64_t count; std::wstring says; } cases[] = {
      {missing, 0, 1, badMode}, {missing, 4, 1, badMode},
      // Count 0 still searches.
      {missing, 3, 0, L"Не получен системный дескриптор поиска для пути:\n\"" + missing + L"\""},
      {Path(L"bad|dir\\*"), 3, 1, L"Обнаружен запрещённый символ '|'"},
  };
  for (const auto& c : cases) {
    RecordW record{0, nullptr};
    BoxWatcher boxes;
    EXPECT_EQ(Export<GetListMW>("PathGetListMW")(c.pattern.c_str(), c.mode, &record, c.count), 0u);
    const std::wstring text = Host::ExpectOneBox(boxes).text;
    EXPECT_TRUE(Says(text, c.says)) << text;
    // A bad mode is refused before any search of the pattern, which names nothing.
    EXPECT_TRUE(c.says != badMode || !Says(text, L"дескриптор")) << text;
  }
}

// Each fault of the host's memory: one box naming the fault's code, and
// nothing written but what the library may clear (a too-small text or slot).
TEST_F(Listing, HostMemoryFaultsAreReportedNotWrittenPast) {
  const auto listMW = Export<GetListMW>("PathGetListMW");
  const auto listW = Export<GetListW>("PathGetListW");
  const std::wstring one = All(L"One");  // "a.txt": 12 bytes with its terminator
  // A record fault is in the middle one of three records, whose neighbours
  // must stay as they are.
  auto viaRecord = [&](RecordW* middle, RecordW value) {
    *middle = value;
    return listMW(one.c_str(), 3, middle, 1);
  };
  auto viaSlots = [&](wchar_t* buffer, uint64_t count, uint64_t size) {
    return listW(one.c_str(), 3, buffer, count, size);
  };
  const struct { const char* fault; DWORD lastError; std::size_t cleared;
    std::function<uint64_t(wchar_t* text, RecordW* record)> call; } faults[] = {
      {"record too small", 122, 2, [&](wchar_t* text, RecordW* r) { return viaRecord(r, {4, text}); }},
      {"record of no room", 122, 0, [&](wchar_t* text, RecordW* r) { return viaRecord(r, {0, text}); }},
      {"negative capacity", 87, 0, [&](wchar_t* text, RecordW* r) { return viaRecord(r, {-5, text}); }},
      {"null text pointer", 87, 0, [&](wchar_t*, RecordW* r) { return viaRecord(r, {260, nullptr}); }},
      {"null records pointer", 87, 0, [&](wchar_t*, RecordW*) { return listMW(one.c_str(), 3, nullptr, 1); }},
      {"slot too small", 122, 3, [&](wchar_t* text, RecordW*) { return viaSlots(text, 1, 3); }},
      {"null buffer", 87, 0, [&](wchar_t*, RecordW*) { return viaSlots(nullptr, 1, 520); }},
      {"count times size overflows", 534, 0,
       [&](wchar_t* text, RecordW*) { return viaSlots(text, 1ULL << 62, 8); }},
  };
  for (const auto& f : faults) {
    SCOPED_TRACE(f.fault);
    // 8 bytes of text for the library, 32 guard bytes on each side.
    std::vector<unsigned char> memory(72, 0xAB);
    RecordW records[3] = {{-1, nullptr}, {-1, nullptr}, {-1, nullptr}};
    BoxWatcher boxes;
    EXPECT_EQ(f.call(reinterpret_cast<wchar_t*>(&memory[32]), &records[1]), 0u);
    const std::wstring box = Host::ExpectOneBox(boxes).text;
    EXPECT_TRUE(Says(box, L"\nОшибка копирования.\n")) << box;
    EXPECT_TRUE(Says(box, L"Last Error: " + std::to_wstring(f.lastError) + L".")) << box;
    std::vector<unsigned char> expected(memory.size(), 0xAB);
    std::fill_n(expected.begin() + 32, f.cleared, 0);
    EXPECT_EQ(memory, expected);
    EXPECT_TRUE(records[0].capacity == -1 && records[2].capacity == -1);
  }
}

TEST_F(Listing, PathCheckAnswersForDirectoriesOnly) {
  const auto checkW = Export<CheckW>("PathCheckW");
  const auto checkA = Export<CheckA>("PathCheckA");
  BoxWatcher boxes;
  for (const wchar_t* directory : {L"Data", L"Data\\"})
    EXPECT_EQ(checkW(Path(directory).c_str()), 1) << directory;
  for (const wchar_t* other : {L"Data\\a.txt", L"missing"})
    EXPECT_EQ(checkW(Path(other).c_str()), 0) << other;
  EXPECT_EQ(checkA(Host::Ansi(Path(L"Data\\" + kDirectory)).c_str()), 1);
  EXPECT_EQ(checkA(Host::Ansi(Path(L"Data\\" + kFile)).c_str()), 0);
  Host::ExpectNoBox(boxes);
}

}  // namespace
