#pragma once

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "converter/download_runner.h"
#include "document/rates_fetch.h"

namespace pq {
class Catalogue;
class ConversionDocument;
class Document;
class ExpressionEngine;
} // namespace pq

namespace pq::conv {

class DocumentSaver;

// "Refresh exchange rates automatically" of the options: on unless the user
// turned it off. Kept beside the settings record, not in it.
bool RefreshesRatesAutomatically();
void SetRefreshRatesAutomatically(bool on);

// Whether the document is the file the bank's rates update ("Currency.cnv").
bool IsRatesFile(const Document& document);

// How a window refreshes its exchange rates on its own. A window made without
// these (allowed false) never goes to the network unasked.
struct RatesRefreshOptions {
    bool allowed = false;
    // The first look waits this long after the window is up, so that the
    // start stays quick.
    std::chrono::milliseconds firstLook = std::chrono::seconds(1);
    std::chrono::milliseconds interval = std::chrono::hours(4);
    std::function<QDateTime()> now; // empty: the clock
    DownloadLimits limits = kRatesFetchLimits;
};

// Keeps the bank's exchange rates in Currency.cnv fresh without being asked.
// At start and then at every interval, while the user lets it and the rates
// are older than one day (the bank may have newer ones: ratesAreDue), it
// fetches the download source on a thread of its own. When the source gives the bank's daily
// document and its rates are newer than the file's, they are applied to Currency.cnv and saved at
// once through the save road: into the open document when Currency.cnv is open (its rows change in
// place), else into the file alone, leaving the open document as it is. Nothing else is ever
// written.
//
// It never asks or tells in a message box: a refresh that fails leaves the
// rates as they were and failure() says why until the next one succeeds.
// Rates that arrive while the user is in a dialog or downloading wait until
// the user is done.
class RatesRefresher : public QObject {
  public:
    struct Hooks {
        std::function<Document*()> current; // the open document, if any
        std::function<QString()> source;    // the download source
        std::function<bool()> busy;         // a dialog is open or a download runs
        // The open document's rates changed; reloaded: it was read anew from
        // its file (its items are new).
        std::function<void(bool reloaded)> applied;
        std::function<void()> changed; // failure() changed
        // The rates were saved into Currency.cnv while another file is open;
        // `before` is the image of the file they changed.
        std::function<void(const Document& file, const std::vector<uint8_t>& before)> fileUpdated;
    };

    RatesRefresher(QObject* parent, Catalogue& catalogue, DocumentSaver& saver,
                   ExpressionEngine& engine, RatesRefreshOptions options,
                   DownloadRunner::FetcherFactory factory, Hooks hooks);
    ~RatesRefresher() override;

    // The first look after a moment, then one every interval.
    void start();
    // Looks now, when refreshing is allowed and the rates are due.
    void check();
    // Forgets a refresh under way: its result is dropped.
    void abandon();
    // The user's own download brought the rates.
    void clearFailure() { setFailure({}); }

    bool isRunning() const { return job_ != nullptr; }
    // "could not refresh: ..." is said with this reason; empty after success.
    const QString& failure() const { return failure_; }
    QDateTime now() const;
    QDate today() const { return now().date(); }

  private:
    struct Job;
    void finished(const std::shared_ptr<Job>& job);
    void applyWaiting();
    // Each returns the reason of a failure, empty after success.
    QString apply(const ReferenceRates& rates);
    QString applyToOpen(ConversionDocument& document, const ReferenceRates& rates);
    QString applyToFile(const ReferenceRates& rates);
    void setFailure(const QString& reason);

    Catalogue& catalogue_;
    DocumentSaver& saver_;
    ExpressionEngine& engine_;
    RatesRefreshOptions options_;
    DownloadRunner::FetcherFactory factory_;
    Hooks hooks_;
    QTimer timer_;
    QTimer retry_;
    std::shared_ptr<Job> job_;
    std::optional<ReferenceRates> waiting_;
    QString failure_;
};

} // namespace pq::conv
