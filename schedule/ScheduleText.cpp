#include "schedule/ScheduleText.h"

#include "grid/CodePage1252.h"

#include <QStringDecoder>

namespace wl::schedule {

namespace {

bool isAscii(const QByteArray& bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

QString ScheduleText::decode(const QByteArray& bytes)
{
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    if (!isAscii(body)) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString text = utf8(body);
        if (!utf8.hasError())
            return text;
    }
    return CodePage1252::decode(body);
}

} // namespace wl::schedule
