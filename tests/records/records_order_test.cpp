// Sort keys and orders of the records window.

#include "records/records_order.h"

#include <gtest/gtest.h>

namespace {

ResultRecord WithTime(qint32 time) { return ResultRecord{"n", "f", time, 1, "d", 0}; }
ResultRecord WithNick(const QString& nick) { return ResultRecord{nick, "f", 1, 1, "d", 0}; }
ResultRecord WithName(const QString& name) { return ResultRecord{"n", name, 1, 1, "d", 0}; }

} // namespace

TEST(RecordsOrder, TimeIsPaddedToFiveCharacters)
{
    const std::pair<qint32, const char*> cases[] = {{5, "00005"},       {475, "00475"},
                                                    {1200, "01200"},    {99999, "99999"},
                                                    {100000, "100000"}, {-5, "000-5"}};
    for (const auto& [time, text] : cases)
        EXPECT_EQ(PaddedTimeText(time), text) << time;
}

TEST(RecordsOrder, KeyIsPrimaryBarPosition)
{
    const ResultRecord record{"anna", "Петрова Анна", 475, 20, "06-12-2026 09:05:07", 1};
    const std::pair<RecordsOrder, QString> cases[] = {{RecordsOrder::ByDate, "|7"},
                                                      {RecordsOrder::ByTime, "00475|7"},
                                                      {RecordsOrder::ByNick, "anna|7"},
                                                      {RecordsOrder::ByFullName, "Петрова Анна|7"}};
    for (const auto& [order, key] : cases)
        EXPECT_EQ(RecordSortKey(order, record, 7), key);
}

TEST(RecordsOrder, SortsByWholeKeyWithTheCollator)
{
    struct Case {
        const char* what;
        RecordsOrder order;
        std::vector<ResultRecord> records;
        std::vector<int> expected;
    };
    std::vector<ResultRecord> equalTimes;
    for (int i = 0; i <= 10; ++i)
        equalTimes.push_back(WithTime(i == 2 || i == 9 || i == 10 ? 500 : 900));
    const Case cases[] = {
        {"equal keys by position as text",
         RecordsOrder::ByTime,
         equalTimes,
         {10, 2, 9, 0, 1, 3, 4, 5, 6, 7, 8}},
        {"padded times",
         RecordsOrder::ByTime,
         {WithTime(1200), WithTime(475), WithTime(99999), WithTime(100000)},
         {1, 0, 3, 2}},
        {"nicks ignore letter case",
         RecordsOrder::ByNick,
         {WithNick("anna"), WithNick("Anna"), WithNick("boris"), WithNick("ANNA")},
         {0, 1, 3, 2}},
        {"whole full name",
         RecordsOrder::ByFullName,
         {WithName("Сидоров Пётр"), WithName("Абрамов Юрий"), WithName("сидоров Антон")},
         {1, 2, 0}},
        {"date is file order",
         RecordsOrder::ByDate,
         {WithTime(900), WithTime(100), WithTime(500)},
         {0, 1, 2}},
        {"no records", RecordsOrder::ByNick, {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SortRecords(c.records, c.order), c.expected) << c.what;
}

TEST(RecordsOrder, CollatorIgnoresCaseAndReadsDigitsAsText)
{
    const QCollator collator = RecordsCollator();
    EXPECT_EQ(collator.compare("anna", "ANNA"), 0);
    EXPECT_EQ(collator.compare("Ёлка", "ёлка"), 0);
    EXPECT_LT(collator.compare("10", "9"), 0);
}
