// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A value or the message of why there is none: how the steps of pack83 and
// calcview report failures up to main.

#include <optional>
#include <string>
#include <utility>

namespace pack83 {

/// The message of a failed step.
struct Failure {
    std::string message;
};

template <class T>
class Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : message_(std::move(failure.message)) {}

    explicit operator bool() const { return value_.has_value(); }
    const T& operator*() const { return *value_; }
    T& operator*() { return *value_; }
    const T* operator->() const { return &*value_; }
    /// Why there is no value; empty when there is one.
    const std::string& message() const { return message_; }

  private:
    std::optional<T> value_;
    std::string message_;
};

/// Success, or the message of why a step failed: for steps that give no value.
class Status {
  public:
    Status() = default;
    Status(Failure failure) : failed_(true), message_(std::move(failure.message)) {}

    explicit operator bool() const { return !failed_; }
    /// Why it failed; empty on success.
    const std::string& message() const { return message_; }

  private:
    bool failed_ = false;
    std::string message_;
};

}  // namespace pack83
