#include "framework/file_descriptor.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <utility>

namespace {

bool IsOpenDescriptor(int fd)
{
    return ::fcntl(fd, F_GETFD) != -1;
}

// A fresh pipe: its read end is handed to the object under test, its write
// end stays with the fixture.
struct Pipe {
    Pipe()
    {
        int fds[2] = {-1, -1};
        EXPECT_EQ(::pipe2(fds, O_CLOEXEC), 0);
        readEnd = fds[0];
        writeEnd = CFileDescriptor(fds[1]);
    }
    int readEnd = -1;
    CFileDescriptor writeEnd;
};

TEST(FileDescriptorTest, ClosesWhatItHoldsWhenItGoes)
{
    Pipe pipe;
    {
        CFileDescriptor held(pipe.readEnd);
        EXPECT_TRUE(held.IsValid());
        EXPECT_EQ(held.Get(), pipe.readEnd);
    }
    EXPECT_FALSE(IsOpenDescriptor(pipe.readEnd));
}

TEST(FileDescriptorTest, MoveHandsOverOwnershipOnce)
{
    Pipe pipe;
    CFileDescriptor first(pipe.readEnd);
    CFileDescriptor second(std::move(first));
    EXPECT_FALSE(first.IsValid());  // NOLINT(bugprone-use-after-move): the moved-from state is the point
    EXPECT_EQ(second.Get(), pipe.readEnd);

    CFileDescriptor third;
    third = std::move(second);
    EXPECT_FALSE(second.IsValid());  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(third.Get(), pipe.readEnd);
    EXPECT_TRUE(IsOpenDescriptor(pipe.readEnd));
}

// Both ways of handing a holder another descriptor close the one it held.
TEST(FileDescriptorTest, TakingAnotherDescriptorClosesTheOldOne)
{
    const struct {
        const char* how;
        void (*replace)(CFileDescriptor& held, int fd);
    } kWays[] = {
        {"move assignment", [](CFileDescriptor& held, int fd) { held = CFileDescriptor(fd); }},
        {"Reset", [](CFileDescriptor& held, int fd) { held.Reset(fd); }},
    };
    for (const auto& way : kWays) {
        Pipe older;
        Pipe newer;
        CFileDescriptor held(older.readEnd);
        way.replace(held, newer.readEnd);
        EXPECT_FALSE(IsOpenDescriptor(older.readEnd)) << way.how;
        EXPECT_EQ(held.Get(), newer.readEnd) << way.how;
    }
}

TEST(FileDescriptorTest, SelfMoveKeepsTheDescriptorOpen)
{
    Pipe pipe;
    CFileDescriptor held(pipe.readEnd);
    CFileDescriptor& alias = held;
    held = std::move(alias);
    EXPECT_EQ(held.Get(), pipe.readEnd);
    EXPECT_TRUE(IsOpenDescriptor(pipe.readEnd));
}

TEST(FileDescriptorTest, ResetToNothingCloses)
{
    Pipe pipe;
    CFileDescriptor held(pipe.readEnd);
    held.Reset();
    EXPECT_FALSE(held.IsValid());
    EXPECT_FALSE(IsOpenDescriptor(pipe.readEnd));
}

TEST(FileDescriptorTest, ReleaseGivesUpOwnershipWithoutClosing)
{
    Pipe pipe;
    int released = -1;
    {
        CFileDescriptor held(pipe.readEnd);
        released = held.Release();
        EXPECT_FALSE(held.IsValid());
    }
    EXPECT_EQ(released, pipe.readEnd);
    EXPECT_TRUE(IsOpenDescriptor(released));
    CFileDescriptor cleanup(released);
}

TEST(FileDescriptorTest, KeepsTheFlagsTheOpenerChose)
{
    Pipe pipe;
    const CFileDescriptor held(pipe.readEnd);
    EXPECT_EQ(::fcntl(held.Get(), F_GETFD) & FD_CLOEXEC, FD_CLOEXEC);
}

}  // namespace
