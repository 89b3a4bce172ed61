// The wizard window as the entry point sees it. The browser bridge provides
// the real one; the entry point only shows it, asks whether it is open (and
// modal), and brings it to the front.
#pragma once

#include <memory>

namespace tvk {

class WizardWindow {
 public:
  virtual ~WizardWindow() = default;
  // Shows the window. Modal: returns when the window has closed. Not modal:
  // returns at once while the window stays open.
  virtual void Show(bool modal) = 0;
  virtual bool IsOpen() const = 0;
  virtual bool IsModal() const = 0;
  virtual void BringToFront() = 0;
};

// Creates the wizard window on first use. The browser bridge installs one;
// without it the wizard cannot show its window.
class WizardWindowFactory {
 public:
  virtual ~WizardWindowFactory() = default;
  virtual std::shared_ptr<WizardWindow> createWindow() = 0;
};

}  // namespace tvk
