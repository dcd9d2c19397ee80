#pragma once
// Message providers: objects that map a class (and a sub-identifier) to a text.
#include <cstdint>
#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <typeinfo>

namespace velquin {

// A class reference: names a class, compared by identity.
class HClassRef {
 public:
  HClassRef(const std::type_info& type) : type_(&type) {}  // NOLINT: implicit by design
  const std::type_info& Type() const { return *type_; }
  friend bool operator==(HClassRef a, HClassRef b) { return *a.type_ == *b.type_; }

 private:
  const std::type_info* type_;
};

// The class of an object: its most derived class when the object is polymorphic,
// also when it is given by pointer (the class of the object pointed to, never
// that of the pointer).
class HObjectRef {
 public:
  // Not for what already names a class (a type_info, a class reference).
  template <class T>
    requires(!std::is_convertible_v<const T&, HClassRef> && !std::is_pointer_v<T> &&
             !std::is_null_pointer_v<T>)
  HObjectRef(const T& object) : type_(&typeid(object)) {}  // NOLINT: implicit by design
  // A null pointer names no object: std::invalid_argument.
  template <class T>
  HObjectRef(const T* object) : type_(&typeid(*NotNull(object))) {}  // NOLINT: implicit by design
  HObjectRef(std::nullptr_t) = delete;
  HClassRef Class() const { return *type_; }

 private:
  template <class T>
  static const T* NotNull(const T* object) {
    if (object == nullptr) throw std::invalid_argument("HObjectRef: null object");
    return object;
  }
  const std::type_info* type_;
};

// The name of a class as its source spells it, without namespaces.
std::string HClassName(const std::type_info& type);

using HMsgParams = std::span<const std::string>;

// The provider base. Its lookups report themselves as unimplemented (through
// ReportUnimplementedMethod, which fails while no report object is installed) and
// return the empty text, except the object form, which asks the class form for the
// object's class, and the language, which is Japanese.
class THMessageProvider {
 public:
  virtual ~THMessageProvider() = default;

  virtual std::string Message();
  virtual std::string Message(HMsgParams iMsgParams);
  virtual std::string Message(HClassRef iClass, HMsgParams iMsgParams, int32_t iSubID);
  virtual std::string Message(HObjectRef iObject, HMsgParams iMsgParams, int32_t iSubID);
  virtual std::string Message(int64_t iMsgID, HMsgParams iMsgParams);
  virtual std::string LanguageCode();
  virtual std::string LanguageName();
};

}  // namespace velquin
