// crash_child seed DATABASE | crash_child run PATH DATABASE | crash_child backup DATABASE FILE |
// crash_child restore FILE DATABASE
// "run" prepares the path, says "ready" on standard output, runs the write and says "done MICROSECONDS": the
// crash test kills it somewhere in between. The clock stands still, so that two runs write the same values.
#include "CrashPaths.h"
#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/Errors.h"
#include "platform/core/FirebirdServices.h"
#include "platform/core/ProcessStart.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdlib>
#include <iostream>

namespace {

int work(const QStringList& args) {
    FixedClock clock(QDateTime(QDate(2026, 6, 15), QTime(10, 0)));
    try {
        if (args.size() == 2 && args[0] == u"seed") {
            TDM dm(args[1]);
            CrashPaths::seed(dm);
            return 0;
        }
        // The engine's own backup and restore, for the test to make and read backup files in a process of
        // their own.
        if (args.size() == 3 && args[0] == u"backup") {
            FirebirdServices(TDM::UserName, TDM::Password).backup(args[1], args[2]);
            return 0;
        }
        if (args.size() == 3 && args[0] == u"restore") {
            FirebirdServices(TDM::UserName, TDM::Password).restore(args[1], args[2]);
            return 0;
        }
        if (args.size() != 3 || args[0] != u"run")
            return 2;
        TDM dm(args[2]);
        CrashPaths::prepare(dm, args[1]);
        std::cout << "ready" << std::endl;
        QElapsedTimer timer;
        timer.start();
        CrashPaths::run(dm, args[1]);
        std::cout << "done " << timer.nsecsElapsed() / 1000 << std::endl;
    } catch (const BrolaviError& e) {
        std::cerr << e.message().toStdString() << std::endl;
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    prepareProcess();
    QCoreApplication app(argc, argv);
    const int status = work(QCoreApplication::arguments().mid(1));
    // Everything is committed and closed by now. The embedded engine's exit handlers have been seen to crash
    // in one of its threads while another process used the engine (after a service backup), which would read
    // as a failed write: leave without them, as a killed child does.
    std::cout.flush();
    std::cerr.flush();
    std::_Exit(status);
}
