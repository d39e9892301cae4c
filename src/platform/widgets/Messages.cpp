#include "platform/widgets/Messages.h"

#include "platform/core/Errors.h"
#include "platform/core/FirebirdStatus.h"

#include <QApplication>
#include <exception>

namespace {
WidgetMessages g_widgetMessages;
Messages* g_installed = nullptr;
} // namespace

Messages& Messages::instance() {
    return g_installed ? *g_installed : g_widgetMessages;
}

void Messages::install(Messages* messages) {
    g_installed = messages;
}

void Messages::warning(const QString& text) {
    instance().show({Kind::Warning, QStringLiteral("AVISO !"), text, QMessageBox::Warning, QMessageBox::Ok});
}

bool Messages::confirm(const QString& text, const QString& title) {
    return instance().show({Kind::Question, title, text, QMessageBox::Question,
                            QMessageBox::Yes | QMessageBox::No}) == QMessageBox::Yes;
}

void Messages::plain(const QString& text) {
    instance().show({Kind::Plain, ProgramTitle, text, QMessageBox::NoIcon, QMessageBox::Ok});
}

void Messages::error(const QString& text) {
    instance().show({Kind::Error, QStringLiteral("Erro"), text, QMessageBox::Critical, QMessageBox::Ok});
}

void Messages::standardError(const QString& text) {
    instance().show({Kind::StandardError, ProgramTitle, text, QMessageBox::Critical, QMessageBox::Ok});
}

QMessageBox::StandardButton Messages::box(const QString& title, const QString& text, QMessageBox::Icon icon,
                                          QMessageBox::StandardButtons buttons) {
    return instance().show({Kind::Custom, title, text, icon, buttons});
}

QMessageBox::StandardButton WidgetMessages::show(const Request& request) {
    QMessageBox box(request.icon, request.title, request.text, request.buttons, QApplication::activeWindow());
    // The screens' keyboard flow runs on Enter: Enter answers Yes, Escape answers No.
    if (request.buttons.testFlag(QMessageBox::Yes))
        box.setDefaultButton(QMessageBox::Yes);
    if (request.buttons.testFlag(QMessageBox::No))
        box.setEscapeButton(QMessageBox::No);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void reportCurrentException() {
    QString text;
    try {
        throw;
    } catch (const DatabaseError& e) {
        text = Firebird::shopkeeperText(e);
    } catch (const BrolaviError& e) {
        text = e.message();
    } catch (const std::exception& e) {
        text = QString::fromLocal8Bit(e.what());
    } catch (...) {
        text = QStringLiteral("Erro inesperado");
    }
    try {
        Messages::standardError(text);
    } catch (...) {
        // Nothing sensible is left to do if the box itself fails; never let it escape into Qt.
    }
}
