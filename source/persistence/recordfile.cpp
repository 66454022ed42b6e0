#include "persistence/recordfile.h"

#include <cstring>

namespace {

std::string Field(const std::string& value) {
    std::string field = value;
    if (!field.empty() && std::strchr("=+-@\t\r", field.front()) != nullptr) {
        field.insert(field.begin(), '\'');
    }
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

}  // namespace

CRecordFile::CRecordFile(std::string path) : path(std::move(path)) {}

std::string CRecordFile::Row(const std::vector<std::string>& fields) {
    std::string row;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            row += ',';
        }
        row += Field(fields[i]);
    }
    return row + "\r\n";
}
