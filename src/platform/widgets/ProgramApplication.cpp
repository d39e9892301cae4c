#include "platform/widgets/ProgramApplication.h"

#include "platform/core/Connection.h"
#include "platform/core/Errors.h"
#include "platform/core/Version.h"
#include "platform/widgets/Messages.h"

#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int TerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The waiting thread writes each signal's number here; the user-interface thread reads it.
int g_signalSocket[2] = {-1, -1};
sigset_t g_ignoredAtStart;

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

} // namespace

ProgramApplication::ProgramApplication(int& argc, char** argv)
    : QApplication(argc, argv) {
    setUp(*this);
}

ProgramApplication::~ProgramApplication() {
    Connection::setBusyHook({});
}

void ProgramApplication::holdTerminationSignals() {
    static bool held = false;
    if (held)
        return;
    held = true;
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

void ProgramApplication::endOnTerminationSignals() {
    if (!m_signalNotifier && g_signalSocket[1] >= 0) {
        m_signalNotifier = new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, this);
        connect(m_signalNotifier, &QSocketNotifier::activated, this,
                &ProgramApplication::terminationSignalArrived);
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

void ProgramApplication::terminationSignalArrived() {
    unsigned char numbers[8];
    const ssize_t count = ::read(g_signalSocket[1], numbers, sizeof numbers);
    if (count <= 0)
        return;
    // The first signal decides the status.
    if (m_terminationStatus == 0)
        m_terminationStatus = 128 + int(numbers[0]);
    // Every event loop of the thread returns, and one a handler starts from now on returns at once, so the
    // modal screens and message boxes on the way out do not hold the program.
    QCoreApplication::exit(m_terminationStatus);
}

bool ProgramApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportCurrentException();
        return false;
    }
}

void ProgramApplication::setUp(QApplication& app) {
    UnthrownErrors::setHandler(reportCurrentException);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);

    const QStringList families = QFontDatabase::families();
    QFont font(families.contains(QStringLiteral("Arial")) ? QStringLiteral("Arial")
                                                          : QStringLiteral("Liberation Sans"));
    font.setPointSize(10);
    QApplication::setFont(font);
    app.setApplicationName(QStringLiteral("Brolavi"));
    app.setApplicationVersion(QString::fromLatin1(BrolaviVersion));

    Connection::setBusyHook([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
}
