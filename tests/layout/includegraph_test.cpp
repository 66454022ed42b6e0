// The include graph of the program's own units (a header and its source file together): no unit
// reaches itself through its includes, every folder includes only folders below it, and the
// toolkit-free part never includes Qt.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kRoot = SENDIBOX_SOURCE_DIR;

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

struct Include {
    std::string name;
    bool angled = false;
};

struct Graph {
    std::vector<std::string> files;  // relative to the root, '/'-separated
    std::map<std::string, std::vector<Include>> includes;
    // Between units: a file's path without its extension.
    std::map<std::string, std::vector<std::string>> edges;
};

std::string UnitOf(const std::string& file) {
    return fs::path(file).replace_extension().generic_string();
}

bool Within(const std::string& file, const std::string& folder) {
    return file == folder || file.starts_with(folder + "/");
}

// The innermost layer folder holding the unit ("source/ui" rather than "source").
std::size_t LayerOf(const std::string& unit) {
    std::size_t found = kLayers.size();
    for (std::size_t i = 0; i < kLayers.size(); ++i) {
        if (Within(unit, kLayers[i]) &&
            (found == kLayers.size() || kLayers[i].size() > kLayers[found].size())) {
            found = i;
        }
    }
    return found;
}

std::vector<Include> ReadIncludes(const fs::path& path) {
    std::vector<Include> found;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const std::size_t hash = line.find_first_not_of(" \t");
        if (hash == std::string::npos || line.compare(hash, 8, "#include") != 0) {
            continue;
        }
        const std::size_t open = line.find_first_of("\"<", hash + 8);
        if (open == std::string::npos) {
            continue;
        }
        const char close = line[open] == '<' ? '>' : '"';
        const std::size_t end = line.find(close, open + 1);
        if (end != std::string::npos) {
            found.push_back({line.substr(open + 1, end - open - 1), close == '>'});
        }
    }
    return found;
}

Graph ReadGraph() {
    Graph graph;
    for (const char* top : {"source", "components", "tools"}) {
        for (const auto& entry : fs::recursive_directory_iterator(kRoot / top)) {
            const std::string ext = entry.path().extension().string();
            if (entry.is_regular_file() && (ext == ".cpp" || ext == ".h")) {
                graph.files.push_back(entry.path().lexically_relative(kRoot).generic_string());
            }
        }
    }
    std::sort(graph.files.begin(), graph.files.end());
    // A quoted include is looked up beside the includer first, then in the include folders.
    const std::vector<std::string> searched = {"source", "components/vt_list/source", "tools"};
    for (const std::string& file : graph.files) {
        graph.includes[file] = ReadIncludes(kRoot / file);
        for (const Include& include : graph.includes[file]) {
            if (include.angled) {
                continue;
            }
            std::vector<std::string> candidates = {
                (fs::path(file).parent_path() / include.name).lexically_normal().generic_string()};
            for (const std::string& folder : searched) {
                candidates.push_back(folder + "/" + include.name);
            }
            for (const std::string& candidate : candidates) {
                if (std::binary_search(graph.files.begin(), graph.files.end(), candidate)) {
                    if (UnitOf(candidate) != UnitOf(file)) {
                        graph.edges[UnitOf(file)].push_back(UnitOf(candidate));
                    }
                    break;
                }
            }
        }
    }
    return graph;
}

// Depth-first search that reports the first path back to a unit on the current path.
bool FindCycle(const Graph& graph, const std::string& file, std::map<std::string, int>& state,
               std::vector<std::string>& path) {
    state[file] = 1;
    path.push_back(file);
    const auto edges = graph.edges.find(file);
    if (edges != graph.edges.end()) {
        for (const std::string& next : edges->second) {
            if (state[next] == 1) {
                path.push_back(next);
                return true;
            }
            if (state[next] == 0 && FindCycle(graph, next, state, path)) {
                return true;
            }
        }
    }
    path.pop_back();
    state[file] = 2;
    return false;
}

TEST(IncludeGraph, HasNoCycleNoUpwardIncludeAndNoQtInTheCore) {
    const Graph graph = ReadGraph();
    ASSERT_GT(graph.files.size(), 100u) << "the source tree was not found under " << kRoot;

    std::map<std::string, int> state;
    for (const std::string& file : graph.files) {
        std::vector<std::string> path;
        if (state[UnitOf(file)] == 0 && FindCycle(graph, UnitOf(file), state, path)) {
            // The path ends where the cycle closes; one cycle is enough to name.
            std::string cycle = path.back();
            for (auto step = std::find(path.begin(), path.end(), path.back()) + 1;
                 step != path.end(); ++step) {
                cycle += " -> " + *step;
            }
            ADD_FAILURE() << "include cycle: " << cycle;
            break;
        }
    }

    for (const auto& [unit, targets] : graph.edges) {
        for (const std::string& target : targets) {
            EXPECT_LE(LayerOf(target), LayerOf(unit)) << unit << " includes " << target;
            EXPECT_FALSE(Within(unit, "source/cli") && Within(target, "source/ui"))
                << unit << " includes " << target;
        }
    }
    for (const std::string& file : graph.files) {
        const bool mayUseQt = std::any_of(kQtFolders.begin(), kQtFolders.end(),
                                          [&](const std::string& f) { return Within(file, f); });
        for (const Include& include : graph.includes.at(file)) {
            EXPECT_TRUE(mayUseQt || !(include.angled && include.name.starts_with("Q")))
                << file << " includes <" << include.name << ">";
        }
    }
}

}  // namespace
