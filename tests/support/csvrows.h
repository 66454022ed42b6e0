#pragma once

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

// The rows of a records file, read as RFC 4180 says, each as column name -> field; the byte
// order mark and the header row are checked by the caller through `header`.
struct CsvFile {
    std::string byteOrderMark;
    std::vector<std::string> header;
    std::vector<std::map<std::string, std::string>> rows;
};

inline CsvFile ReadCsv(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    CsvFile file;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        file.byteOrderMark = text.substr(0, 3);
        text.erase(0, 3);
    }
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = records.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            records.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            records.emplace_back(1);
            ++i;
        } else {
            field += c;
        }
    }
    records.pop_back();  // after the last row's line end
    if (records.empty()) {
        return file;
    }
    file.header = records.front();
    for (std::size_t r = 1; r < records.size(); ++r) {
        std::map<std::string, std::string> row;
        for (std::size_t c = 0; c < records[r].size() && c < file.header.size(); ++c) {
            row[file.header[c]] = records[r][c];
        }
        row["#fields"] = std::to_string(records[r].size());
        file.rows.push_back(row);
    }
    return file;
}
