// The test program's thread is a single-threaded apartment, like the
// product's.
#include <gtest/gtest.h>

#include <objbase.h>

namespace {

class ComEnvironment : public testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    }
    void TearDown() override { ::CoUninitialize(); }
};

testing::Environment* const g_env = testing::AddGlobalTestEnvironment(new ComEnvironment);

} // namespace
