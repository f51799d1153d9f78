// The main window's part in the exchange rates: the line that dates them
// and their refresh in the background.
#include <QApplication>

#include "converter/file_state.h"
#include "converter/list/unit_list_view.h"
#include "converter/main_frame.h"
#include "converter/rates_line.h"

namespace pq::conv {

namespace {

QString ratesStep() { return QStringLiteral("Update Exchange Rates"); }

} // namespace

void CPqConvFrame::createRates() {
    ratesLine_ = new RatesLine(client_);
    RatesRefresher::Hooks hooks;
    hooks.current = [this] { return document_; };
    hooks.source = [this] { return settings_.updateSource(); };
    // Rates wait while the user is in a dialog, a menu or a download.
    hooks.busy = [this] {
        return download_->isRunning() || QApplication::activeModalWidget() ||
               QApplication::activePopupWidget();
    };
    hooks.applied = [this](bool reloaded) {
        if (reloaded) {
            historyOpened(document_);
            makeCurrent(document_);
        } else {
            const int position = currentPosition();
            recordStep({ratesStep(), position, position});
            list_->recompute(engine_); // the rows stay, with their new values
        }
        showRates();
    };
    hooks.changed = [this] { showRates(); };
    hooks.fileUpdated = [this](const Document& file, const std::vector<uint8_t>& before) {
        history_.record(FileNameOf(file), {ratesStep()}, before, file.image());
    };
    refresher_ = new RatesRefresher(this, *catalogue_, *saver_, engine_, options_.ratesRefresh,
                                    options_.fetcherFactory, std::move(hooks));
}

int CPqConvFrame::placeRatesLine(int top, int width) {
    const int height = ratesLine_->heightAt(width);
    ratesLine_->setGeometry(0, top, width, height);
    return height;
}

void CPqConvFrame::showRates() {
    if (!ratesLine_) return;
    const int before = ratesLine_->heightAt(client_->width());
    ratesLine_->setRates(document_, refresher_->failure(), refresher_->today());
    if (ratesLine_->heightAt(client_->width()) != before) layoutClient();
}

void CPqConvFrame::ratesOptionsChanged(bool refresh, bool sourceChanged) {
    const bool turned = refresh != RefreshesRatesAutomatically();
    SetRefreshRatesAutomatically(refresh);
    // Off means no more network at all. Turned on, or with a new source,
    // it looks at once: what failed before may work now.
    if (!refresh) {
        refresher_->abandon();
        refresher_->clearFailure();
    } else if (turned || sourceChanged) {
        refresher_->abandon();
        refresher_->check();
    }
}

} // namespace pq::conv
