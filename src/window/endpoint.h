// Where the local server and the bridge meet. The server calls the endpoint
// on its network thread; the bridge sends through the transport from any
// thread. Either side can be replaced by a test double.
#pragma once

#include <string>

namespace tvk {

class BridgeEndpoint {
 public:
  virtual ~BridgeEndpoint() = default;
  // A window's socket became the window (replacing any earlier one, which
  // gets no disconnected call of its own).
  virtual void connected() = 0;
  // One text message of the window's socket, in order.
  virtual void received(std::string message) = 0;
  // The window's socket closed and no other took its place.
  virtual void disconnected() = 0;
};

class BridgeTransport {
 public:
  virtual ~BridgeTransport() = default;
  // Sends one text message to the window connected now, after every message
  // sent before it; dropped when no window is connected. Thread-safe.
  virtual void send(std::string message) = 0;
};

}  // namespace tvk
