// The include graph of the program's own units (a header and its source file together): no unit
// reaches itself through its includes, every folder includes only folders below it, and the
// toolkit-free part never includes Qt.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/regex.h"

namespace {

namespace fs = std::filesystem;

// The layers from the bottom up; a unit may include its own layer and those before it. The
// window and the command line are both on top and never include each other.
const std::vector<std::string> kLayers = {"source/core",
                                          "source/seriallink",
                                          "components/vt_list",
                                          "source/engine",
                                          "source/atcomm",
                                          "source/model",
                                          "source/persistence",
                                          "source/operations",
                                          "source/ui",
                                          "source/cli",
                                          "source",
                                          "tools"};

// The places whose files may include Qt.
const std::vector<std::string> kQtFolders = {"source/ui", "components/vt_list", "tools/makepdf",
                                             "source/main.cpp"};

bool Within(const std::string& file, const std::string& folder) {
    return file == folder || file.starts_with(folder + "/");
}

// The innermost layer folder holding the unit ("source/ui" rather than "source").
std::size_t LayerOf(const std::string& unit) {
    std::size_t found = kLayers.size();
    std::size_t length = 0;
    for (std::size_t i = 0; i < kLayers.size(); ++i) {
        if (Within(unit, kLayers[i]) && kLayers[i].size() > length) {
            found = i;
            length = kLayers[i].size();
        }
    }
    return found;
}

std::string UnitOf(const std::string& file) {
    return fs::path(file).replace_extension().generic_string();
}

TEST(IncludeGraph, HasNoCycleNoUpwardIncludeAndNoQtInTheCore) {
    const fs::path root = SENDIBOX_SOURCE_DIR;
    std::set<std::string> files;  // relative to the root, '/'-separated
    for (const char* top : {"source", "components", "tools"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string ext = entry.path().extension().string();
            if (entry.is_regular_file() && (ext == ".cpp" || ext == ".h")) {
                files.insert(entry.path().lexically_relative(root).generic_string());
            }
        }
    }
    ASSERT_GT(files.size(), 100u) << "the source tree was not found under " << root;

    const std::regex includeLine(R"(^\s*#include\s*([<"])([^>"]+))");
    std::map<std::string, std::set<std::string>> edges;  // between units
    for (const std::string& file : files) {
        const bool mayUseQt = std::any_of(kQtFolders.begin(), kQtFolders.end(),
                                          [&](const std::string& f) { return Within(file, f); });
        std::ifstream in(root / file);
        for (std::string line; std::getline(in, line);) {
            std::smatch match;
            if (!std::regex_search(line, match, includeLine)) {
                continue;
            }
            const std::string name = match[2];
            if (match[1] == "<") {
                EXPECT_TRUE(mayUseQt || !name.starts_with("Q"))
                    << file << " includes <" << name << ">";
                continue;
            }
            // A quoted include is looked up beside the includer first, then in the include
            // folders.
            for (const std::string& candidate :
                 {(fs::path(file).parent_path() / name).lexically_normal().generic_string(),
                  "source/" + name, "components/vt_list/source/" + name, "tools/" + name}) {
                if (files.count(candidate) != 0) {
                    if (UnitOf(candidate) != UnitOf(file)) {
                        edges[UnitOf(file)].insert(UnitOf(candidate));
                    }
                    break;
                }
            }
        }
    }

    for (const auto& [unit, targets] : edges) {
        for (const std::string& target : targets) {
            EXPECT_LE(LayerOf(target), LayerOf(unit)) << unit << " includes " << target;
            EXPECT_FALSE(Within(unit, "source/cli") && Within(target, "source/ui"))
                << unit << " includes " << target;
        }
    }

    // Depth first; `path` ends where a cycle closes.
    std::map<std::string, int> state;  // 1: on the current path, 2: done
    std::vector<std::string> path;
    const std::function<bool(const std::string&)> cycleFrom = [&](const std::string& unit) {
        state[unit] = 1;
        path.push_back(unit);
        for (const std::string& next : edges[unit]) {
            if (state[next] == 1) {
                path.push_back(next);
                return true;
            }
            if (state[next] == 0 && cycleFrom(next)) {
                return true;
            }
        }
        path.pop_back();
        state[unit] = 2;
        return false;
    };
    for (const std::string& file : files) {
        if (state[UnitOf(file)] == 0 && cycleFrom(UnitOf(file))) {
            std::string cycle;  // one cycle is enough to name
            for (auto step = std::find(path.begin(), path.end(), path.back()); step != path.end();
                 ++step) {
                cycle += (cycle.empty() ? "" : " -> ") + *step;
            }
            ADD_FAILURE() << "include cycle: " << cycle;
            break;
        }
    }
}

}  // namespace
