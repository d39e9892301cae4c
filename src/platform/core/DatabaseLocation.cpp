#include "platform/core/DatabaseLocation.h"

#include <QRegularExpression>
#include <utility>

DatabaseLocation::DatabaseLocation(QString name)
    : m_name(std::move(name)) {
    // inet://host[:port]/path, and its inet4 and inet6 forms.
    static const QRegularExpression url(QStringLiteral("^(inet[46]?://[^/]+)/(.+)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    // host:path and host/port:path; one letter before the colon is a Windows drive, not a host.
    static const QRegularExpression hostPath(
        QStringLiteral("^((?:\\[[0-9A-Fa-f:.]+\\]|[A-Za-z0-9_.-]{2,})(?:/[A-Za-z0-9_-]+)?):(.+)$"));
    // \\host\path, Windows' named pipes.
    static const QRegularExpression unc(QStringLiteral("^(\\\\\\\\[^\\\\/]+)[\\\\/](.+)$"));
    if (const auto m = url.match(m_name); m.hasMatch()) {
        m_server = m.captured(1);
        m_path = m.captured(2);
        m_serviceSeparator = QStringLiteral("/");
    } else if (const auto h = hostPath.match(m_name); h.hasMatch()) {
        m_server = h.captured(1);
        m_path = h.captured(2);
    } else if (const auto w = unc.match(m_name); w.hasMatch()) {
        m_server = w.captured(1);
        m_path = w.captured(2);
        m_serviceSeparator = QStringLiteral("\\");
    } else {
        m_path = m_name;
    }
}

QString DatabaseLocation::serviceManager() const {
    if (!isServer())
        return QStringLiteral("service_mgr");
    return m_server + m_serviceSeparator + QStringLiteral("service_mgr");
}

QString DatabaseLocation::providers() const {
    return isServer() ? QStringLiteral("Providers = Remote") : QStringLiteral("Providers = Engine12");
}
