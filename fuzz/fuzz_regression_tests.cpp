// Runs every fuzz target over its seed corpus (fuzz/corpus/<target>/), so that
// the targets keep compiling and the readers stay crash-free in every build.
// A target that finds a fault aborts, which fails its test.

#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

// The entry of each target, renamed by the build: extern "C" int ZelvoFuzz_<name>(...).
#include "fuzz_targets.inc"

namespace {

struct FuzzTarget {
    const char* name;
    int (*entry)(const uint8_t*, size_t);
};

const FuzzTarget kTargets[] = {ZELVO_FUZZ_TARGETS};

void PrintTo(const FuzzTarget& target, std::ostream* out) { *out << target.name; }

QDir CorpusFolder(const QString& target)
{
    return QDir(QStringLiteral(ZELVO_FUZZ_CORPUS "/") + target);
}

class FuzzCorpusTest : public ::testing::TestWithParam<FuzzTarget> {};

TEST_P(FuzzCorpusTest, EverySeedRuns)
{
    const QFileInfoList seeds =
        CorpusFolder(GetParam().name).entryInfoList(QDir::Files, QDir::Name);
    ASSERT_FALSE(seeds.isEmpty()) << "no seeds for " << GetParam().name;
    for (const QFileInfo& seed : seeds) {
        SCOPED_TRACE(seed.fileName().toStdString());
        QFile file(seed.filePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // An exact-size copy, as the fuzzer hands its inputs over.
        const std::vector<uint8_t> input(bytes.begin(), bytes.end());
        EXPECT_EQ(GetParam().entry(input.data(), input.size()), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, FuzzCorpusTest, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<FuzzTarget>& info) {
                             return std::string(info.param.name);
                         });

TEST(FuzzCorpus, EveryCorpusFolderBelongsToATarget)
{
    QSet<QString> targets;
    for (const FuzzTarget& target : kTargets)
        targets.insert(QString::fromLatin1(target.name));
    const QStringList folders =
        QDir(QStringLiteral(ZELVO_FUZZ_CORPUS)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& folder : folders)
        EXPECT_TRUE(targets.contains(folder)) << folder.toStdString();
}

} // namespace
