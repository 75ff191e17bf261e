#include "saveload/saveload.h"

#include "vondLog.h"
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const std::string SEPERATOR = "=";

// The folder a file name lies in, as a path that can be opened.
std::string folderOf(const std::string& fileName) {
    std::string::size_type slash = fileName.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : fileName.substr(0, slash);
}

// Flushes the directory entry of a completed rename to disk. Best effort: a
// file system that cannot sync directories still has the new file in place.
void syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Writes all of text to fd; false with errno set on the first failure.
bool writeAll(int fd, const std::string& text) {
    const char* at = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd, at, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        at += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// The mode a newly created file gets (0666 less the umask), which mkstemp's
// private 0600 would otherwise replace.
mode_t newFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
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
    std::string contents;
    if (!readWholeFile(fileName, contents)) {
        vondWarn("SaveLoad: could not load '", fileName, "': ", std::strerror(errno));
        return false;
    }
    std::istringstream readingFile(contents);
    // The line end after the last line ends the file rather than opening an
    // empty line; a last line without a line end still counts.
    while (readingFile.peek() != std::char_traits<char>::eof()) {
        stack.push_back(parse(nextLine(readingFile)));
        ++length;
    }
    return true;
}

// The whole file in one read, so that a read error is told apart from its end.
bool SaveLoad::readWholeFile(const std::string& fileName, std::string& contents) {
    int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        return false;
    }
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int reason = errno;
            ::close(fd);
            errno = reason;
            return false;
        }
        if (n == 0) break;
        contents.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

bool SaveLoad::save(const std::string& fileName) {
    // A pair that would read back as something else (a key holding "=", a
    // value of two lines that could pose as a second pair) is left out, and
    // everything else of the game is still saved.
    std::string text;
    size_t leftOut = 0;
    for (const SaveLoadType& p : stack) {
        if (!canBeSaved(p)) {
            ++leftOut;
            continue;
        }
        text += p.key;
        text += SEPERATOR;
        text += p.pair;
        text += '\n';
    }
    if (!writeReplacing(fileName, text)) {
        vondWarn("SaveLoad: could not save '", fileName, "': ", std::strerror(errno));
        return false;
    }
    if (leftOut > 0)
        vondWarn("SaveLoad: ", leftOut, " pair(s) left out of '", fileName,
                 "': a key holds '=' or a line end, or a value a line end or a final CR");
    return leftOut == 0;
}

// Writes text to a temporary file of its own beside fileName (so that two
// games saving at once never share one, and no file of the game is ever taken
// for it), makes it durable, and only then renames it over fileName: a failed,
// interrupted or concurrent save leaves either the old file or a whole new
// one. The temporary file is removed on every failure; errno tells why.
bool SaveLoad::writeReplacing(const std::string& fileName, const std::string& text) {
    const std::string folder = folderOf(fileName);
    std::string tempName = fileName + ".XXXXXX";
    std::vector<char> name(tempName.begin(), tempName.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    tempName = name.data();
    bool written = ::fchmod(fd, newFileMode()) == 0 && writeAll(fd, text) && ::fsync(fd) == 0;
    int reason = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        reason = errno;
    }
    if (written && ::rename(tempName.c_str(), fileName.c_str()) != 0) {
        written = false;
        reason = errno;
    }
    if (!written) {
        ::unlink(tempName.c_str());
        errno = reason;
        return false;
    }
    syncFolder(folder);
    return true;
}
