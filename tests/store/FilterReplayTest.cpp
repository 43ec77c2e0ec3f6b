// The saved fuzz seeds and filters at the very bounds of the parser go through the driver the
// libFuzzer target uses: whatever the parser accepts, the SQL engine must take, and quickly.
#include "fuzz/FilterFuzzDriver.h"

#include "store/FilterParser.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

namespace wl::store::test {
namespace {

QString run(const QByteArray& input)
{
    return runFilter(reinterpret_cast<const std::uint8_t*>(input.constData()),
                     std::size_t(input.size()));
}

TEST(FilterReplayTest, SavedInputsAreHandledSoundly)
{
    const QDir corpus(QStringLiteral(WAVELARK_FILTER_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        QFile f(corpus.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(run(f.readAll()), QString()) << name.toStdString();
    }
}

TEST(FilterReplayTest, FiltersAtTheBoundsAreTakenByTheSqlEngine)
{
    const int depth = FilterParser::MaxDepth;
    const int comparisons = FilterParser::MaxComparisons;
    auto chain = [](int n, const char* word) {
        QByteArray s = "Hz = 0";
        for (int i = 1; i < n; ++i)
            s += QByteArray(" ") + word + " Hz = " + QByteArray::number(i);
        return s;
    };
    // Groups of alternating kinds, each inside the last: every one a level.
    auto alternating = [](int levels) {
        QByteArray s = "Hz = 0";
        for (int i = 1; i < levels; ++i)
            s = "Hz = " + QByteArray::number(i) + (i % 2 ? " and (" : " or (") + s + ")";
        return s;
    };
    const QByteArray inputs[] = {
        QByteArray(depth, '(') + "Hz = 1" + QByteArray(depth, ')'),
        QByteArray("not ").repeated(depth - 1) + "Hz = 1",
        QByteArray("not (Hz = 1 and ").repeated(depth / 2 - 1) + "Hz = 2" +
            QByteArray(")").repeated(depth / 2 - 1),
        alternating(depth),
        chain(comparisons, "or"),
        chain(comparisons, "and"),
    };
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray& input : inputs) {
        QString error;
        EXPECT_NE(FilterParser::parse(QString::fromLatin1(input), error), nullptr)
            << error.toStdString();
        EXPECT_EQ(run(input).toStdString(), std::string()) << input.left(30).toStdString();
    }
    // As wide as allowed: a balanced tree of the most comparisons, its levels alternating.
    QList<QByteArray> terms;
    for (int i = 0; i < comparisons; ++i)
        terms << "Category = '" + QByteArray::number(i) + "'";
    for (int level = 0; terms.size() > 1; ++level) {
        QList<QByteArray> joined;
        for (qsizetype i = 0; i + 1 < terms.size(); i += 2)
            joined << "(" + terms[i] + (level % 2 ? " and " : " or ") + terms[i + 1] + ")";
        if (terms.size() % 2)
            joined << terms.last();
        terms = joined;
    }
    EXPECT_EQ(run(terms.first()).toStdString(), std::string());
    EXPECT_LT(timer.elapsed(), 20000);
    // One more of either is refused, with a reason.
    for (const QByteArray& input :
         {alternating(depth + 1), chain(comparisons + 1, "or"),
          QByteArray(depth + 1, '(') + "Hz = 1" + QByteArray(depth + 1, ')')}) {
        QString error;
        EXPECT_EQ(FilterParser::parse(QString::fromLatin1(input), error), nullptr);
        EXPECT_FALSE(error.isEmpty());
    }
}

} // namespace
} // namespace wl::store::test
