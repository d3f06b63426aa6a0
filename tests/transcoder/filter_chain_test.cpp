#include "sound/filter_chain.h"

#include <gtest/gtest.h>

namespace cantova {
namespace {

using Words = std::vector<std::string>;

constexpr const char* kFloat = "aformat=sample_fmts=flt";

// The filters between the two that hold the samples in float.
Words filtersOf(const JobRequest& job, const FilterContext& context) {
    Words notes;
    Words filters = processingFilters(job, context, notes);
    EXPECT_EQ(filters.front(), kFloat);
    filters.erase(filters.begin());
    if (!filters.empty()) {
        EXPECT_EQ(filters.back(), kFloat);
        filters.pop_back();
    }
    return filters;
}

TEST(FilterChain, SplitsOnTheSourceTimelineBeforeTheDelay) {
    JobRequest job;
    job.split = SplitOptions{10.0, 12.5};
    FilterContext context;
    context.delayMs = 60.0;
    EXPECT_EQ(filtersOf(job, context),
              (Words{"atrim=start=10:end=12.5", "asetpts=PTS-STARTPTS", "adelay=delays=60:all=1"}));
    context.delayMs = -24.0;
    job.split = SplitOptions{std::nullopt, 2.0};
    EXPECT_EQ(filtersOf(job, context), (Words{"atrim=start=0:end=2", "asetpts=PTS-STARTPTS",
                                              "atrim=start=0.024", "asetpts=PTS-STARTPTS"}));
}

TEST(FilterChain, MixesOnlyWhereTheOutputsChannelsDifferFromTheSources) {
    JobRequest job;
    job.azid = AzidOptions{};
    job.azid->stereoMode = StereoMode::DolbySurround;
    FilterContext context;
    context.channels = OutputChannels::Stereo;
    context.sourceChannels = {"FL", "FR"};
    EXPECT_EQ(filtersOf(job, context), Words{});
    context.sourceChannels = {"FC"};
    EXPECT_EQ(filtersOf(job, context), Words{"pan=stereo|c0=1*c0|c1=1*c0"});

    context.channels = OutputChannels::FiveOne;
    context.sourceChannels = {"FL", "FR", "FC", "LFE", "SL", "SR"};
    Words notes;
    EXPECT_EQ(processingFilters(job, context, notes), Words{kFloat});
    EXPECT_EQ(notes, Words{"azid: -s ignored, the output keeps six channels"});
    context.sourceChannels = {"FL", "FR", "FC", "LFE", "BL", "BR"};
    EXPECT_EQ(filtersOf(job, context),
              Words{"pan=5.1(side)|c0=1*c0|c1=1*c1|c2=1*c2|c3=1*c3|c4=1*c4|c5=1*c5"});

    context.channels = OutputChannels::AsSource;
    job.azid->lfeMixFactor = 0.5;
    notes.clear();
    EXPECT_EQ(processingFilters(job, context, notes), Words{kFloat});
    EXPECT_EQ(notes, Words{"azid: -L ignored, the output keeps the source's channels"});
}

TEST(FilterChain, LowPassesTheLfeBeforeAStereoMixAndLeavesItAloneInFiveOne) {
    JobRequest job;
    job.azid = AzidOptions{};
    job.azid->lfeMixFactor = 0.5;
    FilterContext context;
    context.channels = OutputChannels::Stereo;
    context.sourceChannels = {"FL", "FR", "FC", "LFE", "SL", "SR"};
    const Words stereo = filtersOf(job, context);
    ASSERT_EQ(stereo.size(), 2u);
    EXPECT_TRUE(stereo[0].starts_with("lowpass=f=120:")) << stereo[0];
    EXPECT_TRUE(stereo[1].starts_with("pan=stereo|")) << stereo[1];

    context.channels = OutputChannels::FiveOne;
    Words notes;
    EXPECT_EQ(processingFilters(job, context, notes), Words{kFloat});
    EXPECT_EQ(notes, Words{"azid: -L ignored, the output keeps the LFE as a channel of its own"});
    EXPECT_EQ(sourceFilters(job, context), Words{kFloat});
}

TEST(FilterChain, BoostsWithTheChosenAlgorithm) {
    JobRequest job;
    FilterContext context;
    job.boost = BoostOptions{BoostAlgorithm::Rook, 3.0, 0.95};
    EXPECT_EQ(
        filtersOf(job, context),
        (Words{"volume=3", "alimiter=limit=0.95:attack=5:release=50:level=disabled:latency=1"}));
    job.boost = BoostOptions{BoostAlgorithm::Kestrel, 2.0, 1.0};
    EXPECT_EQ(filtersOf(job, context), (Words{"volume=2", "asoftclip=type=tanh"}));
    job.boost = BoostOptions{BoostAlgorithm::Wren, 2.0, 0.9};
    EXPECT_EQ(filtersOf(job, context),
              (Words{"acompressor=threshold=0.125:ratio=4:attack=10:release=200:makeup=2",
                     "alimiter=limit=0.9:attack=5:release=50:level=disabled:latency=1"}));
}

TEST(FilterChain, OrdersGainBoostAndResamplingLast) {
    JobRequest job;
    job.azid = AzidOptions{};
    job.azid->gainFactor = 1.5;
    job.boost = BoostOptions{BoostAlgorithm::Kestrel, 2.0, 1.0};
    FilterContext context;
    context.resampleRate = 44100;
    context.dialogueGainDb = -4.0;
    context.soxrAvailable = true;
    context.channels = OutputChannels::Stereo;
    context.sourceChannels = {"FC"};
    EXPECT_EQ(filtersOf(job, context),
              (Words{"volume=-4dB", "pan=stereo|c0=1*c0|c1=1*c0", "volume=1.5", "volume=2",
                     "asoftclip=type=tanh", "aresample=44100:resampler=soxr"}));
    EXPECT_EQ(joinFilters({}), "anull");
    EXPECT_EQ(joinFilters({"a", "b"}), "a,b");
}

} // namespace
} // namespace cantova
