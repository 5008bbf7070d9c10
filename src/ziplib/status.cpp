#include "ziplib/status.h"

#include "common/error.h"
#include "common/text.h"

namespace ziplib {

void Fail(long status, const std::string &message) {
    throw mend::Error(status, L"vbuzip10", mend::WideFromUtf8(message));
}

std::string MessageOf(const std::exception &error) {
    if (auto *e = dynamic_cast<const mend::Error *>(&error))
        return mend::Utf8FromWide(e->Description());
    return error.what();
}

} // namespace ziplib
