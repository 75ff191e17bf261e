// Dotted names cut into their sections.
//
// Every node of the state machine is addressed by a dotted name such as
// quest.door.lock: section 0 names a network, each further section a child of
// the node reached so far. A NameArray cuts the name once so that the tree
// walks can index the sections by depth. Nothing is trimmed and only the full
// stop is special, so joining the sections with "." gives the name back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class NameArray {
  public:
    explicit NameArray(const std::string& nameToCut);
    explicit NameArray(const char* nameToCut);
    ~NameArray() = default;

    // Built and read inside one operation; never copied.
    NameArray(const NameArray&) = delete;
    NameArray& operator=(const NameArray&) = delete;

    int32_t lengthOf() const { return length; }
    // No range check: callers keep to 0 .. lengthOf() - 1.
    const std::string& getSection(int32_t section) const { return sections[section]; }

  protected:
    void parseName(const std::string& nameToCut);
    int32_t lengthOfName(char findThis, const std::string& nameToCut) const;

  private:
    static constexpr char SEPARATOR = '.';
    // Names of up to this many sections are cut without touching the heap
    // (sections of up to 15 characters fit in std::string itself), so scripts
    // may read and write nodes every frame.
    static constexpr int32_t INLINE_SECTIONS = 8;

    std::string inlineSections[INLINE_SECTIONS];
    std::unique_ptr<std::string[]> moreSections; // longer names only
    std::string* sections = inlineSections;
    int32_t length = 0;
};
