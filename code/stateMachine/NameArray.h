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
    explicit NameArray(std::string nameToCut);
    explicit NameArray(const char* nameToCut);
    ~NameArray() = default;

    // Built and read inside one operation; never copied.
    NameArray(const NameArray&) = delete;
    NameArray& operator=(const NameArray&) = delete;

    int32_t lengthOf() const { return length; }
    // No range check: callers keep to 0 .. lengthOf() - 1.
    std::string getSection(int32_t section) const { return arrayOfName[section]; }

  protected:
    void parseName(const std::string& nameToCut);
    int32_t lengthOfName(char findThis, const std::string& nameToCut) const;

  private:
    static constexpr char SEPARATOR = '.';

    std::unique_ptr<std::string[]> arrayOfName;
    int32_t length = 0;
};
