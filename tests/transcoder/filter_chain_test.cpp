#include "filter_chain.h"

#include <gtest/gtest.h>

namespace cantova {
namespace {

using Words = std::vector<std::string>;

Words filtersOf(const JobRequest& job, const FilterContext& context) {
    Words notes;
    return processingFilters(job, context, notes);
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

TEST(FilterChain, DownmixesByTheStereoMode) {
    JobRequest job;
    job.azid = AzidOptions{};
    FilterContext context;
    context.channels = OutputChannels::Stereo;
    const std::pair<StereoMode, std::string> cases[] = {
        {StereoMode::Plain, "aresample=ochl=stereo"},
        {StereoMode::DolbySurround, "aresample=ochl=stereo:matrix_encoding=dolby"},
        {StereoMode::ProLogic2, "aresample=ochl=stereo:matrix_encoding=dplii"}};
    for (const auto& [mode, expected] : cases) {
        job.azid->stereoMode = mode;
        EXPECT_EQ(filtersOf(job, context), Words{expected});
    }
    job.azid->lfeMixFactor = 0.5;
    EXPECT_EQ(filtersOf(job, context),
              Words{"aresample=ochl=stereo:matrix_encoding=dplii:lfe_mix_level=0.5"});
}

TEST(FilterChain, MixesTheLfeIntoTheFrontsOfSixChannelOutputs) {
    JobRequest job;
    job.azid = AzidOptions{};
    job.azid->lfeMixFactor = 0.5;
    job.azid->stereoMode = StereoMode::Plain;
    FilterContext context;
    context.channels = OutputChannels::FiveOne;
    Words notes;
    EXPECT_EQ(processingFilters(job, context, notes),
              (Words{"aresample=ochl=5.1(side)",
                     "pan=5.1(side)|FL=FL+0.5*LFE|FR=FR+0.5*LFE|FC=FC|LFE=LFE|SL=SL|SR=SR"}));
    EXPECT_EQ(notes.size(), 1u); // the stereo mode cannot apply
}

TEST(FilterChain, BoostsWithTheChosenAlgorithm) {
    JobRequest job;
    FilterContext context;
    job.boost = BoostOptions{BoostAlgorithm::Rook, 3.0, 0.95};
    EXPECT_EQ(filtersOf(job, context),
              (Words{"volume=3", "alimiter=limit=0.95:attack=5:release=50:level=disabled"}));
    job.boost = BoostOptions{BoostAlgorithm::Kestrel, 2.0, 1.0};
    EXPECT_EQ(filtersOf(job, context), (Words{"volume=2", "asoftclip=type=tanh"}));
    job.boost = BoostOptions{BoostAlgorithm::Wren, 2.0, 0.9};
    EXPECT_EQ(filtersOf(job, context),
              (Words{"acompressor=threshold=0.125:ratio=4:attack=10:release=200:makeup=2",
                     "alimiter=limit=0.9:attack=5:release=50:level=disabled"}));
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
    EXPECT_EQ(filtersOf(job, context),
              (Words{"volume=-4dB", "volume=1.5", "volume=2", "asoftclip=type=tanh",
                     "aresample=44100:resampler=soxr"}));
    EXPECT_EQ(joinFilters({}), "anull");
    EXPECT_EQ(joinFilters({"a", "b"}), "a,b");
}

} // namespace
} // namespace cantova
