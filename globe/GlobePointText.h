#pragma once

#include "globe/GlobeText.h"

namespace wl {

// A dot at a position with its label to the right of it.
class GlobePointText : public GlobeText
{
public:
    using GlobeText::GlobeText;

    static GlobePointText& create(ObjectLayer& layer, std::int32_t lat, std::int32_t lon,
                                  const std::string& title);
    // The same with a font of the layer already found, for the many labels of one font
    // a caller adds at once: no search of the layer's attributes for each.
    static GlobePointText& create(ObjectLayer& layer, std::int32_t lat, std::int32_t lon,
                                  std::string&& title, GlobeFont& font);

    std::int32_t pointSize = 0; // 0: a third of the font height

    std::string className() const override { return "TGlobePointText"; }
    void draw(RenderContext& ctx) override;
    GlobeObject& clone() const override;
    void updateBounds() override;

protected:
    int defaultLabelRank() const override { return 0; }
};

} // namespace wl
