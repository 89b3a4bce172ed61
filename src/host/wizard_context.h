// The wizard context: the process-wide values that the entry point records and
// the window, the file routines and the project integration read. It is the
// only mutable state of the process; tests replace it with ScopedWizardContext.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tvk {

class Ui;
class WebProject;
class WizardWindow;

// The development environment's application object: the web projects loaded.
struct Application {
  std::vector<std::shared_ptr<WebProject>> projects;
};

// Creates the wizard window on first use. The browser bridge installs one;
// without it the wizard cannot show its window.
class WizardWindowFactory {
 public:
  virtual ~WizardWindowFactory() = default;
  virtual std::shared_ptr<WizardWindow> createWindow() = 0;
};

struct WizardContext {
  std::shared_ptr<Application> goApplication;
  bool gbInEnvironment = false;
  std::string gsProjectName;
  std::string gsLocalDirectory;
  std::string gsItemName;
  std::string gsTargetDirectory;
  std::shared_ptr<WebProject> goProject;

  // The one wizard window of the process, created on first use.
  std::shared_ptr<WizardWindow> window;
  std::shared_ptr<WizardWindowFactory> windowFactory;

  // Where messages and dialogs go; the console when none is set.
  std::shared_ptr<Ui> ui;
};

WizardContext& wizardContext();

// The user interface of the context (a console one is made on first use).
Ui& wizardUi();

// Swaps in a fresh context for the lifetime of the object (tests, and
// commands that run one wizard each) and restores the previous one after.
class ScopedWizardContext {
 public:
  ScopedWizardContext();
  explicit ScopedWizardContext(std::shared_ptr<Ui> ui);
  ~ScopedWizardContext();
  ScopedWizardContext(const ScopedWizardContext&) = delete;
  ScopedWizardContext& operator=(const ScopedWizardContext&) = delete;

  WizardContext& operator*() { return wizardContext(); }
  WizardContext* operator->() { return &wizardContext(); }

 private:
  std::unique_ptr<WizardContext> saved_;
};

}  // namespace tvk
