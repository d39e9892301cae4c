#pragma once

#include <QMessageBox>
#include <QString>

// Every message box of the program goes through this seam; tests install a recorder that answers from a
// script.
class Messages {
public:
    enum class Kind {
        Warning,       // "AVISO !", exclamation, OK
        Question,      // Yes/No: only Yes proceeds
        Plain,         // a plain message with OK
        Error,         // an error dialog
        StandardError, // an error no screen handled
        Custom,        // a box with its own title and icon
    };
    struct Request {
        Kind kind = Kind::Plain;
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    };

    virtual ~Messages() = default;
    virtual QMessageBox::StandardButton show(const Request& request) = 0;

    static Messages& instance();
    // Installs a seam (not owned); nullptr goes back to real message boxes.
    static void install(Messages* messages);

    static inline const QString ProgramTitle = QStringLiteral("Brolavi");

    static void warning(const QString& text);
    static bool confirm(const QString& text, const QString& title = QStringLiteral("Confirmação"));
    static void plain(const QString& text);
    static void error(const QString& text);
    static void standardError(const QString& text);
    static QMessageBox::StandardButton box(const QString& title, const QString& text, QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok);
};

// Real message boxes, over the active window.
class WidgetMessages : public Messages {
public:
    QMessageBox::StandardButton show(const Request& request) override;
};

// Shows the error in flight in the standard error box. Handlers run through guarded() so that no exception
// unwinds through Qt: this is the one place errors no screen handles end up.
void reportCurrentException();

template <typename F> void guarded(F&& f) {
    try {
        f();
    } catch (...) {
        reportCurrentException();
    }
}
