#include "converter/rates_refresher.h"

#include <QSettings>

#include <mutex>
#include <thread>

#include "converter/converter_settings.h"
#include "converter/document_saver.h"
#include "converter/file_state.h"
#include "document/catalogue.h"
#include "document/data_file.h"
#include "document/document.h"
#include "document/http_fetcher.h"
#include "document/rates_date.h"
#include "engine/text.h"

namespace pq::conv {

namespace {

constexpr std::u16string_view kRatesFile = u"Currency";
// How often rates that wait for a dialog to close look again.
constexpr int kRetryMs = 500;

QString refreshKey() { return QStringLiteral("Rates/RefreshAutomatically"); }

QSettings store() {
    return QSettings(ConverterSettings::organisation(), ConverterSettings::application());
}

// The base name of the folder's rates file as it is spelled there; empty
// when the folder has none.
std::u16string ratesFileIn(const std::string& folder) {
    for (std::u16string& name : conversionFileNames(folder))
        if (equalsIgnoreCase(name, kRatesFile)) return name;
    return {};
}

// An update file that waits for the rates file: it is applied when the file
// is next opened, and it must not be applied over newer rates.
bool hasPendingUpdate(const std::string& folder, std::u16string_view base) {
    DataFile file;
    char magic[6];
    return file.openRead(resolveFileCase(folder + toUtf8(base) + ".upd")) &&
           file.read(magic, 6) == 6 && std::string_view(magic, 6) == "PQCUPD";
}

// Rates dated after those the document holds (or any, when it names none).
bool newer(const ReferenceRates& rates, const Document& document) {
    const std::optional<CivilDate> fetched = parseIsoDate(rates.date);
    const std::optional<CivilDate> held = ratesDateOf(document.updatedText.view());
    return fetched && (!held || std::chrono::sys_days(*fetched) > std::chrono::sys_days(*held));
}

QString saveProblem(const Document& document, const SaveResult& result) {
    const QString file = FileNameOf(document);
    switch (result.outcome) {
    case SaveResult::Outcome::ChangedOnDisk:
        return QStringLiteral("%1 was changed by another program").arg(file);
    case SaveResult::Outcome::NotEditable: return EditingProblem(document);
    default:
        return QStringLiteral("%1 cannot be saved: %2")
            .arg(file, QString::fromStdString(result.cause));
    }
}

} // namespace

bool RefreshesRatesAutomatically() { return store().value(refreshKey(), true).toBool(); }

void SetRefreshRatesAutomatically(bool on) { store().setValue(refreshKey(), on); }

bool IsRatesFile(const Document& document) {
    return document.typeCode() == ConversionDocument::kTypeCode &&
           equalsIgnoreCase(document.name.view(), kRatesFile);
}

// Shared by the worker and the window. The worker reports to its owner
// while the owner still wants the result; the owner lets go under the lock.
struct RatesRefresher::Job {
    std::unique_ptr<HttpFetcher> fetcher;
    std::string url;
    DownloadLimits limits;
    RatesFetch result;
    std::mutex mutex;
    RatesRefresher* owner = nullptr;
};

RatesRefresher::RatesRefresher(QObject* parent, Catalogue& catalogue, DocumentSaver& saver,
                               ExpressionEngine& engine, RatesRefreshOptions options,
                               DownloadRunner::FetcherFactory factory, Hooks hooks)
    : QObject(parent), catalogue_(catalogue), saver_(saver), engine_(engine),
      options_(std::move(options)), factory_(std::move(factory)), hooks_(std::move(hooks)) {
    timer_.setInterval(options_.interval);
    connect(&timer_, &QTimer::timeout, this, [this] {
        check();
        if (hooks_.changed) hooks_.changed(); // the rates' age may have grown
    });
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, [this] { applyWaiting(); });
}

RatesRefresher::~RatesRefresher() { abandon(); }

QDateTime RatesRefresher::now() const {
    return options_.now ? options_.now() : QDateTime::currentDateTime();
}

void RatesRefresher::start() {
    if (!options_.allowed) return;
    timer_.start();
    QTimer::singleShot(options_.firstLook, this, [this] { check(); });
}

void RatesRefresher::check() {
    if (!options_.allowed || !RefreshesRatesAutomatically() || job_ || waiting_) return;
    const std::string& folder = catalogue_.folder();
    Document* current = hooks_.current ? hooks_.current() : nullptr;
    std::u16string base;
    std::optional<CivilDate> held;
    if (current && IsRatesFile(*current)) {
        // Rates that could not be saved are not worth fetching.
        if (!current->editable()) return setFailure(EditingProblem(*current));
        base = current->name.view();
        held = ratesDateOf(current->updatedText.view());
    } else {
        base = ratesFileIn(folder);
        ConversionDocument file;
        if (base.empty() || !file.readWithoutConverting(folder + toUtf8(base) + ".cnv")) return;
        held = ratesDateOf(file.updatedText.view());
    }
    const std::chrono::system_clock::time_point time{
        std::chrono::milliseconds(now().toMSecsSinceEpoch())};
    if (held && !ratesAreDue(*held, time)) return;
    if (hasPendingUpdate(folder, base)) return;

    auto job = std::make_shared<Job>();
    job->fetcher = factory_ ? factory_() : std::make_unique<CurlFetcher>();
    job->url = hooks_.source ? hooks_.source().toStdString() : std::string();
    job->limits = options_.limits;
    job->owner = this;
    job_ = job;
    std::thread([job] {
        RatesFetch result = fetchReferenceRates(*job->fetcher, job->url, job->limits);
        const std::lock_guard<std::mutex> lock(job->mutex);
        job->result = std::move(result);
        // Queued to the owner's thread; dropped there if the owner goes first.
        if (RatesRefresher* owner = job->owner)
            QMetaObject::invokeMethod(
                owner, [owner, job] { owner->finished(job); }, Qt::QueuedConnection);
    }).detach();
}

void RatesRefresher::abandon() {
    if (job_) {
        const std::lock_guard<std::mutex> lock(job_->mutex);
        job_->owner = nullptr;
    }
    job_.reset();
    waiting_.reset();
    retry_.stop();
}

void RatesRefresher::finished(const std::shared_ptr<Job>& job) {
    if (job != job_) return;
    job_.reset();
    switch (job->result.outcome) {
    case RatesFetch::Outcome::Other: // update lists are for the Download command
        return setFailure({});
    case RatesFetch::Outcome::Failed: return setFailure(QString::fromStdString(job->result.reason));
    case RatesFetch::Outcome::Rates: waiting_ = std::move(job->result.rates); return applyWaiting();
    }
}

void RatesRefresher::applyWaiting() {
    if (!waiting_) return;
    if (hooks_.busy && hooks_.busy()) {
        retry_.start();
        return;
    }
    const ReferenceRates rates = std::move(*waiting_);
    waiting_.reset();
    setFailure(apply(rates));
}

QString RatesRefresher::apply(const ReferenceRates& rates) {
    Document* current = hooks_.current ? hooks_.current() : nullptr;
    if (current && IsRatesFile(*current))
        return applyToOpen(static_cast<ConversionDocument&>(*current), rates);
    return applyToFile(rates);
}

QString RatesRefresher::applyToOpen(ConversionDocument& document, const ReferenceRates& rates) {
    if (!document.editable()) return EditingProblem(document);
    if (!newer(rates, document)) return {};
    // A change of the user's that still waits to be saved goes first: it
    // must never be lost to a refresh that fails.
    if (document.isModified() && !saver_.saveQuietly(document).ok())
        return QStringLiteral("%1 holds a change that could not be saved yet")
            .arg(FileNameOf(document));
    document.applyUpdateText(referenceRatesUpdate(rates), engine_);
    const SaveResult saved = saver_.saveQuietly(document);
    if (saved.ok()) {
        if (hooks_.applied) hooks_.applied(false);
        return {};
    }
    // The file is as it was; so becomes the document.
    document.reload(catalogue_);
    if (hooks_.applied) hooks_.applied(true);
    return saveProblem(document, saved);
}

QString RatesRefresher::applyToFile(const ReferenceRates& rates) {
    const std::u16string base = ratesFileIn(catalogue_.folder());
    if (base.empty()) return {};
    ConversionDocument document;
    if (!document.load(catalogue_, true, base))
        return QStringLiteral("%1 cannot be read: %2")
            .arg(FileNameOf(document), QString::fromStdString(document.errorText()));
    if (!document.editable()) return EditingProblem(document);
    if (!newer(rates, document)) return {};
    const std::vector<uint8_t> before = document.image();
    document.applyUpdateText(referenceRatesUpdate(rates), engine_);
    const SaveResult saved = saver_.saveQuietly(document);
    if (!saved.ok()) return saveProblem(document, saved);
    if (hooks_.fileUpdated) hooks_.fileUpdated(document, before);
    // The catalogue's copy of the file follows it.
    const int index = catalogue_.indexOf(document.fileNameWithExtension());
    if (index >= 0) {
        Document& entry = catalogue_.at(static_cast<size_t>(index));
        if (entry.loaded)
            entry.reload(catalogue_);
        else
            entry.load(catalogue_, false);
    }
    return {};
}

void RatesRefresher::setFailure(const QString& reason) {
    if (reason == failure_) return;
    failure_ = reason;
    if (hooks_.changed) hooks_.changed();
}

} // namespace pq::conv
