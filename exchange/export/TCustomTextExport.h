#pragma once

#include "exchange/export/TCustomShellViewExport.h"

#include <QSaveFile>

#include <memory>

namespace wl {

// A writer of a text file with CR LF line ends. The text is written in the single-byte code
// page (CodePage1252) that older readers expect; when a text holds a character the code page
// lacks, the file is started again as UTF-8 with a byte-order mark, so no character is lost.
// The file is written under a temporary name beside the target and replaces it only when the
// export completed, so a failed or stopped export leaves an earlier file as it was.
class TCustomTextExport : public TCustomShellViewExport
{
public:
    TCustomTextExport(TExportComponent& component, TExportType type, const QString& fileName);
    ~TCustomTextExport() override;

protected:
    // Writes text as it stands; throws ExportError when the file cannot take it, ExportRestart
    // when the file has been started again in UTF-8. Bytes are gathered in a block before they
    // go to the file, so a write error may be reported by a later write or at the end.
    void write(QStringView text);
    void writeLine(const QString& text) { write(text + QStringLiteral("\r\n")); }
    void writeBytes(const QByteArray& bytes);
    // The bytes of a text in the file's encoding (for writers that keep part of the file
    // elsewhere first); may throw ExportRestart as write does.
    QByteArray encode(const QString& text);
    // True once the file is UTF-8.
    bool Unicode() const { return unicode_; }
    // Writes the file in UTF-8 from its start, without a byte-order mark: for a format whose
    // readers know it by its first bytes. Called before anything is written.
    void UseUnicodeWithoutMark() { unicode_ = true; }
    // The file starts again in UTF-8: a writer drops whatever it keeps of the earlier pass.
    virtual void RestartWriting() {}
    // False for formats whose readers take no UTF-8 file: their text stays single-byte, and
    // the user is told afterwards how many texts lost characters.
    virtual bool TakesUnicode() const { return true; }
    void Finish() override;
    void Complete() override;
    void ReportFailure(const QString& error) override;

private:
    void openTarget();
    [[noreturn]] void restartInUnicode();
    void flush();

    std::unique_ptr<QSaveFile> file_;
    QByteArray pending_; // bytes not yet handed to the file
    bool unicode_ = false;
    int lossyTexts_ = 0;
};

} // namespace wl
