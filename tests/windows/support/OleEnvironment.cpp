// Drag and drop needs OLE on the test thread, as the program has it on its own.
#include <gtest/gtest.h>
#include <ole2.h>

namespace {

class OleEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};

const auto* const kOle = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

}  // namespace
