#include "logos/logo_store.h"
#include "logos/registry_key.h"
#include "support/bmp_writer.h"
#include "support/file_size_limit.h"
#include "support/message_recorder.h"
#include "support/read_only_folder.h"
#include "support/temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const QString kKey = QStringLiteral("Software\\Quentar\\LogoKeeper\\Imagelist");
const QString kKeyFolder = QStringLiteral("/Software/Quentar/LogoKeeper/Imagelist");

// Sends standard error to a file until Finish(), which returns what came.
class CStandardErrorCapture {
public:
    explicit CStandardErrorCapture(QString path) : m_path(std::move(path)), m_saved(::dup(2))
    {
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        EXPECT_TRUE(m_saved >= 0 && fd >= 0 && ::dup2(fd, 2) == 2) << "cannot capture standard error";
        ::close(fd);
    }
    QString Finish()
    {
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }
    ~CStandardErrorCapture() { ::close(m_saved); }

private:
    QString m_path;
    int m_saved;
};

// "number path,threshold,rValue,lValue,colorMode" for each entry.
QStringList Describe(const CLogoList& list)
{
    QStringList lines;
    for (const LogoEntry* entry : list.Entries())
        lines << QStringLiteral("%1 %2,%3,%4,%5,%6").arg(entry->number).arg(entry->path).arg(entry->threshold)
                     .arg(entry->rValue).arg(entry->lValue).arg(ToStoredNumber(entry->colorMode));
    return lines;
}

class LogoStore : public ::testing::Test {
protected:
    void SetUp() override { SetLogoStoreRoot(Root()); }
    void TearDown() override { SetLogoStoreRoot(QString()); }

    QString Root() const { return m_dir.Path("store"); }
    CRegistryKey Store() const { return CRegistryKey(Root()); }

    QString Bmp(const QString& name)
    {
        const QString path = m_dir.Path(name);
        EXPECT_TRUE(WriteBmp24(path, 16, 2, std::vector<win::COLORREF>(32, win::MakeColorRef(255, 255, 255)))) << name.toStdString();
        return path;
    }
    CLogoList ListOf(const std::vector<std::pair<QString, LogoSettings>>& logos)
    {
        CLogoList list;
        list.SetLimits({20, 100, 512});
        for (const auto& [name, settings] : logos)
            EXPECT_EQ(list.AddLogoFile(Bmp(name), settings), kLogoAdded) << name.toStdString();
        return list;
    }
    static CLogoList Restored(int downMax = 20)
    {
        CLogoList list;
        list.SetLimits({downMax, 100, 512});
        RestoreLogoList(list);
        return list;
    }

    CTestDir m_dir;
};

}  // namespace

TEST_F(LogoStore, ThreeLogosComeBackInOrderWithTheirSettingsAndReplaceWhatWasThere)
{
    CMessageRecorder messages;
    const CLogoList saved = ListOf({{"b.bmp", {120, 100, 85, ColorChoice::Green}}, {"a.bmp", {7, 0, 255, ColorChoice::NotUsed}}, {"c.bmp", {359, 255, 0, ColorChoice::Blue}}});
    QString error;
    ASSERT_TRUE(SaveLogoList(saved, &error)) << error.toStdString();
    QString text;
    ASSERT_TRUE(Store().ReadString(kKey, "image002", &text));
    EXPECT_EQ(text, m_dir.Path("a.bmp") + ",007,000,255,3");

    const CLogoList restored = Restored();
    EXPECT_EQ(Describe(restored), Describe(saved));
    ASSERT_EQ(restored.Count(), 3);
    EXPECT_EQ(restored.At(2).number, 3);

    // A shorter list replaces the longer one entirely.
    ASSERT_TRUE(SaveLogoList(ListOf({{"d.bmp", {1, 2, 3, ColorChoice::Red}}}), &error)) << error.toStdString();
    EXPECT_FALSE(Store().ReadString(kKey, "image002", &text));
    EXPECT_EQ(Describe(Restored()), QStringList({QStringLiteral("1 %1,1,2,3,0").arg(m_dir.Path("d.bmp"))}));
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join('|').toStdString();
}

TEST_F(LogoStore, RestoreGoesThroughTheListsLoadingAndLimits)
{
    CMessageRecorder messages;
    const QString values[] = {Bmp("a.bmp") + ",001,002,003,0", m_dir.Path("gone.bmp") + ",0,0,0,0",
                              m_dir.Path("a,b.bmp") + ",004,005,006,1",  // cut at its first comma: no such file
                              Bmp("b.bmp") + ",007,008,009,2", Bmp("c.bmp") + ",010,011,012,3"};
    Bmp("a,b.bmp");
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(Store().WriteString(kKey, QString::asprintf("image%03d", i + 1), values[i]));
    // The current model takes only two logos.
    const CLogoList restored = Restored(2);
    EXPECT_EQ(Describe(restored), QStringList({QStringLiteral("1 %1,1,2,3,0").arg(m_dir.Path("a.bmp")),
                                               QStringLiteral("2 %1,7,8,9,2").arg(m_dir.Path("b.bmp"))}));
    // Each failed load names the file it tried (a name cut at its comma shows where).
    const QString missing = ": No such file or directory";
    EXPECT_EQ(messages.Texts(), QStringList({"Failed to load image file!\n" + m_dir.Path("gone.bmp") + missing,
                                             "Failed to load image file!\n" + m_dir.Path("a") + missing,
                                             "Don't Read files any more!"}));
}

TEST_F(LogoStore, RestoreStopsAtTheFirstMissingOrNonStringValue)
{
    struct Case { const char* what; bool writeSecond; std::uint32_t secondType; };
    const Case cases[] = {{"image002 missing", false, win::kRegSz}, {"image002 binary", true, win::kRegBinary},
                          {"image002 a number", true, win::kRegDword}};
    for (const Case& c : cases) {
        CMessageRecorder messages;
        ASSERT_TRUE(Store().DeleteSubKey(kKey));
        ASSERT_TRUE(Store().WriteString(kKey, "image001", Bmp("a.bmp") + ",001,002,003,0"));
        CRegistryValue second(Bmp("b.bmp") + ",0,0,0,0");
        second.SetType(c.secondType);
        if (c.writeSecond) {
            ASSERT_TRUE(Store().WriteValue(kKey, "image002", second));
        }
        ASSERT_TRUE(Store().WriteString(kKey, "image003", Bmp("c.bmp") + ",001,002,003,0"));
        EXPECT_EQ(Describe(Restored()), QStringList({QStringLiteral("1 %1,1,2,3,0").arg(m_dir.Path("a.bmp"))}))
            << c.what;
        EXPECT_TRUE(messages.Texts().isEmpty()) << c.what;
    }
}

TEST_F(LogoStore, ExpandStringIsReadWithoutExpansion)
{
    ASSERT_TRUE(QDir(m_dir.Root()).mkdir("$HOME"));
    const QString text = Bmp("$HOME/x.bmp") + ",010,020,030,2";  // loads only when "$HOME" stays literal
    CRegistryValue value;
    value.SetString(text, true);
    ASSERT_TRUE(Store().WriteValue(kKey, "image001", value));
    QString read;
    ASSERT_TRUE(Store().ReadString(kKey, "image001", &read));
    EXPECT_EQ(read, text);
    EXPECT_EQ(Describe(Restored()), QStringList({"1 " + m_dir.Path("$HOME/x.bmp") + ",10,20,30,2"}));
}

TEST_F(LogoStore, EmptyListRemovesTheKey)
{
    ASSERT_TRUE(SaveLogoList(ListOf({{"a.bmp", {}}, {"b.bmp", {}}})));
    ASSERT_TRUE(Store().KeyExists(kKey));
    QString error;
    EXPECT_TRUE(SaveLogoList(CLogoList(), &error)) << error.toStdString();
    EXPECT_FALSE(Store().KeyExists(kKey));
    EXPECT_FALSE(QFileInfo::exists(Root() + kKeyFolder));
    EXPECT_TRUE(Store().KeyExists("Software\\Quentar\\LogoKeeper"));
    EXPECT_TRUE(Restored().IsEmpty());
    EXPECT_TRUE(SaveLogoList(CLogoList(), &error)) << "nothing to remove is no failure";
}

TEST_F(LogoStore, FailedSaveReportsTheReasonAndKeepsThePreviousList)
{
    struct Case { const char* what; bool readOnly; bool emptyList; };
    const Case cases[] = {{"file size limit", false, false}, {"read-only key folder", true, false},
                          {"read-only key folder, empty list", true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CLogoList previous = ListOf({{"a.bmp", {1, 2, 3, ColorChoice::Red}}, {"b.bmp", {4, 5, 6, ColorChoice::Green}}});
        ASSERT_TRUE(SaveLogoList(previous));
        const CLogoList next = c.emptyList ? CLogoList() : ListOf({{"c.bmp", {}}, {"d.bmp", {}}, {"e.bmp", {}}});
        bool saved = true;
        QString error;
        if (c.readOnly) {
            CReadOnlyFolder folder(Root() + kKeyFolder);
            QString whyNot;
            ASSERT_TRUE(folder.Run([&] { saved = SaveLogoList(next, &error); }, &whyNot)) << whyNot.toStdString();
        } else {
            CFileSizeLimit limit(64);
            saved = SaveLogoList(next, &error);
        }
        EXPECT_FALSE(saved);
        EXPECT_TRUE(error.contains("Imagelist")) << error.toStdString();
        EXPECT_EQ(Describe(Restored()), Describe(previous));
        EXPECT_EQ(QDir(Root() + kKeyFolder).entryList(QDir::Files | QDir::Hidden), QStringList({".values"}));
    }
}

TEST_F(LogoStore, DamagedStoreRestoresNothingReportsOnceAndIsReplaced)
{
    ASSERT_TRUE(SaveLogoList(ListOf({{"a.bmp", {}}, {"b.bmp", {}}})));
    QFile file(Root() + kKeyFolder + "/.values");
    ASSERT_TRUE(file.resize(40));  // cut inside the first value
    CMessageRecorder messages;
    CStandardErrorCapture capture(m_dir.Path("stderr.txt"));
    const CLogoList restored = Restored();
    const QString report = capture.Finish();
    EXPECT_TRUE(restored.IsEmpty());
    EXPECT_TRUE(messages.Texts().isEmpty());
    EXPECT_EQ(report.count('\n'), 1) << report.toStdString();
    EXPECT_TRUE(report.contains(".values")) << report.toStdString();

    const CLogoList next = ListOf({{"c.bmp", {9, 9, 9, ColorChoice::Blue}}});
    ASSERT_TRUE(SaveLogoList(next));
    EXPECT_EQ(Describe(Restored()), Describe(next));
}

TEST_F(LogoStore, DefaultStoreIsInTheXdgConfigFolder)
{
    const bool hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.Path("config")));
    SetLogoStoreRoot(QString());
    const CLogoList saved = ListOf({{"a.bmp", {5, 6, 7, ColorChoice::Green}}});
    const bool written = SaveLogoList(saved);
    const QStringList restored = Describe(Restored());
    if (hadConfigHome)
        qputenv("XDG_CONFIG_HOME", configHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(written);
    EXPECT_TRUE(QFileInfo::exists(m_dir.Path("config/markograph/registry") + kKeyFolder + "/.values"));
    EXPECT_EQ(restored, Describe(saved));
}

// A save killed at any moment leaves the previous list or the new one, whole.
// The child saves two lists in turn and reports through a pipe before each
// save; the parent lets it finish 0 to 2 saves, then kills it at a random
// moment within about one more save.
TEST_F(LogoStore, KilledSaveLeavesTheOldOrTheNewListWhole)
{
    const CLogoList first = ListOf({{"a.bmp", {1, 1, 1, ColorChoice::Red}}, {"b.bmp", {2, 2, 2, ColorChoice::Green}}, {"c.bmp", {3, 3, 3, ColorChoice::Blue}}});
    const CLogoList second = ListOf({{"d.bmp", {4, 4, 4, ColorChoice::NotUsed}}, {"e.bmp", {5, 5, 5, ColorChoice::Red}}, {"f.bmp", {6, 6, 6, ColorChoice::Green}},
                                     {"g.bmp", {7, 7, 7, ColorChoice::Blue}}, {"h.bmp", {8, 8, 8, ColorChoice::NotUsed}}});
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(SaveLogoList(second) && SaveLogoList(first));
    const long long perSave =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count() / 6;

    const unsigned seed = std::random_device()();
    SCOPED_TRACE(::testing::Message() << "seed " << seed << ", one save " << perSave << " us");
    std::mt19937 random(seed);
    const QStringList firstText = Describe(first), secondText = Describe(second);
    int finishedSaves = 0;
    for (int round = 0; round < 12; ++round) {
        int progress[2];
        ASSERT_EQ(::pipe(progress), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(progress[0]);
            for (bool odd = false;; odd = !odd) {
                if (::write(progress[1], "s", 1) != 1)
                    ::_exit(1);
                SaveLogoList(odd ? first : second);
            }
        }
        ::close(progress[1]);
        char reports[4096];
        const int waitFor = std::uniform_int_distribution<int>(0, 2)(random);
        bool started = true;
        for (int i = 0; i <= waitFor && started; ++i)
            started = ::read(progress[0], reports, 1) == 1;
        finishedSaves += waitFor;
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<long long>(0, perSave * 3 / 2)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        for (ssize_t count; (count = ::read(progress[0], reports, sizeof reports)) > 0;)
            finishedSaves += static_cast<int>(count);
        ::close(progress[0]);
        ASSERT_TRUE(started && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "round " << round;

        CMessageRecorder messages;
        const QStringList restored = Describe(Restored());
        ASSERT_TRUE(restored == firstText || restored == secondText)
            << "round " << round << ": " << restored.join(" | ").toStdString();
        EXPECT_TRUE(messages.Texts().isEmpty());
    }
    EXPECT_GT(finishedSaves, 0) << "no save in the child ever finished: the kills tested nothing";
}
