#include "exchange/export/TCustomTextExport.h"

#include "exchange/export/ExportError.h"
#include "exchange/export/ExportMessages.h"
#include "grid/CodePage1252.h"

namespace wl {

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
    unicode_ = true;
    openTarget();
    writeBytes(QByteArrayLiteral("\xEF\xBB\xBF"));
    RestartWriting();
    throw ExportRestart();
}

void TCustomTextExport::write(const QString& text)
{
    writeBytes(encode(text));
}

void TCustomTextExport::writeBytes(const QByteArray& bytes)
{
    if (file_->write(bytes) != bytes.size())
        throw ExportError(file_->errorString());
}

void TCustomTextExport::Complete()
{
    if (!file_->commit())
        throw ExportError(file_->errorString());
}

void TCustomTextExport::ReportFailure(const QString&)
{
    Host().message(ExportMessageKind::Error, ExportMessages::WriteFailed());
}

} // namespace wl
