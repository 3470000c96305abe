#pragma once

#include <QString>
#include <functional>

// A queue of the print system (CUPS) that receipts go to. Qt hands its jobs to the
// print system without looking at the answer, so a stopped print service or a paused
// queue lost the receipt while the sale was recorded as printed. Jobs go through
// here instead, and every refusal is a PrintError.
namespace PrintQueue {

// The system's default queue ("queue" or "queue/instance", as lpstat -d names it),
// once it is known to take and print jobs now. Throws PrintError when there is no
// default printer or the print system does not answer, and when the queue refuses
// jobs or is paused.
QString defaultReady();

// Sends a PDF file as one job of one copy, on paper of the given media ("Custom.58x108mm"
// or a name the printer knows). Throws PrintError when the print system refuses it,
// and when the queue was paused meanwhile: the job is then cancelled, so that it does
// not come out later on its own.
void submit(const QString &printer, const QString &pdfFile, const QString &title,
            const QString &media);

// Tests only: runs after a receipt is rendered and before it is sent, the moment a
// print system may go away in the middle of printing. Empty: nothing.
void setBeforeSubmit(std::function<void()> hook);
void beforeSubmit();

} // namespace PrintQueue
