// Children of a process that holds SIGTERM, SIGINT and SIGHUP blocked (the program waits for them in a
// thread of its own) still end on them, as any program does.
#include "platform/core/OperatingSystem.h"
#include "platform/core/ProcessStart.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Blocks the signals in this thread, as the program holds them, and puts the mask back.
class SignalsBlocked {
public:
    SignalsBlocked() {
        sigset_t set;
        sigemptyset(&set);
        for (int number : {SIGTERM, SIGINT, SIGHUP})
            sigaddset(&set, number);
        ::pthread_sigmask(SIG_BLOCK, &set, &m_saved);
    }
    ~SignalsBlocked() { ::pthread_sigmask(SIG_SETMASK, &m_saved, nullptr); }
    SignalsBlocked(const SignalsBlocked&) = delete;
    SignalsBlocked& operator=(const SignalsBlocked&) = delete;

private:
    sigset_t m_saved;
};

// Whether the signal is blocked in the process, from the "SigBlk:" line of /proc/PID/status.
bool blockedIn(qint64 pid, int number) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigBlk:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (number - 1)) & 1;
    }
    return false;
}

class ChildProcess : public ::testing::TestWithParam<int> {};

TEST_P(ChildProcess, StartedByTheProgramsHelperEndsOnTheSignal) {
    const SignalsBlocked blocked;
    QProcess child;
    startChildProcess(child, QStandardPaths::findExecutable(QStringLiteral("sleep")), {QStringLiteral("60")});
    ASSERT_TRUE(child.waitForStarted(10000)) << child.errorString().toStdString();
    if (blockedIn(child.processId(), GetParam())) {
        child.kill();
        child.waitForFinished(20000);
        FAIL() << "the child runs with signal " << GetParam() << " blocked";
    }
    ASSERT_EQ(::kill(pid_t(child.processId()), GetParam()), 0);
    ASSERT_TRUE(child.waitForFinished(20000)) << "the child kept running after signal " << GetParam();
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(child.exitCode(), GetParam()) << "ended by the signal itself";
}

// Children made by fork() in code that is not the program's own (a library printing through lpr, ...).
TEST_P(ChildProcess, ForkedByAnyCodeEndsOnTheSignal) {
    OperatingSystem::endForkedChildrenOnTerminationRequests();
    const SignalsBlocked blocked;
    const QByteArray sleep = QStandardPaths::findExecutable(QStringLiteral("sleep")).toLocal8Bit();
    // The pipe closes when the child runs its program (or fails to).
    int started[2];
    ASSERT_EQ(::pipe2(started, O_CLOEXEC), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::execl(sleep.constData(), "sleep", "60", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(started[1]);
    char byte;
    ASSERT_EQ(::read(started[0], &byte, 1), 0);
    ::close(started[0]);
    int status = 0;
    if (blockedIn(pid, GetParam())) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        FAIL() << "the child runs with signal " << GetParam() << " blocked";
    }
    ASSERT_EQ(::kill(pid, GetParam()), 0);
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_EQ(WTERMSIG(status), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Signals, ChildProcess, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& c) { return std::string(::sigabbrev_np(c.param)); });

} // namespace
