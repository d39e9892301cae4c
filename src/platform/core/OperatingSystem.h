#pragma once

#include <QString>
#include <functional>
#include <optional>

class QFile;
class QObject;
class QProcess;

// What the program needs from the operating system beyond Qt, in one place: OperatingSystem.cpp is the only
// file that calls POSIX or Windows directly, each call there beside its counterpart on the other system.
namespace OperatingSystem {

// ---- users and folders

enum class FolderProblem { None, CannotCreate, CannotRead, NotThisUsers, CannotProtect };
struct FolderResult {
    FolderProblem problem = FolderProblem::None;
    QString systemText; // the system's own words for the failure, when it gave any
};

// Makes path a folder that only this user can use, or checks that the one already there is one (a real
// folder, of this user's, closed to everybody else: someone may have made it first in a temporary folder
// everyone writes, or put a link there). On Windows it is made if missing.
FolderResult makePrivateFolder(const QString& path);
// Whether path is a real folder (no link) of this user's that nobody else may use (mode 0700). On Windows
// nothing is asked of a folder's permissions: any existing folder.
bool isPrivateFolder(const QString& path);

// ---- standard input

// While one lives, the process's standard input reads end-of-file: the engine asks for a key press there
// when a backup file ends early, and a program started from a pipe would wait for ever.
class StandardInputFromNull {
public:
    StandardInputFromNull();
    ~StandardInputFromNull();
    StandardInputFromNull(const StandardInputFromNull&) = delete;
    StandardInputFromNull& operator=(const StandardInputFromNull&) = delete;

private:
    int m_saved = -1;
};

// ---- files a running job owns

// Marks a file this process has just made and opened as in use by it, until the process ends or the file
// is closed; writing it goes on as usual. On Windows the file is closed instead: the engine then writes it
// through a handle of its own that shares nothing, and that handle is the mark.
void markInUse(QFile& file);
// Whether another running process has the file marked (or it cannot be looked at, which counts the same).
bool isInUseElsewhere(const QString& path);

// ---- files that hold the books

// Gives path (a backup of the database) no wider access than model (the database file) has: read and write
// for its owner, the group's permissions of model for model's group, nothing for others, whatever the umask
// made. The group gets nothing where path cannot be given model's group (a folder of a shared group gives its
// own), and where model cannot be looked at, only the owner has access. The system's words for a failure;
// nothing when it worked. Nothing to do on Windows, where a new file takes the access of its folder.
std::optional<QString> restrictAccessLike(const QString& model, const QString& path);

// ---- ending on request

// SIGTERM, SIGINT and SIGHUP on POSIX systems; Ctrl+C, Ctrl+Break and the console's closing, logoff and
// shutdown on Windows (passed on as SIGINT, SIGHUP and SIGTERM's numbers).
//
// holdTerminationRequests() comes first in main, before any thread starts: on POSIX the signals stay blocked
// in every thread (the engine's included) and one thread of its own waits for them. A signal ignored when the
// program started stays ignored (nohup).
void holdTerminationRequests();
// Once the engine is loaded (it installs handlers of its own, which shut it down under the program): puts
// the program's handling back and from then on calls arrived with the request's number in context's thread,
// through its event loop. Where that cannot be set up, a request ends the process outright as it ends any.
void deliverTerminationRequests(QObject* context, std::function<void(int number)> arrived);

// A process the program starts ends on those requests as any program does: the signals the program holds
// blocked are unblocked in the child before it runs (a blocked signal stays blocked through exec). For a
// QProcess, before it starts; holdTerminationRequests() does the same for every child made by fork(), in
// whatever code makes it. Nothing to do on Windows.
void endChildOnTerminationRequests(QProcess& process);
void endForkedChildrenOnTerminationRequests();

} // namespace OperatingSystem
