#include "saveload/saveload.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include "vondLog.h"
#include <unistd.h>

namespace {

const std::string SEPERATOR = "=";

// Flushes the directory entry of a completed rename to disk. Best effort: a
// file system that cannot sync directories still has the new file in place.
void syncDirectoryOf(const std::string& fileName) {
    std::string::size_type slash = fileName.rfind('/');
    std::string dir = slash == std::string::npos ? "." : fileName.substr(0, slash + 1);
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Writes every pair to an open file and makes it durable; false on any error.
bool writePairs(std::FILE* out, const std::vector<SaveLoadType>& pairs) {
    for (const SaveLoadType& p : pairs) {
        if (std::fwrite(p.key.data(), 1, p.key.size(), out) != p.key.size()) return false;
        if (std::fputs(SEPERATOR.c_str(), out) == EOF) return false;
        if (std::fwrite(p.pair.data(), 1, p.pair.size(), out) != p.pair.size()) return false;
        if (std::fputc('\n', out) == EOF) return false;
    }
    return std::fflush(out) == 0 && ::fsync(fileno(out)) == 0;
}

} // namespace

void SaveLoad::newSet(const std::string& key, const std::string& pair) {
    stack.push_back(SaveLoadType{key, pair});
    ++length;
}

void SaveLoad::newSet(const std::string& key, const int32_t& pair) {
    newSet(key, std::to_string(pair));
}

std::string SaveLoad::getPair(const std::string& key) const {
    int32_t pos = search(key);
    return pos < 0 ? std::string() : stack[pos].pair;
}

void SaveLoad::reset() {
    stack.clear();
    length = 0;
}

int32_t SaveLoad::search(const std::string& key) const {
    for (int32_t i = 0; i < length; ++i)
        if (stack[i].key == key) return i;
    return -1;
}

// A key may hold neither the separator nor a line end; a value may hold no line
// end and may not end with a CR, which reading takes for part of a CR LF.
bool SaveLoad::canBeSaved(const SaveLoadType& aPair) {
    if (aPair.key.find_first_of("=\n") != std::string::npos) return false;
    if (aPair.pair.find('\n') != std::string::npos) return false;
    return aPair.pair.empty() || aPair.pair.back() != '\r';
}

std::string SaveLoad::nextLine(std::istream& readingFile) {
    std::string line;
    std::getline(readingFile, line);
    // Only a CR right before the LF belongs to the line end; a last line that
    // ends without LF keeps its CR.
    if (!readingFile.eof() && !line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

SaveLoadType SaveLoad::parse(const std::string& keyPair) const {
    std::string::size_type p = keyPair.find(SEPERATOR);
    if (p == std::string::npos) return SaveLoadType{keyPair, keyPair};
    return SaveLoadType{keyPair.substr(0, p), keyPair.substr(p + 1)};
}

bool SaveLoad::load(const std::string& fileName) {
    std::ifstream readingFile(fileName, std::ios::binary);
    if (!readingFile) return false;
    // The line end after the last line ends the file rather than opening an
    // empty line; a last line without a line end still counts.
    while (readingFile.peek() != std::char_traits<char>::eof()) {
        stack.push_back(parse(nextLine(readingFile)));
        ++length;
    }
    return true;
}

bool SaveLoad::save(const std::string& fileName) {
    // A pair that would read back as something else (a key holding "=", a
    // value of two lines that could pose as a second pair) is left out, with
    // one line on standard error; everything else of the game is still saved.
    std::vector<SaveLoadType> savable;
    savable.reserve(stack.size());
    for (const SaveLoadType& p : stack)
        if (canBeSaved(p)) savable.push_back(p);
    const size_t leftOut = stack.size() - savable.size();
    if (leftOut > 0)
        vondWarn("SaveLoad: ", leftOut, " pair(s) left out of '", fileName,
                 "': a key holds '=' or a line end, or a value a line end or a final CR");
    // Written beside the old file and renamed over it only when complete, so
    // that a crash or a full disk never leaves a truncated save behind.
    const std::string tempName = fileName + ".tmp";
    std::FILE* out = std::fopen(tempName.c_str(), "wb");
    if (out == nullptr) return false;
    bool written = writePairs(out, savable);
    if (std::fclose(out) != 0) written = false;
    if (!written || std::rename(tempName.c_str(), fileName.c_str()) != 0) {
        std::remove(tempName.c_str());
        return false;
    }
    syncDirectoryOf(fileName);
    return leftOut == 0;
}
