#include "fleet/fleet_clocks.h"
#include "framework/message_box.h"
#include "support/message_recorder.h"
#include "support/virtual_clock.h"

#include <gtest/gtest.h>

#include <thread>

// The per-thread clock and message handler that fleet jobs use: a thread's own
// seam serves that thread only, and removing it brings back the process one.

TEST(ThreadSeams, ThreadClockAndHandlerServeOnlyTheirThread)
{
    CVirtualClock processClock;
    CMessageRecorder processHandler;
    CLaneClock lane;
    QStringList ownMessages;
    std::thread job([&] {
        EXPECT_EQ(&Clock(), &processClock);
        EXPECT_EQ(SetThreadClock(&lane), nullptr);
        {
            CScopedThreadMessageHandler own([&](const MessageRequest& request) {
                ownMessages << request.text;
                return win::kIdYes;
            });
            Clock().Sleep(6000);
            EXPECT_EQ(ShowMessage("Delete?", MessageIcon::Question, MessageButtons::YesNo), win::kIdYes);
        }
        ShowMessage("after");  // the process handler again
        EXPECT_EQ(SetThreadClock(nullptr), &lane);
        Clock().Sleep(500);
    });
    job.join();
    Clock().Sleep(100);
    EXPECT_EQ(lane.Sleeps(), std::vector<int>({6000}));
    EXPECT_EQ(processClock.Sleeps(), std::vector<int>({500, 100}));
    EXPECT_EQ(ownMessages, QStringList({"Delete?"}));
    EXPECT_EQ(processHandler.Texts(), QStringList({"after"}));
}
