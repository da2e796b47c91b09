// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Times of the window's commands on the worked example: Calculate from the click on its
// button to the 30 result cells written, Clear, and Print into a PDF file, beside the
// calculate-and-render of the core that Calculate drives.
//
// Clicks are mouse presses and releases delivered to the button by QTest::mouseClick, the
// road a real click takes from the event loop on; QPushButton::click(), which skips the mouse
// events, is timed beside it. Before each timed click the window is brought back to the state
// the command starts from (untimed) and the event loop is run, so that every timed command
// starts from a painted, idle window. The painting the command asks for comes after the
// command, at the next turn of the event loop, as in the program; CalculateAndRepaint times it
// as well. Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <memory>
#include <string>

#include "calculation.h"
#include "mainwindow.h"
#include "resultsheet.h"
#include "testsupport.h"
#include "windowsupport.h"

namespace {

// The program's window, shown and exposed, with the worked example typed into its fields.
class Window {
  public:
    Window() : window_(std::make_unique<ui::MainWindow>(pivots_)) {
        window_->show();
        exposed_ = QTest::qWaitForWindowExposed(window_.get());
        type();
    }

    [[nodiscard]] bool exposed() const { return exposed_; }
    [[nodiscard]] ui::MainWindow& get() { return *window_; }
    [[nodiscard]] QPushButton* button(const char* name) const {
        return window_->findChild<QPushButton*>(QString::fromLatin1(name));
    }

    void type() { uitest::typeWorkedExample(*window_); }

    void blankCells() {
        for (std::size_t i = 0; i < calc::kCellCount; ++i) {
            window_->cell(i)->clear();
        }
    }

    // Every cell shows what the core gives for the worked example.
    [[nodiscard]] bool showsWorkedExample() const {
        calc::PivotGenerator pivots;
        const calc::ResultSheet expected = calc::render(
            calc::calculate(calctest::workedExample(), {".", ","}, pivots).value(), ".");
        for (std::size_t i = 0; i < calc::kCellCount; ++i) {
            if (window_->cell(i)->text() != QString::fromStdString(expected.texts[i])) {
                return false;
            }
        }
        return true;
    }

    // Paints whatever the last command left to paint, as the event loop would next.
    static void settle() { QCoreApplication::processEvents(); }

  private:
    calc::PivotGenerator pivots_;
    std::unique_ptr<ui::MainWindow> window_;
    bool exposed_ = false;
};

template <typename Command>
double timed(Command&& command) {
    const auto start = std::chrono::steady_clock::now();
    command();
    const auto stop = std::chrono::steady_clock::now();
    return std::chrono::duration<double>(stop - start).count();
}

// Times the command once an iteration, each time after reset has brought the window back to
// where the command starts from and the event loop has painted it, both untimed.
template <typename Reset, typename Command>
void timeEach(benchmark::State& state, Reset&& reset, Command&& command) {
    for (auto _ : state) {
        reset();
        Window::settle();
        state.SetIterationTime(timed(command));
    }
}

bool ready(benchmark::State& state, const Window& window) {
    if (!window.exposed()) {
        state.SkipWithError("the window was not exposed");
        return false;
    }
    return true;
}

void finish(benchmark::State& state, const Window& window) {
    if (!window.showsWorkedExample()) {
        state.SkipWithError("the cells do not show the worked example");
    }
}

// Click to cells: every one of the 30 cells receives a new text.
void CalculateByMouse(benchmark::State& state) {
    Window window;
    if (!ready(state, window)) {
        return;
    }
    QPushButton* const calculate = window.button("Calcbutton");
    timeEach(
        state, [&] { window.blankCells(); }, [&] { QTest::mouseClick(calculate, Qt::LeftButton); });
    finish(state, window);
}
BENCHMARK(CalculateByMouse)->UseManualTime()->Unit(benchmark::kMicrosecond);

void CalculateByClickSlot(benchmark::State& state) {
    Window window;
    if (!ready(state, window)) {
        return;
    }
    QPushButton* const calculate = window.button("Calcbutton");
    timeEach(
        state, [&] { window.blankCells(); }, [&] { calculate->click(); });
    finish(state, window);
}
BENCHMARK(CalculateByClickSlot)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Calculate pressed again on the same texts: the cells already show the results.
void CalculateAgain(benchmark::State& state) {
    Window window;
    if (!ready(state, window)) {
        return;
    }
    QPushButton* const calculate = window.button("Calcbutton");
    calculate->click();
    timeEach(
        state, [] {}, [&] { QTest::mouseClick(calculate, Qt::LeftButton); });
    finish(state, window);
}
BENCHMARK(CalculateAgain)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The worked example with big end 1 written out to a megabyte: "296." and 2^20 zeros, which
// reads as 296 and so calculates to the same cells. Reading stays linear in the text's length.
std::string megabyteBigEnd() {
    return "296." + std::string(std::size_t{1} << 20, '0');
}

void CalculateWithMegabyteField(benchmark::State& state) {
    Window window;
    if (!ready(state, window)) {
        return;
    }
    window.get().field(calc::Field::Bigend1)->setText(QString::fromStdString(megabyteBigEnd()));
    QPushButton* const calculate = window.button("Calcbutton");
    timeEach(
        state, [&] { window.blankCells(); }, [&] { QTest::mouseClick(calculate, Qt::LeftButton); });
    finish(state, window);
}
BENCHMARK(CalculateWithMegabyteField)->UseManualTime()->Unit(benchmark::kMillisecond);

void CoreCalculateWithMegabyteField(benchmark::State& state) {
    calc::InputSheet sheet = calctest::workedExample();
    sheet.texts[calc::index(calc::Field::Bigend1)] = megabyteBigEnd();
    const calc::Separators separators{".", ","};
    calc::PivotGenerator pivots;
    for (auto _ : state) {
        const auto outcome = calc::calculate(sheet, separators, pivots);
        if (!outcome.ok()) {
            state.SkipWithError("the megabyte field did not read");
            return;
        }
        benchmark::DoNotOptimize(calc::render(outcome.value(), separators.decimal));
    }
}
BENCHMARK(CoreCalculateWithMegabyteField)->Unit(benchmark::kMillisecond);

// Click to pixels: the click, then the repaint of the cells it changed.
void CalculateAndRepaint(benchmark::State& state) {
    Window window;
    if (!ready(state, window)) {
        return;
    }
    QPushButton* const calculate = window.button("Calcbutton");
    timeEach(
        state, [&] { window.blankCells(); },
        [&] {
            QTest::mouseClick(calculate, Qt::LeftButton);
            Window::settle();
        });
    finish(state, window);
}
BENCHMARK(CalculateAndRepaint)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Click to 29 fields and 30 cells emptied.
void Clear(benchmark::State& state) {
    Window window;
    if (!ready(state, window)) {
        return;
    }
    QPushButton* const calculate = window.button("Calcbutton");
    QPushButton* const clear = window.button("Clearbutton");
    timeEach(
        state,
        [&] {
            window.type();
            calculate->click();
        },
        [&] { QTest::mouseClick(clear, Qt::LeftButton); });
    if (!window.get().field(calc::Field::Bigend1)->text().isEmpty() ||
        !window.get().cell(0)->text().isEmpty()) {
        state.SkipWithError("Clear left text behind");
    }
}
BENCHMARK(Clear)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The window with the worked example's results, printed into a PDF file as Print hands it to
// the print service: the printer made, the window recorded and played onto the page, the file
// written.
void PrintToPdf(benchmark::State& state) {
    Window window;
    if (!ready(state, window)) {
        return;
    }
    window.button("Calcbutton")->click();
    Window::settle();
    const QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("window.pdf"));
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        if (window.get().printWindow(printer)) {
            state.SkipWithError("the window could not be printed");
            return;
        }
    }
    state.counters["pdf_bytes"] = static_cast<double>(QFileInfo(file).size());
}
BENCHMARK(PrintToPdf)->Unit(benchmark::kMillisecond);

// What Calculate asks of the core, without the window: the worked example calculated and
// its 30 texts rendered.
void CoreCalculateAndRender(benchmark::State& state) {
    const calc::InputSheet sheet = calctest::workedExample();
    const calc::Separators separators{".", ","};
    calc::PivotGenerator pivots;
    for (auto _ : state) {
        const auto outcome = calc::calculate(sheet, separators, pivots);
        benchmark::DoNotOptimize(calc::render(outcome.value(), separators.decimal));
    }
}
BENCHMARK(CoreCalculateAndRender)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    int programNameOnly = 1;
    const QApplication application(programNameOnly, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
