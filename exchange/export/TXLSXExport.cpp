#include "exchange/export/TXLSXExport.h"

#include "exchange/export/CNumbersScope.h"
#include "exchange/export/ExportError.h"
#include "exchange/export/ExportMessages.h"
#include "exchange/export/ExportText.h"
#include "exchange/export/TExportComponent.h"
#include "grid/HandOverQueue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <QStringEncoder>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace wl {

namespace {

void check(lxw_error error)
{
    if (error != LXW_NO_ERROR)
        throw ExportError(QString::fromUtf8(lxw_strerror(error)));
}

// Cells of consecutive rows made ready for the library: numbers as numbers, texts as UTF-8
// with their closing zero, all texts of a batch in one block.
struct CellBatch
{
    struct Cell
    {
        lxw_row_t row;
        lxw_col_t col;
        bool number;
        bool bold;
        double value;
        qsizetype text; // where the text starts in texts
    };
    std::vector<Cell> cells;
    QByteArray texts;
};

// Most cells hold no control characters; those need no cleaned copy before their conversion.
bool hasControlChars(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 32; });
}

constexpr size_t BatchCells = 32 * 1024;
constexpr size_t QueuedBatches = 4;

// ".log-XXXXXX.xlsx.part" for "log.xlsx": the name an unfinished workbook has beside its
// target. With "??????" for the random part it finds those an earlier run left behind.
QString partName(const QFileInfo& target, const QString& random)
{
    return QStringLiteral(".") + target.completeBaseName() + u'-' + random +
           QStringLiteral(".xlsx.part");
}

// Workbooks of an earlier export to the same file that was killed before it could clean up.
void removeStaleParts(const QFileInfo& target)
{
    const QDir folder = target.absoluteDir();
    const QStringList stale = folder.entryList({partName(target, QStringLiteral("??????"))},
                                               QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : stale)
        QFile::remove(folder.filePath(name));
}

// A file that exists and may not be written is refused, as every other format refuses it:
// renaming over it would replace what the user protected.
void checkWritable(const QFileInfo& target)
{
    if (target.exists() && !target.isWritable())
        throw ExportError(QStringLiteral("%1 is read-only; it was left unchanged.")
                              .arg(QDir::toNativeSeparators(target.absoluteFilePath())));
}

} // namespace

// The workbook, and the thread that writes cells into it. The library's work (its XML and the
// compression at the end) costs more than making the cells, so the two run side by side: the
// export's thread converts rows into batches, the writer thread hands them to the library. The
// export's thread touches the workbook itself only while the writer is idle (drain).
struct TXLSXExport::Book
{
    QByteArray tempDir;
    QByteArray title;
    QByteArray comments;
    lxw_workbook* workbook = nullptr;
    lxw_worksheet* sheet = nullptr;
    lxw_format* bold = nullptr;

    CellBatch filling;
    HandOverQueue<CellBatch> queued{QueuedBatches};
    std::mutex failureMutex;
    lxw_error failure = LXW_NO_ERROR; // the writer's first failure; it then stops the queue
    std::thread writer;

    ~Book()
    {
        queued.stop();
        if (writer.joinable())
            writer.join();
        if (workbook)
            discard();
    }

    // A stopped or failed export: the workbook is freed without being written. Closing it
    // would first compress every row so far into the temporary file, only for it to be
    // removed, keeping the program busy for seconds after Cancel on a large export. The rows
    // kept in the sheet's temporary file go with it.
    void discard()
    {
        if (sheet && sheet->optimize_tmpfile) {
            std::fclose(sheet->optimize_tmpfile);
            sheet->optimize_tmpfile = nullptr;
        }
        lxw_workbook_free(std::exchange(workbook, nullptr));
    }

    void startWriter()
    {
        writer = std::thread([this] { writeBatches(); });
    }

    void writeBatches()
    {
        // The library writes each finished row's numbers with printf.
        const CNumbersScope numbers;
        while (std::optional<CellBatch> batch = queued.take()) {
            const lxw_error error = write(*batch);
            if (error != LXW_NO_ERROR) {
                {
                    const std::lock_guard lock(failureMutex);
                    failure = error;
                }
                queued.stop();
                return;
            }
        }
    }

    lxw_error firstFailure()
    {
        const std::lock_guard lock(failureMutex);
        return failure;
    }

    lxw_error write(const CellBatch& batch) const
    {
        for (const CellBatch::Cell& cell : batch.cells) {
            const lxw_error error =
                cell.number ? worksheet_write_number(sheet, cell.row, cell.col, cell.value, nullptr)
                            : worksheet_write_string(sheet, cell.row, cell.col,
                                                     batch.texts.constData() + cell.text,
                                                     cell.bold ? bold : nullptr);
            if (error != LXW_NO_ERROR)
                return error;
        }
        return LXW_NO_ERROR;
    }

    void addNumber(int row, int col, double value)
    {
        filling.cells.push_back({lxw_row_t(row), lxw_col_t(col), true, false, value, 0});
        sendWhenFull();
    }

    void addText(int row, int col, QStringView text, bool isBold)
    {
        const qsizetype at = filling.texts.size();
        filling.texts.resize(at + encoder.requiredSpace(text.size()) + 1);
        char* end = encoder.appendToBuffer(filling.texts.data() + at, text);
        *end++ = '\0';
        filling.texts.truncate(end - filling.texts.constData());
        filling.cells.push_back({lxw_row_t(row), lxw_col_t(col), false, isBold, 0, at});
        sendWhenFull();
    }

    void sendWhenFull()
    {
        if (filling.cells.size() >= BatchCells)
            send();
    }

    // Queues the batch being filled, waiting while the queue is full; throws once the writer
    // has failed.
    void send()
    {
        if (!queued.put(std::move(filling)))
            check(firstFailure());
        filling = CellBatch();
        filling.cells.reserve(BatchCells);
    }

    // Writes what is left and ends the writer, so the workbook is this thread's again; reports
    // the writer's failure. Nothing may be added afterwards.
    void drain()
    {
        if (!writer.joinable())
            return;
        if (!filling.cells.empty())
            send();
        queued.finish();
        writer.join();
        check(firstFailure());
    }

    QStringEncoder encoder{QStringEncoder::Utf8};
};

TXLSXExport::TXLSXExport(TExportComponent& component, TExportType type, const QString& fileName)
    : TCustomShellViewExport(component, type, fileName), book_(std::make_unique<Book>())
{
    // A new name beside the target, freed again: the library creates the file itself at the
    // end, with the permissions any new file of the user gets.
    const QFileInfo target(TargetFile());
    if (ToFile()) {
        checkWritable(target);
        removeStaleParts(target);
    }
    {
        QTemporaryFile part(
            target.absoluteDir().filePath(partName(target, QStringLiteral("XXXXXX"))));
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
    book_->filling.cells.reserve(BatchCells);
    book_->startWriter();
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
            book_->addNumber(row, col, *value);
        } else if (!text.isEmpty()) {
            if (hasControlChars(text))
                book_->addText(row, col, ExportText::KeepBreaks(text), header);
            else
                book_->addText(row, col, text, header);
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
    book_->drain();
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
    book_->drain();
    lxw_workbook* workbook = std::exchange(book_->workbook, nullptr);
    {
        // Closing writes the last row, the column widths and the properties with printf.
        const CNumbersScope numbers;
        check(workbook_close(workbook));
    }
    // The file replaced keeps its permissions, as with every other format; a new one gets
    // those of any new file of the user.
    const QFileInfo target(TargetFile());
    checkWritable(target);
    if (target.exists())
        QFile::setPermissions(partFile_, QFile::permissions(TargetFile()));
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(partFile_).toStdString(),
                            QFile::encodeName(TargetFile()).toStdString(), error);
    if (error)
        throw ExportError(QString::fromStdString(error.message()));
    partFile_.clear();
}

} // namespace wl
