#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace wl {

class GlobeClassRegistry;
class ObjectLayer;

// The layer file: a six-byte header (version 514, 528 or 544; data format; a spare word)
// and blocks of records, each headed by its count, class name and, from 528 on, class
// version. Reading checks every byte against the end of the data.
class LayerFile
{
public:
    // Called with the number of objects read so far, every 1000 objects.
    using Progress = std::function<void(int objects)>;

    // Reads the records into the layer's objects and attributes and returns the data format
    // (0 for version 514, which stores arc minutes). Throws GlobeException on a bad header,
    // an unknown class or a damaged record; the records read before the damage stay in the
    // layer, the damaged one does not. Classes are looked up in the registry given, else in
    // the built-in one.
    static int read(std::span<const std::uint8_t> data, ObjectLayer& layer,
                    const std::string& fileName, const Progress& progress = {},
                    const GlobeClassRegistry* registry = nullptr);

    // Sorts the layer's attributes by class, frees those no object refers to and writes the
    // current version, one block per registered class in registry order. Throws
    // GlobeException for a data format other than 0 or 1 and for a record of a class the
    // registry does not know.
    static std::vector<std::uint8_t> write(ObjectLayer& layer, int dataFormat,
                                           const GlobeClassRegistry* registry = nullptr);

    // The attribute order the writer needs so the index of each attribute matches its place
    // in the file: a comb sort by class name.
    static void sortAttributes(ObjectLayer& layer);
};

} // namespace wl
