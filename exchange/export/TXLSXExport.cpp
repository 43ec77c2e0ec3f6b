#include "exchange/export/TXLSXExport.h"

#include "exchange/export/ExportError.h"
#include "exchange/export/ExportMessages.h"
#include "exchange/export/ExportText.h"
#include "exchange/export/TExportComponent.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <filesystem>
#include <utility>

namespace wl {

struct TXLSXExport::Book
{
    QByteArray tempDir;
    QByteArray title;
    QByteArray comments;
    lxw_workbook* workbook = nullptr;
    lxw_worksheet* sheet = nullptr;
    lxw_format* bold = nullptr;

    ~Book()
    {
        // A workbook not closed on purpose is closed here so the library frees it; its file is
        // the temporary one, removed by the writer.
        if (workbook)
            workbook_close(workbook);
    }
};

namespace {

void check(lxw_error error)
{
    if (error != LXW_NO_ERROR)
        throw ExportError(QString::fromUtf8(lxw_strerror(error)));
}

// Most cells hold no control characters; those need no cleaned copy before their conversion.
bool hasControlChars(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 32; });
}

} // namespace

TXLSXExport::TXLSXExport(TExportComponent& component, TExportType type, const QString& fileName)
    : TCustomShellViewExport(component, type, fileName), book_(std::make_unique<Book>())
{
    // A new name beside the target, freed again: the library creates the file itself at the
    // end, with the permissions any new file of the user gets.
    const QFileInfo target(TargetFile());
    {
        QTemporaryFile part(target.absolutePath() + QStringLiteral("/.") +
                            target.completeBaseName() + QStringLiteral("-XXXXXX.xlsx.part"));
        if (!part.open())
            throw ExportError(part.errorString());
        partFile_ = part.fileName();
    }

    book_->tempDir = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = book_->tempDir.data();
    options.use_zip64 = LXW_TRUE;
    book_->workbook = workbook_new_opt(QFile::encodeName(partFile_).constData(), &options);
    if (!book_->workbook)
        throw ExportError(QStringLiteral("The workbook could not be made."));
    book_->sheet = workbook_add_worksheet(book_->workbook, nullptr);
    book_->bold = workbook_add_format(book_->workbook);
    if (!book_->sheet || !book_->bold)
        throw ExportError(QStringLiteral("The workbook could not be made."));
    format_set_bold(book_->bold);
}

TXLSXExport::~TXLSXExport()
{
    book_.reset();
    if (!partFile_.isEmpty())
        QFile::remove(partFile_);
}

void TXLSXExport::BeginExport(const QStringList& columns)
{
    TCustomShellViewExport::BeginExport(columns);
    firstItemRow_ = HasOption(ShowColHeaders) ? 1 : 0;
    const int fit = LastRow + 1 - firstItemRow_;
    if (Component().TotalItems() > fit &&
        !Host().confirm(ExportMessageKind::Warning,
                        ExportMessages::RowLimit(Type(), fit, Component().TotalItems())))
        throw ExportCancelled();
    if (HasOption(ShowColHeaders))
        writeRow(0, columns, true);
}

void TXLSXExport::WriteItem(const QStringList& cells, int itemNumber)
{
    TCustomShellViewExport::WriteItem(cells, itemNumber);
    writeRow(firstItemRow_ + itemNumber - 1, cells, false);
}

void TXLSXExport::writeRow(int row, const QStringList& cells, bool header)
{
    if (row > LastRow)
        return;
    const int columns = std::min(int(cells.size()), LXW_COL_MAX);
    for (int col = 0; col < columns; ++col) {
        const QString& text = cells[col];
        if (!header && CellKind(col, text) == TCellKind::Number) {
            if (text.trimmed().isEmpty())
                continue;
            const std::optional<double> value = Locale().parseNumber(text);
            if (!value)
                throw ExportError(QStringLiteral("\"%1\" is not a number.").arg(text));
            check(worksheet_write_number(book_->sheet, lxw_row_t(row), lxw_col_t(col), *value,
                                         nullptr));
        } else if (!text.isEmpty()) {
            const QByteArray utf8 =
                hasControlChars(text) ? ExportText::KeepBreaks(text).toUtf8() : text.toUtf8();
            check(worksheet_write_string(book_->sheet, lxw_row_t(row), lxw_col_t(col),
                                         utf8.constData(), header ? book_->bold : nullptr));
        }
    }
}

void TXLSXExport::EndExport()
{
    TCustomShellViewExport::EndExport();
    const QStringList footer = Component().FormattedFooter();
    if (!footer.join(QString()).trimmed().isEmpty()) {
        int row = firstItemRow_ + Component().ExportedCount() + 1;
        for (const QString& line : footer)
            writeRow(row++, {line}, true);
    }
    const std::vector<int>& widths = MaxWidths();
    for (std::size_t i = 0; i < widths.size() && int(i) < LXW_COL_MAX; ++i) {
        const double width = std::min(widths[i] + 2, 255);
        worksheet_set_column(book_->sheet, lxw_col_t(i), lxw_col_t(i), width, nullptr);
    }
    book_->title = Component().Title().toUtf8();
    book_->comments = HasOption(TimeStamp) ? TimeStampText().toUtf8() : QByteArray();
    lxw_doc_properties properties{};
    properties.title = book_->title.data();
    properties.comments = book_->comments.data();
    workbook_set_properties(book_->workbook, &properties);
}

void TXLSXExport::Complete()
{
    lxw_workbook* workbook = std::exchange(book_->workbook, nullptr);
    check(workbook_close(workbook));
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(partFile_).toStdString(),
                            QFile::encodeName(TargetFile()).toStdString(), error);
    if (error)
        throw ExportError(QString::fromStdString(error.message()));
    partFile_.clear();
}

} // namespace wl
