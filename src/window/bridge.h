// The wizard thread's side of the window's socket. The server hands it the
// socket's messages on its network thread (BridgeEndpoint); the wizard thread
// sends requests, waits for their replies and dispatches the browser's events
// in the order they came. Directory listings for the file dialogs are
// answered on the network thread, so a dialog can browse while the wizard
// thread waits for its answer.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "window/endpoint.h"

namespace tvk {

class Bridge final : public BridgeEndpoint {
 public:
  static constexpr std::string_view kSource = "Bridge";
  static constexpr std::string_view kClosedText = "The wizard window was closed";

  explicit Bridge(std::chrono::milliseconds grace = std::chrono::seconds(30));
  ~Bridge() override;
  Bridge(const Bridge&) = delete;
  Bridge& operator=(const Bridge&) = delete;

  // The server's side; it must outlive the run.
  void setTransport(BridgeTransport& transport);

  // Network thread.
  void connected() override;
  void received(std::string message) override;
  void disconnected() override;

  // Wizard thread. Sends a request and returns its reply's `result`, running
  // every event that arrives before the reply first. Fails with WizError when
  // the browser reports an error (or one kept from an earlier posted call),
  // when the socket closes while a DOM call waits, and once the bridge has
  // ended. Dialogs and navigations are sent again when a window reconnects.
  nlohmann::json call(nlohmann::json request);
  // Sends a message that wants no reply (dropped once ended or while no
  // window is connected: a window that connects is sent the state again).
  void post(nlohmann::json message);

  // Browser events ({"event":...}) and (re)connections, run on the wizard
  // thread from call() and dispatchNext().
  void setEventHandler(std::function<void(const nlohmann::json&)> handler);
  void setConnectionHandler(std::function<void()> handler);

  // Waits for the next message and dispatches it; false once the bridge has
  // ended (no window within the grace time, or end()).
  bool dispatchNext();
  // No message is waiting to be dispatched.
  bool inboxEmpty() const;

  void end();
  bool ended() const;

  // Counts the browser's events and the window's comings and goings
  // dispatched so far: anything after which what the wizard thread has read
  // of the page may no longer hold.
  std::uint64_t eventsDispatched() const { return eventsDispatched_ + changes_; }

 private:
  enum class Kind { Message, Connected, Disconnected };
  struct Item {
    Kind kind = Kind::Message;
    nlohmann::json message;
  };
  enum class Next { Item, Ended };

  // Waits until an item is in the inbox or the bridge ends (the grace time
  // running out while no window is connected ends it).
  Next waitForItem(std::unique_lock<std::mutex>& lock);
  // Runs one item taken from the inbox, without the lock.
  void dispatch(Item item);
  // Sends the posted messages not yet sent and then `message`, in order.
  void send(const nlohmann::json& message);
  // Sends the posted messages not yet sent: many in one frame, as a JSON
  // array (the window takes them in order).
  void flush();
  void flushLocked();
  [[noreturn]] void raiseEnded() const;

  const std::chrono::milliseconds grace_;
  BridgeTransport* transport_ = nullptr;  // not owned
  std::function<void(const nlohmann::json&)> eventHandler_;
  std::function<void()> connectionHandler_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Item> inbox_;
  bool ended_ = false;
  bool socketOpen_ = false;  // as the network thread sees it
  bool everConnected_ = false;
  std::chrono::steady_clock::time_point closedSince_;

  // Posted DOM calls wait here for the next request, the next message of
  // another kind, or the wizard thread's next wait: filling a list of 1,000
  // tables is then one frame, not 1,000.
  std::mutex outMutex_;
  std::vector<nlohmann::json> pending_;

  // Wizard thread only.
  // As far as the wizard thread has dispatched (read by post() from others).
  std::atomic<bool> windowConnected_{false};
  std::uint64_t changes_ = 0;           // windows connected and lost so far
  std::uint64_t eventsDispatched_ = 0;  // wizard thread only
  std::uint64_t nextId_ = 1;
  std::vector<std::uint64_t> waiting_;             // ids of the calls on the stack
  std::map<std::uint64_t, nlohmann::json> early_;  // replies of outer calls taken by inner ones
  std::string carried_;                            // a posted call's failure that came with a dialog's answer
};

}  // namespace tvk
