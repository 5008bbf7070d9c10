#pragma once
// The run's status values (what Wiz_SingleEntryUnzip returns) and the one way the library's
// code reports a failure: a mend::Error whose number is one of these values and whose
// description is the message the host gets through its print callback.
#include <string>

namespace ziplib {

constexpr long kStatusOk = 0;
constexpr long kStatusMemberFailed = 1;   // a member was refused, damaged or could not be written
constexpr long kStatusArchiveDamaged = 2; // the directory could not be read completely
constexpr long kStatusNotAnArchive = 9;   // no archive at that path, or no zip directory in it
constexpr long kStatusBadArguments = 10;  // a missing record or archive path
constexpr long kStatusNoSuchMember = 11;  // an include name that no member carries
constexpr long kStatusStopped = 80;       // the host stopped the run through its service callback

// Raises mend::Error with `status` as its number and the UTF-8 `message` as its description.
[[noreturn]] void Fail(long status, const std::string &message);

// The description of a mend::Error as UTF-8.
std::string MessageOf(const std::exception &error);

} // namespace ziplib
