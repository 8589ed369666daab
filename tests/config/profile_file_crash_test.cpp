#include "config/profile_file.h"
#include "support/temp_dir.h"

#include <QFile>

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

// A writer killed at any moment leaves the model file either as it was or as
// it became, whole: never cut short, never mixed.
TEST(ProfileFileCrash, KilledWriterLeavesAWholeFile)
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    // A file of some size, so that a write takes long enough to be hit.
    QByteArray original = "; model file\r\n[COMMON]\r\nModelName=TX-100\r\n[PRINTERLIST]\r\n";
    for (int i = 1; i <= 49; ++i)
        original += QStringLiteral("PRINTER%1=MODEL-%1,015,001,576,050,384\r\n").arg(i, 2, 10, QChar('0')).toLatin1();
    original += "[COMMUNICATION]\r\nINTERFACE=3\r\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(original);
    file.close();

    std::mt19937 random(7);
    std::uniform_int_distribution<int> delayUs(0, 4000);
    for (int round = 0; round < 15; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Alternate two consistent states: ModelName and PORT always agree.
            CProfileFile profile(path);
            for (int n = 0;; ++n) {
                const QString value = n % 2 ? "TX-200" : "TX-100";
                profile.WriteString("COMMON", "ModelName", value);
                profile.WriteInt("COMMUNICATION", "PORT", n % 2 ? 9200 : 9100);
            }
        }
        usleep(static_cast<useconds_t>(delayUs(random)));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        const CProfileFile check(path);
        EXPECT_EQ(check.ReadString("PRINTERLIST", "PRINTER49"), "MODEL-49,015,001,576,050,384") << "round " << round;
        EXPECT_EQ(check.ReadInt("COMMUNICATION", "INTERFACE", -1), 3) << "round " << round;
        const QString model = check.ReadString("COMMON", "ModelName");
        EXPECT_TRUE(model == "TX-100" || model == "TX-200") << "round " << round << ": " << model.toStdString();
    }
}
