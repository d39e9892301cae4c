#include "Printers.h"
#include "platform/core/Errors.h"
#include "platform/core/FirebirdServices.h"

#include <gtest/gtest.h>
#include <ibase.h>

namespace {

QByteArray reply(char tag, int length, const QByteArray& text) {
    QByteArray out(1, tag);
    out += char(length & 0xff);
    out += char((length >> 8) & 0xff);
    return out + text;
}

TEST(ServiceReply, ReadsALineTheEndOrNotReadyAndRefusesWhatTheBufferDoesNotHold) {
    using Kind = FirebirdServices::Reply::Kind;
    const QByteArray line = reply(isc_info_svc_line, 5, "gbak:xyz");
    const FirebirdServices::Reply r = FirebirdServices::parseReply(line.constData(), int(line.size()));
    EXPECT_EQ(r.kind, Kind::Line);
    EXPECT_EQ(r.line, QStringLiteral("gbak:"));
    const QByteArray end = reply(isc_info_svc_line, 0, {});
    EXPECT_EQ(FirebirdServices::parseReply(end.constData(), int(end.size())).kind, Kind::End);
    const char notReady = isc_info_data_not_ready;
    EXPECT_EQ(FirebirdServices::parseReply(&notReady, 1).kind, Kind::NotReady);

    for (const QByteArray& bad : {reply(isc_info_svc_line, 9, "gbak:"), reply(isc_info_svc_line, 0xffff, "x"),
                                  QByteArray(1, isc_info_svc_line), QByteArray("\x02", 1), QByteArray()})
        EXPECT_THROW(FirebirdServices::parseReply(bad.constData(), int(bad.size())), DatabaseError)
            << bad.toHex().toStdString();
}

// A restore fed from this machine: the service asks for input and gives its output lines in one reply.
TEST(ServiceReply, ReadsWhatARestoreFromHereWantsAndSaysAndRefusesWhatTheBufferDoesNotHold) {
    const QByteArray wants = QByteArray(1, isc_info_svc_stdin) + QByteArray("\x00\x00\x01\x00", 4);
    const char end = isc_info_end;
    const char notReady = isc_info_data_not_ready;
    struct Case {
        QByteArray reply;
        quint32 wanted;
        std::optional<QString> line;
        bool ended;
    };
    const Case cases[] = {
        {wants + reply(isc_info_svc_line, 5, "gbak:") + end, 65536, QStringLiteral("gbak:"), false},
        {wants + reply(isc_info_svc_line, 0, {}) + notReady + end, 65536, std::nullopt, false},
        {reply(isc_info_svc_line, 0, {}) + notReady + end, 0, std::nullopt, false},
        {reply(isc_info_svc_line, 0, {}) + end, 0, std::nullopt, true},
        {reply(isc_info_svc_line, 3, "abc") + end, 0, QStringLiteral("abc"), false},
        {reply(isc_info_svc_line, 40000, QByteArray(40000, 'a')) + end, 0, QString(40000, u'a'), false},
    };
    for (const Case& c : cases) {
        const FirebirdServices::InputReply r =
            FirebirdServices::parseInputReply(c.reply.constData(), int(c.reply.size()));
        EXPECT_EQ(r.wanted, c.wanted) << c.reply.toHex().toStdString();
        EXPECT_EQ(r.line, c.line) << c.reply.toHex().toStdString();
        EXPECT_EQ(r.ended, c.ended) << c.reply.toHex().toStdString();
    }

    for (const QByteArray& bad :
         {reply(isc_info_svc_line, 9, "gbak:") + end, reply(isc_info_svc_line, 0xffff, "x"), wants.left(3),
          reply(isc_info_svc_line, 3, "abc"), QByteArray(1, isc_info_svc_line), QByteArray("\x02", 1),
          QByteArray()})
        EXPECT_THROW(FirebirdServices::parseInputReply(bad.constData(), int(bad.size())), DatabaseError)
            << bad.toHex().toStdString();
}

} // namespace
