#pragma once

#include <QString>

#include <functional>

class QWidget;

// Message boxes of the shared widgets (title "Uyarı" for warnings, "Hata" for
// errors). Tests and scripted runs replace the dialogs with a hook that sees every
// message and answers the questions.
namespace mesaj {

void uyari(QWidget* parent, const QString& text, const QString& title = QStringLiteral("Uyarı"));
void hata(QWidget* parent, const QString& text);
// Yes/No question; true for Yes.
bool soru(QWidget* parent, const QString& text, const QString& title = QStringLiteral("Uyarı"));

// (title, text, isQuestion) -> answer (ignored for warnings). Empty = real dialogs.
using Hook = std::function<bool(const QString& title, const QString& text, bool question)>;
void setHook(Hook hook);

}  // namespace mesaj
