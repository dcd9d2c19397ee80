#include "library/HLVMessageProvider.h"

#if __has_include(<cxxabi.h>)
#include <cxxabi.h>
#endif
#include <cstdlib>
#include <memory>

#include "library/HLVGeneralRoutines.h"

namespace velquin {

std::string HClassName(const std::type_info& type) {
  std::string name = type.name();
#if __has_include(<cxxabi.h>)
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
  if (status == 0 && demangled) name = demangled.get();
#endif
  // Drop the namespaces ("velquin::THMessageProvider"), not template arguments.
  const size_t open = name.find('<');
  const size_t colons = name.rfind("::", open);
  if (colons != std::string::npos) name.erase(0, colons + 2);
  return name;
}

std::string THMessageProvider::Message() {
  ReportUnimplementedMethod(*this, "Message");
  return {};
}

std::string THMessageProvider::Message(HMsgParams) {
  ReportUnimplementedMethod(*this, "Message(iMsgParams)");
  return {};
}

std::string THMessageProvider::Message(HClassRef, HMsgParams, int32_t) {
  ReportUnimplementedMethod(*this, "Message(iClass, iMsgParams, iSubID)");
  return {};
}

std::string THMessageProvider::Message(HObjectRef iObject, HMsgParams iMsgParams, int32_t iSubID) {
  return Message(iObject.Class(), iMsgParams, iSubID);
}

std::string THMessageProvider::Message(int64_t, HMsgParams) {
  ReportUnimplementedMethod(*this, "Message(iMsgID, iMsgParams)");
  return {};
}

std::string THMessageProvider::LanguageCode() { return "JP"; }

std::string THMessageProvider::LanguageName() { return "日本語"; }

}  // namespace velquin
