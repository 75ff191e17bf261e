// Damaged picture files that SDL_image cannot survive (it spins for ever,
// stalls or crashes on them) are refused within a second; every other file, damaged or
// not, reaches SDL_image and loads as far as the library takes it.
#include "vondImageGuard.h"
#include "vondRun.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A 1 x 1 GIF: header, screen of 1 x 1 with a global table of two colours,
// one picture (code size 2, one data block of two bytes), trailer.
const std::string SCREEN = std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13) +
                           std::string("\xff\xff\xff\x00\x00\x00", 6);
std::string picture(int width = 1, int height = 1) {
    return std::string(",\0\0\0\0", 5) + le(width, 2) + le(height, 2) + '\0';
}
const std::string DATA = std::string("\x02\x02\x44\x01\x00", 5);
const std::string GOOD = SCREEN + picture() + DATA + ";";

enum Outcome { LOADED, REFUSED, HUNG_OR_CRASHED };

// Loads the file in a child process, so that a library that spins or crashes
// cannot take the test with it; a child still running after a second hangs.
Outcome loadWithin1s(const std::string& file) {
    pid_t child = fork();
    if (child == 0) _exit(vondLoadImage(file.c_str()) != nullptr ? 0 : 1);
    int status = 0;
    if (!waitUntil([&] { return ::waitpid(child, &status, WNOHANG) != 0; }, 1.0)) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        return HUNG_OR_CRASHED;
    }
    if (!WIFEXITED(status)) return HUNG_OR_CRASHED;
    return WEXITSTATUS(status) == 0 ? LOADED : REFUSED;
}

TEST(ImageGuard, GIFsThatWouldHangOrCrashSDLImageAreRefused) {
    GameDir dir;
    std::vector<std::pair<std::string, std::string>> damaged;
    // The 15-byte file: header, screen, an extension cut after its label.
    for (unsigned char label : {0x01, 0xF9, 0xFE, 0xFF, 0x42})
        damaged.push_back({"cut after label " + std::to_string(label),
                           std::string("GIF89a\x0a\x00\x0a\x00\x00\x00\x00!", 14) + char(label)});
    damaged.push_back({"extension block cut", SCREEN + "!\xfe\x05" + "ab"});
    damaged.push_back({"no empty block after extension", SCREEN + "!\xfe\x02" + "ab"});
    // A graphic control extension's first block is read even when empty.
    damaged.push_back(
        {"control extension ending at its first block", SCREEN + "!\xf9" + std::string(1, '\0')});
    damaged.push_back({"picture of width 0", SCREEN + picture(0, 1) + DATA + ";"});
    damaged.push_back({"picture of height 0", SCREEN + picture(1, 0) + DATA + ";"});
    damaged.push_back({"picture wider than SDL allows", SCREEN + picture(40000, 1) + DATA + ";"});
    // A first picture whose code size the decoder refuses is passed over; the
    // second picture, cut short, is read past the end of the file.
    damaged.push_back({"skipped picture, then one cut short",
                       SCREEN + picture() + "\x0d" + picture() + "\x02\x05\x44"});
    // Cut short, the picture's data is decoded from stale bytes for every pixel
    // the picture claims: half a minute for this one.
    damaged.push_back({"big picture cut short", SCREEN + picture(16172, 24832) + "\x02\x02\x44"});
    damaged.push_back({"code size 12", SCREEN + picture(100, 100) + "\x0c\x02\x44\x01" +
                                           std::string(1, '\0') + ";"});
    for (const auto& [what, bytes] : damaged) {
        dir.write("bad.gif", bytes);
        EXPECT_EQ(loadWithin1s(dir.file("bad.gif")), REFUSED) << what;
    }
}

// A run-length compressed TGA picture of w x h pixels, 24 bits, top row first.
std::string tga(int type, int w, int h, const std::string& data) {
    return std::string(2, '\0') + char(type) + std::string(9, '\0') + le(w, 2) + le(h, 2) +
           "\x18\x20" + data;
}

// SDL_image reads a compressed TGA picture cut short pixel by pixel past the
// end of the file, for every pixel the header claims: five seconds for this
// one. Whole pictures, and uncompressed ones however cut, still load.
TEST(ImageGuard, CompressedTGAPicturesCutShortAreRefused) {
    GameDir dir;
    const std::string red("\x00\x00\xff", 3);
    const std::pair<std::string, Outcome> cases[] = {
        {tga(10, 1024, 32776, "\x83" + red + "\x83"), REFUSED},
        {tga(10, 4, 2, "\x87" + red), LOADED},                       // one packet for 8 pixels
        {tga(10, 4, 2, "\x83" + red + "\x02" + red + red), REFUSED}, // a raw packet cut short
        {tga(2, 4, 2, red + red), LOADED},                           // uncompressed, cut short
        {tga(2, 1024, 32776, red), LOADED}};
    for (const auto& [bytes, outcome] : cases) {
        dir.write("x.tga", bytes);
        EXPECT_EQ(loadWithin1s(dir.file("x.tga")), outcome) << bytes.size() << " bytes";
    }
}

// What SDL_image survives still reaches it.
TEST(ImageGuard, FilesSDLImageSurvivesStillReachIt) {
    GameDir dir;
    const std::pair<std::string, Outcome> cases[] = {
        {GOOD, LOADED},
        {SCREEN + picture(8, 8) + DATA, LOADED},
        {SCREEN + "!\xfe\x02" + "ab" + std::string(1, '\0') + picture() + DATA + ";", LOADED},
        {SCREEN + "!\xf9" + std::string("\x04\x01\0\0\0\0", 6) + picture() + DATA + ";", LOADED},
        {SCREEN + ";", REFUSED},     // SDL_image's own "only 0 images found"
        {"not a picture", REFUSED}}; // SDL_image's own "Unsupported image format"
    for (const auto& [bytes, outcome] : cases) {
        dir.write("x.gif", bytes);
        EXPECT_EQ(loadWithin1s(dir.file("x.gif")), outcome) << bytes.size() << " bytes";
    }
    EXPECT_EQ(loadWithin1s(dir.file("missing.gif")), REFUSED);
}

} // namespace
