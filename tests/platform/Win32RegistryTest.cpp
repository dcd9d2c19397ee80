// Win32Registry against the real registry, in a private key of the current user
// that every test starts and ends without.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <iterator>
#include <vector>

#include "platform/Win32Registry.h"
#include "tests/support/RegistryMatrix.h"
#include "tests/support/RegistryValues.h"

namespace velquin {
namespace {

constexpr char kRoot[] = "SOFTWARE\\VelquinTests";
constexpr char kPath[] = "SOFTWARE\\VelquinTests\\Win32Registry";

std::string Bytes(const char* text, size_t size) { return std::string(text, size); }

// The bytes of UTF-16 text as the registry stores it.
std::string Utf16(std::wstring_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

// Deterministic data of `size` bytes, every byte value.
std::string Pattern(size_t size) {
  std::string data(size, '\0');
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 37 + i / 256) & 0xFF);
  return data;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// The key's value names, sorted; a failed listing fails the test.
std::vector<std::string> SortedNames(RegistryKey& key) {
  std::optional<std::vector<std::string>> names = key.ValueNames();
  EXPECT_TRUE(names) << "the key could not be listed";
  return Sorted(names.value_or(std::vector<std::string>{}));
}

class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kRoot); }
  void TearDown() override {
    if (raw_) RegCloseKey(raw_);
    RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
  }

  HKEY Raw() {
    if (!raw_) {
      EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &raw_, nullptr),
                ERROR_SUCCESS);
    }
    return raw_;
  }

  // Writes `data` byte for byte with RegSetValueExW, beside the adapter. The bytes
  // after the counted data are not NUL, so nothing can take a terminator from them.
  void WriteRaw(const char* name, DWORD type, const std::string& data) {
    ASSERT_TRUE(test::TestKey(kPath).Put(name, type, data)) << name;
  }

  std::unique_ptr<RegistryKey> Open() {
    auto key = registry_.CreateKey(kPath);
    EXPECT_NE(key, nullptr);
    return key;
  }

  Win32Registry registry_;
  HKEY raw_ = nullptr;
};

// A leading backslash is refused by the registry itself; a NUL would cut the path.
TEST_F(Win32RegistryTest, RefusesBadPaths) {
  for (const std::string& path : {std::string("\\SOFTWARE\\VelquinTests\\Win32Registry"),
                                  Bytes("SOFTWARE\\VelquinTests\0\\x", 24)}) {
    EXPECT_EQ(registry_.CreateKey(path), nullptr) << path;
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kRoot, 0, KEY_READ, &key), ERROR_SUCCESS) << path;
  }
}

TEST_F(Win32RegistryTest, RoundTripsTheTaskKeyLayout) {
  const std::string line0 = "\"C:\\Tools\\run.exe\" -a";
  const std::string line2 = "\"C:\\ソフト\\表示.exe\" /s 　x";  // trail bytes 0x5C
  {
    auto key = Open();  // creates the key and its parent
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Query("Count").status, RegStatus::NotFound);
    EXPECT_EQ(key->ValueNames(), std::vector<std::string>{});
    EXPECT_TRUE(key->SetDword("Count", 3));
    EXPECT_TRUE(key->SetString("APP0", line0));
    EXPECT_TRUE(key->SetString("APP1", ""));
    EXPECT_TRUE(key->SetString("APP2", line2));
    EXPECT_TRUE(key->SetDword("MinimizeWhenStart", 1));
    EXPECT_TRUE(key->SetDword("Negative", -2));
  }
  auto key = Open();
  ASSERT_NE(key, nullptr);
  struct Expected {
    const char* name;
    uint32_t type;
    std::string data;
    std::optional<std::string> text;
  } const expected[] = {
      {"Count", kRegDword, Bytes("\x03\0\0\0", 4), std::nullopt},
      {"APP0", kRegSz, Utf16(L"\"C:\\Tools\\run.exe\" -a") + Bytes("\0", 2), line0},
      {"APP1", kRegSz, Bytes("\0", 2), ""},
      {"APP2", kRegSz, Utf16(L"\"C:\\ソフト\\表示.exe\" /s \u3000x") + Bytes("\0", 2), line2},
      {"MinimizeWhenStart", kRegDword, Bytes("\x01\0\0\0", 4), std::nullopt},
      {"Negative", kRegDword, "\xFE\xFF\xFF\xFF", std::nullopt},
  };
  for (const auto& e : expected) {
    const RegQuery q = key->Query(e.name);
    EXPECT_EQ(q.status, RegStatus::Ok) << e.name;
    EXPECT_EQ(q.type, e.type) << e.name;
    EXPECT_EQ(q.data, e.data) << e.name;
    EXPECT_EQ(q.text, e.text) << e.name;
  }
  EXPECT_EQ(SortedNames(*key),
            Sorted({"Count", "APP0", "APP1", "APP2", "MinimizeWhenStart", "Negative"}));

  key->DeleteValue("APP2");
  key->DeleteValue("APP7");  // missing: nothing happens
  EXPECT_EQ(key->Query("APP2").status, RegStatus::NotFound);
  EXPECT_EQ(key->Query("APP0").status, RegStatus::Ok);
  EXPECT_EQ(SortedNames(*key).size(), 5u);
}

// Every type at every size comes back as the very bytes that were written.
TEST_F(Win32RegistryTest, QueryReturnsRawDataOfAnyTypeAndSize) {
  // The shared sizes, and either side of the adapter's first read buffer (1 KiB).
  std::vector<size_t> sizes(std::begin(test::kMatrixSizes), std::end(test::kMatrixSizes));
  sizes.insert(sizes.end(), {1023, 1024, 1025});
  auto key = Open();
  ASSERT_NE(key, nullptr);
  for (const DWORD type : test::kMatrixTypes) {
    for (const size_t size : sizes) {
      const std::string name = "V" + std::to_string(type) + "_" + std::to_string(size);
      const std::string data = Pattern(size);
      WriteRaw(name.c_str(), type, data);
      const RegQuery q = key->Query(name);
      EXPECT_EQ(q.status, RegStatus::Ok) << name;
      EXPECT_EQ(q.type, type) << name;
      EXPECT_EQ(q.data.size(), size) << name;
      EXPECT_TRUE(q.data == data) << name;
      test::TestKey(kPath).Delete(name.c_str());
    }
  }
}

// A value written as it was found comes back with the same type and bytes, also
// where no terminator or no data follows.
TEST_F(Win32RegistryTest, SetValueStoresTypeAndBytesUnchanged) {
  const struct {
    uint32_t type;
    std::string data;
  } cases[] = {
      {kRegDword, Bytes("\x07\0\0\0", 4)}, {kRegQword, Bytes("\x03\0\0\0\0\0\0\0", 8)},
      {kRegBinary, Bytes("\0\xFF\x01", 3)}, {kRegMultiSz, Bytes("a\0b\0\0", 5)},
      {kRegSz, "unterminated"},                {kRegNone, ""},
      {0x1234, "odd type"},
      {kRegSz, "odd"},                         // half a character at the end
      {kRegExpandSz, Bytes("\xE9", 1)},
      {kRegSz, Utf16(L"caf\u00E9") + Bytes("\0", 2)},  // not code page 932 text
  };
  auto key = Open();
  ASSERT_NE(key, nullptr);
  for (const auto& c : cases) {
    const std::string name = "V" + std::to_string(c.type);
    ASSERT_TRUE(key->SetValue(name, c.type, c.data)) << name;
    const RegQuery q = key->Query(name);
    EXPECT_EQ(q.status, RegStatus::Ok) << name;
    EXPECT_EQ(q.type, c.type) << name;
    EXPECT_EQ(q.data, c.data) << name;
  }
  EXPECT_FALSE(key->SetValue(Bytes("V\0x", 3), kRegSz, "x"));
}

struct Rewriter {
  HKEY key;
  volatile LONG stop;
};

// Rewrites the value "Growing" with 1 to 32 KiB of one letter, over and over.
DWORD WINAPI RewriteGrowing(void* param) {
  auto* rewriter = static_cast<Rewriter*>(param);
  for (size_t round = 0; !rewriter->stop; ++round) {
    const size_t kib = 1 + round % 32;
    const std::string data(kib * 1024, static_cast<char>('a' + kib % 26));
    RegSetValueExA(rewriter->key, "Growing", 0, REG_BINARY,
                   reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
  }
  return 0;
}

// Whether a rewrite falls between the size query and the read is the scheduler's
// choice: what this shows is that no read, whenever it comes, returns a part of a
// value or a mix of two.
TEST_F(Win32RegistryTest, QueryUnderConstantRewritesReturnsOnlyWholeValues) {
  auto key = Open();
  ASSERT_NE(key, nullptr);
  WriteRaw("Growing", REG_BINARY, "a");
  Rewriter rewriter{Raw(), 0};
  const HANDLE thread = CreateThread(nullptr, 0, RewriteGrowing, &rewriter, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  int bad = 0;
  for (int i = 0; i < 1000 && bad < 5; ++i) {
    const RegQuery q = key->Query("Growing");
    const bool whole = q.status == RegStatus::Ok && !q.data.empty() &&
                       q.data.find_first_not_of(q.data[0]) == std::string::npos &&
                       (q.data.size() == 1 ||
                        (q.data.size() % 1024 == 0 &&
                         q.data[0] == static_cast<char>('a' + (q.data.size() / 1024) % 26)));
    if (!whole) {
      ++bad;
      ADD_FAILURE() << "read " << i << ": status " << static_cast<int>(q.status) << ", "
                    << q.data.size() << " bytes";
    }
  }
  rewriter.stop = 1;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
}

TEST_F(Win32RegistryTest, StringsAreReturnedAsStored) {
  const struct {
    const char* name;
    DWORD type;
    std::string data;
    std::optional<std::string> text;  // nothing: code page 932 cannot hold it
    size_t cp932Size;                  // what a number read from it is measured by
  } cases[] = {
      {"Unterminated", REG_SZ, Utf16(L"C:\\a.exe"), "C:\\a.exe", 8},
      {"UnterminatedSjis", REG_SZ, Utf16(L"ソフト"), "ソフト", 6},
      {"TrailBytes5C", REG_SZ, Utf16(L"C:\\表示ソフト\\予定.exe"), "C:\\表示ソフト\\予定.exe", 22},
      {"InnerNul", REG_SZ, Utf16(std::wstring(L"ab\0cd\0", 6)), "ab", 6},
      {"OnlyNul", REG_SZ, Bytes("\0\0", 2), "", 1},
      {"ShortNumberText", REG_SZ, Utf16(std::wstring(L"12\0", 3)), "12", 3},
      {"OddSize", REG_SZ, Bytes("a\0b", 3), std::nullopt, 1},  // half a character
      {"OddSizeAfterNul", REG_SZ, Bytes("a\0\0\0b", 5), "a", 2},
      {"Expand", REG_EXPAND_SZ, Utf16(std::wstring(L"%WINDIR%\\x.exe\0", 15)), "%WINDIR%\\x.exe", 15},  // not expanded
      {"Multi", REG_MULTI_SZ, Utf16(std::wstring(L"a\0b\0\0", 5)), std::nullopt, 5},
      {"Accented", REG_SZ, Utf16(L"C:\\caf\u00E9.exe"), std::nullopt, 11},
      {"Hangul", REG_SZ, Utf16(L"\uD55C"), std::nullopt, 1},
      {"EuroSign", REG_SZ, Utf16(L"r\u20ACn"), std::nullopt, 3},
      {"Binary", REG_BINARY, Utf16(L"abc"), std::nullopt, 6},
  };
  auto key = Open();
  ASSERT_NE(key, nullptr);
  for (const auto& c : cases) {
    WriteRaw(c.name, c.type, c.data);
    const RegQuery q = key->Query(c.name);
    EXPECT_EQ(q.status, RegStatus::Ok) << c.name;
    EXPECT_EQ(q.type, c.type) << c.name;
    EXPECT_EQ(q.data, c.data) << c.name;
    EXPECT_EQ(q.text, c.text) << c.name;
    EXPECT_EQ(q.cp932Size, c.cp932Size) << c.name;
  }
}

TEST_F(Win32RegistryTest, LongAndJapaneseStringsRoundTrip) {
  auto key = Open();
  ASSERT_NE(key, nullptr);
  std::string longLine;
  while (longLine.size() < 300000) longLine += "表ソ\x81\x40 abc ";
  const std::string withNul = Bytes("a\0b", 3);
  ASSERT_TRUE(key->SetString("Long", longLine));
  ASSERT_TRUE(key->SetString("WithNul", withNul));
  EXPECT_TRUE(key->Query("Long").text == longLine);
  EXPECT_EQ(key->Query("WithNul").data, Utf16(std::wstring(L"a\0b\0", 4)));
  // Bytes that are no code page 932 text are refused, not stored changed.
  for (const std::string& bad : {std::string("caf\xE9"), std::string("\x81 x")}) {
    EXPECT_FALSE(key->SetString("Bad", bad)) << bad;
    EXPECT_EQ(key->Query("Bad").status, RegStatus::NotFound) << bad;
  }
}

TEST_F(Win32RegistryTest, NameHoldingANulIsRefused) {
  auto key = Open();
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->SetDword("APP1", 5));
  const std::string name = Bytes("APP1\0x", 6);
  EXPECT_EQ(key->Query(name).status, RegStatus::Failed);
  EXPECT_FALSE(key->SetDword(name, 6));
  EXPECT_FALSE(key->SetString(name, "x"));
  key->DeleteValue(name);
  const RegQuery q = key->Query("APP1");
  EXPECT_EQ(q.status, RegStatus::Ok);
  EXPECT_EQ(q.data, Bytes("\x05\0\0\0", 4));
  EXPECT_EQ(key->ValueNames(), std::vector<std::string>{"APP1"});
}

TEST_F(Win32RegistryTest, ValueNamesListsManyLongAndJapaneseNames) {
  auto key = Open();
  ASSERT_NE(key, nullptr);
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) names.push_back("APP" + std::to_string(i));
  names.push_back(std::string(2000, 'L'));
  names.push_back("値ソ表");
  for (const auto& name : names) ASSERT_TRUE(key->SetString(name, name)) << name;
  // A name code page 932 cannot hold names no value of ours: left out, not refused.
  const DWORD one = 1;
  ASSERT_EQ(RegSetValueExW(Raw(), L"APP\u00E9", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one),
            ERROR_SUCCESS);
  EXPECT_EQ(SortedNames(*key), Sorted(names));
  EXPECT_EQ(key->Query("値ソ表").text, "値ソ表");
}

// Adds and removes values whose names sort before the steady ones, which shifts the
// steady ones' indexes while they are listed.
DWORD WINAPI FlapValues(void* param) {
  auto* rewriter = static_cast<Rewriter*>(param);
  const DWORD one = 1;
  for (unsigned round = 0; !rewriter->stop; ++round) {
    const std::string name = "A" + std::to_string(round % 8);
    if (round / 8 % 2 == 0) {
      RegSetValueExA(rewriter->key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                     sizeof one);
    } else {
      RegDeleteValueA(rewriter->key, name.c_str());
    }
    if (round % 4 == 0) Sleep(1);
  }
  return 0;
}

// A listing taken while other values come and go either holds every value that
// stayed or is refused; it is never short of one. Refusals are allowed, a listing
// that is always refused is not, and once the changes stop the listing holds.
TEST_F(Win32RegistryTest, ValueNamesUnderConstantChangesIsNeverPartial) {
  auto key = Open();
  ASSERT_NE(key, nullptr);
  std::vector<std::string> steady;
  for (int i = 0; i < 40; ++i) steady.push_back("S" + std::to_string(i));
  for (const auto& name : steady) ASSERT_TRUE(key->SetDword(name, 0));
  steady = Sorted(steady);
  Rewriter rewriter{Raw(), 0};
  const HANDLE thread = CreateThread(nullptr, 0, FlapValues, &rewriter, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  int partial = 0, whole = 0;
  for (int i = 0; i < 100 && partial < 5; ++i) {
    const std::optional<std::vector<std::string>> names = key->ValueNames();
    if (!names) continue;
    ++whole;
    const std::vector<std::string> sorted = Sorted(*names);
    if (!std::includes(sorted.begin(), sorted.end(), steady.begin(), steady.end()) ||
        sorted.size() > steady.size() + 8) {
      ++partial;
      ADD_FAILURE() << "listing " << i << " holds " << names->size() << " names";
    }
  }
  rewriter.stop = 1;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  EXPECT_GT(whole, 0) << "every listing was refused";
  const std::vector<std::string> after = SortedNames(*key);
  EXPECT_TRUE(std::includes(after.begin(), after.end(), steady.begin(), steady.end()));
  EXPECT_LE(after.size(), steady.size() + 8);
}

TEST_F(Win32RegistryTest, KeyDeletedWhileOpenFails) {
  auto key = Open();
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->SetDword("Count", 1));
  ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, kRoot), ERROR_SUCCESS);
  EXPECT_EQ(key->Query("Count").status, RegStatus::Failed);
  EXPECT_FALSE(key->SetDword("Count", 2));
  EXPECT_FALSE(key->SetString("APP0", "x"));
  key->DeleteValue("Count");
  EXPECT_EQ(key->ValueNames(), std::nullopt);
}

}  // namespace
}  // namespace velquin
