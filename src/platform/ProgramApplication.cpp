#include "ProgramApplication.h"

#include "Connection.h"
#include "Messages.h"

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

bool ProgramApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportCurrentException();
        return false;
    }
}

void ProgramApplication::setUp(QApplication& app) {
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
    app.setApplicationVersion(QStringLiteral("2.0"));

    Connection::setBusyHook([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
}
