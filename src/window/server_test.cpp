#include "window/server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <boost/asio.hpp>
#include <boost/beast.hpp>

#include "base/error.h"
#include "support/temp_dir.h"

namespace tvk {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;
using namespace std::chrono_literals;

const std::string kToken = "00112233445566778899aabbccddeeff";
const std::string kWindowPage = "<html><body>window</body></html>";
const std::string kIntroPage = "<html><body>intro</body></html>";

// Records what the server tells the bridge, for the test thread to wait on.
class RecordingEndpoint : public BridgeEndpoint {
 public:
  void connected() override { add("connected"); }
  void received(std::string message) override {
    add("received " + message);
    if (onReceived) onReceived(message);
  }
  void disconnected() override { add("disconnected"); }

  std::function<void(const std::string&)> onReceived;  // set before the window connects

  // The events so far, once there are at least `count` (or after 5 s).
  std::vector<std::string> waitFor(std::size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, 5s, [&] { return events_.size() >= count; });
    return events_;
  }

 private:
  void add(std::string event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
    changed_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> events_;
};

// Runs one asynchronous client operation to its end. A server that does not
// answer within 5 s fails the test instead of hanging it.
template <class Start>
beast::error_code await(asio::io_context& ioc, Start start) {
  auto result = std::make_shared<std::optional<beast::error_code>>();
  start([result](beast::error_code ec, auto&&...) { *result = ec; });
  ioc.restart();
  ioc.run_for(5s);
  if (!*result) {
    ADD_FAILURE() << "no answer within 5 s";
    return asio::error::timed_out;
  }
  return **result;
}

class LocalServerTest : public ::testing::Test {
 protected:
  LocalServerTest() {
    test::writeFile(data / "TVKWizardWindow/window.html", kWindowPage);
    test::writeFile(data / "TVKWizardHTML/TVKIntro.htm", kIntroPage);
    test::writeFile(data / "TVKWizardFlow.xml", "<flow/>");
    server.start();
  }

  std::string host() const { return "127.0.0.1:" + std::to_string(server.port()); }
  tcp::endpoint address() const { return {asio::ip::address_v4::loopback(), server.port()}; }

  std::string get(const std::string& target, const std::string& headers = "", const std::string& method = "GET") {
    return method + " " + target + " HTTP/1.1\r\nHost: " + host() + "\r\n" + headers + "\r\n";
  }

  // Sends raw request text on a fresh connection and reads one response per
  // entry of `heads` (true: the answer to a HEAD request).
  std::vector<http::response<http::string_body>> exchange(const std::string& raw, std::vector<bool> heads = {false}) {
    asio::io_context ioc;
    tcp::socket socket(ioc);
    std::vector<http::response<http::string_body>> responses;
    beast::error_code ec = await(ioc, [&](auto done) { socket.async_connect(address(), done); });
    if (!ec) ec = await(ioc, [&](auto done) { asio::async_write(socket, asio::buffer(raw), done); });
    beast::flat_buffer buffer;
    for (bool head : heads) {
      if (ec) break;
      http::response_parser<http::string_body> parser;
      parser.skip(head);
      ec = await(ioc, [&](auto done) { http::async_read(socket, buffer, parser, done); });
      if (!ec) responses.push_back(parser.release());
    }
    EXPECT_FALSE(ec) << ec.message();
    responses.resize(heads.size());
    return responses;
  }

  http::response<http::string_body> request(const std::string& raw) { return exchange(raw).front(); }

  test::ScopedTempDir data;
  RecordingEndpoint endpoint;
  LocalServer server{ServerOptions{data.path(), 0, kToken, 30s}, endpoint};
};

// A browser tab's WebSocket, driven from the test thread.
class WindowClient {
 public:
  // Opens /bridge; the handshake's HTTP status is kept in `status`.
  WindowClient(const tcp::endpoint& address, const std::string& origin,
               const std::string& target = "/bridge?token=" + kToken) {
    ws_.set_option(websocket::stream_base::decorator(
        [origin](websocket::request_type& request) { request.set(http::field::origin, origin); }));
    beast::error_code ec = await(ioc_, [&](auto done) { beast::get_lowest_layer(ws_).async_connect(address, done); });
    websocket::response_type response;
    const std::string hostHeader = "127.0.0.1:" + std::to_string(address.port());
    if (!ec) ec = await(ioc_, [&](auto done) { ws_.async_handshake(response, hostHeader, target, done); });
    status = response.result();
    open = !ec;
  }

  void write(const std::string& text) {
    ws_.text(true);
    const beast::error_code ec = await(ioc_, [&](auto done) { ws_.async_write(asio::buffer(text), done); });
    EXPECT_FALSE(ec) << ec.message();
  }

  // The next text message, or nothing when the server closed the socket.
  std::optional<std::string> read() {
    beast::flat_buffer buffer;
    const beast::error_code ec = await(ioc_, [&](auto done) { ws_.async_read(buffer, done); });
    if (ec) return std::nullopt;
    return beast::buffers_to_string(buffer.data());
  }

  void close() {
    const beast::error_code ec = await(ioc_, [&](auto done) { ws_.async_close(websocket::close_code::normal, done); });
    EXPECT_FALSE(ec) << ec.message();
  }

  http::status status = http::status::unknown;
  bool open = false;

 private:
  asio::io_context ioc_;
  websocket::stream<beast::tcp_stream> ws_{ioc_};
};

TEST_F(LocalServerTest, ServesTheWindowToRequestsWithTokenAndLoopbackHost) {
  EXPECT_EQ(server.url(), "http://127.0.0.1:" + std::to_string(server.port()) + "/?token=" + kToken);

  const auto page = request(get("/?token=" + kToken));
  EXPECT_EQ(page.result(), http::status::ok);
  EXPECT_EQ(page.body(), kWindowPage);
  EXPECT_EQ(page[http::field::content_type], "text/html; charset=utf-8");
  EXPECT_EQ(page[http::field::set_cookie], "tvk_token=" + kToken + "; HttpOnly; SameSite=Strict; Path=/");
  EXPECT_EQ(page[http::field::cache_control], "no-store");
  EXPECT_EQ(page["X-Content-Type-Options"], "nosniff");
  EXPECT_EQ(page["Referrer-Policy"], "no-referrer");
  const std::string policy(page["Content-Security-Policy"]);
  EXPECT_NE(policy.find("default-src 'self'"), std::string::npos) << policy;
  EXPECT_NE(policy.find("ws://127.0.0.1:" + std::to_string(server.port())), std::string::npos) << policy;

  // The page's own files load with the cookie alone, two on one connection.
  const auto files = exchange(get("/TVKWizardHTML/TVKIntro.htm", "Cookie: tvk_token=" + kToken + "\r\n") +
                                  get("/TVKWizardHTML/TVKIntro.htm", "Cookie: tvk_token=" + kToken + "\r\n", "HEAD"),
                              {false, true});
  EXPECT_EQ(files[0].result(), http::status::ok);
  EXPECT_EQ(files[0].body(), kIntroPage);
  EXPECT_EQ(files[0].count(http::field::set_cookie), 0U);
  EXPECT_EQ(files[1].result(), http::status::ok);
  EXPECT_EQ(files[1][http::field::content_length], std::to_string(kIntroPage.size()));

  // A refusal is plain, and never cached. (Each refusal - token, Host,
  // Origin, paths - is checked against the real program in
  // tests/browser/security.test.mjs and case by case in request_guard_test.)
  const auto noToken = request(get("/"));
  EXPECT_EQ(noToken.result(), http::status::forbidden);
  EXPECT_EQ(noToken.body(), "Forbidden");
  EXPECT_EQ(noToken[http::field::cache_control], "no-store");
}

TEST_F(LocalServerTest, RefusesOtherMethodsBodiesAndOversizedHeaders) {
  const auto post = request(get("/?token=" + kToken, "", "POST"));
  EXPECT_EQ(post.result(), http::status::method_not_allowed);
  EXPECT_EQ(post[http::field::allow], "GET, HEAD");

  const auto body = request(get("/?token=" + kToken, "Content-Length: 5\r\n") + "hello");
  EXPECT_EQ(body.result(), http::status::payload_too_large);

  const auto huge = request(get("/?token=" + kToken, "X-Padding: " + std::string(9000, 'a') + "\r\n"));
  EXPECT_EQ(huge.result(), http::status::request_header_fields_too_large);

  std::string fields;
  for (int i = 0; i < 70; ++i) fields += "X-Field-" + std::to_string(i) + ": 1\r\n";
  EXPECT_EQ(request(get("/?token=" + kToken, fields)).result(), http::status::request_header_fields_too_large);
  // The server still serves after all of these.
  EXPECT_EQ(request(get("/?token=" + kToken)).result(), http::status::ok);
}

TEST_F(LocalServerTest, OneWindowSocketCarriesMessagesBothWaysInOrder) {
  const std::string origin = "http://127.0.0.1:" + std::to_string(server.port());

  WindowClient foreign(address(), "http://evil.com:" + std::to_string(server.port()));
  EXPECT_FALSE(foreign.open);
  EXPECT_EQ(foreign.status, http::status::forbidden);
  WindowClient noToken(address(), origin, "/bridge");
  EXPECT_FALSE(noToken.open);
  EXPECT_EQ(noToken.status, http::status::forbidden);

  WindowClient first(address(), origin);
  ASSERT_TRUE(first.open);
  EXPECT_EQ(endpoint.waitFor(1), std::vector<std::string>{"connected"});
  first.write("one");
  first.write("two");
  first.write("three");
  EXPECT_EQ(endpoint.waitFor(4),
            (std::vector<std::string>{"connected", "received one", "received two", "received three"}));

  // Two threads sending at once: each one's messages arrive whole and in order.
  constexpr int kCount = 200;
  auto sendMany = [&](const std::string& prefix) {
    for (int i = 0; i < kCount; ++i) server.send(prefix + std::to_string(i));
  };
  std::thread other(sendMany, "b");
  sendMany("a");
  other.join();
  int nextA = 0;
  int nextB = 0;
  for (int i = 0; i < 2 * kCount; ++i) {
    const auto message = first.read();
    ASSERT_TRUE(message);
    int& next = message->front() == 'a' ? nextA : nextB;
    EXPECT_EQ(message->substr(1), std::to_string(next)) << *message;
    ++next;
  }
  EXPECT_EQ(nextA, kCount);
  EXPECT_EQ(nextB, kCount);

  // A second tab takes the window; the first is told and closed, and the
  // bridge hears of a new connection, not of a lost one.
  WindowClient second(address(), "http://localhost:" + std::to_string(server.port()));
  ASSERT_TRUE(second.open);
  EXPECT_EQ(first.read(), R"({"op":"replaced"})");
  EXPECT_EQ(first.read(), std::nullopt);
  second.write("from second");
  server.send("to second");
  EXPECT_EQ(second.read(), "to second");
  EXPECT_EQ(endpoint.waitFor(6), (std::vector<std::string>{"connected", "received one", "received two",
                                                           "received three", "connected", "received from second"}));

  second.close();
  EXPECT_EQ(endpoint.waitFor(7).back(), "disconnected");
  server.send("nobody listens");  // dropped, not queued for the next window

  WindowClient third(address(), origin);
  ASSERT_TRUE(third.open);
  EXPECT_EQ(endpoint.waitFor(8).back(), "connected");
  server.send("for third");
  EXPECT_EQ(third.read(), "for third");

  // stop() ends promptly even though the tab does not answer the close, and
  // what was sent before it still reaches the tab (the bridge's last word).
  server.send("bye");
  const auto before = std::chrono::steady_clock::now();
  server.stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
  server.stop();
  EXPECT_EQ(third.read(), "bye");
  EXPECT_EQ(endpoint.waitFor(0).size(), 8U);  // stopping tells the bridge nothing
  asio::io_context ioc;
  tcp::socket socket(ioc);
  EXPECT_TRUE(await(ioc, [&](auto done) { socket.async_connect(address(), done); }));
}

TEST_F(LocalServerTest, AWindowThatStopsReadingIsClosedOnceItsBacklogIsFull) {
  RecordingEndpoint stalledEndpoint;
  ServerOptions options{data.path(), 0, kToken, 30s};
  options.windowBacklog = 256 * 1024;
  LocalServer small{options, stalledEndpoint};
  small.start();
  const tcp::endpoint at{asio::ip::address_v4::loopback(), small.port()};
  const std::string origin = "http://127.0.0.1:" + std::to_string(small.port());
  WindowClient stalled(at, origin);
  ASSERT_TRUE(stalled.open);
  EXPECT_EQ(stalledEndpoint.waitFor(1).back(), "connected");

  // Far more than the loopback socket's buffers hold: the rest waits in the
  // server until the backlog is full and the window is let go.
  const std::string chunk(64 * 1024, 'x');
  for (int i = 0; i < 1024 && stalledEndpoint.waitFor(0).back() != "disconnected"; ++i) small.send(chunk);
  EXPECT_EQ(stalledEndpoint.waitFor(2).back(), "disconnected");

  // The page connects again and is served as before.
  WindowClient again(at, origin);
  ASSERT_TRUE(again.open);
  EXPECT_EQ(stalledEndpoint.waitFor(3).back(), "connected");
  small.send("afresh");
  EXPECT_EQ(again.read(), "afresh");
}

TEST_F(LocalServerTest, TheBridgeCanStopTheServerFromItsOwnCall) {
  endpoint.onReceived = [&](const std::string& message) {
    if (message == "end") server.stop();
  };
  WindowClient window(address(), "http://127.0.0.1:" + std::to_string(server.port()));
  ASSERT_TRUE(window.open);
  window.write("end");
  EXPECT_EQ(endpoint.waitFor(2), (std::vector<std::string>{"connected", "received end"}));
  EXPECT_EQ(window.read(), std::nullopt);  // closed by the server
  asio::io_context ioc;
  tcp::socket socket(ioc);
  EXPECT_TRUE(await(ioc, [&](auto done) { socket.async_connect(address(), done); }));
  const auto before = std::chrono::steady_clock::now();
  server.stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
}

TEST_F(LocalServerTest, ABusyPortAndASilentClientAreHandled) {
  RecordingEndpoint otherEndpoint;
  LocalServer busy{ServerOptions{data.path(), server.port(), kToken, 30s}, otherEndpoint};
  try {
    busy.start();
    ADD_FAILURE() << "a second server listened on the same port";
  } catch (const WizError& e) {
    EXPECT_EQ(e.source(), "LocalServer");
    EXPECT_EQ(e.description(),
              "Cannot listen on 127.0.0.1:" + std::to_string(server.port()) + ": Address already in use");
  }

  // A connection that never sends a request is closed after the idle time.
  LocalServer quick{ServerOptions{data.path(), 0, kToken, 1s}, otherEndpoint};
  quick.start();
  asio::io_context ioc;
  tcp::socket socket(ioc);
  ASSERT_FALSE(await(ioc, [&](auto done) {
    socket.async_connect(tcp::endpoint{asio::ip::address_v4::loopback(), quick.port()}, done);
  }));
  char byte = 0;
  EXPECT_EQ(await(ioc, [&](auto done) { socket.async_read_some(asio::buffer(&byte, 1), done); }), asio::error::eof);

  // Without a token of its own the server makes one.
  LocalServer fresh{ServerOptions{data.path(), 0, "", 30s}, otherEndpoint};
  const std::string url = fresh.url();
  EXPECT_EQ(url.size() - url.find("?token=") - 7, 32U) << url;
  EXPECT_NE(makeToken(), makeToken());
}

}  // namespace
}  // namespace tvk
