// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printing.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QPrinter>
#include <QTemporaryDir>

#ifdef TORVANE_HAVE_CUPS
#include <cups/cups.h>
#endif

namespace ui {
namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("Printing", text);
}

QString noPrinter(bool anyPrinter) {
    return anyPrinter ? tr("No printer is chosen as the default printer, so the window was not "
                           "printed. Choose a default printer in the system's printer settings, "
                           "then press Print again.")
                      : tr("There is no printer set up on this computer, so the window was not "
                           "printed. Set up a printer, then press Print again.");
}

QString stopped(const QString& name) {
    return tr("The printer \u201C%1\u201D is stopped, so the window was not printed. Start it "
              "again in the system's printer settings, then press Print again.")
        .arg(name);
}

#ifdef TORVANE_HAVE_CUPS  // only the print service tells it
QString notAccepting(const QString& name) {
    return tr("The printer \u201C%1\u201D is not accepting jobs at the moment, so the window was "
              "not printed. Check the printer, then press Print again.")
        .arg(name);
}
#endif

std::optional<QString> printThroughQt(const QString& jobTitle, const PagePainter& paintPage) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        return noPrinter(!QPrinterInfo::availablePrinterNames().isEmpty());
    }
    if (info.state() == QPrinter::Error || info.state() == QPrinter::Aborted) {
        return stopped(info.printerName());
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(jobTitle);
    return paintPage(printer);
}

#ifdef TORVANE_HAVE_CUPS

// The print service's client library, loaded at the first Print and not at start-up, where
// it and the many libraries it needs in turn would slow every launch of the program.
struct Cups {
    decltype(&::cupsGetDests2) getDests2 = nullptr;
    decltype(&::cupsFreeDests) freeDests = nullptr;
    decltype(&::cupsGetDest) getDest = nullptr;
    decltype(&::cupsGetOption) getOption = nullptr;
    decltype(&::cupsLastError) lastError = nullptr;
    decltype(&::cupsLastErrorString) lastErrorString = nullptr;
    decltype(&::cupsPrintFile2) printFile2 = nullptr;
};

template <typename Function>
bool resolve(QLibrary& library, const char* name, Function& function) {
    // The library hands back an untyped function; its type is the one its header declares.
    function = reinterpret_cast<Function>(library.resolve(name));  // NOLINT(*-reinterpret-cast)
    return function != nullptr;
}

// Once loaded the library stays loaded, however often this is called.
std::optional<Cups> loadCups() {
    QLibrary library(QStringLiteral("cups"), 2);
    Cups cups;
    if (library.load() && resolve(library, "cupsGetDests2", cups.getDests2) &&
        resolve(library, "cupsFreeDests", cups.freeDests) &&
        resolve(library, "cupsGetDest", cups.getDest) &&
        resolve(library, "cupsGetOption", cups.getOption) &&
        resolve(library, "cupsLastError", cups.lastError) &&
        resolve(library, "cupsLastErrorString", cups.lastErrorString) &&
        resolve(library, "cupsPrintFile2", cups.printFile2)) {
        return cups;
    }
    return std::nullopt;
}

// The print service's own list of printers, freed when done with.
class Destinations {
  public:
    explicit Destinations(const Cups& cups)
        : cups_(cups), count_(cups.getDests2(CUPS_HTTP_DEFAULT, &dests_)) {}
    ~Destinations() { cups_.freeDests(count_, dests_); }
    Destinations(const Destinations&) = delete;
    Destinations& operator=(const Destinations&) = delete;

    [[nodiscard]] int count() const { return count_; }
    [[nodiscard]] const cups_dest_t* defaultPrinter() const {
        return cups_.getDest(nullptr, nullptr, count_, dests_);
    }

  private:
    const Cups& cups_;
    cups_dest_t* dests_ = nullptr;
    int count_;
};

QString option(const Cups& cups, const cups_dest_t& dest, const char* name) {
    return QString::fromUtf8(cups.getOption(name, dest.num_options, dest.options));
}

// The printer's state as the print service reports it: Qt tells neither whether a queue is
// stopped nor whether it takes jobs.
std::optional<QString> problemWith(const Cups& cups, const cups_dest_t& dest) {
    const QString name = QString::fromUtf8(dest.name);
    constexpr int kStopped = 5;  // IPP printer-state "stopped"
    if (option(cups, dest, "printer-state").toInt() == kStopped) {
        return stopped(name);
    }
    if (option(cups, dest, "printer-is-accepting-jobs") == QStringLiteral("false")) {
        return notAccepting(name);
    }
    return std::nullopt;
}

std::optional<QString> printThroughCups(const Cups& cups, const QString& jobTitle,
                                        const PagePainter& paintPage) {
    const Destinations destinations(cups);
    if (destinations.count() == 0 && cups.lastError() >= IPP_STATUS_ERROR_INTERNAL) {
        return tr(
            "The printing service of this computer is not running, so the window was not "
            "printed. Start it (or ask whoever looks after this computer), then press "
            "Print again.");
    }
    const cups_dest_t* dest = destinations.defaultPrinter();
    if (dest == nullptr) {
        return noPrinter(destinations.count() > 0);
    }
    if (std::optional<QString> problem = problemWith(cups, *dest)) {
        return problem;
    }
    const QString name = QString::fromUtf8(dest->name);

    // The page goes to the print service as a PDF of the printer's own paper size, so that
    // its text stays text and nothing is scaled on the way.
    const QTemporaryDir folder;
    if (!folder.isValid()) {
        return tr("The window could not be printed: there is no room for the print job.");
    }
    const QString file = folder.filePath(QStringLiteral("window.pdf"));
    {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(file);
        pdf.setDocName(jobTitle);
        const QPrinterInfo info = QPrinterInfo::printerInfo(name);
        if (!info.isNull() && info.defaultPageSize().isValid()) {
            pdf.setPageSize(info.defaultPageSize());
        }
        if (std::optional<QString> problem = paintPage(pdf)) {
            return problem;
        }
    }
    const int job = cups.printFile2(CUPS_HTTP_DEFAULT, dest->name, file.toLocal8Bit().constData(),
                                    jobTitle.toUtf8().constData(), 0, nullptr);
    if (job == 0) {
        return tr("The printer \u201C%1\u201D did not take the job, so the window was not "
                  "printed (%2).")
            .arg(name, QString::fromUtf8(cups.lastErrorString()));
    }
    return std::nullopt;
}

#endif

}  // namespace

std::optional<QString> printOnDefaultPrinter(const QString& jobTitle,
                                             const PagePainter& paintPage) {
#ifdef TORVANE_HAVE_CUPS
    if (const std::optional<Cups> cups = loadCups()) {
        return printThroughCups(*cups, jobTitle, paintPage);
    }
#endif
    return printThroughQt(jobTitle, paintPage);
}

}  // namespace ui
