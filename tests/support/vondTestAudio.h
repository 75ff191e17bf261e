// Audio made and measured by tests: a sine WAV, a tiny four-channel tracker
// module, and the loudness of what SDL's disk audio driver wrote.
#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// A 16-bit stereo 44100 Hz WAV holding a sine tone.
inline void writeSineWav(const std::string& path, double hz, double seconds, int amplitude = 8000) {
    const int rate = 44100, frames = static_cast<int>(rate * seconds);
    std::string data;
    for (int i = 0; i < frames; ++i) {
        int16_t v = static_cast<int16_t>(amplitude * std::sin(2 * M_PI * hz * i / rate));
        for (int c = 0; c < 2; ++c)
            data.append(reinterpret_cast<const char*>(&v), 2);
    }
    auto u32 = [](uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
    std::string wav = "RIFF" + u32(36 + data.size()) + "WAVEfmt " + u32(16) + u16(1) + u16(2) +
                      u32(rate) + u32(rate * 4) + u16(4) + u16(16) + "data" + u32(data.size()) +
                      data;
    std::ofstream(path, std::ios::binary) << wav;
}

// A four-channel tracker module ("M.K."): one looped square-wave sample played
// at row 0 of the one pattern, which the song repeats.
inline void writeSquareMod(const std::string& path) {
    auto be16 = [](int v) {
        return std::string{static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
    };
    std::string mod = std::string("vondtest").append(12, '\0');
    const int sampleBytes = 64;
    mod += std::string("square").append(16, '\0') + be16(sampleBytes / 2) + '\0' + '\x40' +
           be16(0) + be16(sampleBytes / 2);
    for (int s = 1; s < 31; ++s)
        mod += std::string(22, '\0') + be16(0) + '\0' + '\0' + be16(0) + be16(1);
    mod += '\x01';                 // song length: one position
    mod += '\x7F';                 // restart byte
    mod += std::string(128, '\0'); // order table: pattern 0
    mod += "M.K.";
    std::string pattern(1024, '\0');
    const int period = 428, sample = 1;
    pattern[0] = static_cast<char>((sample & 0xF0) | (period >> 8));
    pattern[1] = static_cast<char>(period & 0xFF);
    pattern[2] = static_cast<char>((sample & 0x0F) << 4);
    mod += pattern;
    mod += std::string(sampleBytes / 2, '\x64') + std::string(sampleBytes / 2, '\x9C');
    std::ofstream(path, std::ios::binary) << mod;
}

// Root-mean-square level (DC removed) of each 100 ms of a disk-driver file:
// signed 16-bit little-endian stereo at 44100 Hz.
inline std::vector<double> loudnessPer100Ms(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t window = 4410 * 2;
    std::vector<double> levels;
    const int16_t* s = reinterpret_cast<const int16_t*>(bytes.data());
    size_t count = bytes.size() / 2;
    for (size_t start = 0; start + window <= count; start += window) {
        double mean = 0, power = 0;
        for (size_t i = start; i < start + window; ++i)
            mean += s[i];
        mean /= window;
        for (size_t i = start; i < start + window; ++i)
            power += (s[i] - mean) * (s[i] - mean);
        levels.push_back(std::sqrt(power / window));
    }
    return levels;
}
