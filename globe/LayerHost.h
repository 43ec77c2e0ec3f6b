#pragma once

#include <string>

namespace wl {

class GlobeClassRegistry;
class GlobeObject;
class IniFile;

// What a layer needs from the control beyond what its objects need: the profile and data
// folder, progress reports, the selection, the render hooks and the busy cursor.
class LayerHost
{
public:
    virtual ~LayerHost() = default;

    // Progress types: 1 a layer file is attached, 0 objects read, 2 attaching is complete.
    virtual void progress(int type, const std::string& text) = 0;
    virtual const IniFile* profile() const = 0;
    virtual std::string dataDirectory() const = 0;
    virtual bool hasSurface() const = 0;
    virtual GlobeObject* selectedObject() const = 0;
    // Empties the selection and raises the selection event.
    virtual void clearSelectedObject() = 0;
    // The control's attribute hook for an object; true when it set the attributes itself.
    virtual bool renderAttributes(GlobeObject& object) = 0;
    // Shows the half-finished picture of a long render.
    virtual bool periodicUpdate() const = 0;
    virtual void showProgressPicture() = 0;
    // The classes layer files may hold; nullptr for the built-in ones.
    virtual const GlobeClassRegistry* classRegistry() const { return nullptr; }
    virtual void beginBusy() {}
    virtual void endBusy() {}
    // A layer was added to or removed from the set.
    virtual void layersChanged() {}
};

// Shows the busy cursor for the life of a scope, also when a failure leaves it.
class BusyScope
{
public:
    explicit BusyScope(LayerHost& host) : m_host(host) { m_host.beginBusy(); }
    ~BusyScope() { m_host.endBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    LayerHost& m_host;
};

} // namespace wl
