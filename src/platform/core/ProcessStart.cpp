#include "platform/core/ProcessStart.h"

#include "platform/core/EngineFolders.h"
#include "platform/core/Errors.h"
#include "platform/core/FileSizeSignal.h"
#include "platform/core/OperatingSystem.h"

#include <QProcess>
#include <QStringList>

QString prepareProcess() {
    ignoreFileSizeSignal();
    try {
        EngineFolders::prepare();
    } catch (const BrolaviError& e) {
        return e.message();
    }
    return {};
}

void startChildProcess(QProcess& process, const QString& program, const QStringList& arguments) {
    OperatingSystem::endChildOnTerminationRequests(process);
    process.start(program, arguments);
}
