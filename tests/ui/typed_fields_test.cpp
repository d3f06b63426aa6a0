#include "ui/typed_fields.h"

#include <gtest/gtest.h>

namespace cantova::ui {
namespace {

// Characters that pass a copy and paste unseen but make the transcoder refuse the value.
TEST(TypedValues, CharactersTheTranscoderDoesNotReadAreNamed) {
    EXPECT_EQ(TypedValueProblem("TxtDelay", "-60\v"), "holds a vertical tab");
    EXPECT_EQ(TypedValueProblem("TxtBoostFactor", "2\f"), "holds a form feed");
    EXPECT_EQ(TypedValueProblem("TxtGainAzid", "6\xC2\xA0"), "holds a no-break space");
    EXPECT_EQ(TypedValueProblem("TxtNominalBitrate", "\xEF\xBB\xBF"
                                                     "128"),
              "holds a byte-order mark");
    EXPECT_EQ(TypedValueProblem("TxtLFEToLR", "-3 db"), "holds a blank");
    EXPECT_EQ(TypedValueProblem("CmbQualityOGG", "0.4\x01"),
              "holds a character the transcoder does not read (byte 1)");
    EXPECT_EQ(TypedValueProblem("TxtDelay", "-60"), std::nullopt);
    EXPECT_EQ(TypedValueProblem("TxtLFEToLR", "-3db"), std::nullopt);
}

TEST(TypedValues, NumbersOutsideWhatTheTranscoderRunsAreRefused) {
    for (const char* rate : {"8", "128", "320", "+192"}) {
        EXPECT_EQ(TypedValueProblem("txtBitRateMP3", rate), std::nullopt) << rate;
    }
    for (const char* rate : {"999", "7", "128.0", "", "abc", "-128"}) {
        EXPECT_EQ(TypedValueProblem("txtBitRateMP3", rate), "is not a whole number from 8 to 320")
            << rate;
    }
    EXPECT_TRUE(TypedValueProblem("TxtMaxBitrateMP3", "400"));

    for (const char* target : {"-40", "-5", "-23", "-16.5", "-14,5"}) {
        EXPECT_EQ(TypedValueProblem("TxtLoudnessTarget", target), std::nullopt) << target;
    }
    for (const char* target : {"-41", "-4.9", "23", "", "-23LUFS"}) {
        EXPECT_EQ(TypedValueProblem("TxtLoudnessTarget", target), "is not a number from -40 to -5")
            << target;
    }
    // The transcoder reads plain decimals only; -2.3e1 is -23 written otherwise.
    for (const char* target : {"-2.3e1", "-23e0", "-2.3E+1"}) {
        EXPECT_EQ(TypedValueProblem("TxtLoudnessTarget", target),
                  "is not a plain decimal number (such as -23.5) from -40 to -5")
            << target;
    }
    for (const char* ceiling : {"-9", "0", "-1", "-0.5"}) {
        EXPECT_EQ(TypedValueProblem("TxtTruePeakCeiling", ceiling), std::nullopt) << ceiling;
    }
    for (const char* ceiling : {"-9.1", "0.5", "1"}) {
        EXPECT_EQ(TypedValueProblem("TxtTruePeakCeiling", ceiling), "is not a number from -9 to 0")
            << ceiling;
    }
}

} // namespace
} // namespace cantova::ui
