#pragma once

#include "exchange/import/formats/ImportFormats.h"

namespace wl {

// The channel lists of radio programming tools: one channel a row under the headings
// Location, Name, Frequency (MHz), Duplex, Offset, Tone, rToneFreq, cToneFreq, DtcsCode, Mode,
// Comment and more. Name becomes the call sign, Comment the notes, the mode and the tone the
// optional field, a "+" or "-" duplex the modifier (its offset goes into the notes).
class ChannelCsvReader
{
public:
    static FormatImport read(const QByteArray& bytes, const QDate& today);
    // The modes the channel lists write; any other is kept as written and remarked on.
    static bool knownMode(const QString& mode);
};

} // namespace wl
