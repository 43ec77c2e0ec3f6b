#include "globe/LayerSet.h"

#include "globe/GlobeException.h"
#include "globe/GlobeHost.h"
#include "globe/LayerHost.h"

namespace wl {

namespace {

constexpr int MaxLayerKey = 32767;
const char* const GlobalSection = "Global Settings";
const char* const LayerListSection = "LayerList";

bool isAbsolute(const std::string& path)
{
    return path.starts_with('/') || path.starts_with('\\') || (path.size() > 1 && path[1] == ':');
}

} // namespace

LayerSet::~LayerSet()
{
    m_layers.clear();
}

GlobeLayer* LayerSet::layer(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return m_layers[index].get();
}

int LayerSet::indexOf(const GlobeLayer& layer) const
{
    for (int i = 0; i < count(); ++i) {
        if (m_layers[i].get() == &layer)
            return i;
    }
    return -1;
}

GlobeLayer& LayerSet::addLayer(const std::string& name)
{
    m_layers.push_back(std::make_unique<GlobeLayer>(m_host, m_layerHost));
    m_layers.back()->setName(name);
    m_layerHost.layersChanged();
    return *m_layers.back();
}

void LayerSet::removeLayer(GlobeLayer& layer)
{
    const int i = indexOf(layer);
    if (i < 0)
        return;
    std::unique_ptr<GlobeLayer> gone = std::move(m_layers[i]);
    m_layers.erase(m_layers.begin() + i);
    gone.reset();
    m_layerHost.layersChanged();
    m_host.redraw();
}

void LayerSet::clear()
{
    while (!m_layers.empty())
        removeLayer(*m_layers.back());
    m_profile.reset();
    m_profileName.clear();
    m_profileDir.clear();
    m_dataDir.clear();
}

std::string LayerSet::profileName() const
{
    return m_profileName;
}

void LayerSet::openProfile(const std::string& name, const std::string& programDir,
                           const std::string& dataDirectory, const Warning& warning)
{
    if (name == m_profileName && !name.empty())
        return;
    clear();
    if (name.empty())
        return;
    BusyScope busy(m_layerHost);
    const std::string folder = folderOf(name);
    m_profileDir = withTrailingSeparator(folder.empty() ? programDir : folder);
    m_profile.emplace(m_profileDir + withoutFolder(name));
    m_profileName = name;
    m_dataDir =
        withTrailingSeparator(m_profile->readString(GlobalSection, "DataDirectory", dataDirectory));
    for (int i = 0; i <= MaxLayerKey; ++i) {
        const std::string value = m_profile->readString(LayerListSection, std::to_string(i), {});
        if (value.empty())
            break;
        GlobeLayer& layer = addLayer();
        try {
            layer.loadFromFile(layerPath(value));
        } catch (const GlobeException& e) {
            if (warning)
                warning(e.what());
            removeLayer(layer);
        }
    }
}

std::string LayerSet::layerPath(const std::string& entry) const
{
    if (folderOf(entry).empty())
        return m_dataDir + entry;
    return isAbsolute(entry) ? entry : m_profileDir + entry;
}

std::string LayerSet::listEntry(const GlobeLayer& layer) const
{
    // A bare name for the data folder, else a path the next open resolves the same way.
    const std::string path = layer.directory() + withoutFolder(layer.fileName());
    if (layer.directory() == m_dataDir)
        return withoutFolder(layer.fileName());
    if (!m_profileDir.empty() && path.starts_with(m_profileDir) &&
        !folderOf(path.substr(m_profileDir.size())).empty())
        return path.substr(m_profileDir.size());
    return path;
}

void LayerSet::saveProfile()
{
    if (!m_profile)
        throw GlobeException("TGlobeControl.SaveProfile: ProfileName not specified");
    m_profile->eraseSection(LayerListSection);
    int n = 0;
    for (const auto& layer : m_layers) {
        if (layer->fileName().empty())
            continue;
        m_profile->writeString(LayerListSection, std::to_string(n), listEntry(*layer));
        const std::string section = withoutFolder(layer->fileName());
        m_profile->writeString(section, "Name", layer->name());
        m_profile->writeBool(section, "Enabled", layer->enabled);
        m_profile->writeBool(section, "Visible", layer->visible);
        m_profile->writeBool(section, "Animated", layer->animated);
        m_profile->writeBool(section, "LoadOnDemand", layer->loadOnDemand);
        m_profile->writeString(section, "ZoomUnits", unitsToStr(layer->zoomUnits));
        m_profile->writeInt(section, "ZoomMin", layer->zoomMin);
        m_profile->writeInt(section, "ZoomMax", layer->zoomMax);
        m_profile->writeInt(section, "MaxFontHeight", layer->maxFontHeight);
        ++n;
    }
    m_profile->save();
}

} // namespace wl
