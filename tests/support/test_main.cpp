#include <QCoreApplication>

#include <gtest/gtest.h>

// Core tests need an application object for QProcess, file paths and the
// image plug-ins, but no window system.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
