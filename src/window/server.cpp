#include "window/server.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <exception>
#include <fstream>
#include <future>
#include <iostream>
#include <iterator>
#include <mutex>
#include <optional>
#include <random>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

// After the standard headers: Asio 1.74 uses std::exchange without <utility>.
#include <boost/asio.hpp>
#include <boost/beast.hpp>

#include "base/error.h"
#include "window/request_guard.h"

namespace tvk {

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;

constexpr std::size_t kHeaderLimit = 8 * 1024;
constexpr std::ptrdiff_t kFieldLimit = 64;
constexpr std::size_t kMessageLimit = 4 * 1024 * 1024;
// How long stop() lets queued messages and close handshakes finish before it
// drops every connection.
constexpr auto kStopGrace = std::chrono::milliseconds(200);

constexpr std::string_view kBridgePath = "/bridge";
constexpr std::string_view kReplaced = R"({"op":"replaced"})";

std::string_view view(beast::string_view text) { return {text.data(), text.size()}; }
beast::string_view view(std::string_view text) { return {text.data(), text.size()}; }

// Something the server closes when it stops.
class Connection {
 public:
  virtual ~Connection() = default;
  virtual void close() = 0;
};

class WindowSocket;

// Everything the network thread works on. Members other than the options,
// the io_context and the port are touched on the network thread only.
struct ServerCore {
  ServerCore(ServerOptions serverOptions, BridgeEndpoint& bridgeEndpoint)
      : options(std::move(serverOptions)), endpoint(bridgeEndpoint) {}

  ServerOptions options;
  BridgeEndpoint& endpoint;
  asio::io_context ioc{1};
  tcp::acceptor acceptor{ioc};
  unsigned short port = 0;
  std::string securityPolicy;

  bool stopping = false;
  std::shared_ptr<WindowSocket> window;
  std::vector<std::weak_ptr<Connection>> connections;

  void acceptNext();
  void adoptWindow(const std::shared_ptr<WindowSocket>& socket);
  void windowClosed(const WindowSocket* socket);
  void shutdown();

  // The endpoint belongs to the bridge: a failure there must not end the
  // network thread, which serves every other connection too.
  template <class Call>
  void notify(Call call) {
    if (stopping) return;
    try {
      call(endpoint);
    } catch (const std::exception& e) {
      std::cerr << "TVK Wizard: the window bridge failed: " << e.what() << '\n';
    } catch (...) {
      std::cerr << "TVK Wizard: the window bridge failed\n";
    }
  }
};

class WindowSocket : public Connection, public std::enable_shared_from_this<WindowSocket> {
 public:
  WindowSocket(tcp::socket&& socket, ServerCore& core) : ws_(std::move(socket)), core_(core) {}

  void accept(const http::request<http::empty_body>& request) {
    // The handshake and the socket's life have their own timeouts (pings
    // notice a tab that is gone); the HTTP idle timer must not cut them.
    beast::get_lowest_layer(ws_).expires_never();
    ws_.set_option(websocket::stream_base::timeout::suggested(beast::role_type::server));
    ws_.read_message_max(kMessageLimit);
    ws_.async_accept(request, [self = shared_from_this()](beast::error_code ec) { self->onAccept(ec); });
  }

  void queue(std::string message) {
    if (!open_ || closing_) return;
    backlog_ += message.size();
    if (backlog_ > core_.options.windowBacklog) {
      // The read that is pending fails too and reports the window gone. A
      // write under way keeps its buffer until it completes.
      messages_.erase(writing_ ? std::next(messages_.begin()) : messages_.begin(), messages_.end());
      backlog_ = messages_.empty() ? 0 : messages_.front().size();
      closing_ = true;
      beast::get_lowest_layer(ws_).close();
      return;
    }
    messages_.push_back(std::move(message));
    if (!writing_) writeNext();
  }

  // Tells the page that another tab holds the window now, then closes.
  void replace() {
    queue(std::string(kReplaced));
    closeGracefully();
  }

  void close() override {
    if (open_)
      closeGracefully();
    else
      beast::get_lowest_layer(ws_).close();
  }

 private:
  void onAccept(beast::error_code ec) {
    if (ec || core_.stopping) return;
    open_ = true;
    core_.adoptWindow(shared_from_this());
    readNext();
  }

  void readNext() {
    ws_.async_read(buffer_, [self = shared_from_this()](beast::error_code ec, std::size_t) { self->onRead(ec); });
  }

  void onRead(beast::error_code ec) {
    if (ec) {
      open_ = false;
      messages_.clear();
      backlog_ = 0;
      core_.windowClosed(this);
      return;
    }
    // A replaced socket may still be talking until its close completes; it is
    // not the window any more.
    if (ws_.got_text() && core_.window.get() == this) {
      std::string text = beast::buffers_to_string(buffer_.data());
      core_.notify([&](BridgeEndpoint& endpoint) { endpoint.received(std::move(text)); });
    }
    buffer_.consume(buffer_.size());
    readNext();
  }

  // Beast allows one write at a time: messages wait here for the previous.
  void writeNext() {
    if (messages_.empty()) {
      writing_ = false;
      if (closing_) startClose();
      return;
    }
    writing_ = true;
    ws_.text(true);
    ws_.async_write(asio::buffer(messages_.front()),
                    [self = shared_from_this()](beast::error_code ec, std::size_t) { self->onWrite(ec); });
  }

  void onWrite(beast::error_code ec) {
    if (ec) {
      // The pending read fails too and reports the socket closed.
      messages_.clear();
      backlog_ = 0;
      writing_ = false;
      beast::get_lowest_layer(ws_).close();
      return;
    }
    backlog_ -= messages_.front().size();
    messages_.pop_front();
    writeNext();
  }

  void closeGracefully() {
    if (closing_) return;
    closing_ = true;
    if (!writing_) startClose();
  }

  void startClose() {
    if (closeStarted_ || !open_) return;
    closeStarted_ = true;
    ws_.async_close(websocket::close_code::normal, [self = shared_from_this()](beast::error_code ec) {
      if (ec) beast::get_lowest_layer(self->ws_).close();
    });
  }

  websocket::stream<beast::tcp_stream> ws_;
  ServerCore& core_;
  beast::flat_buffer buffer_;
  std::deque<std::string> messages_;
  std::size_t backlog_ = 0;  // bytes in messages_
  bool open_ = false;
  bool writing_ = false;
  bool closing_ = false;
  bool closeStarted_ = false;
};

class HttpSession : public Connection, public std::enable_shared_from_this<HttpSession> {
 public:
  HttpSession(tcp::socket&& socket, ServerCore& core) : stream_(std::move(socket)), core_(core) {}

  void start() { readNext(); }

  void close() override {
    beast::error_code ignored;
    stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
    stream_.close();
  }

 private:
  using Response = http::response<http::string_body>;

  void readNext() {
    parser_.emplace();
    parser_->header_limit(kHeaderLimit);
    parser_->body_limit(0);  // GET and HEAD carry no body
    stream_.expires_after(core_.options.idleTimeout);
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared_from_this()](beast::error_code ec, std::size_t) { self->onRead(ec); });
  }

  void onRead(beast::error_code ec) {
    if (core_.stopping || ec == asio::error::operation_aborted || ec == beast::error::timeout) return;
    if (ec == http::error::end_of_stream) return close();
    if (ec == http::error::header_limit) return refuse(http::status::request_header_fields_too_large);
    if (ec == http::error::body_limit || ec == http::error::unexpected_body)
      return refuse(http::status::payload_too_large);
    if (ec) {
      // A request that broke the protocol gets told so; a connection that
      // merely went away does not.
      if (ec.category() == http::make_error_code(http::error::bad_target).category())
        return refuse(http::status::bad_request);
      return close();
    }
    const auto& request = parser_->get();
    if (std::distance(request.begin(), request.end()) > kFieldLimit)
      return refuse(http::status::request_header_fields_too_large);
    handle(request);
  }

  void handle(const http::request<http::empty_body>& request) {
    const std::string_view target = view(request.target());
    const bool keepAlive = request.keep_alive();
    if (!hostAllowed(view(request[http::field::host]), core_.port))
      return write(plain(http::status::forbidden), keepAlive);
    const TokenSource token = findToken(target, view(request[http::field::cookie]), core_.options.token);
    if (token == TokenSource::None) return write(plain(http::status::forbidden), keepAlive);
    if (request.method() != http::verb::get && request.method() != http::verb::head) {
      Response response = plain(http::status::method_not_allowed);
      response.set(http::field::allow, "GET, HEAD");
      return write(std::move(response), keepAlive);
    }

    if (targetPath(target) == kBridgePath) {
      if (!websocket::is_upgrade(request)) return write(plain(http::status::bad_request), keepAlive);
      if (!originAllowed(view(request[http::field::origin]), core_.port))
        return write(plain(http::status::forbidden), keepAlive);
      auto socket = std::make_shared<WindowSocket>(stream_.release_socket(), core_);
      core_.connections.push_back(socket);
      socket->accept(parser_->release());
      return;
    }

    const ResolvedPath path = resolvePath(target, core_.options.dataDirectory);
    if (path.status == PathStatus::Forbidden) return write(plain(http::status::forbidden), keepAlive);
    std::optional<std::string> content;
    if (path.status == PathStatus::Ok) content = readWhole(path.file);
    if (!content) return write(plain(http::status::not_found), keepAlive);

    Response response{http::status::ok, 11};
    response.set(http::field::content_type, view(contentType(path.file)));
    // The pages, their script and style do not change while the program
    // runs, and each run has its own origin (port): the browser may keep
    // them, so a Next does not fetch wizard.css and wizard.js again.
    if (targetPath(target) != "/") response.set(http::field::cache_control, "private, max-age=3600");
    if (token == TokenSource::Query)
      response.set(http::field::set_cookie, "tvk_token=" + core_.options.token + "; HttpOnly; SameSite=Strict; Path=/");
    if (request.method() == http::verb::head) {
      response.content_length(content->size());
    } else {
      response.body() = std::move(*content);
      response.prepare_payload();
    }
    write(std::move(response), keepAlive);
  }

  static std::optional<std::string> readWhole(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return content;
  }

  static Response plain(http::status status) {
    Response response{status, 11};
    response.set(http::field::content_type, "text/plain; charset=utf-8");
    response.body() = std::string(view(http::obsolete_reason(status)));
    response.prepare_payload();
    return response;
  }

  // A request the parser gave up on: answered, then the connection ends,
  // since what follows in the stream cannot be trusted.
  void refuse(http::status status) { write(plain(status), false); }

  void write(Response response, bool keepAlive) {
    response.keep_alive(keepAlive);
    if (response.find(http::field::cache_control) == response.end())
      response.set(http::field::cache_control, "no-store");
    response.set("X-Content-Type-Options", "nosniff");
    response.set("Content-Security-Policy", core_.securityPolicy);
    response.set("Referrer-Policy", "no-referrer");
    response_ = std::move(response);
    stream_.expires_after(core_.options.idleTimeout);
    http::async_write(stream_, *response_, [self = shared_from_this()](beast::error_code ec, std::size_t) {
      const bool last = self->response_->need_eof();
      self->response_.reset();
      if (ec || self->core_.stopping) return;
      if (last) return self->close();
      self->readNext();
    });
  }

  beast::tcp_stream stream_;
  ServerCore& core_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::empty_body>> parser_;
  std::optional<Response> response_;
};

void ServerCore::acceptNext() {
  acceptor.async_accept([this](beast::error_code ec, tcp::socket socket) {
    // The bridge sends many small messages in a row: without this each one
    // after an unacknowledged one waits for the peer's delayed ACK (~40 ms).
    beast::error_code ignored;
    if (!ec) socket.set_option(tcp::no_delay(true), ignored);
    if (stopping || ec == asio::error::operation_aborted) return;
    if (!ec) {
      std::erase_if(connections, [](const std::weak_ptr<Connection>& c) { return c.expired(); });
      auto session = std::make_shared<HttpSession>(std::move(socket), *this);
      connections.push_back(session);
      session->start();
    }
    acceptNext();
  });
}

void ServerCore::adoptWindow(const std::shared_ptr<WindowSocket>& socket) {
  if (window) window->replace();
  window = socket;
  notify([](BridgeEndpoint& e) { e.connected(); });
}

void ServerCore::windowClosed(const WindowSocket* socket) {
  if (window.get() != socket) return;
  window.reset();
  notify([](BridgeEndpoint& e) { e.disconnected(); });
}

void ServerCore::shutdown() {
  stopping = true;
  beast::error_code ignored;
  acceptor.close(ignored);
  for (const auto& weak : connections)
    if (auto connection = weak.lock()) connection->close();
  connections.clear();
}

}  // namespace

class LocalServer::Impl : public ServerCore {
 public:
  using ServerCore::ServerCore;

  std::mutex lifecycle;
  bool started = false;
  std::thread thread;
  std::promise<void> finished;
};

LocalServer::LocalServer(ServerOptions options, BridgeEndpoint& endpoint) {
  if (options.token.empty()) options.token = makeToken();
  impl_ = std::make_unique<Impl>(std::move(options), endpoint);
}

LocalServer::~LocalServer() { stop(); }

void LocalServer::start() {
  Impl& core = *impl_;
  std::lock_guard lock(core.lifecycle);
  if (core.started) raise(err::kInvalidCall, "LocalServer", "The server was started before");

  const tcp::endpoint address{asio::ip::address_v4::loopback(), core.options.port};
  beast::error_code ec;
  core.acceptor.open(address.protocol(), ec);
  if (!ec) core.acceptor.set_option(asio::socket_base::reuse_address(true), ec);
  if (!ec) core.acceptor.bind(address, ec);
  if (!ec) core.acceptor.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) {
    beast::error_code ignored;
    core.acceptor.close(ignored);
    raise(err::kDeviceIO, "LocalServer",
          "Cannot listen on 127.0.0.1:" + std::to_string(core.options.port) + ": " + ec.message());
  }
  core.port = core.acceptor.local_endpoint().port();
  const std::string port = std::to_string(core.port);
  core.securityPolicy = "default-src 'self'; connect-src 'self' ws://127.0.0.1:" + port + " ws://localhost:" + port +
                        "; img-src 'self' data:; style-src 'self' 'unsafe-inline'; script-src 'self'; "
                        "frame-ancestors 'self'";
  core.acceptNext();
  core.started = true;
  core.thread = std::thread([&core] {
    for (;;) {
      try {
        core.ioc.run();
        break;
      } catch (const std::exception& e) {
        std::cerr << "TVK Wizard: the local server failed: " << e.what() << '\n';
      }
    }
    core.finished.set_value();
  });
}

unsigned short LocalServer::port() const { return impl_->port; }

std::string LocalServer::url() const {
  return "http://127.0.0.1:" + std::to_string(impl_->port) + "/?token=" + impl_->options.token;
}

void LocalServer::send(std::string message) {
  ServerCore& core = *impl_;
  asio::post(core.ioc, [&core, message = std::move(message)]() mutable {
    if (core.window) core.window->queue(std::move(message));
  });
}

void LocalServer::stop() {
  Impl& core = *impl_;
  // From the endpoint's calls (the bridge ending the window): the network
  // thread cannot join itself. It stops serving now; the owner's stop() or the
  // destructor joins it.
  if (core.ioc.get_executor().running_in_this_thread()) return core.shutdown();
  std::lock_guard lock(core.lifecycle);
  if (!core.thread.joinable()) return;
  asio::post(core.ioc, [&core] { core.shutdown(); });
  if (core.finished.get_future().wait_for(kStopGrace) == std::future_status::timeout) core.ioc.stop();
  core.thread.join();
}

std::string makeToken() {
  std::random_device device;
  std::string token;
  for (int i = 0; i < 4; ++i) {
    char part[9];
    std::snprintf(part, sizeof part, "%08x", static_cast<unsigned>(device()) & 0xffffffffU);
    token += part;
  }
  return token;
}

}  // namespace tvk
