#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

class QPagedPaintDevice;

namespace wl {

// The map's output: the rendered picture as a JPEG or bitmap file, and on paper.
class MapImageFile
{
public:
    enum class Format
    {
        Jpeg,
        Bitmap,
        Png
    };

    // 24-bit baseline JPEG data; empty when the encoder failed.
    static QByteArray encodeJpeg(const QImage& image, int quality = 90);
    static QByteArray encodeBitmap(const QImage& image);
    static QByteArray encodePng(const QImage& image);
    // Replaces the file in one step, so a failure leaves any earlier file untouched. On
    // failure error holds the reason.
    static bool save(const QImage& image, Format format, const QString& path, QString& error);
    // The format the save dialog's choice stands for: the filter text, else the file's ending.
    static Format formatFor(const QString& selectedFilter, const QString& path);
    // The format a file's ending names (".png", ".jpg" or ".jpeg", ".bmp", in any case);
    // none for another ending.
    static std::optional<Format> formatOfName(const QString& path);

    // Prints the picture on a landscape page (a printer or a PDF file): the title above it,
    // the picture stretched from 1 to 10 inches across and 2 to 7.5 inches down, and
    // "Printed <date>" near the bottom right. False when the device could not be started.
    static bool print(QPagedPaintDevice& device, const QImage& image, const QString& dateText);
};

} // namespace wl
