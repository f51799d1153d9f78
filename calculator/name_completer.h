#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QCompleter;
class QModelIndex;
class QStandardItemModel;

namespace pq::calc {

class ExpressionEdit;

// A name a formula may use, as the completion list offers it.
struct OfferedName {
    QString name;  // as it is typed: "sin", "m1", "hyp"
    QString shown; // with its arguments: "sin(x)", "hyp(a, b)"
    int arguments; // 0 for a variable or constant; -1 any number (iif)
    QString note;  // what it is, shown as a tooltip
};

// The built-in functions and constants of the formula language.
std::vector<OfferedName> BuiltinNames();

// Offers, while a name is typed into the expression line, the names that
// begin with what was typed, with their arguments. Tab or Enter takes the
// highlighted one (a function comes with its brackets, the caret between
// them); Enter evaluates instead when what was typed is already a whole
// name without arguments ("pi"); Escape closes the list; typing goes on.
class NameCompleter : public QObject {
  public:
    // `names` gives the names offered, asked anew each time a list opens.
    NameCompleter(ExpressionEdit* edit, std::function<std::vector<OfferedName>()> names);

    // After a character was typed: opens, narrows or closes the list.
    void offer();
    void close();
    bool isOffering() const;
    // Whether Enter takes the highlighted name rather than evaluating.
    bool takesEnter() const;
    // The names offered now, top first.
    QStringList offered() const;
    QCompleter* completer() const { return completer_; }

  private:
    // The name being typed: where it starts, and its text ("" for none).
    int wordStart() const;
    QString word() const;
    void take(const QModelIndex& index);

    ExpressionEdit* edit_;
    std::function<std::vector<OfferedName>()> names_;
    QStandardItemModel* model_;
    QCompleter* completer_;
};

} // namespace pq::calc
