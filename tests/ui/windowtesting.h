#pragma once

#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/mainform.h"

// The main window on a temporary program folder holding `languages` (and whatever settings a
// test writes there), offered the serial ports a test names.
class WindowTest : public ::testing::Test {
protected:
    explicit WindowTest(std::string languages) : languages(std::move(languages)) {}

    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        programFolder = folder.path().toStdString() + "/";
        std::ofstream(programFolder + "languages.txt", std::ios::binary) << languages;
    }

    TMainForm& Create(const std::string& startPort = {}) {
        TMainFormEnvironment environment;
        environment.dataFolders = {programFolder};
        environment.configFolder = programFolder;
        environment.listPorts = [this](std::vector<std::string>& list) {
            list.insert(list.end(), ports.begin(), ports.end());
        };
        environment.canOpen = [this](const std::string& name) { return name == openable; };
        environment.startPort = startPort;
        environment.openFolder = [this](const std::string& opened) {
            openedFolders.push_back(opened);
            return true;
        };
        form = std::make_unique<TMainForm>(environment);
        return *form;
    }

    TMainForm& Show(const std::string& startPort = {}) {
        Create(startPort);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return *form;
    }

    std::string languages;
    QTemporaryDir folder;
    std::string programFolder;
    std::vector<std::string> ports = {"ttyS0", "ttyUSB0", "ttyUSB1"};
    std::string openable;
    // What the window asked the desktop to open.
    std::vector<std::string> openedFolders;
    std::unique_ptr<TMainForm> form;
};
