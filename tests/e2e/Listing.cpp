// The listing exports as the terminal calls them, in both widths and into
// both kinds of host memory: what lands there, which calls fail with which
// box, and that no call writes outside what the host handed over.
#include <climits>
#include <iterator>
#include <set>

#include "Robust.h"

namespace {

using Host::As;
using Host::Record;
using Robust::Guarded;
using Robust::Observe;
using Robust::Outcome;
using Names = std::set<std::wstring>;

const std::wstring kFile = L"файл.txt", kDirectory = L"Каталог";
constexpr std::size_t kSlotChars = 260;

bool Says(const std::wstring& text, const std::wstring& fragment) {
  return text.find(fragment) != std::wstring::npos;
}

template <class C> class Listing : public Host::Scratch {
 protected:
  void SetUp() override {
    Host::Scratch::SetUp();
    MakeFile(L"Data\\a.txt", "x");
    MakeFile(L"Data\\" + kFile, "x");
    MakeDir(L"Data\\Sub");
    MakeDir(L"Data\\" + kDirectory);
    MakeDir(L"Empty\\OnlyDir");
    // A directory is one by its attribute, whatever others it has.
    SetFileAttributesW(Path(L"Data\\Sub").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  }

  const Host::Forms<C>& Api() const { return Host::ApiOf<C>(); }
  std::basic_string<C> All(const std::wstring& directory) { return As<C>(Path(directory) + L"\\*"); }

  // The names one call puts into 8 slots (records: false) or 8 records of
  // 260 characters, all '#' at first; no box, and nothing written past a
  // name's terminator.
  Names List(bool records, const std::basic_string<C>& pattern, int mode, uint64_t count = 8) {
    Guarded<C> text(8 * kSlotChars);
    Guarded<Record<C>> array(8, Record<C>{});
    for (std::size_t i = 0; i < 8; ++i) array.data()[i] = {int(kSlotChars), text.data() + i * kSlotChars};
    const Outcome outcome = Observe(this->hook_, [&] {
      return records ? Api().getListM(pattern.c_str(), mode, array.data(), count)
                     : Api().getList(pattern.c_str(), mode, text.data(), count, kSlotChars * sizeof(C));
    });
    const uint64_t listed = static_cast<uint64_t>(outcome.result);
    EXPECT_EQ(outcome.boxes, 0u) << outcome.box.text;
    EXPECT_LE(listed, count);
    Names names;
    for (std::size_t i = 0; i < 8; ++i) {
      const C* slot = text.data() + i * kSlotChars;
      const std::size_t length = i < listed ? std::basic_string<C>(slot).size() + 1 : 0;
      if (i < listed) names.insert(Robust::WideOf(std::basic_string<C>(slot)));
      EXPECT_EQ(slot[length], C('#')) << "slot " << i << " written past its name";
    }
    EXPECT_TRUE(text.GuardsIntact() && array.GuardsIntact());
    return names;
  }
};

using Widths = ::testing::Types<char, wchar_t>;
TYPED_TEST_SUITE(Listing, Widths);

TYPED_TEST(Listing, EveryFormListsByModeNeverTheDotEntries) {
  const Names directories{L"Sub", kDirectory}, files{L"a.txt", kFile};
  for (const bool records : {false, true}) {
    SCOPED_TRACE(records ? "records" : "slots");
    EXPECT_EQ(this->List(records, this->All(L"Data"), 1), directories);
    EXPECT_EQ(this->List(records, this->All(L"Data"), 2), files);
    EXPECT_EQ(this->List(records, this->All(L"Data"), 3).size(), 4u);
    EXPECT_TRUE(this->List(records, this->All(L"Empty\\OnlyDir"), 3).empty());  // "." and ".."
    EXPECT_TRUE(this->List(records, this->All(L"Empty"), 2).empty());
    EXPECT_EQ(this->List(records, this->All(L"Data"), 3, 2).size(), 2u);  // at most count
    EXPECT_TRUE(this->List(records, this->All(L"Data"), 3, 0).empty());
  }
}

// In the terminal's code page, 1251 here: a character it lacks becomes '?',
// never a look-alike ("\uFF3C" is no backslash, "\uFF0E\uFF0E" no "..").
class ListingNarrow : public Host::Scratch {};

TEST_F(ListingNarrow, NamesInTheAnsiCodePageWithoutBestFit) {
  for (const wchar_t* name : {L"\u03B1\u4E2D.txt", L"файл.txt", L"a\uFF3Cb.txt", L"\uFF0E\uFF0E"}) MakeFile(name);
  char slots[4][64] = {};
  const Outcome outcome =
      Observe(hook_, [&] { return Host::ApiOf<char>().getList(Host::Ansi(Path(L"*")).c_str(), 2, slots[0], 4, 64); });
  EXPECT_TRUE(outcome.result == 4 && outcome.boxes == 0) << outcome.box.text;
  std::set<std::string> names(std::begin(slots), std::end(slots));
  EXPECT_EQ(names, (std::set<std::string>{"??.txt", "\xF4\xE0\xE9\xEB.txt", "a?b.txt", "??"}));
}

TYPED_TEST(Listing, BadModesAndFailedSearchesGiveOneBoxAndWriteNothing) {
  const std::wstring missing = this->Path(L"missing") + L"\\*";
  const std::wstring badMode = L"\nНеверно выбран метод поиска.\n";
  const struct {
    std::wstring pattern;
    int mode;
    uint64_t count;
    std::wstring says;
  } cases[] = {
      {this->Path(L"Data\\*"), INT_MIN, 1, badMode}, {this->Path(L"Data\\*"), 0, 1, badMode},
      {this->Path(L"Data\\*"), 4, 1, badMode},       {this->Path(L"Data\\*"), INT_MAX, 1, badMode},
      // Count 0 still searches.
      {missing, 3, 0, L"Не получен системный дескриптор поиска для пути:\n\"" + missing + L"\""},
      {this->Path(L"bad|dir\\*"), 3, 1, L"Обнаружен запрещённый символ '|'"},
  };
  for (const auto& c : cases) {
    Guarded<TypeParam> slots(kSlotChars);
    const std::vector<TypeParam> before = slots.Contents();
    const Outcome outcome = Observe(this->hook_, [&] {
      return this->Api().getList(As<TypeParam>(c.pattern).c_str(), c.mode, slots.data(), c.count,
                                 kSlotChars * sizeof(TypeParam));
    });
    EXPECT_TRUE(outcome.result == 0 && outcome.boxes == 1) << outcome.box.text;
    const std::wstring text = outcome.box.text;
    EXPECT_TRUE(Says(text, c.says)) << text;
    EXPECT_EQ(slots.Contents(), before) << "a refused listing wrote";
  }
}

// Each fault of the host's memory: one box naming the fault's code, names
// before it written, none after it, and nothing written but what the
// library may clear (a slot or text too small for its name).
TYPED_TEST(Listing, HostMemoryFaultsAreReportedNeverWrittenPast) {
  using C = TypeParam;
  const auto pattern = this->All(L"Data");  // four entries
  const auto& api = this->Api();
  const Host::BoxHook& hook = this->hook_;
  const struct {
    const char* fault;
    int32_t capacity;  // of the third record; 260 is sound
    bool nullText;
    DWORD lastError;
  } records[] = {{"zero capacity", 0, false, 122}, {"negative capacity", -1, false, 87},
                 {"INT_MIN capacity", INT_MIN, false, 87}, {"too small", 2, false, 122},
                 {"null text", 260, true, 87}};
  for (const auto& damage : records) {
    Guarded<C> text(kSlotChars);
    std::vector<Guarded<C>> good(4, Guarded<C>(kSlotChars));
    Guarded<Record<C>> array(4, Record<C>{});
    for (std::size_t i = 0; i < 4; ++i) array.data()[i] = {int(kSlotChars), good[i].data()};
    array.data()[2] = {damage.capacity, damage.nullText ? nullptr : text.data()};
    const Outcome outcome = Observe(hook, [&] { return api.getListM(pattern.c_str(), 3, array.data(), 4); });
    EXPECT_EQ(outcome.result, 0) << damage.fault;
    EXPECT_TRUE(Says(outcome.box.text, L"\nОшибка копирования.\n") &&
                Says(outcome.box.text, L"Last Error: " + std::to_wstring(damage.lastError) + L"."))
        << damage.fault << ":\n" << outcome.box.text;
    const std::size_t cleared = damage.capacity > 0 && !damage.nullText ? 1 : 0;
    for (std::size_t i = cleared; i < text.size(); ++i) ASSERT_EQ(text.data()[i], C('#')) << damage.fault;
    EXPECT_TRUE(text.GuardsIntact() && array.GuardsIntact() && good[0].GuardsIntact()) << damage.fault;
    EXPECT_NE(good[1].data()[0], C('#')) << damage.fault << ": names before the damage are written";
    EXPECT_EQ(good[3].data()[0], C('#')) << damage.fault << ": none after it";
  }
  // A record holds a name with its terminator: one unit short is too small.
  const auto one = As<C>(this->Path(L"Data\\a.txt"));
  for (const int32_t spare : {0, 1}) {
    Guarded<C> exact(5 + spare);
    Record<C> record{5 + spare, exact.data()};
    const Outcome outcome = Observe(hook, [&] { return api.getListM(one.c_str(), 3, &record, 1); });
    EXPECT_EQ(outcome.result, spare) << "capacity " << 5 + spare;
    EXPECT_TRUE(exact.GuardsIntact()) << "capacity " << 5 + spare;
  }
  const Outcome noRecords = Observe(hook, [&] { return api.getListM(pattern.c_str(), 3, nullptr, 1); });
  EXPECT_TRUE(noRecords.result == 0 && noRecords.boxes == 1) << "a null records pointer";
  // Slots: count and size the host really handed over, and the answer.
  const uint64_t all = UINT64_MAX;
  const struct {
    uint64_t count, size;
    std::size_t elements;
    int64_t answer;
  } geometries[] = {{1, 3, 3, 0},           {5, sizeof(C), 5, 0},        {all, all, 0, 0},
                    {2, uint64_t(1) << 63, 0, 0}, {all / 2 + 1, 2 * sizeof(C), 0, 0},
                    {1, all, 260, 1},       {0, 260 * sizeof(C), 0, 0}};
  for (const auto& g : geometries) {
    Guarded<C> slots(g.elements);
    const Outcome outcome = Observe(hook, [&] { return api.getList(pattern.c_str(), 3, slots.data(), g.count, g.size); });
    const std::string label = "count " + std::to_string(g.count) + " size " + std::to_string(g.size);
    Robust::ExpectSound(outcome, label, true);
    EXPECT_EQ(outcome.result, g.answer) << label;
    EXPECT_TRUE(slots.GuardsIntact()) << label;
  }
  const Outcome noBuffer = Observe(hook, [&] { return api.getList(pattern.c_str(), 3, nullptr, 1, 520); });
  EXPECT_TRUE(noBuffer.result == 0 && noBuffer.boxes == 1) << "a null buffer";
}

}  // namespace
