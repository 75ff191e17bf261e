// Audio made and measured by tests: a sine WAV, a tiny four-channel tracker
// module, and the loudness of what SDL's disk audio driver wrote.
#pragma once

#include "vondRun.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// A WAV file of a sine tone at a quarter of full scale: `channels` channels of
// `bits`-bit integer samples (format 1) or of 32-bit float ones (format 3).
inline void writeSineWav(const std::string& path, double hz, double seconds, int rate = 44100,
                         int channels = 2, int bits = 16, int format = 1) {
    std::string data;
    for (int i = 0; i < static_cast<int>(rate * seconds); ++i) {
        double v = 8000.0 / 32768 * std::sin(2 * M_PI * hz * i / rate);
        float f = static_cast<float>(v);
        std::string sample =
            format == 3 ? std::string(reinterpret_cast<const char*>(&f), 4)
            : bits == 8
                ? le(static_cast<uint32_t>(128 + v * 128), 1)
                : le(static_cast<uint32_t>(static_cast<int32_t>(v * std::ldexp(1.0, bits - 1))),
                     bits / 8);
        for (int c = 0; c < channels; ++c)
            data += sample;
    }
    const int frame = channels * bits / 8;
    std::ofstream(path, std::ios::binary) << "RIFF" + le(36 + data.size(), 4) + "WAVEfmt " +
                                                 le(16, 4) + le(format, 2) + le(channels, 2) +
                                                 le(rate, 4) + le(rate * frame, 4) + le(frame, 2) +
                                                 le(bits, 2) + "data" + le(data.size(), 4) + data;
}

// A four-channel tracker module ("M.K."): one looped 64-byte square-wave
// sample played at row 0 of the one pattern (period 428), which the song repeats.
inline void writeSquareMod(const std::string& path) {
    std::string mod =
        std::string("vondtest").append(12, '\0') + std::string("square").append(16, '\0');
    mod += std::string("\0\x20\0\x40\0\0\0\x20", 8);
    for (int s = 1; s < 31; ++s)
        mod += std::string(29, '\0') + '\x01';
    mod += std::string("\x01\x7F", 2) + std::string(128, '\0') + "M.K." +
           std::string("\x01\xAC\x10", 3) + std::string(1021, '\0') + std::string(32, '\x64') +
           std::string(32, '\x9C');
    std::ofstream(path, std::ios::binary) << mod;
}

// Root-mean-square level (DC removed) of each 100 ms of a disk-driver file:
// signed 16-bit little-endian stereo at 44100 Hz.
inline std::vector<double> loudnessPer100Ms(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const int16_t* s = reinterpret_cast<const int16_t*>(bytes.data());
    const size_t window = 4410 * 2;
    std::vector<double> levels;
    for (size_t start = 0; start + window <= bytes.size() / 2; start += window) {
        double mean = 0, power = 0;
        for (size_t i = start; i < start + window; ++i)
            mean += s[i] / double(window);
        for (size_t i = start; i < start + window; ++i)
            power += (s[i] - mean) * (s[i] - mean);
        levels.push_back(std::sqrt(power / window));
    }
    return levels;
}
