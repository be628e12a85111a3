// PathGetList*/PathCheck* as the terminal calls them: what lands in the host's
// buffers and records, which calls fail with which box, and that a failing
// call never writes outside what the host handed over.
#include "Host.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>

namespace {

using Host::BoxWatcher;
using Host::Export;

// The terminal's string records: capacity at 0, pointer at 4, 12 bytes each.
#pragma pack(push, 4)
struct RecordA {
  int32_t capacity;
  char* text;
};
struct RecordW {
  int32_t capacity;
  wchar_t* text;
};
#pragma pack(pop)
static_assert(sizeof(RecordA) == 12 && sizeof(RecordW) == 12, "terminal layout");

using GetListA = uint64_t(__cdecl*)(const char*, int, char*, uint64_t, uint64_t);
using GetListW = uint64_t(__cdecl*)(const wchar_t*, int, wchar_t*, uint64_t, uint64_t);
using GetListMA = uint64_t(__cdecl*)(const char*, int, RecordA*, uint64_t);
using GetListMW = uint64_t(__cdecl*)(const wchar_t*, int, RecordW*, uint64_t);
using CheckA = int(__cdecl*)(const char*);
using CheckW = int(__cdecl*)(const wchar_t*);

constexpr unsigned char kGuard = 0xAB;
constexpr std::size_t kGuardBytes = 32;
const std::wstring kCopyFailed = L"Ошибка копирования.";
const std::wstring kFile = L"\u0444\u0430\u0439\u043B.txt";  // "файл.txt"

// Host memory with guard bytes on both sides; every byte starts as kGuard.
class Guarded {
 public:
  explicit Guarded(std::size_t bytes) : bytes_(bytes), memory_(bytes + 2 * kGuardBytes, kGuard) {}
  template <class C> C* As() { return reinterpret_cast<C*>(&memory_[kGuardBytes]); }
  const unsigned char* Data() const { return &memory_[kGuardBytes]; }
  // Bytes [from, to) of the host's part are as they were.
  bool Untouched(std::size_t from, std::size_t to) const {
    return Kept(kGuardBytes + from, kGuardBytes + to);
  }
  bool GuardsIntact() const {
    return Kept(0, kGuardBytes) && Kept(kGuardBytes + bytes_, memory_.size());
  }

 private:
  bool Kept(std::size_t from, std::size_t to) const {
    return std::all_of(memory_.begin() + from, memory_.begin() + to,
                       [](unsigned char byte) { return byte == kGuard; });
  }

  std::size_t bytes_;
  std::vector<unsigned char> memory_;
};

struct Listed {
  uint64_t returned = 0;
  std::vector<std::wstring> names;
  bool restUntouched = true;  // records past the returned count
};

class Listing : public Host::Scratch {
 protected:
  void SetUp() override {
    Host::Scratch::SetUp();
    MakeFile(L"Data\\a.txt", "x");
    MakeFile(L"Data\\" + kFile, "x");
    MakeDir(L"Data\\Sub");
    MakeDir(L"Data\\Other");
    MakeFile(L"One\\a.txt", "x");
  }

  std::wstring All(const wchar_t* directory) { return Path(directory) + L"\\*"; }

  // Each form, with ample room per name; no box expected.
  Listed ViaMW(const std::wstring& pattern, int mode, uint64_t count = 8) {
    std::vector<std::vector<wchar_t>> texts(8, std::vector<wchar_t>(260, L'#'));
    std::vector<RecordW> records;
    for (auto& text : texts) records.push_back({260, text.data()});
    BoxWatcher boxes;
    Listed listed;
    listed.returned = Export<GetListMW>("PathGetListMW")(pattern.c_str(), mode, records.data(), count);
    Host::ExpectNoBox(boxes);
    for (uint64_t i = 0; i < listed.returned; ++i) listed.names.push_back(texts[i].data());
    for (uint64_t i = listed.returned; i < texts.size(); ++i)
      listed.restUntouched = listed.restUntouched && texts[i][0] == L'#';
    return listed;
  }
  Listed ViaMA(const std::wstring& pattern, int mode) {
    std::vector<std::vector<char>> texts(8, std::vector<char>(260, '#'));
    std::vector<RecordA> records;
    for (auto& text : texts) records.push_back({260, text.data()});
    BoxWatcher boxes;
    Listed listed;
    listed.returned =
        Export<GetListMA>("PathGetListMA")(Host::Ansi(pattern).c_str(), mode, records.data(), 8);
    Host::ExpectNoBox(boxes);
    for (uint64_t i = 0; i < listed.returned; ++i) listed.names.push_back(Host::Wide(texts[i].data()));
    return listed;
  }
  Listed ViaW(const std::wstring& pattern, int mode) {
    std::vector<wchar_t> buffer(8 * 260, L'#');
    BoxWatcher boxes;
    Listed listed;
    listed.returned = Export<GetListW>("PathGetListW")(pattern.c_str(), mode, buffer.data(), 8, 520);
    Host::ExpectNoBox(boxes);
    for (uint64_t i = 0; i < listed.returned; ++i) listed.names.push_back(&buffer[i * 260]);
    return listed;
  }
  Listed ViaA(const std::wstring& pattern, int mode) {
    std::vector<char> buffer(8 * 260, '#');
    BoxWatcher boxes;
    Listed listed;
    listed.returned =
        Export<GetListA>("PathGetListA")(Host::Ansi(pattern).c_str(), mode, buffer.data(), 8, 260);
    Host::ExpectNoBox(boxes);
    for (uint64_t i = 0; i < listed.returned; ++i) listed.names.push_back(Host::Wide(&buffer[i * 260]));
    return listed;
  }

  // One call of PathGetListMW that must fail: the text of its one box.
  std::wstring FailMW(const std::wstring& pattern, int mode, RecordW* records, uint64_t count) {
    BoxWatcher boxes;
    EXPECT_EQ(Export<GetListMW>("PathGetListMW")(pattern.c_str(), mode, records, count), 0u);
    return Host::ExpectOneBox(boxes).text;
  }
  std::wstring FailW(const std::wstring& pattern, wchar_t* buffer, uint64_t count, uint64_t size) {
    BoxWatcher boxes;
    EXPECT_EQ(Export<GetListW>("PathGetListW")(pattern.c_str(), 3, buffer, count, size), 0u);
    return Host::ExpectOneBox(boxes).text;
  }
};

std::set<std::wstring> AsSet(const Listed& listed) {
  return std::set<std::wstring>(listed.names.begin(), listed.names.end());
}

bool Says(const std::wstring& text, const std::wstring& part) {
  return text.find(part) != std::wstring::npos;
}

TEST_F(Listing, ModesChooseDirectoriesFilesOrBoth) {
  EXPECT_EQ(AsSet(ViaMW(All(L"Data"), 1)), (std::set<std::wstring>{L"Sub", L"Other"}));
  EXPECT_EQ(AsSet(ViaMW(All(L"Data"), 2)), (std::set<std::wstring>{L"a.txt", kFile}));
  const Listed all = ViaMW(All(L"Data"), 3);
  EXPECT_EQ(all.returned, 4u);
  EXPECT_EQ(AsSet(all), (std::set<std::wstring>{L"Sub", L"Other", L"a.txt", kFile}));
  MakeDir(L"Empty\\OnlyDir");
  EXPECT_EQ(ViaMW(All(L"Empty\\OnlyDir"), 3).returned, 0u);  // "." and ".." only
  EXPECT_EQ(ViaMW(All(L"Empty"), 2).returned, 0u);
}

TEST_F(Listing, AllFourFormsAgree) {
  const Listed w = ViaMW(All(L"Data"), 3);
  ASSERT_EQ(w.returned, 4u);
  EXPECT_EQ(ViaMA(All(L"Data"), 3).names, w.names);
  EXPECT_EQ(ViaW(All(L"Data"), 3).names, w.names);
  EXPECT_EQ(ViaA(All(L"Data"), 3).names, w.names);
}

TEST_F(Listing, CountLimitsWhatIsCopied) {
  const Listed all = ViaMW(All(L"Data"), 3);
  const Listed two = ViaMW(All(L"Data"), 3, 2);
  EXPECT_EQ(two.returned, 2u);
  EXPECT_EQ(two.names, std::vector<std::wstring>(all.names.begin(), all.names.begin() + 2));
  EXPECT_TRUE(two.restUntouched);
  const Listed none = ViaMW(All(L"Data"), 3, 0);
  EXPECT_EQ(none.returned, 0u);
  EXPECT_TRUE(none.restUntouched);
}

TEST_F(Listing, AFormsConvertNamesToTheAnsiCodePage) {
  MakeFile(L"Odd\\\u03B1\u4E2D.txt", "x");  // Greek alpha, CJK: not in 1251
  char text[64];
  std::memset(text, '#', sizeof text);
  RecordA record{64, text};
  BoxWatcher boxes;
  ASSERT_EQ(Export<GetListMA>("PathGetListMA")(Host::Ansi(All(L"Odd")).c_str(), 2, &record, 1), 1u);
  Host::ExpectNoBox(boxes);
  EXPECT_STREQ(text, "??.txt");

  const Listed files = ViaMA(All(L"Data"), 2);
  EXPECT_EQ(std::set<std::string>({Host::Ansi(files.names[0]), Host::Ansi(files.names[1])}),
            (std::set<std::string>{"a.txt", "\xF4\xE0\xE9\xEB.txt"}));
}

TEST_F(Listing, BadModeFailsBeforeAnySearch) {
  RecordW record{0, nullptr};
  for (int mode : {0, 4}) {
    // The pattern names nothing: a search would have failed differently.
    const std::wstring text = FailMW(All(L"missing"), mode, &record, 1);
    EXPECT_TRUE(Says(text, L"\nНеверно выбран метод поиска.\n")) << text;
    EXPECT_TRUE(Says(text, L"File: \"Sedgefold\"")) << text;
    EXPECT_FALSE(Says(text, L"дескриптор")) << text;
  }
}

TEST_F(Listing, SearchFailuresComeBackInTheExportsBox) {
  RecordW record{0, nullptr};
  const std::wstring missing = All(L"missing");
  std::wstring text = FailMW(missing, 3, &record, 0);  // count 0 still searches
  EXPECT_TRUE(Says(text, L"Не получен системный дескриптор поиска для пути:\n\"" + missing + L"\""))
      << text;
  EXPECT_EQ(text.substr(0, text.find(L'\r')),
            L"Ошибка в функции \"unsigned __int64 __cdecl PathGetListMW(const wchar_t *,const "
            L"int,struct MT::_MQLSTRW *,const unsigned __int64)\"!");

  text = FailMW(Path(L"bad|dir\\*"), 3, &record, 1);
  EXPECT_TRUE(Says(text, L"Обнаружен запрещённый символ '|'")) << text;
}

TEST_F(Listing, BufferSlotsFollowEachOther) {
  Guarded memory(3 * 40);
  BoxWatcher boxes;
  ASSERT_EQ(Export<GetListW>("PathGetListW")(All(L"Data").c_str(), 2, memory.As<wchar_t>(), 3, 40), 2u);
  Host::ExpectNoBox(boxes);
  const Listed files = ViaW(All(L"Data"), 2);
  for (std::size_t i = 0; i < 2; ++i) {
    const std::wstring name = files.names[i];
    EXPECT_EQ(std::wstring(memory.As<wchar_t>() + i * 20), name);
    const std::size_t used = (name.size() + 1) * 2;
    EXPECT_TRUE(memory.Untouched(i * 40 + used, i * 40 + 40)) << "slot " << i;
  }
  EXPECT_TRUE(memory.Untouched(80, 120));
  EXPECT_TRUE(memory.GuardsIntact());
}

TEST_F(Listing, TooSmallSlotIsZeroedAndReported) {
  Guarded memory(3);
  const std::wstring small = FailW(All(L"One"), memory.As<wchar_t>(), 1, 3);
  EXPECT_TRUE(Says(small, L"Last Error: 122.")) << small;  // the buffer is too small
  EXPECT_TRUE(Says(small, kCopyFailed)) << small;
  EXPECT_EQ(std::memcmp(memory.Data(), "\0\0\0", 3), 0);
  EXPECT_TRUE(memory.GuardsIntact());
  EXPECT_TRUE(Says(FailW(All(L"One"), nullptr, 1, 520), kCopyFailed));

  Guarded untouched(64);
  const std::wstring text = FailW(All(L"One"), untouched.As<wchar_t>(), 1ULL << 62, 8);
  EXPECT_TRUE(Says(text, kCopyFailed)) << text;
  EXPECT_TRUE(untouched.Untouched(0, 64));
  EXPECT_TRUE(untouched.GuardsIntact());
}

TEST_F(Listing, BadRecordsAreReportedNotWrittenPast) {
  RecordW records[3] = {{-1, nullptr}, {0, nullptr}, {-1, nullptr}};
  struct Case {
    int32_t capacity;
    bool withText;
    std::size_t zeroed;  // bytes the library may set: an emptied text
  };
  for (const Case& c : {Case{4, true, 2}, Case{0, true, 0}, Case{-5, true, 0}, Case{260, false, 0}}) {
    Guarded fresh(4 * sizeof(wchar_t));
    records[1] = {c.capacity, c.withText ? fresh.As<wchar_t>() : nullptr};
    const std::wstring box = FailMW(All(L"One"), 3, &records[1], 1);
    EXPECT_TRUE(Says(box, L"\n" + kCopyFailed + L"\n")) << box;
    EXPECT_TRUE(fresh.Untouched(c.zeroed, 8)) << c.capacity;
    if (c.zeroed) {
      EXPECT_EQ(fresh.As<wchar_t>()[0], L'\0');
    }
    EXPECT_TRUE(fresh.GuardsIntact());
    EXPECT_EQ(records[0].capacity, -1);
    EXPECT_EQ(records[2].capacity, -1);
    EXPECT_EQ(records[1].capacity, c.capacity);
  }
  EXPECT_TRUE(Says(FailMW(All(L"One"), 3, nullptr, 1), kCopyFailed));
  MakeDir(L"Empty");
  BoxWatcher boxes;  // nothing to copy: a null array is never looked at
  EXPECT_EQ(Export<GetListMW>("PathGetListMW")(All(L"Empty").c_str(), 3, nullptr, 1), 0u);
  Host::ExpectNoBox(boxes);
}

TEST_F(Listing, PathCheckAnswersForDirectoriesOnly) {
  const auto checkW = Export<CheckW>("PathCheckW");
  const auto checkA = Export<CheckA>("PathCheckA");
  const std::wstring cyrillic = MakeDir(L"\u041A\u0430\u0442\u0430\u043B\u043E\u0433");
  BoxWatcher boxes;
  EXPECT_EQ(checkW(Path(L"Data").c_str()), 1);
  EXPECT_EQ(checkW((Path(L"Data") + L"\\").c_str()), 1);
  EXPECT_EQ(checkW(Path(L"Data\\a.txt").c_str()), 0);
  EXPECT_EQ(checkW(Path(L"missing").c_str()), 0);
  EXPECT_EQ(checkA(Host::Ansi(cyrillic).c_str()), 1);
  EXPECT_EQ(checkA(Host::Ansi(Path(L"Data\\") + kFile).c_str()), 0);
  Host::ExpectNoBox(boxes);
}

}  // namespace
