#include "platform/core/EngineFolders.h"
#include "ScratchDatabase.h"
#include "platform/core/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Changes variables of this process for one test and puts back what was there.
class Environment {
public:
    Environment() = default;
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;
    ~Environment() {
        for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
            if (it.value())
                qputenv(it.key().constData(), *it.value());
            else
                qunsetenv(it.key().constData());
        }
    }
    void set(const char* name, const std::optional<QByteArray>& value) {
        if (!m_saved.contains(name))
            m_saved.insert(name,
                           qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }

private:
    QHash<QByteArray, std::optional<QByteArray>> m_saved;
};

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

uid_t ownerOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_uid : uid_t(-1);
}

enum class Before { Nothing, OpenToAll, Link, AnotherUsers };

struct FolderCase {
    const char* name;
    bool lockSet;
    bool tmpSet;
    Before before;
    bool refused;
};

class EngineFolderChoice : public ::testing::TestWithParam<FolderCase> {};

TEST_P(EngineFolderChoice, KeepsWhatIsSetAndGivesTheRestAFolderOnlyThisUserCanUse) {
    const FolderCase& c = GetParam();
    if (c.before == Before::AnotherUsers && ::geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    QTemporaryDir temp;
    QTemporaryDir mine;
    Environment env;
    env.set("XDG_RUNTIME_DIR", std::nullopt);
    env.set("XDG_CACHE_HOME", QFile::encodeName(temp.path()));
    const QString folder = EngineFolders::userFolder();
    ASSERT_EQ(folder, temp.path() + QStringLiteral("/brolavi/firebird"));
    const QByteArray ownLock = QFile::encodeName(mine.filePath(QStringLiteral("lock")));
    const QByteArray ownTmp = QFile::encodeName(mine.filePath(QStringLiteral("tmp")));
    env.set("FIREBIRD_LOCK", c.lockSet ? std::optional(ownLock) : std::nullopt);
    env.set("FIREBIRD_TMP", c.tmpSet ? std::optional(ownTmp) : std::nullopt);
    if (c.before != Before::Nothing) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(folder).path()));
    }
    switch (c.before) {
    case Before::Nothing:
        break;
    case Before::OpenToAll:
        ASSERT_TRUE(QDir().mkdir(folder));
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
        break;
    case Before::Link:
        ASSERT_TRUE(QFile::link(mine.path(), folder));
        break;
    case Before::AnotherUsers:
        ASSERT_TRUE(QDir().mkdir(folder));
        ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
        break;
    }

    if (c.refused) {
        try {
            EngineFolders::prepare();
            FAIL() << "a folder that is not this user's own was taken";
        } catch (const BrolaviError& e) {
            EXPECT_TRUE(e.message().contains(folder)) << e.message().toStdString();
        }
        EXPECT_FALSE(qEnvironmentVariableIsSet("FIREBIRD_LOCK"));
        EXPECT_FALSE(qEnvironmentVariableIsSet("FIREBIRD_TMP"));
        return;
    }
    EngineFolders::prepare();
    EXPECT_EQ(qgetenv("FIREBIRD_LOCK"), c.lockSet ? ownLock : QFile::encodeName(folder));
    EXPECT_EQ(qgetenv("FIREBIRD_TMP"), c.tmpSet ? ownTmp : QFile::encodeName(folder));
    if (c.lockSet && c.tmpSet) {
        EXPECT_FALSE(QFileInfo::exists(folder)) << "nothing made when both are set";
        return;
    }
    EXPECT_TRUE(S_ISDIR(modeOf(folder)));
    EXPECT_EQ(modeOf(folder) & 07777, mode_t(0700));
    EXPECT_EQ(ownerOf(folder), ::geteuid());
    QFile probe(folder + QStringLiteral("/probe"));
    EXPECT_TRUE(probe.open(QIODevice::WriteOnly)) << "this user writes there";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EngineFolderChoice,
    ::testing::Values(FolderCase{"NothingSet", false, false, Before::Nothing, false},
                      FolderCase{"LockSet", true, false, Before::Nothing, false},
                      FolderCase{"TmpSet", false, true, Before::Nothing, false},
                      FolderCase{"BothSet", true, true, Before::Nothing, false},
                      FolderCase{"FolderOpenToAll", false, false, Before::OpenToAll, false},
                      FolderCase{"LinkInItsPlace", false, false, Before::Link, true},
                      FolderCase{"AnotherUsersFolder", false, false, Before::AnotherUsers, true}),
    [](const auto& c) { return std::string(c.param.name); });

enum class Runtime { Unset, Private, OpenToOthers, Link, Relative, AnotherUsers };

struct PlaceCase {
    const char* name;
    Runtime runtime;
    bool cacheSet;
    const char* expected; // under the case's folder: {run}, {cache}, {home}
};

class EngineFolderPlace : public ::testing::TestWithParam<PlaceCase> {};

// A folder no other user can make first: the session's own runtime folder when it is one, else the user's
// cache folder; never the temporary folder everyone writes.
TEST_P(EngineFolderPlace, IsOneNoOtherUserCanMakeFirst) {
    const PlaceCase& c = GetParam();
    if (c.runtime == Runtime::AnotherUsers && ::geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    QTemporaryDir temp;
    const QString runtime = temp.filePath(QStringLiteral("run"));
    const QString cache = temp.filePath(QStringLiteral("cache"));
    const QString home = temp.filePath(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(runtime) && QDir().mkpath(home));
    ASSERT_EQ(::chmod(QFile::encodeName(runtime).constData(), 0700), 0);
    Environment env;
    env.set("TMPDIR", QFile::encodeName(temp.path()));
    env.set("HOME", QFile::encodeName(home));
    env.set("FIREBIRD_LOCK", std::nullopt);
    env.set("FIREBIRD_TMP", std::nullopt);
    env.set("XDG_CACHE_HOME", c.cacheSet ? std::optional(QFile::encodeName(cache)) : std::nullopt);
    switch (c.runtime) {
    case Runtime::Unset:
        env.set("XDG_RUNTIME_DIR", std::nullopt);
        break;
    case Runtime::Private:
        env.set("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        break;
    case Runtime::OpenToOthers:
        ASSERT_EQ(::chmod(QFile::encodeName(runtime).constData(), 0755), 0);
        env.set("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        break;
    case Runtime::Link:
        ASSERT_TRUE(QFile::link(runtime, temp.filePath(QStringLiteral("link"))));
        env.set("XDG_RUNTIME_DIR", QFile::encodeName(temp.filePath(QStringLiteral("link"))));
        break;
    case Runtime::Relative:
        env.set("XDG_RUNTIME_DIR", QByteArray("run"));
        break;
    case Runtime::AnotherUsers:
        ASSERT_EQ(::chown(QFile::encodeName(runtime).constData(), 65534, 65534), 0);
        env.set("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        break;
    }
    QString expected = QString::fromUtf8(c.expected);
    expected.replace(QStringLiteral("{run}"), runtime)
        .replace(QStringLiteral("{cache}"), cache)
        .replace(QStringLiteral("{home}"), home);

    EXPECT_EQ(EngineFolders::userFolder(), expected);
    EngineFolders::prepare();
    EXPECT_EQ(qgetenv("FIREBIRD_LOCK"), QFile::encodeName(expected));
    EXPECT_EQ(qgetenv("FIREBIRD_TMP"), QFile::encodeName(expected));
    for (QString folder = expected;
         folder.endsWith(QStringLiteral("/firebird")) || folder.endsWith(QStringLiteral("/brolavi"));
         folder = QFileInfo(folder).path()) {
        EXPECT_TRUE(S_ISDIR(modeOf(folder))) << folder.toStdString();
        EXPECT_EQ(modeOf(folder) & 07777, mode_t(0700)) << folder.toStdString();
        EXPECT_EQ(ownerOf(folder), ::geteuid()) << folder.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(temp.filePath(QStringLiteral("firebird-%1").arg(::geteuid()))))
        << "nothing in the temporary folder";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EngineFolderPlace,
    ::testing::Values(
        PlaceCase{"PrivateRuntimeFolder", Runtime::Private, true, "{run}/firebird"},
        PlaceCase{"RuntimeFolderOthersMayUse", Runtime::OpenToOthers, true, "{cache}/brolavi/firebird"},
        PlaceCase{"RuntimeFolderALink", Runtime::Link, true, "{cache}/brolavi/firebird"},
        PlaceCase{"RuntimeFolderRelative", Runtime::Relative, true, "{cache}/brolavi/firebird"},
        PlaceCase{"RuntimeFolderAnotherUsers", Runtime::AnotherUsers, true, "{cache}/brolavi/firebird"},
        PlaceCase{"NoRuntimeFolder", Runtime::Unset, true, "{cache}/brolavi/firebird"},
        PlaceCase{"NoRuntimeNorCacheFolder", Runtime::Unset, false, "{home}/.cache/brolavi/firebird"}),
    [](const auto& c) { return std::string(c.param.name); });

struct HolderCase {
    const char* name;
    bool lockSet;
};

class EngineLockFolder : public ::testing::TestWithParam<HolderCase> {};

// Real processes, as the program and a second copy of it would run.
TEST_P(EngineLockFolder, IsTheOneTheEngineUsesAndASecondCopyIsStillRefused) {
    ScratchDatabase db{{QStringLiteral("TABCADCLI")}};
    QTemporaryDir temp;
    QTemporaryDir own;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), temp.path());
    env.remove(QStringLiteral("FIREBIRD_LOCK"));
    env.remove(QStringLiteral("FIREBIRD_TMP"));
    if (GetParam().lockSet)
        env.insert(QStringLiteral("FIREBIRD_LOCK"), own.path());
    const QString expected =
        GetParam().lockSet ? own.path() : temp.path() + QStringLiteral("/brolavi/firebird");

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(DB_HOLDER), {db.path()});
    ASSERT_TRUE(first.waitForReadyRead(20000)) << first.readAllStandardError().toStdString();
    ASSERT_EQ(first.readAllStandardOutput().trimmed(), QByteArray("ready"));
    const QStringList files = QDir(expected).entryList(QDir::Files);
    EXPECT_TRUE(files.contains(QStringLiteral("fb_init"))) << files.join(u' ').toStdString();
    EXPECT_TRUE(std::any_of(files.cbegin(), files.cend(),
                            [](const QString& f) { return f.startsWith(QStringLiteral("fb_lock_")); }))
        << "the database's lock file: " << files.join(u' ').toStdString();
    if (GetParam().lockSet) {
        EXPECT_TRUE(QFileInfo(temp.path() + QStringLiteral("/brolavi/firebird")).isDir())
            << "the temporary files still get this user's folder";
    }

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(DB_HOLDER), {db.path()});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 1) << "a second copy opened the database";
    EXPECT_TRUE(second.readAllStandardError().contains("already opened"));

    first.closeWriteChannel();
    EXPECT_TRUE(first.waitForFinished(20000));
    EXPECT_EQ(first.exitCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, EngineLockFolder,
                         ::testing::Values(HolderCase{"FreshFolder", false},
                                           HolderCase{"FolderSetBefore", true}),
                         [](const auto& c) { return std::string(c.param.name); });

} // namespace
