#include "window/browser_window.h"

#include <atomic>
#include <deque>
#include <nlohmann/json.hpp>
#include <optional>

#include "base/error.h"
#include "base/session.h"
#include "window/bridge.h"
#include "window/protocol.h"
#include "wizard/frm_wizard.h"

namespace tvk {

using nlohmann::json;

namespace {
constexpr std::string_view kModule = "BrowserWindow";
}  // namespace

struct BrowserWindow::Impl {
  Impl(Session& session_, Bridge& bridge_, SettingsStore& settings, WindowOptions options)
      : session(session_),
        bridge(bridge_),
        view(bridge_, options.dataDirectory, std::move(options.about)),
        wizard(session_, view, settings, options.dataDirectory) {
    bridge.setEventHandler([this](const json& message) { onEvent(message); });
    bridge.setConnectionHandler([this] { onConnected(); });
  }

  ~Impl() {
    bridge.setEventHandler({});
    bridge.setConnectionHandler({});
  }

  void onEvent(const json& message) {
    idlePending = true;
    ++eventDepth;
    struct Leave {
      int& depth;
      ~Leave() { --depth; }
    } leave{eventDepth};
    // A page that sends something else gets nothing done, and no error box.
    auto field = message.find("event");
    const std::string event = field != message.end() && field->is_string() ? field->get<std::string>() : "";
    if (event == "button") {
      if (auto count = message.find("press"); count != message.end() && count->is_number_integer())
        lastPress = count->get<long long>();
      if (auto name = message.find("button"); name != message.end() && name->is_string())
        if (std::optional<WizardButton> button = buttonFromName(name->get<std::string>())) {
          // A press that arrives while a page event's handler waits for the
          // page runs after that handler, not inside it: Next must not store
          // a page that a handler is still filling.
          if (eventDepth > 1 && !inButton)
            deferredPresses.push_back(*button);
          else
            press(*button);
        }
    } else if (event == "element") {
      auto handle = message.find("handle");
      auto type = message.find("type");
      if (handle != message.end() && handle->is_string() && type != message.end() && type->is_string())
        view.bridgeDocument().dispatchEvent(handle->get<std::string>(), type->get<std::string>());
    }
  }

  void press(WizardButton button) {
    // The page blocks input from a press until the idle message; a press
    // that still comes (sent before a state change arrived, or while another
    // press is handled) finds the button as the logic left it.
    if (inButton || !view.isEnabled(button) || !view.isVisible(button)) return;
    inButton = true;
    struct Reset {
      bool& flag;
      ~Reset() { flag = false; }
    } reset{inButton};
    switch (button) {
      case WizardButton::Back:
        wizard.cmdBack_Click();
        break;
      case WizardButton::Next:
        wizard.cmdNext_Click();
        break;
      case WizardButton::Finish:
        wizard.cmdFinish_Click();
        break;
      case WizardButton::Exit:
        wizard.cmdExit_Click();
        break;
      case WizardButton::Cancel:
        wizard.cmdCancel_Click();
        break;
      case WizardButton::About:
        wizard.cmdAbout_Click();
        break;
    }
  }

  void onConnected() {
    idlePending = true;
    lastPress = 0;  // the page counts its presses afresh per connection
    // A new window knows nothing: it gets the state, and the page shown is
    // loaded again (its loader fills it from the answers stored so far).
    view.sendState();
    ErrorTrap trap{session.ui(), kModule, "WindowConnected"};
    trap([&] { view.sendPages(); });
    trap([&] { view.reshow(); });
  }

  Session& session;
  Bridge& bridge;
  BrowserView view;
  FrmWizard wizard;
  std::atomic<bool> isOpen{false};
  bool inButton = false;
  bool idlePending = false;
  int eventDepth = 0;  // page events being handled, nested by the calls they make
  std::deque<WizardButton> deferredPresses;
  // The last press the page numbered; the idle message names it, so that
  // the page does not take an idle sent before it for the end of a press.
  long long lastPress = 0;
};

BrowserWindow::BrowserWindow(Session& session, Bridge& bridge, SettingsStore& settings, WindowOptions options)
    : impl_(std::make_unique<Impl>(session, bridge, settings, std::move(options))) {}

BrowserWindow::~BrowserWindow() = default;

void BrowserWindow::open() { impl_->isOpen = true; }

bool BrowserWindow::isOpen() const { return impl_->isOpen; }

void BrowserWindow::bringToFront() { impl_->bridge.post(json{{"op", "focus"}}); }

void BrowserWindow::run() {
  Impl& self = *impl_;
  self.isOpen = true;
  struct Closed {
    std::atomic<bool>& flag;
    ~Closed() { flag = false; }
  } closed{self.isOpen};
  Bridge& bridge = self.bridge;
  auto report = [&](std::string_view procedure) {
    // The window's own routines trap their failures; what still comes here
    // (a page event's handler, a window gone for good) is reported, not fatal.
    if (!bridge.ended()) gnErrorReport(self.session.ui(), kModule, procedure, currentErrorInfo());
  };
  try {
    self.wizard.Form_Load();
  } catch (...) {
    report("Form_Load");
  }
  while (!self.wizard.closed() && !bridge.ended()) {
    if (self.idlePending && bridge.inboxEmpty()) {
      self.idlePending = false;
      bridge.post(json{{"op", "idle"}, {"press", self.lastPress}});
    }
    try {
      if (!bridge.dispatchNext()) break;
    } catch (...) {
      report("Dispatch");
    }
    while (!self.deferredPresses.empty() && !self.wizard.closed() && !bridge.ended()) {
      WizardButton button = self.deferredPresses.front();
      self.deferredPresses.pop_front();
      try {
        self.press(button);
      } catch (...) {
        report("Dispatch");
      }
    }
  }
}

}  // namespace tvk
