#include "map/MapImageFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSaveFile>

#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>
#include <vector>

namespace wl {

namespace {

// libjpeg reports fatal errors through a callback that must not return; it jumps back here.
struct JpegError
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void onJpegError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

// Compresses the rows of an RGB888 image into a buffer that libjpeg allocates.
bool compress(const QImage& rgb, int quality, unsigned char*& out, unsigned long& size)
{
    jpeg_compress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = onJpegError;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(rgb.width());
    info.image_height = static_cast<JDIMENSION>(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

QByteArray MapImageFile::encodeJpeg(const QImage& image, int quality)
{
    if (image.isNull())
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const bool ok = compress(rgb, quality, out, size);
    QByteArray bytes;
    if (ok && out)
        bytes = QByteArray(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
    std::free(out);
    return bytes;
}

QByteArray MapImageFile::encodeBitmap(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP"))
        return {};
    return bytes;
}

QByteArray MapImageFile::encodePng(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

std::optional<MapImageFile::Format> MapImageFile::formatOfName(const QString& path)
{
    const QString ending = QFileInfo(path).suffix().toLower();
    if (ending == QLatin1String("png"))
        return Format::Png;
    if (ending == QLatin1String("jpg") || ending == QLatin1String("jpeg"))
        return Format::Jpeg;
    if (ending == QLatin1String("bmp"))
        return Format::Bitmap;
    return std::nullopt;
}

MapImageFile::Format MapImageFile::formatFor(const QString& selectedFilter, const QString& path)
{
    if (selectedFilter.contains(QStringLiteral("*.bmp"), Qt::CaseInsensitive))
        return Format::Bitmap;
    if (selectedFilter.contains(QStringLiteral("*.jpg"), Qt::CaseInsensitive))
        return Format::Jpeg;
    return QFileInfo(path).suffix().compare(QStringLiteral("bmp"), Qt::CaseInsensitive) == 0
               ? Format::Bitmap
               : Format::Jpeg;
}

bool MapImageFile::save(const QImage& image, Format format, const QString& path, QString& error)
{
    const QByteArray bytes = format == Format::Jpeg  ? encodeJpeg(image)
                             : format == Format::Png ? encodePng(image)
                                                     : encodeBitmap(image);
    if (bytes.isEmpty()) {
        error = QStringLiteral("The picture could not be encoded.");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool MapImageFile::print(QPagedPaintDevice& device, const QImage& image, const QString& dateText)
{
    device.setPageOrientation(QPageLayout::Landscape);
    const int dpiX = device.logicalDpiX();
    const int dpiY = device.logicalDpiY();
    QPainter p;
    if (!p.begin(&device))
        return false;
    // Places are measured from the paper's corner; the painter starts at the printable area.
    p.translate(-device.pageLayout().paintRectPixels(dpiX).topLeft());
    const int top = qRound(2.0 * dpiY);
    const int bottom = qRound(5.5 * dpiY) + top;

    QFont title(QStringLiteral("Arial"));
    title.setPointSize(20);
    p.setFont(QFont(title, &device));
    p.setPen(Qt::black);
    const QString caption = QStringLiteral("Wavelark");
    const int x = dpiX * 11 / 2 - p.fontMetrics().horizontalAdvance(caption) / 2;
    p.drawText(x, qRound(0.75 * dpiY) + p.fontMetrics().ascent(), caption);

    p.drawImage(QRect(QPoint(dpiX, top), QPoint(10 * dpiX, bottom)), image);

    QFont small(QStringLiteral("Arial"));
    small.setPointSize(8);
    p.setFont(QFont(small, &device));
    p.drawText(8 * dpiX, 8 * dpiY + p.fontMetrics().ascent(),
               QStringLiteral("Printed ") + dateText);
    return p.end();
}

} // namespace wl
