#include <sys/stat.h>

#include "support/childprocess.h"
#include "unitline.h"

namespace {

using UnitSimProgram = TempFolderTest;

const std::filesystem::path kDataFolder =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "data";

std::filesystem::path ProgramPath() {
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return self.parent_path().parent_path() / "tools" / "unitsim" / "sendibox-unitsim";
}

}  // namespace

TEST_F(UnitSimProgram, PublishesItsLinkAnswersAndRemovesTheLinkOnSigterm) {
    if (!std::filesystem::exists(ProgramPath())) {
        GTEST_SKIP() << "sendibox-unitsim is not built";
    }
    const std::string out = PathOf("out");
    EXPECT_EQ(ChildProcess({ProgramPath(), "--no-such-option"}, out, out).Stop(0), 2);
    std::filesystem::copy_file(kDataFolder / "unit-demo.json", folder / "unit.json");
    ChildProcess program({ProgramPath(), "--link", folder / "port", "--state", folder / "unit.json",
                          "--maker", "Cinterion", "--error-on", "AT+CSQ#2", "--urc-inside",
                          "AT+CPBR", "RING", "--log", folder / "log"},
                         out, out);
    // The first line names the link, once it is there.
    ASSERT_TRUE(WaitUntil([&] { return Contents(out).starts_with(PathOf("port") + "\n"); }))
        << Contents(out);
    {
        UnitLine line(folder / "port");
        EXPECT_EQ(line.Exchange("ATI\r"), "ATI\r" + Info("Cinterion\r\nMC35i\r\nREVISION 02.00"));
        EXPECT_EQ(line.Exchange("ATE0\r"), "ATE0\r" + kOk);
        EXPECT_EQ(line.Exchange("AT+CSQ\r"), Info("+CSQ: 18,99"));
        EXPECT_EQ(line.Exchange("AT+CSQ\r"), kError);
        EXPECT_EQ(line.Exchange("AT+CPBR=64\r"), Info("+CPBR: 64,\"1\",129,\"\"\r\n\r\nRING"));
        EXPECT_EQ(line.Exchange("AT+CPBW=10\r"), kOk);
    }
    EXPECT_EQ(program.Stop(SIGTERM), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder / "port")));
    // The change reached the file, the run's maker did not.
    const CUnitState saved = CUnitState::Load(folder / "unit.json");
    EXPECT_EQ(saved.maker, "SIEMENS");
    EXPECT_EQ(saved.phonebooks.at("SM").entries.count(10), 0u);
    EXPECT_EQ(Contents(folder / "log"), "ATI\nATE0\nAT+CSQ\nAT+CSQ\nAT+CPBR=64\nAT+CPBW=10\n");
}

// A state that is not a regular file is refused at once, naming the file and why: a FIFO
// would otherwise hold the open until a writer came, with the program deaf to its stop
// signals, and a folder would read as an empty text.
TEST_F(UnitSimProgram, RefusesAStateThatIsNotARegularFileAtOnce) {
    const std::string fifo = folder / "fifo.json";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = folder / "huge.json";
    std::ofstream{huge} << "{}";
    std::filesystem::resize_file(huge, CUnitState::kMaxFileBytes + 1);  // sparse: costs no disk
    const std::pair<std::string, std::string> cases[] = {
        {fifo, "a FIFO"},
        {folder.string(), "a folder"},
        {"/dev/null", "a device"},
        {huge, "larger than"},
        {folder / "missing.json", "No such file"},
    };
    for (const auto& [path, why] : cases) {
        SCOPED_TRACE(path);
        try {
            CUnitState::Load(path);
            ADD_FAILURE() << "loaded";
        } catch (const std::runtime_error& e) {
            const std::string text = e.what();
            EXPECT_NE(text.find(path), std::string::npos) << text;
            EXPECT_NE(text.find(why), std::string::npos) << text;
        }
    }
    if (!std::filesystem::exists(ProgramPath())) {
        GTEST_SKIP() << "sendibox-unitsim is not built";
    }
    const std::string out = PathOf("out");
    ChildProcess program({ProgramPath(), "--link", folder / "port", "--state", fifo}, out, out);
    EXPECT_EQ(program.Stop(0), 1);
    EXPECT_EQ(Contents(out).find(PathOf("port")), std::string::npos) << Contents(out);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(folder / "port")));
}
