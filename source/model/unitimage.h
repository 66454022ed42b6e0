#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CConfigurationModel;

// What the unit's configuration store and message store hold, as far as the tool reads them:
// the receiver number and text of the 28 alarm messages and the number of every phonebook
// position of the store. Used to check after a write or a reset that the unit holds what was
// meant, by comparing what was meant with what a fresh read found.
struct CUnitImage {
    struct CMessage {
        std::string number;
        std::string text;
        bool operator==(const CMessage&) const = default;
    };
    std::vector<CMessage> messages;    // index i + 1
    std::vector<std::string> numbers;  // position i + 1

    // What a write of the model's new values leaves on a unit that held the current values:
    // every message the write may store takes its new text and number (the current ones where
    // none is typed, nothing when it is marked for deletion), every position with a write mark
    // its new number, everything else what the unit held. Call after the settings have been
    // prepared for writing, so the setting rows carry their marks.
    static CUnitImage AfterWrite(const CConfigurationModel& model);
    // What a reset leaves: no messages, no access numbers, the settings' reset values.
    static CUnitImage AfterReset(int32_t phoneBookSize);
    // What the model's current side holds, as the last read of the unit left it.
    static CUnitImage AsRead(const CConfigurationModel& model);
};

// One place where the unit holds something else than was meant.
struct CImageDifference {
    enum class EKind : uint8_t { messageNumber, messageText, position };
    EKind kind;
    // The message index or the phonebook position.
    int32_t where;
    std::string expected;
    std::string found;
    bool operator==(const CImageDifference&) const = default;
};

// Every difference, messages first, in index and position order. Positions beyond either
// image count as empty.
std::vector<CImageDifference> CompareImages(const CUnitImage& expected, const CUnitImage& found);
