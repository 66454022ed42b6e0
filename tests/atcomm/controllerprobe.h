#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/controllerbase.h"

// Records what a controller shows the GUI thread: the description key it asks for and every
// progress record it hands over.
struct ControllerProbe {
    struct Progress {
        std::string name;
        int32_t position;
        int32_t maximum;
    };

    void Watch(CControllerBase& controller) {
        controller.OnGetDescription = [this](const std::string& id, std::string& description) {
            keys.push_back(id);
            defaultDescriptions.push_back(description);
        };
        controller.OnProgress = [this](const std::string& id, const CProgressInfo& info) {
            progress.push_back({id, info.GetPosition(), info.GetMaximum()});
        };
    }

    std::vector<int32_t> Positions() const {
        std::vector<int32_t> positions;
        for (const Progress& p : progress) {
            positions.push_back(p.position);
        }
        return positions;
    }

    std::vector<std::string> keys;
    std::vector<std::string> defaultDescriptions;
    std::vector<Progress> progress;
};
