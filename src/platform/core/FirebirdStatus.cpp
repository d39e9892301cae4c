#include "platform/core/FirebirdStatus.h"

#include <QStringList>
#include <cerrno>

namespace Firebird {

QString statusText(const ISC_STATUS* status) {
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS* p = status;
    while (fb_interpret(buffer, sizeof buffer, &p) > 0)
        lines << QString::fromLocal8Bit(buffer);
    return lines.join(u'\n');
}

EngineStatus engineStatus(const ISC_STATUS* status) {
    EngineStatus result;
    if (!failed(status))
        return result;
    // Clusters of a kind and its value (two values for a counted string), up to the end or the warnings.
    for (const ISC_STATUS* p = status; *p != isc_arg_end && *p != isc_arg_warning;) {
        const ISC_STATUS kind = *p++;
        switch (kind) {
        case isc_arg_gds:
            result.codes << qint64(*p++);
            break;
        case isc_arg_unix:
            result.posixError = int(*p++);
            break;
        case isc_arg_win32:
            result.windowsError = int(*p++);
            break;
        case isc_arg_cstring:
            p += 2;
            break;
        default:
            ++p;
            break;
        }
    }
    return result;
}

DatabaseError error(const ISC_STATUS* status) {
    return DatabaseError(statusText(status), engineStatus(status));
}

bool failed(const ISC_STATUS* status) {
    return status[0] == 1 && status[1] != 0;
}

void check(const ISC_STATUS* status) {
    if (failed(status))
        throw error(status);
}

namespace {

// Windows' numbers, which the engine passes on as they are on every system.
constexpr int WindowsSharingViolation = 32;
constexpr int WindowsLockViolation = 33;
constexpr int WindowsHandleDiskFull = 39;
constexpr int WindowsDiskFull = 112;

bool any(const EngineStatus& status, std::initializer_list<ISC_STATUS> codes) {
    for (const ISC_STATUS code : codes)
        if (status.codes.contains(qint64(code)))
            return true;
    return false;
}

} // namespace

Problem problemOf(const EngineStatus& s) {
    const bool io = any(s, {isc_io_error});
    if (any(s, {isc_already_opened}))
        return Problem::InUse;
    if (io && (s.windowsError == WindowsSharingViolation || s.windowsError == WindowsLockViolation))
        return Problem::InUse;
    if (io && (s.posixError == ENOSPC || s.windowsError == WindowsDiskFull ||
               s.windowsError == WindowsHandleDiskFull))
        return Problem::DiskFull;
    if (any(s, {isc_io_write_err}) || (io && any(s, {isc_io_32bit_exceeded_err})))
        return Problem::WriteFailed;
    // A file shorter than its own header says: the engine gives no system error, only its own words. (A file
    // of another version of the engine is no damaged one: left to the engine's own text.)
    if (any(s, {isc_bad_db_format, isc_db_corrupt, isc_bad_checksum, isc_badpage, isc_no_crypt_plugin,
                isc_decrypt_error, isc_bad_crypt_key, isc_io_read_err}) ||
        (io && any(s, {isc_random}) && s.posixError == 0 && s.windowsError == 0))
        return Problem::Damaged;
    if (any(s, {isc_lock_timeout}))
        return Problem::LockTimeout;
    if (any(s, {isc_update_conflict, isc_deadlock, isc_lock_conflict, isc_concurrent_transaction}))
        return Problem::Conflict;
    if (any(s, {isc_transliteration_failed}))
        return Problem::Transliteration;
    if (any(s, {isc_string_truncation}))
        return Problem::TooLong;
    if (any(s, {isc_numeric_out_of_range}))
        return Problem::OutOfRange;
    if (any(s, {isc_unique_key_violation, isc_no_dup}))
        return Problem::DuplicateKey;
    if (any(s, {isc_network_error, isc_net_read_err, isc_net_write_err, isc_conn_lost, isc_lost_db_connection,
                isc_net_server_shutdown, isc_att_shutdown, isc_shutdown}))
        return Problem::ConnectionLost;
    if (any(s, {isc_login, isc_no_priv}))
        return Problem::LoginRefused;
    return Problem::Other;
}

bool keyTaken(const EngineStatus& s) {
    return any(s, {isc_unique_key_violation, isc_no_dup});
}

QString explanation(Problem problem) {
    switch (problem) {
    case Problem::Other:
        return {};
    case Problem::InUse:
        return QStringLiteral("O BANCO DE DADOS ESTÁ EM USO POR OUTRA CÓPIA DO BROLAVI.");
    case Problem::Damaged:
        return QStringLiteral("O ARQUIVO DO BANCO DE DADOS ESTÁ DANIFICADO.");
    case Problem::DiskFull:
        return QStringLiteral("O DISCO ESTÁ CHEIO: A OPERAÇÃO NÃO FOI CONCLUÍDA. LIBERE ESPAÇO NO DISCO E "
                              "TENTE NOVAMENTE.");
    case Problem::WriteFailed:
        return QStringLiteral("ERRO AO GRAVAR NO DISCO: A OPERAÇÃO NÃO FOI CONCLUÍDA.");
    case Problem::Transliteration:
        return QStringLiteral("O TEXTO TEM UM CARACTERE QUE ESTE BANCO DE DADOS NÃO GUARDA: A OPERAÇÃO NÃO "
                              "FOI CONCLUÍDA. TROQUE OU APAGUE ESSE CARACTERE.");
    case Problem::TooLong:
        return QStringLiteral("TEXTO LONGO DEMAIS PARA O CAMPO: A OPERAÇÃO NÃO FOI CONCLUÍDA.");
    case Problem::OutOfRange:
        return QStringLiteral("VALOR GRANDE DEMAIS PARA O CAMPO: A OPERAÇÃO NÃO FOI CONCLUÍDA.");
    case Problem::Conflict:
        return QStringLiteral("ESTES DADOS FORAM ALTERADOS EM OUTRO LUGAR AO MESMO TEMPO: A OPERAÇÃO NÃO FOI "
                              "CONCLUÍDA. TENTE NOVAMENTE.");
    case Problem::LockTimeout:
        return QStringLiteral("ESTES DADOS ESTÃO SENDO ALTERADOS EM OUTRO LUGAR: A OPERAÇÃO NÃO FOI "
                              "CONCLUÍDA. TENTE NOVAMENTE EM INSTANTES.");
    case Problem::DuplicateKey:
        return QStringLiteral("JÁ EXISTE UM REGISTRO COM ESTE CÓDIGO: A OPERAÇÃO NÃO FOI CONCLUÍDA. TENTE "
                              "NOVAMENTE.");
    case Problem::ConnectionLost:
        return QStringLiteral("A LIGAÇÃO COM O BANCO DE DADOS FOI PERDIDA. FECHE O PROGRAMA E ABRA-O "
                              "NOVAMENTE.");
    case Problem::LoginRefused:
        return QStringLiteral("O SERVIDOR RECUSOU O USUÁRIO OU A SENHA DO BANCO DE DADOS, OU ELE NÃO TEM "
                              "PERMISSÃO PARA ISTO.");
    }
    return {};
}

QString shopkeeperText(const DatabaseError& e) {
    const QString words = explanation(problemOf(e.engineStatus()));
    return words.isEmpty() ? e.message() : words + u'\n' + e.message();
}

} // namespace Firebird
