#include "stateMachine/NameArray.h"

NameArray::NameArray(std::string nameToCut) {
    parseName(nameToCut);
}

NameArray::NameArray(const char* nameToCut) : NameArray(std::string(nameToCut)) {}

int32_t NameArray::lengthOfName(char findThis, const std::string& nameToCut) const {
    int32_t count = 1;
    for (char c : nameToCut)
        if (c == findThis) ++count;
    return count;
}

// Counts first so that the section array is allocated once, at its exact size.
void NameArray::parseName(const std::string& nameToCut) {
    length = lengthOfName(SEPARATOR, nameToCut);
    arrayOfName = std::make_unique<std::string[]>(length);
    std::string::size_type start = 0;
    for (int32_t i = 0; i < length; ++i) {
        std::string::size_type end = nameToCut.find(SEPARATOR, start);
        if (end == std::string::npos) end = nameToCut.size();
        arrayOfName[i] = nameToCut.substr(start, end - start);
        start = end + 1;
    }
}
