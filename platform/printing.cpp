// The print dialog and printer DCs on QPrintDialog and QPrinter.
//
// A QPrinter takes one painter for the whole document: beginning it starts
// the job and the first page, ending it finishes the file. So the painter
// lives from StartDocA to EndDoc, and every GDI+ call on the DC draws
// through it (gdiplus_graphics.cpp asks PrinterPainterOfDC).

#include "platform/printing.h"

#include <QApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <memory>
#include <mutex>

#include "platform/gdi_internal.h"
#include "platform/owned_dialog.h"
#include "platform/window_internal.h"

namespace {

constexpr int kScreenDpi = 96;
constexpr double kTenthsPerMillimetre = 10.0;
constexpr int kFirstJob = 1;

struct TPrintAnswerer {
    std::mutex mutex;
    bool answering = false;
    TPdfPrinter printer;
    std::vector<TPrintDialogCall> calls;
};

TPrintAnswerer& TheAnswerer() {
    static TPrintAnswerer answerer;
    return answerer;
}

} // namespace

struct HGLOBAL__ {
    DEVMODEA mode;
};

struct TPrinterJob {
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<QPainter> painter;
    bool pageOpen = false;
    bool pageEnded = false;
    // The answered request this job came from, or -1 for a real dialog.
    int answeredCall = -1;
};

void DeletePrinterJob(TPrinterJob* job) {
    if (job == nullptr)
        return;
    // A document left open is finished, so the printer is not left waiting.
    if (job->painter && job->painter->isActive())
        job->painter->end();
    delete job;
}

QPainter* PrinterPainterOfDC(HDC dc) {
    TPrinterJob* job = PrinterJobOfDC(dc);
    if (job == nullptr || !job->painter || !job->painter->isActive())
        return nullptr;
    return job->painter.get();
}

namespace {

HGLOBAL DeviceModeOf(const QPrinter& printer) {
    auto* memory = new HGLOBAL__;
    const QRectF paper = printer.pageLayout().fullRect(QPageLayout::Millimeter);
    memory->mode.dmPaperWidth = static_cast<short>(qRound(paper.width() * kTenthsPerMillimetre));
    memory->mode.dmPaperLength = static_cast<short>(qRound(paper.height() * kTenthsPerMillimetre));
    memory->mode.dmCopies = static_cast<short>(printer.copyCount());
    return memory;
}

std::unique_ptr<QPrinter> PdfPrinter(const TPdfPrinter& wanted) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(wanted.path));
    printer->setResolution(wanted.dotsPerInch);
    printer->setPageSize(
        QPageSize(QSizeF(wanted.paperWidthMm, wanted.paperHeightMm), QPageSize::Millimeter));
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    printer->setFullPage(true);
    return printer;
}

TPrintDialogCall CallOf(const PRINTDLGA& request) {
    TPrintDialogCall call;
    call.owner = request.hwndOwner;
    call.flags = request.Flags;
    call.fromPage = request.nFromPage;
    call.toPage = request.nToPage;
    call.minPage = request.nMinPage;
    call.maxPage = request.nMaxPage;
    call.copies = request.nCopies;
    return call;
}

// While tests answer: the printer they asked for, or null for a cancel.
// `answered` tells whether the request was answered here at all.
std::unique_ptr<QPrinter> AnsweredPrinter(const PRINTDLGA& request, bool* answered,
                                          int* callIndex) {
    TPrintAnswerer& answerer = TheAnswerer();
    std::lock_guard lock(answerer.mutex);
    *answered = answerer.answering;
    if (!answerer.answering)
        return nullptr;
    answerer.calls.push_back(CallOf(request));
    *callIndex = static_cast<int>(answerer.calls.size()) - 1;
    if (answerer.printer.path.empty())
        return nullptr;
    return PdfPrinter(answerer.printer);
}

std::unique_ptr<QPrinter> ChosenPrinter(const PRINTDLGA& request) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setCopyCount(request.nCopies);
    printer->setFromTo(request.nFromPage, request.nToPage);
    TOwnedDialog<QPrintDialog> dialog(printer.get(), WidgetOfWindow(request.hwndOwner));
    dialog->setMinMax(request.nMinPage, request.nMaxPage);
    // The pages are fixed and a file is not a printer here.
    dialog->setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog->setOption(QAbstractPrintDialog::PrintSelection, !(request.Flags & PD_NOSELECTION));
    dialog->setOption(QAbstractPrintDialog::PrintPageRange, !(request.Flags & PD_NOPAGENUMS));
    dialog->setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (!dialog.RunAccepted())
        return nullptr;
    return printer;
}

} // namespace

void* GlobalLock(HGLOBAL memory) {
    return memory == nullptr ? nullptr : &memory->mode;
}

BOOL GlobalUnlock(HGLOBAL memory) {
    return memory != nullptr ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
    delete memory;
    return nullptr;
}

BOOL PrintDlgA(PRINTDLGA* request) {
    if (request == nullptr)
        return FALSE;
    bool answered = false;
    int callIndex = -1;
    std::unique_ptr<QPrinter> printer = AnsweredPrinter(*request, &answered, &callIndex);
    if (!answered && QApplication::instance() != nullptr)
        printer = ChosenPrinter(*request);
    if (!printer)
        return FALSE;
    request->hDevMode = DeviceModeOf(*printer);
    request->nCopies = static_cast<WORD>(printer->copyCount());
    if (request->Flags & PD_RETURNDC) {
        auto* job = new TPrinterJob;
        job->printer = std::move(printer);
        job->answeredCall = callIndex;
        request->hDC = CreatePrinterDC(job);
    }
    return TRUE;
}

int StartDocA(HDC dc, const DOCINFOA* document) {
    TPrinterJob* job = PrinterJobOfDC(dc);
    if (job == nullptr || job->painter)
        return SP_ERROR;
    const QString name =
        QString::fromUtf8(document && document->lpszDocName ? document->lpszDocName : "");
    job->printer->setDocName(name);
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(job->printer.get()))
        return SP_ERROR;
    job->painter = std::move(painter);
    job->pageOpen = false;
    job->pageEnded = false;
    if (job->answeredCall >= 0) {
        TPrintAnswerer& answerer = TheAnswerer();
        std::lock_guard lock(answerer.mutex);
        if (job->answeredCall < static_cast<int>(answerer.calls.size()))
            answerer.calls[static_cast<std::size_t>(job->answeredCall)].documentName =
                name.toStdString();
    }
    return kFirstJob;
}

int StartPage(HDC dc) {
    TPrinterJob* job = PrinterJobOfDC(dc);
    if (job == nullptr || PrinterPainterOfDC(dc) == nullptr || job->pageOpen)
        return SP_ERROR;
    // Beginning the painter opened the first page; every later one is new.
    if (job->pageEnded && !job->printer->newPage())
        return SP_ERROR;
    job->pageOpen = true;
    return 1;
}

int EndPage(HDC dc) {
    TPrinterJob* job = PrinterJobOfDC(dc);
    if (job == nullptr || !job->pageOpen)
        return SP_ERROR;
    job->pageOpen = false;
    job->pageEnded = true;
    return 1;
}

int EndDoc(HDC dc) {
    TPrinterJob* job = PrinterJobOfDC(dc);
    if (job == nullptr || PrinterPainterOfDC(dc) == nullptr)
        return SP_ERROR;
    const bool ended = job->painter->end();
    job->painter.reset();
    return ended ? 1 : SP_ERROR;
}

int GetDeviceCaps(HDC dc, int index) {
    TPrinterJob* job = PrinterJobOfDC(dc);
    if (job == nullptr) {
        const QImage* surface = ImageOfDC(dc);
        switch (index) {
        case LOGPIXELSX:
        case LOGPIXELSY:
            return kScreenDpi;
        case HORZRES:
        case PHYSICALWIDTH:
            return surface ? surface->width() : 0;
        case VERTRES:
        case PHYSICALHEIGHT:
            return surface ? surface->height() : 0;
        default:
            return 0;
        }
    }
    const QPrinter& printer = *job->printer;
    switch (index) {
    case LOGPIXELSX:
        return printer.logicalDpiX();
    case LOGPIXELSY:
        return printer.logicalDpiY();
    case HORZRES:
        return printer.width();
    case VERTRES:
        return printer.height();
    case PHYSICALWIDTH:
        return qRound(printer.paperRect(QPrinter::DevicePixel).width());
    case PHYSICALHEIGHT:
        return qRound(printer.paperRect(QPrinter::DevicePixel).height());
    default:
        return 0;
    }
}

void StartAnsweringPrintDialogs(const TPdfPrinter& printer) {
    TPrintAnswerer& answerer = TheAnswerer();
    std::lock_guard lock(answerer.mutex);
    answerer.answering = true;
    answerer.printer = printer;
    answerer.calls.clear();
}

void StopAnsweringPrintDialogs() {
    TPrintAnswerer& answerer = TheAnswerer();
    std::lock_guard lock(answerer.mutex);
    answerer.answering = false;
}

std::vector<TPrintDialogCall> AnsweredPrintDialogs() {
    TPrintAnswerer& answerer = TheAnswerer();
    std::lock_guard lock(answerer.mutex);
    return answerer.calls;
}
