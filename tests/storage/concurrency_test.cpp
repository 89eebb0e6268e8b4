// Several copies of the program on one user folder: appends to one table,
// totals of one pupil, and a password reset between two saves.

#include "storage_fixture.h"

#include "accounts/ui/form7_password.h"
#include "admin/ui/form9_service.h"
#include "platform/folder_lock.h"
#include "records/ui/form10_summary.h"
#include "records/ui/form8_statistics.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSet>

#include <unistd.h>
#include <vector>

namespace {

using Pids = std::vector<pid_t>;

void ExpectAllEndWell(const Pids& pids)
{
    for (pid_t pid : pids)
        EXPECT_EQ(WaitChild(pid), 0) << "child " << pid;
}

TEST_F(StorageTest, EightCopiesAppendingToOneTableLoseNoResult)
{
    constexpr int kCopies = 8;
    constexpr int kResults = 200;
    StartGate gate;
    Pids pids;
    for (int copy = 0; copy < kCopies; ++copy) {
        pids.push_back(StartChild([copy, &gate] {
            gate.waitInChild();
            for (int i = 0; i < kResults; ++i) {
                const ResultRecord record{QStringLiteral("copy%1").arg(copy),
                                          QStringLiteral("Ученик №%1").arg(i),
                                          i * 7,
                                          i,
                                          QStringLiteral("06-12-2026 09:05:07"),
                                          copy};
                AppendResultRecord(record);
            }
            return true;
        }));
    }
    gate.open();
    ExpectAllEndWell(pids);

    const QByteArray table = readFile(RecordsTableFileName());
    EXPECT_EQ(table.size(), kCopies * kResults * kResultRecordSize);
    QSet<QString> seen;
    std::vector<int> next(kCopies, 0);
    for (const ResultRecord& record : ReadResultRecords(RecordsTableFileName())) {
        const int copy = record.errors;
        ASSERT_TRUE(copy >= 0 && copy < kCopies);
        // Each copy's results come whole and in the order it appended them.
        EXPECT_EQ(record.nick, QStringLiteral("copy%1").arg(copy));
        EXPECT_EQ(record.points, next[size_t(copy)]);
        EXPECT_EQ(record.fullName, QStringLiteral("Ученик №%1").arg(record.points));
        EXPECT_EQ(record.timePerExample, record.points * 7);
        ++next[size_t(copy)];
        seen.insert(record.nick + QLatin1Char('/') + QString::number(record.points));
    }
    EXPECT_EQ(seen.size(), kCopies * kResults);
}

TEST_F(StorageTest, FourCopiesSavingOnePupilsTotalsAddUpExactly)
{
    constexpr int kCopies = 4;
    constexpr int kSaves = 100;
    AddPupil(QStringLiteral("vasya"), 1000, 50);
    const UserProfile before = Stored(QStringLiteral("vasya"));
    StartGate gate;
    Pids pids;
    for (int copy = 0; copy < kCopies; ++copy) {
        pids.push_back(StartChild([copy, &gate] {
            if (!LogIn(QStringLiteral("vasya")))
                return false;
            gate.waitInChild();
            for (int i = 0; i < kSaves; ++i) {
                AddToCurrentTotals(3, copy + 1); // an exercise of 3 seconds
                if (SaveCurrentTotals() != SaveOutcome::Saved)
                    return false;
            }
            return true;
        }));
    }
    gate.open();
    ExpectAllEndWell(pids);

    const UserProfile after = Stored(QStringLiteral("vasya"));
    EXPECT_EQ(after.totalTime, 1000 + kCopies * kSaves * 3);
    EXPECT_EQ(after.totalPoints, 50 + kSaves * (1 + 2 + 3 + 4));
    EXPECT_EQ(after.digestText, before.digestText);
    EXPECT_EQ(after.fullName, before.fullName);
    EXPECT_TRUE(dialogs_.shown.isEmpty());
}

// The administrator's copy resets the password while a pupil's copy is between
// two saves of its totals; the pupil's copy changes the password while another
// copy saves totals.
TEST_F(StorageTest, ResetsAndPasswordChangesAndTotalsKeepEachOther)
{
    AddPupil(QStringLiteral("u7"), 100, 10);
    LinePipe toParent;
    LinePipe toChild;
    const pid_t pupil = StartChild([&] {
        if (!LogIn(QStringLiteral("u7")))
            return false;
        AddToCurrentTotals(20, 2);
        const bool first = SaveCurrentTotals() == SaveOutcome::Saved;
        toParent.send("saved");
        toChild.receiveOne(); // the reset is done
        AddToCurrentTotals(30, 3);
        return first && SaveCurrentTotals() == SaveOutcome::Saved;
    });
    ASSERT_EQ(toParent.receiveOne(), "saved");
    {
        TForm9 service(state().classFolder, state().range, state().adminRecord.record);
        service.FillUserList();
        service.ComboBox1->setEditText(QStringLiteral("u7"));
        service.Button2Click();
    }
    EXPECT_EQ(dialogs_.messages, QStringList{QStringLiteral("Пароль обнулен")});
    toChild.send("go");
    EXPECT_EQ(WaitChild(pupil), 0);
    UserProfile stored = Stored(QStringLiteral("u7"));
    EXPECT_EQ(stored.digestText, QString());
    EXPECT_EQ(stored.totalTime, 150);
    EXPECT_EQ(stored.totalPoints, 15);

    // This copy logs in with the emptied password; another copy saves totals
    // before this one changes the password.
    ASSERT_TRUE(LogIn(QStringLiteral("u7"), QString()));
    const pid_t other = StartChild([] {
        if (!LogIn(QStringLiteral("u7"), QString()))
            return false;
        AddToCurrentTotals(40, 4);
        return SaveCurrentTotals() == SaveOutcome::Saved;
    });
    ASSERT_EQ(WaitChild(other), 0);
    TForm7 change(accountParts());
    change.Edit1->clear();
    change.Edit2->setText(QStringLiteral("new"));
    change.Edit3->setText(QStringLiteral("new"));
    change.Button1Click();
    EXPECT_EQ(dialogs_.messages.last(), QStringLiteral("Пароль изменен"));
    stored = Stored(QStringLiteral("u7"));
    EXPECT_EQ(stored.digestText, PasswordDigestText(QStringLiteral("new")));
    EXPECT_EQ(stored.totalTime, 190);
    EXPECT_EQ(stored.totalPoints, 19);
}

// The administrator's reset of the table waits for an append under way in
// another copy, which would otherwise bring the deleted table back.
TEST_F(StorageTest, TableResetWaitsForAnAppendUnderWay)
{
    AppendResultRecord({QStringLiteral("old"), QStringLiteral("Старый"), 1, 1, QString(), 0});
    LinePipe locked;
    const QString folder = StorageTest::folder();
    const pid_t appending = StartChild([&locked, folder] {
        const FolderLock lock(folder, FolderLock::Mode::Exclusive);
        locked.send("locked");
        ::usleep(100 * 1000); // the reset, were it not waiting, would come now
        AppendResultRecord({QStringLiteral("new"), QStringLiteral("Новый"), 1, 1, QString(), 0});
        return true;
    });
    ASSERT_EQ(locked.receiveOne(), "locked");
    TForm9 service(state().classFolder, state().range, state().adminRecord.record);
    service.Button6Click();
    EXPECT_EQ(WaitChild(appending), 0);
    EXPECT_FALSE(QFile::exists(RecordsTableFileName()));
    EXPECT_EQ(dialogs_.messages, QStringList{QStringLiteral("Таблица рекордов сброшена")});
}

} // namespace
