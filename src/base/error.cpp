#include "base/error.h"

#include <new>

#include "base/ui.h"

namespace tvk {

WizError::WizError(ErrorInfo info) : std::runtime_error(info.description), info_(std::move(info)) {}

WizError::WizError(long number, std::string source, std::string description)
    : WizError(ErrorInfo{number, std::move(source), std::move(description), {}, 0}) {}

void raise(long number, std::string source, std::string description) {
  throw WizError(number, std::move(source), std::move(description));
}

ErrorInfo currentErrorInfo() {
  try {
    throw;
  } catch (const WizError& e) {
    return e.info();
  } catch (const std::bad_alloc&) {
    return {err::kOutOfMemory, "TVKWizard", "Out of memory", {}, 0};
  } catch (const std::exception& e) {
    return {err::kInternal, "TVKWizard", e.what(), {}, 0};
  } catch (...) {
    return {err::kInternal, "TVKWizard", "Unknown failure", {}, 0};
  }
}

std::string errorReportText(const ErrorInfo& error, std::string_view module, std::string_view procedure) {
  std::string text = "An error has occured.\nError No: ";
  text += std::to_string(error.number);
  text += " - ";
  text += error.description;
  text += "\nSource : TVKWizard.";
  text += module;
  text += '.';
  text += procedure;
  return text;
}

MsgResult gnErrorReport(Ui& ui, std::string_view module, std::string_view procedure, const ErrorInfo& error) {
  return gMsgBox(ui, errorReportText(error, module, procedure), MsgButtons::AbortRetryIgnore, MsgIcon::Exclamation);
}

}  // namespace tvk
