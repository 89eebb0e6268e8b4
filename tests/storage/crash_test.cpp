// Crash safety: a copy of the program is killed (SIGKILL) at random moments
// while it appends results, saves profiles and writes the store, or while it
// converts legacy tables. After every kill each save that had completed must
// be there unchanged, the one under way either whole or absent, and every
// file must read without error.

#include "storage_fixture.h"

#include "platform/config_store.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <iostream>
#include <map>
#include <random>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

constexpr int kKills = 300;
constexpr int kSlots = 4;              // pupils and store values the steps take turns on
constexpr int kRestartTableEvery = 25; // keeps the tables, and each copy of them, short
const QString kStoreKey = QStringLiteral("Software\\Brenk\\Dorvo");

// A source of kill moments; the seed is printed so a failure can be replayed.
class KillClock {
  public:
    KillClock() : seed_(std::random_device{}()), random_(seed_)
    {
        std::cout << "kill moments seeded with " << seed_ << "\n";
    }
    // Waits a random time up to `limit`, then kills the child; true when the
    // kill ended it (rather than its own end before).
    bool killAfterUpTo(pid_t pid, std::chrono::microseconds limit, int& status)
    {
        std::uniform_int_distribution<long> pick(0, long(limit.count()));
        std::this_thread::sleep_for(std::chrono::microseconds(pick(random_)));
        ::kill(pid, SIGKILL);
        status = WaitChild(pid);
        return status == 128 + SIGKILL;
    }

  private:
    unsigned seed_;
    std::mt19937 random_;
};

// --- appends, profile saves and store writes, one kind of step after the other

enum class StepKind { Append, Profile, Store };

StepKind KindOf(int step) { return StepKind(step % 3); }
int SlotOf(int step) { return (step / 3) % kSlots; }
QString PupilOf(int slot) { return QStringLiteral("p%1").arg(slot); }
QString ValueOf(int slot) { return QStringLiteral("V%1").arg(slot); }

QByteArray RecordOf(int step)
{
    return EncodeResultRecord({QStringLiteral("r%1").arg(step),
                               QStringLiteral("Ученик №%1").arg(step), step * 3, step,
                               QStringLiteral("06-12-2026 09:05:07"), step % 7});
}

// One step of the child; each profile save adds 2 seconds and 1 point.
bool DoStep(int step)
{
    const int slot = SlotOf(step);
    switch (KindOf(step)) {
    case StepKind::Append:
        AppendResultRecord(DecodeResultRecord(RecordOf(step)));
        return true;
    case StepKind::Profile:
        ClearCurrentUser();
        if (!ReadProfile(PupilOf(slot), currentUser().profile))
            return false;
        currentUser().nick = PupilOf(slot);
        AddToCurrentTotals(2, 1);
        return SaveCurrentTotals() == SaveOutcome::Saved;
    case StepKind::Store: {
        auto key = StoreKey::openFull(kStoreKey, true);
        if (!key)
            return false;
        key->writeNumber(ValueOf(slot), step);
        return true;
    }
    }
    return false;
}

std::vector<QByteArray> SplitRecords(const QByteArray& table)
{
    std::vector<QByteArray> records;
    for (int at = 0; at + kResultRecordSize <= table.size(); at += kResultRecordSize)
        records.push_back(table.mid(at, kResultRecordSize));
    return records;
}

// What the parent knows to be stored.
struct Known {
    std::vector<QByteArray> table;
    qint32 points[kSlots] = {};
    std::optional<qint32> values[kSlots];
};

class CrashTest : public StorageTest {
  protected:
    // Checks the folder against `known` plus the completed steps, with the
    // step under way `inFlight` either done or not, and takes in what is there.
    void checkAfterKill(Known& known, const std::vector<int>& done, int inFlight, int& inFlightDone)
    {
        for (int step : done) {
            if (KindOf(step) == StepKind::Append)
                known.table.push_back(RecordOf(step));
            else if (KindOf(step) == StepKind::Profile)
                ++known.points[SlotOf(step)];
            else
                known.values[SlotOf(step)] = step;
        }
        const int slot = SlotOf(inFlight);
        bool applied = false;

        // An append killed in the middle of its write may leave the first bytes
        // of its record after the whole ones; they stay until the next append
        // cuts them away. Anything else ends with a whole record.
        const QByteArray table = readFile(RecordsTableFileName());
        const QByteArray tail = table.right(int(table.size() % kResultRecordSize));
        if (!tail.isEmpty()) {
            const bool appendDone = std::any_of(done.begin(), done.end(), [](int step) {
                return KindOf(step) == StepKind::Append;
            });
            const bool tornNow = KindOf(inFlight) == StepKind::Append &&
                                 tail == RecordOf(inFlight).left(int(tail.size()));
            ASSERT_TRUE(tornNow || (!appendDone && tail == tornTail))
                << tail.size() << " bytes after the last whole record";
            tornTails += tornNow ? 1 : 0;
        }
        tornTail = tail;
        if (QFile::exists(RecordsTableFileName())) {
            EXPECT_NO_THROW(ReadResultRecords(RecordsTableFileName()));
        }
        std::vector<QByteArray> records = SplitRecords(table);
        if (KindOf(inFlight) == StepKind::Append && records.size() == known.table.size() + 1 &&
            records.back() == RecordOf(inFlight)) {
            records.pop_back();
            applied = true;
            known.table.push_back(RecordOf(inFlight));
        }
        ASSERT_EQ(records.size() + (applied ? 1 : 0), known.table.size());
        for (size_t i = 0; i < records.size(); ++i)
            ASSERT_EQ(records[i], known.table[i]) << "record " << i;

        for (int s = 0; s < kSlots; ++s) {
            UserProfile profile;
            bool read = false;
            ASSERT_NO_THROW(read = ReadProfile(PupilOf(s), profile));
            ASSERT_TRUE(read);
            EXPECT_EQ(readFile(ProfilePath(PupilOf(s))).size(), kUserProfileSize);
            EXPECT_EQ(profile.digestText, PasswordDigestText(QStringLiteral("pw")));
            EXPECT_EQ(profile.fullName, QStringLiteral("Пётр ") + PupilOf(s));
            EXPECT_EQ(profile.totalTime, 2 * profile.totalPoints);
            if (KindOf(inFlight) == StepKind::Profile && s == slot &&
                profile.totalPoints == known.points[s] + 1) {
                applied = true;
                known.points[s] = profile.totalPoints;
            }
            ASSERT_EQ(profile.totalPoints, known.points[s]) << PupilOf(s).toStdString();
        }

        const StoreKey key = StoreKey::openRead(kStoreKey);
        for (int s = 0; s < kSlots; ++s) {
            std::optional<qint32> value;
            ASSERT_NO_THROW(value = key.readNumber(ValueOf(s)));
            if (KindOf(inFlight) == StepKind::Store && s == slot && value == inFlight &&
                known.values[s] != inFlight) {
                applied = true;
                known.values[s] = inFlight;
            }
            ASSERT_EQ(value, known.values[s]) << ValueOf(s).toStdString();
        }
        inFlightDone += applied ? 1 : 0;
    }

    int tornTails = 0;   // kills that left part of a record at the table's end
    QByteArray tornTail; // what the last kill left there, until an append cuts it
};

TEST_F(CrashTest, KilledWhileSavingLosesNothingThatWasSaved)
{
    for (int s = 0; s < kSlots; ++s)
        AddPupil(PupilOf(s));
    Known known;
    KillClock clock;
    LinePipe reports;
    int nextStep = 0;
    int stepsDone = 0;
    int inFlightDone = 0;
    int leftTemporaries = 0;
    std::map<StepKind, int> killedIn;
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        if (kill % kRestartTableEvery == 0) {
            QFile::remove(RecordsTableFileName());
            known.table.clear();
            tornTail.clear();
        }
        const int first = nextStep;
        const pid_t child = StartChild([&reports, first] {
            for (int step = first;; ++step) {
                if (!DoStep(step))
                    return false;
                reports.send(QByteArray::number(step));
            }
        });
        int status = 0;
        ASSERT_TRUE(clock.killAfterUpTo(child, std::chrono::milliseconds(4), status))
            << "the child ended by itself with status " << status;

        std::vector<int> done;
        for (const QByteArray& line : reports.receive())
            done.push_back(line.toInt());
        for (size_t i = 0; i < done.size(); ++i)
            ASSERT_EQ(done[i], first + int(i));
        const int inFlight = first + int(done.size());
        ++killedIn[KindOf(inFlight)];
        stepsDone += int(done.size());
        checkAfterKill(known, done, inFlight, inFlightDone);
        if (HasFatalFailure())
            return;
        leftTemporaries += RemoveTemporaryFiles(); // as a later start does, an hour on
        nextStep = inFlight + 1;
    }
    if (HasFailure())
        return;
    std::cout << kKills << " kills, " << stepsDone
              << " completed saves checked; kills during an append " << killedIn[StepKind::Append]
              << ", a profile save " << killedIn[StepKind::Profile] << ", a store write "
              << killedIn[StepKind::Store] << "; the save under way had reached the disk "
              << inFlightDone << " times; torn records left at the table's end " << tornTails
              << "; temporary files left by the killed copies: " << leftTemporaries
              << "; lost or corrupted: 0\n";
}

// A copy that dies in the middle of writing its record (here the file size
// limit ends it, as SIGKILL may between two pages of the record) leaves the
// first bytes of that record after the whole ones. Readers skip them, and
// the next append cuts them away before it writes, so the table is whole
// records again and none of the completed ones is lost.
TEST_F(StorageTest, AnAppendThatDiesMidRecordIsCutAwayByTheNext)
{
    const QByteArray whole = RecordOf(1) + RecordOf(2);
    {
        QFile table(RecordsTableFileName());
        ASSERT_TRUE(table.open(QIODevice::WriteOnly));
        ASSERT_EQ(table.write(whole), whole.size());
    }
    constexpr int kTorn = 300;
    const pid_t child = StartChild([] {
        std::signal(SIGXFSZ, SIG_DFL); // a write beyond the limit ends the copy
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = rlim_t(2 * kResultRecordSize + kTorn);
        setrlimit(RLIMIT_FSIZE, &limit);
        AppendResultRecord(DecodeResultRecord(RecordOf(3)));
        return true;
    });
    ASSERT_EQ(WaitChild(child), 128 + SIGXFSZ);
    ASSERT_EQ(readFile(RecordsTableFileName()), whole + RecordOf(3).left(kTorn));
    EXPECT_EQ(ReadResultRecords(RecordsTableFileName()).size(), 2u);

    AppendResultRecord(DecodeResultRecord(RecordOf(4)));
    EXPECT_EQ(readFile(RecordsTableFileName()), whole + RecordOf(4));
}

// --- the legacy conversion

const QStringList kRanges = {QStringLiteral("9"), QStringLiteral("20"), QStringLiteral("99")};
constexpr int kLegacyRows = 300;
constexpr int kFinishConversionEvery = 3; // then the folder starts afresh, so checks stay short

QByteArray LegacyRows(int batch, const QString& range)
{
    QByteArray bytes;
    for (int i = 0; i < kLegacyRows; ++i)
        bytes += EncodeResultRecord({QStringLiteral("L%1-%2-%3").arg(batch).arg(range).arg(i),
                                     QStringLiteral("Старый №%1").arg(i), i * 5, i,
                                     QStringLiteral("01-01-2020 10:00:00"), 0})
                     .left(kLegacyResultRecordSize);
    return bytes;
}

class ConversionCrashTest : public StorageTest {
  protected:
    QString legacyPath(const QString& range) const { return folder() + range + "record.conf"; }
    QString tablePath(const QString& range) const { return folder() + range + "record.config"; }

    // Gives every range whose legacy table was converted a new one.
    void addLegacyTables(int batch)
    {
        for (const QString& range : kRanges) {
            if (QFile::exists(legacyPath(range)))
                continue;
            legacy_[range] = LegacyRows(batch, range);
            writeFile(legacyPath(range), legacy_[range]);
            legacyRows_[range].clear();
            for (int at = 0; at < legacy_[range].size(); at += kLegacyResultRecordSize) {
                const QByteArray row = legacy_[range].mid(at, kLegacyResultRecordSize);
                mustHave_[range].push_back(row);
                legacyRows_[range].insert(row);
            }
        }
    }

    // Every row ever given is in the table or in its still-whole legacy file;
    // the table holds whole records, only those rows, each as converted.
    // Returns the rows the table holds more than once.
    int check()
    {
        int duplicated = 0;
        for (const QString& range : kRanges) {
            SCOPED_TRACE(range.toStdString());
            const bool legacyLeft = QFile::exists(legacyPath(range));
            if (legacyLeft) {
                EXPECT_EQ(readFile(legacyPath(range)), legacy_[range]);
            }
            const QByteArray table = readFile(tablePath(range));
            EXPECT_EQ(table.size() % kResultRecordSize, 0);
            if (QFile::exists(tablePath(range))) {
                EXPECT_NO_THROW(ReadResultRecords(tablePath(range)));
            }
            QHash<QByteArray, int> count;
            for (const QByteArray& record : SplitRecords(table)) {
                EXPECT_EQ(record.mid(kLegacyResultRecordSize), QByteArray(4, '\0'));
                ++count[record.left(kLegacyResultRecordSize)];
            }
            QHash<QByteArray, bool> given;
            for (const QByteArray& row : mustHave_[range]) {
                given[row] = true;
                const bool inLegacy = legacyLeft && legacyRows_[range].contains(row);
                EXPECT_TRUE(count.value(row) > 0 || inLegacy) << "a lost row";
                duplicated += std::max(0, count.value(row) - 1);
            }
            for (auto it = count.cbegin(); it != count.cend(); ++it)
                EXPECT_TRUE(given.contains(it.key())) << "a row nobody gave";
        }
        return duplicated;
    }

    void restart()
    {
        for (const QString& range : kRanges) {
            QFile::remove(tablePath(range));
            QFile::remove(legacyPath(range));
            mustHave_[range].clear();
        }
    }

    QHash<QString, QByteArray> legacy_;
    QHash<QString, QSet<QByteArray>> legacyRows_;
    QHash<QString, std::vector<QByteArray>> mustHave_;
};

TEST_F(ConversionCrashTest, KilledMidwayLosesNoRow)
{
    // How long converting the tables takes here (the quickest of a few runs):
    // kills land within that time after the child has started.
    auto whole = std::chrono::microseconds::max();
    for (int run = 0; run < 5; ++run) {
        addLegacyTables(0);
        const auto start = std::chrono::steady_clock::now();
        ConvertLegacyTables();
        whole = std::min(whole, std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now() - start));
        EXPECT_EQ(check(), 0);
        restart();
    }

    KillClock clock;
    LinePipe started;
    int kills = 0;
    int finished = 0;
    int duplicated = 0;
    int killsLeavingDuplicates = 0;
    int leftTemporaries = 0;
    for (int batch = 1; kills < kKills; ++batch) {
        SCOPED_TRACE("batch " + std::to_string(batch));
        ASSERT_LT(batch, 20 * kKills) << "the conversion always ended before the kill";
        addLegacyTables(batch);
        const pid_t child = StartChild([&started] {
            started.send("started");
            ConvertLegacyTables();
            return true;
        });
        ASSERT_EQ(started.receiveOne(), "started");
        int status = 0;
        if (clock.killAfterUpTo(child, whole, status))
            ++kills;
        else {
            ASSERT_EQ(status, 0);
            ++finished;
        }
        const int nowDuplicated = check();
        leftTemporaries += RemoveTemporaryFiles();
        if (nowDuplicated > duplicated)
            ++killsLeavingDuplicates;
        duplicated = nowDuplicated;
        if (HasFailure())
            return;
        if (batch % kFinishConversionEvery == 0) {
            ConvertLegacyTables(); // a later start finishes what a killed one left
            for (const QString& range : kRanges)
                EXPECT_FALSE(QFile::exists(legacyPath(range)));
            check();
            restart();
            duplicated = 0;
        }
    }
    ConvertLegacyTables();
    check();
    if (HasFailure())
        return;
    std::cout << kills << " kills during a conversion of " << kRanges.size() << " tables of "
              << kLegacyRows << " rows (converting them takes " << whole.count() << " us), "
              << finished
              << " conversions ended before their kill; kills between a table's rename and the "
                 "removal of its"
              << " legacy file (rows then converted twice): " << killsLeavingDuplicates
              << "; temporary files left: " << leftTemporaries << "; lost or corrupted: 0\n";
}

} // namespace
