#pragma once
// The outcome of an operation: success, or a failure with a kind that callers branch on, a
// where (the file, the sound, the byte offset) and a reason a person can read. Every failure
// has a kind; wrapping one (Prefixed, Suffixed, At) keeps its kind and where.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace Orvane {

enum class ErrorKind {
  None,             // no failure: the kind of a success
  Failed,           // none of the kinds below
  NotFound,         // a file or a sound that is not there
  NotABank,         // a file that is not a bank
  Damaged,          // a file whose contents contradict themselves or stop short
  Unsupported,      // a well-formed file in a format that is refused
  NeedsConversion,  // a file that conversion would bring into a format a bank holds
  TooLarge,         // more than a format, a limit or the memory allows
  Io,               // the system failed to read or write
  ChangedOnDisk,    // a file that another program changed meanwhile
  NoSounds,         // a bank whose count is 0: nothing to open, nothing to keep loaded
  Refused,          // an edit the bank's rules do not allow (a name too long, the last sound)
  NoDevice,         // no audio device to play on
  ChildFailed,      // a program this one started (the decoder) could not start, crashed, hung,
                    // overran its limits or broke its protocol: its own failure, not its input's
};

// True when `value` is one of the failure kinds above: for kinds that crossed a process
// boundary. The switch names every kind, so the compiler warns when a new one is left out.
constexpr bool IsErrorKind(std::uint32_t value) {
  switch (static_cast<ErrorKind>(value)) {
    case ErrorKind::None: return false;
    case ErrorKind::Failed:
    case ErrorKind::NotFound:
    case ErrorKind::NotABank:
    case ErrorKind::Damaged:
    case ErrorKind::Unsupported:
    case ErrorKind::NeedsConversion:
    case ErrorKind::TooLarge:
    case ErrorKind::Io:
    case ErrorKind::ChangedOnDisk:
    case ErrorKind::NoSounds:
    case ErrorKind::Refused:
    case ErrorKind::NoDevice:
    case ErrorKind::ChildFailed:
      return true;
  }
  return false;
}

// Where a failure lies, as far as it is known: the file, the sound's index, the byte offset.
struct Where {
  std::string File = {};
  std::optional<std::uint32_t> Sound = {};
  std::optional<std::uint64_t> Offset = {};

  bool Empty() const { return File.empty() && !Sound && !Offset; }
  bool operator==(const Where&) const = default;
};

class Status;
// `failure`'s reason followed by the parts of its where that the reason does not name already:
// "cannot read the bank: it stops short (at work.sdt, sound 3, byte 1,024)". What a front end
// shows of a failure.
std::string Described(const Status& failure);

class [[nodiscard]] Status {
 public:
  static Status Ok() { return Status(); }
  // A failure of kind None would read as a success: it becomes Failed.
  static Status Error(ErrorKind kind, std::string reason, Where where = {}) {
    return Status(kind == ErrorKind::None ? ErrorKind::Failed : kind, std::move(reason),
                  std::move(where));
  }

  bool ok() const { return !error_.has_value(); }
  explicit operator bool() const { return ok(); }
  // Empty on success.
  const std::string& message() const {
    static const std::string kNone;
    return error_ ? *error_ : kNone;
  }
  // ErrorKind::None on success.
  ErrorKind kind() const { return kind_; }
  const Where& where() const { return where_; }

  // The same failure with `prefix` before its reason, e.g. the file it concerns.
  Status Prefixed(const std::string& prefix) const {
    return ok() ? *this : Status(kind_, prefix + *error_, where_);
  }
  // The same failure with `suffix` after its reason, e.g. how to mend it.
  Status Suffixed(const std::string& suffix) const {
    return ok() ? *this : Status(kind_, *error_ + suffix, where_);
  }
  // The same failure with the parts of `outer` it did not know yet filled in.
  Status At(const Where& outer) const {
    if (ok()) return *this;
    Where w = where_;
    if (w.File.empty()) w.File = outer.File;
    if (!w.Sound) w.Sound = outer.Sound;
    if (!w.Offset) w.Offset = outer.Offset;
    return Status(kind_, *error_, std::move(w));
  }

 private:
  Status() = default;
  Status(ErrorKind kind, std::string reason, Where where)
      : error_(std::move(reason)), kind_(kind), where_(std::move(where)) {}
  std::optional<std::string> error_;
  ErrorKind kind_ = ErrorKind::None;
  Where where_;
};

// Reading the value of a Result that holds a failure is a fault of the program, in every build:
// it ends the program naming the failure, rather than reading what is not there.
[[noreturn]] void ValueOfFailure(const Status& failure);

// A value, or the reason there is none.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit on purpose
  static Result Error(ErrorKind kind, std::string reason, Where where = {}) {
    return Result(Status::Error(kind, std::move(reason), std::move(where)));
  }
  // A success handed over without a value is a fault too: it becomes a failure that says so.
  Result(Status failure)  // NOLINT
      : failure_(failure.ok() ? Status::Error(ErrorKind::Failed, "a result was given no value")
                              : std::move(failure)) {}

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  T& value() {
    if (!ok()) ValueOfFailure(failure_);
    return *value_;
  }
  const T& value() const {
    if (!ok()) ValueOfFailure(failure_);
    return *value_;
  }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  const std::string& message() const { return failure_.message(); }
  ErrorKind kind() const { return failure_.kind(); }
  const Where& where() const { return failure_.where(); }
  Status status() const { return failure_; }

 private:
  std::optional<T> value_;
  Status failure_ = Status::Ok();
};

}  // namespace Orvane
