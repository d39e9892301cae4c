// The engine's errors that are hard to bring about on purpose (a full disk, a server gone), as the engine
// reports them, and what the shopkeeper is told of each: decided by the codes, whatever the text says.
#include "Printers.h"
#include "platform/core/Errors.h"
#include "platform/core/FirebirdStatus.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <vector>

namespace {

ISC_STATUS text(const char* s) {
    return reinterpret_cast<ISC_STATUS>(s);
}

struct StatusCase {
    const char* name;
    std::vector<ISC_STATUS> status; // as the engine fills it, without the leading 1 and the closing end
    Firebird::Problem problem;
};

class EngineError : public ::testing::TestWithParam<StatusCase> {};

TEST_P(EngineError, IsToldByItsCodes) {
    std::vector<ISC_STATUS> status{isc_arg_gds};
    status.insert(status.end(), GetParam().status.begin(), GetParam().status.end());
    status.push_back(isc_arg_end);
    const DatabaseError e = Firebird::error(status.data());
    EXPECT_EQ(Firebird::problemOf(e.engineStatus()), GetParam().problem);
    const QString words = Firebird::explanation(GetParam().problem);
    EXPECT_EQ(Firebird::shopkeeperText(e), words.isEmpty() ? e.message() : words + u'\n' + e.message())
        << "the engine's own text stays, on the next line";
}

using P = Firebird::Problem;

INSTANTIATE_TEST_SUITE_P(
    Codes, EngineError,
    ::testing::Values(
        StatusCase{"DiskFull",
                   {isc_io_error, isc_arg_string, text("write"), isc_arg_string, text("/dados/DBBROLAVI.FDB"),
                    isc_arg_gds, isc_io_write_err, isc_arg_unix, ENOSPC},
                   P::DiskFull},
        StatusCase{"DiskFullOnWindows",
                   {isc_io_error, isc_arg_string, text("WriteFile"), isc_arg_string,
                    text("C:\\Brolavi\\DB\\DBBROLAVI.FDB"), isc_arg_gds, isc_io_write_err, isc_arg_win32,
                    112},
                   P::DiskFull},
        StatusCase{"OtherWriteFailure",
                   {isc_io_error, isc_arg_string, text("write"), isc_arg_string, text("/dados/DBBROLAVI.FDB"),
                    isc_arg_gds, isc_io_write_err, isc_arg_unix, EIO},
                   P::WriteFailed},
        StatusCase{"InUseByAnotherProcess",
                   {isc_io_error, isc_arg_string, text("lock"), isc_arg_string, text("/dados/DBBROLAVI.FDB"),
                    isc_arg_gds, isc_already_opened},
                   P::InUse},
        StatusCase{"InUseOnWindows",
                   {isc_io_error, isc_arg_string, text("CreateFile (open)"), isc_arg_string,
                    text("C:\\Brolavi\\DB\\DBBROLAVI.FDB"), isc_arg_gds, isc_io_open_err, isc_arg_win32, 32},
                   P::InUse},
        // A missing file in a folder whose name speaks of locks and use: only the codes count.
        StatusCase{"MissingFileInAFolderNamedLikeALock",
                   {isc_io_error, isc_arg_string, text("open"), isc_arg_string,
                    text("/home-matlock/in use/lock/DBBROLAVI.FDB"), isc_arg_gds, isc_io_open_err,
                    isc_arg_unix, ENOENT},
                   P::Other},
        StatusCase{"LockTimeout",
                   {isc_lock_timeout, isc_arg_gds, isc_concurrent_transaction, isc_arg_number, 7},
                   P::LockTimeout},
        StatusCase{"Deadlock",
                   {isc_deadlock, isc_arg_gds, isc_update_conflict, isc_arg_gds, isc_concurrent_transaction,
                    isc_arg_number, 7},
                   P::Conflict},
        StatusCase{"LockConflictWithoutWaiting",
                   {isc_lock_conflict, isc_arg_gds, isc_concurrent_transaction, isc_arg_number, 7},
                   P::Conflict},
        StatusCase{
            "NotADatabase", {isc_bad_db_format, isc_arg_string, text("/dados/DBBROLAVI.FDB")}, P::Damaged},
        StatusCase{"MissingCryptPlugin", {isc_no_crypt_plugin}, P::Damaged},
        StatusCase{"FileShorterThanItsHeaderSays",
                   {isc_io_error, isc_arg_string, text("read"), isc_arg_string, text("/dados/DBBROLAVI.FDB"),
                    isc_arg_gds, isc_random, isc_arg_string, text("File size is less than expected")},
                   P::Damaged},
        StatusCase{"Transliteration",
                   {isc_arith_except, isc_arg_gds, isc_transliteration_failed},
                   P::Transliteration},
        StatusCase{"StringTruncation",
                   {isc_arith_except, isc_arg_gds, isc_string_truncation, isc_arg_gds, isc_trunc_limits,
                    isc_arg_number, 60, isc_arg_number, 61},
                   P::TooLong},
        StatusCase{
            "NumberOutOfRange", {isc_arith_except, isc_arg_gds, isc_numeric_out_of_range}, P::OutOfRange},
        StatusCase{
            "UniqueKey",
            {isc_unique_key_violation, isc_arg_string, text("INTEG_1"), isc_arg_string, text("TABCADCLI")},
            P::DuplicateKey},
        StatusCase{"ServerGone",
                   {isc_network_error, isc_arg_string, text("127.0.0.1"), isc_arg_gds, isc_net_read_err},
                   P::ConnectionLost},
        StatusCase{"UnknownColumn",
                   {isc_dsql_error, isc_arg_gds, isc_dsql_field_err, isc_arg_gds, isc_random, isc_arg_string,
                    text("NADA")},
                   P::Other}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(EngineError, WithoutCodesIsItsOwnText) {
    const DatabaseError e(QStringLiteral("um texto qualquer sobre lock e in use"));
    EXPECT_EQ(Firebird::problemOf(e.engineStatus()), Firebird::Problem::Other);
    EXPECT_EQ(Firebird::shopkeeperText(e), e.message());
}

} // namespace
