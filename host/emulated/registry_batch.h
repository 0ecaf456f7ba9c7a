// The emulated host's own tools name the registry transaction a batch (an
// import is all or nothing).
#pragma once

#include "host/registry_scope.h"

namespace host::emulated {

using RegistryBatch = host::RegistryTransaction;

}  // namespace host::emulated
