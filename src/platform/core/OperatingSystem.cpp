#include "platform/core/OperatingSystem.h"

#include <QDir>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <cstdio>

#ifdef Q_OS_WIN
#include <QMetaObject>
#include <fcntl.h>
#include <io.h>
#include <mutex>
// Without its min and max macros, which break std::min, std::max and std::numeric_limits.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#endif

namespace OperatingSystem {

#ifdef Q_OS_WIN

// ---- Windows ---------------------------------------------------------------------------------------------

namespace {

QString lastErrorText() {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        GetLastError(), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString result = QString::fromWCharArray(text, int(length)).trimmed();
    LocalFree(text);
    return result;
}

} // namespace

FolderResult makePrivateFolder(const QString& path) {
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    if (!CreateDirectoryW(name.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return {FolderProblem::CannotCreate, lastErrorText()};
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {FolderProblem::CannotRead, lastErrorText()};
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return {FolderProblem::NotThisUsers, {}};
    return {};
}

bool isPrivateFolder(const QString& path) {
    const DWORD attributes = GetFileAttributesW(QDir::toNativeSeparators(path).toStdWString().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

StandardInputFromNull::StandardInputFromNull() {
    std::fflush(stdout);
    m_saved = _dup(0);
    const int null = _open("NUL", _O_RDONLY);
    if (null >= 0) {
        _dup2(null, 0);
        _close(null);
    }
}

StandardInputFromNull::~StandardInputFromNull() {
    if (m_saved >= 0) {
        _dup2(m_saved, 0);
        _close(m_saved);
    }
    std::clearerr(stdin);
}

void markInUse(QFile& file) {
    file.close();
}

bool isInUseElsewhere(const QString& path) {
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    const HANDLE handle =
        CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return true;
    CloseHandle(handle);
    return false;
}

std::optional<QString> restrictAccessLike(const QString& /*model*/, const QString& /*path*/) {
    return std::nullopt;
}

namespace {

// The numbers POSIX gives the signals these events stand for, so the exit status reads the same.
constexpr int Hangup = 1;
constexpr int Interrupt = 2;
constexpr int Terminate = 15;

std::mutex g_requestsMutex;
QPointer<QObject> g_context;
std::function<void(int)> g_arrived;
int g_pending = 0;

void passOn(int number) {
    const std::lock_guard lock(g_requestsMutex);
    if (!g_context) {
        if (g_pending == 0)
            g_pending = number;
        return;
    }
    QMetaObject::invokeMethod(
        g_context.data(), [number] { g_arrived(number); }, Qt::QueuedConnection);
}

BOOL WINAPI onConsoleEvent(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        passOn(Interrupt);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        passOn(event == CTRL_CLOSE_EVENT ? Hangup : Terminate);
        // Windows ends the process as soon as this returns: wait here instead, while the main thread closes
        // the database and returns from main, which ends this thread too (the system's own time limit
        // still applies).
        Sleep(INFINITE);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void holdTerminationRequests() {
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void endChildOnTerminationRequests(QProcess&) {}

void endForkedChildrenOnTerminationRequests() {}

void deliverTerminationRequests(QObject* context, std::function<void(int number)> arrived) {
    int pending = 0;
    {
        const std::lock_guard lock(g_requestsMutex);
        g_context = context;
        g_arrived = std::move(arrived);
        pending = g_pending;
        g_pending = 0;
    }
    if (pending != 0)
        passOn(pending);
}

#else

// ---- POSIX -----------------------------------------------------------------------------------------------

namespace {

QString systemText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

FolderResult makePrivateFolder(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return {FolderProblem::CannotCreate, systemText()};
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return {FolderProblem::CannotRead, systemText()};
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return {FolderProblem::NotThisUsers, {}};
    if ((st.st_mode & 07777) != 0700 && ::chmod(name.constData(), 0700) != 0)
        return {FolderProblem::CannotProtect, systemText()};
    return {};
}

bool isPrivateFolder(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700;
}

StandardInputFromNull::StandardInputFromNull() {
    std::fflush(stdout);
    m_saved = ::dup(0);
    const int null = ::open("/dev/null", O_RDONLY);
    if (null >= 0) {
        ::dup2(null, 0);
        ::close(null);
    }
}

StandardInputFromNull::~StandardInputFromNull() {
    if (m_saved >= 0) {
        ::dup2(m_saved, 0);
        ::close(m_saved);
    }
    std::clearerr(stdin);
}

// Other processes only look at the lock, and a new file's comes at once. Where the file system cannot lock,
// the file looks in use to everyone else and stays: kept, not lost.
void markInUse(QFile& file) {
    ::flock(file.handle(), LOCK_EX);
}

bool isInUseElsewhere(const QString& path) {
    QFile file(path);
    return !file.open(QIODevice::ReadOnly) || ::flock(file.handle(), LOCK_EX | LOCK_NB) != 0;
}

std::optional<QString> restrictAccessLike(const QString& model, const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    mode_t mode = S_IRUSR | S_IWUSR;
    struct stat from {};
    if (::stat(QFile::encodeName(model).constData(), &from) == 0) {
        struct stat made {};
        if (::stat(name.constData(), &made) != 0)
            return systemText();
        if (made.st_gid == from.st_gid || ::chown(name.constData(), uid_t(-1), from.st_gid) == 0)
            mode |= from.st_mode & (S_IRGRP | S_IWGRP);
    }
    if (::chmod(name.constData(), mode) != 0)
        return systemText();
    return std::nullopt;
}

namespace {

constexpr int TerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The waiting thread writes each signal's number here; the context's thread reads it.
int g_signalSocket[2] = {-1, -1};
sigset_t g_ignoredAtStart;
QPointer<QSocketNotifier> g_notifier;

sigset_t terminationSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int number : TerminationSignals)
        sigaddset(&set, number);
    return set;
}

void passOn(int number) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_signalSocket[0], &byte, 1);
    errno = saved;
}

// Only for a thread that unblocked the signals on its own: every other one leaves them to the waiting thread.
extern "C" void onTerminationSignal(int number) {
    passOn(number);
}

// In a child between fork and exec: only async-signal-safe calls.
void unblockTerminationSignals() {
    const sigset_t set = terminationSet();
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

} // namespace

void endChildOnTerminationRequests(QProcess& process) {
    process.setChildProcessModifier(unblockTerminationSignals);
}

void endForkedChildrenOnTerminationRequests() {
    static const bool registered = ::pthread_atfork(nullptr, nullptr, unblockTerminationSignals) == 0;
    if (!registered)
        qWarning("pthread_atfork failed");
}

void holdTerminationRequests() {
    static bool held = false;
    if (held)
        return;
    held = true;
    endForkedChildrenOnTerminationRequests();
    sigemptyset(&g_ignoredAtStart);
    for (int number : TerminationSignals) {
        struct sigaction current {};
        if (::sigaction(number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
            sigaddset(&g_ignoredAtStart, number);
    }
    // Waited for, never caught: a signal caught by a handler in the user-interface thread (interrupting its
    // wait for events) left the engine unable to detach the database afterwards (Firebird 3.0.11, embedded).
    const sigset_t set = terminationSet();
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalSocket) != 0) {
        qWarning("socketpair: %s", std::strerror(errno));
        return;
    }
    sigset_t awaited = set;
    for (int number : TerminationSignals) {
        if (sigismember(&g_ignoredAtStart, number))
            sigdelset(&awaited, number);
    }
    std::thread([awaited] {
        for (;;) {
            int number = 0;
            if (::sigwait(&awaited, &number) == 0)
                passOn(number);
        }
    }).detach();
}

void deliverTerminationRequests(QObject* context, std::function<void(int number)> arrived) {
    if (!g_notifier && g_signalSocket[1] >= 0) {
        g_notifier = new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, context);
        QObject::connect(g_notifier, &QSocketNotifier::activated, context, [arrived = std::move(arrived)] {
            unsigned char numbers[8];
            const ssize_t count = ::read(g_signalSocket[1], numbers, sizeof numbers);
            if (count > 0)
                arrived(int(numbers[0]));
        });
    }
    // Without the socket the signals end the program outright, as they end any program.
    const bool passed = g_signalSocket[1] >= 0;
    struct sigaction action {};
    action.sa_handler = passed ? onTerminationSignal : SIG_DFL;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    for (int number : TerminationSignals)
        ::sigaction(number, sigismember(&g_ignoredAtStart, number) ? &ignore : &action, nullptr);
    if (!passed) {
        const sigset_t set = terminationSet();
        ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    }
}

#endif

} // namespace OperatingSystem
