#include "ziplib/status.h"

namespace ziplib {

void Fail(long status, const std::string &message) {
    throw Failure(status, message);
}

} // namespace ziplib
