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

#include <QFile>
#include <QProcess>
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

class Crash : public ::testing::TestWithParam<QString> {
protected:
    static void SetUpTestSuite() {
        seeded = new TestDatabase();
        QProcess child;
        child.start(QStringLiteral(CRASH_CHILD), {QStringLiteral("seed"), seeded->path()});
        ASSERT_TRUE(child.waitForFinished(60000));
        ASSERT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    }
    static void TearDownTestSuite() {
        delete seeded;
        seeded = nullptr;
    }

    // A fresh copy of the seeded books.
    QString copy(const QString& name) {
        QString path = work.dir() + u'/' + name + QStringLiteral(".fdb");
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(seeded->path(), path));
        return path;
    }

    static inline TestDatabase* seeded = nullptr;
    TestDatabase work;
};

TEST_P(Crash, AKilledWriteLeavesTheBooksBeforeOrAfterIt) {
    const QString name = GetParam();
    const QString before = dumpOf(seeded->path());

    const QString whole = copy(QStringLiteral("whole"));
    QProcess child;
    child.start(QStringLiteral(CRASH_CHILD), {QStringLiteral("run"), name, whole});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    ASSERT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    ASSERT_TRUE(output.contains(QStringLiteral("done"))) << output.toStdString();
    const qint64 micros = output.section(QStringLiteral("done "), 1).trimmed().toLongLong();
    const QString after = dumpOf(whole);
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
        victim.start(QStringLiteral(CRASH_CHILD), {QStringLiteral("run"), name, path});
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
        const QString found = dumpOf(path);
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
