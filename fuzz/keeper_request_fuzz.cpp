// The keeper's request reader, and the program's reader of its answers: any
// bytes decode or are refused; what decodes passes the field checks and
// encodes back to the same bytes (a request) or to an equal answer.

#include "fuzz_support.h"

#include "keeper/keeper_protocol.h"
#include "records/number_range.h"

namespace {

void CheckRequest(const QByteArray& bytes)
{
    const std::optional<KeeperRequest> request = DecodeRequest(bytes);
    if (!request)
        return;
    FUZZ_CHECK(bytes.size() >= 1 && bytes.size() <= kMaxRequestBytes);
    const KeeperRequest& r = *request;
    FUZZ_CHECK(r.nick.isEmpty() || IsRequestNick(r.nick));
    FUZZ_CHECK(!r.nick.contains(QLatin1Char('/')) && r.nick != QLatin1String("..") &&
               r.nick != QLatin1String("."));
    FUZZ_CHECK(r.rangeText.isEmpty() || RangeTexts().contains(r.rangeText));
    FUZZ_CHECK(r.password.size() <= kMaxFieldBytes && r.newPassword.size() <= kMaxFieldBytes &&
               r.fullName.size() <= kMaxFieldBytes && r.finishedAt.size() <= kMaxFieldBytes);
    // Only the totals' points may be below zero (an exercise ended at the pause).
    const qint32 lowestPoints = r.op == KeeperOp::SaveTotals ? -kMaxSavedPoints : 0;
    FUZZ_CHECK(r.seconds >= 0 && r.points >= lowestPoints && r.points <= kMaxSavedPoints &&
               r.timePerExample >= 0 && r.errors >= 0 && r.from >= 0 && r.count >= 0 &&
               r.count <= kMaxRecordsPerAnswer);
    FUZZ_CHECK(EncodeRequest(r) == bytes);
}

void CheckAnswer(const QByteArray& bytes)
{
    const std::optional<KeeperAnswer> answer = DecodeAnswer(bytes);
    if (!answer)
        return;
    FUZZ_CHECK(answer->texts.size() <= kMaxTextsPerAnswer);
    FUZZ_CHECK(answer->records.size() <= size_t(kMaxRecordsPerAnswer));
    const QByteArray again = EncodeAnswer(*answer);
    FUZZ_CHECK(again.size() == bytes.size());
    const std::optional<KeeperAnswer> twice = DecodeAnswer(again);
    FUZZ_CHECK(twice && twice->status == answer->status && twice->text == answer->text &&
               twice->texts == answer->texts && twice->a == answer->a && twice->b == answer->b &&
               twice->more == answer->more && twice->records.size() == answer->records.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    CheckRequest(bytes);
    CheckAnswer(bytes);
    return 0;
}
