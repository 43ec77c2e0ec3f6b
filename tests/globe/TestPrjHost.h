#pragma once

#include "globe/PrjHost.h"

// A surface of fixed size for the projection tests; counts the redraw requests.
class TestPrjHost : public wl::PrjHost
{
public:
    int width = 800;
    int height = 600;
    int ppi = 96;
    int viewChanges = 0;

    int surfaceWidth() const override { return width; }
    int surfaceHeight() const override { return height; }
    int surfacePixelsPerInch() const override { return ppi; }
    void viewChanged() override { ++viewChanges; }
};
