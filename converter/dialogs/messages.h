#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace pq::conv {

// A failure: the error icon and OK. The box is modal to its window and does
// not block the caller; the window stays open behind it.
void ShowErrorMessage(QWidget* parent, const QString& title, const QString& text);

// A Yes/No question with the question icon; onYes runs after a Yes.
void AskYesNo(QWidget* parent, const QString& title, const QString& text,
              std::function<void()> onYes);

} // namespace pq::conv
