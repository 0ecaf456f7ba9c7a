// Registry keys are rows of the database, named by their row id.
#pragma once

#include <cstdint>

namespace host::emulated {

using KeyId = std::int64_t;
constexpr KeyId kRootKeyId = 0;  // HKEY_LOCAL_MACHINE itself has no row

}  // namespace host::emulated
