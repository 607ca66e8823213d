#pragma once
// A graph call that must work for the test to mean anything; a failure
// prints the call and its result.

#include "media/graph/MediaTypes.h"

#include <gtest/gtest.h>

#define EXPECT_SUCCEEDED(expr)                                                                             \
    do {                                                                                                   \
        const HRESULT hresult_ = (expr);                                                                   \
        EXPECT_TRUE(SUCCEEDED(hresult_)) << #expr << " gave 0x" << std::hex << static_cast<unsigned>(hresult_); \
    } while (false)
