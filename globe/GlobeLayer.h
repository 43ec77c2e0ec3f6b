#pragma once

#include "globe/GlobeUnits.h"
#include "globe/ObjectLayer.h"

#include <cstdint>
#include <string>

namespace wl {

class GlobeObject;
class LayerHost;
struct RenderContext;

// A named layer of the control: its flags and zoom range, its data file (read when attached,
// at the first render or on entering the zoom range) and its rendering.
class GlobeLayer : public ObjectLayer
{
public:
    enum Flag
    {
        FlagEnabled,
        FlagVisible,
        FlagAnimated,
        FlagScaleFont,
        FlagLoadOnDemand,
    };

    GlobeLayer(GlobeHost& host, LayerHost& layerHost);
    ~GlobeLayer() override;

    bool visible = true;
    bool enabled = true;
    bool loadOnDemand = false;
    int dataFormat = 1; // 0: arc minutes as int16; 1: GU as int32
    std::int32_t zoomMin = 0;
    std::int32_t zoomMax = 0;
    GlobeUnits zoomUnits = GlobeUnits::NauticalMile;

    const std::string& name() const { return m_name; }
    void setName(const std::string& name) { m_name = name; }
    const std::string& fileName() const { return m_fileName; }
    // Ends in a folder separator unless empty.
    const std::string& directory() const { return m_directory; }

    void setLayerFlag(int index, bool value);
    bool layerFlag(int index) const;

    // Defaults, no file, no objects; the name and folder stay.
    void reset();
    // Leaves the selection first when the selected object is in this layer, then frees
    // every object and attribute.
    void unload();
    // Reads the data file; throws GlobeException when it is missing or damaged, keeping
    // the objects read before the damage.
    void loadObjects();
    // Attaches a data file: settings from the profile section named after the file, then the
    // objects unless they load on demand.
    void loadFromFile(const std::string& path);
    // Writes the current file version atomically; the previous file survives a failure.
    void saveToFile(const std::string& path);

    void updateExtent();
    bool isVisibleNow();
    // rerender: the view or surface changed; redraw: the picture is to be rebuilt.
    void render(RenderContext& ctx, bool rerender, bool redraw);
    // Forgets the on-screen answers, as after a change of view.
    void invalidateScreenTests() { m_screenTestsValid = false; }

    GlobeObject* objectAt(std::int32_t lon, std::int32_t lat);
    GlobeObject* selectableObjectAt(int x, int y);
    GlobeObject* findByTitle(const std::string& title, const GlobeObject* after) const;
    GlobeObject* findByObjectID(std::int32_t id, const GlobeObject* after) const;
    GlobeObject* findByRowID(std::int32_t id, const GlobeObject* after) const;
    // Points the object's attribute references at equal attributes of this layer.
    void adoptAttributes(GlobeObject& object);

private:
    template <class Match> GlobeObject* findFrom(const GlobeObject* after, Match match) const;
    void readProfileSection();

    LayerHost* m_layerHost;
    // The objects' on-screen bits answer for the current view (cleared by a rerender).
    bool m_screenTestsValid = false;
    std::string m_name;
    std::string m_fileName;
    std::string m_directory;
};

// "a/b/c.ext" -> "a/b/"; either separator counts, so profiles written elsewhere still work.
std::string folderOf(const std::string& path);
std::string withoutFolder(const std::string& path);
std::string withTrailingSeparator(const std::string& folder);

} // namespace wl
