#include "core/ansi.h"
#include "core/safefile.h"
#include "core/textfield.h"
#include "platform/paths.h"

#include "environment.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace velmora;
namespace fs = std::filesystem;

TEST(SafeWrite, ReplacesWholeOrLeavesTheOldFile)
{
    test::TempDir dir;
    const auto file = dir.write("f.txt", "old");
    EXPECT_TRUE(writeFileReplacing(file, "new"));
    EXPECT_EQ(dir.read("f.txt"), "new");
    EXPECT_EQ(test::entryNames(dir.path()).size(), 1u) << "no temporary file is left";
    EXPECT_FALSE(writeFileReplacing(dir.path() / "missing" / "f.txt", "x"));

    // A folder under the target's name cannot be replaced: the write fails and leaves nothing.
    fs::create_directory(dir.path() / "Prefs.dat");
    EXPECT_FALSE(writeFileReplacing(dir.path() / "Prefs.dat", "x"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "Prefs.dat"));
    EXPECT_EQ(test::entryNames(dir.path()).size(), 2u);
}

#ifndef _WIN32
// A write that fails half way (here the file size limit, which holds for root too) leaves the old
// file as it was and no temporary file beside it.
TEST(SafeWrite, AWriteThatFailsLeavesTheOldFile)
{
    test::TempDir dir;
    const auto file = dir.write("Notes.md", "old");
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = writeFileReplacing(file, std::string(4096, 'n'));
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(dir.read("Notes.md"), "old");
    EXPECT_EQ(test::entryNames(dir.path()), (std::set<std::string>{"Notes.md"}));
}
#endif

TEST(SafeRead, ReadsRegularFilesAndNothingElse)
{
    test::TempDir dir;
    dir.write("a.txt", "a,b\r\n");
    EXPECT_EQ(readRegularFile(dir.path() / "a.txt"), "a,b\r\n");
    dir.write("empty.txt", "");
    EXPECT_EQ(readRegularFile(dir.path() / "empty.txt"), "");
    EXPECT_FALSE(readRegularFile(dir.path() / "absent.txt"));
    EXPECT_FALSE(readRegularFile(dir.path()));
    EXPECT_FALSE(FieldReader::open(dir.path() / "absent.txt"));
    EXPECT_FALSE(FieldReader::open(dir.path()));

    std::string buffer = "left over";
    EXPECT_FALSE(readRegularFileInto(dir.path(), buffer));
    EXPECT_EQ(buffer, "");
    EXPECT_TRUE(readRegularFileInto(dir.path() / "a.txt", buffer, 2));
    EXPECT_EQ(buffer, "a,");

#ifndef _WIN32
    // The program's own files are read only as the regular files it writes, never through a link.
    std::filesystem::create_symlink(dir.path() / "a.txt", dir.path() / "link.txt");
    EXPECT_EQ(readRegularFile(dir.path() / "link.txt"), "a,b\r\n");
    EXPECT_FALSE(readRegularFile(dir.path() / "link.txt", Links::Refuse));
    EXPECT_FALSE(FieldReader::open(dir.path() / "link.txt", Links::Refuse));
    EXPECT_TRUE(FieldReader::open(dir.path() / "a.txt", Links::Refuse));
#endif
}

TEST(SafeWrite, StaleTemporaryFilesOfStoppedWritesAreCleared)
{
    test::TempDir dir;
    const auto aged = [&](const std::string &name, int secondsAgo) {
        const auto path = dir.write(name, "x");
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() -
                                                   std::chrono::seconds(secondsAgo));
    };
    aged(".Prefs.dat.Ab3dE6gH", 120); // left by a kill: removed
    aged(".Srch.dat.zzzzzzzz", 120);  // likewise
    aged(".Srch.dat.yyyyyyyy", 5);    // a write of a running program: kept
    aged(".Srch.dat.short", 120);     // not a temporary's name: kept
    aged("Default.m3u", 120);         // the user's: kept
    aged(".other.log.abcdefgh", 120); // another program's, in a shared folder: kept
    const auto own = [](std::string_view target) { return target != "other.log"; };
    EXPECT_EQ(removeStaleTemporaryFiles(dir.path(), std::chrono::seconds(60), own), 2u);
    EXPECT_EQ(test::entryNames(dir.path()), (std::set<std::string>{".Srch.dat.yyyyyyyy", ".Srch.dat.short",
                                                                   "Default.m3u", ".other.log.abcdefgh"}));
}

TEST(SafeRead, SmallAndLargeFilesReadTheSameWay)
{
    test::TempDir dir;
    // Nine megabytes are mapped, a few bytes read into a buffer; readers move with their text.
    const std::string big = std::string(9u << 20, 'x') + ",\"last, field\"\r\n";
    dir.write("big.txt", big);
    dir.write("small.txt", "a,\"last, field\"\r\n");
    for (const char *name : {"big.txt", "small.txt"}) {
        std::optional<FieldReader> reader = FieldReader::open(dir.path() / name);
        ASSERT_TRUE(reader) << name;
        reader->next();
        FieldReader moved = std::move(*reader);
        reader.reset();
        EXPECT_EQ(moved.next(), "last, field") << name;
        EXPECT_TRUE(moved.atEnd());
    }
    FieldReader own(std::string("short,text"));
    FieldReader moved = std::move(own);
    EXPECT_EQ(moved.next(), "short");
    EXPECT_EQ(moved.next(), "text");
    const auto mapped = MappedFile::open(dir.path() / "big.txt");
    ASSERT_TRUE(mapped);
    EXPECT_EQ(mapped->text().size(), big.size());
    EXPECT_FALSE(MappedFile::open(dir.path()));
}

#ifndef _WIN32
TEST(SafeRead, FifosAndDevicesCountAsUnreadableWithoutBlocking)
{
    test::TempDir dir;
    ASSERT_EQ(::mkfifo((dir.path() / "Srch.dat").c_str(), 0600), 0);
    // Opening a FIFO with no writer for reading would wait for one for ever.
    EXPECT_FALSE(readRegularFile(dir.path() / "Srch.dat"));
    EXPECT_FALSE(FieldReader::open(dir.path() / "Srch.dat"));
    EXPECT_FALSE(readRegularFile("/dev/null"));
    EXPECT_FALSE(readRegularFile("/dev/zero")) << "an endless device is not read";
    EXPECT_FALSE(MappedFile::open(dir.path() / "Srch.dat"));

    // A link to a regular file is read: the data files may be links.
    dir.write("real.txt", "text");
    fs::create_symlink(dir.path() / "real.txt", dir.path() / "link.txt");
    EXPECT_EQ(readRegularFile(dir.path() / "link.txt"), "text");
}

TEST(SafeWrite, LinksAndFifosAtTheNamesAreNeverWrittenThrough)
{
    test::TempDir dir;
    test::TempDir elsewhere;
    for (const std::string name : {"Prefs.dat", "p185.txt", "Srch.dat", "Default.m3u"}) {
        SCOPED_TRACE(name);
        const fs::path target = dir.path() / name;
        const auto victim = elsewhere.write(name + ".victim", "another user's file");

        // Links at the old fixed intermediate name and at the final name, and a FIFO beside them.
        fs::create_symlink(victim, dir.path() / (name + ".new"));
        fs::create_symlink(victim, target);
        ASSERT_EQ(::mkfifo((dir.path() / (name + ".tmp")).c_str(), 0600), 0);

        ASSERT_TRUE(writeFileReplacing(target, "mine\r\n"));
        EXPECT_EQ(elsewhere.read(name + ".victim"), "another user's file");
        EXPECT_FALSE(fs::is_symlink(target)) << "the link itself is replaced";
        EXPECT_EQ(dir.read(name), "mine\r\n");
        EXPECT_TRUE(fs::is_symlink(dir.path() / (name + ".new")));

        // A FIFO at the final name is replaced as well, without waiting for a reader.
        fs::remove(target);
        ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
        ASSERT_TRUE(writeFileReplacing(target, "again\r\n"));
        EXPECT_EQ(dir.read(name), "again\r\n");
    }
    EXPECT_EQ(test::entryNames(dir.path()).size(), 12u) << "no temporary file is left";
}

TEST(SafeWrite, OwnFilesArePrivateAndDataFilesFollowTheMask)
{
    test::TempDir dir;
    const mode_t oldMask = ::umask(022);
    ASSERT_TRUE(writeFileReplacing(dir.path() / "Prefs.dat", "x"));
    ASSERT_TRUE(writeFileReplacing(dir.path() / "PIKTHL.TXT", "x", FileAccess::Shared));
    ::umask(oldMask);
    EXPECT_EQ(fs::status(dir.path() / "Prefs.dat").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(dir.path() / "PIKTHL.TXT").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
}

namespace {

fs::perms modeOf(const fs::path &path)
{
    return fs::status(path).permissions() & fs::perms::all;
}

} // namespace

TEST(StateFolder, IsThePrivateLastingFolderOfTheUser)
{
    test::TempDir dir;
    test::Environment env;
    env.set("TMPDIR", dir.folder());

    // XDG_STATE_HOME names the base; the folder is made on first use, private to the user.
    env.set("XDG_STATE_HOME", (dir.path() / "state").string());
    env.set("HOME", (dir.path() / "home").string());
    EXPECT_EQ(platform::tempFolder(), (dir.path() / "state" / "velmora").string() + "/");
    EXPECT_EQ(modeOf(dir.path() / "state" / "velmora"), fs::perms::owner_all);
    EXPECT_EQ(modeOf(dir.path() / "state"), fs::perms::owner_all);

    // Without it (or with a relative one, which the base directory rules ignore), the home's.
    for (const std::optional<std::string> &xdg :
         {std::optional<std::string>(), std::optional<std::string>(""),
          std::optional<std::string>("relative/state")}) {
        env.set("XDG_STATE_HOME", xdg);
        EXPECT_EQ(platform::tempFolder(),
                  (dir.path() / "home" / ".local" / "state" / "velmora").string() + "/");
    }
    EXPECT_EQ(modeOf(dir.path() / "home" / ".local"), fs::perms::owner_all);

    // A folder opened up by hand is made private again.
    fs::permissions(dir.path() / "home" / ".local" / "state" / "velmora", fs::perms::all);
    platform::tempFolder();
    EXPECT_EQ(modeOf(dir.path() / "home" / ".local" / "state" / "velmora"), fs::perms::owner_all);

    // No home, or one where the folder cannot be made: no folder, whatever TMPDIR says.
    env.set("HOME", std::nullopt);
    EXPECT_EQ(platform::tempFolder(), "");
    dir.write("afile", "x");
    env.set("HOME", (dir.path() / "afile").string());
    EXPECT_EQ(platform::tempFolder(), "");
    env.set("XDG_STATE_HOME", (dir.path() / "afile" / "state").string());
    EXPECT_EQ(platform::tempFolder(), "");
}

TEST(DataFolders, TheProgramsFolderThenTheUsersThenTheSystems)
{
    test::TempDir dir;
    test::Environment env;
    env.set("XDG_DATA_HOME", (dir.path() / "user").string());
    env.set("XDG_DATA_DIRS", (dir.path() / "one").string() + ":relative:" + (dir.path() / "two").string());
    const std::string program = platform::programFolder();
    const std::string name = "LOOKUP-" + dir.path().filename().string() + ".TXT";
    // Each place in turn gets the file, in a spelling of its own; the earliest place holds it.
    const std::pair<std::string, std::string> places[] = {
        {(dir.path() / "two" / "velmora").string(), name},
        {(dir.path() / "one" / "velmora").string(), name},
        {(dir.path() / "user" / "velmora").string(), ansi::lower(name)},
        {program, name},
    };
    for (const auto &[folder, spelling] : places) {
        fs::create_directories(folder);
        ASSERT_TRUE(writeFileReplacing(fs::path(folder) / spelling, folder));
        EXPECT_EQ(platform::resolveDataFile(program, name), fs::path(folder) / spelling);
        EXPECT_EQ(platform::FolderIndex(program).resolve(ansi::lower(name)), fs::path(folder) / spelling);
    }
    fs::remove(fs::path(program) / name);
    // Another folder than the program's is the only one looked in.
    EXPECT_EQ(platform::resolveDataFile(dir.folder(), name), dir.path() / name);
    EXPECT_EQ(platform::dataFolders(dir.folder()), std::vector<std::string>{dir.folder()});
}
#endif

TEST(StateFolder, WhatAnEarlierVersionSavedIsTakenOverOnce)
{
    test::TempDir older;
    test::TempDir own;
    for (const char *name : {"Prefs.dat", "Zed.m3u", "p185.txt", "other.txt"})
        older.write(name, name);
    const auto saved = [](std::string_view name) { return name == "Prefs.dat" || name.ends_with(".m3u"); };
    auto taken = platform::takeOverFiles(older.folder(), own.folder(), saved);
    std::sort(taken.begin(), taken.end());
    EXPECT_EQ(taken, (std::vector<std::string>{"Prefs.dat", "Zed.m3u"}));
    EXPECT_EQ(test::entryNames(own.path()), (std::set<std::string>{"Prefs.dat", "Zed.m3u"}));
    // Once the reader's own folder holds their files, it is never written over.
    own.write("Prefs.dat", "saved since");
    std::filesystem::remove(own.path() / "Zed.m3u");
    EXPECT_TRUE(platform::takeOverFiles(older.folder(), own.folder(), saved).empty());
    EXPECT_EQ(own.read("Prefs.dat"), "saved since");
}
