#pragma once
// The library's globals: the report object that HExceptionMsg hands exceptions to.
#include <cstdint>
#include <exception>
#include <string>

namespace velquin {

// What the library requires of a report object. The host derives its own class,
// decides what ShowReport presents and what the values mean to it, and stores an
// instance in gMPObject before the first report.
class THReportObject {
 public:
  virtual ~THReportObject() = default;

  int32_t Level = 0;     // the exception's Level, or 16 outside the library's family
  std::string Text;      // the message to report
  int32_t Option = 0;
  uint8_t Flag = 0;
  int32_t Extra = 0;

  // The text to report when HExceptionMsg is given a blank message.
  virtual std::string DefaultText() = 0;
  // Presents the report of `iException` (nullptr when none was given); the answer
  // is HExceptionMsg's result.
  virtual int32_t ShowReport(const std::exception* iException) = 0;
};

// The report object; empty at start. Once the host has stored an object here, the
// library owns it and deletes it at exit (HLVGlobalVarsFinalization).
extern THReportObject* gMPObject;

// The unit's start and end. Both run by themselves: the initialisation before the
// exception unit's (which asks for it first), the finalisation after it, at static
// destruction. Calling the initialisation again does nothing; the finalisation
// deletes the report object and clears gMPObject, and may be called by tests.
void HLVGlobalVarsInitialization();
void HLVGlobalVarsFinalization();

}  // namespace velquin
