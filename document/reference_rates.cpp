#include "document/reference_rates.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>

#include "document/data_file.h"
#include "document/data_folder.h"
#include "document/expat_library.h"

namespace pq {

namespace {

constexpr size_t kMaxRateLength = 24;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Three upper-case letters, as ISO 4217 writes currency codes.
bool isCurrencyCode(std::string_view code) {
    return code.size() == 3 &&
           std::all_of(code.begin(), code.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// "YYYY-MM-DD", a day that exists.
bool isDate(std::string_view date) {
    if (date.size() != 10 || date[4] != '-' || date[7] != '-') return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!isDigit(date[i])) return false;
    auto number = [&](size_t at, size_t length) {
        int value = 0;
        for (size_t i = at; i < at + length; ++i) value = value * 10 + (date[i] - '0');
        return value;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    if (year < 1999 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

// Plain decimal notation, as the bank writes rates ("1.0845", "156.33"),
// greater than zero. No sign, exponent, "inf" or "nan".
bool isRate(std::string_view rate) {
    if (rate.empty() || rate.size() > kMaxRateLength) return false;
    const size_t point = rate.find('.');
    const std::string_view whole = rate.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : rate.substr(point + 1);
    if (whole.empty() || (point != std::string_view::npos && fraction.empty())) return false;
    if (!std::all_of(whole.begin(), whole.end(), isDigit) ||
        !std::all_of(fraction.begin(), fraction.end(), isDigit))
        return false;
    double value = 0;
    const auto [end, error] = std::from_chars(rate.data(), rate.data() + rate.size(), value);
    return error == std::errc() && end == rate.data() + rate.size() && std::isfinite(value) &&
           value > 0;
}

// The part of an element name after its namespace (see XML_ParserCreateNS).
std::string_view localName(const XML_Char* name) {
    std::string_view text(name);
    const size_t bar = text.rfind('|');
    return bar == std::string_view::npos ? text : text.substr(bar + 1);
}

const XML_Char* attribute(const XML_Char** attributes, std::string_view name) {
    for (size_t i = 0; attributes[i]; i += 2)
        if (name == attributes[i]) return attributes[i + 1];
    return nullptr;
}

class Reader {
  public:
    Reader(const ExpatLibrary& expat, XML_Parser parser) : expat_(expat), parser_(parser) {}

    void start(const XML_Char* name, const XML_Char** attributes) {
        const std::string_view local = localName(name);
        if (stack_.empty() && local != "Envelope")
            return fail("it is not an exchange rates document");
        Kind kind = Kind::Other;
        if (local == "Cube") kind = cube(attributes);
        if (failed_) return;
        stack_.push_back(kind);
    }

    void end() {
        if (failed_ || stack_.empty()) return;
        const Kind kind = stack_.back();
        stack_.pop_back();
        if (kind != Kind::Dated) return;
        if (current_.rates.empty()) return fail("the rates of " + current_.date + " are missing");
        if (latest_.date.empty() || current_.date > latest_.date) latest_ = std::move(current_);
        current_ = {};
    }

    void fail(std::string reason) {
        if (failed_) return;
        failed_ = true;
        error_ = std::move(reason);
        expat_.stopParser(parser_, XML_FALSE);
    }

    bool failed() const { return failed_; }
    const std::string& error() const { return error_; }
    ReferenceRates& latest() { return latest_; }

  private:
    enum class Kind { Other, Cube, Dated, Rate };

    Kind cube(const XML_Char** attributes) {
        const XML_Char* time = attribute(attributes, "time");
        const XML_Char* currency = attribute(attributes, "currency");
        const XML_Char* rate = attribute(attributes, "rate");
        const Kind parent = stack_.empty() ? Kind::Other : stack_.back();
        if (parent == Kind::Rate) {
            fail("a rate holds further rates");
            return Kind::Other;
        }
        if (time) {
            if (parent == Kind::Dated) {
                fail("a date holds a further date");
                return Kind::Other;
            }
            if (!isDate(time)) {
                fail("a date is not of the form YYYY-MM-DD");
                return Kind::Other;
            }
            current_ = {time, {}};
            return Kind::Dated;
        }
        if (!currency && !rate) {
            if (parent == Kind::Dated) fail("a rate names no currency");
            return Kind::Cube;
        }
        if (parent != Kind::Dated) {
            fail("rates are given without a date (time attribute)");
            return Kind::Other;
        }
        if (!currency || !isCurrencyCode(currency)) {
            fail("a currency code is missing or not three upper-case letters");
            return Kind::Other;
        }
        if (!rate || !isRate(rate)) {
            fail(std::string("the rate of ") + currency + " is not a positive number");
            return Kind::Other;
        }
        for (const auto& [code, value] : current_.rates)
            if (code == currency) {
                fail(std::string(currency) + " is given twice");
                return Kind::Other;
            }
        current_.rates.emplace_back(currency, rate);
        return Kind::Rate;
    }

    const ExpatLibrary& expat_;
    XML_Parser parser_;
    std::vector<Kind> stack_;
    ReferenceRates current_;
    ReferenceRates latest_;
    bool failed_ = false;
    std::string error_;
};

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    static_cast<Reader*>(data)->start(name, attributes);
}

void XMLCALL onEnd(void* data, const XML_Char*) { static_cast<Reader*>(data)->end(); }

// Entities are how a small document grows to gigabytes in memory, and how it
// reaches for other files: any declaration ends the reading.
void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    static_cast<Reader*>(data)->fail("it declares a document type or entities");
}

void XMLCALL onEntity(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                      const XML_Char*, const XML_Char*, const XML_Char*) {
    static_cast<Reader*>(data)->fail("it declares a document type or entities");
}

int XMLCALL onExternalEntity(XML_Parser, const XML_Char*, const XML_Char*, const XML_Char*,
                             const XML_Char*) {
    return XML_STATUS_ERROR;
}

} // namespace

bool isReferenceRatesDocument(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const size_t start = bytes.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return false;
    bytes.remove_prefix(start);
    return bytes.starts_with("<?xml") || bytes.starts_with("<gesmes:Envelope") ||
           bytes.starts_with("<Envelope");
}

bool isReferenceRatesFile(const std::string& path) {
    char head[64];
    std::ifstream in(path, std::ios::binary);
    in.read(head, sizeof head);
    return isReferenceRatesDocument(std::string_view(head, static_cast<size_t>(in.gcount())));
}

bool parseReferenceRates(std::string_view xml, ReferenceRates& rates, std::string& error) {
    if (xml.size() > kMaxReferenceRatesBytes) {
        error = "the document is larger than " + std::to_string(kMaxReferenceRatesBytes / 1024) +
                " KiB";
        return false;
    }
    const ExpatLibrary* expat = ExpatLibrary::get();
    if (!expat) {
        error = std::string("the XML library ") + ExpatLibrary::kName + " cannot be loaded";
        return false;
    }
    std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(expat->parserFree)> parser(
        expat->parserCreateNS(nullptr, '|'), expat->parserFree);
    if (!parser) {
        error = "out of memory";
        return false;
    }
    Reader reader(*expat, parser.get());
    expat->setUserData(parser.get(), &reader);
    expat->setElementHandler(parser.get(), onStart, onEnd);
    expat->setStartDoctypeDeclHandler(parser.get(), onDoctype);
    expat->setEntityDeclHandler(parser.get(), onEntity);
    expat->setExternalEntityRefHandler(parser.get(), onExternalEntity);
    expat->setParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
    const XML_Status status =
        expat->parse(parser.get(), xml.data(), static_cast<int>(xml.size()), XML_TRUE);
    if (reader.failed()) {
        error = reader.error();
        return false;
    }
    if (status != XML_STATUS_OK) {
        error = "it is not well-formed XML (line " +
                std::to_string(expat->getCurrentLineNumber(parser.get())) + ": " +
                expat->errorString(expat->getErrorCode(parser.get())) + ")";
        return false;
    }
    if (reader.latest().date.empty()) {
        error = "it holds no dated rates";
        return false;
    }
    rates = std::move(reader.latest());
    return true;
}

std::string referenceRatesUpdate(const ReferenceRates& rates) {
    std::string text = "PQCUPD\r\n--File Name: Currency\r\n"
                       "--Updated:European Central Bank reference rates of " +
                       rates.date + "\r\n";
    for (const auto& [code, rate] : rates.rates) {
        if (code == "EUR") continue; // the euro against itself
        text += "EUR\t" + code + "\t" + rate + "\r\n";
    }
    return text;
}

bool writeReferenceRatesUpdate(const std::string& path, const std::string& updatePath,
                               std::string& error) {
    DataFile in;
    if (!in.openRead(path)) {
        error = "the downloaded document cannot be read";
        return false;
    }
    std::string bytes(static_cast<size_t>(in.size()), '\0');
    ReferenceRates rates;
    if (in.read(bytes.data(), in.size()) != in.size()) {
        error = "the downloaded document cannot be read";
        return false;
    }
    if (!parseReferenceRates(bytes, rates, error)) return false;
    const std::string update = referenceRatesUpdate(rates);
    DataFile out;
    if (!out.openWrite(updatePath) ||
        out.write(update.data(), static_cast<int64_t>(update.size())) < 0 || !out.commit()) {
        error = "the update cannot be written (" + out.errorText() + ")";
        return false;
    }
    return true;
}

} // namespace pq
