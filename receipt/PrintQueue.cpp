#include "PrintQueue.h"

#include "PrintError.h"

#include <cups/cups.h>
#include <memory>

namespace {

struct DestFree {
    void operator()(cups_dest_t *d) const { cupsFreeDests(1, d); }
};
using Dest = std::unique_ptr<cups_dest_t, DestFree>;

struct Options {
    int count = 0;
    cups_option_t *list = nullptr;
    Options() = default;
    Options(const Options &) = delete;
    Options &operator=(const Options &) = delete;
    ~Options() { cupsFreeOptions(count, list); }
    void add(const char *name, const QByteArray &value) {
        count = cupsAddOption(name, value.constData(), count, &list);
    }
};

QString lastError() {
    return QString::fromUtf8(cupsLastErrorString());
}

QByteArray queueName(const QString &printer) {
    return printer.section(QLatin1Char('/'), 0, 0).toUtf8();
}

QString option(const Dest &d, const char *name) {
    return QString::fromUtf8(cupsGetOption(name, d->num_options, d->options));
}

bool paused(const Dest &d) {
    return option(d, "printer-state") == QLatin1String("5"); // IPP_PSTATE_STOPPED
}

std::function<void()> &hook() {
    static std::function<void()> h;
    return h;
}

} // namespace

namespace PrintQueue {

QString defaultReady() {
    // PRINTER, LPDEST, the user's and the system's default, as lp would choose.
    const Dest d(cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr));
    if (!d)
        throw PrintError(QStringLiteral("打印失败：没有可用的打印机"));
    QString printer = QString::fromUtf8(d->name);
    if (d->instance)
        printer += QLatin1Char('/') + QString::fromUtf8(d->instance);
    if (option(d, "printer-is-accepting-jobs") == QLatin1String("false"))
        throw PrintError(QStringLiteral("打印失败：打印机“%1”不接受打印任务").arg(printer));
    if (paused(d))
        throw PrintError(QStringLiteral("打印失败：打印机“%1”已暂停").arg(printer));
    return printer;
}

void submit(const QString &printer, const QString &pdfFile, const QString &title,
            const QString &media) {
    const QByteArray name = queueName(printer);
    Options options;
    options.add("media", media.toUtf8());
    const int job =
        cupsPrintFile2(CUPS_HTTP_DEFAULT, name.constData(), pdfFile.toLocal8Bit().constData(),
                       title.toUtf8().constData(), options.count, options.list);
    if (job == 0)
        throw PrintError(
            QStringLiteral("打印失败：打印机“%1”拒绝了打印任务（%2）").arg(printer, lastError()));
    // Paused while the job went in: it would wait there and print some time later,
    // after the cashier printed the sale again.
    const QByteArray instance = printer.section(QLatin1Char('/'), 1).toUtf8();
    const Dest now(cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(),
                                    instance.isEmpty() ? nullptr : instance.constData()));
    // No answer: the print system went away after it took the job. It keeps the job
    // and prints it once it runs again, so the receipt counts as printed.
    if (now && paused(now)) {
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        throw PrintError(QStringLiteral("打印失败：打印机“%1”已暂停").arg(printer));
    }
}

void setBeforeSubmit(std::function<void()> h) {
    hook() = std::move(h);
}

void beforeSubmit() {
    if (hook())
        hook()();
}

} // namespace PrintQueue
