// The error model of the wizard.
//
// A failure is a WizError carrying what the user sees in the standard error
// report: a number, a source and a description (plus help file and context,
// kept so that routines which pass failures on do so unchanged).
//
// Procedures that trap their own failures use ErrorTrap: each step runs under
// the trap; on failure the standard report asks Abort / Retry / Ignore.
// Retry runs the step again, Ignore goes on with the next step, Abort makes
// the trap return false so that the procedure returns its default result.
//
//   std::string XMLWizData::GetSubNodeText(...) {
//     ErrorTrap trap{ui(), "XMLWizData", "GetSubNodeText"};
//     std::string text;
//     if (!trap([&] { text = ...; })) return {};
//     return text;
//   }
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace tvk {

struct ErrorInfo {
  long number = 0;
  std::string source;
  std::string description;
  std::string helpFile;
  long helpContext = 0;
};

// Error numbers used across the system. They follow the numbering of the
// VBScript and ADO runtime that the generated pages run on, which the
// wizard's users read in its reports.
namespace err {
inline constexpr long kInvalidCall = 5;  // invalid procedure call or argument
inline constexpr long kOverflow = 6;
inline constexpr long kOutOfMemory = 7;
inline constexpr long kSubscript = 9;
inline constexpr long kTypeMismatch = 13;
inline constexpr long kInternal = 51;
inline constexpr long kBadFileName = 52;
inline constexpr long kFileNotFound = 53;
inline constexpr long kFileAlreadyOpen = 55;
inline constexpr long kDeviceIO = 57;
inline constexpr long kFileExists = 58;
inline constexpr long kDiskFull = 61;
inline constexpr long kPermissionDenied = 70;
inline constexpr long kPathFileAccess = 75;
inline constexpr long kPathNotFound = 76;
inline constexpr long kObjectNotSet = 91;
inline constexpr long kModalFormShown = 401;
inline constexpr long kNoSuchMember = 438;
inline constexpr long kXml = 1000;       // XML parse, XPath or XSLT failure
inline constexpr long kManifest = 1001;  // web project manifest unusable
inline constexpr long kDatabase = 3001;  // data access layer, when no driver number
}  // namespace err

class WizError : public std::runtime_error {
 public:
  explicit WizError(ErrorInfo info);
  WizError(long number, std::string source, std::string description);
  const ErrorInfo& info() const noexcept { return info_; }
  long number() const noexcept { return info_.number; }
  const std::string& source() const noexcept { return info_.source; }
  const std::string& description() const noexcept { return info_.description; }

 private:
  ErrorInfo info_;
};

[[noreturn]] void raise(long number, std::string source, std::string description);

// Turns any exception in flight into the error information it carries. Call
// only inside a catch block.
ErrorInfo currentErrorInfo();

// The button values of a message box, as the rest of the system compares them.
enum class MsgResult { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// The text of the standard error report (no title, no buttons).
std::string errorReportText(const ErrorInfo& error, std::string_view module, std::string_view procedure);

// The standard error report: shows the message box (exclamation icon, Abort /
// Retry / Ignore, title "TVK Wizard") through the wizard's user interface and
// returns the button chosen.
class Ui;
MsgResult gnErrorReport(Ui& ui, std::string_view module, std::string_view procedure, const ErrorInfo& error);

class ErrorTrap {
 public:
  ErrorTrap(Ui& ui, std::string_view module, std::string_view procedure)
      : ui_(&ui), module_(module), procedure_(procedure) {}

  // Runs one step. True when it completed or the user chose Ignore; false
  // after Abort (the procedure then returns its default result).
  template <class Step>
  bool operator()(Step&& step) {
    if (aborted_) return false;
    for (;;) {
      try {
        std::forward<Step>(step)();
        return true;
      } catch (...) {
        switch (gnErrorReport(*ui_, module_, procedure_, currentErrorInfo())) {
          case MsgResult::Retry:
            continue;
          case MsgResult::Ignore:
            return true;
          default:
            aborted_ = true;
            return false;
        }
      }
    }
  }

  bool aborted() const noexcept { return aborted_; }

 private:
  Ui* ui_;
  std::string_view module_;
  std::string_view procedure_;
  bool aborted_ = false;
};

// For routines that clear any failure and return their empty result.
template <class Result, class Body>
Result orEmpty(Body&& body) {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return Result{};
  }
}

}  // namespace tvk
