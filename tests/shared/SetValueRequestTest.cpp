#include <gtest/gtest.h>

#include "shared/SetValueRequest.h"

namespace {

constexpr std::uint8_t Write = SetValueRequest::Write;
constexpr std::uint8_t InService = SetValueRequest::InService;
constexpr std::uint8_t Abandoned = SetValueRequest::Abandoned;

// The screen's and the threads' steps on one request, and what each leaves.
TEST(SetValueRequest, ScreenAndThreadsHandTheRequestOnOnlyOnce)
{
    SetValueRequest sv;

    sv.post(Write);
    EXPECT_FALSE(sv.withdraw()) << "taken by no thread";
    EXPECT_EQ(sv.pending(), SetValueRequest::None);

    sv.post(Write);
    ASSERT_TRUE(sv.take(Write));
    EXPECT_FALSE(sv.take(Write)) << "a second thread may not take it too";
    sv.finish();
    EXPECT_TRUE(sv.withdraw()) << "served";

    sv.post(Write);
    ASSERT_TRUE(sv.take(Write));
    EXPECT_FALSE(sv.withdraw()) << "still on the line";
    EXPECT_EQ(sv.pending(), Write | InService | Abandoned);
    EXPECT_FALSE(sv.take(Write));
    sv.finish();
    EXPECT_EQ(sv.pending(), SetValueRequest::None);
}

// A thread that took a request posted for another port gives it back for
// that port's thread; if the screen gave up meanwhile, it is done with.
TEST(SetValueRequest, RequestTakenByMistakeIsGivenBack)
{
    SetValueRequest sv;
    sv.post(Write);
    ASSERT_TRUE(sv.take(Write));
    sv.giveBack(Write);
    EXPECT_EQ(sv.pending(), Write);
    EXPECT_TRUE(sv.take(Write)) << "the right thread takes it";
    sv.finish();

    sv.post(Write);
    ASSERT_TRUE(sv.take(Write));
    EXPECT_FALSE(sv.withdraw());
    sv.giveBack(Write);
    EXPECT_EQ(sv.pending(), SetValueRequest::None);
}

}  // namespace
