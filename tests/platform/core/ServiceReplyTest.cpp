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

} // namespace
