// The tests' browser: plays the window page on a thread of its own, as the
// real page does over the socket. Pages are in-process documents of the data
// directory's files, so DOM calls get real answers, and bound events reach
// the bridge before the reply of the call that caused them, as in a browser.
// Dialogs are answered from a queue, or wait for the test to answer them.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "window/bridge.h"
#include "window/endpoint.h"
#include "wizard/html_document.h"

namespace tvk::test {

class TestBrowser final : public BridgeTransport {
 public:
  using json = nlohmann::json;

  TestBrowser(Bridge& bridge, std::string dataDirectory) : bridge_(bridge), dataDirectory_(std::move(dataDirectory)) {
    bridge_.setTransport(*this);
    thread_ = std::thread([this] { loop(); });
  }

  ~TestBrowser() override {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

  // From the bridge: handled on the browser's thread, in order.
  void send(std::string message) override {
    post([this, text = std::move(message)] {
      if (!connected_) return;
      json frame = json::parse(text);
      if (!frame.is_array()) return handle(frame);
      ++batches_;
      for (const json& each : frame) handle(each);
    });
  }

  // The test's actions, run on the browser's thread after everything sent
  // before them.
  void connect() {
    post([this] {
      connected_ = true;
      page_.reset();
      pageCount_ = 0;  // a new window page counts its frame's loads anew
      bridge_.connected();
    });
  }
  void disconnect() {
    post([this] {
      connected_ = false;
      page_.reset();
      openDialog_.reset();
      bridge_.disconnected();
    });
  }
  // Numbers the presses as the window page does.
  void pressButton(const std::string& name) {
    long long press = ++presses_;
    post([this, name, press] {
      bridge_.received(json{{"event", "button"}, {"button", name}, {"press", press}}.dump());
    });
  }
  void receive(std::string text) {
    post([this, text = std::move(text)] { bridge_.received(text); });
  }
  // Runs a step on the page shown (what a page script or the user does) and
  // returns its result once it has run.
  template <class Step>
  auto onPage(Step step) {
    using Result = decltype(step(std::declval<HtmlDocument&>()));
    auto task = std::make_shared<std::packaged_task<Result()>>([this, step] {
      if (!page_) throw std::runtime_error("no page is shown");
      return step(*page_);
    });
    std::future<Result> result = task->get_future();
    post([task] { (*task)(); });
    if (result.wait_for(kTimeout) != std::future_status::ready) throw std::runtime_error("the browser hangs");
    return result.get();
  }
  // The result the next dialog closes with; without one it stays open.
  void queueDialogAnswer(json result) {
    post([this, result = std::move(result)] { dialogAnswers_.push_back(result); });
  }
  // Closes the dialog shown now with a result.
  void answerDialog(json result) {
    post([this, result = std::move(result)] {
      if (!openDialog_) throw std::runtime_error("no dialog is open");
      reply(*openDialog_, result);
      openDialog_.reset();
    });
  }
  // Calls that want a reply get none (a page that hangs).
  void holdCalls() {
    post([this] { holdCalls_ = true; });
  }

  // Waits until the messages received so far satisfy `test`.
  bool waitFor(const std::function<bool(const std::vector<json>&)>& test) {
    std::unique_lock lock(mutex_);
    return seen_.wait_for(lock, kTimeout, [&] { return test(messages_); });
  }
  // Waits for the n-th message of an op (counting from 1).
  bool waitForCount(const std::string& op, size_t n) {
    return waitFor([&](const std::vector<json>& messages) { return count(messages, op) >= n; });
  }
  std::vector<json> messages(const std::string& op) const {
    std::lock_guard lock(mutex_);
    std::vector<json> found;
    for (const json& message : messages_)
      if (message.value("op", "") == op) found.push_back(message);
    return found;
  }
  static size_t count(const std::vector<json>& messages, const std::string& op) {
    size_t n = 0;
    for (const json& message : messages) n += message.value("op", "") == op;
    return n;
  }
  // The last state the window was sent.
  size_t batches() const { return batches_; }
  // Snapshots of the page the bridge took.
  size_t snapshots() const { return snapshots_; }
  json lastState() const {
    std::vector<json> states = messages("state");
    return states.empty() ? json() : states.back();
  }

  static constexpr std::chrono::seconds kTimeout{20};

 private:
  void post(std::function<void()> task) {
    {
      std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(task));
    }
    wake_.notify_all();
  }

  void loop() {
    for (;;) {
      std::function<void()> task;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return stop_ || !tasks_.empty(); });
        if (tasks_.empty()) return;
        task = std::move(tasks_.front());
        tasks_.pop_front();
      }
      try {
        task();
      } catch (const std::exception& e) {
        // A test that asks the impossible of the browser sees it here.
        record(json{{"op", "browserFault"}, {"text", e.what()}});
      }
    }
  }

  void record(const json& message) {
    {
      std::lock_guard lock(mutex_);
      messages_.push_back(message);
    }
    seen_.notify_all();
  }

  void reply(const json& id, const json& result, const std::string& error = {}) {
    json answer{{"reply", id}, {"result", result}};
    if (!error.empty()) answer["error"] = error;
    if (!deferred_.empty()) answer["deferredError"] = std::exchange(deferred_, {});
    bridge_.received(answer.dump());
  }

  static std::string decoded(const std::string& url) {
    std::string text;
    for (size_t i = 0; i < url.size(); ++i) {
      if (url[i] == '%' && i + 2 < url.size()) {
        text += static_cast<char>(std::stoi(url.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        text += url[i];
      }
    }
    return text;
  }

  void handle(const json& message) {
    record(message);
    const std::string op = message.value("op", "");
    if (op == "navigate") {
      try {
        page_ = HtmlDocument::load(dataDirectory_ + decoded(message.at("url").get<std::string>()));
        ++pageCount_;
        refs_.clear();
        json answer{{"reply", message.at("id")},
                    {"result", json{{"title", page_->title()}, {"snapshot", snapshot(*page_)}}}};
        if (!deferred_.empty()) answer["deferredError"] = std::exchange(deferred_, {});
        bridge_.received(answer.dump());
      } catch (const std::exception& e) {
        reply(message.at("id"), nullptr, e.what());
      }
    } else if (op == "dialog") {
      if (holdCalls_) return;
      if (!dialogAnswers_.empty()) {
        reply(message.at("id"), dialogAnswers_.front());
        dialogAnswers_.pop_front();
      } else {
        openDialog_ = message.at("id");
      }
    } else if (op == "dom") {
      const bool answers = message.contains("id");
      if (answers && holdCalls_) return;
      try {
        json result = dom(message.at("call").get<std::string>(), message.at("args"));
        if (answers) reply(message.at("id"), result);
      } catch (const std::exception& e) {
        if (answers)
          reply(message.at("id"), nullptr, e.what());
        else if (deferred_.empty())
          deferred_ = e.what();
      }
    }
  }

  std::string handleOf(const ElementRef& ref) {
    for (size_t i = 0; i < refs_.size(); ++i)
      if (refs_[i] == ref) return std::to_string(pageCount_) + ":" + std::to_string(i);
    refs_.push_back(ref);
    return std::to_string(pageCount_) + ":" + std::to_string(refs_.size() - 1);
  }

  ElementRef resolve(const json& handle) {
    const std::string text = handle.get<std::string>();
    const size_t colon = text.find(':');
    if (colon == std::string::npos || text.substr(0, colon) != std::to_string(pageCount_))
      throw std::runtime_error("The element " + text + " belongs to an earlier page");
    const size_t index = std::stoul(text.substr(colon + 1));
    if (index >= refs_.size()) throw std::runtime_error("No element " + text);
    return refs_[index];
  }

  static TextProperty textProperty(const std::string& name) {
    for (auto [property, text] :
         {std::pair{TextProperty::Value, "value"}, std::pair{TextProperty::Type, "type"},
          std::pair{TextProperty::ClassName, "className"}, std::pair{TextProperty::InnerHTML, "innerHTML"},
          std::pair{TextProperty::OuterText, "outerText"}, std::pair{TextProperty::StyleDisplay, "style.display"},
          std::pair{TextProperty::TagName, "tagName"}})
      if (name == text) return property;
    throw std::runtime_error("unknown property " + name);
  }

  static FlagProperty flagProperty(const std::string& name) {
    if (name == "checked") return FlagProperty::Checked;
    if (name == "disabled") return FlagProperty::Disabled;
    if (name == "readOnly") return FlagProperty::ReadOnly;
    throw std::runtime_error("unknown property " + name);
  }

  // What the browser's snapshot call answers for the page.
  json snapshot(HtmlDocument& page) {
    json elements = json::array();
    for (const HtmlDocument::NamedElement& named : page.namedElements()) {
      // What the document refuses to tell is left out (null), as the
      // browser leaves out the value of an element that has none.
      const auto text = [&](TextProperty property) {
        try {
          return json(page.text(named.ref, property));
        } catch (const std::exception&) {
          return json();
        }
      };
      const auto flag = [&](FlagProperty property) {
        try {
          return json(page.flag(named.ref, property));
        } catch (const std::exception&) {
          return json();
        }
      };
      elements.push_back(
          json::array({handleOf(named.ref), named.id, named.name, text(TextProperty::TagName), text(TextProperty::Type),
                       text(TextProperty::Value), text(TextProperty::ClassName), text(TextProperty::StyleDisplay),
                       flag(FlagProperty::Checked), flag(FlagProperty::Disabled), flag(FlagProperty::ReadOnly)}));
    }
    ++snapshots_;
    return json{{"title", page.title()}, {"elements", std::move(elements)}};
  }

  json dom(const std::string& call, const json& args) {
    if (!page_) throw std::runtime_error("no page is shown");
    HtmlDocument& page = *page_;
    if (call == "title") return page.title();
    if (call == "snapshot") return snapshot(page);
    if (call == "byId") {
      ElementRef ref = page.elementById(args.at(0).get<std::string>());
      return ref ? json(handleOf(ref)) : json();
    }
    if (call == "byName") {
      json handles = json::array();
      for (const ElementRef& ref : page.elementsByName(args.at(0).get<std::string>())) handles.push_back(handleOf(ref));
      return handles;
    }
    if (call == "getText") return page.text(resolve(args.at(0)), textProperty(args.at(1).get<std::string>()));
    if (call == "setText") {
      page.setText(resolve(args.at(0)), textProperty(args.at(1).get<std::string>()), args.at(2).get<std::string>());
      return nullptr;
    }
    if (call == "getFlag") return page.flag(resolve(args.at(0)), flagProperty(args.at(1).get<std::string>()));
    if (call == "setFlag") {
      page.setFlag(resolve(args.at(0)), flagProperty(args.at(1).get<std::string>()), args.at(2).get<bool>());
      return nullptr;
    }
    if (call == "click") {
      page.click(resolve(args.at(0)));
      return snapshot(page);
    }
    if (call == "options") {
      json list = json::array();
      for (const SelectOption& option : page.options(resolve(args.at(0))))
        list.push_back(json{{"value", option.value}, {"text", option.text}, {"selected", option.selected}});
      return list;
    }
    if (call == "hasOption") return page.hasOption(resolve(args.at(0)), args.at(1).get<std::string>());
    if (call == "addOption") {
      page.addOption(resolve(args.at(0)), args.at(1).get<std::string>(), args.at(2).get<std::string>());
      return nullptr;
    }
    if (call == "removeOption") {
      page.removeOption(resolve(args.at(0)), args.at(1).get<int>());
      return nullptr;
    }
    if (call == "bind") {
      const std::string handle = args.at(0).get<std::string>();
      const std::string event = args.at(1).get<std::string>();
      page.bind(resolve(args.at(0)), event, [this, handle, event] {
        bridge_.received(json{{"event", "element"}, {"handle", handle}, {"type", event}}.dump());
      });
      return nullptr;
    }
    if (call == "unbind") {
      page.unbind(resolve(args.at(0)), args.at(1).get<std::string>());
      return nullptr;
    }
    throw std::runtime_error("unknown call " + call);
  }

  Bridge& bridge_;
  const std::string dataDirectory_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable seen_;
  std::deque<std::function<void()>> tasks_;
  std::vector<json> messages_;
  bool stop_ = false;

  // The browser's thread only.
  bool connected_ = false;
  bool holdCalls_ = false;
  std::unique_ptr<HtmlDocument> page_;
  int pageCount_ = 0;
  std::vector<ElementRef> refs_;
  std::string deferred_;
  std::deque<json> dialogAnswers_;
  std::optional<json> openDialog_;
  long long presses_ = 0;
  std::atomic<size_t> batches_{0};  // frames that carried several messages
  std::atomic<size_t> snapshots_{0};
  std::thread thread_;
};

}  // namespace tvk::test
