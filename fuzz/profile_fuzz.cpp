// Profile files: any 468 bytes decode, and a profile file of any size reads
// as one record or fails with "Read beyond end of file".

#include "fuzz_support.h"

#include "accounts/user_profile.h"
#include "config/app_config.h"
#include "exercise/program_state.h"
#include "platform/errors.h"

namespace {

// Writing a decoded profile back and decoding that again changes nothing more:
// the second writing gives the same bytes as the first.
void CheckWrittenBack(const UserProfile& profile)
{
    const QByteArray once = EncodeUserProfile(profile);
    FUZZ_CHECK(once.size() == kUserProfileSize);
    const UserProfile again = DecodeUserProfile(once);
    FUZZ_CHECK(again.totalTime == profile.totalTime);
    FUZZ_CHECK(again.totalPoints == profile.totalPoints);
    FUZZ_CHECK(EncodeUserProfile(again) == once);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size >= size_t(kUserProfileSize)) {
        const UserProfile profile = DecodeUserProfile(FuzzBytes(data, kUserProfileSize));
        FUZZ_CHECK(profile.digestText.size() <= 200);
        FUZZ_CHECK(profile.fullName.size() <= 255);
        CheckWrittenBack(profile);
    }

    const QByteArray bytes = FuzzBytes(data, size);
    static ProgramState state;
    appConfig().PathUser = FuzzFolder();
    WriteFuzzFile(ProfilePath(QStringLiteral("fuzz")), bytes);
    UserProfile read;
    try {
        FUZZ_CHECK(ReadProfile(QStringLiteral("fuzz"), read));
        FUZZ_CHECK(bytes.size() >= kUserProfileSize);
        FUZZ_CHECK(read.storedBytes == bytes.left(kUserProfileSize));
    } catch (const IoError& e) {
        FUZZ_CHECK(bytes.size() < kUserProfileSize && e.code() == kIoReadBeyondEnd);
    }
    return 0;
}
