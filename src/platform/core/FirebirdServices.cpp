#include "platform/core/FirebirdServices.h"

#include "platform/core/Errors.h"
#include "platform/core/FirebirdStatus.h"
#include "platform/core/OperatingSystem.h"

#include <QFile>
#include <QStringList>
#include <ibase.h>

namespace {

class ServiceHandle {
public:
    ServiceHandle(const QString& user, const QString& password) {
        QByteArray spb;
        spb.append(char(isc_spb_version));
        spb.append(char(isc_spb_current_version));
        addShortString(spb, isc_spb_user_name, user.toUtf8());
        addShortString(spb, isc_spb_password, password.toUtf8());
        static const char name[] = "service_mgr";
        ISC_STATUS_ARRAY status{};
        if (isc_service_attach(status, sizeof name - 1, name, &m_handle,
                               static_cast<unsigned short>(spb.size()), spb.constData()))
            throw Firebird::error(status);
    }
    ~ServiceHandle() {
        ISC_STATUS_ARRAY status{};
        if (m_handle)
            isc_service_detach(status, &m_handle);
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;

    isc_svc_handle* handle() { return &m_handle; }

private:
    // Attach blocks give their strings a one-byte length.
    static void addShortString(QByteArray& spb, char item, const QByteArray& text) {
        spb.append(item);
        spb.append(char(qMin<qsizetype>(text.size(), 255)));
        spb.append(text.left(255));
    }

    isc_svc_handle m_handle = 0;
};

// Action blocks give their strings a two-byte little-endian length.
void addString(QByteArray& spb, char item, const QString& text) {
    const QByteArray bytes = QFile::encodeName(text);
    if (bytes.size() > 0xFFFF)
        throw DatabaseError(QStringLiteral("Caminho longo demais: %1").arg(text));
    spb.append(item);
    spb.append(char(bytes.size() & 0xFF));
    spb.append(char((bytes.size() >> 8) & 0xFF));
    spb.append(bytes);
}

void addNumber(QByteArray& spb, char item, quint32 value) {
    spb.append(item);
    for (int shift = 0; shift < 32; shift += 8)
        spb.append(char((value >> shift) & 0xFF));
}

} // namespace

FirebirdServices::FirebirdServices(const QString& user, const QString& password)
    : m_user(user)
    , m_password(password) {}

void FirebirdServices::backup(const QString& database, const QString& backupFile) const {
    QByteArray action;
    action.append(char(isc_action_svc_backup));
    addString(action, isc_spb_dbname, database);
    addString(action, isc_spb_bkp_file, backupFile);
    action.append(char(isc_spb_verbose));
    const OperatingSystem::StandardInputFromNull input;
    // Only the closing line says that the whole file was written.
    bool finished = false;
    run(action, [&finished](const QString& line) {
        finished = finished || line.trimmed().startsWith(BackupFinishedLine);
    });
    if (!finished)
        throw DatabaseError(
            QStringLiteral("O backup não chegou ao fim: o arquivo de backup ficou incompleto."));
}

void FirebirdServices::restore(const QString& backupFile, const QString& database) const {
    if (QFile::exists(database))
        throw DatabaseError(QStringLiteral("O arquivo %1 já existe").arg(database));
    QByteArray action;
    action.append(char(isc_action_svc_restore));
    addString(action, isc_spb_bkp_file, backupFile);
    addString(action, isc_spb_dbname, database);
    addNumber(action, isc_spb_options, isc_spb_res_create);
    action.append(char(isc_spb_verbose));
    try {
        const OperatingSystem::StandardInputFromNull input;
        // A backup that ends early stops the restore with no error status; only this line tells.
        bool finished = false;
        run(action, [&finished](const QString& line) {
            finished = finished || line.trimmed() == RestoreFinishedLine;
        });
        if (!finished)
            throw DatabaseError(QStringLiteral("A restauração não chegou ao fim: o arquivo de backup está "
                                               "incompleto ou danificado."));
    } catch (...) {
        QFile::remove(database);
        throw;
    }
}

FirebirdServices::Reply FirebirdServices::parseReply(const char* buffer, int size) {
    if (size < 1)
        throw DatabaseError(QStringLiteral("Resposta vazia do serviço do banco de dados"));
    const char tag = buffer[0];
    if (tag == isc_info_data_not_ready)
        return {Reply::Kind::NotReady, {}};
    if (tag != isc_info_svc_line || size < 3)
        throw DatabaseError(QStringLiteral("Resposta inesperada do serviço do banco de dados (%1)")
                                .arg(int(static_cast<unsigned char>(tag))));
    const int length = int(isc_vax_integer(buffer + 1, 2));
    // The length is the engine's word: never read past what the buffer holds.
    if (length < 0 || length > size - 3)
        throw DatabaseError(
            QStringLiteral("Resposta truncada do serviço do banco de dados (%1 bytes)").arg(length));
    if (length == 0)
        return {Reply::Kind::End, {}};
    return {Reply::Kind::Line, QString::fromLocal8Bit(buffer + 3, length)};
}

void FirebirdServices::run(const QByteArray& action, const LineHandler& watch) const {
    ServiceHandle service(m_user, m_password);
    ISC_STATUS_ARRAY status{};
    if (isc_service_start(status, service.handle(), nullptr, static_cast<unsigned short>(action.size()),
                          action.constData()))
        throw Firebird::error(status);

    static const char request[] = {isc_info_svc_line};
    QByteArray buffer(qsizetype(32) * 1024, '\0'); // the call takes its length as 16 bits
    for (;;) {
        if (isc_service_query(status, service.handle(), nullptr, 0, nullptr, sizeof request, request,
                              static_cast<unsigned short>(buffer.size()), buffer.data()))
            throw Firebird::error(status);
        const Reply reply = parseReply(buffer.constData(), int(buffer.size()));
        if (reply.kind == Reply::Kind::NotReady)
            continue;
        if (reply.kind == Reply::Kind::End)
            break;
        const QString& line = reply.line;
        if (watch)
            watch(line);
        if (m_onLine)
            m_onLine(line);
    }
}
