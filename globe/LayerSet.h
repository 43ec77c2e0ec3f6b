#pragma once

#include "globe/GlobeLayer.h"
#include "globe/IniFile.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace wl {

class GlobeHost;
class LayerHost;

// The control's layers in drawing order and the profile they came from.
class LayerSet
{
public:
    // Shows a failing layer's message while a profile opens; the layer is then dropped.
    using Warning = std::function<void(const std::string& message)>;

    LayerSet(GlobeHost& host, LayerHost& layerHost) : m_host(host), m_layerHost(layerHost) {}
    ~LayerSet();
    LayerSet(const LayerSet&) = delete;
    LayerSet& operator=(const LayerSet&) = delete;

    int count() const { return static_cast<int>(m_layers.size()); }
    GlobeLayer* layer(int index) const;
    int indexOf(const GlobeLayer& layer) const;
    GlobeLayer& addLayer(const std::string& name = {});
    void removeLayer(GlobeLayer& layer);
    // Frees every layer and closes the profile.
    void clear();

    const IniFile* profile() const { return m_profile ? &*m_profile : nullptr; }
    // The open profile's file name, or empty.
    std::string profileName() const;
    // Opens the profile and attaches its layers; a name without a folder is taken from
    // programDir. A layer that fails to load is reported through the warning and dropped.
    void openProfile(const std::string& name, const std::string& programDir,
                     const std::string& dataDirectory, const Warning& warning);
    // Writes the layer list and each layer's settings into the open profile's file.
    void saveProfile();

private:
    std::string layerPath(const std::string& entry) const;
    std::string listEntry(const GlobeLayer& layer) const;

    GlobeHost& m_host;
    LayerHost& m_layerHost;
    std::vector<std::unique_ptr<GlobeLayer>> m_layers;
    std::optional<IniFile> m_profile;
    std::string m_profileName;
    std::string m_profileDir;
    std::string m_dataDir; // layers named without a folder live here
};

} // namespace wl
