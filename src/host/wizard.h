// The wizard's entry points: the environment's IDTWizard_Execute, which
// records the wizard context and shows the window without blocking, and the
// stand-alone Execute, which shows it modally.
#pragma once

#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace tvk {

struct Application;
class Session;
class WizardWindow;
class WizardWindowFactory;

// Context parameter 2: the project folder item in which the wizard was
// started; its Folders.RootFolder text names it relative to the project.
struct ProjectFolderParam {
  std::string rootFolder;
};

using ContextValue = std::variant<std::monostate, std::string, ProjectFolderParam>;

// The environment's context array: one-dimensional, indexed from its lower
// bound (parameter N is the element N places above the lower bound).
struct ContextParams {
  long lowerBound = 0;
  int dimensions = 1;
  std::vector<ContextValue> values;
};

// The environment's "success" wizard result.
inline constexpr long kWizardResultSuccess = -1;

// The entry points of one session. The window is made by `factory` on
// first use and is the one window of the session.
class Wizard {
 public:
  static constexpr std::string_view kModule = "Wizard";

  Wizard(Session& session, std::shared_ptr<WizardWindowFactory> factory);

  void IDTWizard_Execute(std::shared_ptr<Application> application, long hwndOwner, const ContextParams* contextParams,
                         const ContextParams* customParams, long& retval);
  void Execute();

 private:
  WizardWindow& window();
  void refuseWhileModal() const;

  Session& session_;
  std::shared_ptr<WizardWindowFactory> factory_;
  std::shared_ptr<WizardWindow> window_;
};

}  // namespace tvk
