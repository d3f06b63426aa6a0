#include "tracklens/tracklens.h"

#include "ac3_stream_builder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

// The record as a caller presets it, to see whether the library touched it.
constexpr AC3_INFO kUntouched{-7, -7, -7};

struct Probe {
    int result;
    AC3_INFO info;
};

Probe ProbeBytes(const TempFolder& folder, const std::string& bytes) {
    std::string path = folder.File("stream.ac3");
    WriteText(path, bytes);
    Probe probe{0, kUntouched};
    probe.result = GetAc3Info(path.data(), &probe.info);
    return probe;
}

void ExpectInfo(const Probe& probe, int bitrate, int channels, int sampleRate) {
    EXPECT_EQ(probe.result, 1);
    EXPECT_EQ(probe.info.Bitrate, bitrate);
    EXPECT_EQ(probe.info.Channels, channels);
    EXPECT_EQ(probe.info.SampleRate, sampleRate);
}

void ExpectUntouched(const Probe& probe) {
    EXPECT_EQ(probe.result, 0);
    EXPECT_EQ(probe.info.Bitrate, kUntouched.Bitrate);
    EXPECT_EQ(probe.info.Channels, kUntouched.Channels);
    EXPECT_EQ(probe.info.SampleRate, kUntouched.SampleRate);
}

TEST(Ac3Header, ByteAlignedFrameGivesRateChannelsAndSampleRate) {
    TempFolder folder;
    for (unsigned lfeon : {0u, 1u}) {
        ExpectInfo(ProbeBytes(folder, Ac3FileWithHeaderAt(0, {0, 28, 7, lfeon})), 384, 5, 48000);
    }
}

TEST(Ac3Header, EveryFrameSizeCodeGivesItsTableRateAndCodesPastTheTableGiveZero) {
    constexpr std::array<int, 19> rates = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                                           192, 224, 256, 320, 384, 448, 512, 576, 640};
    TempFolder folder;
    for (unsigned code = 0; code < 64; ++code) {
        SCOPED_TRACE(code);
        const int expected = code < 38 ? rates[code / 2] : 0;
        ExpectInfo(ProbeBytes(folder, Ac3FileWithHeaderAt(0, {1, code, 2, 0})), expected, 2, 44100);
    }
}

TEST(Ac3Header, SampleRateAndChannelCodes) {
    constexpr std::array<int, 4> sampleRates = {48000, 44100, 32000, 0};
    constexpr std::array<int, 8> channels = {2, 1, 2, 3, 3, 4, 4, 5};
    TempFolder folder;
    for (unsigned fscod = 0; fscod < 4; ++fscod) {
        for (unsigned acmod = 0; acmod < 8; ++acmod) {
            SCOPED_TRACE(testing::Message() << "fscod " << fscod << " acmod " << acmod);
            ExpectInfo(ProbeBytes(folder, Ac3FileWithHeaderAt(0, {fscod, 30, acmod, 1})), 448,
                       channels[acmod], sampleRates[fscod]);
        }
    }
}

TEST(Ac3Sync, FoundAtEveryBitOffset) {
    TempFolder folder;
    for (unsigned offset = 0; offset < 80; ++offset) {
        SCOPED_TRACE(offset);
        ExpectInfo(ProbeBytes(folder, Ac3FileWithHeaderAt(offset, {2, 20, 1, 0})), 192, 1, 32000);
    }
}

TEST(Ac3Sync, FoundFarIntoTheFileAndAcrossReadBlocks) {
    TempFolder folder;
    // The reader's first block ends at byte 65536 and its second one 1 MiB - 2 bytes later: sync
    // words and header fields straddling those ends, and one far on.
    std::vector<unsigned> offsets;
    for (const unsigned blockEnd : {65536u * 8, (65536u + 1048574u) * 8}) {
        for (unsigned offset = blockEnd - 80; offset < blockEnd + 8; ++offset) {
            offsets.push_back(offset);
        }
    }
    offsets.push_back((3u << 23) + 7);
    for (const unsigned offset : offsets) {
        SCOPED_TRACE(offset);
        ExpectInfo(ProbeBytes(folder, Ac3FileWithHeaderAt(offset, {0, 31, 6, 1})), 448, 4, 48000);
    }
}

TEST(Ac3Sync, OnlyTheFirstSyncWordCountsAndAFalseOneIsDecodedLikeARealOne) {
    BitString bits;
    bits.PutOnes(5);
    // The sync pattern inside other data, at bit 5, followed by bits that decode as code 36 (640).
    bits.Put(0x0B77, 16).Put(0, 16).Put(0, 2).Put(36, 6).Put(0, 5).Put(0, 3).Put(3, 3);
    PutAc3Header(bits, {0, 30, 7, 1});
    bits.PadToWords();
    TempFolder folder;
    ExpectInfo(ProbeBytes(folder, bits.Bytes()), 640, 3, 48000);
}

TEST(Ac3Sync, NoSyncWordLeavesTheRecordUntouched) {
    TempFolder folder;
    ExpectUntouched(ProbeBytes(folder, ""));
    ExpectUntouched(ProbeBytes(folder, "\x0B"));
    ExpectUntouched(ProbeBytes(folder, std::string(3 << 20, '\xFF')));
    // Every bit pattern but the sync word's: 0x0B76 and 0x0B78 at all shifts.
    BitString near;
    for (unsigned shift = 0; shift < 8; ++shift) {
        near.PutOnes(shift).Put(0x0B76, 16).PutOnes(1).Put(0x0B78, 16).PutOnes(9);
    }
    ExpectUntouched(ProbeBytes(folder, near.PadToWords().Bytes()));
}

TEST(Ac3Sync, MissingFileReturnsZeroAndLeavesTheRecordUntouched) {
    TempFolder folder;
    std::string path = folder.File("absent.ac3");
    Probe probe{0, kUntouched};
    probe.result = GetAc3Info(path.data(), &probe.info);
    ExpectUntouched(probe);
}

// The file is read in whole 32-bit words: the last 1 to 3 bytes are never looked at, and fields
// past the last whole word read as 0 bits.
TEST(Ac3EndOfFile, TrailingBytesOfAPartWordAreNeverDelivered) {
    TempFolder folder;
    // The sync word in bytes 5 and 6 of a 7-byte file: not found.
    ExpectUntouched(ProbeBytes(folder, std::string("\xFF\xFF\xFF\xFF\xFF\x0B\x77", 7)));
    // Sync and CRC fill the first word; the byte with fscod and frmsizecod is the fifth.
    ExpectInfo(ProbeBytes(folder, std::string("\x0B\x77\x12\x34\x7C", 5)), 32, 2, 48000);
}

// Using up the last whole word ends the stream at once, and past its 32nd bit the search checks
// for that before it compares the window.
TEST(Ac3EndOfFile, SyncWordEndingTheStreamIsFoundOnlyWithinTheFirst32Bits) {
    TempFolder folder;
    ExpectInfo(ProbeBytes(folder, std::string("\xFF\xFF\x0B\x77", 4)), 32, 2, 48000);
    ExpectInfo(ProbeBytes(folder, std::string("\xFF\xFF\xFF\xFF\x0B\x77\x00\x00", 8)), 32, 2,
               48000);
    ExpectUntouched(ProbeBytes(folder, std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x0B\x77", 8)));
    ExpectUntouched(ProbeBytes(folder, std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x0B\x77\x00", 9)));
    // One more word after it: crc1, then fscod 1 and frmsizecod 60.
    ExpectInfo(
        ProbeBytes(folder, std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x0B\x77\x00\x00\x7C\x00", 12)), 0,
        2, 44100);
    // The same at the end of a read block, where the reader has to look for more.
    std::string bytes(65536 + 4, '\xFF');
    bytes[65534] = '\x0B';
    bytes[65535] = '\x77';
    ExpectInfo(ProbeBytes(folder, bytes), 0, 2, 0);
    bytes.resize(65536);
    ExpectUntouched(ProbeBytes(folder, bytes));
}

} // namespace
