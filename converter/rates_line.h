#pragma once

#include <QDate>
#include <QFont>
#include <QLabel>
#include <QLocale>
#include <QString>

namespace pq {
class Document;
}

namespace pq::conv {

// A date in the locale's order with the month's short name and no weekday:
// "8 Dec 2026", "Dec 8, 2026", "8. Dez. 2026", "2026年12月8日".
QString RatesDateText(const QDate& date, const QLocale& locale = QLocale());

// The words of the rates line: "Rates of 8 Dec 2026, European Central Bank",
// then "(12 days old)" for rates older than a week, then "· could not
// refresh: <reason>" after a failed refresh. Without a date, the failure
// alone.
QString RatesLineText(const QDate& rates, const QDate& today, const QString& failure,
                      const QLocale& locale = QLocale());

// The line above the unit list that dates the exchange rates of the open
// file. It shows while the file holds the bank's rates (or while a refresh
// of the rates file failed), in the warning colour when they are old.
class RatesLine : public QLabel {
  public:
    explicit RatesLine(QWidget* parent);

    // Shows the line for the open document, or hides it. `failure` is the
    // reason the last refresh of the rates file failed.
    void setRates(const Document* document, const QString& failure, const QDate& today);
    // The line's words as the user reads them.
    const QString& plainText() const { return plain_; }
    bool marksOld() const { return old_; }
    // The height the line takes at this width; 0 while hidden.
    int heightAt(int width) const;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void render();

    QString date_;
    QString age_;
    QString failure_;
    QString plain_;
    bool old_ = false;
    struct Measure {
        int width = -1;
        QString text;
        QFont font;
        int height = 0;
    };
    mutable Measure measured_; // the last height asked for
};

} // namespace pq::conv
