#include "common/error.h"

#include "common/text.h"

namespace mend {

Error::Error(long number, std::wstring source, std::wstring description)
    : number_(number), source_(std::move(source)), description_(std::move(description)),
      what_(Utf8FromWide(description_)) {}

void RaiseOverflow(const std::wstring &source) {
    throw Error(kErrOverflow, source, L"Overflow");
}

void RaiseSubscriptOutOfRange(const std::wstring &source) {
    throw Error(kErrSubscriptOutOfRange, source, L"Subscript out of range");
}

std::wstring ComponentSource(const std::wstring &suffix) {
    return ProgramName() + suffix;
}

} // namespace mend
