#include "operations/differencetext.h"

#include "core/parseint.h"
#include "persistence/applanguage.h"

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string Where(const CImageDifference& difference, const CAppLanguage& language) {
    using Kind = CImageDifference::EKind;
    std::string where;
    switch (difference.kind) {
        case Kind::messageNumber:
            where = language.GetText("VERIFY_MESSAGE") + " " + IntToStr(difference.where) + ", " +
                    language.GetText("RECEIVER");
            break;
        case Kind::messageText:
            where = language.GetText("VERIFY_MESSAGE") + " " + IntToStr(difference.where) + ", " +
                    language.GetText("VERIFY_TEXT");
            break;
        case Kind::position:
            where = language.GetText("POSITION") + " " + IntToStr(difference.where);
            break;
    }
    return where;
}

}  // namespace

std::string DescribeChange(const CImageDifference& difference, const CAppLanguage& language) {
    return Where(difference, language) + ": " + Quoted(difference.found) + " -> " +
           Quoted(difference.expected);
}

std::string DescribeDifference(const CImageDifference& difference, const CAppLanguage& language) {
    return Where(difference, language) + ": " + language.GetText("VERIFY_EXPECTED") + " " +
           Quoted(difference.expected) + ", " + language.GetText("VERIFY_FOUND") + " " +
           Quoted(difference.found);
}
