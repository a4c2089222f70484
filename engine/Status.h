#pragma once
// The outcome of an engine operation: success, or a failure with a reason a person can read.
#include <optional>
#include <string>
#include <utility>

namespace Orvane {

class [[nodiscard]] Status {
 public:
  static Status Ok() { return Status(); }
  static Status Error(std::string reason) { return Status(std::move(reason)); }

  bool ok() const { return !error_.has_value(); }
  explicit operator bool() const { return ok(); }
  // Empty on success.
  const std::string& message() const {
    static const std::string kNone;
    return error_ ? *error_ : kNone;
  }

 private:
  Status() = default;
  explicit Status(std::string reason) : error_(std::move(reason)) {}
  std::optional<std::string> error_;
};

// A value, or the reason there is none.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit on purpose
  static Result Error(std::string reason) { return Result(Status::Error(std::move(reason))); }
  Result(Status failure) : failure_(std::move(failure)) {}  // NOLINT

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  T& value() { return *value_; }
  const T& value() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  const std::string& message() const { return failure_.message(); }
  Status status() const { return failure_; }

 private:
  std::optional<T> value_;
  Status failure_ = Status::Ok();
};

}  // namespace Orvane
