#include "platform/core/ProcessStart.h"

#include "platform/core/EngineFolders.h"
#include "platform/core/Errors.h"
#include "platform/core/FileSizeSignal.h"

QString prepareProcess() {
    ignoreFileSizeSignal();
    try {
        EngineFolders::prepare();
    } catch (const BrolaviError& e) {
        return e.message();
    }
    return {};
}
