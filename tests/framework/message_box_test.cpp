#include "framework/message_box.h"
#include "support/message_recorder.h"

#include <gtest/gtest.h>

TEST(MessageBox, RecorderSeesTextsAndAnswersFromItsScript)
{
    CMessageRecorder outer;
    {
        CMessageRecorder inner;
        inner.QueueAnswer(win::kIdNo);
        EXPECT_EQ(ShowMessage("Remove?", MessageIcon::Question, MessageButtons::YesNo, "BMP Logo!"), win::kIdNo);
        EXPECT_EQ(ShowMessage("Done"), win::kIdOk);
        ASSERT_EQ(inner.Texts(), QStringList({"Remove?", "Done"}));
        EXPECT_EQ(inner.Requests()[0].title, "BMP Logo!");
        EXPECT_EQ(inner.Requests()[0].icon, MessageIcon::Question);
    }
    // The inner recorder restored the outer one when it ended.
    ShowMessage("after");
    EXPECT_EQ(outer.Texts(), QStringList({"after"}));
}
