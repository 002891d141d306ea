#include "tests/session/SessionTestSupport.h"

#include "session/UpdateCheckRequest.h"
#include "session/UpdateExchange.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <httplib.h>

#include <gtest/gtest.h>

namespace {

using namespace sessiontest;

// The built program: its ready line names both ports, its session port answers, and it logs
// one line per received command.
TEST(DevServiceProgram, ReadyLineNamesTheSessionPortThatAnswers)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess program;
    program.setProgram(QStringLiteral(KAVREN_DEVSERVICE_EXE));
    program.setArguments({ QStringLiteral("--http-port"), QStringLiteral("0"), QStringLiteral("--session-port"),
                           QStringLiteral("0"), QStringLiteral("--log"), dir.filePath(QStringLiteral("dev.log")) });
    program.start();
    ASSERT_TRUE(program.waitForStarted(5000));

    QByteArray output;
    const QRegularExpression ready(QStringLiteral("kavren-devservice ready http=(\\d+) session=(\\d+)"));
    QRegularExpressionMatch match;
    const Clock::time_point start = Clock::now();
    while (!(match = ready.match(QString::fromUtf8(output))).hasMatch() && msSince(start) < 10000) {
        program.waitForReadyRead(200);
        output += program.readAllStandardOutput();
    }
    ASSERT_TRUE(match.hasMatch()) << output.constData();
    const int httpPort = match.captured(1).toInt();
    const auto sessionPort = static_cast<quint16>(match.captured(2).toInt());
    EXPECT_GT(httpPort, 0);
    EXPECT_GT(sessionPort, 0);

    session::UpdateCheckRequest request;
    request.version = QStringLiteral("2.1.2");
    session::UpdateExchange exchange;
    EXPECT_GT(exchange.run(kLoopback, sessionPort, request.toJson()), 0);
    EXPECT_TRUE(exchange.answer().contains("\"ValidateResult\":true"));

    httplib::Client client("127.0.0.1", httpPort);
    const auto state = client.Get("/control/session/state");
    ASSERT_TRUE(state);
    EXPECT_EQ(parseJson(state->body)["port"].asInt(), sessionPort);

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(5000));
    output += program.readAllStandardOutput();
    EXPECT_NE(output.indexOf("session recv connection=1 {\"ClientMD5\""), -1) << output.constData();
    QFile log(dir.filePath(QStringLiteral("dev.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_NE(log.readAll().indexOf("\"StartUpFileName\":\"kavrenup.exe\""), -1);
}

} // namespace
