#include "keeper/keeper_protocol.h"

#include "platform/posix_io.h"
#include "records/number_range.h"
#include "util/cp1251.h"

#include <QStringDecoder>

#include <cerrno>
#include <sys/socket.h>

namespace {

// Appends little-endian numbers and length-prefixed texts; `ok` turns false
// when a text breaks the text rules.
class Writer {
  public:
    void u8(quint8 value) { bytes_.append(char(value)); }
    void i32(qint32 value)
    {
        char field[4];
        WriteInt32LE(field, value);
        bytes_.append(field, 4);
    }
    void text(const QString& value)
    {
        const QByteArray utf8 = value.toUtf8();
        if (utf8.size() > kMaxTextBytes || utf8.contains('\0') ||
            QString::fromUtf8(utf8) != value) {
            ok_ = false;
            return;
        }
        bytes_.append(char(utf8.size() & 0xFF));
        bytes_.append(char(utf8.size() >> 8));
        bytes_.append(utf8);
    }
    void raw(const QByteArray& value) { bytes_.append(value); }
    // The payload, or empty when a field failed or it is over `maxBytes`.
    QByteArray result(int maxBytes) const
    {
        return ok_ && bytes_.size() <= maxBytes ? bytes_ : QByteArray();
    }

  private:
    QByteArray bytes_;
    bool ok_ = true;
};

// Reads the fields of a payload from its start; every read past the end or of
// a bad text sets `ok` false and gives a zero value from then on.
class Reader {
  public:
    explicit Reader(const QByteArray& payload) : payload_(payload) {}

    bool ok() const { return ok_; }
    // True when every field read well and no byte is left over.
    bool done() const { return ok_ && at_ == payload_.size(); }

    quint8 u8()
    {
        if (!take(1))
            return 0;
        return quint8(payload_.at(at_ - 1));
    }
    qint32 i32()
    {
        if (!take(4))
            return 0;
        return ReadInt32LE(payload_.constData() + at_ - 4);
    }
    QString text()
    {
        if (!take(2))
            return QString();
        const int size = quint8(payload_.at(at_ - 2)) | (quint8(payload_.at(at_ - 1)) << 8);
        if (size > kMaxTextBytes || !take(size)) {
            ok_ = false;
            return QString();
        }
        const QByteArray utf8 = payload_.mid(at_ - size, size);
        // An initial byte order mark is kept as a character, so that the text
        // is exactly the bytes sent.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                         QStringDecoder::Flag::ConvertInitialBom);
        const QString value = decoder(utf8);
        if (decoder.hasError() || utf8.contains('\0')) {
            ok_ = false;
            return QString();
        }
        return value;
    }
    QByteArray raw(int size)
    {
        if (!take(size))
            return QByteArray();
        return payload_.mid(at_ - size, size);
    }

  private:
    bool take(int size)
    {
        if (!ok_ || size < 0 || size > payload_.size() - at_) {
            ok_ = false;
            return false;
        }
        at_ += size;
        return true;
    }

    const QByteArray& payload_;
    int at_ = 0;
    bool ok_ = true;
};

// A text stored as a Windows-1251 short string: every character has a byte,
// and it fits the field.
bool IsFieldText(const QString& text)
{
    return text.size() <= kMaxFieldBytes && IsCp1251Text(text);
}

// The characters a new user's nick may not hold (the new-user rules of the
// accounts): "/" leads out of the folder, the others the program never gives
// a new nick.
bool IsNewUserNick(const QString& nick)
{
    for (const char* c : {".", ":", "\\", "|", "/"}) {
        if (nick.contains(QLatin1String(c)))
            return false;
    }
    return IsRequestNick(nick);
}

// A full name goes into its short string as the program stores it: at most
// the field's characters, one that has no byte in Windows-1251 as "?".
bool IsFullNameText(const QString& text) { return text.size() <= kMaxFieldBytes; }

bool InRange(qint32 value, qint32 low, qint32 high) { return value >= low && value <= high; }

// The fields of the request's op, read and checked.
bool ReadFields(Reader& in, KeeperRequest& r)
{
    switch (r.op) {
    case KeeperOp::Hello:
    case KeeperOp::ConvertLegacy:
    case KeeperOp::ReadSettings:
    case KeeperOp::LogOut:
        return true;
    case KeeperOp::ListNicks:
        r.from = in.i32();
        return r.from >= 0;
    case KeeperOp::ProfileExists:
    case KeeperOp::ReadProfile:
    case KeeperOp::ResetPassword:
    case KeeperOp::DeleteUser:
        r.nick = in.text();
        return IsRequestNick(r.nick);
    case KeeperOp::LogIn:
        r.nick = in.text();
        r.password = in.text();
        return IsRequestNick(r.nick);
    case KeeperOp::LogInAdmin:
        r.password = in.text();
        return true;
    case KeeperOp::CreateUser:
        r.nick = in.text();
        r.password = in.text();
        r.fullName = in.text();
        return IsNewUserNick(r.nick) && IsFullNameText(r.fullName);
    case KeeperOp::SaveTotals:
        r.seconds = in.i32();
        r.points = in.i32();
        return InRange(r.seconds, 0, kMaxSavedSeconds) &&
               InRange(r.points, -kMaxSavedPoints, kMaxSavedPoints);
    case KeeperOp::ChangePassword:
        r.password = in.text();
        r.newPassword = in.text();
        return true;
    case KeeperOp::Append:
        r.rangeText = in.text();
        r.timePerExample = in.i32();
        r.points = in.i32();
        r.errors = in.i32();
        r.finishedAt = in.text();
        return RangeTexts().contains(r.rangeText) &&
               InRange(r.timePerExample, 0, kMaxTimePerExample) &&
               InRange(r.points, 0, kMaxResultPoints) && InRange(r.errors, 0, kMaxResultErrors) &&
               IsFieldText(r.finishedAt);
    case KeeperOp::ReadTable:
        r.rangeText = in.text();
        r.from = in.i32();
        r.count = in.i32();
        return RangeTexts().contains(r.rangeText) && r.from >= 0 &&
               InRange(r.count, 1, kMaxRecordsPerAnswer);
    case KeeperOp::ResetTable:
        r.rangeText = in.text();
        return RangeTexts().contains(r.rangeText);
    case KeeperOp::SaveSettings:
        r.settings = in.text();
        return true;
    }
    return false; // an op code outside the list
}

bool IsStatus(quint8 value)
{
    return value >= quint8(KeeperStatus::Ok) && value <= quint8(KeeperStatus::BadRequest);
}

} // namespace

bool IsRequestNick(const QString& nick)
{
    return !nick.isEmpty() && nick != QLatin1String(".") && nick != QLatin1String("..") &&
           !nick.contains(QLatin1Char('/')) && !nick.contains(QChar(0)) && IsFieldText(nick);
}

QByteArray EncodeRequest(const KeeperRequest& r)
{
    Writer out;
    out.u8(quint8(r.op));
    switch (r.op) {
    case KeeperOp::Hello:
    case KeeperOp::ConvertLegacy:
    case KeeperOp::ReadSettings:
    case KeeperOp::LogOut:
        break;
    case KeeperOp::ListNicks:
        out.i32(r.from);
        break;
    case KeeperOp::ProfileExists:
    case KeeperOp::ReadProfile:
    case KeeperOp::ResetPassword:
    case KeeperOp::DeleteUser:
        out.text(r.nick);
        break;
    case KeeperOp::LogIn:
        out.text(r.nick);
        out.text(r.password);
        break;
    case KeeperOp::LogInAdmin:
        out.text(r.password);
        break;
    case KeeperOp::CreateUser:
        out.text(r.nick);
        out.text(r.password);
        out.text(r.fullName);
        break;
    case KeeperOp::SaveTotals:
        out.i32(r.seconds);
        out.i32(r.points);
        break;
    case KeeperOp::ChangePassword:
        out.text(r.password);
        out.text(r.newPassword);
        break;
    case KeeperOp::Append:
        out.text(r.rangeText);
        out.i32(r.timePerExample);
        out.i32(r.points);
        out.i32(r.errors);
        out.text(r.finishedAt);
        break;
    case KeeperOp::ReadTable:
        out.text(r.rangeText);
        out.i32(r.from);
        out.i32(r.count);
        break;
    case KeeperOp::ResetTable:
        out.text(r.rangeText);
        break;
    case KeeperOp::SaveSettings:
        out.text(r.settings);
        break;
    }
    return out.result(kMaxRequestBytes);
}

std::optional<KeeperRequest> DecodeRequest(const QByteArray& payload)
{
    if (payload.isEmpty() || payload.size() > kMaxRequestBytes)
        return std::nullopt;
    Reader in(payload);
    KeeperRequest request;
    request.op = KeeperOp(in.u8());
    if (!ReadFields(in, request) || !in.done())
        return std::nullopt;
    return request;
}

QByteArray EncodeAnswer(const KeeperAnswer& answer)
{
    if (answer.texts.size() > kMaxTextsPerAnswer ||
        answer.records.size() > size_t(kMaxRecordsPerAnswer))
        return QByteArray();
    Writer out;
    out.u8(quint8(answer.status));
    out.text(answer.text);
    out.u8(quint8(answer.texts.size()));
    for (const QString& text : answer.texts)
        out.text(text);
    out.u8(quint8(answer.records.size()));
    for (const ResultRecord& record : answer.records)
        out.raw(EncodeResultRecord(record));
    out.i32(answer.a);
    out.i32(answer.b);
    out.u8(answer.more ? 1 : 0);
    return out.result(kMaxAnswerBytes);
}

std::optional<KeeperAnswer> DecodeAnswer(const QByteArray& payload)
{
    if (payload.isEmpty() || payload.size() > kMaxAnswerBytes)
        return std::nullopt;
    Reader in(payload);
    KeeperAnswer answer;
    const quint8 status = in.u8();
    if (!IsStatus(status))
        return std::nullopt;
    answer.status = KeeperStatus(status);
    answer.text = in.text();
    const int texts = in.u8();
    if (texts > kMaxTextsPerAnswer)
        return std::nullopt;
    for (int n = 0; n < texts && in.ok(); ++n)
        answer.texts << in.text();
    const int records = in.u8();
    if (records > kMaxRecordsPerAnswer)
        return std::nullopt;
    for (int n = 0; n < records && in.ok(); ++n) {
        const QByteArray bytes = in.raw(kResultRecordSize);
        if (in.ok())
            answer.records.push_back(DecodeResultRecord(bytes));
    }
    answer.a = in.i32();
    answer.b = in.i32();
    const quint8 more = in.u8();
    if (more > 1 || !in.done())
        return std::nullopt;
    answer.more = more == 1;
    return answer;
}

bool ReadFrame(int fd, QByteArray& payload, int maxBytes)
{
    payload.clear();
    char header[4];
    if (ReadUpTo(fd, header, 4) != 4)
        return false;
    const qint32 size = ReadInt32LE(header);
    if (size < 1 || size > maxBytes)
        return false;
    QByteArray bytes(size, Qt::Uninitialized);
    if (ReadUpTo(fd, bytes.data(), size_t(size)) != size)
        return false;
    payload = bytes;
    return true;
}

// send() with MSG_NOSIGNAL rather than WriteAll: a peer that has gone away
// gives EPIPE instead of a signal that would end the writing process.
bool WriteFrame(int fd, const QByteArray& payload)
{
    if (payload.isEmpty() || payload.size() > kMaxAnswerBytes)
        return false;
    QByteArray frame(4, '\0');
    WriteInt32LE(frame.data(), qint32(payload.size()));
    frame.append(payload);
    const char* data = frame.constData();
    size_t left = size_t(frame.size());
    while (left > 0) {
        const ssize_t sent = ::send(fd, data, left, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        data += sent;
        left -= size_t(sent);
    }
    return true;
}

QString EncodeSettings(const ScoringSettings& scoring, const QString& folder, bool noSound)
{
    QStringList fields;
    for (qint32 value : {scoring.rightStreakLength, scoring.wrongStreakLength, scoring.bonusPoints,
                         scoring.penaltyPoints})
        fields << QString::number(value);
    fields << QString::number(noSound ? 1 : 0) << folder;
    return fields.join(QLatin1Char('|'));
}

std::optional<SettingsChange> DecodeSettings(const QString& text)
{
    const QStringList fields = text.split(QLatin1Char('|'));
    if (fields.size() < 6)
        return std::nullopt;
    qint32 numbers[5];
    for (int n = 0; n < 5; ++n) {
        bool ok = false;
        const QString& field = fields.at(n);
        numbers[n] = field.toInt(&ok);
        // Decimal digits only: no sign, blank or other digits.
        for (const QChar c : field)
            ok = ok && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!ok)
            return std::nullopt;
    }
    SettingsChange change;
    change.scoring = ScoringSettings{numbers[0], numbers[1], numbers[2], numbers[3]};
    change.noSound = numbers[4] != 0;
    change.folder = fields.mid(5).join(QLatin1Char('|'));
    if (numbers[2] < 1 || numbers[2] > 50 || numbers[3] < 1 || numbers[3] > 50 || numbers[4] > 1 ||
        change.folder.isEmpty())
        return std::nullopt;
    return change;
}

KeeperAnswer SettingsAnswer(const StoredSettings& stored)
{
    KeeperAnswer answer;
    answer.texts =
        QStringList{stored.admConf.value_or(QString()), stored.pathUser.value_or(QString()),
                    QString::number(stored.noSound.value_or(0))};
    answer.a = (stored.admConf ? 1 : 0) | (stored.pathUser ? 2 : 0) | (stored.noSound ? 4 : 0);
    answer.text = stored.error;
    return answer;
}

std::optional<StoredSettings> SettingsOfAnswer(const KeeperAnswer& answer)
{
    if (answer.texts.size() != 3 || answer.a < 0 || answer.a > 7)
        return std::nullopt;
    bool ok = false;
    const qint32 noSound = answer.texts.at(2).toInt(&ok);
    if (!ok)
        return std::nullopt;
    StoredSettings stored;
    if (answer.a & 1)
        stored.admConf = answer.texts.at(0);
    if (answer.a & 2)
        stored.pathUser = answer.texts.at(1);
    if (answer.a & 4)
        stored.noSound = noSound;
    stored.error = answer.text;
    return stored;
}
