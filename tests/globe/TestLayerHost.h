#pragma once

// The control stand-in for layer tests: the object host plus what layers ask of the control,
// with the progress reports and warnings it received.
#include "TestGlobeHost.h"

#include "globe/LayerHost.h"
#include "globe/LayerSet.h"

#include <string>
#include <utility>
#include <vector>

class TestLayerHost : public TestGlobeHost, public wl::LayerHost
{
public:
    TestLayerHost() : layers(*this, *this) {}

    void progress(int type, const std::string& text) override
    {
        progressReports.emplace_back(type, text);
    }
    const wl::IniFile* profile() const override { return layers.profile(); }
    std::string dataDirectory() const override { return dataDir; }
    bool hasSurface() const override { return true; }
    wl::GlobeObject* selectedObject() const override
    {
        return selection.empty() ? nullptr : selection.front();
    }
    void clearSelectedObject() override
    {
        for (wl::GlobeObject* o : selection)
            o->setSelected(false);
        selection.clear();
    }
    bool renderAttributes(wl::GlobeObject&) override { return false; }
    bool periodicUpdate() const override { return false; }
    void showProgressPicture() override {}

    void openProfile(const std::string& path)
    {
        layers.openProfile(path, {}, dataDir,
                           [this](const std::string& m) { warnings.push_back(m); });
    }

    std::string dataDir;
    wl::LayerSet layers;
    std::vector<std::pair<int, std::string>> progressReports;
    std::vector<std::string> warnings;
};
