// The ordered key/value store that carries a saved game, and its file form.
//
// A save file holds one pair per line: the key, "=", the value, a line end.
// There is no header and no escaping, so a pair whose key holds "=" or a line
// end, or whose value holds a line end, cannot be written faithfully; save()
// leaves such pairs out rather than write a file that would load back as other
// keys. A save replaces the old file only once the new one is completely on
// disk, so a failed or interrupted save keeps the previous one. A file that
// cannot be read or written is reported on standard error with the system's
// reason; the callers, like the scripts, go on.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

struct SaveLoadType {
    std::string key;
    std::string pair;
};

class SaveLoad {
  public:
    SaveLoad() = default;
    ~SaveLoad() = default;

    bool doesExist(const std::string& key) const { return search(key) >= 0; }
    void newSet(const std::string& key, const std::string& pair);
    void newSet(const std::string& key, const int32_t& pair);
    // The value of the first pair with this key; empty when there is none.
    std::string getPair(const std::string& key) const;
    // No range check: callers keep to 0 .. size() - 1.
    SaveLoadType getPair(int32_t pos) const { return stack[pos]; }

    // Appends the file's pairs; false (with one line on standard error) when
    // the file cannot be read.
    bool load(const std::string& fileName);
    // Writes every pair that survives the format (see canBeSaved); false when
    // pairs were left out, or when the file could not be written (the old
    // file is then untouched). Each case gives one line on standard error.
    bool save(const std::string& fileName);
    void reset();
    int32_t size() const { return length; }

    // Whether a pair survives a save and a load unchanged.
    static bool canBeSaved(const SaveLoadType& aPair);

  protected:
    std::string nextLine(std::istream& readingFile);
    SaveLoadType parse(const std::string& keyPair) const;
    int32_t search(const std::string& key) const;

    int32_t length = 0;

  private:
    static bool readWholeFile(const std::string& fileName, std::string& contents);
    static bool writeReplacing(const std::string& fileName, const std::string& text);

    std::vector<SaveLoadType> stack;
};
