#include "platform/core/FirebirdServices.h"

#include "platform/core/Errors.h"
#include "platform/core/FirebirdStatus.h"
#include "platform/core/OperatingSystem.h"

#include <QFile>
#include <QIODevice>
#include <QStringList>
#include <ibase.h>
#include <utility>

namespace {

class ServiceHandle {
public:
    ServiceHandle(const QString& manager, const QString& user, const QString& password) {
        QByteArray spb;
        spb.append(char(isc_spb_version));
        spb.append(char(isc_spb_current_version));
        addShortString(spb, isc_spb_user_name, user.toUtf8());
        addShortString(spb, isc_spb_password, password.toUtf8());
        const QByteArray name = manager.toUtf8();
        ISC_STATUS_ARRAY status{};
        if (isc_service_attach(status, static_cast<unsigned short>(name.size()), name.constData(), &m_handle,
                               static_cast<unsigned short>(spb.size()), spb.constData()))
            throw Firebird::error(status);
    }

    void start(const QByteArray& action) {
        ISC_STATUS_ARRAY status{};
        if (isc_service_start(status, &m_handle, nullptr, static_cast<unsigned short>(action.size()),
                              action.constData()))
            throw Firebird::error(status);
    }

    // Asks for request's items into buffer, sending send first (a block of its own items, or nothing).
    void query(const QByteArray& send, const QByteArray& request, QByteArray& buffer) {
        ISC_STATUS_ARRAY status{};
        if (isc_service_query(status, &m_handle, nullptr, static_cast<unsigned short>(send.size()),
                              send.isEmpty() ? nullptr : send.constData(),
                              static_cast<unsigned short>(request.size()), request.constData(),
                              static_cast<unsigned short>(buffer.size()), buffer.data()))
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

// The names a server's service gives its standard streams: a backup sent to the client, one read from it.
namespace StandardStream {
const QString Output = QStringLiteral("stdout");
const QString Input = QStringLiteral("stdin");
} // namespace StandardStream

// A little-endian length of the service's replies. The engine's isc_vax_integer takes its last byte as
// signed, which makes a length of 32 KB or more negative.
quint32 unsignedInteger(const char* bytes, int size) {
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[i]);
    return value;
}

// How often a streamed backup says how much has arrived.
constexpr qint64 ProgressStep = qint64(1024) * 1024;

void addNumber(QByteArray& spb, char item, quint32 value) {
    spb.append(item);
    for (int shift = 0; shift < 32; shift += 8)
        spb.append(char((value >> shift) & 0xFF));
}

} // namespace

FirebirdServices::FirebirdServices(const QString& user, const QString& password, QString serviceManager)
    : m_user(user)
    , m_password(password)
    , m_serviceManager(std::move(serviceManager)) {}

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
    try {
        const OperatingSystem::StandardInputFromNull input;
        restoreFromFile(backupFile, database, isc_spb_res_create);
    } catch (...) {
        QFile::remove(database);
        throw;
    }
}

void FirebirdServices::restoreFromFile(const QString& backupFile, const QString& database, int option) const {
    QByteArray action;
    action.append(char(isc_action_svc_restore));
    addString(action, isc_spb_bkp_file, backupFile);
    addString(action, isc_spb_dbname, database);
    addNumber(action, isc_spb_options, option);
    action.append(char(isc_spb_verbose));
    // A backup that ends early stops the restore with no error status; only this line tells.
    bool finished = false;
    run(action,
        [&finished](const QString& line) { finished = finished || line.trimmed() == RestoreFinishedLine; });
    if (!finished)
        throw DatabaseError(QStringLiteral("A restauração não chegou ao fim: o arquivo de backup está "
                                           "incompleto ou danificado."));
}

void FirebirdServices::backupTo(const QString& database, QIODevice& out) const {
    QByteArray action;
    action.append(char(isc_action_svc_backup));
    addString(action, isc_spb_dbname, database);
    addString(action, isc_spb_bkp_file, StandardStream::Output);
    ServiceHandle service(m_serviceManager, m_user, m_password);
    service.start(action);

    const QByteArray request(1, char(isc_info_svc_to_eof));
    QByteArray buffer(qsizetype(60) * 1024, '\0'); // the call takes its length as 16 bits
    qint64 received = 0;
    qint64 told = 0;
    for (;;) {
        service.query({}, request, buffer);
        if (buffer.at(0) != isc_info_svc_to_eof)
            throw DatabaseError(QStringLiteral("Resposta inesperada do serviço do banco de dados (%1)")
                                    .arg(int(static_cast<unsigned char>(buffer.at(0)))));
        const int length = int(unsignedInteger(buffer.constData() + 1, 2));
        // The length is the engine's word: never read past what the buffer holds.
        if (length > buffer.size() - 4)
            throw DatabaseError(
                QStringLiteral("Resposta truncada do serviço do banco de dados (%1 bytes)").arg(length));
        if (length == 0) {
            if (buffer.at(3) == isc_info_end)
                break;
            if (buffer.at(3) == isc_info_data_not_ready)
                continue;
            throw DatabaseError(QStringLiteral("Resposta inesperada do serviço do banco de dados (%1)")
                                    .arg(int(static_cast<unsigned char>(buffer.at(3)))));
        }
        const char* data = buffer.constData() + 3;
        if (out.write(data, length) != length)
            throw DatabaseError(
                QStringLiteral("Não foi possível gravar o backup: %1").arg(out.errorString()));
        received += length;
        if (m_onLine && received - told >= ProgressStep) {
            told = received;
            m_onLine(QStringLiteral("%1 KB recebidos do servidor").arg(received / 1024));
        }
    }
    if (received == 0)
        throw DatabaseError(
            QStringLiteral("O backup não chegou ao fim: o arquivo de backup ficou incompleto."));
    if (m_onLine)
        m_onLine(QStringLiteral("Backup recebido do servidor: %1 KB").arg((received + 1023) / 1024));
}

void FirebirdServices::restoreReplacing(QIODevice& in, const QString& database) const {
    QByteArray action;
    action.append(char(isc_action_svc_restore));
    addString(action, isc_spb_bkp_file, StandardStream::Input);
    addString(action, isc_spb_dbname, database);
    addNumber(action, isc_spb_options, isc_spb_res_replace);
    action.append(char(isc_spb_verbose));
    ServiceHandle service(m_serviceManager, m_user, m_password);
    service.start(action);

    QByteArray request;
    request.append(char(isc_info_svc_stdin));
    request.append(char(isc_info_svc_line));
    QByteArray buffer(qsizetype(32) * 1024, '\0');
    QByteArray send;
    QByteArray chunk;
    bool finished = false;
    for (;;) {
        service.query(send, request, buffer);
        send.clear();
        const InputReply reply = parseInputReply(buffer.constData(), int(buffer.size()));
        if (reply.line) {
            finished = finished || reply.line->trimmed() == RestoreFinishedLine;
            if (m_onLine)
                m_onLine(*reply.line);
        }
        if (reply.wanted > 0) {
            // A block sent back gives its data a two-byte length, inside a block of 16-bit length; an empty
            // one is the end of the input.
            chunk.resize(qMin<qint64>(reply.wanted, 0xFFFF - 3));
            const qint64 read = in.read(chunk.data(), chunk.size());
            if (read < 0)
                throw DatabaseError(
                    QStringLiteral("Não foi possível ler o arquivo de backup: %1").arg(in.errorString()));
            send.append(char(isc_info_svc_line));
            send.append(char(read & 0xFF));
            send.append(char((read >> 8) & 0xFF));
            send.append(chunk.constData(), read);
        } else if (reply.ended) {
            break;
        }
    }
    if (!finished)
        throw DatabaseError(QStringLiteral("A restauração não chegou ao fim: o arquivo de backup está "
                                           "incompleto ou danificado."));
}

void FirebirdServices::restoreReplacing(const QString& backupFile, const QString& database) const {
    restoreFromFile(backupFile, database, isc_spb_res_replace);
}

FirebirdServices::InputReply FirebirdServices::parseInputReply(const char* buffer, int size) {
    InputReply reply;
    int at = 0;
    const auto need = [&](int bytes) {
        if (bytes < 0 || at + bytes > size)
            throw DatabaseError(QStringLiteral("Resposta truncada do serviço do banco de dados"));
    };
    for (;;) {
        need(1);
        const char tag = buffer[at++];
        if (tag == isc_info_end)
            return reply;
        if (tag == isc_info_data_not_ready || tag == isc_info_truncated)
            continue;
        if (tag == isc_info_svc_stdin) {
            need(4);
            reply.wanted = unsignedInteger(buffer + at, 4);
            at += 4;
        } else if (tag == isc_info_svc_line) {
            need(2);
            const int length = int(unsignedInteger(buffer + at, 2));
            at += 2;
            need(length);
            if (length > 0) {
                reply.line = QString::fromLocal8Bit(buffer + at, length);
                at += length;
            } else if (at < size && buffer[at] == isc_info_end) {
                // No line, and none will come: the service has finished.
                reply.ended = true;
            }
        } else {
            throw DatabaseError(QStringLiteral("Resposta inesperada do serviço do banco de dados (%1)")
                                    .arg(int(static_cast<unsigned char>(tag))));
        }
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
    ServiceHandle service(m_serviceManager, m_user, m_password);
    service.start(action);
    ISC_STATUS_ARRAY status{};

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
