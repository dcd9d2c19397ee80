#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "library/HLVException.h"
#include "library/HLVGeneralRoutines.h"
#include "library/HLVGlobalVars.h"

namespace velquin {

// Classes derived outside the library's own units.
class EOutsidePermission : public EHPermissionError {
 public:
  using EHPermissionError::EHPermissionError;
};

namespace {

using ::testing::AllOf;
using ::testing::Property;
using ::testing::Throws;

const std::string kUndefined = "プログラムの実行中に未定義のエラーが発生しました。";

// Counts its instances, to see what HExceptionMsg destroys.
class CountedError : public Exception {
 public:
  static inline int alive = 0;
  CountedError() : Exception("counted") { ++alive; }
  CountedError(const CountedError& other) : Exception(other) { ++alive; }
  ~CountedError() override { --alive; }
};

// A report object that records what it was given.
class RecordingReport : public THReportObject {
 public:
  struct Seen {
    int32_t level;
    std::string text;
    int32_t option;
    uint8_t flag;
    int32_t extra;
    std::string message;
  };
  std::vector<Seen>* seen;
  int32_t answer = 7;
  bool failInShow = false;

  explicit RecordingReport(std::vector<Seen>* log) : seen(log) {}
  std::string DefaultText() override { return "既定の文"; }
  int32_t ShowReport(const std::exception* iException) override {
    if (failInShow) throw Exception("report failed");
    seen->push_back({Level, Text, Option, Flag, Extra, iException ? iException->what() : ""});
    return answer;
  }
};

// Installs a report object for one test; the library deletes it at the end.
class WithReportObject : public ::testing::Test {
 protected:
  void SetUp() override {
    report_ = new RecordingReport(&seen_);
    gMPObject = report_;
  }
  void TearDown() override { HLVGlobalVarsFinalization(); }
  std::vector<RecordingReport::Seen> seen_;
  RecordingReport* report_ = nullptr;
};

template <class T>
std::string DefaultOf() {
  return HCreate<T>().Message();
}

TEST(EHException, EachClassHasItsOwnDefaultText) {
  EXPECT_EQ(DefaultOf<EHException>(), kUndefined);
  EXPECT_EQ(DefaultOf<EHPermissionError>(), "この操作は認可されていません。");
  EXPECT_EQ(DefaultOf<EHRecordInsertNotAllowed>(), "レコードの追加操作は認可されていません。");
  EXPECT_EQ(DefaultOf<EHRecordEditNotAllowed>(), "レコードの編集操作は認可されていません。");
  EXPECT_EQ(DefaultOf<EHRecordDeleteNotAllowed>(), "レコードの削除操作は認可されていません。");
  EXPECT_EQ(DefaultOf<EHIncompleteCode>(), "クラスの実装が不完全です");
  EXPECT_EQ(DefaultOf<EHThisConstructorIsDisabled>(),
            "このコンストラクタの呼び出しは禁止されています。");
  EXPECT_EQ(DefaultOf<EHInternalError>(), "内部エラーです");
  EXPECT_EQ(DefaultOf<EHRuntimeError>(), kUndefined);
  EXPECT_EQ(DefaultOf<EHFormNotPermitted>(), "この画面の利用は許可されていません。");
  // Looked up by identity: a descendant from elsewhere does not inherit its base's text.
  EXPECT_EQ(DefaultOf<EOutsidePermission>(), kUndefined);
}

TEST(EHException, ConstructorFromMessageAndCode) {
  const auto e = HCreate<EHPermissionError>("", 5);
  EXPECT_EQ(e.Message(), "この操作は認可されていません。");
  EXPECT_EQ(e.ErrorCode(), 5);
  EXPECT_EQ(e.Level(), 16);

  const auto blanks = HCreate<EHPermissionError>(" \t\r\n\x01", -3);
  EXPECT_EQ(blanks.Message(), "この操作は認可されていません。");
  EXPECT_EQ(blanks.ErrorCode(), -3);

  // Only the ordinary trim decides: a full-width space is a message.
  EXPECT_EQ(HCreate<EHPermissionError>("\x81\x40", 0).Message(), "\x81\x40");
  EXPECT_EQ(HCreate<EHException>("  text \t", 0).Message(), "  text \t");
}

TEST(EHException, ConstructorWithoutArguments) {
  const auto e = HCreate<EHFormNotPermitted>();
  EXPECT_EQ(e.Message(), "この画面の利用は許可されていません。");
  EXPECT_EQ(e.ErrorCode(), 0);
  EXPECT_EQ(e.Level(), 0);
}

TEST(HExceptionClass, CreatesAndRaisesTheClassItNames) {
  const HExceptionClass& ref = HExceptionClass::Of<EHRecordDeleteNotAllowed>();
  const auto withArgs = ref.Create("", 9);
  const EHException& created = *withArgs;
  EXPECT_TRUE(typeid(created) == typeid(EHRecordDeleteNotAllowed));
  EXPECT_EQ(withArgs->Message(), "レコードの削除操作は認可されていません。");
  EXPECT_EQ(withArgs->ErrorCode(), 9);
  EXPECT_EQ(withArgs->Level(), 16);

  const auto bare = HExceptionClass::Of<EOutsidePermission>().Create();
  EXPECT_NE(dynamic_cast<EHPermissionError*>(bare.get()), nullptr);
  EXPECT_EQ(bare->Message(), kUndefined);
  EXPECT_EQ(bare->Level(), 0);

  EXPECT_THAT([&] { ref.Raise("消せません", 2); },
              Throws<EHRecordDeleteNotAllowed>(AllOf(Property(&EHException::Message, "消せません"),
                                                     Property(&EHException::ErrorCode, 2))));
  EXPECT_THROW(HExceptionClass::Of<EHInternalError>().Raise(), EHInternalError);
}

TEST(THMessageProvider_HLVException, SubIdentifiersAndTheObjectForm) {
  THMessageProvider_HLVException provider;
  const HClassRef incomplete = typeid(EHIncompleteCode);
  EXPECT_EQ(provider.Message(incomplete, {}, 0), "クラスの実装が不完全です");
  EXPECT_EQ(provider.Message(incomplete, {}, 1), "クラス %s メソッド %s の実装が不完全です。");
  EXPECT_EQ(provider.Message(incomplete, {}, 2), "");
  EXPECT_EQ(provider.Message(incomplete, {}, -1), "");
  // Other classes ignore the sub-identifier and the parameters.
  const std::vector<std::string> params = {"a", "b"};
  EXPECT_EQ(provider.Message(HClassRef(typeid(EHInternalError)), params, 42), "内部エラーです");
  EXPECT_EQ(provider.Message(HClassRef(typeid(std::string)), {}, 0), kUndefined);
  EXPECT_EQ(provider.Message(HExceptionClass::Of<EHInternalError>(), {}, 0), "内部エラーです");

  const auto edit = HCreate<EHRecordEditNotAllowed>("別の文", 0);
  const EHException& asBase = edit;
  EXPECT_EQ(provider.Message(asBase, {}, 0), "レコードの編集操作は認可されていません。");
  EXPECT_EQ(provider.Message(HObjectRef(std::string("x")), {}, 0), kUndefined);
  // Given by pointer, the object's own class counts, not the pointer's type.
  const EHException* pointer = &edit;
  EXPECT_EQ(provider.Message(pointer, {}, 0), "レコードの編集操作は認可されていません。");
  EXPECT_THROW(HObjectRef(static_cast<const EHException*>(nullptr)), std::invalid_argument);

  EXPECT_EQ(provider.LanguageCode(), "JP");
  EXPECT_EQ(provider.LanguageName(), "日本語");
  THMessageProvider base;
  EXPECT_EQ(base.LanguageCode(), "JP");
  EXPECT_EQ(base.LanguageName(), "日本語");
}

TEST(THMessageProvider, UnimplementedLookupsFailWithoutAReportObject) {
  ASSERT_EQ(gMPObject, nullptr);
  THMessageProvider base;
  const std::string noReport =
      "HExceptionMsg 関数の動作に必要な gMPObject のインスタンスが初期化されていません";
  const auto expectNoReport = [&](auto call) {
    EXPECT_THAT(call, Throws<EHIncompleteCode>(AllOf(Property(&EHException::Message, noReport),
                                                     Property(&EHException::Level, 16),
                                                     Property(&EHException::ErrorCode, 0))));
  };
  expectNoReport([&] { base.Message(); });
  expectNoReport([&] { base.Message(HCreate<EHException>(), {}, 0); });  // via the class form
  THMessageProvider_HLVException family;
  expectNoReport([&] { family.Message(HMsgParams{}); });
}

TEST_F(WithReportObject, UnimplementedLookupIsReportedAndGivesEmptyText) {
  THMessageProvider_HLVException family;
  const std::vector<std::string> params = {"p"};
  EXPECT_EQ(family.Message(params), "");
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_EQ(seen_[0].message,
            "THMessageProvider_HLVException クラスで未実装のメソッド Message(iMsgParams) "
            "が呼び出されました");
  EXPECT_EQ(seen_[0].level, 16);
  EXPECT_EQ(seen_[0].text, "既定の文");
  EXPECT_EQ(seen_[0].option, -1);
  EXPECT_EQ(seen_[0].flag, 0);
  EXPECT_EQ(seen_[0].extra, 0);

  THMessageProvider base;
  EXPECT_EQ(base.Message(int64_t{3}, {}), "");
  ASSERT_EQ(seen_.size(), 2u);
  EXPECT_EQ(seen_[1].message,
            "THMessageProvider クラスで未実装のメソッド Message(iMsgID, iMsgParams) が呼び出されました");
}

TEST_F(WithReportObject, PassesLevelTextAndValuesAndReturnsTheAnswer) {
  struct Row {
    std::unique_ptr<std::exception> exception;
    const char* message;
    int32_t level;
    const char* text;
  };
  Row rows[] = {
      {std::make_unique<EHInternalError>(HCreate<EHInternalError>("x", 1)), "表示文", 16, "表示文"},
      {std::make_unique<EHInternalError>(HCreate<EHInternalError>()), "", 0, "既定の文"},
      {std::make_unique<CountedError>(), " \x81\x40\t", 16, "既定の文"},  // blank counts full-width spaces
      {std::make_unique<CountedError>(), " a ", 16, " a "},
  };
  for (Row& row : rows) {
    seen_.clear();
    EXPECT_EQ(HExceptionMsg(std::move(row.exception), 3, 200, -4, 99, row.message), 7);
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_EQ(seen_[0].level, row.level);
    EXPECT_EQ(seen_[0].text, row.text);
    EXPECT_EQ(seen_[0].option, 3);
    EXPECT_EQ(seen_[0].flag, 200);
    EXPECT_EQ(seen_[0].extra, -4);
  }
  EXPECT_EQ(CountedError::alive, 0);
}

TEST_F(WithReportObject, DestroysWhatIsHandedOverAndLeavesWhatIsLent) {
  // A fresh object is destroyed, also when the report fails.
  HExceptionMsg(std::make_unique<CountedError>(), 0, 0, 0, 0, "x");
  EXPECT_EQ(CountedError::alive, 0);
  report_->failInShow = true;
  EXPECT_THROW(HExceptionMsg(std::make_unique<CountedError>(), 0, 0, 0, 0, "x"), Exception);
  EXPECT_EQ(CountedError::alive, 0);
  report_->failInShow = false;

  // Lent exceptions live on, however the caller holds them: the one being
  // handled, one caught by value, an outer one while an inner one is handled,
  // one held in an exception_ptr.
  try {
    throw CountedError();
  } catch (CountedError& caught) {
    HExceptionMsg(caught, 0, 0, 0, 0, "");
    EXPECT_EQ(CountedError::alive, 1);
    HExceptionMsg(std::make_unique<CountedError>(), 0, 0, 0, 0, "");  // handed over meanwhile
    EXPECT_EQ(CountedError::alive, 1);
  }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcatch-value"
  try {
    throw CountedError();
  } catch (CountedError byValue) {  // a copy, on purpose
    HExceptionMsg(byValue, 0, 0, 0, 0, "");
    EXPECT_STREQ(byValue.what(), "counted");
  }
#pragma GCC diagnostic pop
  try {
    throw CountedError();
  } catch (CountedError& outer) {
    try {
      throw std::runtime_error("inner");
    } catch (const std::exception&) {
      HExceptionMsg(outer, 0, 0, 0, 0, "");
      EXPECT_STREQ(outer.what(), "counted");
    }
  }
  std::exception_ptr held;
  try {
    throw CountedError();
  } catch (...) {
    held = std::current_exception();
  }
  try {
    std::rethrow_exception(held);
  } catch (const CountedError& again) {
    HExceptionMsg(again, 0, 0, 0, 0, "");
  }
  EXPECT_EQ(seen_.size(), 6u);
  held = nullptr;
  EXPECT_EQ(CountedError::alive, 0);

  try {
    HExceptionClass::Of<EHPermissionError>().Raise("", 1);
  } catch (EHException& caught) {
    HExceptionMsg(caught, 0, 0, 0, 0, "");
    EXPECT_EQ(caught.Message(), "この操作は認可されていません。");  // still alive and intact
    EXPECT_EQ(seen_.back().level, 16);
  }
}

TEST(HExceptionMsg, WithoutReportObjectFailsAndStillDestroys) {
  ASSERT_EQ(gMPObject, nullptr);
  EXPECT_THROW(HExceptionMsg(std::make_unique<CountedError>(), 0, 0, 0, 5, ""), EHIncompleteCode);
  EXPECT_EQ(CountedError::alive, 0);
  try {
    throw CountedError();
  } catch (CountedError& caught) {
    EXPECT_THROW(HExceptionMsg(caught, 0, 0, 0, 5, ""), EHIncompleteCode);
    EXPECT_EQ(CountedError::alive, 1);
  }
  EXPECT_EQ(CountedError::alive, 0);
  EXPECT_THROW(HExceptionMsg(nullptr, 0, 0, 0, 5, ""), EHIncompleteCode);
}

TEST(HLVExceptionUnit, InitialisationKeepsAnEarlierProviderAndFinalisationFreesIt) {
  ASSERT_NE(gExceptionMsgProvider, nullptr);  // made at start-up
  class Custom : public THMessageProvider_HLVException {
   public:
    using THMessageProvider::Message;
    std::string Message(HClassRef, HMsgParams, int32_t) override { return "独自"; }
  };
  HLVExceptionFinalization();
  EXPECT_EQ(gExceptionMsgProvider, nullptr);
  // No provider: a blank message still gets a text.
  EXPECT_EQ(HCreate<EHPermissionError>().Message(), kUndefined);

  gExceptionMsgProvider = new Custom;
  HLVExceptionInitialization();
  EXPECT_EQ(HCreate<EHPermissionError>().Message(), "独自");
  EXPECT_EQ(HCreate<EHPermissionError>("mine", 0).Message(), "mine");
  HLVExceptionFinalization();

  HLVExceptionInitialization();
  ASSERT_NE(gExceptionMsgProvider, nullptr);
  EXPECT_NE(dynamic_cast<THMessageProvider_HLVException*>(gExceptionMsgProvider), nullptr);
  EXPECT_EQ(HCreate<EHPermissionError>().Message(), "この操作は認可されていません。");
}

TEST(HLVGlobalVarsUnit, FinalisationDeletesTheReportObject) {
  std::vector<RecordingReport::Seen> seen;
  gMPObject = new RecordingReport(&seen);
  HLVGlobalVarsFinalization();  // ASan reports a leak if it does not delete
  EXPECT_EQ(gMPObject, nullptr);
}

}  // namespace
}  // namespace velquin
