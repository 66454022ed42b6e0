#include "model/unitimage.h"

#include <algorithm>
#include <cstddef>

#include "model/configurationmodel.h"
#include "model/smsproviders.h"
#include "model/unitlayout.h"

namespace {

using L = CUnitLayout;

const std::string& At(const std::vector<std::string>& numbers, std::size_t i) {
    static const std::string kEmpty;
    return i < numbers.size() ? numbers[i] : kEmpty;
}

}  // namespace

CUnitImage CUnitImage::AfterWrite(const CConfigurationModel& model) {
    CUnitImage image;
    const TVTListData& sms = model.SmsTable();
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        image.messages.push_back(
            {CSmsDataProvider::ValueToStore(sms, row, L::kSmsNewNumberColumn,
                                            L::kSmsCurrentNumberColumn, L::kSmsDeleteColumn),
             CSmsDataProvider::ValueToStore(sms, row, L::kSmsNewTextColumn,
                                            L::kSmsCurrentTextColumn, L::kSmsDeleteColumn)});
    }
    const TVTListData& book = model.PhoneBookTable();
    for (int32_t row = 0; row < model.GetPhoneBookSize(); ++row) {
        const bool written = L::IsMarked(book.getData(row, L::kPhoneBookWriteColumn));
        image.numbers.push_back(book.getData(
            row, written ? L::kPhoneBookNewNumberColumn : L::kPhoneBookCurrentNumberColumn));
    }
    return image;
}

CUnitImage CUnitImage::AfterReset(int32_t phoneBookSize) {
    CUnitImage image;
    image.messages.resize(L::kMessageCount);
    for (int32_t position = 1; position <= phoneBookSize; ++position) {
        image.numbers.push_back(L::ResetValue(position));
    }
    return image;
}

CUnitImage CUnitImage::AsRead(const CConfigurationModel& model) {
    CUnitImage image;
    const TVTListData& sms = model.SmsTable();
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        image.messages.push_back({sms.getData(row, L::kSmsCurrentNumberColumn),
                                  sms.getData(row, L::kSmsCurrentTextColumn)});
    }
    const TVTListData& book = model.PhoneBookTable();
    for (int32_t row = 0; row < model.GetPhoneBookSize(); ++row) {
        image.numbers.push_back(book.getData(row, L::kPhoneBookCurrentNumberColumn));
    }
    return image;
}

std::vector<CImageDifference> CompareImages(const CUnitImage& expected, const CUnitImage& found) {
    using Kind = CImageDifference::EKind;
    std::vector<CImageDifference> differences;
    const std::size_t messages = std::max(expected.messages.size(), found.messages.size());
    for (std::size_t i = 0; i < messages; ++i) {
        const CUnitImage::CMessage meant =
            i < expected.messages.size() ? expected.messages[i] : CUnitImage::CMessage{};
        const CUnitImage::CMessage held =
            i < found.messages.size() ? found.messages[i] : CUnitImage::CMessage{};
        const auto index = static_cast<int32_t>(i + 1);
        if (meant.number != held.number) {
            differences.push_back({Kind::messageNumber, index, meant.number, held.number});
        }
        if (meant.text != held.text) {
            differences.push_back({Kind::messageText, index, meant.text, held.text});
        }
    }
    const std::size_t positions = std::max(expected.numbers.size(), found.numbers.size());
    for (std::size_t i = 0; i < positions; ++i) {
        if (At(expected.numbers, i) != At(found.numbers, i)) {
            differences.push_back({Kind::position, static_cast<int32_t>(i + 1),
                                   At(expected.numbers, i), At(found.numbers, i)});
        }
    }
    return differences;
}
