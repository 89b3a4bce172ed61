#include "host/cmd_wizard.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <CLI/CLI.hpp>

#include <cstring>
#include <iostream>
#include <memory>

#include "base/error.h"
#include "base/fs.h"
#include "base/ini_settings.h"
#include "base/session.h"
#include "base/web_project.h"
#include "host/about.h"
#include "host/wizard.h"
#include "host/wizard_window.h"
#include "window/bridge.h"
#include "window/browser_ui.h"
#include "window/browser_window.h"
#include "window/server.h"

extern char** environ;

namespace tvk {

namespace {

// The window of one run, as the entry points see it. Shown modally it serves
// until it ends; shown without blocking (inside a web project) the command
// serves it afterwards, so the entry point returns first as the environment
// expects.
class HostedWindow final : public WizardWindow {
 public:
  HostedWindow(Session& session, Bridge& bridge, SettingsStore& settings, WindowOptions options)
      : window_(session, bridge, settings, std::move(options)) {}

  void Show(bool modal) override {
    window_.open();
    if (!modal) return;
    modal_ = true;
    window_.run();
    modal_ = false;
  }
  bool IsOpen() const override { return window_.isOpen(); }
  bool IsModal() const override { return modal_ && window_.isOpen(); }
  void BringToFront() override { window_.bringToFront(); }

  void serveUntilClosed() {
    if (window_.isOpen()) window_.run();
  }

 private:
  BrowserWindow window_;
  bool modal_ = false;
};

class HostedWindowFactory final : public WizardWindowFactory {
 public:
  HostedWindowFactory(Session& session, Bridge& bridge, SettingsStore& settings, WindowOptions options)
      : session_(session), bridge_(bridge), settings_(settings), options_(std::move(options)) {}

  std::shared_ptr<WizardWindow> createWindow() override {
    made_ = std::make_shared<HostedWindow>(session_, bridge_, settings_, options_);
    return made_;
  }
  HostedWindow* made() const { return made_.get(); }

 private:
  Session& session_;
  Bridge& bridge_;
  SettingsStore& settings_;
  WindowOptions options_;
  std::shared_ptr<HostedWindow> made_;
};

// Asks the desktop to open the address in the default browser. The program
// goes on either way: the address is printed for the developer to open.
void openInBrowser(const std::string& url, std::ostream& err) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::string program = "xdg-open";
  std::string target = url;
  char* argv[] = {program.data(), target.data(), nullptr};
  pid_t pid = 0;
  int failed = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) {
    err << "No browser could be opened (xdg-open: " << std::strerror(failed)
        << "); open the address above in your browser.\n";
    return;
  }
  // xdg-open hands the address on and ends; reap it so it leaves no zombie.
  int status = 0;
  waitpid(pid, &status, 0);
}

// One run of the window around `body`, which calls an entry point with the
// session and the factory. Everything the run makes lives here and ends
// with it: server, bridge, session.
template <class Body>
int serveWindow(const WizardCommandOptions& options, std::string_view command, std::ostream& out, std::ostream& err,
                Body body) {
  std::string dataDirectory = options.dataDirectory.empty() ? files::programDirectory() : options.dataDirectory;
  std::string settingsPath = options.settingsFile.empty() ? IniSettings::defaultPath() : options.settingsFile;
  try {
    Bridge bridge;
    Session session(std::make_shared<BrowserUi>(bridge));
    IniSettings settings(settingsPath);
    LocalServer server(ServerOptions{dataDirectory, options.port, makeToken()}, bridge);
    bridge.setTransport(server);
    server.start();
    out << "TVK Wizard is running at " << server.url() << std::endl;
    if (options.openBrowser) openInBrowser(server.url(), err);

    auto factory = std::make_shared<HostedWindowFactory>(
        session, bridge, settings, WindowOptions{dataDirectory, aboutInfo(dataDirectory, settingsPath)});
    Wizard wizard(session, factory);
    body(wizard, session);
    if (HostedWindow* window = factory->made()) window->serveUntilClosed();
    server.stop();
    return 0;
  } catch (...) {
    ErrorInfo error = currentErrorInfo();
    err << command << ": " << error.description << '\n';
    return 1;
  }
}

}  // namespace

std::function<int()> setupWizardCommand(CLI::App& app) {
  auto options = std::make_shared<WizardCommandOptions>();
  app.add_option("--port", options->port, "Port on 127.0.0.1 (default: a free one)");
  app.add_flag(
      "--no-browser", [options](std::int64_t) { options->openBrowser = false; },
      "Only print the address; do not open a browser");
  return [options] { return runWizardCommand(*options, std::cout, std::cerr); };
}

std::function<int()> setupAddItemCommand(CLI::App& app) {
  auto options = std::make_shared<WizardCommandOptions>();
  auto item = std::make_shared<AddItemOptions>();
  app.add_option("manifest", item->manifest, "The web project's manifest (.wproj)")->required();
  app.add_option("--folder", item->folder, "The project folder the pages go to, relative to the project")->required();
  app.add_option("--name", item->itemName, "The suggested item name (blanks are dropped)")->required();
  app.add_option("--port", options->port, "Port on 127.0.0.1 (default: a free one)");
  app.add_flag(
      "--no-browser", [options](std::int64_t) { options->openBrowser = false; },
      "Only print the address; do not open a browser");
  return [options, item] { return runAddItemCommand(*options, *item, std::cout, std::cerr); };
}

int runWizardCommand(const WizardCommandOptions& options, std::ostream& out, std::ostream& err) {
  return serveWindow(options, "tvkwizard wizard", out, err, [](Wizard& wizard, Session&) { wizard.Execute(); });
}

int runAddItemCommand(const WizardCommandOptions& options, const AddItemOptions& item, std::ostream& out,
                      std::ostream& err) {
  std::shared_ptr<WebProject> project;
  try {
    project = WebProject::Load(item.manifest);
  } catch (...) {
    err << "tvkwizard add-item: " << currentErrorInfo().description << '\n';
    return 1;
  }
  return serveWindow(options, "tvkwizard add-item", out, err, [&](Wizard& wizard, Session&) {
    auto application = std::make_shared<Application>();
    application->projects.push_back(project);
    // The environment's context array: 1 project name, 2 the folder item,
    // 3 the project's local directory, 4 the suggested item name.
    ContextParams context;
    context.values = {std::monostate{}, project->name(), ProjectFolderParam{item.folder}, project->localDirectory(),
                      item.itemName};
    long result = 0;
    wizard.IDTWizard_Execute(application, 0, &context, nullptr, result);
  });
}

}  // namespace tvk
