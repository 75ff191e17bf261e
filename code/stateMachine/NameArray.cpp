#include "stateMachine/NameArray.h"

NameArray::NameArray(const std::string& nameToCut) {
    parseName(nameToCut);
}

NameArray::NameArray(const char* nameToCut) : NameArray(std::string(nameToCut)) {}

int32_t NameArray::lengthOfName(char findThis, const std::string& nameToCut) const {
    int32_t count = 1;
    for (char c : nameToCut)
        if (c == findThis) ++count;
    return count;
}

// Counts first so that a longer name's sections are allocated once, at their
// exact number.
void NameArray::parseName(const std::string& nameToCut) {
    length = lengthOfName(SEPARATOR, nameToCut);
    if (length > INLINE_SECTIONS) {
        moreSections = std::make_unique<std::string[]>(length);
        sections = moreSections.get();
    }
    std::string::size_type start = 0;
    for (int32_t i = 0; i < length; ++i) {
        std::string::size_type end = nameToCut.find(SEPARATOR, start);
        if (end == std::string::npos) end = nameToCut.size();
        sections[i].assign(nameToCut, start, end - start);
        start = end + 1;
    }
}
