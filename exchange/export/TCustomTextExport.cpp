#include "exchange/export/TCustomTextExport.h"

#include "exchange/export/ExportError.h"
#include "exchange/export/ExportMessages.h"
#include "grid/CodePage1252.h"

namespace wl {

namespace {

// Bytes gathered before they go to the file: large enough that a million short lines cost a
// few hundred writes, small enough to stay in the processor's cache.
constexpr qsizetype BlockSize = 256 * 1024;

} // namespace

TCustomTextExport::TCustomTextExport(TExportComponent& component, TExportType type,
                                     const QString& fileName)
    : TCustomShellViewExport(component, type, fileName)
{
    openTarget();
}

TCustomTextExport::~TCustomTextExport() = default;

void TCustomTextExport::openTarget()
{
    file_ = std::make_unique<QSaveFile>(TargetFile());
    if (!file_->open(QIODevice::WriteOnly))
        throw ExportError(file_->errorString());
}

QByteArray TCustomTextExport::encode(const QString& text)
{
    if (unicode_)
        return text.toUtf8();
    bool lossless = true;
    QByteArray bytes = CodePage1252::encode(text, &lossless);
    if (!lossless) {
        if (TakesUnicode())
            restartInUnicode();
        ++lossyTexts_;
    }
    return bytes;
}

void TCustomTextExport::Finish()
{
    if (Succeeded() && lossyTexts_ > 0)
        Host().message(ExportMessageKind::Warning, ExportMessages::CellsChanged(0, lossyTexts_));
    TCustomShellViewExport::Finish();
}

// What was written so far is thrown away unsaved; the byte-order mark tells readers the
// encoding, as the file carries no other mark of it.
void TCustomTextExport::restartInUnicode()
{
    file_->cancelWriting();
    file_.reset();
    pending_.clear();
    unicode_ = true;
    openTarget();
    writeBytes(QByteArrayLiteral("\xEF\xBB\xBF"));
    RestartWriting();
    throw ExportRestart();
}

// Most texts are plain ASCII, whose bytes are the same in both encodings: they go straight into
// the block without a copy of their own.
void TCustomTextExport::write(QStringView text)
{
    const qsizetype start = pending_.size();
    pending_.resize(start + text.size());
    char* out = pending_.data() + start;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            pending_.truncate(start);
            pending_ += unicode_ ? text.toUtf8() : encode(text.toString());
            break;
        }
        *out++ = char(c.unicode());
    }
    if (pending_.size() >= BlockSize)
        flush();
}

void TCustomTextExport::writeBytes(const QByteArray& bytes)
{
    pending_ += bytes;
    if (pending_.size() >= BlockSize)
        flush();
}

void TCustomTextExport::flush()
{
    if (file_->write(pending_) != pending_.size())
        throw ExportError(file_->errorString());
    pending_.resize(0); // keeps the block's memory for the next one
}

void TCustomTextExport::Complete()
{
    flush();
    if (!file_->commit())
        throw ExportError(file_->errorString());
}

void TCustomTextExport::ReportFailure(const QString&)
{
    Host().message(ExportMessageKind::Error, ExportMessages::WriteFailed());
}

} // namespace wl
