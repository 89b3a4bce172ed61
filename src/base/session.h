// The session context: what one wizard run knows about where it works and
// whom it asks. An entry point (the command line, the browser window, a test)
// builds one and hands it down; nothing finds it through a global, so one
// process may hold several (the window and a command in one test).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <typeindex>
#include <vector>

namespace tvk {

class Ui;
class WebProject;

// The development environment's application object: the web projects loaded.
struct Application {
  std::vector<std::shared_ptr<WebProject>> projects;
};

class Session {
 public:
  explicit Session(std::shared_ptr<Ui> ui);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Where messages, reports and dialogs go.
  Ui& ui() const { return *ui_; }
  const std::shared_ptr<Ui>& uiPtr() const { return ui_; }

  // The environment the wizard was started in. Their names are those the
  // environment's users know: the environment's application while the entry
  // runs, whether files go through its web project, the project's name and
  // local directory, the suggested item name, the folder the developer
  // started in, and the project that receives the generated files.
  std::shared_ptr<Application> goApplication;
  bool gbInEnvironment = false;
  std::string gsProjectName;
  std::string gsLocalDirectory;
  std::string gsItemName;
  std::string gsTargetDirectory;
  std::shared_ptr<WebProject> goProject;

  // A resource of an upper layer that lives as long as the session (the
  // database layer's connection pool, for one): made on first use, released
  // with the session, in the reverse order of making.
  template <class T>
  T& resource() {
    auto found = resources_.find(std::type_index(typeid(T)));
    if (found != resources_.end()) return *static_cast<T*>(found->second.get());
    auto made = std::make_shared<T>();
    T& ref = *made;
    resources_.emplace(std::type_index(typeid(T)), made);
    order_.push_back(std::type_index(typeid(T)));
    return ref;
  }

 private:
  std::shared_ptr<Ui> ui_;
  std::map<std::type_index, std::shared_ptr<void>> resources_;
  std::vector<std::type_index> order_;
};

}  // namespace tvk
