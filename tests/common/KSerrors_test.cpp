#include "common/KSerrors.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

TEST(KSerrors, SpecificErrorsAreCaughtAsTheGeneralError) {
    try {
        throw EWriteError("Stream write error");
    } catch (const EKSError& e) {
        EXPECT_STREQ("Stream write error", e.what());
        return;
    }
    FAIL() << "EWriteError not caught as EKSError";
}

} // namespace
} // namespace ks
