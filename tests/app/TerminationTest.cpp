// The real program in a child process, ended by a signal as a desktop session ending, kill or Ctrl+C would.
#include "Printers.h"
#include "TestDatabase.h"
#include "platform/core/Connection.h"
#include "platform/core/Currency.h"
#include "platform/core/Transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The bit of a signal in a "SigBlk:" or "SigCgt:" line of /proc/PID/status.
bool signalBit(qint64 pid, const char* line, int number) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& l : status.readAll().split('\n')) {
        if (l.startsWith(line))
            return (l.mid(qstrlen(line)).trimmed().toULongLong(nullptr, 16) >> (number - 1)) & 1;
    }
    return false;
}

bool hasFileOpen(qint64 pid, const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (fd.symLinkTarget() == target)
            return true;
    }
    return false;
}

bool waitUntil(const std::function<bool()>& condition) {
    for (int i = 0; i < 1000; ++i) {
        if (condition())
            return true;
        QThread::msleep(20);
    }
    return false;
}

// The program with its default database in home: what the shopkeeper's desktop starts.
class Program {
public:
    explicit Program(const QString& dataHome) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.setStandardInputFile(QProcess::nullDevice());
        // As a desktop would start it, whatever this process ignores or holds.
        process.setChildProcessModifier([] {
            for (int number : {SIGTERM, SIGINT, SIGHUP})
                ::signal(number, SIG_DFL);
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
        });
        process.start(QStringLiteral(BROLAVI_EXE), {});
    }
    ~Program() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    qint64 pid() const { return process.processId(); }

    // Sends the signal and waits at most three seconds for the program to end by itself.
    void end(int number) {
        ASSERT_EQ(::kill(pid_t(pid()), number), 0);
        ASSERT_TRUE(process.waitForFinished(3000)) << "still running 3 s after signal " << number;
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "killed by the signal instead of ending";
        EXPECT_EQ(process.exitCode(), 128 + number);
        const QByteArray errors = process.readAllStandardError();
        for (const char* engine : {"shutdown", "invalid", "handle", "Firebird", "isc_"})
            EXPECT_FALSE(errors.contains(engine)) << errors.toStdString();
    }

    QProcess process;
};

struct Ending {
    const char* name;
    int signal;
    int waitMs; // after the database is open: 0 at the splash; later, behind the login (shown at 2 s)
};

class EndedBySignal : public ::testing::TestWithParam<Ending> {};

TEST_P(EndedBySignal, EndsWithinThreeSecondsWithTheDatabaseDetachedAndTheCommittedSaleInIt) {
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("Brolavi/DB"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/DBBROLAVI.FDB");
    {
        TestDatabase fresh;
        ASSERT_TRUE(QFile::copy(fresh.path(), path));
        Connection c;
        c.setDatabasePath(path);
        c.setUserName(QStringLiteral("SYSDBA"));
        c.open();
        Transaction sale(c);
        c.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, 'ANA')"));
        c.execute(
            QStringLiteral("insert into TABDIVIDAS (CODIGO, CLIENTE, DESCRICAO, QUANTIDADE, VALOR_UN, "
                           "VALOR, STATUS_PAG, CONTA) values (1, 1, 'ARROZ', 2, ?, ?, 'NP', 'N')"),
            {QVariant::fromValue(Currency::fromCents(1250)), QVariant::fromValue(Currency::fromCents(2500))});
        c.execute(QStringLiteral("insert into TABDESC_COMPRAS (CODIGO, CLIENTE, DESCRICAO, VALOR, COD_VENDA) "
                                 "values (1, 1, 'ARROZ', ?, 1)"),
                  {QVariant::fromValue(Currency::fromCents(2500))});
        sale.commit();
    }

    {
        Program program(home.path());
        ASSERT_TRUE(program.process.waitForStarted(10000));
        ASSERT_TRUE(waitUntil([&] { return hasFileOpen(program.pid(), path); }))
            << program.process.readAllStandardError().toStdString();
        QThread::msleep(GetParam().waitMs);
        ASSERT_EQ(program.process.state(), QProcess::Running);
        program.end(GetParam().signal);
    }

    Connection after;
    after.setDatabasePath(path);
    after.setUserName(QStringLiteral("SYSDBA"));
    after.open(); // the program let go of the file
    const QVector<Row> rows = after.select(QStringLiteral(
        "select d.DESCRICAO, cast(d.VALOR as varchar(30)), c.NOME, p.COD_VENDA from TABDIVIDAS d "
        "join TABCADCLI c on c.CODIGO = d.CLIENTE join TABDESC_COMPRAS p on p.COD_VENDA = d.CODIGO"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][0].toString(), QStringLiteral("ARROZ"));
    EXPECT_EQ(rows[0][1].toString(), QStringLiteral("25.00"));
    EXPECT_EQ(rows[0][2].toString(), QStringLiteral("ANA"));
}

INSTANTIATE_TEST_SUITE_P(
    Signals, EndedBySignal,
    ::testing::Values(Ending{"TermAtTheSplash", SIGTERM, 0}, Ending{"TermBehindTheLogin", SIGTERM, 3000},
                      Ending{"IntAtTheSplash", SIGINT, 0}, Ending{"IntBehindTheLogin", SIGINT, 3000},
                      Ending{"HupAtTheSplash", SIGHUP, 0}, Ending{"HupBehindTheLogin", SIGHUP, 3000}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(EndedBySignalAtAMessage, TheStartUpErrorBoxDoesNotHoldTheProgram) {
    QTemporaryDir home; // no database at the default place: the error box waits for its OK
    Program program(home.path());
    ASSERT_TRUE(program.process.waitForStarted(10000));
    // Once the engine has tried the file, or the program holds the signal until it can take it.
    ASSERT_TRUE(waitUntil([&] {
        return signalBit(program.pid(), "SigCgt:", SIGTERM) || signalBit(program.pid(), "SigBlk:", SIGTERM);
    }));
    QThread::msleep(500);
    program.end(SIGTERM);
}

} // namespace
