// The local server of the wizard window: HTTP for the window page and the
// wizard pages, and one WebSocket for the bridge, on 127.0.0.1 only. It runs
// its own network thread; the endpoint is called on that thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "window/endpoint.h"

namespace tvk {

struct ServerOptions {
  std::string dataDirectory;  // holds TVKWizardWindow/ and TVKWizardHTML/
  unsigned short port = 0;    // 0: a free port
  std::string token;          // empty: a fresh one (see url())
  std::chrono::seconds idleTimeout{30};
  // Bytes waiting for a window that does not read them. Beyond this the
  // window's socket is closed: a tab that stopped reading must not make the
  // program hold everything it sends (a live page connects again and is
  // shown afresh).
  std::size_t windowBacklog = 64 * 1024 * 1024;
};

class LocalServer final : public BridgeTransport {
 public:
  LocalServer(ServerOptions options, BridgeEndpoint& endpoint);
  ~LocalServer() override;  // stops
  LocalServer(const LocalServer&) = delete;
  LocalServer& operator=(const LocalServer&) = delete;

  // Binds 127.0.0.1 and starts the network thread. Raises a WizError when the
  // port cannot be bound.
  void start();
  unsigned short port() const;
  // "http://127.0.0.1:<port>/?token=<token>": what the browser opens.
  std::string url() const;
  // Thread-safe; messages reach the current window socket in the order sent
  // and are dropped while none is connected.
  void send(std::string message) override;
  // Writes what is still queued for the window, closes every connection and
  // joins the network thread, within a fraction of a second. Calls the
  // endpoint no more. Idempotent. Called from the endpoint, it stops serving
  // at once and leaves the join to a later stop() or the destructor.
  void stop();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// A fresh access token: 32 hex digits.
std::string makeToken();

}  // namespace tvk
