#include "library/HLVException.h"

#include "library/HLVGlobalVars.h"
#include "library/HLVTextRoutines.h"

namespace velquin {
namespace {

constexpr const char* kUndefinedError = "プログラムの実行中に未定義のエラーが発生しました。";

std::string DefaultMessage(const std::type_info& type) {
  // Before the unit's initialisation or after its finalisation there is no
  // provider; the general text is still better than a blank message.
  if (gExceptionMsgProvider == nullptr) return kUndefinedError;
  return gExceptionMsgProvider->Message(HClassRef(type), {}, 0);
}

}  // namespace

THMessageProvider* gExceptionMsgProvider = nullptr;

EHException::EHException(HConstruct, std::string_view iMsg, int32_t iCode)
    : Exception(std::string(iMsg)),
      needsDefaultMessage_(Trim(iMsg).empty()),
      errorCode_(iCode),
      level_(16) {}

EHException::EHException(HConstruct) : Exception(std::string()), needsDefaultMessage_(true) {}

void EHException::Complete(HConstruct) {
  if (!needsDefaultMessage_) return;
  needsDefaultMessage_ = false;
  SetMessage(DefaultMessage(typeid(*this)));
}

std::string THMessageProvider_HLVException::Message(HClassRef iClass, HMsgParams, int32_t iSubID) {
  const std::type_info& c = iClass.Type();
  if (c == typeid(EHFormNotPermitted)) return "この画面の利用は許可されていません。";
  if (c == typeid(EHPermissionError)) return "この操作は認可されていません。";
  if (c == typeid(EHRecordInsertNotAllowed)) return "レコードの追加操作は認可されていません。";
  if (c == typeid(EHRecordEditNotAllowed)) return "レコードの編集操作は認可されていません。";
  if (c == typeid(EHRecordDeleteNotAllowed)) return "レコードの削除操作は認可されていません。";
  if (c == typeid(EHThisConstructorIsDisabled)) {
    return "このコンストラクタの呼び出しは禁止されています。";
  }
  if (c == typeid(EHIncompleteCode)) {
    if (iSubID == 0) return "クラスの実装が不完全です";
    if (iSubID == 1) return "クラス %s メソッド %s の実装が不完全です。";
    return {};
  }
  if (c == typeid(EHInternalError)) return "内部エラーです";
  return kUndefinedError;
}

void HLVExceptionInitialization() {
  if (gExceptionMsgProvider == nullptr) gExceptionMsgProvider = new THMessageProvider_HLVException;
}

void HLVExceptionFinalization() {
  THMessageProvider* provider = gExceptionMsgProvider;
  gExceptionMsgProvider = nullptr;
  delete provider;
}

namespace {

// The globals unit starts first, so it ends after this one.
struct ExceptionUnit {
  ExceptionUnit() {
    HLVGlobalVarsInitialization();
    HLVExceptionInitialization();
  }
  ~ExceptionUnit() { HLVExceptionFinalization(); }
};

const ExceptionUnit g_unit;

}  // namespace

}  // namespace velquin
