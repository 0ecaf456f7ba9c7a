// The text a version block gives for a sub-block, checked to come with its
// terminator counted, as VerQueryValue hands strings back.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/version.h"

namespace contract {

// The text VerQueryValue gives for subBlock, or "<none>".
inline std::string QueryText(const void* block, const char* subBlock) {
    void* buffer = nullptr;
    host::UINT length = 0;
    if (!host::QueryVersionValue(block, subBlock, &buffer, &length)) return "<none>";
    const char* text = static_cast<const char*>(buffer);
    EXPECT_EQ(length, std::strlen(text) + 1) << subBlock;
    return text;
}

}  // namespace contract
