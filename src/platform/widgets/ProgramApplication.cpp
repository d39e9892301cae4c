#include "platform/widgets/ProgramApplication.h"

#include "platform/core/Connection.h"
#include "platform/core/Errors.h"
#include "platform/core/OperatingSystem.h"
#include "platform/core/Version.h"
#include "platform/widgets/Messages.h"

#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

ProgramApplication::ProgramApplication(int& argc, char** argv)
    : QApplication(argc, argv) {
    setUp(*this);
}

ProgramApplication::~ProgramApplication() {
    Connection::setBusyHook({});
}

void ProgramApplication::holdTerminationSignals() {
    OperatingSystem::holdTerminationRequests();
}

void ProgramApplication::endOnTerminationSignals() {
    OperatingSystem::deliverTerminationRequests(this,
                                                [this](int number) { terminationSignalArrived(number); });
}

void ProgramApplication::terminationSignalArrived(int number) {
    // The first signal decides the status.
    if (m_terminationStatus == 0)
        m_terminationStatus = 128 + number;
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
