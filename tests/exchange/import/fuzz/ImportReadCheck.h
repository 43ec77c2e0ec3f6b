#pragma once

// What must hold for the import reader whatever bytes it is given: it ends, and what it gives
// is either a refusal with a row or rows whose cells hold no refused control character and no
// surrounding blanks; the quick looks at the bytes agree with the full read; and a file read
// record by record from its bytes gives what its text read whole gives (the way a two-byte file
// is read). Shared by the fuzz target and the test that replays its corpus.
#include "exchange/import/ImportText.h"
#include "grid/PlainText.h"

#include <QStringDecoder>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace wl::fuzz {

// The same text as UTF-16 with its byte-order mark.
inline QByteArray asUtf16(const QString& text)
{
    QByteArray bytes("\xFF\xFE");
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

inline void checkWholeTextReadsAlike(const QByteArray& bytes, const ImportRead& read)
{
    if (!QByteArrayView(bytes).isValidUtf8() || bytes.startsWith("\xFF\xFE") ||
        bytes.startsWith("\xFE\xFF"))
        return;
    const QString text = PlainText::decode(bytes);
    if (text.contains(QChar(0xFEFF)))
        return; // byte-order marks that begin records go, which the whole text keeps
    const ImportRead whole = ImportText::read(asUtf16(text));
    if (whole.rows != read.rows || whole.badRow != read.badRow || whole.badCode != read.badCode ||
        whole.separator != read.separator)
        std::abort();
}

// The rows a UTF-8 read hands over, decoded again (a byte-order mark that begins a cell stays).
class CollectedRows : public ImportText::Utf8Sink
{
public:
    std::vector<QStringList> rows;
    void cell(std::string_view text) override
    {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        row_ << QString(decoder(QByteArrayView(text.data(), qsizetype(text.size()))));
    }
    void endRow() override { rows.push_back(std::exchange(row_, {})); }

private:
    QStringList row_;
};

// Cell for cell what the text read gives, or the same refusal.
inline ImportRead readAsUtf8(const QByteArray& bytes, std::vector<QStringList>* rows)
{
    CollectedRows collected;
    const ImportRead read = ImportText::streamUtf8(bytes, collected);
    *rows = std::move(collected.rows);
    return read;
}

inline void checkUtf8ReadsAlike(const QByteArray& bytes, const ImportRead& read)
{
    std::vector<QStringList> rows;
    const ImportRead utf8 = readAsUtf8(bytes, &rows);
    if (utf8.badRow != read.badRow || utf8.badCode != read.badCode ||
        utf8.separator != read.separator || (read.badRow == 0 && rows != read.rows))
        std::abort();
}

inline void checkImportRead(const QByteArray& bytes)
{
    const ImportRead read = ImportText::read(bytes);
    checkUtf8ReadsAlike(bytes, read);
    // The import window trusts both looks when mayRefuse is false (two-byte files are always
    // read whole first: a cut-off last letter there makes no text at all).
    if (!ImportText::mayRefuse(bytes) &&
        (read.badRow != 0 || ImportText::holdsText(bytes) == read.rows.empty()))
        std::abort();
    checkWholeTextReadsAlike(bytes, read);
    if (read.badRow != 0) {
        if (!read.rows.empty() || read.badRow < 0)
            std::abort();
        return;
    }
    for (const QStringList& row : read.rows) {
        if (row.isEmpty())
            std::abort();
        for (const QString& cell : row) {
            if (cell != cell.trimmed() && !cell.startsWith(u'\''))
                std::abort();
            for (QChar c : cell) {
                if ((c.unicode() < 32 && c != u'\t' && c != u'\r' && c != u'\n') ||
                    c.unicode() == 0x7F)
                    std::abort();
            }
        }
    }
}

} // namespace wl::fuzz
