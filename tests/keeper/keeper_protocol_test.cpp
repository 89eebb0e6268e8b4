// The keeper's request and answer codec, and its frames over a socket.

#include "keeper/keeper_protocol.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

KeeperRequest Request(KeeperOp op)
{
    KeeperRequest request;
    request.op = op;
    return request;
}

// Requests of every op, each with only its own fields set.
std::vector<KeeperRequest> EveryOp()
{
    std::vector<KeeperRequest> requests;
    KeeperRequest r = Request(KeeperOp::Hello);
    requests.push_back(r);
    r = Request(KeeperOp::ListNicks);
    r.from = 64;
    requests.push_back(r);
    r = Request(KeeperOp::ProfileExists);
    r.nick = QStringLiteral("Вася");
    requests.push_back(r);
    r = Request(KeeperOp::LogIn);
    r.nick = QStringLiteral("anna");
    r.password = QStringLiteral("секрет 1");
    requests.push_back(r);
    r = Request(KeeperOp::LogInAdmin);
    r.password = QStringLiteral("adm 日本") + QString(300, 'p'); // the digest takes any password
    requests.push_back(r);
    r = Request(KeeperOp::CreateUser);
    r.nick = QStringLiteral("Новый");
    r.password = QString();
    r.fullName = QStringLiteral("Петрова Анна 日本");
    requests.push_back(r);
    r = Request(KeeperOp::SaveTotals);
    r.seconds = kMaxSavedSeconds;
    r.points = kMaxSavedPoints;
    requests.push_back(r);
    r = Request(KeeperOp::ChangePassword);
    r.password = QStringLiteral("old");
    r.newPassword = QStringLiteral("new");
    requests.push_back(r);
    r = Request(KeeperOp::Append);
    r.rangeText = QStringLiteral("999");
    r.timePerExample = 475;
    r.points = 20;
    r.errors = 3;
    r.finishedAt = QStringLiteral("06-12-2026 09:05:07");
    requests.push_back(r);
    r = Request(KeeperOp::ReadTable);
    r.rangeText = QStringLiteral("9");
    r.from = 128;
    r.count = kMaxRecordsPerAnswer;
    requests.push_back(r);
    requests.push_back(Request(KeeperOp::ConvertLegacy));
    r = Request(KeeperOp::ReadProfile);
    r.nick = QStringLiteral("anna");
    requests.push_back(r);
    r = Request(KeeperOp::ResetPassword);
    r.nick = QStringLiteral("b:c");
    requests.push_back(r);
    r = Request(KeeperOp::DeleteUser);
    r.nick = QStringLiteral("a.b");
    requests.push_back(r);
    r = Request(KeeperOp::ResetTable);
    r.rangeText = QStringLiteral("20");
    requests.push_back(r);
    r = Request(KeeperOp::SaveSettings);
    r.settings = QStringLiteral("AdmConf|1|2|3|4\nPathUser|/srv/класс\n") + QString(900, 'x');
    requests.push_back(r);
    requests.push_back(Request(KeeperOp::ReadSettings));
    requests.push_back(Request(KeeperOp::LogOut));
    return requests;
}

void ExpectSameRequest(const KeeperRequest& a, const KeeperRequest& b)
{
    EXPECT_EQ(a.op, b.op);
    EXPECT_EQ(a.nick, b.nick);
    EXPECT_EQ(a.password, b.password);
    EXPECT_EQ(a.newPassword, b.newPassword);
    EXPECT_EQ(a.fullName, b.fullName);
    EXPECT_EQ(a.rangeText, b.rangeText);
    EXPECT_EQ(a.finishedAt, b.finishedAt);
    EXPECT_EQ(a.settings, b.settings);
    EXPECT_EQ(a.seconds, b.seconds);
    EXPECT_EQ(a.points, b.points);
    EXPECT_EQ(a.timePerExample, b.timePerExample);
    EXPECT_EQ(a.errors, b.errors);
    EXPECT_EQ(a.from, b.from);
    EXPECT_EQ(a.count, b.count);
}

QByteArray Le16(int value) { return QByteArray(1, char(value & 0xFF)) + char(value >> 8); }
QByteArray Le32(qint32 value)
{
    QByteArray bytes(4, '\0');
    for (int n = 0; n < 4; ++n)
        bytes[n] = char(quint32(value) >> (8 * n));
    return bytes;
}
QByteArray Op(KeeperOp op) { return QByteArray(1, char(op)); }
QByteArray Text(const QByteArray& utf8) { return Le16(int(utf8.size())) + utf8; }

} // namespace

TEST(KeeperProtocol, EveryRequestDecodesAsEncoded)
{
    const std::vector<KeeperRequest> requests = EveryOp();
    ASSERT_EQ(requests.size(), 18u);
    for (const KeeperRequest& request : requests) {
        SCOPED_TRACE(int(request.op));
        const QByteArray payload = EncodeRequest(request);
        ASSERT_FALSE(payload.isEmpty());
        EXPECT_EQ(quint8(payload.at(0)), quint8(request.op));
        const std::optional<KeeperRequest> decoded = DecodeRequest(payload);
        ASSERT_TRUE(decoded.has_value());
        ExpectSameRequest(*decoded, request);
    }
}

TEST(KeeperProtocol, FieldsAreLittleEndianWithTextLengths)
{
    KeeperRequest r = Request(KeeperOp::LogIn);
    r.nick = QStringLiteral("Я");
    r.password = QStringLiteral("ab");
    EXPECT_EQ(EncodeRequest(r), QByteArray("\x04\x02\x00\xD0\xAF\x02\x00"
                                           "ab",
                                           9));
    r = Request(KeeperOp::ListNicks);
    r.from = 0x01020304;
    EXPECT_EQ(EncodeRequest(r), QByteArray("\x02\x04\x03\x02\x01", 5));
}

TEST(KeeperProtocol, RequestsThatBreakTheFormatOrAFieldCheckAreRefused)
{
    const QByteArray tooLongName(kMaxFieldBytes + 1, 'n');
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty payload", QByteArray()},
        {"over the request bound", Op(KeeperOp::SaveSettings) + Text(QByteArray(1000, 'a')) +
                                       QByteArray(kMaxRequestBytes, 'a')},
        {"op code 0", QByteArray(1, '\0')},
        {"op code 19", QByteArray(1, char(19))},
        {"op code 255", QByteArray(1, char(255))},
        {"trailing byte", Op(KeeperOp::Hello) + 'x'},
        {"trailing byte after fields", Op(KeeperOp::ListNicks) + Le32(0) + 'x'},
        {"i32 cut short", Op(KeeperOp::ListNicks) + QByteArray(3, '\0')},
        {"text length cut short", Op(KeeperOp::ProfileExists) + '\x01'},
        {"text cut short", Op(KeeperOp::ProfileExists) + Le16(5) + "abc"},
        {"second text missing", Op(KeeperOp::LogIn) + Text("anna")},
        {"text over 1024", Op(KeeperOp::SaveSettings) + Text(QByteArray(kMaxTextBytes + 1, 'a'))},
        {"invalid UTF-8", Op(KeeperOp::ProfileExists) + Text("a\xC3\x28")},
        {"overlong UTF-8 slash", Op(KeeperOp::ProfileExists) + Text("a\xC0\xAF"
                                                                    "b")},
        {"UTF-8 surrogate", Op(KeeperOp::ProfileExists) + Text("\xED\xA0\x80")},
        {"NUL in a text", Op(KeeperOp::SaveSettings) + Text(QByteArray("a\0b", 3))},
        {"NUL in a nick", Op(KeeperOp::ProfileExists) + Text(QByteArray("a\0", 2))},
        {"nick with /", Op(KeeperOp::ProfileExists) + Text("a/b")},
        {"nick /", Op(KeeperOp::ReadProfile) + Text("/")},
        {"nick ..", Op(KeeperOp::DeleteUser) + Text("..")},
        {"nick .", Op(KeeperOp::ResetPassword) + Text(".")},
        {"empty nick", Op(KeeperOp::LogIn) + Text("") + Text("p")},
        {"nick not in Windows-1251", Op(KeeperOp::ProfileExists) + Text("\xE6\x97\xA5")},
        {"nick over 255", Op(KeeperOp::ProfileExists) + Text(tooLongName)},
        {"new nick with .", Op(KeeperOp::CreateUser) + Text("a.b") + Text("") + Text("F")},
        {"new nick with :", Op(KeeperOp::CreateUser) + Text("a:b") + Text("") + Text("F")},
        {"new nick with |", Op(KeeperOp::CreateUser) + Text("a|b") + Text("") + Text("F")},
        {"new nick with \\", Op(KeeperOp::CreateUser) + Text("a\\b") + Text("") + Text("F")},
        {"full name over 255", Op(KeeperOp::CreateUser) + Text("a") + Text("") + Text(tooLongName)},
        {"range 7", Op(KeeperOp::ResetTable) + Text("7")},
        {"range empty", Op(KeeperOp::ReadTable) + Text("") + Le32(0) + Le32(1)},
        {"count 0", Op(KeeperOp::ReadTable) + Text("20") + Le32(0) + Le32(0)},
        {"count 65", Op(KeeperOp::ReadTable) + Text("20") + Le32(0) + Le32(65)},
        {"negative from", Op(KeeperOp::ReadTable) + Text("20") + Le32(-1) + Le32(1)},
        {"negative list start", Op(KeeperOp::ListNicks) + Le32(-1)},
        {"negative seconds", Op(KeeperOp::SaveTotals) + Le32(-1) + Le32(0)},
        {"seconds over the bound", Op(KeeperOp::SaveTotals) + Le32(kMaxSavedSeconds + 1) + Le32(0)},
        {"points over the bound", Op(KeeperOp::SaveTotals) + Le32(0) + Le32(kMaxSavedPoints + 1)},
        {"points under the bound", Op(KeeperOp::SaveTotals) + Le32(0) + Le32(-kMaxSavedPoints - 1)},
        {"negative time per example",
         Op(KeeperOp::Append) + Text("20") + Le32(-1) + Le32(0) + Le32(0) + Text("d")},
        {"negative points",
         Op(KeeperOp::Append) + Text("20") + Le32(0) + Le32(-5) + Le32(0) + Text("d")},
        {"negative errors",
         Op(KeeperOp::Append) + Text("20") + Le32(0) + Le32(0) + Le32(-1) + Text("d")},
        {"time per example over the bound", Op(KeeperOp::Append) + Text("20") +
                                                Le32(kMaxTimePerExample + 1) + Le32(0) + Le32(0) +
                                                Text("d")},
        {"finish time over 255",
         Op(KeeperOp::Append) + Text("20") + Le32(0) + Le32(0) + Le32(0) + Text(tooLongName)},
    };
    for (const auto& [name, payload] : cases)
        EXPECT_FALSE(DecodeRequest(payload).has_value()) << name;
}

TEST(KeeperProtocol, NicksOfExistingProfilesMayHoldWhatNewNicksMayNot)
{
    for (const char* nick : {"a.b", "b:c", "x|y", "x\\y", "...", "Ёж ёж"}) {
        KeeperRequest r = Request(KeeperOp::ProfileExists);
        r.nick = QString::fromUtf8(nick);
        EXPECT_TRUE(DecodeRequest(EncodeRequest(r)).has_value()) << nick;
        EXPECT_TRUE(IsRequestNick(r.nick)) << nick;
    }
    KeeperRequest r = Request(KeeperOp::ProfileExists);
    r.nick = QString(kMaxFieldBytes, QChar(0x0416)); // 255 Cyrillic letters, 510 bytes of UTF-8
    EXPECT_TRUE(DecodeRequest(EncodeRequest(r)).has_value());
}

TEST(KeeperProtocol, EncoderRefusesWhatNoFrameCanCarry)
{
    KeeperRequest r = Request(KeeperOp::SaveSettings);
    r.settings = QString(kMaxTextBytes + 1, 'a');
    EXPECT_TRUE(EncodeRequest(r).isEmpty());
    r.settings = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    EXPECT_TRUE(EncodeRequest(r).isEmpty());
    r.settings = QString(QChar(0xD800)); // a lone surrogate has no UTF-8
    EXPECT_TRUE(EncodeRequest(r).isEmpty());
}

TEST(KeeperProtocol, AnswersDecodeAsEncoded)
{
    const ResultRecord record{"anna", "Петрова Анна", 475, 20, "06-12-2026 09:05:07", 1};
    // A full page of the longest nicks: 255 characters of three bytes of UTF-8 each.
    KeeperAnswer nicks;
    for (int n = 0; n < kMaxTextsPerAnswer; ++n)
        nicks.texts << QString(kMaxFieldBytes - 1, QChar(0x2116)) + QChar('0' + n % 10);
    nicks.a = -7;
    nicks.b = 1 << 30;
    nicks.more = true;
    KeeperAnswer records;
    records.status = KeeperStatus::Failed;
    records.text = QStringLiteral("I/O error 28");
    records.records.assign(kMaxRecordsPerAnswer, record);
    KeeperAnswer plain;
    plain.status = KeeperStatus::NotAClassFolder;
    for (const KeeperAnswer& answer : {nicks, records, plain}) {
        const QByteArray payload = EncodeAnswer(answer);
        ASSERT_FALSE(payload.isEmpty());
        const std::optional<KeeperAnswer> decoded = DecodeAnswer(payload);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->status, answer.status);
        EXPECT_EQ(decoded->text, answer.text);
        EXPECT_EQ(decoded->texts, answer.texts);
        ASSERT_EQ(decoded->records.size(), answer.records.size());
        for (const ResultRecord& got : decoded->records)
            EXPECT_EQ(EncodeResultRecord(got), EncodeResultRecord(record));
        EXPECT_EQ(decoded->a, answer.a);
        EXPECT_EQ(decoded->b, answer.b);
        EXPECT_EQ(decoded->more, answer.more);
    }
}

TEST(KeeperProtocol, AnswersThatBreakTheFormatAreRefused)
{
    KeeperAnswer answer;
    answer.texts << QStringLiteral("anna");
    answer.records.push_back(ResultRecord{"anna", "A", 1, 2, "d", 0});
    const QByteArray good = EncodeAnswer(answer);
    ASSERT_TRUE(DecodeAnswer(good).has_value());
    const QByteArray tail = Le32(0) + Le32(0);
    const QByteArray oneRecord = QByteArray(1, '\1') + QByteArray(kResultRecordSize, '\0');
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"status 0", QByteArray(1, '\0') + good.mid(1)},
        {"status 7", QByteArray(1, '\7') + good.mid(1)},
        {"cut short", good.left(good.size() - 1)},
        {"trailing byte", good + 'x'},
        {"more 2", good.left(good.size() - 1) + '\2'},
        {"65 texts", QByteArray(1, '\1') + Text("") + QByteArray(1, char(65)) +
                         Text("a").repeated(65) + '\0' + tail + '\0'},
        {"65 records", QByteArray(1, '\1') + Text("") + '\0' + QByteArray(1, char(65)) +
                           QByteArray(65 * kResultRecordSize, '\0') + tail + '\0'},
        {"record cut short", QByteArray(1, '\1') + Text("") + '\0' + oneRecord.left(700)},
        {"invalid UTF-8 text", QByteArray(1, '\1') + Text("\xFF") + '\0' + '\0' + tail + '\0'},
        {"over the answer bound", good + QByteArray(kMaxAnswerBytes, '\0')},
    };
    for (const auto& [name, payload] : cases)
        EXPECT_FALSE(DecodeAnswer(payload).has_value()) << name;

    KeeperAnswer tooMany;
    tooMany.texts = QStringList(kMaxTextsPerAnswer + 1, QStringLiteral("a"));
    EXPECT_TRUE(EncodeAnswer(tooMany).isEmpty());
}

namespace {

class SocketPair {
  public:
    SocketPair() { EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds_), 0); }
    ~SocketPair()
    {
        closeEnd(0);
        closeEnd(1);
    }
    int end(int n) const { return fds_[n]; }
    void closeEnd(int n)
    {
        if (fds_[n] >= 0)
            close(fds_[n]);
        fds_[n] = -1;
    }
    void send(const QByteArray& bytes) const
    {
        ASSERT_EQ(write(fds_[0], bytes.constData(), size_t(bytes.size())), bytes.size());
    }

  private:
    int fds_[2] = {-1, -1};
};

} // namespace

TEST(KeeperFrames, FramesPassWholeUpToTheirBound)
{
    SocketPair pair;
    const QByteArray small("\x01", 1);
    const QByteArray large(kMaxAnswerBytes, 'z');
    ASSERT_TRUE(WriteFrame(pair.end(0), small));
    ASSERT_TRUE(WriteFrame(pair.end(0), large));
    QByteArray payload;
    ASSERT_TRUE(ReadFrame(pair.end(1), payload, kMaxRequestBytes));
    EXPECT_EQ(payload, small);
    ASSERT_TRUE(ReadFrame(pair.end(1), payload, kMaxAnswerBytes));
    EXPECT_EQ(payload, large);
    EXPECT_FALSE(WriteFrame(pair.end(0), QByteArray()));
    EXPECT_FALSE(WriteFrame(pair.end(0), QByteArray(kMaxAnswerBytes + 1, 'z')));
}

TEST(KeeperFrames, ReadingStopsAtBadLengthsAndCutFrames)
{
    const std::pair<const char*, QByteArray> cases[] = {
        {"length 0", Le32(0) + "abc"},
        {"length over the bound",
         Le32(kMaxRequestBytes + 1) + QByteArray(kMaxRequestBytes + 1, 'a')},
        {"negative length", Le32(-1) + "abc"},
        {"header cut short", QByteArray("\x05\x00", 2)},
        {"payload cut short", Le32(10) + "abc"},
        {"nothing", QByteArray()},
    };
    for (const auto& [name, bytes] : cases) {
        SocketPair pair;
        if (!bytes.isEmpty())
            pair.send(bytes);
        pair.closeEnd(0); // the peer goes away in the middle of the frame
        QByteArray payload;
        EXPECT_FALSE(ReadFrame(pair.end(1), payload, kMaxRequestBytes)) << name;
        EXPECT_TRUE(payload.isEmpty()) << name;
    }
}

TEST(KeeperFrames, WritingToAPeerThatHasGoneFailsWithoutASignal)
{
    // Default SIGPIPE would end this test program.
    struct sigaction old;
    struct sigaction dfl = {};
    dfl.sa_handler = SIG_DFL;
    sigaction(SIGPIPE, &dfl, &old);
    SocketPair pair;
    pair.closeEnd(1);
    EXPECT_FALSE(WriteFrame(pair.end(0), QByteArray("abc")));
    sigaction(SIGPIPE, &old, nullptr);
}
