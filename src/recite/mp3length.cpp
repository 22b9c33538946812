#include "mp3length.h"

#include "core/safefile.h"

#include <array>
#include <cstdint>

namespace velmora {
namespace {

// A recording of a verse is a few megabytes at most; a file beyond this is no recording.
constexpr std::size_t kLargestRecording = 64U << 20;

struct Frame
{
    std::size_t length = 0; // bytes, the header included
    int samples = 0;        // per frame
    int sampleRate = 0;
    std::size_t sideInfo = 0; // bytes after the header before the frame's data (where Xing stands)
};

std::uint32_t bigEndian(std::string_view bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The layer III frame whose header stands at the offset; nullopt for anything else.
std::optional<Frame> frameAt(std::string_view bytes, std::size_t at)
{
    if (at + 4 > bytes.size())
        return std::nullopt;
    const std::uint32_t header = bigEndian(bytes, at);
    const unsigned version = header >> 19 & 3; // 0: MPEG 2.5, 2: MPEG 2, 3: MPEG 1
    const unsigned layer = header >> 17 & 3;   // 1: layer III
    const unsigned rateIndex = header >> 12 & 15;
    const unsigned sampleIndex = header >> 10 & 3;
    if ((header & 0xFFE00000U) != 0xFFE00000U || version == 1 || layer != 1 || rateIndex == 0 ||
        rateIndex == 15 || sampleIndex == 3)
        return std::nullopt;
    static constexpr std::array<int, 15> kMpeg1Rates = {0,   32,  40,  48,  56,  64,  80, 96,
                                                        112, 128, 160, 192, 224, 256, 320};
    static constexpr std::array<int, 15> kMpeg2Rates = {0,  8,  16, 24,  32,  40,  48, 56,
                                                        64, 80, 96, 112, 128, 144, 160};
    static constexpr std::array<int, 3> kMpeg1Samples = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    Frame frame;
    frame.sampleRate = kMpeg1Samples[sampleIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    frame.samples = mpeg1 ? 1152 : 576;
    const int kbps = (mpeg1 ? kMpeg1Rates : kMpeg2Rates)[rateIndex];
    const std::size_t padding = header >> 9 & 1;
    frame.length = static_cast<std::size_t>(frame.samples / 8 * kbps * 1000 / frame.sampleRate) + padding;
    const bool mono = (header >> 6 & 3) == 3;
    frame.sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    return frame;
}

// The frame count a Xing, Info or VBRI header in the first frame gives; nullopt without one.
std::optional<std::uint32_t> headerFrames(std::string_view bytes, std::size_t at, const Frame &frame)
{
    const std::size_t xing = at + 4 + frame.sideInfo;
    if (xing + 12 <= bytes.size()) {
        const std::string_view tag = bytes.substr(xing, 4);
        if ((tag == "Xing" || tag == "Info") && (bigEndian(bytes, xing + 4) & 1) != 0)
            return bigEndian(bytes, xing + 8);
    }
    const std::size_t vbri = at + 4 + 32;
    if (vbri + 18 <= bytes.size() && bytes.substr(vbri, 4) == "VBRI")
        return bigEndian(bytes, vbri + 14);
    return std::nullopt;
}

std::size_t afterId3Tag(std::string_view bytes)
{
    if (bytes.size() < 10 || bytes.substr(0, 3) != "ID3")
        return 0;
    std::size_t size = 0;
    for (std::size_t i = 6; i < 10; ++i)
        size = size << 7 | (static_cast<unsigned char>(bytes[i]) & 0x7F);
    const bool footer = (static_cast<unsigned char>(bytes[5]) & 0x10) != 0;
    return 10 + size + (footer ? 10 : 0);
}

} // namespace

std::optional<double> mp3Seconds(std::string_view bytes)
{
    // The first frame: the first header after the tag that the next frame's header follows, so that
    // stray sync bits in the tag's padding or the data are not taken for one.
    std::size_t at = afterId3Tag(bytes);
    std::optional<Frame> first;
    for (; at + 4 <= bytes.size(); ++at)
        if (const auto frame = frameAt(bytes, at);
            frame && (at + frame->length + 4 > bytes.size() || frameAt(bytes, at + frame->length))) {
            first = frame;
            break;
        }
    if (!first)
        return std::nullopt;
    if (const auto frames = headerFrames(bytes, at, *first))
        return static_cast<double>(*frames) * first->samples / first->sampleRate;
    double seconds = 0;
    for (auto frame = first; frame && at < bytes.size(); frame = frameAt(bytes, at)) {
        seconds += static_cast<double>(frame->samples) / frame->sampleRate;
        at += frame->length;
    }
    return seconds;
}

std::optional<double> mp3FileSeconds(const std::filesystem::path &file)
{
    std::string bytes;
    if (!readRegularFileInto(file, bytes, kLargestRecording))
        return std::nullopt;
    return mp3Seconds(bytes);
}

} // namespace velmora
