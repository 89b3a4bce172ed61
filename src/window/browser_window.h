// The wizard window in the user's browser: owns the window's logic
// (FrmWizard) and its view over the bridge, and runs the wizard thread's
// dispatch loop until the wizard ends or its window has gone for good.
#pragma once

#include <memory>
#include <string>

#include "window/browser_view.h"

namespace tvk {

class Bridge;
class Session;
class SettingsStore;

struct WindowOptions {
  std::string dataDirectory;  // holds TVKWizardFlow.xml and TVKWizardHTML/
  AboutInfo about;
};

class BrowserWindow {
 public:
  // Everything given must outlive the window.
  BrowserWindow(Session& session, Bridge& bridge, SettingsStore& settings, WindowOptions options);
  ~BrowserWindow();
  BrowserWindow(const BrowserWindow&) = delete;
  BrowserWindow& operator=(const BrowserWindow&) = delete;

  // Marks the window open; its first page is shown once a window connects.
  void open();
  // Loads the window, then runs every button press and page event until the
  // user cancels or exits, or the bridge ends. On the wizard thread.
  void run();
  bool isOpen() const;
  // Asks the browser to bring the window to the front (a second start).
  void bringToFront();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tvk
