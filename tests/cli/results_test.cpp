#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/clifixture.h"
#include "cli/commandline.h"
#include "support/csvrows.h"

namespace {

using json = nlohmann::json;

class CliResultsTest : public CliTest {};

// Units served at once each get their rows in one records file, their bytes in a trace of
// their own (the PIN masked), and with --json an object per unit that says what the result
// line says, plus the unit's identity and what was changed.
TEST_F(CliResultsTest, RecordsTracesAndJsonForEveryUnit) {
    auto me = StartUnit(DataState("unit-me.json"));
    CUnitState locked = DataState("unit-pinlocked.json");
    locked.sim.busyMs = 0;
    locked.imei = "351234567890140";
    auto sim = StartUnit(locked);
    const std::string missing = PathOf("no-such-port");
    const std::string records = PathOf("records.csv");
    Strings args = {"reset",  "--yes",  "--pin",        "1234",          "--record",
                    records,  "--port", me->PortPath(), "--port",        sim->PortPath(),
                    "--port", missing,  "--trace",      PathOf("%p.log")};

    ASSERT_EQ(RunCli(args), 1) << Results();
    const std::vector<CUnitReport> lines = Reports();
    ASSERT_EQ(lines.size(), 3u);
    const std::string meTrace = Contents(ProfileForPort(PathOf("%p.log"), me->PortPath()));
    const std::string simTrace = Contents(ProfileForPort(PathOf("%p.log"), sim->PortPath()));
    for (const std::string* trace : {&meTrace, &simTrace}) {
        EXPECT_NE(trace->find(" -- CControllerConnectionCheck\n"), std::string::npos);
        EXPECT_NE(trace->find(" -> ATI<CR>\n"), std::string::npos);
        EXPECT_NE(trace->find(" -- CControllerDeletePhoneBook\n"), std::string::npos);
        EXPECT_NE(trace->find(" == closed\n"), std::string::npos);
    }
    EXPECT_EQ(meTrace.find("AT+CPIN="), std::string::npos);
    EXPECT_NE(simTrace.find(" -> AT+CPIN=****<CR>\n"), std::string::npos) << simTrace;
    EXPECT_EQ(simTrace.find("CPIN=1234"), std::string::npos);
    EXPECT_NE(meTrace.find("351234567890124"), std::string::npos);
    EXPECT_EQ(meTrace.find("351234567890140"), std::string::npos);

    args.push_back("--json");
    ASSERT_EQ(RunCli(args), 1) << Results();
    std::istringstream out(Results());
    std::vector<json> objects;
    for (std::string line; std::getline(out, line);) {
        objects.push_back(json::parse(line));
    }
    ASSERT_EQ(objects.size(), 3u) << Results();
    for (std::size_t i = 0; i < objects.size(); ++i) {
        SCOPED_TRACE(lines[i].port);
        EXPECT_EQ(objects[i]["port"], lines[i].port);
        EXPECT_EQ(objects[i]["ok"], lines[i].ok);
        EXPECT_EQ(objects[i]["text"], lines[i].text);
        EXPECT_EQ(objects[i]["result"], lines[i].ok ? "OK" : "FAILED");
        EXPECT_EQ(objects[i]["command"], "reset");
    }
    const std::map<std::string, const char*> imei = {{me->PortPath(), "351234567890124"},
                                                     {sim->PortPath(), "351234567890140"}};
    for (std::size_t i = 0; i < 2; ++i) {
        const json& unit = objects[i];
        EXPECT_EQ(unit["operation"], "Reset Unit");
        EXPECT_EQ(unit["identity"]["maker"], "SIEMENS");
        EXPECT_EQ(unit["identity"]["imei"], imei.at(lines[i].port));
        EXPECT_EQ(unit["changes"]["messagesErased"], 28);
        EXPECT_EQ(unit["changes"]["unitChanged"], true);
        EXPECT_EQ(unit["failure"], nullptr);
        EXPECT_EQ(unit["verification"], "verified");
    }
    EXPECT_EQ(objects[0]["store"], "ME");
    EXPECT_EQ(objects[1]["store"], "SM");
    EXPECT_EQ(objects[2]["failure"], lines[2].text.substr(7));
    // The port did not open: the connect failed before the module could say anything.
    EXPECT_EQ(objects[2]["operation"], "Connect");
    EXPECT_EQ(objects[2]["identity"]["maker"], nullptr);
    EXPECT_EQ(objects[2]["changes"]["settingsWritten"], nullptr);

    // Both runs, each unit's rows in order, whatever the order the units ended in.
    const CsvFile file = ReadCsv(records);
    std::map<std::string, std::vector<std::string>> rows;
    for (const auto& row : file.rows) {
        rows[row.at("Port")].push_back(row.at("Operation") + " " + row.at("Result") + " " +
                                       row.at("IMEI"));
        EXPECT_EQ(row.at("Failure").empty(), row.at("Result") == "OK");
        EXPECT_EQ(row.at("Tool version"), SENDIBOX_VERSION);
    }
    for (const auto& [port, number] : imei) {
        const std::string connect = std::string("Connect OK ") + number;
        const std::string reset = std::string("Reset Unit OK ") + number;
        EXPECT_EQ(rows[port], (Strings{connect, reset, connect, reset})) << port;
    }
    EXPECT_EQ(rows[missing], (Strings{"Connect FAILED ", "Connect FAILED "}));
    EXPECT_EQ(rows.size(), 3u);
}

}  // namespace
