// Times the files a user meets: loading a profile at its size limit (4 MiB, with the profile's
// sections after a large section of another program, the worst place for them), loading and
// saving a normal profile of a full 250-position store (saved over the previous save, as the
// installer does it), and loading the shipped language file.
//
//   bench_files [Google Benchmark options, e.g. --benchmark_filter=Load]

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "model/configurationmodel.h"
#include "model/plainsettinggui.h"
#include "model/unitlayout.h"
#include "persistence/applanguage.h"
#include "persistence/languageloaderini.h"
#include "persistence/profilefile.h"

namespace {

namespace fs = std::filesystem;
using L = CUnitLayout;

constexpr std::size_t kHugeProfileSize = 4 * 1024 * 1024;

class CTempFolder {
public:
    CTempFolder() {
        std::string pattern = (fs::temp_directory_path() / "sendibox-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("no temporary folder");
        }
        path = pattern;
    }
    ~CTempFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    std::string File(const std::string& name) const { return (path / name).string(); }

private:
    fs::path path;
};

// A unit's worth of values on both sides: every message, every access number.
struct CFilledModel {
    CFilledModel() {
        model.SetPresenters(presenters.Lend());
        for (int32_t row = 0; row < L::kMessageCount; ++row) {
            const std::string n = std::to_string(row);
            for (const int32_t column : {L::kSmsCurrentTextColumn, L::kSmsNewTextColumn}) {
                model.SmsTable().setData(row, column, "Alarm on input " + n + ", door open");
            }
            for (const int32_t column : {L::kSmsCurrentNumberColumn, L::kSmsNewNumberColumn}) {
                model.SmsTable().setData(row, column, "+4670123" + n);
            }
            model.SmsTable().setData(row, L::kSmsNewCallColumn, row % 2 == 0 ? "X" : "");
        }
        for (int32_t row = 0; row <= model.GetPhoneBookSize(); ++row) {
            for (const int32_t column :
                 {L::kPhoneBookCurrentNumberColumn, L::kPhoneBookNewNumberColumn}) {
                model.PhoneBookTable().setData(row, column, "+4673" + std::to_string(100000 + row));
            }
            model.PhoneBookTable().setData(row, L::kPhoneBookWriteColumn, "X");
        }
    }

    CProfilePresenters Presenters() const {
        CProfilePresenters lent{};
        for (std::size_t i = 0; i < lent.size(); ++i) {
            lent[i] = &presenters[i];
        }
        return lent;
    }

    CPlainSettingGuis presenters;
    CConfigurationModel model;
};

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void LoadProfile(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        CFilledModel target;
        CProfileFile(path).Load(target.model, target.Presenters());
        benchmark::DoNotOptimize(target.model.SmsTable().getData(0, L::kSmsNewTextColumn));
    }
}

void BM_LoadNormalProfile(benchmark::State& state) {
    const CTempFolder folder;
    const CFilledModel source;
    const std::string path = folder.File("normal.pof");
    CProfileFile(path).Save(CProfileFile::kSaveNewValues, source.model, source.Presenters());
    state.counters["bytes"] = static_cast<double>(fs::file_size(path));
    LoadProfile(state, path);
}

void BM_LoadProfileAtSizeLimit(benchmark::State& state) {
    const CTempFolder folder;
    const CFilledModel source;
    const std::string normal = folder.File("normal.pof");
    CProfileFile(normal).Save(CProfileFile::kSaveNewValues, source.model, source.Presenters());
    const std::string profile = Contents(normal);
    std::string text = "[notes]\r\n";
    while (text.size() + profile.size() + 10 <= kHugeProfileSize) {
        text += "x=1\r\n";
    }
    text += "\r\n" + profile;
    const std::string path = folder.File("huge.pof");
    std::ofstream(path, std::ios::binary) << text;
    state.counters["bytes"] = static_cast<double>(text.size());
    LoadProfile(state, path);
}

void BM_SaveNormalProfile(benchmark::State& state) {
    const CTempFolder folder;
    const CFilledModel source;
    const std::string path = folder.File("normal.pof");
    for (auto _ : state) {
        CProfileFile(path).Save(CProfileFile::kSaveNewValues, source.model, source.Presenters());
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(path));
}

void BM_LoadShippedLanguages(benchmark::State& state) {
    for (auto _ : state) {
        CAppLanguage language(
            std::make_unique<CLanguageLoaderIni>(SENDIBOX_DATA_DIR "/languages.txt"));
        language.SetLanguage("Svenska");
        benchmark::DoNotOptimize(language.GetText("CONNECT_TO_UNIT"));
    }
}

BENCHMARK(BM_LoadNormalProfile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadProfileAtSizeLimit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveNormalProfile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadShippedLanguages)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
