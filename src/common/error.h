#pragma once
// The one error type of the kit: a number, the source that raised it and a description.
// Components raise it; only the top of each program catches it.
#include <exception>
#include <string>

namespace mend {

class Error : public std::exception {
  public:
    Error(long number, std::wstring source, std::wstring description);

    long Number() const noexcept { return number_; }
    const std::wstring &Source() const noexcept { return source_; }
    const std::wstring &Description() const noexcept { return description_; }
    const char *what() const noexcept override { return what_.c_str(); }

  private:
    long number_;
    std::wstring source_;
    std::wstring description_;
    std::string what_;
};

// Error numbers and texts that the components share with the classic run-time.
constexpr long kErrOverflow = 6;
constexpr long kErrSubscriptOutOfRange = 9;
constexpr long kErrInvalidProcedureCall = 5;

[[noreturn]] void RaiseOverflow(const std::wstring &source);
[[noreturn]] void RaiseSubscriptOutOfRange(const std::wstring &source);

// The running program's file name without folder and extension ("mendpack").
std::wstring ProgramName();

// The source text of a component's errors: the program's name followed by the suffix,
// for example ".VBUnzip" or ".cRegistry".
std::wstring ComponentSource(const std::wstring &suffix);

} // namespace mend
