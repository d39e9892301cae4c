#include "BackupOperations.h"

#include "backup/BackupJobs.h"
#include "data/uDM.h"
#include "platform/core/Errors.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <memory>

namespace Bench {

namespace {

struct BackupState {
    std::unique_ptr<QTemporaryDir> dir;
    QString gbak;
    QStringList memo; // where the screen's memo would show the progress lines

    QString folder(const QString& name) const {
        const QString path = dir->filePath(name);
        QDir().mkpath(path);
        return path + u'/';
    }
    FirebirdServices::LineHandler memoLines() {
        return [this](const QString& line) {
            memo << line;
        };
    }
};

void prepare(BackupState& state) {
    state.gbak = QStandardPaths::findExecutable(QStringLiteral("gbak"));
    if (state.gbak.isEmpty())
        throw BrolaviError(QStringLiteral("backup: gbak not found (it comes with firebird3.0-utils)"));
    state.dir = std::make_unique<QTemporaryDir>();
    if (!state.dir->isValid())
        throw BrolaviError(QStringLiteral("backup: no temporary folder"));
}

QString databaseOf(TDM& dm) {
    return QFileInfo(dm.FDConnection1.databasePath()).absoluteFilePath();
}

// gbak attaches from a process of its own, which the embedded engine allows only while this process holds
// no attachment: every dataset and query goes with the connection, and it opens again afterwards. It runs
// verbose, as the screen's jobs do, so that its output shows whether it got to its last line: gbak of
// Firebird 3.0.11 in service mode now and then dies of a segmentation fault on its way out after a complete
// backup, which counts as done only with that line printed.
void runGbak(TDM& dm, const BackupState& state, const QStringList& arguments, const QString& lastLine) {
    dm.FDConnection1.close();
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(state.gbak,
            QStringList{QStringLiteral("-se"), QStringLiteral("service_mgr"), QStringLiteral("-user"),
                        TDM::UserName, QStringLiteral("-pas"), TDM::Password, QStringLiteral("-v")} +
                arguments);
    const bool finished = p.waitForFinished(-1);
    dm.FDConnection1.open();
    const QString output = QString::fromLocal8Bit(p.readAll());
    const bool complete = output.contains(lastLine);
    if (finished && p.exitStatus() == QProcess::CrashExit && complete) {
        QTextStream(stderr) << "# gbak " << arguments.front()
                            << ": crashed on its way out, after its last line\n";
        return;
    }
    if (!finished || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || !complete)
        throw BrolaviError(
            QStringLiteral("gbak %1 failed: %2").arg(arguments.join(u' '), output.right(2000)));
}

QString backupAnswer(const QString& file) {
    return QStringLiteral("bytes=%1").arg(QFileInfo(file).size());
}

// The restored database, told by its highest ledger code (answered at once by the descending index).
QString restoreAnswer(TDM& dm) {
    return QStringLiteral("ledger up to %1")
        .arg(dm.FDConnection1.selectValue(QStringLiteral("select max(CODIGO) from TABDIVIDAS")).toString());
}

Operation backup() {
    auto state = std::make_shared<BackupState>();
    return {
        QStringLiteral("backup"),
        [state](TDM&) { prepare(*state); },
        [state](TDM& dm) {
            const QString folder = state->folder(QStringLiteral("app"));
            state->memo.clear();
            BackupJobs::backup(dm.FDConnection1, folder, state->memoLines());
            return backupAnswer(folder + BackupJobs::FileName);
        },
        [state](TDM& dm) {
            const QString file = state->folder(QStringLiteral("sql")) + BackupJobs::FileName;
            QFile::remove(file);
            runGbak(dm, *state, {QStringLiteral("-b"), databaseOf(dm), file},
                    QStringLiteral("gbak:closing file, committing, and finishing"));
            return backupAnswer(file);
        },
    };
}

Operation restore() {
    auto state = std::make_shared<BackupState>();
    auto file = std::make_shared<QString>();
    return {
        QStringLiteral("restore"),
        [state, file](TDM& dm) {
            prepare(*state);
            const QString folder = state->folder(QStringLiteral("restore"));
            BackupJobs::backup(dm.FDConnection1, folder, {});
            *file = folder + BackupJobs::FileName;
        },
        [state, file](TDM& dm) {
            state->memo.clear();
            BackupJobs::restore(dm.FDConnection1, *file, state->memoLines());
            return restoreAnswer(dm);
        },
        [state, file](TDM& dm) {
            runGbak(dm, *state, {QStringLiteral("-c"), QStringLiteral("-rep"), *file, databaseOf(dm)},
                    FirebirdServices::RestoreFinishedLine);
            return restoreAnswer(dm);
        },
    };
}

} // namespace

QVector<Operation> backupOperations() {
    return {backup(), restore()};
}

} // namespace Bench
