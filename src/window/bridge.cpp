#include "window/bridge.h"

#include <algorithm>
#include <utility>

#include "base/error.h"
#include "window/file_browser.h"

namespace tvk {

using nlohmann::json;

namespace {

std::string textField(const json& message, const char* name) {
  auto found = message.find(name);
  if (found == message.end() || !found->is_string()) return {};
  return found->get<std::string>();
}

bool isReplyTo(const json& message, std::uint64_t id) {
  auto found = message.find("reply");
  return found != message.end() && found->is_number_unsigned() && found->get<std::uint64_t>() == id;
}

// Dialogs and navigations stand for what the user sees: a window that comes
// back shows them again. Anything else was asked of a page that is gone.
bool survivesReconnection(const json& request) {
  const std::string op = textField(request, "op");
  return op == "dialog" || op == "navigate";
}

}  // namespace

Bridge::Bridge(std::chrono::milliseconds grace) : grace_(grace) {}

Bridge::~Bridge() = default;

void Bridge::setTransport(BridgeTransport& transport) { transport_ = &transport; }

void Bridge::setEventHandler(std::function<void(const json&)> handler) { eventHandler_ = std::move(handler); }

void Bridge::setConnectionHandler(std::function<void()> handler) { connectionHandler_ = std::move(handler); }

void Bridge::connected() {
  std::lock_guard lock(mutex_);
  socketOpen_ = true;
  everConnected_ = true;
  if (ended_) return;
  inbox_.push_back(Item{Kind::Connected, {}});
  wake_.notify_all();
}

void Bridge::disconnected() {
  std::lock_guard lock(mutex_);
  socketOpen_ = false;
  closedSince_ = std::chrono::steady_clock::now();
  if (ended_) return;
  inbox_.push_back(Item{Kind::Disconnected, {}});
  wake_.notify_all();
}

void Bridge::received(std::string text) {
  json message = json::parse(text, nullptr, false);
  // A page that sends something else is not worth a crash of the wizard.
  if (message.is_discarded() || !message.is_object()) return;
  if (message.contains("list")) {
    json listing;
    try {
      std::vector<std::string> patterns;
      if (auto found = message.find("patterns"); found != message.end() && found->is_array())
        for (const json& pattern : *found)
          if (pattern.is_string()) patterns.push_back(pattern.get<std::string>());
      auto folders = message.find("folders");
      const bool foldersOnly = folders != message.end() && folders->is_boolean() && folders->get<bool>();
      listing = listDirectory(textField(message, "path"), patterns, foldersOnly);
    } catch (const std::exception& e) {
      listing =
          json{{"path", textField(message, "path")}, {"parent", ""}, {"entries", json::array()}, {"error", e.what()}};
    }
    listing["listing"] = message["list"];
    if (transport_) transport_->send(listing.dump(-1, ' ', false, json::error_handler_t::replace));
    return;
  }
  std::lock_guard lock(mutex_);
  if (ended_) return;
  inbox_.push_back(Item{Kind::Message, std::move(message)});
  wake_.notify_all();
}

void Bridge::send(const json& message) {
  std::lock_guard out(outMutex_);
  pending_.push_back(message);
  flushLocked();
}

void Bridge::flush() {
  std::lock_guard out(outMutex_);
  flushLocked();
}

void Bridge::flushLocked() {
  if (pending_.empty()) return;
  if (transport_) {
    const json& frame = pending_.size() == 1 ? pending_.front() : json(pending_);
    transport_->send(frame.dump(-1, ' ', false, json::error_handler_t::replace));
  }
  pending_.clear();
}

void Bridge::raiseEnded() const { raise(err::kInvalidCall, std::string(kSource), std::string(kClosedText)); }

Bridge::Next Bridge::waitForItem(std::unique_lock<std::mutex>& lock) {
  for (;;) {
    if (ended_) return Next::Ended;
    if (!inbox_.empty()) return Next::Item;
    // The grace time runs from the moment the last window went away; before
    // the first window there is no limit (the user may open the URL late).
    if (everConnected_ && !socketOpen_) {
      if (wake_.wait_until(lock, closedSince_ + grace_) == std::cv_status::timeout && inbox_.empty() && !socketOpen_ &&
          !ended_) {
        ended_ = true;
        wake_.notify_all();
        return Next::Ended;
      }
    } else {
      wake_.wait(lock);
    }
  }
}

void Bridge::dispatch(Item item) {
  if (item.kind == Kind::Message && item.message.contains("event")) ++eventsDispatched_;
  switch (item.kind) {
    case Kind::Connected:
      windowConnected_ = true;
      ++changes_;
      if (connectionHandler_) connectionHandler_();
      return;
    case Kind::Disconnected: {
      windowConnected_ = false;
      ++changes_;
      std::lock_guard out(outMutex_);
      pending_.clear();  // meant for the page of the window that went away
      return;
    }
    case Kind::Message:
      break;
  }
  const json& message = item.message;
  if (auto reply = message.find("reply"); reply != message.end()) {
    // The reply of a call further down the stack, taken by a call that an
    // event handler made meanwhile: kept for its own call. Others are late
    // answers to calls that have given up.
    if (reply->is_number_unsigned()) {
      const auto id = reply->get<std::uint64_t>();
      if (std::find(waiting_.begin(), waiting_.end(), id) != waiting_.end()) early_[id] = message;
    }
    return;
  }
  if (message.contains("event") && eventHandler_) eventHandler_(message);
}

json Bridge::call(json request) {
  const bool resend = survivesReconnection(request);
  const std::uint64_t id = nextId_++;
  request["id"] = id;
  waiting_.push_back(id);
  struct Done {
    Bridge& bridge;
    std::uint64_t id;
    ~Done() {
      bridge.waiting_.erase(std::find(bridge.waiting_.begin(), bridge.waiting_.end(), id));
      bridge.early_.erase(id);
    }
  } done{*this, id};

  json reply;
  bool sent = false;
  std::uint64_t sentTo = 0;  // the window (as counted by changes_) asked
  std::unique_lock lock(mutex_);
  for (;;) {
    if (ended_) raiseEnded();
    if (auto found = early_.find(id); found != early_.end()) {
      reply = std::move(found->second);
      break;
    }
    // The window went away since (seen here or by a call an event handler
    // made meanwhile): its answer will never come.
    if (sent && changes_ != sentTo) {
      if (!resend) raiseEnded();
      sent = false;  // asked again once a window is there and has its page
    }
    if (!sent && windowConnected_) {
      lock.unlock();
      send(request);
      sent = true;
      sentTo = changes_;
      lock.lock();
      continue;
    }
    if (waitForItem(lock) == Next::Ended) raiseEnded();
    Item& front = inbox_.front();
    if (front.kind == Kind::Message && isReplyTo(front.message, id)) {
      reply = std::move(front.message);
      inbox_.pop_front();
      break;
    }
    if (sent && !resend && front.kind != Kind::Message) {
      // The page this call asked is gone. A new window stays in the inbox:
      // whoever waits next shows it the state and the page again.
      if (front.kind == Kind::Disconnected) {
        inbox_.pop_front();
        windowConnected_ = false;
        ++changes_;
      }
      raiseEnded();
    }
    Item item = std::move(front);
    inbox_.pop_front();
    lock.unlock();
    dispatch(std::move(item));
    lock.lock();
  }
  lock.unlock();

  const std::string op = textField(request, "op");
  std::string deferred = textField(reply, "deferredError");
  if (op == "dialog") {
    // The user's answer counts; the failure of a call posted before it is
    // raised by the next call to the page instead of being lost.
    if (carried_.empty()) carried_ = std::move(deferred);
    deferred.clear();
  } else if (op == "navigate") {
    // The navigation has happened all the same; a failure belongs to the
    // page it replaced, and raising it here would make the logic believe
    // that the old page is still shown.
    deferred.clear();
    carried_.clear();
  } else if (deferred.empty()) {
    deferred = std::exchange(carried_, {});
  }
  if (std::string error = textField(reply, "error"); !error.empty())
    raise(err::kInvalidCall, std::string(kSource), error);
  if (!deferred.empty()) raise(err::kInvalidCall, std::string(kSource), deferred);
  if (auto result = reply.find("result"); result != reply.end()) return *result;
  return reply;
}

void Bridge::post(json message) {
  {
    std::lock_guard lock(mutex_);
    if (ended_) return;
  }
  // Sent to a window the wizard thread knows of: messages for the page of a
  // window that went away must not reach the next one before its page is
  // shown again.
  if (!windowConnected_) return;
  // State, idle, close and focus go out at once, after what was posted
  // before them; DOM calls wait for the next flush.
  const bool urgent = textField(message, "op") != "dom";
  std::lock_guard out(outMutex_);
  pending_.push_back(std::move(message));
  if (urgent) flushLocked();
}

bool Bridge::dispatchNext() {
  flush();  // nothing posted waits while the wizard thread does
  std::unique_lock lock(mutex_);
  if (waitForItem(lock) == Next::Ended) return false;
  Item item = std::move(inbox_.front());
  inbox_.pop_front();
  lock.unlock();
  dispatch(std::move(item));
  return true;
}

bool Bridge::inboxEmpty() const {
  std::lock_guard lock(mutex_);
  return inbox_.empty();
}

void Bridge::end() {
  std::lock_guard lock(mutex_);
  ended_ = true;
  inbox_.clear();
  wake_.notify_all();
}

bool Bridge::ended() const {
  std::lock_guard lock(mutex_);
  return ended_;
}

}  // namespace tvk
