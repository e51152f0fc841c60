// The test program's thread is a single-threaded apartment, like the
// product's.
#include <gtest/gtest.h>

#include "OleOwners_win.h"

#include <optional>

namespace {

class ComEnvironment : public testing::Environment {
public:
    void SetUp() override {
        m_com.emplace(COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(*m_com);
    }
    void TearDown() override { m_com.reset(); }

private:
    std::optional<CComInitialization> m_com;
};

testing::Environment* const g_env = testing::AddGlobalTestEnvironment(new ComEnvironment);

} // namespace
