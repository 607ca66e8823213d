#pragma once
// GoogleTest's view of a job's result: a failure prints its kind and reason.

#include "JobResult.h"

#include <gtest/gtest.h>

inline ::testing::AssertionResult Succeeded(const JobResult& result)
{
    if (result)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "failed (kind " << static_cast<int>(result.Failure())
                                         << "): " << result.Reason();
}

// Fails unless `result` is a failure of `kind`; the reason is printed either way.
inline ::testing::AssertionResult FailedWith(const JobResult& result, JobFailure kind)
{
    if (!result && result.Failure() == kind)
        return ::testing::AssertionSuccess() << result.Reason();
    return ::testing::AssertionFailure() << "expected failure kind " << static_cast<int>(kind) << ", got "
                                         << static_cast<int>(result.Failure()) << ": " << result.Reason();
}
