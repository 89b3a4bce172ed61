#include "host/wizard.h"

#include "base/error.h"
#include "base/general.h"
#include "base/session.h"
#include "base/ui.h"
#include "base/vid_integration.h"
#include "host/wizard_window.h"

namespace tvk {

namespace {

constexpr std::string_view kAlreadyRunning = "You already have an instance\nof TVK Wizard running.";

const ContextValue& parameter(const ContextParams& params, long number) {
  if (number < 0 || static_cast<size_t>(number) >= params.values.size())
    raise(err::kSubscript, "Wizard", "Subscript out of range (context parameter " + std::to_string(number) + ")");
  return params.values[static_cast<size_t>(number)];
}

std::string textParameter(const ContextParams& params, long number) {
  const ContextValue& value = parameter(params, number);
  if (std::holds_alternative<std::monostate>(value)) return {};
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  raise(err::kTypeMismatch, "Wizard", "Type mismatch (context parameter " + std::to_string(number) + ")");
}

std::string withoutBlanks(std::string text) {
  std::erase(text, ' ');
  return text;
}

}  // namespace

Wizard::Wizard(Session& session, std::shared_ptr<WizardWindowFactory> factory)
    : session_(session), factory_(std::move(factory)) {}

WizardWindow& Wizard::window() {
  if (!window_) {
    if (!factory_) raise(err::kObjectNotSet, "Wizard", "The wizard window is not available in this program");
    window_ = factory_->createWindow();
    if (!window_) raise(err::kObjectNotSet, "Wizard", "The wizard window could not be created");
  }
  return *window_;
}

void Wizard::refuseWhileModal() const {
  if (window_ && window_->IsOpen() && window_->IsModal())
    raise(err::kModalFormShown, "Wizard", "Can't show non-modal form when modal form is displayed");
}

void Wizard::IDTWizard_Execute(std::shared_ptr<Application> application, long /*hwndOwner*/,
                               const ContextParams* contextParams, const ContextParams* /*customParams*/,
                               long& retval) {
  Session& context = session_;
  // The trap of this entry tells a second start while a modal wizard window
  // is open (a notice, then the end) from every other failure (the standard
  // report, whose Retry repeats the step and Ignore goes on).
  bool ended = false;
  auto step = [&](auto&& body) {
    while (!ended) {
      try {
        body();
        return;
      } catch (...) {
        ErrorInfo error = currentErrorInfo();
        if (error.number == err::kModalFormShown) {
          gMsgBox(context.ui(), kAlreadyRunning, MsgButtons::OK, MsgIcon::Information);
          ended = true;
          return;
        }
        switch (gnErrorReport(context.ui(), kModule, "IDTWizard_Execute", error)) {
          case MsgResult::Retry:
            continue;
          case MsgResult::Ignore:
            return;
          default:
            ended = true;
            return;
        }
      }
    }
  };

  step([&] {
    context.goApplication = std::move(application);
    context.gbInEnvironment = true;
  });
  step([&] {
    if (!contextParams || contextParams->dimensions != 1)
      raise(err::kTypeMismatch, "Wizard", "Type mismatch (the context is not a one-dimensional array)");
    context.gsProjectName = textParameter(*contextParams, 1);
    context.gsLocalDirectory = gfsNormalisePath(textParameter(*contextParams, 3));
    context.gsItemName = withoutBlanks(textParameter(*contextParams, 4));
  });
  step([&] {
    if (!contextParams) raise(err::kTypeMismatch, "Wizard", "Type mismatch (no context array)");
    const ContextValue& folderValue = parameter(*contextParams, 2);
    const auto* folder = std::get_if<ProjectFolderParam>(&folderValue);
    if (!folder) raise(err::kNoSuchMember, "Wizard", "Object doesn't support this property or method (Folders)");
    std::string relative = gfsNormalisePath(folder->rootFolder);
    context.gsTargetDirectory =
        relative.empty() ? context.gsLocalDirectory : context.gsLocalDirectory + kPathSeparator + relative;
  });
  step([&] { context.goProject = gfoFindProject(context, context.gsProjectName); });
  step([&] {
    refuseWhileModal();
    WizardWindow& shown = window();
    if (shown.IsOpen())
      shown.BringToFront();  // keeps its page and answers; reads the new context
    else
      shown.Show(false);
  });
  step([&] { retval = kWizardResultSuccess; });
  context.goApplication.reset();
}

void Wizard::Execute() {
  ErrorTrap trap{session_.ui(), kModule, "Execute"};
  trap([&] {
    refuseWhileModal();
    window().Show(true);
  });
}

}  // namespace tvk
