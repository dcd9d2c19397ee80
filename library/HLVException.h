#pragma once
// The library's exception family, rooted at EHException, and the message provider
// that supplies its Japanese default messages.
//
// A member is created through its class reference (HExceptionClass) or HCreate,
// never by a constructor call: the default message belongs to the most derived
// class, which a C++ constructor cannot see, so the factory resolves it once the
// object is complete. A class derived elsewhere inherits the constructors:
//   class EMyError : public EHPermissionError { using EHPermissionError::EHPermissionError; };
//   throw HCreate<EMyError>("", 5);
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>

#include "core/Exception.h"
#include "library/HLVMessageProvider.h"

namespace velquin {

class HExceptionClass;

// The key to the family's constructors; only HExceptionClass makes one.
class HConstruct {
  friend class HExceptionClass;
  HConstruct() = default;
};

class EHException : public Exception {
 public:
  // From message and code: a message that the ordinary trim leaves empty becomes
  // the class's default text; any other stays exactly as given. Level 16.
  EHException(HConstruct, std::string_view iMsg, int32_t iCode);
  // Without arguments: the class's default text, ErrorCode and Level 0.
  explicit EHException(HConstruct);

  int32_t ErrorCode() const { return errorCode_; }
  int32_t Level() const { return level_; }

  // Completes construction: fills in the default message of the object's most
  // derived class when it needs one. The factories call it.
  void Complete(HConstruct);

 private:
  bool needsDefaultMessage_;
  int32_t errorCode_ = 0;
  int32_t level_ = 0;
};

class EHPermissionError : public EHException { public: using EHException::EHException; };
class EHRecordInsertNotAllowed : public EHPermissionError { public: using EHPermissionError::EHPermissionError; };
class EHRecordEditNotAllowed : public EHPermissionError { public: using EHPermissionError::EHPermissionError; };
class EHRecordDeleteNotAllowed : public EHPermissionError { public: using EHPermissionError::EHPermissionError; };
class EHIncompleteCode : public EHException { public: using EHException::EHException; };
class EHThisConstructorIsDisabled : public EHIncompleteCode { public: using EHIncompleteCode::EHIncompleteCode; };
class EHInternalError : public EHException { public: using EHException::EHException; };
class EHRuntimeError : public EHException { public: using EHException::EHException; };
class EHFormNotPermitted : public EHRuntimeError { public: using EHRuntimeError::EHRuntimeError; };

// A class reference of the family: names a member class and creates or raises
// instances of it with either constructor.
class HExceptionClass {
 public:
  template <class T>
    requires std::is_base_of_v<EHException, T>
  static const HExceptionClass& Of() {
    static const HExceptionClass reference(typeid(T), &NewOf<T>, &NewOf0<T>, &RaiseOf<T>,
                                           &RaiseOf0<T>);
    return reference;
  }

  // An instance of exactly class T, complete with its default message.
  template <class T>
    requires std::is_base_of_v<EHException, T>
  static T Make(std::string_view iMsg, int32_t iCode) {
    T e(HConstruct{}, iMsg, iCode);
    e.Complete(HConstruct{});
    return e;
  }
  template <class T>
    requires std::is_base_of_v<EHException, T>
  static T Make() {
    T e{HConstruct{}};
    e.Complete(HConstruct{});
    return e;
  }

  const std::type_info& Type() const { return *type_; }
  operator HClassRef() const { return *type_; }  // NOLINT: a class reference is one
  std::unique_ptr<EHException> Create(std::string_view iMsg, int32_t iCode) const {
    return newWith_(iMsg, iCode);
  }
  std::unique_ptr<EHException> Create() const { return new_(); }
  [[noreturn]] void Raise(std::string_view iMsg, int32_t iCode) const {
    raiseWith_(iMsg, iCode);
    __builtin_unreachable();  // the raiser always throws
  }
  [[noreturn]] void Raise() const {
    raise_();
    __builtin_unreachable();
  }

  friend bool operator==(const HExceptionClass& a, const HExceptionClass& b) {
    return *a.type_ == *b.type_;
  }

 private:
  using NewWith = std::unique_ptr<EHException> (*)(std::string_view, int32_t);
  using New = std::unique_ptr<EHException> (*)();
  using RaiseWith = void (*)(std::string_view, int32_t);
  using RaiseWithout = void (*)();

  HExceptionClass(const std::type_info& type, NewWith newWith, New create, RaiseWith raiseWith,
                  RaiseWithout raise)
      : type_(&type), newWith_(newWith), new_(create), raiseWith_(raiseWith), raise_(raise) {}

  template <class T>
  static std::unique_ptr<EHException> NewOf(std::string_view iMsg, int32_t iCode) {
    auto e = std::make_unique<T>(HConstruct{}, iMsg, iCode);
    e->Complete(HConstruct{});
    return e;
  }
  template <class T>
  static std::unique_ptr<EHException> NewOf0() {
    auto e = std::make_unique<T>(HConstruct{});
    e->Complete(HConstruct{});
    return e;
  }
  template <class T>
  static void RaiseOf(std::string_view iMsg, int32_t iCode) {
    throw Make<T>(iMsg, iCode);
  }
  template <class T>
  static void RaiseOf0() {
    throw Make<T>();
  }

  const std::type_info* type_;
  NewWith newWith_;
  New new_;
  RaiseWith raiseWith_;
  RaiseWithout raise_;
};

// Shorthands: `throw HCreate<EHPermissionError>("", 5);`
template <class T>
T HCreate(std::string_view iMsg, int32_t iCode) {
  return HExceptionClass::Make<T>(iMsg, iCode);
}
template <class T>
T HCreate() {
  return HExceptionClass::Make<T>();
}

// The family's provider: a text per class (by identity, never by inheritance).
class THMessageProvider_HLVException : public THMessageProvider {
 public:
  using THMessageProvider::Message;
  std::string Message(HClassRef iClass, HMsgParams iMsgParams, int32_t iSubID) override;
};

// The provider that the family's constructors ask; made and freed by this unit.
extern THMessageProvider* gExceptionMsgProvider;

// The unit's start and end, run by themselves at static initialisation and
// destruction. The initialisation makes a THMessageProvider_HLVException only when
// gExceptionMsgProvider is empty; the finalisation deletes whatever provider it
// holds then and clears it. Tests may call both.
void HLVExceptionInitialization();
void HLVExceptionFinalization();

}  // namespace velquin
