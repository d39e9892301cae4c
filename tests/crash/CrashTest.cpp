// Each of the shop's writes run in a process of its own and killed (SIGKILL, as a power cut or a killed
// program ends it) at a random moment: the database must then hold exactly the books before the write or
// exactly the books after it, never a mix.
//
//   BROLAVI_CRASH_KILLS=<kills per path> (20 by default) BROLAVI_CRASH_SEED=<seed> BROLAVI_CRASH_PATHS=a,b
#include "CrashPaths.h"
#include "Printers.h"
#include "TestDatabase.h"
#include "data/uDM.h"
#include "platform/core/Connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <random>

namespace {

QString dumpOf(const QString& path) {
    Connection c;
    c.setDatabasePath(path);
    c.setUserName(TDM::UserName);
    c.setPassword(TDM::Password);
    c.open();
    QString out = CrashPaths::dump(c);
    c.close();
    return out;
}

int envInt(const char* name, int fallback) {
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : fallback;
}

// Gives the child an engine lock folder of its own. A process killed while it holds one of the engine's
// shared mutexes (its start-up or user mapping ones) leaves it held for good, and every later process using
// that folder would wait on it forever: the test's own and the other tests' folders must never see a kill.
void startChild(QProcess& child, const QStringList& args) {
    static QTemporaryDir locks;
    static int next = 0;
    const QString folder = locks.path() + u'/' + QString::number(++next);
    QDir().mkpath(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD_LOCK"), folder);
    env.insert(QStringLiteral("FIREBIRD_TMP"), folder);
    child.setProcessEnvironment(env);
    child.start(QStringLiteral(CRASH_CHILD), args);
}

// Runs the child to its end; its error text when it fails.
QString childFails(const QStringList& args) {
    QProcess child;
    startChild(child, args);
    if (!child.waitForFinished(60000))
        return QStringLiteral("no end");
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return QStringLiteral("failed: ") + QString::fromUtf8(child.readAllStandardError());
    return {};
}

bool runChild(const QStringList& args) {
    const QString failure = childFails(args);
    if (!failure.isEmpty())
        ADD_FAILURE() << args.join(u' ').toStdString() << ": " << failure.toStdString();
    return failure.isEmpty();
}

class Crash : public ::testing::TestWithParam<QString> {
protected:
    static void SetUpTestSuite() {
        seeded = new TestDatabase();
        files = new QTemporaryDir();
        ASSERT_TRUE(runChild({QStringLiteral("seed"), seeded->path()}));
        // The backup found beside the database before a backup runs: of other books than the seeded ones.
        const TestDatabase empty;
        ASSERT_TRUE(runChild({QStringLiteral("backup"), empty.path(), previousBackup()}));
        // What the restore brings back: the seeded books with one more sale.
        const QString changed = files->path() + QStringLiteral("/changed.fdb");
        ASSERT_TRUE(QFile::copy(seeded->path(), changed));
        ASSERT_TRUE(runChild({QStringLiteral("run"), QStringLiteral("credit_sale"), changed}));
        ASSERT_TRUE(runChild({QStringLiteral("backup"), changed, sourceBackup()}));
    }
    static void TearDownTestSuite() {
        delete seeded;
        seeded = nullptr;
        delete files;
        files = nullptr;
    }
    static QString previousBackup() { return files->path() + QStringLiteral("/previous.bck"); }
    static QString sourceBackup() { return files->path() + QStringLiteral("/source.bck"); }

    // A fresh copy of the seeded books, with the previous backup and the restore's source beside it.
    QString copy(const QString& name) {
        QString path = work.dir() + u'/' + name + QStringLiteral(".fdb");
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(seeded->path(), path));
        for (const auto& [from, to] : {std::pair{previousBackup(), CrashPaths::backupFile(path)},
                                       std::pair{sourceBackup(), CrashPaths::restoreSource(path)}}) {
            QDir().mkpath(QFileInfo(to).path());
            QFile::remove(to);
            EXPECT_TRUE(QFile::copy(from, to));
        }
        return path;
    }

    // What a path may have changed: the books, and for the backup also the file it writes, which must be the
    // previous backup byte for byte or a whole backup of the books.
    QString state(CrashPaths::Target target, const QString& path) {
        QString out = dumpOf(path);
        if (target != CrashPaths::Target::BackupFile)
            return out;
        const QString file = CrashPaths::backupFile(path);
        QFile written(file);
        QFile previous(previousBackup());
        if (!written.open(QIODevice::ReadOnly) || !previous.open(QIODevice::ReadOnly))
            return out + QStringLiteral("\nno backup file");
        if (written.readAll() == previous.readAll())
            return out + QStringLiteral("\nthe previous backup");
        const QString check = work.dir() + QStringLiteral("/restored.fdb");
        QFile::remove(check);
        if (const QString failure = childFails({QStringLiteral("restore"), file, check}); !failure.isEmpty())
            return out + QStringLiteral("\nan unreadable backup: ") + failure;
        return out + QStringLiteral("\na backup of:\n") + dumpOf(check);
    }

    static inline TestDatabase* seeded = nullptr;
    static inline QTemporaryDir* files = nullptr;
    TestDatabase work;
};

TEST_P(Crash, AKilledWriteLeavesTheBooksBeforeOrAfterIt) {
    const QString name = GetParam();
    const CrashPaths::Target kind = CrashPaths::target(name);
    const QString beforePath = copy(QStringLiteral("before"));
    const QString before = state(kind, beforePath);

    const QString whole = copy(QStringLiteral("whole"));
    QProcess child;
    startChild(child, {QStringLiteral("run"), name, whole});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    ASSERT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    ASSERT_TRUE(output.contains(QStringLiteral("done"))) << output.toStdString();
    const qint64 micros = output.section(QStringLiteral("done "), 1).trimmed().toLongLong();
    const QString after = state(kind, whole);
    ASSERT_NE(before, after) << "the path writes nothing";

    const int kills = envInt("BROLAVI_CRASH_KILLS", 20);
    std::mt19937 rng(unsigned(envInt("BROLAVI_CRASH_SEED", 20261210)) + unsigned(qHash(name)));
    // Most kills land inside the write; some just before it and some just after.
    std::uniform_int_distribution<qint64> delay(0, std::max<qint64>(micros * 3 / 2, 200));
    int sawBefore = 0;
    int sawAfter = 0;
    for (int k = 0; k < kills; ++k) {
        const QString path = copy(QStringLiteral("killed"));
        QProcess victim;
        startChild(victim, {QStringLiteral("run"), name, path});
        ASSERT_TRUE(victim.waitForStarted());
        QByteArray said;
        while (!said.contains("ready") && victim.state() == QProcess::Running) {
            victim.waitForReadyRead(100);
            said += victim.readAllStandardOutput();
        }
        ASSERT_TRUE(said.contains("ready")) << victim.readAllStandardError().toStdString();
        const qint64 wait = delay(rng);
        QThread::usleep(static_cast<unsigned long>(wait));
        ::kill(pid_t(victim.processId()), SIGKILL);
        victim.waitForFinished(30000);
        const QString found = state(kind, path);
        if (found == before)
            ++sawBefore;
        else if (found == after)
            ++sawAfter;
        else
            FAIL() << name.toStdString() << ": kill " << k << " after " << wait << " us left a mix:\n"
                   << found.toStdString() << "\nbefore:\n"
                   << before.toStdString() << "\nafter:\n"
                   << after.toStdString();
    }
    std::cout << "crash " << name.toStdString() << " kills=" << kills << " before=" << sawBefore
              << " after=" << sawAfter << " write_us=" << micros << std::endl;
}

QStringList chosenPaths() {
    const QString only = qEnvironmentVariable("BROLAVI_CRASH_PATHS");
    return only.isEmpty() ? CrashPaths::names() : only.split(u',');
}

INSTANTIATE_TEST_SUITE_P(Writes, Crash, ::testing::ValuesIn(chosenPaths()),
                         [](const ::testing::TestParamInfo<QString>& p) { return p.param.toStdString(); });

} // namespace
