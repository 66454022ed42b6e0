#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "atcomm/phonebookdata.h"
#include "atcomm/smsdata.h"

// In-memory stand-ins for the main window's providers and collectors, with the cursors the
// real ones have: a position range 1..last, a current position that NextPosition/NextIndex
// hand out and advance, and the same HasMore rules.

class PhoneBookCollectorDouble : public IPhoneBookDataCollector {
public:
    explicit PhoneBookCollectorDouble(int32_t last) : last(last) {}

    void SetEntry(int32_t position, const std::string& number, const std::string& value) override {
        entries[position] = {number, value};
        ++setCalls;
    }
    int32_t NextPosition() override { return current++; }
    // One range read covers everything, so there is more only until the first item is taken.
    bool HasMore() override { return current < 2; }
    int32_t First() const override { return 1; }
    int32_t Last() const override { return last; }
    int32_t Current() const override { return current; }

    std::map<int32_t, std::pair<std::string, std::string>> entries;
    int setCalls = 0;

private:
    int32_t last;
    int32_t current = 1;
};

// Offers the marked positions up to last, in increasing order.
class PhoneBookProviderDouble : public IPhoneBookDataProvider {
public:
    PhoneBookProviderDouble(int32_t last, std::map<int32_t, std::string> marked)
        : last(last), numbers(std::move(marked)) {}

    std::string GetNumber(int32_t position) override { return numbers[position]; }
    std::string GetText(int32_t position) override { return IsSetting(position) ? "" : "ACCESS"; }
    std::string GetType(int32_t position) override { return IsSetting(position) ? "129" : "145"; }
    int32_t NextPosition() override { return current++; }
    bool HasMore() override {
        while (current <= last && numbers.count(current) == 0) {
            ++current;
        }
        return current <= last;
    }
    int32_t First() const override { return 1; }
    int32_t Last() const override { return last; }
    int32_t Current() const override { return current; }

private:
    static bool IsSetting(int32_t position) { return position >= 58 && position <= 69; }

    int32_t last;
    int32_t current = 1;
    std::map<int32_t, std::string> numbers;
};

// Offers every position (or index) from 1 to last.
template <class Interface>
class RangeDouble : public Interface {
public:
    explicit RangeDouble(int32_t last) : last(last) {}

    bool HasMore() override { return current <= last; }
    int32_t First() const override { return 1; }
    int32_t Last() const override { return last; }
    int32_t Current() const override { return current; }

protected:
    int32_t Take() { return current++; }

private:
    int32_t last;
    int32_t current = 1;
};

class PhoneBookDeleteDouble : public RangeDouble<IPhoneBookDelete> {
public:
    using RangeDouble::RangeDouble;
    int32_t NextPosition() override { return Take(); }
};

class SmsDeleteDouble : public RangeDouble<ISmsDelete> {
public:
    using RangeDouble::RangeDouble;
    int32_t NextIndex() override { return Take(); }
};

struct SmsMessage {
    std::string number;
    std::string text;
    bool operator==(const SmsMessage&) const = default;
};

// Collects into a 28-message table by storage index.
class SmsCollectorDouble : public ISmsDataCollector {
public:
    static constexpr int32_t kMessages = 28;

    void SetPendingMessage(const std::string& number, const std::string& text) override {
        messages[pending] = {number, text};
        pending = current = readCursor;
    }
    void SetMessage(int32_t index, const std::string& number, const std::string& text) override {
        messages[index] = {number, text};
    }
    int32_t NextIndex() override { return readCursor++; }
    bool HasMore() override { return readCursor <= kMessages; }
    int32_t First() const override { return 1; }
    int32_t Last() const override { return kMessages; }
    int32_t Current() const override { return current; }

    std::map<int32_t, SmsMessage> messages;

private:
    int32_t readCursor = 1;
    int32_t pending = 1;
    int32_t current = 1;
};

// Supplies the given messages as indexes 1, 2, ...
class SmsProviderDouble : public ISmsDataProvider {
public:
    explicit SmsProviderDouble(std::vector<SmsMessage> messages) : messages(std::move(messages)) {}

    void Next() override { ++current; }
    std::string GetNumber() override { return messages.at(current - 1).number; }
    std::string GetText() override { return messages.at(current - 1).text; }
    bool HasMore() override { return current <= Last(); }
    int32_t First() const override { return 1; }
    int32_t Last() const override { return static_cast<int32_t>(messages.size()); }
    int32_t Current() const override { return current; }

private:
    std::vector<SmsMessage> messages;
    int32_t current = 1;
};
