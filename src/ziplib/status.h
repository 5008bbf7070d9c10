#pragma once
// The run's status values (what Wiz_SingleEntryUnzip returns) and the one way the library's
// code reports a failure: a ziplib::Failure carrying one of these values and the UTF-8 message
// the host gets through its print callback.
#include <exception>
#include <string>
#include <utility>

namespace ziplib {

constexpr long kStatusOk = 0;
constexpr long kStatusMemberFailed = 1;   // a member was refused, damaged or could not be written
constexpr long kStatusArchiveDamaged = 2; // the directory could not be read completely
constexpr long kStatusNotAnArchive = 9;   // no archive at that path, or no zip directory in it
constexpr long kStatusBadArguments = 10;  // a missing record or archive path
constexpr long kStatusNoSuchMember = 11;  // an include name that no member carries
constexpr long kStatusStopped = 80;       // the host stopped the run through its service callback

// The library's own error: a status value and its text. It never leaves the library; the C
// boundary turns it into a return value and a printed message.
class Failure : public std::exception {
  public:
    Failure(long status, std::string message) : status_(status), message_(std::move(message)) {}

    long Status() const noexcept { return status_; }
    const char *what() const noexcept override { return message_.c_str(); }

  private:
    long status_;
    std::string message_;
};

// Raises a Failure with `status` and the UTF-8 `message`.
[[noreturn]] void Fail(long status, const std::string &message);

} // namespace ziplib
