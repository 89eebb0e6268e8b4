#pragma once
// The keeper's request protocol, spoken over a SOCK_STREAM unix socket pair.
//
// Frame: a 4-byte little-endian length N, then N bytes of payload; a request
// holds 1..kMaxRequestBytes bytes, an answer 1..kMaxAnswerBytes. A length out
// of bounds ends the connection.
//
// Request payload: the op code (1 byte), then the op's fields in order. Field
// kinds: text = 2-byte LE length L (at most kMaxTextBytes) and L bytes of valid
// UTF-8 without NUL; i32 = 4 bytes LE; u8 = 1 byte. The payload is consumed
// exactly. The decoder is the keeper's only validation of its caller: every
// nick, range text, text and number is checked there (see DecodeRequest).
//
// Answer payload: status (u8), text, count (u8) and that many texts, count
// (u8) and that many 780-byte result records, i32 a, i32 b, u8 more (0 or 1).
// The program reads answers as strictly as the keeper reads requests.

#include "config/app_config.h"
#include "records/result_record.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

constexpr int kMaxRequestBytes = 4096;
constexpr int kMaxAnswerBytes = 65536;
// Bytes of UTF-8 in one text field.
constexpr int kMaxTextBytes = 1024;
// Bytes in Windows-1251 of a nick, password, full name or finish time: the
// capacity of the stored short strings.
constexpr int kMaxFieldBytes = 255;
// Nicks, texts or records in one answer; longer lists come in pages.
constexpr int kMaxRecordsPerAnswer = 64;
constexpr int kMaxTextsPerAnswer = 64;
// Bounds of the numbers of one SaveTotals: a week of exercise, and points.
constexpr qint32 kMaxSavedSeconds = 86400 * 7;
constexpr qint32 kMaxSavedPoints = 10000000;
// Bounds of the numbers of one Append: time per point in hundredths of a
// second (a week for one point), points and errors of one exercise.
constexpr qint32 kMaxTimePerExample = 86400 * 7 * 100;
constexpr qint32 kMaxResultPoints = 10000000;
constexpr qint32 kMaxResultErrors = 10000000;
// Hello answers this in `a`.
constexpr qint32 kKeeperProtocolVersion = 1;

enum class KeeperOp : quint8 {
    Hello = 1,          // ()
    ListNicks = 2,      // (i32 from)
    ProfileExists = 3,  // (text nick)
    LogIn = 4,          // (text nick, text password)
    LogInAdmin = 5,     // (text password)
    CreateUser = 6,     // (text nick, text password, text fullName)
    SaveTotals = 7,     // (i32 seconds, i32 points)
    ChangePassword = 8, // (text password, text newPassword)
    Append = 9,         // (text rangeText, i32 timePerExample, i32 points, i32 errors,
                        //  text finishedAt)
    ReadTable = 10,     // (text rangeText, i32 from, i32 count)
    ConvertLegacy = 11, // ()
    ReadProfile = 12,   // (text nick)
    ResetPassword = 13, // (text nick)
    DeleteUser = 14,    // (text nick)
    ResetTable = 15,    // (text rangeText)
    SaveSettings = 16,  // (text settings)
    ReadSettings = 17,  // ()
    LogOut = 18,        // ()
};

// One request; only the fields of its op are significant.
struct KeeperRequest {
    KeeperOp op = KeeperOp::Hello;
    QString nick, password, newPassword, fullName, rangeText, finishedAt, settings;
    qint32 seconds = 0, points = 0, timePerExample = 0, errors = 0, from = 0, count = 0;
};

enum class KeeperStatus : quint8 {
    Ok = 1,
    No = 2,              // a plain no: a wrong password, a profile that is not there
    Refused = 3,         // not allowed in this session
    Failed = 4,          // an error that travels: `text` is its own text, `b` its kind
                         // (KeeperFailure) and `a` an IoError's code
    NotAClassFolder = 5, // the program works on the folder itself
    BadRequest = 6,      // the request did not decode; the keeper ends the session
};

enum class KeeperFailure : qint32 { Other = 0, Io = 1, Store = 2 };

struct KeeperAnswer {
    KeeperStatus status = KeeperStatus::Ok;
    QString text;
    QStringList texts;
    std::vector<ResultRecord> records;
    qint32 a = 0, b = 0;
    bool more = false;
};

// The payload of `request`. The fields are written as they are, so that a
// test can send what the keeper must refuse; empty when a text is over
// kMaxTextBytes, holds a NUL, or the payload is over kMaxRequestBytes.
QByteArray EncodeRequest(const KeeperRequest& request);
// The request, or none when the payload breaks the format or a field fails
// its check:
//  - nick: not empty, not "." or "..", no "/", at most kMaxFieldBytes in
//    Windows-1251 and every character in it; CreateUser's nick also holds none
//    of the characters a new user's nick may not hold (. : \ | /);
//  - password, newPassword: any text (the digest takes each character);
//  - fullName: at most kMaxFieldBytes characters;
//  - finishedAt: Windows-1251, at most kMaxFieldBytes;
//  - rangeText: one of RangeTexts();
//  - SaveTotals: 0 <= seconds <= kMaxSavedSeconds, |points| <= kMaxSavedPoints (an
//    exercise ended at the pause question may leave its score below zero);
//  - Append: each number from 0 to its bound above;
//  - from >= 0; ReadTable: 1 <= count <= kMaxRecordsPerAnswer.
std::optional<KeeperRequest> DecodeRequest(const QByteArray& payload);

// The payload of `answer`; empty when a text breaks the text rules, a list is
// over its bound, or the payload over kMaxAnswerBytes.
QByteArray EncodeAnswer(const KeeperAnswer& answer);
// The answer, or none when the payload breaks the format.
std::optional<KeeperAnswer> DecodeAnswer(const QByteArray& payload);

// SaveSettings' text: the four scoring numbers, the sound switch (0 or 1) and
// the folder, "|"-separated, the folder last (it may hold "|").
QString EncodeSettings(const ScoringSettings& scoring, const QString& folder, bool noSound);
// None when the text breaks that form, a number is not decimal, a scoring
// number is out of the settings window's bounds (streak lengths from 0, bonus
// and penalty 1..50) or the folder is empty.
struct SettingsChange {
    ScoringSettings scoring;
    QString folder;
    bool noSound = false;
};
std::optional<SettingsChange> DecodeSettings(const QString& text);

// ReadSettings' answer: `texts` "AdmConf", "PathUser" and "NoSound" in
// decimal, `a` a mask of those the store holds (1, 2, 4), `text` the error
// that ended the reading.
KeeperAnswer SettingsAnswer(const StoredSettings& stored);
// None when the answer breaks that form.
std::optional<StoredSettings> SettingsOfAnswer(const KeeperAnswer& answer);

// True when `nick` may name a profile in a request (the nick rule above
// without the new user's characters).
bool IsRequestNick(const QString& nick);

// Reads one frame into `payload`. False at the end of the stream, on a read
// error, a frame cut short, or a length outside 1..maxBytes.
bool ReadFrame(int fd, QByteArray& payload, int maxBytes);
// Writes one frame to the socket `fd`, retrying after signals; never raises
// SIGPIPE. False on a write error or a payload outside 1..kMaxAnswerBytes.
bool WriteFrame(int fd, const QByteArray& payload);
