// An RAII owner for one ODBC handle (environment, connection or statement).
// Keeps sql.h out of the headers: an ODBC handle is a pointer, its type a
// short.
#pragma once

#include <memory>
#include <utility>

namespace tvk::db {

class OdbcApi;

class OdbcHandle {
 public:
  OdbcHandle() = default;
  // Allocates a handle of `type` under `parent` (none for an environment)
  // through the driver manager `api`; fails as WizError.
  OdbcHandle(std::shared_ptr<const OdbcApi> api, short type, void* parent);
  ~OdbcHandle();
  OdbcHandle(OdbcHandle&& other) noexcept
      : api_(std::move(other.api_)), type_(other.type_), handle_(std::exchange(other.handle_, nullptr)) {}
  OdbcHandle& operator=(OdbcHandle&& other) noexcept;
  OdbcHandle(const OdbcHandle&) = delete;
  OdbcHandle& operator=(const OdbcHandle&) = delete;

  void* get() const noexcept { return handle_; }
  short type() const noexcept { return type_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }

 private:
  void release() noexcept;

  std::shared_ptr<const OdbcApi> api_;
  short type_ = 0;
  void* handle_ = nullptr;
};

}  // namespace tvk::db
